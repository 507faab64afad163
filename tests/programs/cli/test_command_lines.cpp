// The command-line convention of the three programs: --help on stdout with
// exit 0; a usage error as one line plus "try --help" on stderr with exit 2; a
// failed operation as one line on stderr with exit 1.
#include "test_cli.h"

#include "CliFixtures.h"
#include "ProgramRun.h"

#include <QtTest>

namespace {

// Placeholders in the table's arguments, filled in with the test's files.
QStringList filled(QStringList args, const QTemporaryDir& dir)
{
    for (QString& a : args) {
        a.replace("@P", dir.filePath("site.cvp"));
        a.replace("@I", dir.filePath("in.png"));
        a.replace("@X", dir.filePath("damaged.png"));
        a.replace("@F", dir.filePath("plain-file"));
        a.replace("@D", dir.path());
        a.replace("@B", QStringLiteral(CORVANE_FUZZ_FINDINGS "/picture/bmp-32784x272-106-bytes.bmp"));
    }
    return args;
}

QString programPath(const QString& program)
{
    if (program == "cli")
        return QStringLiteral(CORVANE_CLI);
#ifdef CORVANE_RC_SIM
    if (program == "sim")
        return QStringLiteral(CORVANE_RC_SIM);
#endif
#ifdef CORVANE_CONFIGURATOR
    if (program == "configurator")
        return QStringLiteral(CORVANE_CONFIGURATOR);
#endif
    return {};
}

} // namespace

void TestCommandLines::initTestCase()
{
    FixtureProject(true).save(m_dir.filePath("site.cvp"));
    const QByteArray png = pngBytes(fixturePicture(40, 30, 3));
    writeFile(m_dir.filePath("in.png"), png);
    // A byte of the compressed pixels changed: the chunk's CRC no longer
    // matches and libpng has its own words for that.
    QByteArray damaged = png;
    const qsizetype idat = damaged.indexOf("IDAT");
    QVERIFY(idat > 0);
    damaged[idat + 10] = char(damaged[idat + 10] ^ 0x55);
    writeFile(m_dir.filePath("damaged.png"), damaged);
    writeFile(m_dir.filePath("plain-file"), "not a folder");
}

void TestCommandLines::exitStatusAndStreams_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("noDisplay");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("expected"); // on stdout for status 0, else on stderr

    auto row
        = [](const char* name, const QString& program, const QStringList& args, int status, const QStringList& expected,
             bool noDisplay = false) { QTest::newRow(name) << program << args << noDisplay << status << expected; };
    row("cli alone: usage on stderr", "cli", {}, 2, {"Usage: corvane-cli COMMAND"});
    row("cli --help", "cli", {"--help"}, 0, {"Usage: corvane-cli COMMAND", "diff A.cvp B.cvp"});
    row("cli --version", "cli", {"--version"}, 0, {"corvane-cli 2."});
    row("unknown command", "cli", {"frobnicate"}, 2, {"unknown command \"frobnicate\"", "try"});
    for (const char* command : {"new", "info", "preview", "image-block", "identify", "ports", "diff"}) {
        const QByteArray name = QByteArray(command) + " --help";
        row(name.constData(), "cli", {command, "--help"}, 0, {QStringLiteral("Usage: corvane-cli %1").arg(command)});
    }
    // Also with the command's required arguments missing: the version is answered first.
    for (const char* command : {"new", "info", "diff", "preview", "image-block", "add-image", "ports", "identify",
                                "retrieve", "upload", "firmware", "commission", "report"}) {
        const QByteArray name = QByteArray(command) + " --version";
        row(name.constData(), "cli", {command, "--version"}, 0, {"corvane-cli 2."});
    }
    row("help COMMAND", "cli", {"help", "info"}, 0, {"Usage: corvane-cli info FILE"});
    row("preview --help lists the formats", "cli", {"preview", "--help"}, 0,
        {" 7  RGB 5-6-5", "17  grey 2 bit, 4 pixels per byte", "18  grey 2 bit packed as 17"});
    row("unknown option", "cli", {"info", "@P", "--jsno"}, 2, {"unknown option 'jsno'", "try corvane-cli info --help"});
    row("unknown option, ports", "cli", {"ports", "--bogus"}, 2, {"unknown option 'bogus'"});
    row("stray argument", "cli", {"info", "@P", "extra"}, 2, {"unexpected argument \"extra\""});
    row("stray argument, ports", "cli", {"ports", "extra"}, 2, {"unexpected argument \"extra\""});
    row("missing argument", "cli", {"info"}, 2, {"missing FILE"});
    row("missing value", "cli", {"identify", "--port"}, 2, {"missing value after '--port'"});
    row("empty port name", "cli", {"identify", "--port", ""}, 2, {"--port needs a value, not an empty text"});
    row("repeated flag", "cli", {"info", "@P", "--json", "--json"}, 2, {"--json is given 2 times"});
    row("repeated option", "cli", {"preview", "@I", "--format", "6", "--format", "7", "-o", "@D/a.png"}, 2,
        {"--format is given 2 times"});
    row("missing -o", "cli", {"image-block", "@P"}, 2, {"missing -o"});
    row("diff needs two files", "cli", {"diff", "@P"}, 2, {"missing B"});
    row("unwritable extension", "cli", {"preview", "@I", "--format", "7", "-o", "@D/out.xyz"}, 2,
        {"-o @D/out.xyz: cannot write a picture of that extension"});
    row("not a format", "cli", {"preview", "@I", "--format", "9", "-o", "@D/a.png"}, 2, {"--format 9"});
    row("stdev beyond pure noise", "cli", {"preview", "@I", "--format", "7", "--stdev", "1e300", "-o", "@D/a.png"}, 2,
        {"above 255"});
    row("stdev not a number", "cli", {"preview", "@I", "--format", "7", "--stdev", "nan", "-o", "@D/a.png"}, 2,
        {"--stdev needs a number"});
    row("missing project", "cli", {"info", "@D/missing.cvp"}, 1, {"missing.cvp"});
    row("damaged PNG: our line only", "cli", {"preview", "@X", "--format", "7", "-o", "@D/a.png"}, 1, {"damaged.png"});
    // 106 bytes declaring 32784 x 272 pixels: refused on its header's size.
    row("tiny file of a huge picture", "cli", {"preview", "@B", "--format", "7", "-o", "@D/a.png"}, 1, {"32784 x 272"});

