#pragma once
// One row of owner-drawn option cells on the user-interface page
// (mode_DrawGrid, sp_DrawGrid, fanspeed_DrawGrid, airdir_DrawGrid). The grid
// keeps no state of its own: whenever it paints it reads the record, so a
// cell always shows what the record holds.
//
// A click on a cell, or moving the current cell with the arrow keys, selects
// that cell (rc_ui_DrawGridSelectCell): on the mode, fan speed and air
// direction grids the option's enable entry flips; on the setpoint grid the
// cell decides how the setpoint is shown. Space selects the current cell
// again, so every cell can be flipped from the keyboard alone.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/OptionCodes.h"

#include <QWidget>

#include <functional>

class TOptionGrid : public QWidget {
    Q_OBJECT
public:
    using RecordChange = std::function<void(TDevice_Config_v2&)>;
    // option: Mode, Setpoint, FanSpeed or AirDirection. The grid reads
    // record when it paints and changes it through edit.
    TOptionGrid(TControlOption option, const TDevice_Config_v2& record, std::function<void(const RecordChange&)> edit,
                QWidget* parent = nullptr);

    TControlOption option() const { return m_option; }
    int cellCount() const;
    QRect cellRect(int cell) const;
    QString cellName(int cell) const;
    bool isCellSelected(int cell) const;
    int currentCell() const { return m_current; }

    // rc_ui_DrawGridSelectCell: the cell's option flips (the setpoint grid
    // takes the cell's way of showing) as one edit, the cell becomes current
    // and the grid repaints.
    void rc_ui_DrawGridSelectCell(int cell);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return QSize(sizeHint().width(), kMinimumRowHeight); }

    static constexpr int kRowHeight = 60;
    static constexpr int kMinimumRowHeight = 50;
    static constexpr int kCellWidth = 70;
    static constexpr int kSetpointCellWidth = 130;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click has already selected its cell.
    void mouseDoubleClickEvent(QMouseEvent*) override { }
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // rc_ui_DrawGridDrawCell
    void rc_ui_DrawGridDrawCell(QPainter& painter, int cell) const;
    int cellWidth() const;
    const uint8_t* enableEntries() const;

    TControlOption m_option;
    const TDevice_Config_v2& m_record;
    std::function<void(const RecordChange&)> m_edit;
    int m_current = 0;
};
