#pragma once
// The user guide: HTML pages installed under <prefix>/share, found from the
// program's own folder, so the package (/usr/bin, /usr/share/...) and a build
// tree (build/bin, build/share/...) each open their own.

#include <QCoreApplication>
#include <QString>

QString userGuidePath(const QString& programDir);

// Opens the guide in the desktop's browser; a guide that is not installed or
// a desktop without a browser is said in a box.
void openUserGuide(const QString& programDir = QCoreApplication::applicationDirPath());
