#pragma once
// The control options as the record, the editors and the controller share
// them. Editors list the options in a fixed order (the option index); the
// record stores codes. The translation is table-driven in both directions so
// that a code the editors do not know shows the first option and is left in
// the record untouched.

#include <QString>
#include <QStringList>

enum class TControlOption { Run, Mode, Setpoint, FanSpeed, AirDirection };

namespace OptionCodes {

// Item texts in option index order; air direction has no text for Hold.
QStringList itemTexts(TControlOption option);
// Names of the built-in pictures in option index order (air direction
// includes Hold at index 6; the setpoint's two are value and gradient).
QStringList pictureNames(TControlOption option);

// Option index -> code in the record.
int modeCode(int index);
int fanSpeedCode(int index);
int airDirectionCode(int index);
int setpointOf(int index);

// Code in the record -> option index for display; an unknown code gives 0.
int modeIndex(int code);
int fanSpeedIndex(int code);
int airDirectionIndex(int code);
int runIndex(int code);
// Clamped to 180..290 first, so the list shows its nearest end.
int setpointIndex(int tenths);

} // namespace OptionCodes
