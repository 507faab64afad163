#include "ui/config_editor/TOccupancyPage.h"

#include "core/model/OptionCodes.h"
#include "ui/common/TPictureComboBox.h"
#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/TLimitUpDown.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kMinLow = 100;
constexpr int kMinHigh = 270;
constexpr int kMaxLow = 120;
constexpr int kMaxHigh = 290;

struct Column {
    const char* boxName;
    const char* listName;
    const char* caption;
    TControlOption option;
};
// By Tag, the settings index of occupied_settings_enable.
constexpr std::array<Column, 5> kColumns{{
    {"occupied_run_enable_CheckBox", "occupied_run_ComboBox", "Run", TControlOption::Run},
    {"occupied_mode_enable_CheckBox", "occupied_mode_ComboBox", "Mode", TControlOption::Mode},
    {"occupied_setpoint_enable_CheckBox", "occupied_setpoint_ComboBox", "Setpoint", TControlOption::Setpoint},
    {"occupied_fan_enable_CheckBox", "occupied_fan_ComboBox", "Fan Speed", TControlOption::FanSpeed},
    {"occupied_airdir_enable_CheckBox", "occupied_airdir_ComboBox", "Air Direction", TControlOption::AirDirection},
}};

QHBoxLayout* strategyHeader(QCheckBox* box, int hintTag, const char* hintName)
{
    auto* hint = new Thint_Frame(hintTag);
    hint->setObjectName(QString::fromLatin1(hintName));
    auto* header = new QHBoxLayout;
    header->addWidget(box);
    header->addWidget(hint);
    header->addStretch(1);
    return header;
}
} // namespace

TOccupancyPage::TOccupancyPage(const TDevice_Config_v2& record, QWidget* parent)
    : TConfigEditorPage(record, parent)
    , m_record(record)
{
    setObjectName(QStringLiteral("occupancy_cfg_TabSheet"));
    buildUnoccupied();
    buildOccupied();

    auto* note = new QLabel(QStringLiteral("Note: The occupancy strategies are not available for the Corvane-RTC"));
    note->setObjectName(QStringLiteral("occupancy_note_Label"));
    QFont italic = note->font();
    italic.setItalic(true);
    note->setFont(italic);

    // Each strategy's box and badge stand left of its group, so that both
    // strategies fit a low page.
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setVerticalSpacing(6);
    layout->addLayout(strategyHeader(m_unoccupiedBox, 1, "unoccupied_hint_Frame"), 0, 0, Qt::AlignTop);
    layout->addWidget(m_unoccupiedGroup, 0, 1);
    layout->addLayout(strategyHeader(m_occupiedBox, 2, "occupied_hint_Frame"), 1, 0, Qt::AlignTop);
    layout->addWidget(m_occupiedGroup, 1, 1);
    layout->setRowStretch(2, 1);
    layout->addWidget(note, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);
}

