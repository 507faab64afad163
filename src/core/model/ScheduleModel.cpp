#include "core/model/ScheduleModel.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {
constexpr int kMinutesPerDay = 1440;

// The run events of a day in time order, each giving its run value.
template <typename F> void forRunEvents(const TScheduleEventList& list, std::size_t from, F&& f)
{
    for (std::size_t i = from; i < list.size(); ++i)
        if (isRunEvent(*list[i].event))
            f(*list[i].event);
}
} // namespace

TScheduleEventList scheduleEventList(const TSchedule_Day& day)
{
    TScheduleEventList list;
    for (int slot = 0; slot < kScheduleSlots; ++slot)
        if (day.daily_event[slot].in_use == 1)
            list.push_back({slot, &day.daily_event[slot]});
    std::stable_sort(list.begin(), list.end(), [](const TScheduleListEntry& a, const TScheduleListEntry& b) {
        return a.event->minute_of_day < b.event->minute_of_day;
    });
    return list;
}

int lowestFreeSlot(const TSchedule_Day& day)
{
    for (int slot = 0; slot < kScheduleSlots; ++slot)
        if (day.daily_event[slot].in_use == 0)
            return slot;
    return kNoFreeSlot;
}

void setNewEventValues(TSchedule_Event& event)
{
    event.minute_of_day = 720;
    event.run = 0;
    event.mode = 5;
    event.setpoint = 210;
    event.fanspeed = 5;
    event.airdir = 2;
    std::memset(event.settings_enable, 0, sizeof event.settings_enable);
}

bool isRunEvent(const TSchedule_Event& event)
{
    return (event.settings_enable[0] & 1) != 0;
}

int listedEventCount(const TSchedule_Day& day)
{
    return int(std::count_if(std::begin(day.daily_event), std::end(day.daily_event),
                             [](const TSchedule_Event& e) { return e.in_use == 1; }));
}

void copyScheduleDay(const TSchedule_Day& source, TSchedule_Day& target)
{
    if (&source == &target)
        return;
    std::memcpy(target.daily_event, source.daily_event, sizeof target.daily_event);
    target.event_count = uint32_t(listedEventCount(source));
}

std::array<int, kScheduleDays> startingRunStates(const TSchedule_Day (&days)[kScheduleDays])
{
    std::array<int, kScheduleDays> states{};
    std::array<TScheduleEventList, kScheduleDays> lists;
    for (int d = 0; d < kScheduleDays; ++d)
        lists[d] = scheduleEventList(days[d]);

    int first = -1;
    std::size_t firstIndex = 0;
    for (int d = 0; d < kScheduleDays && first < 0; ++d)
        for (std::size_t i = 0; i < lists[d].size(); ++i)
            if (isRunEvent(*lists[d][i].event)) {
                first = d;
                firstIndex = i;
                break;
            }
    if (first < 0)
        return states;

    int state = 0;
    forRunEvents(lists[first], firstIndex, [&](const TSchedule_Event& e) { state = e.run; });
    for (int k = 1; k <= kScheduleDays; ++k) {
        const int d = (first + k) % kScheduleDays;
        states[d] = state;
        if (d == first)
            break;
        forRunEvents(lists[d], 0, [&](const TSchedule_Event& e) { state = e.run; });
    }
    return states;
}

std::vector<TRunPeriod> runPeriods(const TScheduleEventList& list, int startingRunstate)
{
    std::vector<TRunPeriod> periods;
    int state = startingRunstate;
    if (!list.empty() && list.front().event->minute_of_day == 0 && isRunEvent(*list.front().event))
        state = list.front().event->run;
    int start = 0;
    std::optional<int> prev;
    for (const TScheduleListEntry& entry : list) {
        const TSchedule_Event& e = *entry.event;
        const int minute = e.minute_of_day;
        if (isRunEvent(e)) {
            if (state == 1 && e.run == 0) {
                if (!prev || *prev != minute) {
                    periods.push_back({start, minute});
                    state = 0;
                }
            } else if (state == 0 && e.run == 1) {
                start = minute;
                state = 1;
            }
        }
        prev = minute;
    }
    if (state == 1)
        periods.push_back({start, kMinutesPerDay});
    return periods;
}
