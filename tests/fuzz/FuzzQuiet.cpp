#include "FuzzTargets.h"

#include <QtGlobal>

void Fuzz_Quiet_Qt_Messages()
{
    // A fatal message still ends the process after the handler returns.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}