void TOccupancyPage::buildUnoccupied()
{
    m_unoccupiedBox = new QCheckBox(QStringLiteral("Unoccupied Strategy"));
    m_unoccupiedBox->setObjectName(QStringLiteral("unoccupied_enable_CheckBox"));
    connect(m_unoccupiedBox, &QCheckBox::clicked, this, &TOccupancyPage::unoccupied_enable_CheckBoxClick);

    m_unoccupiedGroup = new QGroupBox(QStringLiteral(" Room Temperature Range "));
    m_unoccupiedGroup->setObjectName(QStringLiteral("unocc_strategy_GroupBox"));
    auto makeEdit = [](const char* name, const QString& caption, const QString& initial) {
        auto* edit = new QLineEdit(initial);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(64);
        edit->setAccessibleName(caption);
        return edit;
    };
    m_minEdit = makeEdit("unoccupied_min_Edit", QStringLiteral("Minimum temperature"), limitText(kMinLow));
    m_maxEdit = makeEdit("unoccupied_max_Edit", QStringLiteral("Maximum temperature"), limitText(kMaxHigh));
    m_minUpDown = new TLimitUpDown(kMinLow, kMinHigh, 10);
    m_minUpDown->setObjectName(QStringLiteral("unoccupied_min_UpDown"));
    m_minUpDown->setAccessibleCaption(QStringLiteral("Minimum temperature"));
    m_minUpDown->setPosition(kMinLow);
    m_minUpDown->attachTo(m_minEdit);
    m_maxUpDown = new TLimitUpDown(kMaxLow, kMaxHigh, 10);
    m_maxUpDown->setObjectName(QStringLiteral("unoccupied_max_UpDown"));
    m_maxUpDown->setAccessibleCaption(QStringLiteral("Maximum temperature"));
    m_maxUpDown->setPosition(kMaxHigh);
    m_maxUpDown->attachTo(m_maxEdit);

    // unoccupied_min_UpDownChangingEx / unoccupied_max_UpDownChangingEx
    m_minUpDown->changingEx = [this](int v) {
        if (!minimumGranted(v, m_minUpDown->position(), m_maxUpDown->position()))
            return false;
        editRecord([v](TDevice_Config_v2& r) { r.unoccupied_min_temp = uint32_t(v); });
        showLimit(m_minEdit, v);
        return true;
    };
    m_maxUpDown->changingEx = [this](int v) {
        if (!maximumGranted(v, m_minUpDown->position(), m_maxUpDown->position()))
            return false;
        editRecord([v](TDevice_Config_v2& r) { r.unoccupied_max_temp = uint32_t(v); });
        showLimit(m_maxEdit, v);
        return true;
    };

    auto* minLabel = new QLabel(QStringLiteral("Minimum:"));
    minLabel->setBuddy(m_minEdit);
    auto* maxLabel = new QLabel(QStringLiteral("Maximum:"));
    maxLabel->setBuddy(m_maxEdit);
    auto* row = new QHBoxLayout(m_unoccupiedGroup);
    row->addWidget(minLabel);
    row->addWidget(m_minEdit);
    row->addWidget(m_minUpDown);
    row->addSpacing(24);
    row->addWidget(maxLabel);
    row->addWidget(m_maxEdit);
    row->addWidget(m_maxUpDown);
    row->addStretch(1);
}

void TOccupancyPage::buildOccupied()
{
    m_occupiedBox = new QCheckBox(QStringLiteral("Occupied Strategy"));
    m_occupiedBox->setObjectName(QStringLiteral("occupied_enable_CheckBox"));
    connect(m_occupiedBox, &QCheckBox::clicked, this, &TOccupancyPage::occupied_enable_CheckBoxClick);

    m_occupiedGroup = new QGroupBox(QStringLiteral(" Settings Applied When Occupied "));
    m_occupiedGroup->setObjectName(QStringLiteral("occ_strategy_GroupBox"));
    auto* columns = new QGridLayout(m_occupiedGroup);
    columns->setHorizontalSpacing(18);
    for (int tag = 0; tag < int(kColumns.size()); ++tag) {
        const Column& column = kColumns[std::size_t(tag)];
        const QString caption = QString::fromLatin1(column.caption);
        auto* box = new QCheckBox(caption);
        box->setObjectName(QString::fromLatin1(column.boxName));
        box->setProperty("Tag", tag);
        connect(box, &QCheckBox::clicked, this, [this, tag] { occupied_state_enable_CheckBoxClick(tag); });

        QComboBox* list
            = column.option == TControlOption::Setpoint ? new QComboBox : new TPictureComboBox(column.option);
        if (column.option == TControlOption::Setpoint) {
            list->addItems(OptionCodes::itemTexts(TControlOption::Setpoint));
            list->setMinimumHeight(TPictureComboBox(TControlOption::Run).sizeHint().height());
        }
        list->setObjectName(QString::fromLatin1(column.listName));
        list->setProperty("Tag", tag);
        list->setAccessibleName(QStringLiteral("Occupied ") + caption.toLower());
        connect(list, &QComboBox::activated, this, [this, tag] { occupied_state_ComboBoxChange(tag); });

        columns->addWidget(box, 0, tag);
        columns->addWidget(list, 1, tag, Qt::AlignLeft | Qt::AlignTop);
        m_itemBoxes[std::size_t(tag)] = box;
        m_lists[std::size_t(tag)] = list;
    }
    columns->setColumnStretch(int(kColumns.size()), 1);
}

bool TOccupancyPage::minimumGranted(int requested, int minimumPosition, int maximumPosition)
{
    if (requested < kMinLow || requested > kMinHigh)
        return false;
    return requested <= maximumPosition - kMinimumGap || requested < minimumPosition;
}

