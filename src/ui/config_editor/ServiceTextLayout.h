#pragma once
// The line rules of the service text box, apart from the widget. The user's
// own line breaks (Enter) are the only fixed ones; between them the text
// flows into lines of at most 40 characters, broken at the last space that
// fits (the space becomes the break) or, in a word longer than a line, at
// character 40. The lines are what the controller shows and what the record
// holds, so the box shows them as they are and lets no edit make more than
// three of them or more than the field's bytes.
//
// Text here uses '\n' between lines, as the editor widget does.

#include "core/model/DeviceConfig.h"

#include <QList>
#include <QString>

namespace ServiceTextLayout {

inline constexpr int kLineLength = 40;
inline constexpr int kMaxLines = kServiceTextMaxLines;
inline constexpr int kCountedMaximum = 120;

// What a character of the shown text stands for in the typed text.
enum class Shown : quint8 {
    Typed,      // the typed character itself (a user's line break included)
    SpaceBreak, // a typed space shown as the break it makes
    CutBreak,   // a break inside a word too long for a line: nothing typed
};

struct Layout {
    QString shown;
    QList<Shown> kinds; // one per character of shown
};

// Flows the typed text into lines.
Layout wrap(const QString& typed);
// Text loaded from a record, shown as stored: every break in it is fixed.
Layout asStored(const QString& shown);
// Positions between characters, from one text to the other. A position
// beside a cut break maps to the one before it (the end of the line).
int shownToTyped(const Layout& layout, int shownPosition);
int typedToShown(const Layout& layout, int typedPosition);
// The typed text a layout stands for.
QString typedText(const Layout& layout);

// The field's bytes for a shown text: UTF-8, a carriage return per break.
QByteArray storedBytes(const QString& shown);
// At most three lines and what the field holds.
bool fits(const QString& shown);

// One change of the shown text: `removed` characters at `from` replaced by
// `inserted`.
struct Edit {
    int from = 0;
    int removed = 0;
    QString inserted;
};
// Works out the change from the text before and after it and the caret
// after it (which tells where a character equal to its neighbours went).
Edit findEdit(const QString& before, const QString& after, int caretAfter);

enum class Outcome { Whole, Cut, Refused };
struct Result {
    Layout layout;
    int caret = 0; // in the shown text
    Outcome outcome = Outcome::Whole;
    int leftOut = 0; // inserted characters that did not fit
};
// The edit applied to the typed text, flowed again. What does not fit is cut
// from the end of what was inserted; when nothing of it fits the edit is
// refused and the layout stays. An edit that only removes is always taken.
Result apply(const Layout& current, const Edit& edit);

// The count the page shows: every character, a line break as one.
int characterCount(const QString& text);
// Lines as the editor counts them: a final line break opens no new line.
int lineCount(const QString& text);

} // namespace ServiceTextLayout
