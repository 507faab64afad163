#pragma once
// What the events editor adds to the control options it shares with the
// configuration pages (OptionCodes): the enable boxes' captions, the picture
// an event grid cell shows for a stored code, and a value's text for screen
// readers.

#include "core/model/OptionCodes.h"

#include <QString>

// The five settings of an event, in the order of its enable bytes.
using TEventSetting = TControlOption;
inline constexpr int kEventSettings = 5;

namespace EventOptions {

// Caption of the setting's enable box ("Run", "Mode", ...).
QString settingCaption(TEventSetting setting);

// The picture a grid cell shows for a stored code: air direction code 7 is
// Hold; a code outside its range has none (an empty name). The setpoint
// shows the thermometer.
QString pictureForCode(TEventSetting setting, int code);
// Text of a stored value for screen readers ("On", "Auto", "21°C", ...).
QString valueText(TEventSetting setting, int code);

} // namespace EventOptions
