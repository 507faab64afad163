#include "SchedulerPageFixture.h"
#include "test_scheduler.h"

#include "core/document/TProjectDocument.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/scheduler/Tschedule_timeline_Frame.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <cstring>

namespace {
constexpr int kMonday = 2;
constexpr int kWednesday = 4;

QList<int> startingStates(TSchedulerPage& page)
{
    QList<int> states;
    for (int day = 1; day <= 7; ++day)
        states << page.schedule_dow_Frame(day)->starting_runstate;
    return states;
}
} // namespace

void TestSchedulerPage::initTestCase()
{
    const TDevice_Config_v2 record{};
    TSchedulerPage page(record);
    QCOMPARE(page.objectName(), QString("scheduler_cfg_TabSheet"));
    QVERIFY(page.findChild<QScrollArea*>("scheduler_timeline_ScrollBox"));
    QCOMPARE(page.scheduler_enable_CheckBox()->text(), QString("Scheduler"));
}

void TestSchedulerPage::showRecordRebuildsTimelinesAndRunStates()
{
    SchedulerPageFixture fx({{kMonday, 1320, 1, 1}, {kMonday, 600, 0, 0}});
    QVERIFY(fx.page().scheduler_enable_CheckBox()->isChecked());
    QCOMPARE(fx.page().schedule_dow_Frame(kMonday)->event_list.size(), std::size_t(2));
    QCOMPARE(startingStates(fx.page()), (QList<int>{1, 1, 1, 1, 1, 1, 1}));
    for (int day = 1; day <= 7; ++day)
        QVERIFY(fx.page().schedule_dow_Frame(day)->isEnabled());

    // Timelines stacked Sunday first, sharing the page's height, with gaps
    // of 5 % of their height (a pixel either way where the layout shares out
    // what does not divide by seven).
    const int height = fx.page().schedule_dow_Frame(1)->height();
    QVERIFY2(height >= Tschedule_timeline_Frame::kMinimumHeight, qPrintable(QString::number(height)));
    for (int day = 2; day <= 7; ++day) {
        const QRect above = fx.page().schedule_dow_Frame(day - 1)->geometry();
        const QRect here = fx.page().schedule_dow_Frame(day)->geometry();
        QVERIFY2(qAbs(here.height() - height) <= 1, qPrintable(QString::number(here.height())));
        const int gap = here.top() - above.bottom() - 1;
        QVERIFY2(qAbs(gap - (height * 105 + 50) / 100 + height) <= 1,
                 qPrintable(QStringLiteral("gap %1 at height %2").arg(gap).arg(height)));
    }

    // Another record: showing it changes nothing in it.
    putEvents(fx.record, {{kWednesday, 420, 1, 0}});
    fx.record.scheduler_enabled = 0;
    const TDevice_Config_v2 before = fx.record;
    fx.page().Show_Device_Config(fx.record);
    QCOMPARE(std::memcmp(&before, &fx.record, sizeof before), 0);
    QVERIFY(!fx.page().scheduler_enable_CheckBox()->isChecked());
    QVERIFY(fx.page().schedule_dow_Frame(kMonday)->event_list.empty());
    QCOMPARE(fx.page().schedule_dow_Frame(kWednesday)->event_list.size(), std::size_t(1));
    QCOMPARE(startingStates(fx.page()), (QList<int>{0, 0, 0, 0, 0, 0, 0}));
    for (int day = 1; day <= 7; ++day)
        QVERIFY(!fx.page().schedule_dow_Frame(day)->isEnabled());
}

void TestSchedulerPage::schedulerBoxEnablesTimelines()
{
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}}, false);
    QCheckBox* box = fx.page().scheduler_enable_CheckBox();
    QTest::mouseClick(fx.page().schedule_dow_Frame(kMonday), Qt::LeftButton);
    QVERIFY(!fx.form().isVisible());

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QCOMPARE(fx.record.scheduler_enabled, uint8_t(1));
    QCOMPARE(fx.changed->count(), 1);
    for (int day = 1; day <= 7; ++day)
        QVERIFY(fx.page().schedule_dow_Frame(day)->isEnabled());
    QVERIFY(fx.open(kMonday));
    fx.click("close_Button");
    QTRY_VERIFY(!fx.form().isVisible());

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QCOMPARE(fx.record.scheduler_enabled, uint8_t(0));
    QCOMPARE(fx.changed->count(), 2);
    QTest::mouseClick(fx.page().schedule_dow_Frame(kMonday), Qt::LeftButton);
    QVERIFY(!fx.form().isVisible());
    // The events stay in the record.
    QCOMPARE(fx.day(kMonday).event_count, uint32_t(1));
}

void TestSchedulerPage::okWritesDayAndMarksProjectModified()
{
    SchedulerPageFixture fx;
    QVERIFY(fx.open(kMonday));
    fx.addEvent(6, 45, 1);
    QCOMPARE(fx.changed->count(), 0);
    fx.click("event_list_ok_Button");
    QTRY_VERIFY(!fx.form().isVisible());
    QCOMPARE(fx.changed->count(), 1);
    QCOMPARE(fx.day(kMonday).event_count, uint32_t(1));
    QCOMPARE(fx.day(kMonday).daily_event[0].minute_of_day, uint16_t(405));
    QCOMPARE(fx.page().schedule_dow_Frame(kMonday)->event_list.size(), std::size_t(1));
    QCOMPARE(startingStates(fx.page()), (QList<int>{1, 1, 1, 1, 1, 1, 1}));
}

