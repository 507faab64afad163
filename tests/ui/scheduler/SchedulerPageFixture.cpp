#include "SchedulerPageFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTableWidget>

SchedulerPageFixture::SchedulerPageFixture(const PlannedEvents& events, bool schedulerOn)
{
    putEvents(record, events);
    record.scheduler_enabled = schedulerOn ? 1 : 0;
    m_page = std::make_unique<TSchedulerPage>(record);
    m_page->editInPlace(record);
    m_page->resize(760, 900);
    m_page->show();
    if (!QTest::qWaitForWindowExposed(m_page.get()))
        qWarning("scheduler page not exposed");
    m_page->Show_Device_Config(record);
    changed = std::make_unique<QSignalSpy>(m_page.get(), &TConfigEditorPage::changed);
}

bool SchedulerPageFixture::open(int d)
{
    QTest::mouseClick(m_page->schedule_dow_Frame(d), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return form().isVisible(); }, 10000))
        return false;
    // Focus moves (leaving a time field) need the editor to be the active
    // window of the application, which follows the platform's a little later.
    form().activateWindow();
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == &form(); }, 10000);
}

void SchedulerPageFixture::click(const char* name)
{
    // The copy dialog is the editor's child: its buttons are found the same way.
    auto* button = form().findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!button) {
        qWarning("no button %s", name);
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void SchedulerPageFixture::type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

void SchedulerPageFixture::addEvent(int hour, int minute, int run)
{
    click("add_Button");
    type(form().timeEdit()->hour_Edit(), QString::number(hour));
    type(form().timeEdit()->min_Edit(), QString::number(minute));
    if (run >= 0) {
        Tfc_ctrl_Frame* settings = form().fcCtrlFrame();
        QCheckBox* box = settings->enable_Checkbox(TEventSetting::Run);
        if (!box->isChecked())
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        settings->setting_ComboBox(TEventSetting::Run)->setCurrentIndex(run);
    }
    click("event_accept_Button");
}

int SchedulerPageFixture::rows()
{
    return form().schedule_DrawGrid()->rowCount();
}
