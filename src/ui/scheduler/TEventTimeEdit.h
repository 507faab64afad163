#pragma once
// The time of an event on the editor's edit page: two large two-digit
// fields, hours and minutes, each with a spinner. A spinner refuses to leave
// its range; the Up and Down keys in a field move its spinner; a field that
// is left is read as a number (anything else is 0), clamped to its range and
// shown with two digits, and its spinner follows, so the time stored is the
// time the fields show.

#include <QWidget>

class QLineEdit;
class TUpDown;

class TEventTimeEdit : public QWidget {
    Q_OBJECT
public:
    explicit TEventTimeEdit(QWidget* parent = nullptr);

    void setMinuteOfDay(int minute);
    // hr_UpDown x 60 + mn_UpDown.
    int minuteOfDay() const;
    // Takes what the fields show into the spinners, as leaving them does.
    void commitFields();

    QLineEdit* hour_Edit() const { return m_hour; }
    QLineEdit* min_Edit() const { return m_minute; }
    TUpDown* hr_UpDown() const { return m_hourSpinner; }
    TUpDown* mn_UpDown() const { return m_minuteSpinner; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool hr_UpDownChangingEx(int newValue);
    bool mn_UpDownChangingEx(int newValue);
    void hour_EditExit();
    void min_EditExit();
    bool fieldKeyDown(QLineEdit* field, TUpDown* spinner, int key);

    static bool spinnerChanging(QLineEdit* field, int newValue, int top);
    static void fieldExit(QLineEdit* field, TUpDown* spinner, int top);

    QLineEdit* m_hour = nullptr;
    QLineEdit* m_minute = nullptr;
    TUpDown* m_hourSpinner = nullptr;
    TUpDown* m_minuteSpinner = nullptr;
};
