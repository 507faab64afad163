#include "SchedulerPageFixture.h"
#include "test_scheduler.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>

#include <cstring>

namespace {
constexpr int kMonday = 2;
constexpr int kTuesday = 3;

bool shows(QWidget* w)
{
    return w && w->isVisible();
}

QString accessibleName(QObject* o)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    return a ? a->text(QAccessible::Name) : QString();
}
} // namespace

void TestEventsEditor::initTestCase()
{
    QCOMPARE(Tscheduled_events_form().windowTitle(), QString(" Scheduled Events"));
}

void TestEventsEditor::emptyDayOffersOnlyAdd()
{
    SchedulerPageFixture fx;
    QVERIFY(fx.open(kMonday));
    QCOMPARE(fx.find<QLabel>("dow_Label")->text(), QString("Monday"));
    QVERIFY(shows(fx.find<QLabel>("no_events_Label")));
    QCOMPARE(fx.find<QLabel>("no_events_Label")->text(), QString("No Events Scheduled"));
    QVERIFY(!shows(fx.form().schedule_DrawGrid()));
    QVERIFY(!shows(fx.find<QToolButton>("del_toggle_Button")));
    QVERIFY(shows(fx.find<QToolButton>("add_Button")));
    QVERIFY(shows(fx.find<QToolButton>("copy_Button")));
    QVERIFY(fx.form().width() == Tscheduled_events_form::kWidth);
}

void TestEventsEditor::typedTimeIsStored()
{
    SchedulerPageFixture fx;
    QVERIFY(fx.open(kMonday));
    fx.click("add_Button");
    QCOMPARE(fx.form().PageControl1()->currentWidget()->objectName(), QString("event_edit_TabSheet"));
    // A new event starts at 12:00 with every setting left alone.
    QCOMPARE(fx.form().timeEdit()->hour_Edit()->text(), QString("12"));
    QCOMPARE(fx.form().timeEdit()->min_Edit()->text(), QString("00"));
    QVERIFY(!fx.form().fcCtrlFrame()->enable_Checkbox(TEventSetting::Run)->isChecked());
    QVERIFY(!fx.form().fcCtrlFrame()->setting_ComboBox(TEventSetting::Run)->isEnabled());

    fx.type(fx.form().timeEdit()->hour_Edit(), "7");
    fx.type(fx.form().timeEdit()->min_Edit(), "5");
    fx.click("event_accept_Button");
    QCOMPARE(fx.form().PageControl1()->currentWidget()->objectName(), QString("event_list_TabSheet"));
    QCOMPARE(fx.rows(), 1);
    QCOMPARE(fx.form().schedule_DrawGrid()->item(0, 0)->text(), QString("07:05"));
    // Nothing reaches the record before OK.
    QCOMPARE(fx.day(kMonday).daily_event[0].in_use, uint8_t(0));

    fx.click("event_list_ok_Button");
    QTRY_VERIFY(!fx.form().isVisible());
    QCOMPARE(fx.day(kMonday).daily_event[0].minute_of_day, uint16_t(425));
    QCOMPARE(fx.day(kMonday).daily_event[0].in_use, uint8_t(1));
    QCOMPARE(fx.day(kMonday).event_count, uint32_t(1));
}

void TestEventsEditor::timeFieldRules_data()
{
    QTest::addColumn<bool>("hourField");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key"); // 0: the field is left
    QTest::addColumn<QString>("shown");
    QTest::newRow("99 hours") << true << "99" << 0 << "23";
    QTest::newRow("99 minutes") << false << "99" << 0 << "59";
    QTest::newRow("nothing is 0") << true << "" << 0 << "00";
    QTest::newRow("letters are refused") << false << "x4" << 0 << "04";
    QTest::newRow("Up at 23 keeps 23") << true << "23" << int(Qt::Key_Up) << "23";
    QTest::newRow("Down at 0 keeps 0") << true << "0" << int(Qt::Key_Down) << "00";
    QTest::newRow("Up at 59 keeps 59") << false << "59" << int(Qt::Key_Up) << "59";
    QTest::newRow("Up from a typed value") << false << "8" << int(Qt::Key_Up) << "09";
    QTest::newRow("Down from a typed value") << true << "10" << int(Qt::Key_Down) << "09";
}

