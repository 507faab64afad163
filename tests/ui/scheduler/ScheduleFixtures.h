#pragma once
// Schedule days built from short descriptions, for the scheduler tests.

#include "core/model/DeviceConfigRecords.h"

#include <QList>
#include <QMetaType>

// One event: its day (1..7, Sunday first), time, whether it sets the run
// setting (the enable byte as stored) and the run value.
struct PlannedEvent {
    int day = 1;
    int minute = 0;
    int runEnable = 1;
    int run = 1;
    int slot = -1; // -1: the lowest slot not yet used
};
using PlannedEvents = QList<PlannedEvent>;
Q_DECLARE_METATYPE(PlannedEvents)

// An event at minute in slot of day, in use, setting only run when
// runEnable is 1.
TSchedule_Event& putEvent(TSchedule_Day& day, int slot, int minute, int runEnable, int run);
// Every planned event into its day of record (days cleared first); event_count set.
void putEvents(TDevice_Config_v2& record, const PlannedEvents& events);
// A day's events of one day, for the timeline tests.
TSchedule_Day dayWith(const PlannedEvents& events);
