#pragma once
// The weekly schedule inside the configuration record: which slots hold
// events, their order, the values a new event starts with, the copy of one
// day onto another, and the run state each day starts with.
//
// An event keeps the slot it was added to; deleting one only frees its slot,
// so the events of a day may sit in any slots. Only in_use == 1 marks an
// event (any other value is neither listed nor reused), and event_count is
// never trusted to find them.

#include "core/model/DeviceConfigRecords.h"

#include <array>
#include <vector>

inline constexpr int kScheduleDays = 7;
inline constexpr int kScheduleSlots = 8;
inline constexpr int kNoFreeSlot = -1;

// One listed event: the slot it occupies and the slot itself.
struct TScheduleListEntry {
    int slot = 0;
    const TSchedule_Event* event = nullptr;
};
using TScheduleEventList = std::vector<TScheduleListEntry>;

// The day's events in time order, earliest first. Events of the same minute
// keep their slot order.
TScheduleEventList scheduleEventList(const TSchedule_Day& day);

// The lowest slot that holds no event, or kNoFreeSlot when all are taken.
int lowestFreeSlot(const TSchedule_Day& day);

// The values a new event starts with (12:00, every setting left alone);
// in_use is not touched: the slot holds an event only once it is accepted.
void setNewEventValues(TSchedule_Event& event);

// True when the event sets the run setting.
bool isRunEvent(const TSchedule_Event& event);

int listedEventCount(const TSchedule_Day& day);

// target takes all eight slots of source byte for byte, free slots included,
// and the number of source's events as its count.
void copyScheduleDay(const TSchedule_Day& source, TSchedule_Day& target);

// Run state (0 Off, 1 On) in force when each day begins, index 0 = Sunday:
// the state left by the last run event before the day, looking back through
// the week and wrapping from Sunday to the previous Saturday. A week without
// run events starts every day Off.
std::array<int, kScheduleDays> startingRunStates(const TSchedule_Day (&days)[kScheduleDays]);

// The periods in which the unit runs during a day as the day timeline draws
// them, in minutes [start, end); end 1440 means the bar runs to the end of
// the day. An Off event at the very minute of the event before it does not
// end a bar.
struct TRunPeriod {
    int start = 0;
    int end = 0;
};
std::vector<TRunPeriod> runPeriods(const TScheduleEventList& list, int startingRunstate);
