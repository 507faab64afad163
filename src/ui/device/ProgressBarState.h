#pragma once
// A progress bar with the two states the device operations use: normal and
// error (a red bar, also named in its accessible description).

#include <QtGlobal>

class QProgressBar;

void setProgressState(QProgressBar* bar, qint64 position, qint64 maximum, bool error);
bool progressInError(const QProgressBar* bar);
