#include "programs/common/QuietMessages.h"

#include <QTextStream>

#include <cstdlib>
#include <exception>

#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcQtMessages, "corvane.qt", QtWarningMsg)

namespace {
QtMessageHandler s_previous = nullptr;
FILE* s_stderr = nullptr;

void toDebugLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // Fatal messages end the program and say why; the traces of our own
    // categories print only when someone switched them on.
    const bool ours = context.category && qstrncmp(context.category, "corvane.", 8) == 0
        && qstrcmp(context.category, "corvane.qt") != 0;
    if (type == QtFatalMsg || (ours && (type == QtDebugMsg || type == QtInfoMsg))) {
        if (s_stderr == stderr)
            s_previous(type, context, message);
        else
            QTextStream(Program_Stderr()) << message << '\n';
        return;
    }
    // Only the debug level of our category lets them through, so a user who
    // asks for the trace sees them and nobody else does.
    if (lcQtMessages().isDebugEnabled())
        QTextStream(Program_Stderr()) << "debug: " << (context.category ? context.category : "default") << ": "
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
            std::fprintf(Program_Stderr(), "internal error: %s\n", error.what());
        } catch (...) {
            std::fputs("internal error: unknown exception\n", Program_Stderr());
        }
    } else {
        std::fputs("internal error: terminated\n", Program_Stderr());
    }
    std::abort();
}
} // namespace

void Route_Qt_Messages_To_Debug_Log()
{
    s_previous = qInstallMessageHandler(&toDebugLog);
}

void Keep_Library_Output_Off_Stderr()
{
    if (s_stderr || lcQtMessages().isDebugEnabled())
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
    s_stderr = stream;
    std::set_terminate(&reportTermination);
}

FILE* Program_Stderr()
{
    return s_stderr ? s_stderr : stderr;
}
