#include "ui/scheduler/EventOptions.h"

#include "core/resources/TDM_images.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace {
constexpr std::array<int, 5> kModeCodes{2, 1, 3, 4, 5};
constexpr std::array<int, 4> kFanCodes{5, 4, 3, 2};
constexpr std::array<int, 7> kAirCodes{2, 3, 4, 5, 6, 1, 7};

template <std::size_t N> int indexOf(const std::array<int, N>& codes, int code, std::size_t known)
{
    for (std::size_t i = 0; i < known; ++i)
        if (codes[i] == code)
            return int(i);
    return 0;
}

template <std::size_t N> int codeOf(const std::array<int, N>& codes, int index)
{
    return codes[std::size_t(std::clamp(index, 0, int(N) - 1))];
}
} // namespace

namespace EventOptions {

QString settingCaption(TEventSetting setting)
{
    static const QStringList captions{"Run", "Mode", "Setpoint", "Fan Speed", "Air Direction"};
    return captions[int(setting)];
}

QStringList itemTexts(TEventSetting setting)
{
    switch (setting) {
    case TEventSetting::Run: return {"Off", "On"};
    case TEventSetting::Mode: return {"Cool", "Heat", "Fan", "Dry", "Auto"};
    case TEventSetting::Setpoint: {
        QStringList texts;
        for (int degrees = 18; degrees <= 29; ++degrees)
            texts << QString::number(degrees);
        return texts;
    }
    case TEventSetting::FanSpeed: return {"Low", "Medium", "High", "Auto"};
    case TEventSetting::AirDirection: return {"Horiz", "22deg", "45deg", "67deg", "Vert", "Swing"};
    }
    return {};
}

QStringList pictureNames(TEventSetting setting)
{
    switch (setting) {
    case TEventSetting::Run: return {"PWR_OFF_PNG", "PWR_ON_PNG"};
    case TEventSetting::Mode: return {"MD_COOL_PNG", "MD_HEAT_PNG", "MD_FAN_PNG", "MD_DRY_PNG", "MD_AUTO_PNG"};
    case TEventSetting::Setpoint: return {};
    case TEventSetting::FanSpeed: return {"FS_LOW_PNG", "FS_MED_PNG", "FS_HIGH_PNG", "FS_AUTO_PNG"};
    case TEventSetting::AirDirection:
        return {"AD_HORIZ_PNG", "AD_225DEG_PNG", "AD_45DEG_PNG", "AD_675DEG_PNG",
                "AD_VERT_PNG",  "AD_SWING_PNG",  "AD_HOLD_PNG"};
    }
    return {};
}

int modeCode(int index)
{
    return codeOf(kModeCodes, index);
}
int fanSpeedCode(int index)
{
    return codeOf(kFanCodes, index);
}
int airDirectionCode(int index)
{
    return codeOf(kAirCodes, index);
}
int setpointOf(int index)
{
    return 180 + 10 * std::clamp(index, 0, 11);
}

int runIndex(int code)
{
    return std::clamp(code, 0, 1);
}
int modeIndex(int code)
{
    return indexOf(kModeCodes, code, 5);
}
int fanSpeedIndex(int code)
{
    return indexOf(kFanCodes, code, 4);
}
// Hold (7) has no list item: the list shows the first item for it.
int airDirectionIndex(int code)
{
    return indexOf(kAirCodes, code, 6);
}
int setpointIndex(int tenths)
{
    return (std::clamp(tenths, 180, 290) - 180) / 10;
}

QString pictureForCode(TEventSetting setting, int code)
{
    const QStringList names = pictureNames(setting);
    auto known = [&](const int* codes, int count) -> QString {
        for (int i = 0; i < count; ++i)
            if (codes[i] == code)
                return names[i];
        return {};
    };
    switch (setting) {
    case TEventSetting::Run: return code == 0 || code == 1 ? names[code] : QString();
    case TEventSetting::Mode: return known(kModeCodes.data(), int(kModeCodes.size()));
    case TEventSetting::FanSpeed: return known(kFanCodes.data(), int(kFanCodes.size()));
    case TEventSetting::AirDirection: return known(kAirCodes.data(), int(kAirCodes.size()));
    case TEventSetting::Setpoint: return QStringLiteral("THERM_PNG");
    }
    return {};
}

QString valueText(TEventSetting setting, int code)
{
    if (setting == TEventSetting::Setpoint)
        return QStringLiteral("%1°C").arg(code / 10);
    if (setting == TEventSetting::AirDirection && code == 7)
        return QStringLiteral("Hold");
    const QString name = pictureForCode(setting, code);
    if (name.isEmpty())
        return QStringLiteral("code %1").arg(code);
    return itemTexts(setting).value(int(pictureNames(setting).indexOf(name)));
}

QImage cachedPicture(const QString& name, QSize size)
{
    static QHash<QString, QImage> cache;
    const QString key
        = name + QLatin1Char('@') + QString::number(size.width()) + QLatin1Char('x') + QString::number(size.height());
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, picture(name, size));
    return *it;
}

} // namespace EventOptions
