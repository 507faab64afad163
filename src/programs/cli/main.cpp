// corvane-cli: the configurator's core for scripts. Each command lives in its
// own file and registers itself.
#include "CliCommand.h"

#include "programs/common/QuietMessages.h"

#include "core/comms/SerialBackend.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

namespace {

QString programHelp()
{
    auto cmds = CliRegistry::commands();
    std::sort(cmds.begin(), cmds.end(), [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    QString text;
    QTextStream out(&text);
    out << "Usage: corvane-cli COMMAND [ARGS]\n"
           "       corvane-cli COMMAND --help   (the usage of one command)\n"
           "       corvane-cli --version\n\ncommands:\n";
    constexpr int kUsageWidth = 40;
    for (const CliCommand& c : cmds) {
        const QString usage = c.name + QLatin1Char(' ') + c.synopsis;
        if (usage.size() <= kUsageWidth)
            out << "  " << usage.leftJustified(kUsageWidth) << "  " << c.summary << '\n';
        else
            out << "  " << usage << '\n' << QString(kUsageWidth + 4, ' ') << c.summary << '\n';
    }
    out << "\nExit status: 0 done, 1 the operation failed (one line on stderr), 2 usage error.\n";
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-cli"));
    routeQtMessagesToDebugLog();
    keepLibraryOutputOffStderr();
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        QTextStream(programStderr()) << programHelp();
        return kExitUsage;
    }
    const QString first = args.takeFirst();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        if (!args.isEmpty()) {
            // "corvane-cli help info" is "corvane-cli info --help".
            if (const CliCommand* c = CliRegistry::find(args[0]))
                return c->run({QStringLiteral("--help")});
        }
        QTextStream(stdout) << programHelp();
        return kExitOk;
    }
    if (first == QLatin1String("--version")) {
        QTextStream(stdout) << programVersionLine(QStringLiteral("corvane-cli")) << '\n';
        return kExitOk;
    }
    QString backendError;
    if (!serialBackendFromEnvironment(&backendError)) {
        QTextStream(programStderr()) << "corvane-cli: " << backendError << '\n';
        return kExitUsage;
    }
    if (const CliCommand* c = CliRegistry::find(first))
        return c->run(args);
    QTextStream(programStderr()) << "corvane-cli: unknown command \"" << first << "\" (try corvane-cli --help)\n";
    return kExitUsage;
}
