// What a command writes never destroys what the user has: an output that is
// one of the inputs is refused, a device or a pipe stays what it is, two
// programs changing one project do not lose a change, and names from files
// and logs print as one visible line.
#include "test_cli.h"

#include "CliFixtures.h"
#include "ProgramRun.h"

#include "core/commissioning/CommissioningRecord.h"
#include "core/storage/DiskIO.h"
#include "core/storage/ProjectFileLock.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <map>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

std::map<QString, QByteArray> snapshot(const QString& dir)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = QFileInfo(path).isFile() ? readFile(path) : QByteArray("(special)");
    }
    return files;
}

mode_t fileType(const QString& path)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

QString logLine(const QString& port, const QString& message, bool ok)
{
    TCommissioningRecord r;
    r.time = QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC);
    r.port = port;
    r.partNumber = 5813;
    r.firmware = QStringLiteral("2.01");
    r.project = QStringLiteral("/site.cvp");
    r.projectSha256 = QString(64, QLatin1Char('a'));
    r.ok = ok;
    r.message = message;
    return QString::fromUtf8(QJsonDocument(r.toJson()).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

bool hasRawControls(const QByteArray& text)
{
    for (const char c : text) {
        if ((uchar(c) < 0x20 && c != '\n') || c == 0x7f)
            return true;
    }
    // U+202E (right-to-left override) and U+2028 (line separator) in UTF-8.
    return text.contains("\xe2\x80\xae") || text.contains("\xe2\x80\xa8");
}

// The files the tests below use, with placeholders for their paths.
struct Files {
    QTemporaryDir dir;
    Files()
    {
        FixtureProject(true).save(dir.filePath("site.cvp"));
        writeFile(dir.filePath("in.png"), pngBytes(fixturePicture(30, 20, 4)));
        writeFile(dir.filePath("site.jsonl"), logLine("/dev/ttyUSB0", "", true).toUtf8());
        writeFile(dir.filePath("second.jsonl"), logLine("/dev/ttyUSB1", "", true).toUtf8());
        QFile::link(dir.filePath("site.cvp"), dir.filePath("link.cvp"));
    }
    QStringList filled(QStringList args) const
    {
        for (QString& a : args) {
            a.replace("@P", dir.filePath("site.cvp"));
            a.replace("@L", dir.filePath("link.cvp"));
            a.replace("@I", dir.filePath("in.png"));
            a.replace("@J", dir.filePath("site.jsonl"));
            a.replace("@D", dir.path());
        }
        return args;
    }
};

} // namespace

void TestFileSafety::outputOverAnInputIsRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("image-block over its project") << QStringList{"image-block", "@P", "-o", "@P"};
    QTest::newRow("image-block over a link to its project") << QStringList{"image-block", "@P", "-o", "@L"};
    QTest::newRow("image-block of a link, over the project") << QStringList{"image-block", "@L", "-o", "@P"};
    QTest::newRow("report --csv over its log") << QStringList{"report", "@J", "--csv", "@J"};
    QTest::newRow("report --html over the second of its logs")
        << QStringList{"report", "@J", "@D/second.jsonl", "--html", "@D/./second.jsonl"};
    QTest::newRow("preview over its picture") << QStringList{"preview", "@I", "--format", "7", "-o", "@I"};
    QTest::newRow("preview, both outputs one new file")
        << QStringList{"preview", "@I", "--format", "7", "-o", "@D/p.png", "--packed", "@D/./p.png"};
    QTest::newRow("commission --log into its project")
        << QStringList{"commission", "@P", "--port", "@D/no-such-port", "--log", "@L"};
}

void TestFileSafety::outputOverAnInputIsRefused()
{
    QFETCH(QStringList, args);
    Files f;
    const auto before = snapshot(f.dir.path());
    const ProgramRun r = runCli(f.filled(args));
    QVERIFY2(r.status == 2, qPrintable(r.errText() + r.outText()));
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY2(r.errText().contains("same file"), qPrintable(r.errText()));
    QVERIFY(r.out.isEmpty());
    QVERIFY(snapshot(f.dir.path()) == before);
}

