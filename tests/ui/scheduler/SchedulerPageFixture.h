#pragma once
// A scheduler page on its own record, shown headless, with helpers that
// drive the events editor as a user does: by clicking its controls.

#include "ScheduleFixtures.h"

#include "ui/scheduler/TEventTimeEdit.h"
#include "ui/scheduler/TSchedulerPage.h"
#include "ui/scheduler/TUpDown.h"
#include "ui/scheduler/Tcopy_events_Form.h"
#include "ui/scheduler/Tfc_ctrl_Frame.h"
#include "ui/scheduler/Tschedule_timeline_Frame.h"
#include "ui/scheduler/Tscheduled_events_form.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class SchedulerPageFixture {
public:
    explicit SchedulerPageFixture(const PlannedEvents& events = {}, bool schedulerOn = true);

    TSchedulerPage& page() { return *m_page; }
    Tscheduled_events_form& form() { return *m_page->eventsForm(); }
    TSchedule_Day& day(int d) { return record.daily_schedule[d - 1]; }
    template <typename T> T* find(const char* name)
    {
        T* found = form().findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }

    // Clicks day d's timeline; true once the editor shows and has the focus.
    bool open(int d);
    // Clicks a control of the editor (or of its copy dialog) by objectName.
    void click(const char* name);
    // Types text into a time field over what it shows.
    void type(QLineEdit* field, const QString& text);
    // Add, the time typed, the run setting when run >= 0, Accept.
    void addEvent(int hour, int minute, int run = -1);
    int rows();

    TDevice_Config_v2 record{};
    std::unique_ptr<QSignalSpy> changed;

private:
    std::unique_ptr<TSchedulerPage> m_page;
};
