#include "ui/scheduler/Tfc_ctrl_Frame.h"

#include "ui/common/TPictureComboBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>

#include <algorithm>

namespace {
const char* const kEnableNames[] = {"run_enable_CheckBox", "mode_enable_CheckBox", "setpoint_enable_CheckBox",
                                    "fan_enable_CheckBox", "airdir_enable_CheckBox"};
const char* const kListNames[]
    = {"run_ComboBox", "mode_ComboBox", "setpoint_ComboBox", "fan_ComboBox", "airdir_ComboBox"};

QComboBox* makeList(TEventSetting setting, QWidget* parent)
{
    // The setpoint is an ordinary list of degrees; the others show the
    // option pictures as the occupied strategy's lists do.
    QComboBox* list = nullptr;
    if (setting == TEventSetting::Setpoint) {
        list = new QComboBox(parent);
        list->addItems(OptionCodes::itemTexts(setting));
    } else {
        list = new TPictureComboBox(setting, parent);
    }
    list->setAccessibleName(EventOptions::settingCaption(setting));
    return list;
}
} // namespace

Tfc_ctrl_Frame::Tfc_ctrl_Frame(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fc_ctrl_Frame1"));
    auto* layout = new QGridLayout(this);
    for (int i = 0; i < kEventSettings; ++i) {
        const auto setting = TEventSetting(i);
        auto* box = new QCheckBox(EventOptions::settingCaption(setting), this);
        box->setObjectName(QString::fromLatin1(kEnableNames[i]));
        box->setProperty("Tag", i);
        connect(box, &QCheckBox::clicked, this, &Tfc_ctrl_Frame::enable_CheckBoxClick);
        QComboBox* list = makeList(setting, this);
        list->setObjectName(QString::fromLatin1(kListNames[i]));
        list->setEnabled(false);
        m_enable[std::size_t(i)] = box;
        m_list[std::size_t(i)] = list;
        layout->addWidget(box, 0, i);
        layout->addWidget(list, 1, i);
    }
}

void Tfc_ctrl_Frame::enable_CheckBoxClick()
{
    auto* box = qobject_cast<QCheckBox*>(sender());
    if (!box)
        return;
    const int tag = box->property("Tag").toInt();
    m_list[std::size_t(tag)]->setEnabled(box->isChecked());
}

void Tfc_ctrl_Frame::displayEvent(const TSchedule_Event& event)
{
    for (int i = 0; i < kEventSettings; ++i) {
        const bool ticked = event.settings_enable[i] == 1;
        m_enable[std::size_t(i)]->setChecked(ticked);
        m_list[std::size_t(i)]->setEnabled(ticked);
    }
    using namespace OptionCodes;
    // Any run value other than 0 shows On.
    m_list[0]->setCurrentIndex(std::clamp(int(event.run), 0, 1));
    m_list[1]->setCurrentIndex(modeIndex(event.mode));
    m_list[2]->setCurrentIndex(setpointIndex(int(std::min<uint32_t>(event.setpoint, 1000))));
    m_list[3]->setCurrentIndex(fanSpeedIndex(event.fanspeed));
    m_list[4]->setCurrentIndex(airDirectionIndex(event.airdir));
}

void Tfc_ctrl_Frame::readEvent(TSchedule_Event& event) const
{
    using namespace OptionCodes;
    event.run = uint8_t(m_list[0]->currentIndex());
    event.mode = uint8_t(modeCode(m_list[1]->currentIndex()));
    event.setpoint = uint32_t(setpointOf(m_list[2]->currentIndex()));
    event.fanspeed = uint8_t(fanSpeedCode(m_list[3]->currentIndex()));
    event.airdir = uint8_t(airDirectionCode(m_list[4]->currentIndex()));
    for (int i = 0; i < kEventSettings; ++i)
        event.settings_enable[i] = m_enable[std::size_t(i)]->isChecked() ? 1 : 0;
}
