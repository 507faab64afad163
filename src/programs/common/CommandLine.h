#pragma once
// The command-line convention of every program: --help prints the usage on
// stdout (exit 0); a usage error (unknown option, missing or empty value,
// stray argument, an option given twice) is one line naming the problem and
// "try --help" on stderr (exit 2); a failed operation is one line on stderr
// (exit 1).

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

enum ExitStatus : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

class CommandLine {
public:
    // program: "corvane-cli"; command: "info" (empty for a program without
    // commands); synopsis: the arguments after the command, e.g. "FILE [--json]".
    CommandLine(const QString& program, const QString& command, const QString& synopsis, const QString& description);

    // An option may be given once unless it is repeatable. Every option that
    // takes a value refuses an empty one.
    void addOption(const QCommandLineOption& option, bool repeatable = false);
    void addVersionOption(); // already there from the constructor; a second call adds nothing
    // For the help text and the "missing NAME" error; parse() counts them.
    void addPositional(const QString& name, const QString& description, const QString& syntax = {});
    // Text printed after the option list in --help.
    void setEpilogue(const QString& text) { m_epilogue = text; }

    // Parses the arguments that follow the program (and command) name. Returns
    // nothing when the caller goes on; otherwise --help or --version was
    // answered or a usage error reported, and the value is the exit status.
    std::optional<int> parse(const QStringList& arguments, int minPositional, int maxPositional);

    bool isSet(const QString& name) const { return m_parser.isSet(name); }
    QString value(const QString& name) const { return m_parser.value(name); }
    QStringList values(const QString& name) const { return m_parser.values(name); }
    QStringList positional() const { return m_parser.positionalArguments(); }

    // Prints "<program> <command>: <problem> (try --help)" on stderr; returns 2.
    int usageError(const QString& problem) const;
    // Prints "<program>: <message>" on stderr; returns 1.
    int fail(const QString& message) const;

    QString helpText() const;
    QString prefix() const; // "corvane-cli info"

private:
    QString m_program;
    QString m_command;
    QString m_synopsis;
    QString m_epilogue;
    QCommandLineParser m_parser;
    QList<QCommandLineOption> m_single;
    QStringList m_positionalNames;
    bool m_version = false;
};

// "corvane-cli 2.0.0"
QString programVersionLine(const QString& program);
