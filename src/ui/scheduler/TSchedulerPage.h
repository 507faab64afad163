#pragma once
// The scheduler sub-page (scheduler_cfg_TabSheet): a note that only the RTC
// model runs the schedule, the "Scheduler" box that switches it on, and the
// seven day timelines, Sunday to Saturday, stacked with gaps of 5 % of their
// height and sharing the page's height. A click on a timeline opens the events editor for its day; its OK
// and its copies write the record at once, mark the project modified and
// bring the timelines and the days' starting run states up to date.

#include "ui/common/TConfigEditorPage.h"

#include "core/model/ScheduleModel.h"

#include <QList>

class QCheckBox;
class QToolButton;
class QGroupBox;
class QScrollArea;
class QVBoxLayout;
class Tschedule_timeline_Frame;
class Tscheduled_events_form;

class TSchedulerPage : public TConfigEditorPage {
    Q_OBJECT
public:
    // record: the open project's record, which the page shows and changes
    // through its record editor only; it must outlive the page.
    explicit TSchedulerPage(const TDevice_Config_v2& record, QWidget* parent = nullptr);

    // The box from scheduler_enabled, then the box's handler once in any
    // case; every day's event list rebuilt and the starting run states
    // recomputed.
    void Show_Device_Config(const TDevice_Config_v2& config) override;
    // Every change is in the record already.

    // Recomputes every day's starting run state and repaints the timelines.
    void schedule_update_end_of_day_runstate();
    // Opens the events editor for day 1..7 (a timeline's click).
    void schedule_dow_Click_cb_fn(int day);

    Tschedule_timeline_Frame* schedule_dow_Frame(int day) const { return m_frames.value(day - 1); }
    const QList<Tschedule_timeline_Frame*>& timelines() const { return m_frames; }
    Tscheduled_events_form* eventsForm() const { return m_eventsForm; }
    QCheckBox* scheduler_enable_CheckBox() const { return m_enable; }
    // "Edit Events": a visible way to a day's events besides clicking its timeline.
    QToolButton* editEventsButton() const { return m_editEvents; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void scheduler_enable_CheckBoxClick();
    void eventsFormFinished(int result);
    void takeAcceptedDay(int day, const TSchedule_Day& schedule);
    void takeCopiedDays(const QList<int>& days, const TSchedule_Day& schedule);

private:
    static int timelineGap(int timelineHeight);
    void spaceTimelines(int height);
    void repaintTimelines();

    const TDevice_Config_v2& m_record;
    QCheckBox* m_enable = nullptr;
    QToolButton* m_editEvents = nullptr;
    QGroupBox* m_group = nullptr;
    QScrollArea* m_scroll = nullptr;
    QVBoxLayout* m_stack = nullptr;
    QList<Tschedule_timeline_Frame*> m_frames;
    Tscheduled_events_form* m_eventsForm = nullptr;
};