void TestFileSafety::specialOutputsAreWrittenInPlace_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("reference"); // the same output as a regular file, to compare with
    QTest::newRow("image-block") << QStringList{"image-block", "@P", "-o", "@O"} << "block.bin";
    QTest::newRow("report --csv") << QStringList{"report", "@J", "--csv", "@O"} << "report.csv";
    QTest::newRow("preview --packed") << QStringList{"preview", "@I",       "--format", "7",
                                                     "-o",      "@D/p.png", "--packed", "@O"}
                                      << "packed.bin";
}

void TestFileSafety::specialOutputsAreWrittenInPlace()
{
    QFETCH(QStringList, args);
    QFETCH(QString, reference);
    Files f;
    auto with = [&](const QString& output) {
        QStringList a = f.filled(args);
        for (QString& s : a)
            s.replace("@O", output);
        return a;
    };
    const ProgramRun regular = runCli(with(f.dir.filePath(reference)));
    QVERIFY2(regular.status == 0, qPrintable(regular.errText()));
    const QByteArray expected = readFile(f.dir.filePath(reference));
    QVERIFY(!expected.isEmpty());

    // The null device: nothing to rename over it (as root that turned the
    // device into a plain file; as anyone else the save failed). As root a
    // node of our own stands in for it, so a fault cannot break the system's.
    QString nullDevice = QStringLiteral("/dev/null");
    if (::geteuid() == 0) {
        nullDevice = f.dir.filePath("null");
        QVERIFY(::mknod(QFile::encodeName(nullDevice).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0);
    }
    const ProgramRun null = runCli(with(nullDevice));
    QVERIFY2(null.status == 0, qPrintable(null.errText()));
    QCOMPARE(fileType(nullDevice), mode_t(S_IFCHR));

    // A named pipe: the reader gets the bytes and the pipe stays a pipe.
    const QString fifo = f.dir.filePath("pipe");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QProcess reader;
    reader.start(QStringLiteral("cat"), {fifo});
    QVERIFY(reader.waitForStarted());
    const ProgramRun piped = runCli(with(fifo));
    QVERIFY2(piped.status == 0, qPrintable(piped.errText()));
    QVERIFY(reader.waitForFinished(60000));
    QCOMPARE(reader.readAllStandardOutput(), expected);
    QCOMPARE(fileType(fifo), mode_t(S_IFIFO));

    // "-": the data on standard output, the command's own lines on stderr.
    const ProgramRun dash = runCli(with(QStringLiteral("-")));
    QVERIFY2(dash.status == 0, qPrintable(dash.errText()));
    QCOMPARE(dash.out, expected);
    QVERIFY(!QFileInfo::exists(f.dir.filePath("-")));
    QVERIFY(!QFileInfo::exists(QDir::current().filePath("-")));
}

void TestFileSafety::deviceNodeStaysADevice_data()
{
    QTest::addColumn<int>("minorNumber");
    QTest::addColumn<int>("status");
    QTest::newRow("null device") << 3 << 0;
    QTest::newRow("full device: the write fails, said in one line") << 7 << 1;
}

void TestFileSafety::deviceNodeStaysADevice()
{
    QFETCH(int, minorNumber);
    QFETCH(int, status);
    if (::geteuid() != 0)
        QSKIP("making a device node needs root");
    Files f;
    const QString node = f.dir.filePath("device");
    if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, unsigned(minorNumber))) != 0)
        QSKIP("this system does not let us make a device node here");
    const ProgramRun r = runCli(f.filled({"image-block", "@P", "-o", node}));
    QVERIFY2(r.status == status, qPrintable(r.errText()));
    if (status != 0) {
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY2(r.errText().contains("No space left"), qPrintable(r.errText()));
    }
    QCOMPARE(fileType(node), mode_t(S_IFCHR));
}

