#include "core/model/OptionCodes.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 5> kModeCodes{2, 1, 3, 4, 5};
constexpr std::array<int, 4> kFanSpeedCodes{5, 4, 3, 2};
constexpr std::array<int, 7> kAirDirectionCodes{2, 3, 4, 5, 6, 1, 7};

// Only the codes an editor's list can show; Hold (7) has no list item.
constexpr std::array<int, 5> kModeIndexOfCode{1, 0, 2, 3, 4};            // codes 1..5
constexpr std::array<int, 4> kFanSpeedIndexOfCode{3, 2, 1, 0};           // codes 2..5
constexpr std::array<int, 6> kAirDirectionIndexOfCode{5, 0, 1, 2, 3, 4}; // codes 1..6

template <std::size_t N> int codeAt(const std::array<int, N>& codes, int index)
{
    return index >= 0 && index < int(N) ? codes[std::size_t(index)] : codes[0];
}

template <std::size_t N> int indexOf(const std::array<int, N>& table, int firstCode, int code)
{
    const int at = code - firstCode;
    return at >= 0 && at < int(N) ? table[std::size_t(at)] : 0;
}

} // namespace

namespace OptionCodes {

QStringList itemTexts(TControlOption option)
{
    switch (option) {
    case TControlOption::Run: return {"Off", "On"};
    case TControlOption::Mode: return {"Cool", "Heat", "Fan", "Dry", "Auto"};
    case TControlOption::Setpoint: {
        QStringList texts;
        for (int degrees = 18; degrees <= 29; ++degrees)
            texts << QString::number(degrees);
        return texts;
    }
    case TControlOption::FanSpeed: return {"Low", "Medium", "High", "Auto"};
    case TControlOption::AirDirection: return {"Horiz", "22deg", "45deg", "67deg", "Vert", "Swing"};
    }
    return {};
}

QStringList pictureNames(TControlOption option)
{
    switch (option) {
    case TControlOption::Run: return {"PWR_OFF_PNG", "PWR_ON_PNG"};
    case TControlOption::Mode: return {"MD_COOL_PNG", "MD_HEAT_PNG", "MD_FAN_PNG", "MD_DRY_PNG", "MD_AUTO_PNG"};
    case TControlOption::Setpoint: return {"SP_VALUE_PNG", "SP_GRADIENT_PNG"};
    case TControlOption::FanSpeed: return {"FS_LOW_PNG", "FS_MED_PNG", "FS_HIGH_PNG", "FS_AUTO_PNG"};
    case TControlOption::AirDirection:
        return {"AD_HORIZ_PNG", "AD_225DEG_PNG", "AD_45DEG_PNG", "AD_675DEG_PNG",
                "AD_VERT_PNG",  "AD_SWING_PNG",  "AD_HOLD_PNG"};
    }
    return {};
}

int modeCode(int index)
{
    return codeAt(kModeCodes, index);
}
int fanSpeedCode(int index)
{
    return codeAt(kFanSpeedCodes, index);
}
int airDirectionCode(int index)
{
    return codeAt(kAirDirectionCodes, index);
}
int setpointOf(int index)
{
    return 180 + 10 * std::clamp(index, 0, 11);
}

int modeIndex(int code)
{
    return indexOf(kModeIndexOfCode, 1, code);
}
int fanSpeedIndex(int code)
{
    return indexOf(kFanSpeedIndexOfCode, 2, code);
}
int airDirectionIndex(int code)
{
    return indexOf(kAirDirectionIndexOfCode, 1, code);
}
int runIndex(int code)
{
    return code == 1 ? 1 : 0;
}
int setpointIndex(int tenths)
{
    return std::clamp(tenths, 180, 290) / 10 - 18;
}

} // namespace OptionCodes
