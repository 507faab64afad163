#include "ui/scheduler/TSchedulerPage.h"

#include "core/document/ChangeText.h"

#include "ui/scheduler/Tschedule_timeline_Frame.h"
#include "ui/scheduler/Tscheduled_events_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

TSchedulerPage::TSchedulerPage(const TDevice_Config_v2& record, QWidget* parent)
    : TConfigEditorPage(record, parent)
    , m_record(record)
{
    setObjectName(QStringLiteral("scheduler_cfg_TabSheet"));
    auto* note = new QLabel(QStringLiteral("Note: The scheduler is only available for the Corvane-RTC"), this);
    note->setObjectName(QStringLiteral("scheduler_note_Label"));
    m_enable = new QCheckBox(QStringLiteral("Scheduler"), this);
    m_enable->setObjectName(QStringLiteral("scheduler_enable_CheckBox"));
    connect(m_enable, &QCheckBox::clicked, this, &TSchedulerPage::scheduler_enable_CheckBoxClick);

    m_group = new QGroupBox(this);
    m_group->setObjectName(QStringLiteral("scheduler_GroupBox"));
    m_scroll = new QScrollArea(m_group);
    m_scroll->setObjectName(QStringLiteral("scheduler_timeline_ScrollBox"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    auto* days = new QWidget;
    days->setObjectName(QStringLiteral("scheduler_timeline_Days"));
    auto* stack = new QVBoxLayout(days);
    stack->setContentsMargins(0, 0, 0, 0);
    m_stack = stack;
    days->installEventFilter(this);
    spaceTimelines(Tschedule_timeline_Frame::kHeight * 7 + 6 * timelineGap(Tschedule_timeline_Frame::kHeight));
    for (int day = 1; day <= 7; ++day) {
        auto* frame = new Tschedule_timeline_Frame(days);
        frame->setObjectName(QStringLiteral("schedule_timeline_Frame%1").arg(day));
        frame->init(day);
        frame->pSchedule = &m_record.daily_schedule[day - 1];
        frame->onclick_cb_fn = [this](int d) { schedule_dow_Click_cb_fn(d); };
        stack->addWidget(frame);
        frame->installEventFilter(this);
        m_frames << frame;
    }
    m_scroll->setWidget(days);
    auto* groupLayout = new QVBoxLayout(m_group);
    groupLayout->setContentsMargins(3, 3, 3, 3);
    groupLayout->addWidget(m_scroll);

    // A click (or Enter) on a timeline opens its day; this button and each
    // timeline's right-click menu say so to whoever does not know it.
    m_editEvents = new QToolButton(this);
    m_editEvents->setObjectName(QStringLiteral("edit_events_Button"));
    m_editEvents->setText(QStringLiteral("Add or Edit Events"));
    m_editEvents->setToolTip(QStringLiteral("Opens a day's events (a click on its timeline does the same)"));
    m_editEvents->setPopupMode(QToolButton::InstantPopup);
    m_editEvents->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* dayMenu = new QMenu(m_editEvents);
    dayMenu->setObjectName(QStringLiteral("edit_events_Menu"));
    for (int day = 1; day <= 7; ++day) {
        QAction* a = dayMenu->addAction(Tschedule_timeline_Frame::longDayName(day) + QStringLiteral("..."));
        a->setObjectName(QStringLiteral("edit_events_MenuItem%1").arg(day));
        connect(a, &QAction::triggered, this, [this, day] { schedule_dow_Click_cb_fn(day); });
    }
    m_editEvents->setMenu(dayMenu);
    m_editEvents->setEnabled(false);

    m_eventsForm = new Tscheduled_events_form(this);
    connect(m_eventsForm, &QDialog::finished, this, &TSchedulerPage::eventsFormFinished);
    connect(m_eventsForm, &Tscheduled_events_form::dayAccepted, this, &TSchedulerPage::takeAcceptedDay);
    connect(m_eventsForm, &Tscheduled_events_form::daysCopied, this, &TSchedulerPage::takeCopiedDays);

    auto* layout = new QVBoxLayout(this);
    // The note and the box share a line, leaving the timelines the height.
    auto* header = new QHBoxLayout;
    header->addWidget(note);
    header->addSpacing(24);
    header->addWidget(m_enable);
    header->addSpacing(12);
    header->addWidget(m_editEvents);
    header->addStretch(1);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addLayout(header);
    layout->addWidget(m_group, 1);

    // A new project has the scheduler off.
    m_scroll->setEnabled(false);
}

int TSchedulerPage::timelineGap(int timelineHeight)
{
    // 5 % of a timeline's height, rounded to the nearest pixel.
    return (timelineHeight * 105 + 50) / 100 - timelineHeight;
}

void TSchedulerPage::spaceTimelines(int height)
{
    // The seven timelines share the height with six gaps of 5 % of theirs.
    const int timeline = height * 100 / 730;
    m_stack->setSpacing(qMax(2, timelineGap(timeline)));
}

void TSchedulerPage::Show_Device_Config(const TDevice_Config_v2& config)
{
    m_enable->setChecked(config.scheduler_enabled != 0);
    scheduler_enable_CheckBoxClick();
    for (Tschedule_timeline_Frame* frame : m_frames) {
        frame->Refresh_Event_List();
        frame->update();
    }
    schedule_update_end_of_day_runstate();
}

void TSchedulerPage::scheduler_enable_CheckBoxClick()
{
    const bool ticked = m_enable->isChecked();
    m_scroll->setEnabled(ticked);
    m_editEvents->setEnabled(ticked);
    editRecord([ticked](TDevice_Config_v2& r) { r.scheduler_enabled = ticked ? 1 : 0; });
    repaintTimelines();
}

void TSchedulerPage::schedule_update_end_of_day_runstate()
{
    const std::array<int, kScheduleDays> states = startingRunStates(m_record.daily_schedule);
    for (int d = 0; d < kScheduleDays; ++d)
        m_frames[d]->setStartingRunstate(states[std::size_t(d)]);
    repaintTimelines();
}

void TSchedulerPage::schedule_dow_Click_cb_fn(int day)
{
    Tschedule_timeline_Frame* frame = schedule_dow_Frame(day);
    if (!frame || m_eventsForm->isVisible())
        return;
    m_eventsForm->prepare(frame, m_frames);
    // Modal for the user, but the caller goes on: the outcome arrives with
    // finished().
    m_eventsForm->open();
}

void TSchedulerPage::eventsFormFinished(int result)
{
    if (result != QDialog::Accepted)
        return;
    schedule_update_end_of_day_runstate();
}

void TSchedulerPage::takeAcceptedDay(int day, const TSchedule_Day& schedule)
{
    if (day < 1 || day > kScheduleDays)
        return;
    editRecord([day, schedule](TDevice_Config_v2& r) { copyScheduleDay(schedule, r.daily_schedule[day - 1]); });
    if (Tschedule_timeline_Frame* frame = schedule_dow_Frame(day))
        frame->Refresh_Event_List();
}

void TSchedulerPage::takeCopiedDays(const QList<int>& days, const TSchedule_Day& schedule)
{
    // The copies are one edit, whatever the editor's outcome.
    if (m_eventsForm->pSTL_frame)
        emit changeNamed(QStringLiteral("Copy %1 to %2 %3")
                             .arg(scheduleDayName(m_eventsForm->pSTL_frame->day_index))
                             .arg(days.size())
                             .arg(days.size() == 1 ? QStringLiteral("day") : QStringLiteral("days")));
    editRecord([days, schedule](TDevice_Config_v2& r) {
        for (int day : days)
            if (day >= 1 && day <= kScheduleDays)
                copyScheduleDay(schedule, r.daily_schedule[day - 1]);
    });
    for (int day : days)
        if (Tschedule_timeline_Frame* frame = schedule_dow_Frame(day))
            frame->Refresh_Event_List();
    schedule_update_end_of_day_runstate();
}

void TSchedulerPage::repaintTimelines()
{
    for (Tschedule_timeline_Frame* frame : m_frames)
        frame->update();
}

bool TSchedulerPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == m_scroll->widget())
        spaceTimelines(m_scroll->widget()->height());
    if (event->type() == QEvent::FocusIn && m_frames.contains(qobject_cast<Tschedule_timeline_Frame*>(watched))) {
        // The scroll area brings a focused timeline into view by centring
        // it, which in a narrow area cuts off the day's name at the left
        // ("nday"). Once it has scrolled, the left edge comes back.
        QMetaObject::invokeMethod(
            this, [this] { m_scroll->horizontalScrollBar()->setValue(m_scroll->horizontalScrollBar()->minimum()); },
            Qt::QueuedConnection);
    }
    return TConfigEditorPage::eventFilter(watched, event);
}