void TestFileSafety::concurrentEditsKeepEveryChange()
{
    Files f;
    const QString project = f.dir.filePath("new.cvp");
    QCOMPARE(runCli({"new", project}).status, 0);
    QStringList backgrounds, screens;
    for (int i = 0; i < 3; ++i) {
        backgrounds << f.dir.filePath(QStringLiteral("bg%1.png").arg(i));
        writeFile(backgrounds.last(), pngBytes(fixturePicture(480, 272, 10 + i)));
        screens << f.dir.filePath(QStringLiteral("screen%1.png").arg(i));
        writeFile(screens.last(), pngBytes(fixturePicture(480, 272, 20 + i)));
    }
    QProcess a, b;
    a.start(QStringLiteral(CORVANE_CLI), QStringList{"add-image", project, "--handle", "backgrounds"} + backgrounds);
    b.start(QStringLiteral(CORVANE_CLI), QStringList{"add-image", project, "--handle", "info-screens"} + screens);
    QVERIFY(a.waitForFinished(180000));
    QVERIFY(b.waitForFinished(180000));

    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(project, rec, handles));
    // Each run either kept its pictures or failed saying who was in the way.
    for (auto [run, handle] : {std::pair{&a, kBackgroundsIdx}, std::pair{&b, kInfoScreensIdx}}) {
        const QString err = QString::fromUtf8(run->readAllStandardError());
        if (run->exitCode() == 0) {
            QCOMPARE(handles[size_t(handle)]->cells.size(), size_t(3));
        } else {
            QCOMPARE(run->exitCode(), 1);
            QVERIFY2(err.contains("being changed by another program"), qPrintable(err));
            QCOMPARE(handles[size_t(handle)]->cells.size(), size_t(0));
        }
    }
}

void TestFileSafety::lockedProjectIsNotOverwritten()
{
    Files f;
    const QString project = f.dir.filePath("site.cvp");
    const QByteArray before = readFile(project);
    ProjectFileLock held;
    QString error;
    QVERIFY(held.acquire(project, 0, &error));
    const ProgramRun r = runCli({"add-image", project, "--handle", "logos", f.dir.filePath("in.png")});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().size(), 1);
    // The holder is this test program, named with its process.
    QVERIFY2(r.errText().contains(QStringLiteral("process %1").arg(::getpid())), qPrintable(r.errText()));
    QVERIFY(r.out.isEmpty()); // no "added" for a change that was not made
    QCOMPARE(readFile(project), before);
}

void TestFileSafety::reportRefusesAFileThatIsNotALog_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("status");
    QTest::newRow("a project") << "site.cvp" << 1;
    QTest::newRow("a picture") << "in.png" << 1;
    QTest::newRow("a log and a project") << "site.jsonl site.cvp" << 1;
    QTest::newRow("a text file") << "notes.txt" << 1;
    QTest::newRow("an empty log: no controller yet") << "empty.jsonl" << 0;
}

void TestFileSafety::reportRefusesAFileThatIsNotALog()
{
    QFETCH(QString, file);
    QFETCH(int, status);
    Files f;
    writeFile(f.dir.filePath("notes.txt"), "first line\nsecond line\nthird line\n");
    writeFile(f.dir.filePath("empty.jsonl"), "");
    QStringList args{"report"};
    for (const QString& name : file.split(' '))
        args << f.dir.filePath(name);
    const ProgramRun r = runCli(args);
    QVERIFY2(r.status == status, qPrintable(r.errText()));
    if (status == 1) {
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY2(r.errText().contains("not a commissioning log"), qPrintable(r.errText()));
        QVERIFY(r.out.isEmpty());
    } else {
        QVERIFY2(r.outText().contains("0 controllers: 0 ok, 0 failed"), qPrintable(r.outText()));
    }
}

void TestFileSafety::reportCountsOneController()
{
    Files f;
    const ProgramRun r = runCli({"report", f.dir.filePath("site.jsonl")});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.outText().contains("1 controller: 1 ok, 0 failed"), qPrintable(r.outText()));
}