void TestEventsEditor::timeFieldRules()
{
    QFETCH(bool, hourField);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, shown);
    SchedulerPageFixture fx;
    QVERIFY(fx.open(kMonday));
    fx.click("add_Button");
    TEventTimeEdit* time = fx.form().timeEdit();
    QLineEdit* field = hourField ? time->hour_Edit() : time->min_Edit();
    QLineEdit* other = hourField ? time->min_Edit() : time->hour_Edit();
    fx.type(field, typed);
    if (key)
        QTest::keyClick(field, Qt::Key(key));
    else
        other->setFocus();
    QTRY_COMPARE(field->text(), shown);
    QCOMPARE((hourField ? time->hr_UpDown() : time->mn_UpDown())->position(), shown.toInt());
    // Accept stores what the fields show.
    const int expected = hourField ? shown.toInt() * 60 : 12 * 60 + shown.toInt();
    fx.click("event_accept_Button");
    QCOMPARE(int(fx.form().schedule_day.daily_event[0].minute_of_day), expected);
}

void TestEventsEditor::eighthEventHidesAddAndDeleteFreesItsSlot()
{
    SchedulerPageFixture fx;
    QVERIFY(fx.open(kMonday));
    for (int hour = 0; hour < 8; ++hour) {
        QVERIFY(shows(fx.find<QToolButton>("add_Button")));
        fx.addEvent(hour, 30);
    }
    QCOMPARE(fx.rows(), 8);
    QVERIFY(!shows(fx.find<QToolButton>("add_Button")));

    fx.click("del_toggle_Button");
    QVERIFY(fx.form().delete_state);
    QToolButton* third = fx.form().evt_Btn(2);
    QVERIFY(shows(third));
    QCOMPARE(accessibleName(third), QString("Delete event at 02:30"));
    QTest::mouseClick(third, Qt::LeftButton);
    // Gone at once, and delete mode stays on.
    QCOMPARE(fx.rows(), 7);
    QVERIFY(fx.form().delete_state);
    QCOMPARE(fx.form().schedule_day.daily_event[2].in_use, uint8_t(0));
    QVERIFY(shows(fx.find<QToolButton>("add_Button")));

    // The next new event takes the freed slot; Add leaves delete mode.
    fx.click("add_Button");
    QVERIFY(!fx.form().delete_state);
    QVERIFY(fx.form().new_event);
    QCOMPARE(fx.form().selected_evt, 2);
    fx.click("event_accept_Button");
    QCOMPARE(fx.rows(), 8);
    QCOMPARE(fx.form().schedule_day.daily_event[2].in_use, uint8_t(1));
    QCOMPARE(fx.form().schedule_day.daily_event[2].minute_of_day, uint16_t(720));
}

void TestEventsEditor::addThenCancelLeavesSlotFree()
{
    SchedulerPageFixture fx({{kMonday, 600, 1, 1, 0}, {kMonday, 300, 1, 0, 2}});
    const TSchedule_Day before = fx.day(kMonday);
    QVERIFY(fx.open(kMonday));
    QCOMPARE(fx.rows(), 2);
    fx.click("add_Button");
    QCOMPARE(fx.form().selected_evt, 1);
    fx.type(fx.form().timeEdit()->hour_Edit(), "3");
    fx.click("event_cancel_Button");
    QCOMPARE(fx.form().PageControl1()->currentWidget()->objectName(), QString("event_list_TabSheet"));
    QCOMPARE(fx.rows(), 2);
    QCOMPARE(fx.form().schedule_day.daily_event[1].in_use, uint8_t(0));

    fx.click("event_list_ok_Button");
    QCOMPARE(fx.day(kMonday).event_count, uint32_t(2));
    QCOMPARE(fx.day(kMonday).daily_event[1].in_use, uint8_t(0));
    QCOMPARE(std::memcmp(&fx.day(kMonday).daily_event[0], &before.daily_event[0], sizeof(TSchedule_Event)), 0);
    QCOMPARE(std::memcmp(&fx.day(kMonday).daily_event[2], &before.daily_event[2], sizeof(TSchedule_Event)), 0);
}

void TestEventsEditor::eventSelectShowsRecordValues_data()
{
    // Record values (run, mode, setpoint, fan, air direction), the enable
    // bytes, the list positions and ticks shown, and what Accept writes back.
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QByteArray>("enables");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QByteArray>("ticked");
    QTest::addColumn<QList<int>>("stored");
    QTest::newRow("in range") << QList<int>{1, 1, 230, 2, 1} << QByteArray("\1\1\1\1\1", 5) << QList<int>{1, 1, 5, 3, 5}
                              << QByteArray("\1\1\1\1\1", 5) << QList<int>{1, 1, 230, 2, 1};
    QTest::newRow("other codes") << QList<int>{0, 4, 180, 4, 6} << QByteArray("\0\1\0\1\0", 5)
                                 << QList<int>{0, 3, 0, 1, 4} << QByteArray("\0\1\0\1\0", 5)
                                 << QList<int>{0, 4, 180, 4, 6};
    // Codes outside their ranges show the first item (a setpoint its
    // nearest end); an enable byte other than 1 shows an empty box.
    QTest::newRow("out of range") << QList<int>{7, 9, 500, 0, 7} << QByteArray("\2\0\1\3\1", 5)
                                  << QList<int>{1, 0, 11, 0, 0} << QByteArray("\0\0\1\0\1", 5)
                                  << QList<int>{1, 2, 290, 5, 2};
    QTest::newRow("setpoint below range") << QList<int>{0, 2, 40, 5, 2} << QByteArray(5, 0) << QList<int>{0, 0, 0, 0, 0}
                                          << QByteArray(5, 0) << QList<int>{0, 2, 180, 5, 2};
}

