#pragma once
// The occupancy sub-page (occupancy_cfg_TabSheet): the unoccupied strategy
// with its temperature limits and the occupied strategy with the five
// settings it applies when the room becomes occupied.

#include "ui/common/TConfigEditorPage.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class TLimitUpDown;

class TOccupancyPage : public TConfigEditorPage {
    Q_OBJECT
public:
    explicit TOccupancyPage(const TDevice_Config_v2& record, QWidget* parent = nullptr);

    void Show_Device_Config(const TDevice_Config_v2& config) override;

    // At least this much (tenths of a degree) between the two limits.
    static constexpr int kMinimumGap = 20;

    // The limit rules. A move that widens the gap between the limits is
    // always granted within the control's range, so a record stored with
    // limits too close (or crossed) can be brought back into shape.
    static bool minimumGranted(int requested, int minimumPosition, int maximumPosition);
    static bool maximumGranted(int requested, int minimumPosition, int maximumPosition);
    // "%.2d°C" of tenths ÷ 10.
    static QString limitText(int tenths);

    TLimitUpDown* minimumUpDown() const { return m_minUpDown; }
    TLimitUpDown* maximumUpDown() const { return m_maxUpDown; }

private:
    void buildUnoccupied();
    void buildOccupied();
    void unoccupied_enable_CheckBoxClick();
    void occupied_enable_CheckBoxClick();
    void occupied_state_enable_CheckBoxClick(int tag);
    void occupied_state_ComboBoxChange(int tag);
    void showLimit(QLineEdit* edit, int tenths);

    const TDevice_Config_v2& m_record;
    QCheckBox* m_unoccupiedBox = nullptr;
    QGroupBox* m_unoccupiedGroup = nullptr;
    QLineEdit* m_minEdit = nullptr;
    QLineEdit* m_maxEdit = nullptr;
    TLimitUpDown* m_minUpDown = nullptr;
    TLimitUpDown* m_maxUpDown = nullptr;
    QCheckBox* m_occupiedBox = nullptr;
    QGroupBox* m_occupiedGroup = nullptr;
    std::array<QCheckBox*, 5> m_itemBoxes{};
    std::array<QComboBox*, 5> m_lists{};
};