void TestFileSafety::namesFromFilesPrintAsOneVisibleLine()
{
    Files f;
    const QString hostile = QStringLiteral("PIC\n\x1b[7M\u202eevil");
    writeFile(f.dir.filePath(hostile + ".png"), pngBytes(fixturePicture(125, 85, 7)));
    const QString project = f.dir.filePath("site.cvp");
    const QString picture = f.dir.filePath(hostile + ".png");

    const ProgramRun added = runCli({"add-image", project, "--handle", "logos", picture});
    QVERIFY2(added.status == 0, qPrintable(added.errText()));
    QVERIFY2(!hasRawControls(added.out + added.err), added.out.constData());
    // The stored name has no control character either.
    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(project, rec, handles));
    const QString stored = handles[kLogosIdx]->cells.back()->name;
    QCOMPARE(stored, QStringLiteral("PIC__[7M_EVIL_PNG"));

    const QString log = f.dir.filePath("hostile.jsonl");
    writeFile(log,
              logLine(QStringLiteral("/dev/tty\x1b[31mUSB0"), QStringLiteral("bad\nline\u2028here"), false).toUtf8());
    struct Case {
        const char* what;
        QStringList args;
    };
    const QList<Case> cases{
        {"preview", {"preview", picture, "--format", "6", "-o", f.dir.filePath(hostile + "-out.png")}},
        {"report", {"report", log}},
        {"image-block", {"image-block", project, "-o", f.dir.filePath(hostile + ".bin")}},
        {"new", {"new", f.dir.filePath(hostile)}},
        {"info", {"info", project}},
    };
    for (const Case& c : cases) {
        const ProgramRun r = runCli(c.args);
        QVERIFY2(r.status == 0, qPrintable(QStringLiteral("%1: %2").arg(c.what, r.errText())));
        QVERIFY2(!hasRawControls(r.out + r.err), c.what);
    }
}

void TestFileSafety::sameFileTwiceIsNumbered()
{
    Files f;
    const QString project = f.dir.filePath("new.cvp");
    QCOMPARE(runCli({"new", project}).status, 0);
    const QString sun = f.dir.filePath("sun.png");
    writeFile(sun, pngBytes(fixturePicture(125, 85, 5)));
    const ProgramRun r = runCli({"add-image", project, "--handle", "logos", sun, sun, sun});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QVERIFY2(r.outText().contains("SUN_PNG was taken in this group, so it is named SUN_PNG_2"),
             qPrintable(r.outText()));
    QVERIFY2(r.outText().contains("named SUN_PNG_3"), qPrintable(r.outText()));
    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(project, rec, handles));
    for (int handle : {kLogosIdx, kLogoThumbnailsIdx}) {
        QStringList names;
        for (const auto& cell : handles[size_t(handle)]->cells)
            names << cell->name;
        QCOMPARE(names, (QStringList{"SUN_PNG", "SUN_PNG_2", "SUN_PNG_3"}));
    }
}

void TestFileSafety::retrieveThatCannotBeSavedFailsFirst_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing folder") << "missing" << false << "does not exist";
    QTest::newRow("read-only folder") << "locked" << true << "read-only";
}

void TestFileSafety::retrieveThatCannotBeSavedFailsFirst()
{
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);
    QFETCH(QString, why);
    Files f;
    const QString path = f.dir.filePath(folder);
    const auto readable
        = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    if (readOnly) {
        QVERIFY(QDir().mkdir(path));
        QVERIFY(QFile::setPermissions(path, readable));
        QVERIFY(QFile::setPermissions(f.dir.path(), readable | QFileDevice::WriteOwner));
    }
    // The named port does not exist: had the command gone to the controller
    // first, the port's failure would be its message.
    QStringList args{"retrieve", "--port", f.dir.filePath("no-such-port"), path + "/site.cvp"};
    QString program = QStringLiteral(CORVANE_CLI);
    if (readOnly && ::geteuid() == 0) {
        // The superuser writes anything: run as an ordinary user.
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("needs setpriv to run the program as an ordinary user");
        args = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + args;
        program = setpriv;
    }
    const ProgramRun r = runProgram(program, args);
    if (readOnly)
        QFile::setPermissions(path, readable | QFileDevice::WriteOwner);
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY2(r.errText().contains(why) && !r.errText().contains("no such port"), qPrintable(r.errText()));
}