void TestEventsEditor::eventSelectShowsRecordValues()
{
    QFETCH(QList<int>, values);
    QFETCH(QByteArray, enables);
    QFETCH(QList<int>, positions);
    QFETCH(QByteArray, ticked);
    QFETCH(QList<int>, stored);
    SchedulerPageFixture fx({{kMonday, 615, 0, 0}});
    TSchedule_Event& e = fx.day(kMonday).daily_event[0];
    e.run = uint8_t(values[0]);
    e.mode = uint8_t(values[1]);
    e.setpoint = uint32_t(values[2]);
    e.fanspeed = uint8_t(values[3]);
    e.airdir = uint8_t(values[4]);
    std::memcpy(e.settings_enable, enables.constData(), 5);
    QVERIFY(fx.open(kMonday));
    QTest::mouseClick(fx.form().evt_Btn(0), Qt::LeftButton);
    QVERIFY(!fx.form().new_event);
    QCOMPARE(fx.form().timeEdit()->hour_Edit()->text(), QString("10"));
    QCOMPARE(fx.form().timeEdit()->min_Edit()->text(), QString("15"));
    Tfc_ctrl_Frame* settings = fx.form().fcCtrlFrame();
    for (int s = 0; s < kEventSettings; ++s) {
        QCOMPARE(settings->setting_ComboBox(TEventSetting(s))->currentIndex(), positions[s]);
        QCOMPARE(settings->enable_Checkbox(TEventSetting(s))->isChecked(), bool(ticked[s]));
        QCOMPARE(settings->setting_ComboBox(TEventSetting(s))->isEnabled(), bool(ticked[s]));
    }
    fx.click("event_accept_Button");
    const TSchedule_Event& w = fx.form().schedule_day.daily_event[0];
    QCOMPARE((QList<int>{w.run, w.mode, int(w.setpoint), w.fanspeed, w.airdir}), stored);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(w.settings_enable), 5), ticked);
    QCOMPARE(w.minute_of_day, uint16_t(615));
}

void TestEventsEditor::gridShowsOnlyEnabledSettings()
{
    SchedulerPageFixture fx({{kMonday, 480, 1, 1}});
    TSchedule_Event& e = fx.day(kMonday).daily_event[0];
    std::memcpy(e.settings_enable, "\1\1\1\0\0", 5);
    e.mode = 1;
    QVERIFY(fx.open(kMonday));
    QTableWidget* grid = fx.form().schedule_DrawGrid();
    QCOMPARE(grid->item(0, 0)->text(), QString("08:00"));
    QCOMPARE(grid->item(0, 1)->text(), QString("On"));
    QCOMPARE(grid->item(0, 2)->text(), QString("Heat"));
    QCOMPARE(grid->item(0, 3)->text(), QString("21°C"));
    QCOMPARE(grid->item(0, 4)->text(), QString());
    QCOMPARE(grid->item(0, 5)->text(), QString());

    // Three framed pictures, two empty cells.
    grid->clearSelection();
    const QImage img = grid->viewport()->grab().toImage();
    auto uniform = [&](int column) {
        const QRect cell = grid->visualRect(grid->model()->index(0, column)).adjusted(1, 1, -1, -1);
        const QRgb first = img.pixel(cell.topLeft());
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (img.pixel(x, y) != first)
                    return false;
        return true;
    };
    for (int column : {1, 2, 3})
        QVERIFY2(!uniform(column), qPrintable(QString::number(column)));
    for (int column : {4, 5})
        QVERIFY2(uniform(column), qPrintable(QString::number(column)));
}

