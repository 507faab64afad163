#pragma once
// The five settings of a scheduled event, each an enable box above its list:
// run, mode, setpoint, fan speed, air direction. A list can be chosen from
// only while its box is ticked. The frame only shows and reads an event; the
// events editor decides when the event is written.

#include "ui/scheduler/EventOptions.h"

#include "core/model/DeviceConfigRecords.h"

#include <QFrame>

#include <array>

class QCheckBox;
class QComboBox;

class Tfc_ctrl_Frame : public QFrame {
    Q_OBJECT
public:
    explicit Tfc_ctrl_Frame(QWidget* parent = nullptr);

    // Boxes ticked where the event's enable byte is exactly 1, lists at the
    // event's values (a code the lists do not know shows their first item).
    void displayEvent(const TSchedule_Event& event);
    // The chosen values and enable bytes into event; nothing else of it.
    void readEvent(TSchedule_Event& event) const;

    QCheckBox* enable_Checkbox(TEventSetting s) const { return m_enable[std::size_t(s)]; }
    QComboBox* setting_ComboBox(TEventSetting s) const { return m_list[std::size_t(s)]; }

private slots:
    void enable_CheckBoxClick();

private:
    std::array<QCheckBox*, kEventSettings> m_enable{};
    std::array<QComboBox*, kEventSettings> m_list{};
};
