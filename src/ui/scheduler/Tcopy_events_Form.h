#pragma once
// Chooses the days a day's event list is copied onto: seven toggle buttons,
// Sunday to Saturday, beside the source day's name. OK is offered once a day
// other than the source is chosen; the source day cannot be chosen. The
// chosen days are read after the dialog closes.

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

class Tcopy_events_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tcopy_events_Form(QWidget* parent = nullptr);

    // Every day up and enabled but the source, nothing chosen, OK disabled.
    void Init(int day_idx);
    // Day 1..7 chosen.
    bool dayChosen(int day) const { return m_dayFlag[std::size_t(day - 1)]; }
    QPushButton* dayButton(int day) const { return m_dayButton[std::size_t(day - 1)]; }

private slots:
    void SpeedButtonClick();

private:
    std::array<QPushButton*, 7> m_dayButton{};
    std::array<bool, 7> m_dayFlag{};
    QLabel* dow_Label = nullptr;
    QPushButton* ok_Button = nullptr;
    QPushButton* cancel_Button = nullptr;
};
