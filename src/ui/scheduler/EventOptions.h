#pragma once
// The five settings an event can set, as the events editor lists and draws
// them: item texts and pictures by option index, and the translation between
// an option index and the code the record stores. A code the editor does not
// know shows the first item.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

enum class TEventSetting { Run = 0, Mode = 1, Setpoint = 2, FanSpeed = 3, AirDirection = 4 };
inline constexpr int kEventSettings = 5;

namespace EventOptions {

// Caption of the setting's enable box ("Run", "Mode", ...).
QString settingCaption(TEventSetting setting);
// List items in option index order; air direction lists six (no Hold).
QStringList itemTexts(TEventSetting setting);
// Built-in picture names in option index order (air direction with Hold
// last, at index 6); empty for the setpoint.
QStringList pictureNames(TEventSetting setting);

int modeCode(int index);
int fanSpeedCode(int index);
int airDirectionCode(int index);
int setpointOf(int index);

int runIndex(int code);
int modeIndex(int code);
int fanSpeedIndex(int code);
int airDirectionIndex(int code);
int setpointIndex(int tenths);

// The picture an event grid cell shows for a code: air direction code 7 is
// Hold, and codes outside their range show nothing (an empty name).
QString pictureForCode(TEventSetting setting, int code);
// Text of an event's value for screen readers ("On", "Auto", "21°C", ...).
QString valueText(TEventSetting setting, int code);

// A built-in picture rendered once per size and reused.
QImage cachedPicture(const QString& name, QSize size);

} // namespace EventOptions