void TestEventsEditor::rowButtonsFollowTheirRows()
{
    SchedulerPageFixture fx;
    QVERIFY(fx.open(kMonday));
    for (int hour = 0; hour < 8; ++hour)
        fx.addEvent(hour, 0);
    QTableWidget* grid = fx.form().schedule_DrawGrid();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    QVERIFY(grid->verticalScrollBar()->maximum() > 0);
    for (int row = 0; row < 8; ++row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 6));
        QToolButton* button = fx.form().evt_Btn(row);
        QCOMPARE(button->isVisible(), cell.intersects(grid->viewport()->rect()));
        if (!button->isVisible())
            continue;
        QCOMPARE(button->geometry().right(), cell.right());
        QCOMPARE(button->geometry().center().y(), cell.center().y());
        QCOMPARE(accessibleName(button), QString("Edit event at %1:00").arg(row, 2, 10, QLatin1Char('0')));
    }
    QVERIFY(!fx.form().evt_Btn(0)->isVisible());
    QVERIFY(fx.form().evt_Btn(7)->isVisible());

    // Enter on the grid opens its current row.
    grid->setFocus();
    grid->setCurrentCell(7, 0);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(fx.form().PageControl1()->currentWidget()->objectName(), QString("event_edit_TabSheet"));
    QCOMPARE(fx.form().timeEdit()->hour_Edit()->text(), QString("07"));
}

void TestEventsEditor::copyDialogOffersOnlyOtherDays()
{
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}});
    QVERIFY(fx.open(kMonday));
    fx.click("copy_Button");
    Tcopy_events_Form* copy = fx.form().copyForm();
    QTRY_VERIFY(copy->isVisible());
    QCOMPARE(copy->windowTitle(), QString(" Copy Scheduled Event List..."));
    QCOMPARE(copy->findChild<QLabel*>("dow_Label")->text(), QString("Monday"));
    auto* ok = copy->findChild<QPushButton*>("ok_Button");
    QVERIFY(!ok->isEnabled());
    QVERIFY(!copy->dayButton(kMonday)->isEnabled());

    for (int day = 1; day <= 7; ++day) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(copy->dayButton(day));
        QCOMPARE(a->text(QAccessible::Name), Tschedule_timeline_Frame::longDayName(day));
        QVERIFY(a->state().checkable);
    }
    QTest::mouseClick(copy->dayButton(kMonday), Qt::LeftButton);
    QVERIFY(!ok->isEnabled());
    QTest::mouseClick(copy->dayButton(kTuesday), Qt::LeftButton);
    QVERIFY(ok->isEnabled());
    QVERIFY(QAccessible::queryAccessibleInterface(copy->dayButton(kTuesday))->state().checked);
    QTest::mouseClick(copy->dayButton(kTuesday), Qt::LeftButton);
    QVERIFY(!ok->isEnabled());
    QVERIFY(!copy->dayChosen(kTuesday));

    QTest::mouseClick(copy->dayButton(kTuesday), Qt::LeftButton);
    fx.click("cancel_Button");
    QTRY_VERIFY(!copy->isVisible());
    QCOMPARE(fx.day(kTuesday).event_count, uint32_t(0));
    QCOMPARE(fx.changed->count(), 0);

    // Reopened, the dialog starts afresh.
    fx.click("copy_Button");
    QTRY_VERIFY(copy->isVisible());
    QVERIFY(!copy->dayButton(kTuesday)->isChecked());
    QVERIFY(!ok->isEnabled());
    fx.click("cancel_Button");
}

void TestEventsEditor::copyThenCancelKeepsCopyAndRecomputes()
{
    SchedulerPageFixture fx;
    QVERIFY(fx.open(kMonday));
    fx.addEvent(7, 0, 1);
    fx.click("copy_Button");
    QTRY_VERIFY(fx.form().copyForm()->isVisible());
    QTest::mouseClick(fx.form().copyForm()->dayButton(kTuesday), Qt::LeftButton);
    fx.click("ok_Button");
    QTRY_VERIFY(!fx.form().copyForm()->isVisible());

    // Written at once, and the project is modified.
    QCOMPARE(fx.day(kTuesday).event_count, uint32_t(1));
    QCOMPARE(fx.day(kTuesday).daily_event[0].minute_of_day, uint16_t(420));
    QCOMPARE(fx.day(kTuesday).daily_event[0].run, uint8_t(1));
    QVERIFY(fx.changed->count() >= 1);

    fx.click("close_Button");
    QTRY_VERIFY(!fx.form().isVisible());
    QCOMPARE(fx.day(kMonday).event_count, uint32_t(0));
    QCOMPARE(fx.day(kMonday).daily_event[0].in_use, uint8_t(0));
    QCOMPARE(fx.day(kTuesday).event_count, uint32_t(1));
    // Tuesday's 07:00 On is the week's only run event: every day starts On,
    // and the timelines show it.
    for (int day = 1; day <= 7; ++day)
        QCOMPARE(fx.page().schedule_dow_Frame(day)->starting_runstate, 1);
    QCOMPARE(fx.page().schedule_dow_Frame(kTuesday)->event_list.size(), std::size_t(1));
    QVERIFY(fx.page().schedule_dow_Frame(kMonday)->event_list.empty());
}

