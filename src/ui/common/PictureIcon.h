#pragma once
// Icons drawn from the program's own pictures at the exact size and pixel
// density they are shown at, so they stay sharp on dense screens where a
// bitmap made for one size would be scaled and blurred.

#include <QIcon>
#include <QString>

// An empty icon when the program carries no picture of that name.
QIcon pictureIcon(const QString& name);
