#pragma once
// The line rules of the service text editor, apart from the widget: lines of
// at most 40 characters (a longer line breaks at character 40, whatever the
// text), a count of characters in which a line break counts one, and the
// editor's limit of 124 characters in which a line break counts two (the
// controller's three lines of 40 and their two breaks).
//
// Text here uses '\n' between lines, as the editor widget does.

#include "core/model/DeviceConfig.h"

#include <QString>

namespace ServiceTextLayout {

inline constexpr int kLineLength = 40;
inline constexpr int kMaxLines = kServiceTextMaxLines;
inline constexpr int kCountedMaximum = 120;
inline constexpr int kEditorMaxLength = 124;

struct Result {
    QString text;
    int caret = 0;
};

// Breaks every line longer than 40 characters. The caret stays after the
// character it followed.
Result wrap(const QString& text, int caret);

// Removes what goes beyond the editor's limit from just before the caret
// (what was typed or pasted last), then wraps again.
Result limit(const QString& text, int caret);

// The count the page shows: every character, a line break as one.
int characterCount(const QString& text);
// A line break counted as two, as the editor's limit counts it.
int editorLength(const QString& text);
// Lines as the editor counts them: a final line break opens no new line.
int lineCount(const QString& text);

} // namespace ServiceTextLayout
