#pragma once
// The user-interface sub-page (RC_ui_cfg_TabSheet): which controls the R/C
// offers its user (one enable box per control) and, in a grid beside each
// box, which of the control's options. A grid is disabled while its box is
// clear, but the options it holds stay as they are in the record.

#include "ui/common/TConfigEditorPage.h"

#include <array>

class QCheckBox;
class TOptionGrid;

class TUserInterfacePage : public TConfigEditorPage {
    Q_OBJECT
public:
    explicit TUserInterfacePage(const TDevice_Config_v2& record, QWidget* parent = nullptr);

    void Show_Device_Config(const TDevice_Config_v2& config) override;

    // Tag 1 mode, 2 setpoint, 3 fan speed, 4 air direction.
    QCheckBox* enableBox(int tag) const { return m_boxes.at(tag - 1); }
    TOptionGrid* grid(int tag) const { return m_grids.at(tag - 1); }

private:
    void md_ui_CheckBoxClick(int tag);

    const TDevice_Config_v2& m_record;
    std::array<QCheckBox*, 4> m_boxes{};
    std::array<TOptionGrid*, 4> m_grids{};
};
