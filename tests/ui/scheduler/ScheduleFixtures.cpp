#include "ScheduleFixtures.h"

#include "core/model/ScheduleModel.h"

#include <cstring>

TSchedule_Event& putEvent(TSchedule_Day& day, int slot, int minute, int runEnable, int run)
{
    TSchedule_Event& e = day.daily_event[slot];
    setNewEventValues(e);
    e.minute_of_day = uint16_t(minute);
    e.settings_enable[0] = uint8_t(runEnable);
    e.run = uint8_t(run);
    e.in_use = 1;
    return e;
}

void putEvents(TDevice_Config_v2& record, const PlannedEvents& events)
{
    std::memset(record.daily_schedule, 0, sizeof record.daily_schedule);
    for (const PlannedEvent& planned : events) {
        TSchedule_Day& day = record.daily_schedule[planned.day - 1];
        const int slot = planned.slot >= 0 ? planned.slot : lowestFreeSlot(day);
        putEvent(day, slot, planned.minute, planned.runEnable, planned.run);
    }
    for (TSchedule_Day& day : record.daily_schedule)
        day.event_count = uint32_t(listedEventCount(day));
}

TSchedule_Day dayWith(const PlannedEvents& events)
{
    TDevice_Config_v2 record{};
    PlannedEvents oneDay = events;
    for (PlannedEvent& planned : oneDay)
        planned.day = 1;
    putEvents(record, oneDay);
    return record.daily_schedule[0];
}
