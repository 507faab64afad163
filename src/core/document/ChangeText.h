#pragma once
// The name of an edit, read from what it changed: the text of its undo step
// ("Change Theme Colour", "Delete Image LOGO1", "Copy Monday to 6 days").
// Edits of a field a user types into or drags a slider over carry a merge
// key, so that one burst of typing or one drag becomes one step.

#include "core/document/TProjectState.h"

#include <QString>

struct TChangeText {
    QString text;
    int mergeKey = -1; // -1: never merged with the edit before it
};

TChangeText describeChange(const TProjectState& before, const TProjectState& after);

// Day 1..7 from Sunday, as the scheduler counts them.
QString scheduleDayName(int day);
