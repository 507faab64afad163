// The manual pages against the programs: every option a program's --help (or
// a corvane-cli command's --help) offers is described in its page, every
// command has its entry, the sections a reader looks for are there, and
// groff reads the page without a warning.
#include "ProgramRun.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {

QString pageText(const QString& program)
{
    QFile f(QStringLiteral(CORVANE_MAN_DIR "/%1.1").arg(program));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // What a reader sees of the roff source: hyphens plain, fonts dropped.
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    return text;
}

// Every option a --help text names, in its option list or its prose.
QStringList helpOptions(const QString& help)
{
    static const QRegularExpression kOption(QStringLiteral("(?<![\\w-])(--[a-z][a-z0-9-]*|-[a-zA-Z])(?![\\w-])"));
    QStringList out;
    for (auto it = kOption.globalMatch(help); it.hasNext();)
        out << it.next().captured(1);
    out.removeDuplicates();
    return out;
}

bool mentions(const QString& page, const QString& word)
{
    return page.contains(
        QRegularExpression(QStringLiteral("(?<![\\w-])%1(?![\\w-])").arg(QRegularExpression::escape(word))));
}

QString binary(const QString& program)
{
    return QStringLiteral(CORVANE_BIN_DIR "/") + program;
}

} // namespace

class TestManPages : public QObject {
    Q_OBJECT
private slots:
    void pageHasWhatAReaderLooksFor_data();
    void pageHasWhatAReaderLooksFor();
    void everyCliCommandAndItsOptionsAreInThePage();
};

void TestManPages::pageHasWhatAReaderLooksFor_data()
{
    QTest::addColumn<QString>("program");
    for (const char* p : {"corvane-configurator", "corvane-cli", "corvane-rc-sim"})
        QTest::newRow(p) << QString::fromLatin1(p);
}

void TestManPages::pageHasWhatAReaderLooksFor()
{
    QFETCH(QString, program);
    const QString page = pageText(program);
    QVERIFY(!page.isEmpty());
    for (const char* section :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "ENVIRONMENT", "FILES", "EXAMPLES", "SEE ALSO"})
        QVERIFY2(page.contains(QStringLiteral("\n.SH %1\n").arg(QLatin1String(section))), section);
    const QString seeAlso = page.mid(page.indexOf(QStringLiteral(".SH SEE ALSO")));
    for (const char* other : {"corvane-configurator", "corvane-cli", "corvane-rc-sim"})
        QCOMPARE(seeAlso.contains(QStringLiteral(".BR %1 ").arg(QLatin1String(other))),
                 program != QLatin1String(other));
    // The guide is where the package installs it.
    QVERIFY(seeAlso.contains(QLatin1String("/usr/share/corvane-configurator/guide/index.html")));

    const ProgramRun help = runProgram(binary(program), {QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    const QStringList options = helpOptions(help.outText());
    QVERIFY(options.contains(QStringLiteral("--help")));
    for (const QString& kOption : options)
        QVERIFY2(mentions(page, kOption), qPrintable(kOption + QStringLiteral(" is not in the page")));

    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (groff.isEmpty())
        QSKIP("no groff to read the page with");
    const ProgramRun read
        = runProgram(groff,
                     {QStringLiteral("-ww"), QStringLiteral("-man"), QStringLiteral("-Tutf8"), QStringLiteral("-z"),
                      QStringLiteral(CORVANE_MAN_DIR "/") + program + QStringLiteral(".1")});
    QCOMPARE(read.status, 0);
    QCOMPARE(read.errText(), QString());

    // What the reader sees: a quote left over from a macro's arguments, or
    // two brackets with no space between them, is a slip in the source.
    const ProgramRun shown
        = runProgram(groff,
                     {QStringLiteral("-man"), QStringLiteral("-Tascii"), QStringLiteral("-P-cbou"),
                      QStringLiteral("-rLL=200n"), QStringLiteral(CORVANE_MAN_DIR "/") + program + ".1"});
    QCOMPARE(shown.status, 0);
    for (const QString& line : shown.outLines()) {
        QVERIFY2(!line.trimmed().endsWith(QLatin1Char('"')) || line.count(QLatin1Char('"')) % 2 == 0, qPrintable(line));
        QVERIFY2(!line.contains(QStringLiteral("][")), qPrintable(line));
        QVERIFY2(!line.contains(QStringLiteral(" ,")), qPrintable(line));
    }
}

void TestManPages::everyCliCommandAndItsOptionsAreInThePage()
{
    const QString page = pageText(QStringLiteral("corvane-cli"));
    const ProgramRun help = runProgram(binary(QStringLiteral("corvane-cli")), {QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QStringList commands;
    static const QRegularExpression kEntry(QStringLiteral("^  ([a-z][a-z-]*) "));
    for (const QString& l : help.outLines())
        if (const auto m = kEntry.match(l); m.hasMatch())
            commands << m.captured(1);
    QVERIFY(commands.size() >= 10);
    for (const QString& command : commands) {
        // An entry of its own: ".TP" and the command's line (its usage, as
        // ".BI" arguments or inline fonts).
        const QRegularExpression entryLine(
            QStringLiteral("\n\\.TP\n(\\.BI \")?%1 ").arg(QRegularExpression::escape(command)));
        QVERIFY2(page.contains(entryLine), qPrintable(command));
        const ProgramRun commandHelp
            = runProgram(binary(QStringLiteral("corvane-cli")), {command, QStringLiteral("--help")});
        QCOMPARE(commandHelp.status, 0);
        for (const QString& kOption : helpOptions(commandHelp.outText()))
            QVERIFY2(mentions(page, kOption), qPrintable(command + QLatin1Char(' ') + kOption));
    }
}

QTEST_GUILESS_MAIN(TestManPages)
#include "test_man_pages.moc"
