#include "programs/common/QuietMessages.h"

#include <QTextStream>

Q_LOGGING_CATEGORY(lcQtMessages, "corvane.qt", QtWarningMsg)

namespace {
QtMessageHandler s_previous = nullptr;

void toDebugLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // Fatal messages end the program and say why; the traces of our own
    // categories print only when someone switched them on.
    const bool ours = context.category && qstrncmp(context.category, "corvane.", 8) == 0
        && qstrcmp(context.category, "corvane.qt") != 0;
    if (type == QtFatalMsg || (ours && (type == QtDebugMsg || type == QtInfoMsg))) {
        s_previous(type, context, message);
        return;
    }
    // Only the debug level of our category lets them through, so a user who
    // asks for the trace sees them and nobody else does.
    if (lcQtMessages().isDebugEnabled())
        QTextStream(stderr) << "debug: " << (context.category ? context.category : "default") << ": " << message
                            << '\n';
}
} // namespace

void Route_Qt_Messages_To_Debug_Log()
{
    s_previous = qInstallMessageHandler(&toDebugLog);
}
