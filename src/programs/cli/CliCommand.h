#pragma once
// A command of corvane-cli. Commands register themselves from their own source
// file:  static const CliRegistration reg{{"info", "info FILE [--json]", "...", runInfo}};

#include <QStringList>

#include <functional>
#include <vector>

struct CliCommand {
    QString name;
    QString usage;   // e.g. "info FILE [--json]"
    QString summary; // one line for the help text
    // Receives the arguments after the command name; returns the exit status.
    std::function<int(const QStringList& args)> run;
};

class CliRegistry {
public:
    static std::vector<CliCommand>& commands();
};

struct CliRegistration {
    explicit CliRegistration(CliCommand command) { CliRegistry::commands().push_back(std::move(command)); }
};

// Helpers shared by the commands.
int cliFail(const QString& message); // prints "corvane-cli: message" on stderr, returns 1
void cliOut(const QString& text);    // prints text and a line feed on stdout
QString cliOption(const QStringList& args, const QString& name, const QString& fallback = {}); // "--name VALUE"
bool cliFlag(const QStringList& args, const QString& name);                                    // "--name"
QStringList cliPositional(const QStringList& args, const QStringList& optionsWithValue);
