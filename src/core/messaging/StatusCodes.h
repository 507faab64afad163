#pragma once
// The status codes of the activity log: each code's severity marker and
// description. The window's log and corvane-cli print them alike.

#include <QString>

inline constexpr int kStatusCodeCount = 30;

// " " information, "*" warning, "!" error. A code outside 0..29 is reported
// as an error.
QString Status_Code_Marker(int code);
QString Status_Code_Text(int code);
