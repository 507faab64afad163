#include "CliCommand.h"

#include "programs/common/QuietMessages.h"

#include <QTextStream>

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
    QTextStream(Program_Stderr()) << "corvane-cli: " << message << '\n';
    return kExitFailed;
}

void cliOut(const QString& text)
{
    QTextStream(stdout) << text << '\n';
}
