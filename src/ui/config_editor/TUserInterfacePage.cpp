#include "ui/config_editor/TUserInterfacePage.h"

#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/TOptionGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
struct Row {
    const char* boxName;
    const char* gridName;
    const char* caption;
    TControlOption option;
};
constexpr std::array<Row, 4> kRows{{
    {"md_ui_CheckBox", "mode_DrawGrid", "Mode", TControlOption::Mode},
    {"sp_ui_CheckBox", "sp_DrawGrid", "Setpoint", TControlOption::Setpoint},
    {"fs_ui_CheckBox", "fanspeed_DrawGrid", "Fan Speed", TControlOption::FanSpeed},
    {"ad_ui_CheckBox", "airdir_DrawGrid", "Air Direction", TControlOption::AirDirection},
}};
} // namespace

TUserInterfacePage::TUserInterfacePage(const TDevice_Config_v2& record, QWidget* parent)
    : TConfigEditorPage(record, parent)
    , m_record(record)
{
    setObjectName(QStringLiteral("RC_ui_cfg_TabSheet"));

    // No frame or title around the rows: the tab names the page, and the
    // four rows of pictures fill a low page on their own.
    auto* group = new QWidget;
    group->setObjectName(QStringLiteral("rc_ui_GroupBox"));
    group->setAccessibleName(QStringLiteral("R/C User Interface"));
    auto* rows = new QGridLayout(group);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setHorizontalSpacing(10);
    rows->setVerticalSpacing(0);
    for (int i = 0; i < int(kRows.size()); ++i) {
        const Row& row = kRows[std::size_t(i)];
        const int tag = i + 1;
        const QString caption = QString::fromLatin1(row.caption);

        // The box has no caption of its own: the label beside it names the grid.
        auto* box = new QCheckBox;
        box->setObjectName(QString::fromLatin1(row.boxName));
        box->setProperty("Tag", tag);
        box->setAccessibleName(caption + QStringLiteral(" control offered"));
        box->setToolTip(QStringLiteral("Offer the %1 control on the R/C").arg(caption.toLower()));
        connect(box, &QCheckBox::clicked, this, [this, tag] { md_ui_CheckBoxClick(tag); });

        auto* grid = new TOptionGrid(row.option, m_record, [this](const RecordChange& change) { editRecord(change); });
        grid->setObjectName(QString::fromLatin1(row.gridName));
        grid->setProperty("Tag", tag);
        grid->setAccessibleName(caption + QStringLiteral(" options"));

        auto* label = new QLabel(caption);
        label->setBuddy(grid);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);

        rows->addWidget(box, i, 0, Qt::AlignVCenter);
        rows->addWidget(label, i, 1, Qt::AlignVCenter);
        rows->addWidget(grid, i, 2, Qt::AlignLeft);
        rows->setRowStretch(i, 1);
        m_boxes[std::size_t(i)] = box;
        m_grids[std::size_t(i)] = grid;
    }
    rows->setColumnStretch(3, 1);

    auto* hint = new Thint_Frame(7);
    hint->setObjectName(QStringLiteral("rc_ui_hint_Frame"));
    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addWidget(hint, 0, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addLayout(top);
    layout->addStretch(1);
}

void TUserInterfacePage::md_ui_CheckBoxClick(int tag)
{
    const bool ticked = m_boxes[std::size_t(tag - 1)]->isChecked();
    editRecord([tag, ticked](TDevice_Config_v2& r) { r.rc_ctrl_enable[tag - 1] = ticked ? 1 : 0; });
    m_grids[std::size_t(tag - 1)]->setEnabled(ticked);
}

void TUserInterfacePage::Show_Device_Config(const TDevice_Config_v2& config)
{
    for (int i = 0; i < 4; ++i) {
        const bool ticked = config.rc_ctrl_enable[i] != 0;
        m_boxes[std::size_t(i)]->setChecked(ticked);
        m_grids[std::size_t(i)]->setEnabled(ticked);
        m_grids[std::size_t(i)]->update();
    }
}
