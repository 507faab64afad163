#include "CliCommand.h"

#include "core/messaging/UntrustedText.h"
#include "programs/common/QuietMessages.h"

#include <QTextStream>

#include <limits>

std::vector<CliCommand>& CliRegistry::commands()
{
    static std::vector<CliCommand> list;
    return list;
}

const CliCommand* CliRegistry::find(const QString& name)
{
    for (const CliCommand& c : commands()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

CommandLine cliCommandLine(const QString& name, const QString& description)
{
    const CliCommand* command = CliRegistry::find(name);
    const QString summary = command ? command->summary : QString();
    return CommandLine(QStringLiteral("corvane-cli"), name, command ? command->synopsis : QString(),
                       description.isEmpty() ? summary : summary + QStringLiteral(".\n\n") + description);
}

int cliFail(const QString& message)
{
    // One line whatever the message quotes: a name read from a file that
    // slipped through unescaped still cannot break it or ring the bell.
    QTextStream(programStderr()) << "corvane-cli: " << untrustedText(message, std::numeric_limits<int>::max()) << '\n';
    return kExitFailed;
}

namespace {
bool sStdoutCarriesData = false;
} // namespace

void cliKeepStdoutForData()
{
    sStdoutCarriesData = true;
}

void cliOut(const QString& text)
{
    if (sStdoutCarriesData)
        QTextStream(programStderr()) << text << '\n';
    else
        QTextStream(stdout) << text << '\n';
}
