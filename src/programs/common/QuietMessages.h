#pragma once
// Qt's and its image plug-ins' own warnings ("libpng error: ...", "QImage:
// out of memory") would print next to the program's one-line message. They go
// to the debug log instead: shown only with
// QT_LOGGING_RULES="corvane.qt.debug=true".

#include <QLoggingCategory>

#include <cstdio>

Q_DECLARE_LOGGING_CATEGORY(lcQtMessages)

void routeQtMessagesToDebugLog();

// libpng reports a damaged picture by writing "libpng error: ..." straight to
// the process's standard error, past any message handler. This points file
// descriptor 2 at /dev/null (unless the debug log is switched on) and keeps
// the real standard error for the program's own lines: programStderr().
void keepLibraryOutputOffStderr();
FILE* programStderr();
