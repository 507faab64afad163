#pragma once
// Qt's and its image plug-ins' own warnings ("libpng error: ...", "QImage:
// out of memory") would print next to the program's one-line message. They go
// to the debug log instead: shown only with
// QT_LOGGING_RULES="corvane.qt.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcQtMessages)

void Route_Qt_Messages_To_Debug_Log();
