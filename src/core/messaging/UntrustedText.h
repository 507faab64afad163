#pragma once
// Names and texts read from a project file or a controller go into messages,
// log cells and message boxes. Such a text may hold anything: line breaks
// that would split a one-line error, bell and escape bytes a terminal acts
// on, direction overrides that reorder what the user reads. Shown through
// here, it is one line of visible characters.

#include <QString>

// Control characters as \n, \r, \t or \xNN; line and paragraph separators,
// direction controls and the byte-order mark as \uNNNN. Longer than
// maxLength characters: cut, with "..." added, so a damaged name cannot
// bury the rest of the message.
QString untrustedText(const QString& text, int maxLength = 64);