void TestEventsEditor::pictureButtonsAreNamed()
{
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}});
    QVERIFY(fx.open(kMonday));
    for (auto [name, hint] : {std::pair{"add_Button", "Add New Event"},
                              {"copy_Button", "Copy Event List"},
                              {"del_toggle_Button", "Enable/Disable Delete Event"}}) {
        auto* button = fx.find<QToolButton>(name);
        QCOMPARE(accessibleName(button), QString(hint));
        QCOMPARE(button->toolTip(), QString(hint));
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(accessibleName(fx.form().evt_Btn(0)), QString("Edit event at 10:00"));
    // On Linux a list's accessible name is its current item; the setting's
    // name stays on the widget.
    QCOMPARE(fx.form().fcCtrlFrame()->setting_ComboBox(TEventSetting::FanSpeed)->accessibleName(),
             QString("Fan Speed"));
    QCOMPARE(accessibleName(fx.form().timeEdit()->hour_Edit()), QString("Hour"));
}

void TestEventsEditor::settingListsShowTheirPicturesByName()
{
    // The editor on its own, no configuration page made before it: the
    // picture lists must bring their own accessibility along.
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}});
    QVERIFY(fx.open(kMonday));
    QTest::mouseClick(fx.form().evt_Btn(0), Qt::LeftButton);
    // The setpoint is a plain list of degrees; the other four show pictures.
    for (TEventSetting s :
         {TEventSetting::Run, TEventSetting::Mode, TEventSetting::FanSpeed, TEventSetting::AirDirection}) {
        QComboBox* list = fx.form().fcCtrlFrame()->setting_ComboBox(s);
        list->setEnabled(true);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::ComboBox);
        QCOMPARE(iface->childCount(), list->count());
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(iface->child(i)->text(QAccessible::Name), list->itemText(i));
        // Pressing the last item picks it, as a click in the list does.
        const int last = list->count() - 1;
        iface->child(last)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(list->currentIndex(), last);
        QCOMPARE(iface->text(QAccessible::Value), list->itemText(last));
    }
}

namespace {
// The shown buttons a screen reader finds walking down from the interface.
void collectButtons(QAccessibleInterface* node, QStringList& names, int depth = 0)
{
    if (!node || depth > 40)
        return;
    if (node->role() == QAccessible::Button && !node->state().invisible && node->actionInterface()
        && node->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()))
        names << node->text(QAccessible::Name);
    for (int i = 0; i < node->childCount(); ++i)
        collectButtons(node->child(i), names, depth + 1);
}
} // namespace

void TestEventsEditor::rowButtonsAreInTheAccessibilityTree()
{
    SchedulerPageFixture fx({{kMonday, 600, 1, 1}, {kMonday, 1080, 0, 0}});
    QVERIFY(fx.open(kMonday));
    QStringList names;
    collectButtons(QAccessible::queryAccessibleInterface(&fx.form()), names);
    QVERIFY2(names.contains(QStringLiteral("Edit event at 10:00")), qPrintable(names.join(", ")));
    QVERIFY(names.contains(QStringLiteral("Edit event at 18:00")));

    fx.click("del_toggle_Button");
    names.clear();
    collectButtons(QAccessible::queryAccessibleInterface(&fx.form()), names);
    QVERIFY2(names.contains(QStringLiteral("Delete event at 18:00")), qPrintable(names.join(", ")));
    // Pressed through the accessibility layer, as a screen reader presses it.
    QAccessibleInterface* second = QAccessible::queryAccessibleInterface(fx.form().evt_Btn(1));
    second->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(fx.rows(), 1);

    // A click beside the buttons still lands on the grid's row.
    QTableWidget* grid = fx.form().schedule_DrawGrid();
    const QRect cell = grid->visualRect(grid->model()->index(0, 1));
    QWidget* page = fx.form().evt_Btn(0)->parentWidget()->parentWidget();
    QCOMPARE(page->childAt(grid->viewport()->mapTo(page, cell.center())), grid->viewport());
    // and a click on a button lands on the button
    const QPoint onButton = fx.form().evt_Btn(0)->geometry().center();
    QCOMPARE(page->childAt(grid->viewport()->mapTo(page, onButton)), fx.form().evt_Btn(0));
}
