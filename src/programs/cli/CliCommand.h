#pragma once
// A command of corvane-cli. Commands register themselves from their own source
// file, each under a name of its own (source files may be compiled together):
//   const CliRegistration infoCommand{{"info", "FILE [--json]", "...", runInfo}};

#include "programs/common/CommandLine.h"

#include <QStringList>

#include <functional>
#include <vector>

struct CliCommand {
    QString name;
    QString synopsis; // the arguments after the name, e.g. "FILE [--json]"
    QString summary;  // one line for the program's help text
    // Receives the arguments after the command name; returns the exit status.
    std::function<int(const QStringList& args)> run;
};

class CliRegistry {
public:
    static std::vector<CliCommand>& commands();
    static const CliCommand* find(const QString& name);
};

struct CliRegistration {
    explicit CliRegistration(CliCommand command) { CliRegistry::commands().push_back(std::move(command)); }
};

// The command line of a registered command: its usage line and summary come
// from its registration.
CommandLine cliCommandLine(const QString& name, const QString& description = {});

// Helpers shared by the commands.
int cliFail(const QString& message); // prints "corvane-cli: message" on stderr, returns 1
void cliOut(const QString& text);    // prints text and a line feed on stdout
// Standard output carries a command's data ("-o -"): from now on cliOut
// prints on stderr, so the data stays what a pipe expects.
void cliKeepStdoutForData();