#ifdef CORVANE_RC_SIM
    row("sim --help", "sim", {"--help"}, 0, {"Usage: corvane-rc-sim", "--dump-dir"});
    row("sim --version", "sim", {"--version"}, 0, {"corvane-rc-sim 2."});
    row("sim unknown option", "sim", {"--bogus"}, 2, {"unknown option 'bogus'", "try corvane-rc-sim --help"});
    row("sim stray argument", "sim", {"stray"}, 2, {"unexpected argument \"stray\""});
    row("sim bad value", "sim", {"--model", "third"}, 2, {"--model wants first or rtc"});
    row("sim link in a missing folder", "sim", {"--link", "@D/missing/rc"}, 2, {"--link @D/missing/rc"});
    row("sim link over a file", "sim", {"--link", "@F"}, 2, {"exists and is not a symbolic link"});
    row("sim dump below a file", "sim", {"--dump-dir", "@F/dump"}, 2, {"--dump-dir @F/dump"});
    row("sim ready descriptor not open", "sim", {"--ready-fd", "987"}, 2, {"--ready-fd 987: no such open"});
    row("sim ready descriptor and daemon", "sim", {"--ready-fd", "2", "--daemon"}, 2, {"not both"});
    row("sim daemon with an unusable link", "sim", {"--daemon", "--link", "@F"}, 2, {"not a symbolic link"});
#endif
#ifdef CORVANE_CONFIGURATOR
    row("configurator without a display", "configurator", {}, 1, {"xvfb-run", "QT_QPA_PLATFORM=offscreen"}, true);
    row("configurator --version without a display", "configurator", {"--version"}, 0, {"corvane-configurator 2."},
        true);
    row("configurator --help without a display", "configurator", {"--help"}, 0,
        {"Usage: corvane-configurator", "--demo"}, true);
    row("configurator unknown option", "configurator", {"--bogus"}, 2, {"unknown option 'bogus'"});
    row("configurator two files", "configurator", {"@P", "@P"}, 2, {"corvane-configurator"});
    row("configurator --help names FILE", "configurator", {"--help"}, 0, {"[FILE]"});
#endif
}

void TestCommandLines::exitStatusAndStreams()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(bool, noDisplay);
    QFETCH(int, status);
    QFETCH(QStringList, expected);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (noDisplay) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
    } else {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    // Without it Qt notes its own fallback on stderr, which is not ours to test.
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    const ProgramRun r = runProgram(programPath(program), filled(args, m_dir), env);
    const QString report
        = QStringLiteral("status %1\nstdout: %2\nstderr: %3").arg(r.status).arg(r.outText(), r.errText());
    QVERIFY2(r.status == status, qPrintable(report));
    const QString shown = status == 0 ? r.outText() : r.errText();
    for (const QString& text : filled(expected, m_dir))
        QVERIFY2(shown.contains(text), qPrintable(text + "\n" + report));
    if (status == 0) {
        if (program != "configurator") // Qt may note a missing XDG_RUNTIME_DIR there
            QVERIFY2(r.err.isEmpty(), qPrintable(report));
        return;
    }
    QVERIFY2(r.out.isEmpty(), qPrintable(report));
    if (args.isEmpty() && program == "cli")
        return; // the program's whole usage
    // One line: no Qt or libpng words before or after ours.
    QVERIFY2(r.errLines().size() == 1, qPrintable(report));
    if (status == 2)
        QVERIFY2(r.errText().contains("--help"), qPrintable(report));
}

void TestCommandLines::commandsAgreeOnAnUnreadableProject()
{
    const QString path = m_dir.filePath("text.cvp");
    writeFile(path, "a text file that only has the project's extension\n");
    const ProgramRun info = runCli({"info", path});
    const ProgramRun block = runCli({"image-block", path, "-o", m_dir.filePath("text.bin")});
    const ProgramRun diff = runCli({"diff", path, m_dir.filePath("site.cvp")});
    QCOMPARE(info.status, 1);
    QCOMPARE(block.status, 1);
    QCOMPARE(diff.status, 2); // diff's "trouble": 1 means the projects differ
    QCOMPARE(block.errText(), info.errText());
    QCOMPARE(diff.errText(), info.errText());
    QCOMPARE(info.errLines().size(), 1);
}
