#include "ScheduleFixtures.h"

#include "core/model/ScheduleModel.h"

#include <cstring>

TSchedule_Event& Put_Event(TSchedule_Day& day, int slot, int minute, int runEnable, int run)
{
    TSchedule_Event& e = day.daily_event[slot];
    Set_New_Event_Values(e);
    e.minute_of_day = uint16_t(minute);
    e.settings_enable[0] = uint8_t(runEnable);
    e.run = uint8_t(run);
    e.in_use = 1;
    return e;
}

void Put_Events(TDevice_Config_v2& record, const EventSpecs& specs)
{
    std::memset(record.daily_schedule, 0, sizeof record.daily_schedule);
    for (const EventSpec& spec : specs) {
        TSchedule_Day& day = record.daily_schedule[spec.day - 1];
        const int slot = spec.slot >= 0 ? spec.slot : Lowest_Free_Slot(day);
        Put_Event(day, slot, spec.minute, spec.runEnable, spec.run);
    }
    for (TSchedule_Day& day : record.daily_schedule)
        day.event_count = uint32_t(Listed_Event_Count(day));
}

TSchedule_Day Day_With(const EventSpecs& specs)
{
    TDevice_Config_v2 record{};
    EventSpecs oneDay = specs;
    for (EventSpec& spec : oneDay)
        spec.day = 1;
    Put_Events(record, oneDay);
    return record.daily_schedule[0];
}
