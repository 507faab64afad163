#include "CliCommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

std::vector<CliCommand>& CliRegistry::commands()
{
    static std::vector<CliCommand> list;
    return list;
}

int cliFail(const QString& message)
{
    QTextStream(stderr) << "corvane-cli: " << message << '\n';
    return 1;
}

void cliOut(const QString& text)
{
    QTextStream(stdout) << text << '\n';
}

QString cliOption(const QStringList& args, const QString& name, const QString& fallback)
{
    const int i = args.indexOf(name);
    return (i >= 0 && i + 1 < args.size()) ? args[i + 1] : fallback;
}

bool cliFlag(const QStringList& args, const QString& name)
{
    return args.contains(name);
}

QStringList cliPositional(const QStringList& args, const QStringList& optionsWithValue)
{
    QStringList out;
    for (int i = 0; i < args.size(); ++i) {
        if (optionsWithValue.contains(args[i])) {
            ++i;
            continue;
        }
        if (!args[i].startsWith("--"))
            out << args[i];
    }
    return out;
}

static void printUsage(QTextStream& out)
{
    auto cmds = CliRegistry::commands();
    std::sort(cmds.begin(), cmds.end(), [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    out << "usage: corvane-cli COMMAND [ARGS]\n\ncommands:\n";
    constexpr int kUsageWidth = 40;
    for (const CliCommand& c : cmds) {
        if (c.usage.size() <= kUsageWidth)
            out << "  " << c.usage.leftJustified(kUsageWidth) << "  " << c.summary << '\n';
        else
            out << "  " << c.usage << '\n' << QString(kUsageWidth + 4, ' ') << c.summary << '\n';
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("corvane-cli");
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        QTextStream out(stdout);
        printUsage(out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const CliCommand& c : CliRegistry::commands()) {
        if (c.name == name)
            return c.run(args);
    }
    QTextStream err(stderr);
    err << "corvane-cli: unknown command \"" << name << "\"\n";
    printUsage(err);
    return 2;
}
