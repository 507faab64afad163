#include "programs/common/QuietMessages.h"

#include <QTextStream>

#include <cstdlib>
#include <exception>

#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcQtMessages, "corvane.qt", QtWarningMsg)

namespace {
QtMessageHandler sPrevious = nullptr;
FILE* sStderr = nullptr;

void toDebugLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // Fatal messages end the program and say why; the traces of our own
    // categories print only when someone switched them on.
    const bool ours = context.category && qstrncmp(context.category, "corvane.", 8) == 0
        && qstrcmp(context.category, "corvane.qt") != 0;
    if (type == QtFatalMsg || (ours && (type == QtDebugMsg || type == QtInfoMsg))) {
        if (sStderr == stderr)
            sPrevious(type, context, message);
        else
            QTextStream(programStderr()) << message << '\n';
        return;
    }
    // Only the debug level of our category lets them through, so a user who
    // asks for the trace sees them and nobody else does.
    if (lcQtMessages().isDebugEnabled())
        QTextStream(programStderr()) << "debug: " << (context.category ? context.category : "default") << ": "
                                     << message << '\n';
}

// With descriptor 2 silenced, the runtime's own last words on an uncaught
// exception would be lost; they go to the kept standard error instead.
[[noreturn]] void reportTermination()
{
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& error) {
            std::fprintf(programStderr(), "internal error: %s\n", error.what());
        } catch (...) {
            std::fputs("internal error: unknown exception\n", programStderr());
        }
    } else {
        std::fputs("internal error: terminated\n", programStderr());
    }
    std::abort();
}
} // namespace

void routeQtMessagesToDebugLog()
{
    sPrevious = qInstallMessageHandler(&toDebugLog);
}

void keepLibraryOutputOffStderr()
{
    if (sStderr || lcQtMessages().isDebugEnabled())
        return;
    std::fflush(stderr);
    const int kept = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    FILE* stream = kept >= 0 ? ::fdopen(kept, "w") : nullptr;
    if (!stream || null < 0 || ::dup2(null, STDERR_FILENO) < 0) {
        if (stream)
            std::fclose(stream);
        if (null >= 0)
            ::close(null);
        return;
    }
    ::close(null);
    ::fcntl(kept, F_SETFD, FD_CLOEXEC);
    std::setvbuf(stream, nullptr, _IONBF, 0);
    sStderr = stream;
    std::set_terminate(&reportTermination);
}

FILE* programStderr()
{
    return sStderr ? sStderr : stderr;
}
