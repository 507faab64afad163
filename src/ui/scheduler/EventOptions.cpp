#include "ui/scheduler/EventOptions.h"

namespace {
constexpr int kHoldCode = 7;
constexpr int kHoldIndex = 6;

// The option index a stored code shows, or -1 when the code has no option.
int knownIndex(TEventSetting setting, int code)
{
    using namespace OptionCodes;
    switch (setting) {
    case TEventSetting::Run: return code == 0 || code == 1 ? code : -1;
    case TEventSetting::Mode: return modeCode(modeIndex(code)) == code ? modeIndex(code) : -1;
    case TEventSetting::FanSpeed: return fanSpeedCode(fanSpeedIndex(code)) == code ? fanSpeedIndex(code) : -1;
    case TEventSetting::AirDirection:
        if (code == kHoldCode)
            return kHoldIndex;
        return airDirectionCode(airDirectionIndex(code)) == code ? airDirectionIndex(code) : -1;
    case TEventSetting::Setpoint: return setpointIndex(code);
    }
    return -1;
}
} // namespace

namespace EventOptions {

QString settingCaption(TEventSetting setting)
{
    static const QStringList kCaptions{"Run", "Mode", "Setpoint", "Fan Speed", "Air Direction"};
    return kCaptions[int(setting)];
}

QString pictureForCode(TEventSetting setting, int code)
{
    if (setting == TEventSetting::Setpoint)
        return QStringLiteral("THERM_PNG");
    const int index = knownIndex(setting, code);
    return index < 0 ? QString() : OptionCodes::pictureNames(setting).value(index);
}

QString valueText(TEventSetting setting, int code)
{
    if (setting == TEventSetting::Setpoint)
        return QStringLiteral("%1°C").arg(code / 10);
    const int index = knownIndex(setting, code);
    if (index < 0)
        return QStringLiteral("code %1").arg(code);
    if (setting == TEventSetting::AirDirection && index == kHoldIndex)
        return QStringLiteral("Hold");
    return OptionCodes::itemTexts(setting).value(index);
}

} // namespace EventOptions
