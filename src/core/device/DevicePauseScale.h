#pragma once
// The deliberate pauses of a device operation (before the ports are listed,
// between connecting and uploading) give the installer and the controller
// time; a test suite that runs dozens of operations through the command line
// only needs them to happen. CORVANE_PAUSE_SCALE, a factor from 0 to 1 in the
// environment, shortens them (and the command line's other waits between
// tries, such as a watch's polls); unset or any other value leaves them as
// they are.

class TDeviceOperations;

inline constexpr const char* kPauseScaleVariable = "CORVANE_PAUSE_SCALE";

// The factor, 1 when none is set.
double pauseScale();
// A pause of the given length, scaled.
int scaledPauseMs(int ms);
void applyPauseScale(TDeviceOperations& operations);
