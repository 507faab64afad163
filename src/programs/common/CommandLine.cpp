#include "programs/common/CommandLine.h"

#include "programs/common/QuietMessages.h"

#include "core/messaging/UntrustedText.h"

#include <QTextStream>

namespace {
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

// How an option was written by the user: "-o" or "--json".
QString spelled(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}
} // namespace

QString programVersionLine(const QString& program)
{
    return QStringLiteral("%1 %2").arg(program, QStringLiteral(CORVANE_VERSION));
}

CommandLine::CommandLine(const QString& program, const QString& command, const QString& synopsis,
                         const QString& description)
    : m_program(program)
    , m_command(command)
    , m_synopsis(synopsis)
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    m_parser.addOption(QCommandLineOption({QStringLiteral("h"), kHelp}, QStringLiteral("Show this help and exit.")));
    // Every program and every command answers --version.
    addVersionOption();
}

void CommandLine::addOption(const QCommandLineOption& option, bool repeatable)
{
    m_parser.addOption(option);
    if (!repeatable)
        m_single << option;
}

void CommandLine::addVersionOption()
{
    if (m_version)
        return;
    m_parser.addOption(QCommandLineOption(kVersion, QStringLiteral("Show the program's version and exit.")));
    m_version = true;
}

void CommandLine::addPositional(const QString& name, const QString& description, const QString& syntax)
{
    m_parser.addPositionalArgument(name, description, syntax);
    m_positionalNames << name;
}

QString CommandLine::prefix() const
{
    return m_command.isEmpty() ? m_program : m_program + QLatin1Char(' ') + m_command;
}

QString CommandLine::helpText() const
{
    // Qt's text names the executable by its path and lists the positional
    // arguments on its own; the first line is ours.
    QString text = m_parser.helpText();
    const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
    const QString usage = QStringLiteral("Usage: %1 %2").arg(prefix(), m_synopsis).trimmed();
    text = usage + (firstBreak < 0 ? QString() : text.mid(firstBreak));
    if (!m_epilogue.isEmpty())
        text += QLatin1Char('\n') + m_epilogue + (m_epilogue.endsWith(QLatin1Char('\n')) ? "" : "\n");
    return text;
}

int CommandLine::usageError(const QString& problem) const
{
    // The problem may quote an argument: one visible line whatever it holds.
    QTextStream(programStderr()) << prefix() << ": " << untrustedText(problem, 1 << 20) << " (try " << prefix()
                                 << " --help)\n";
    return kExitUsage;
}

int CommandLine::fail(const QString& message) const
{
    QTextStream(programStderr()) << m_program << ": " << untrustedText(message, 1 << 20) << '\n';
    return kExitFailed;
}

std::optional<int> CommandLine::parse(const QStringList& arguments, int minPositional, int maxPositional)
{
    if (!m_parser.parse(QStringList{m_program} + arguments)) {
        QString why = m_parser.errorText();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        // Qt starts its sentences in capitals; ours continue a "program: " prefix.
        if (!why.isEmpty())
            why[0] = why[0].toLower();
        return usageError(why);
    }
    if (m_parser.isSet(kHelp)) {
        QTextStream(stdout) << helpText();
        return kExitOk;
    }
    if (m_version && m_parser.isSet(kVersion)) {
        QTextStream(stdout) << programVersionLine(m_program) << '\n';
        return kExitOk;
    }
    const QStringList given = m_parser.optionNames();
    for (const QCommandLineOption& option : m_single) {
        qsizetype times = 0;
        for (const QString& name : given)
            times += option.names().contains(name) ? 1 : 0;
        if (times > 1)
            return usageError(
                QStringLiteral("%1 is given %2 times; it takes one").arg(spelled(option.names().last())).arg(times));
    }
    for (const QString& name : given) {
        if (m_parser.values(name).contains(QString()))
            return usageError(QStringLiteral("%1 needs a value, not an empty text").arg(spelled(name)));
    }
    const QStringList positional = m_parser.positionalArguments();
    if (positional.size() < minPositional)
        return usageError(
            QStringLiteral("missing %1").arg(m_positionalNames.mid(positional.size()).join(QLatin1Char(' '))));
    if (positional.size() > maxPositional)
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(positional.value(maxPositional)));
    return std::nullopt;
}