void TestSchedulerPage::cancelWritesNothing()
{
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}});
    const TDevice_Config_v2 before = fx.record;
    QVERIFY(fx.open(kMonday));
    fx.addEvent(6, 45, 0);
    fx.click("del_toggle_Button");
    QTest::mouseClick(fx.form().evt_Btn(1), Qt::LeftButton);
    QCOMPARE(fx.rows(), 1);
    fx.click("close_Button");
    QTRY_VERIFY(!fx.form().isVisible());
    QCOMPARE(std::memcmp(&before, &fx.record, sizeof before), 0);
    QCOMPARE(fx.changed->count(), 0);
    QCOMPARE(fx.page().schedule_dow_Frame(kMonday)->event_list.size(), std::size_t(1));
}

void TestSchedulerPage::pageSitsInTheConfigurationPages()
{
    Tbmpgen_Form window;
    TProjectDocument& document = window.document();
    auto* page = qobject_cast<TSchedulerPage*>(window.configurationPage()->subPage("scheduler_cfg_TabSheet"));
    QVERIFY(page);

    // Showing a project's record leaves it unmodified.
    document.fill([](TDevice_Config_v2& record, THandleList&) {
        putEvents(record, {{kMonday, 480, 1, 1}});
        record.scheduler_enabled = 1;
        return true;
    });
    document.setLoading(true);
    window.Show_Device_Config(document.record());
    document.setLoading(false);
    QVERIFY(!document.isModified());
    QCOMPARE(page->schedule_dow_Frame(kMonday)->event_list.size(), std::size_t(1));

    // The editor's OK edits the project's record and marks the project.
    page->schedule_dow_Click_cb_fn(kMonday);
    Tscheduled_events_form* form = page->eventsForm();
    QTRY_VERIFY(form->isVisible());
    QTest::mouseClick(form->findChild<QToolButton*>("add_Button"), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QPushButton*>("event_accept_Button"), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QPushButton*>("event_list_ok_Button"), Qt::LeftButton);
    QTRY_VERIFY(!form->isVisible());
    QCOMPARE(document.record().daily_schedule[kMonday - 1].event_count, uint32_t(2));
    QVERIFY(document.isModified());
}

void TestSchedulerPage::focusedTimelineShowsItselfWholeFromTheLeft()
{
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}});
    TSchedulerPage& page = fx.page();
    // Narrower and lower than the timelines: the area has to scroll both ways.
    // The timelines shrink with the page down to a minimum; held at their
    // full width they stay wider than the narrowest page.
    for (Tschedule_timeline_Frame* frame : page.timelines())
        frame->setMinimumWidth(Tschedule_timeline_Frame::kWidth);
    page.resize(380, 260);
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    auto* scroll = page.findChild<QScrollArea*>("scheduler_timeline_ScrollBox");
    Tschedule_timeline_Frame* before = page.schedule_dow_Frame(4);
    Tschedule_timeline_Frame* target = page.schedule_dow_Frame(5);
    QTRY_VERIFY(scroll->viewport()->width() < target->width());
    before->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(before->hasFocus());
    QTest::keyClick(before, Qt::Key_Tab);
    QTRY_VERIFY(target->hasFocus());

    // In view from its left edge, where the day's name is, and whole in height.
    QTRY_COMPARE(scroll->horizontalScrollBar()->value(), scroll->horizontalScrollBar()->minimum());
    const QRect inViewport(target->mapTo(scroll->viewport(), QPoint(0, 0)), target->size());
    QVERIFY(scroll->viewport()->rect().contains(QRect(inViewport.topLeft(), QSize(1, inViewport.height()))));

    // A ring marks the focused day, and only it.
    const QColor ring(0xFF, 0xC8, 0x00);
    QTRY_COMPARE(target->grab().toImage().pixelColor(1, target->height() / 2), ring);
    QVERIFY(before->grab().toImage().pixelColor(1, before->height() / 2) != ring);
}

void TestSchedulerPage::eventsOpenFromButtonAndContextMenu_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("button") << "button";
    QTest::newRow("context menu") << "context menu";
}

void TestSchedulerPage::eventsOpenFromButtonAndContextMenu()
{
    QFETCH(QString, way);
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}}, false);
    QToolButton* button = fx.page().editEventsButton();
    QVERIFY(button);
    QVERIFY(button->isVisibleTo(&fx.page()));
    // Off with the scheduler, as the timelines are.
    QVERIFY(!button->isEnabled());
    QVERIFY(!fx.page().schedule_dow_Frame(kMonday)->contextMenu()->actions().constFirst()->isEnabled());
    QCheckBox* box = fx.page().scheduler_enable_CheckBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QVERIFY(button->isEnabled());

    QAction* open = nullptr;
    if (way == QLatin1String("button")) {
        QCOMPARE(button->menu()->actions().size(), 7);
        open = button->menu()->actions().at(kMonday - 1);
        QCOMPARE(open->text(), Tschedule_timeline_Frame::longDayName(kMonday) + QStringLiteral("..."));
    } else {
        open = fx.page().schedule_dow_Frame(kMonday)->contextMenu()->actions().constFirst();
        QVERIFY(open->text().contains(Tschedule_timeline_Frame::longDayName(kMonday)));
    }
    QVERIFY(open->isEnabled());
    open->trigger();
    QTRY_VERIFY(fx.form().isVisible());
    // The editor opened on Monday: its one event is listed.
    QCOMPARE(fx.rows(), 1);
    fx.click("close_Button");
    QTRY_VERIFY(!fx.form().isVisible());
}