bool TOccupancyPage::maximumGranted(int requested, int minimumPosition, int maximumPosition)
{
    if (requested > kMaxHigh || requested < kMaxLow)
        return false;
    return requested >= minimumPosition + kMinimumGap || requested > maximumPosition;
}

QString TOccupancyPage::limitText(int tenths)
{
    return QString::asprintf("%.2d", tenths / 10) + QStringLiteral("°C");
}

void TOccupancyPage::showLimit(QLineEdit* edit, int tenths)
{
    edit->setText(limitText(tenths));
}

void TOccupancyPage::unoccupied_enable_CheckBoxClick()
{
    const bool ticked = m_unoccupiedBox->isChecked();
    m_unoccupiedGroup->setEnabled(ticked);
    editRecord([ticked](TDevice_Config_v2& r) {
        r.occupancy_strategy_enable = ticked ? (r.occupancy_strategy_enable | 1) : (r.occupancy_strategy_enable & ~1);
    });
}

void TOccupancyPage::occupied_enable_CheckBoxClick()
{
    const bool ticked = m_occupiedBox->isChecked();
    m_occupiedGroup->setEnabled(ticked);
    editRecord([ticked](TDevice_Config_v2& r) {
        r.occupancy_strategy_enable = ticked ? (r.occupancy_strategy_enable | 2) : (r.occupancy_strategy_enable & ~2);
    });
    if (ticked)
        for (int tag = 0; tag < 5; ++tag)
            occupied_state_enable_CheckBoxClick(tag);
}

void TOccupancyPage::occupied_state_enable_CheckBoxClick(int tag)
{
    const bool ticked = m_itemBoxes[std::size_t(tag)]->isChecked();
    editRecord([tag, ticked](TDevice_Config_v2& r) { r.occupied_settings_enable[tag] = ticked ? 1 : 0; });
    m_lists[std::size_t(tag)]->setEnabled(ticked);
}

void TOccupancyPage::occupied_state_ComboBoxChange(int tag)
{
    const int index = qMax(0, m_lists[std::size_t(tag)]->currentIndex());
    editRecord([tag, index](TDevice_Config_v2& r) {
        switch (tag) {
        case 0: r.occupied_run = uint8_t(index); break;
        case 1: r.occupied_mode = uint8_t(OptionCodes::modeCode(index)); break;
        case 2: r.occupied_setpoint = uint32_t(OptionCodes::setpointOf(index)); break;
        case 3: r.occupied_fanspeed = uint8_t(OptionCodes::fanSpeedCode(index)); break;
        case 4: r.occupied_airdir = uint8_t(OptionCodes::airDirectionCode(index)); break;
        }
    });
}

void TOccupancyPage::Show_Device_Config(const TDevice_Config_v2& config)
{
    const bool unoccupied = (config.occupancy_strategy_enable & 1) != 0;
    m_unoccupiedBox->setChecked(unoccupied);
    m_unoccupiedGroup->setEnabled(unoccupied);
    m_minUpDown->setPosition(int(config.unoccupied_min_temp));
    m_maxUpDown->setPosition(int(config.unoccupied_max_temp));
    showLimit(m_minEdit, int(config.unoccupied_min_temp));
    showLimit(m_maxEdit, int(config.unoccupied_max_temp));

    const bool occupied = (config.occupancy_strategy_enable & 2) != 0;
    m_occupiedBox->setChecked(occupied);
    m_occupiedGroup->setEnabled(occupied);
    for (int tag = 0; tag < 5; ++tag)
        m_itemBoxes[std::size_t(tag)]->setChecked(config.occupied_settings_enable[tag] != 0);
    m_lists[0]->setCurrentIndex(OptionCodes::runIndex(config.occupied_run));
    m_lists[1]->setCurrentIndex(OptionCodes::modeIndex(config.occupied_mode));
    m_lists[2]->setCurrentIndex(OptionCodes::setpointIndex(int(qMin<uint32_t>(config.occupied_setpoint, 1000))));
    m_lists[3]->setCurrentIndex(OptionCodes::fanSpeedIndex(config.occupied_fanspeed));
    m_lists[4]->setCurrentIndex(OptionCodes::airDirectionIndex(config.occupied_airdir));
    // Inside the group, a list follows its own box as well.
    for (int tag = 0; tag < 5; ++tag)
        m_lists[std::size_t(tag)]->setEnabled(m_itemBoxes[std::size_t(tag)]->isChecked());
}
