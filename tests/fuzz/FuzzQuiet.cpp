#include "FuzzTargets.h"

#include <QtGlobal>

void fuzzQuietQtMessages()
{
    // A fatal message still ends the process after the handler returns.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}
