#pragma once
// The events of one day of the weekly schedule, edited on a working copy of
// the day: a list page (the event grid, Add, delete mode, Copy, OK, Cancel)
// and an edit page (the time and the five settings, Accept, Cancel). Only OK
// writes the day back; Copy writes the working copy straight onto the days
// chosen in the copy dialog. Created once and reused; it opens modal without
// blocking its caller, which learns the outcome from finished().

#include "core/model/ScheduleModel.h"

#include <QDialog>
#include <QList>

#include <array>

class QLabel;
class QStackedWidget;
class QTableWidget;
class QToolButton;
class QPushButton;
class TEventTimeEdit;
class Tcopy_events_Form;
class Tfc_ctrl_Frame;
class Tschedule_timeline_Frame;

class Tscheduled_events_form : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 605;
    static constexpr int kMinimumHeight = 392;
    static constexpr int kColumnWidth = 70;
    static constexpr int kRowHeight = 60;

    explicit Tscheduled_events_form(QWidget* parent = nullptr);

    // The day of frame, with the seven timelines (days 1..7) whose days a
    // copy may write: the day's name, then init.
    void prepare(Tschedule_timeline_Frame* frame, const QList<Tschedule_timeline_Frame*>& frames);
    // Delete mode off, the working copy taken from the day, the list page.
    void init();
    void delete_state_set(bool state);
    // A list row chosen: deleted in delete mode, else opened for editing.
    void event_select(int row);

    TSchedule_Day schedule_day{};
    TScheduleEventList SE_event_list;
    int selected_evt = 0;
    bool new_event = false;
    bool delete_state = false;
    Tschedule_timeline_Frame* pSTL_frame = nullptr;
    QList<Tschedule_timeline_Frame*> pSTL_frame_list;

    QTableWidget* schedule_DrawGrid() const { return m_grid; }
    QToolButton* evt_Btn(int i) const { return m_rowButtons[std::size_t(i)]; }
    Tfc_ctrl_Frame* fcCtrlFrame() const { return m_settings; }
    TEventTimeEdit* timeEdit() const { return m_time; }
    Tcopy_events_Form* copyForm() const { return m_copyForm; }
    QStackedWidget* PageControl1() const { return m_pages; }

signals:
    // OK: the working copy is to become the record's day (1..7). The form
    // writes no record itself; the page makes the edit.
    void dayAccepted(int day, const TSchedule_Day& schedule);
    // The working copy is to be copied onto these days (1..7) of the record.
    void daysCopied(const QList<int>& days, const TSchedule_Day& schedule);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void add_ButtonClick();
    void del_toggle_ButtonClick();
    void copy_ButtonClick();
    void event_accept_ButtonClick();
    void event_cancel_ButtonClick();
    void event_list_ok_ButtonClick();
    void close_ButtonClick();
    void evt_ButtonClick();
    void copyFormFinished(int result);

private:
    QWidget* buildListPage();
    QWidget* buildEditPage();
    void rebuildList();
    void fillGrid();
    void placeRowButtons();
    void showButtonPictures();
    void loadEditPage(const TSchedule_Event& event);
    QString rowTime(int row) const;

    QLabel* dow_Label = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_listPage = nullptr;
    QWidget* m_editPage = nullptr;
    QToolButton* m_copy = nullptr;
    QToolButton* m_deleteToggle = nullptr;
    QToolButton* m_add = nullptr;
    QTableWidget* m_grid = nullptr;
    QLabel* m_noEvents = nullptr;
    std::array<QToolButton*, kScheduleSlots> m_rowButtons{};
    // Holds the row buttons over the grid's viewport: inside the viewport
    // they were no part of the grid's accessible table, so screen readers
    // never met them.
    QWidget* m_rowButtonLayer = nullptr;
    TEventTimeEdit* m_time = nullptr;
    Tfc_ctrl_Frame* m_settings = nullptr;
    Tcopy_events_Form* m_copyForm = nullptr;
};
