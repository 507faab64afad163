// corvane-cli commission and report end to end: several virtual controllers
// on pseudo-terminals, the program run as an installer's script runs it, the
// controllers' memories and the commissioning log checked afterwards.
#include "EventWait.h"
#include "ProgramRun.h"
#include "ProjectFixtures.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "sim/lib/VirtualController.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr uint32_t kImageStore = 0x80000;

// A project with a configuration of its own and one logo, so both blocks
// carry something to compare.
void writeProject(const QString& path)
{
    TDevice_Config_v2 rec = newProjectConfig();
    rec.theme_colour = 0x00AA55;
    writeServiceText(QStringLiteral("Floor 3"), rec);
    THandleList handles;
    createDefaultHandles(handles);
    THandle_object& logos = *handles[kLogosIdx];
    QImage logo(logos.width, logos.height, QImage::Format_ARGB32_Premultiplied);
    logo.fill(qRgb(200, 60, 20));
    addFixtureImage(logos, QStringLiteral("RED"), logo, TFixtureImage::Stored);
    Save_Project_File(path, rec, handles);
}

struct Memory {
    QByteArray config;
    QByteArray images;
};

Memory memoryOf(const VirtualController& sim, int imageBytes)
{
    return {sim.memory(0, 1408), sim.memory(kImageStore, imageBytes)};
}

QStringList commissionArgs(const QString& project, const std::vector<VirtualController*>& sims, const QString& log)
{
    QStringList args{QStringLiteral("commission"), project};
    for (const VirtualController* s : sims)
        args << QStringLiteral("--port") << s->portName();
    args << QStringLiteral("--verify") << QStringLiteral("--log") << log;
    return args;
}

std::map<QString, TCommissioningRecord> recordsByPort(const QString& log)
{
    std::map<QString, TCommissioningRecord> out;
    for (const TCommissioningRecord& r : readCommissioningLog(log).records)
        out[r.port] = r;
    return out;
}

QString sha256Of(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// Reads a running program's stdout until it holds the text.
bool waitForOutput(QProcess& p, QByteArray& seen, const QByteArray& text, int timeoutMs = 120000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!seen.contains(text) && !deadline.hasExpired()) {
        p.waitForReadyRead(200);
        seen += p.readAllStandardOutput();
        if (p.state() == QProcess::NotRunning) {
            seen += p.readAllStandardOutput();
            break;
        }
    }
    return seen.contains(text);
}

} // namespace

class TestCommission : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void threeControllersGetWhatOneUploadGives();
    void oneMisbehavingControllerFailsAlone_data();
    void oneMisbehavingControllerFailsAlone();
    void killedMidwayLeavesOnlyWholeLines();
    void stoppedRunPutsWaitingPortsOnRecord();
    void stopSignalIsNamedOnRecord_data();
    void stopSignalIsNamedOnRecord();
    void watchStoppedBeforeAnyControllerNamesNoLog();
    void portNamesAreShownEscaped();
    void killedWorkerIsOnRecord();
    void manyPortsShowCountsOnASmallTerminal();
    void damagedPictureSendsNothing_data();
    void damagedPictureSendsNothing();
    void projectEditedDuringRunChangesNothingSent();
    void watchCommissionsControllerAfterController();
    void reportSkipsMalformedLinesAndKeepsTheLatest();
    void logLinesAreSynced();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir m_dir;
    QString m_project;
    Memory m_reference;
};

void TestCommission::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_project = m_dir.filePath(QStringLiteral("site.cvp"));
    writeProject(m_project);
    // What a single upload leaves in a controller: the measure for every
    // controller a commission touches.
    VirtualController single;
    QVERIFY(single.start());
    const ProgramRun r = runCli(
        {QStringLiteral("upload"), QStringLiteral("--port"), single.portName(), m_project, QStringLiteral("--verify")});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(m_project, rec, handles));
    QByteArray block;
    Build_Image_Data(block, handles);
    QVERIFY(block.size() > 100);
    m_reference = memoryOf(single, int(block.size()));
    QCOMPARE(m_reference.images, block);
}

void TestCommission::threeControllersGetWhatOneUploadGives()
{
    VirtualController a, b, c;
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString log = m_dir.filePath(QStringLiteral("all.jsonl"));
    const ProgramRun r = runCli(commissionArgs(m_project, {&a, &b, &c}, log));
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QVERIFY(r.err.isEmpty());
    for (VirtualController* s : {&a, &b, &c}) {
        const Memory m = memoryOf(*s, int(m_reference.images.size()));
        QCOMPARE(m.config, m_reference.config);
        QCOMPARE(m.images, m_reference.images);
        QCOMPARE(s->resetCount(), 1);
    }
    // The table: a header, one row per port, the counts.
    const QStringList lines = r.outLines();
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[0].startsWith(QStringLiteral("port")));
    QVERIFY(lines[4].startsWith(QStringLiteral("3 ok, 0 failed")));

    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 3);
    QFile projectFile(m_project);
    QVERIFY(projectFile.open(QIODevice::ReadOnly));
    const QString projectSha = sha256Of(projectFile.readAll());
    for (VirtualController* s : {&a, &b, &c}) {
        QVERIFY(records.count(s->portName()));
        const TCommissioningRecord& rec = records.at(s->portName());
        QVERIFY(rec.ok);
        QCOMPARE(rec.partNumber.value_or(0), 5813);
        QCOMPARE(rec.firmware, QStringLiteral("2.01"));
        QCOMPARE(rec.sent, (QStringList{"config", "images"}));
        QCOMPARE(rec.verify, TVerifyResult::Passed);
        QCOMPARE(rec.configChecksum.value_or(QByteArray()), m_reference.config.mid(2 + 1342, 2));
        QCOMPARE(rec.imageBlockBytes.value_or(0), qint64(m_reference.images.size()));
        QCOMPARE(rec.imageBlockSha256, sha256Of(m_reference.images));
        QCOMPARE(rec.projectSha256, projectSha);
        QCOMPARE(rec.project, QFileInfo(m_project).absoluteFilePath());
        QVERIFY(rec.time.secsTo(QDateTime::currentDateTimeUtc()) < 600);
    }
}

void TestCommission::oneMisbehavingControllerFailsAlone_data()
{
    QTest::addColumn<SimOptions>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("sent");
    SimOptions silent;
    // Identified twice, configuration written and read back (14 frames):
    // the image write goes unanswered.
    silent.silentAfter = 16;
    QTest::newRow("silent mid-upload") << silent << QStringLiteral("Error uploading data: (1) Image data: no answer")
                                       << QStringList{"config"};
    SimOptions vanishing;
    vanishing.vanishAfter = 4; // the terminal closes during the configuration
    QTest::newRow("gone mid-upload") << vanishing
                                     << QStringLiteral("Error uploading data: (1) Configuration data: port gone")
                                     << QStringList{};
    SimOptions vanishingInImages;
    vanishingInImages.vanishAfter = 18; // ... during the images, the configuration written and read back
    QTest::newRow("gone mid-images") << vanishingInImages
                                     << QStringLiteral("Error uploading data: (1) Image data: port gone")
                                     << QStringList{"config"};
    SimOptions old;
    old.fwVersion = 104;
    QTest::newRow("firmware too old") << old
                                      << QStringLiteral(
                                             "skipped: firmware 1.04 needs an upgrade before data can be uploaded")
                                      << QStringList{};
    SimOptions bootLoader;
    bootLoader.bootLoader = true;
    QTest::newRow("boot loader")
        << bootLoader
        << QStringLiteral("skipped: the boot loader runs (part number 5819); it needs application firmware")
        << QStringList{};
}

void TestCommission::oneMisbehavingControllerFailsAlone()
{
    QFETCH(SimOptions, fault);
    QFETCH(QString, message);
    QFETCH(QStringList, sent);
    VirtualController a, bad(fault), c;
    for (VirtualController* s : {&a, &bad, &c})
        QVERIFY(s->start());
    const QString log = m_dir.filePath(QStringLiteral("%1.jsonl").arg(QTest::currentDataTag()).replace(' ', '-'));
    const ProgramRun r = runCli(commissionArgs(m_project, {&a, &bad, &c}, log));
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().last(),
             QStringLiteral("corvane-cli: 1 of 3 controllers failed: %1 (%2)").arg(bad.portName(), message));
    for (VirtualController* s : {&a, &c}) {
        const Memory m = memoryOf(*s, int(m_reference.images.size()));
        QCOMPARE(m.config, m_reference.config);
        QCOMPARE(m.images, m_reference.images);
    }
    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 3);
    QVERIFY(records.at(a.portName()).ok);
    QVERIFY(records.at(c.portName()).ok);
    const TCommissioningRecord& failed = records.at(bad.portName());
    QVERIFY(!failed.ok);
    QCOMPARE(failed.message, message);
    QCOMPARE(failed.sent, sent);
    if (message.startsWith(QLatin1String("skipped")))
        QCOMPARE(bad.writeCount(), 0);
}

void TestCommission::killedMidwayLeavesOnlyWholeLines()
{
    // At the line's own pace the upload takes long enough to be cut.
    SimOptions paced;
    paced.lineRate = true;
    VirtualController a(paced), b(paced), c(paced);
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString log = m_dir.filePath(QStringLiteral("killed.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI), commissionArgs(m_project, {&a, &b, &c}, log));
    QVERIFY(p.waitForStarted());
    // Killed once every controller has seen a write.
    CORVANE_TRY_VERIFY(a.writeCount() > 0 && b.writeCount() > 0 && c.writeCount() > 0, 60000);
    ::kill(pid_t(p.processId()), SIGKILL);
    QVERIFY(p.waitForFinished(30000));
    // Each port's process puts its attempt on record as it goes.
    CORVANE_TRY_COMPARE(int(readCommissioningLog(log).records.size()), 3, 60000);
    QFile projectFile(m_project);
    QVERIFY(projectFile.open(QIODevice::ReadOnly));
    const QString projectSha = sha256Of(projectFile.readAll());
    for (const TCommissioningRecord& r : readCommissioningLog(log).records)
        QCOMPARE(r.projectSha256, projectSha); // known to the run, whatever became of the worker
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 4); // three lines, each ended
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 3; ++i) {
        QJsonParseError e{};
        QVERIFY(QJsonDocument::fromJson(lines[i], &e).isObject());
        QCOMPARE(QJsonDocument::fromJson(lines[i])["outcome"].toString(), QStringLiteral("failed"));
    }
}

// Stopped while the first of three ports is being written, one port at a
// time: the attempt under way is on record with what it had sent, the two
// ports never started are on record as not attempted and got no byte.
void TestCommission::stoppedRunPutsWaitingPortsOnRecord()
{
    SimOptions paced;
    paced.lineRate = true;
    VirtualController a(paced), b, c;
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString log = m_dir.filePath(QStringLiteral("stopped.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI),
            commissionArgs(m_project, {&a, &b, &c}, log) << QStringLiteral("--jobs") << QStringLiteral("1"));
    QVERIFY(p.waitForStarted());
    // Stopped once the configuration is written and the images are going.
    CORVANE_TRY_VERIFY(a.writeCount() > 3, 60000);
    ::kill(pid_t(p.processId()), SIGTERM);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 3);
    const TCommissioningRecord& cut = records.at(a.portName());
    QVERIFY(!cut.ok);
    QVERIFY2(cut.message.startsWith(QStringLiteral("interrupted")), qPrintable(cut.message));
    QCOMPARE(cut.sent, QStringList{"config"});
    QCOMPARE(cut.verify, TVerifyResult::Passed);
    QCOMPARE(cut.configChecksum.value_or(QByteArray()), m_reference.config.mid(2 + 1342, 2));
    QCOMPARE(cut.partNumber.value_or(0), 5813);
    for (VirtualController* s : {&b, &c}) {
        const TCommissioningRecord& r = records.at(s->portName());
        QVERIFY(!r.ok);
        QVERIFY2(r.message.startsWith(QStringLiteral("not attempted")), qPrintable(r.message));
        QCOMPARE(r.projectSha256, cut.projectSha256);
        QCOMPARE(s->frameCount(), 0);
    }
    QVERIFY(!cut.projectSha256.isEmpty());
}

// The signal that stopped the run is the one on record, in the log and in
// the summary, whatever the run uses to stop its workers.
void TestCommission::stopSignalIsNamedOnRecord_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("named");
    QTest::newRow("Ctrl+C") << int(SIGINT) << "(SIGINT, Ctrl+C)";
    QTest::newRow("hang-up") << int(SIGHUP) << "(SIGHUP, the terminal went away)";
    QTest::newRow("kill") << int(SIGTERM) << "(SIGTERM)";
}

void TestCommission::stopSignalIsNamedOnRecord()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, named);
    SimOptions paced;
    paced.lineRate = true;
    VirtualController a(paced);
    QVERIFY(a.start());
    const QString log = m_dir.filePath(QStringLiteral("signal-%1.jsonl").arg(signalNumber));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI), commissionArgs(m_project, {&a}, log));
    QVERIFY(p.waitForStarted());
    CORVANE_TRY_VERIFY(a.writeCount() > 3, 60000);
    ::kill(pid_t(p.processId()), signalNumber);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 1);
    const QString message = records.at(a.portName()).message;
    QCOMPARE(message, QStringLiteral("interrupted before this controller was done ") + named);
    const QStringList err = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(err,
             QStringList{QStringLiteral("corvane-cli: 1 of 1 controller failed: %1 (%2)").arg(a.portName(), message)});
}

// Stopped while no controller ever answered: it said once that it waits,
// and names no log, because none was written.
void TestCommission::watchStoppedBeforeAnyControllerNamesNoLog()
{
    const QString port = m_dir.filePath(QStringLiteral("never-plugged-in"));
    const QString log = m_dir.filePath(QStringLiteral("never.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI),
            {QStringLiteral("commission"), m_project, QStringLiteral("--watch"), QStringLiteral("--port"), port,
             QStringLiteral("--log"), log});
    QVERIFY(p.waitForStarted());
    QByteArray seen;
    QVERIFY(waitForOutput(p, seen, "waiting for a controller"));
    // Several polls go by before the stop.
    QTest::qWait(3000);
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(60000));
    seen += p.readAllStandardOutput();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(
        QString::fromUtf8(seen),
        QStringLiteral("waiting for a controller on %1 (Ctrl+C ends)\nno controller was commissioned\n").arg(port));
    QVERIFY(p.readAllStandardError().isEmpty());
    QVERIFY(!QFile::exists(log));
}

// A port's name goes on the terminal as visible characters: an escape in it
// does not reach the terminal, while the log keeps the name as given.
void TestCommission::portNamesAreShownEscaped()
{
    const QString port = m_dir.filePath(QStringLiteral("ttyUSB\x1b[2J"));
    const QString log = m_dir.filePath(QStringLiteral("escaped.jsonl"));
    const ProgramRun r = runCli(
        {QStringLiteral("commission"), m_project, QStringLiteral("--port"), port, QStringLiteral("--log"), log});
    QCOMPARE(r.status, 1);
    QVERIFY2(!r.out.contains('\x1b') && !r.err.contains('\x1b'), r.out.constData());
    const QString shown = m_dir.filePath(QStringLiteral("ttyUSB\\x1b[2J"));
    QVERIFY2(r.outText().contains(shown + QStringLiteral("  -  ")), qPrintable(r.outText()));
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY2(r.errLines()[0].startsWith(QStringLiteral("corvane-cli: 1 of 1 controller failed: %1 (").arg(shown)),
             qPrintable(r.errText()));
    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 1);
    QVERIFY(records.count(port) == 1);
}

// A worker killed outright writes nothing; the run puts its attempt on
// record with what the run itself knows: the project's hash, the controller
// that identified itself, the time spent.
void TestCommission::killedWorkerIsOnRecord()
{
    SimOptions paced;
    paced.lineRate = true;
    VirtualController a(paced);
    QVERIFY(a.start());
    const QString log = m_dir.filePath(QStringLiteral("killed-worker.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI), commissionArgs(m_project, {&a}, log));
    QVERIFY(p.waitForStarted());
    CORVANE_TRY_VERIFY(a.writeCount() > 0, 60000);
    // The worker is the only child of the run, with --worker on its command line.
    qint64 worker = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!cmdline.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray st = stat.readAll();
        const QList<QByteArray> fields = st.mid(st.lastIndexOf(')') + 2).split(' ');
        if (cmdline.readAll().contains("--worker") && fields.value(1).toLongLong() == p.processId())
            worker = entry.toLongLong();
    }
    QVERIFY(worker > 0);
    ::kill(pid_t(worker), SIGKILL);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 1);
    const TCommissioningRecord& r = records.at(a.portName());
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QStringLiteral("the port's worker process crashed or was killed"));
    QFile projectFile(m_project);
    QVERIFY(projectFile.open(QIODevice::ReadOnly));
    QCOMPARE(r.projectSha256, sha256Of(projectFile.readAll()));
    QCOMPARE(r.partNumber.value_or(0), 5813);
    QCOMPARE(r.firmware, QStringLiteral("2.01"));
    QVERIFY(r.seconds > 0);
}

// More ports than the terminal has lines: the progress is the counts and
// the failed ports, not a line per port scrolling away.
void TestCommission::manyPortsShowCountsOnASmallTerminal()
{
    SimOptions old;
    old.fwVersion = 104;
    std::vector<std::unique_ptr<VirtualController>> sims;
    std::vector<VirtualController*> ports;
    for (int i = 0; i < 6; ++i) {
        sims.push_back(std::make_unique<VirtualController>(i == 2 ? old : SimOptions{}));
        QVERIFY(sims.back()->start());
        ports.push_back(sims.back().get());
    }
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    const auto closeMaster = qScopeGuard([master] { ::close(master); });
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QByteArray slave = ::ptsname(master);
    struct winsize size { };
    size.ws_row = 5;
    size.ws_col = 200;
    QVERIFY(::ioctl(master, TIOCSWINSZ, &size) == 0);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    QProcess p;
    p.setChildProcessModifier([slave] {
        const int fd = ::open(slave.constData(), O_RDWR | O_NOCTTY);
        if (fd >= 0)
            ::dup2(fd, STDOUT_FILENO);
    });
    p.start(QStringLiteral(CORVANE_CLI),
            commissionArgs(m_project, ports, m_dir.filePath(QStringLiteral("many.jsonl"))));
    QVERIFY(p.waitForStarted());
    QByteArray seen;
    auto drain = [&] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(master, buffer, sizeof buffer)) > 0)
            seen.append(buffer, n);
    };
    QDeadlineTimer deadline(120000);
    while (!p.waitForFinished(50) && !deadline.hasExpired())
        drain();
    drain();
    QCOMPARE(p.exitCode(), 1);
    const QString text = QString::fromUtf8(seen);
    QVERIFY2(text.contains(QStringLiteral("  6 ports: 5 ok, 1 failed, 0 running, 0 waiting")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("  failed: %1 (skipped: firmware 1.04").arg(ports[2]->portName())),
             qPrintable(text));
    for (const VirtualController* s : ports)
        QVERIFY2(!text.contains(QStringLiteral("\x1b[2K  %1  ").arg(s->portName())), qPrintable(text));
}

void TestCommission::damagedPictureSendsNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("upload") << QStringLiteral("upload");
    QTest::newRow("commission") << QStringLiteral("commission");
}

// A picture that cannot be converted is found before any port is opened: the
// command fails naming it, and the controller receives not a single frame.
void TestCommission::damagedPictureSendsNothing()
{
    QFETCH(QString, command);
    const QString damaged = m_dir.filePath(QStringLiteral("damaged-%1.cvp").arg(command));
    TDevice_Config_v2 rec = newProjectConfig();
    THandleList handles;
    createDefaultHandles(handles);
    addFixtureImage(*handles[kLogosIdx], QStringLiteral("SMUDGE"), QByteArray("\x89PNG\r\n\x1a\nnot really", 18));
    Save_Project_File(damaged, rec, handles);
    VirtualController sim;
    QVERIFY(sim.start());
    const QString log = m_dir.filePath(QStringLiteral("damaged-%1.jsonl").arg(command));
    const QStringList args = command == QLatin1String("upload")
        ? QStringList{command, QStringLiteral("--port"), sim.portName(), damaged}
        : commissionArgs(damaged, {&sim}, log);
    const ProgramRun r = runCli(args);
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY2(r.errText().contains(QStringLiteral("SMUDGE")) && r.errText().contains(QStringLiteral("Nothing was sent")),
             qPrintable(r.errText()));
    QCOMPARE(sim.frameCount(), 0);
    // info says what is wrong with it, too.
    const ProgramRun info = runCli({QStringLiteral("info"), damaged});
    QVERIFY2(info.outText().contains(QStringLiteral("damaged: ")), qPrintable(info.outText()));
}

// One run, one project: the file edited while the first of two controllers
// is being commissioned changes nothing the second one gets.
void TestCommission::projectEditedDuringRunChangesNothingSent()
{
    const QString edited = m_dir.filePath(QStringLiteral("edited.cvp"));
    QVERIFY(QFile::copy(m_project, edited));
    QFile original(edited);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QString sha = sha256Of(original.readAll());
    original.close();
    SimOptions slow;
    slow.lineRate = true;
    slow.ignoreResets = 2;
    VirtualController a(slow), b;
    for (VirtualController* s : {&a, &b})
        QVERIFY(s->start());
    const QString log = m_dir.filePath(QStringLiteral("edited.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI),
            commissionArgs(edited, {&a, &b}, log) << QStringLiteral("--jobs") << QStringLiteral("1"));
    QVERIFY(p.waitForStarted());
    CORVANE_TRY_VERIFY(a.frameCount() > 0, 60000);
    QCOMPARE(b.frameCount(), 0); // one at a time: the second has not started
    {
        TDevice_Config_v2 rec = newProjectConfig();
        rec.theme_colour = 0x102030;
        THandleList handles;
        createDefaultHandles(handles);
        Save_Project_File(edited, rec, handles);
    }
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 0);
    for (VirtualController* s : {&a, &b}) {
        const Memory m = memoryOf(*s, int(m_reference.images.size()));
        QCOMPARE(m.config, m_reference.config);
        QCOMPARE(m.images, m_reference.images);
    }
    const auto records = recordsByPort(log);
    QCOMPARE(records.at(a.portName()).projectSha256, sha);
    QCOMPARE(records.at(b.portName()).projectSha256, sha);
}

void TestCommission::watchCommissionsControllerAfterController()
{
    const QString link = m_dir.filePath(QStringLiteral("adapter"));
    const QString log = m_dir.filePath(QStringLiteral("watch.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI),
            {QStringLiteral("commission"), m_project, QStringLiteral("--watch"), QStringLiteral("--port"), link,
             QStringLiteral("--log"), log});
    QVERIFY(p.waitForStarted());
    const auto stopped = qScopeGuard([&p] {
        p.kill();
        p.waitForFinished(10000);
    });
    QByteArray seen;
    QVERIFY(waitForOutput(p, seen, "waiting for a controller"));

    auto first = std::make_unique<VirtualController>();
    QVERIFY(first->start());
    QVERIFY(first->makeLink(link));
    QVERIFY2(waitForOutput(p, seen, "\n#1 "), seen.constData());
    const Memory m1 = memoryOf(*first, int(m_reference.images.size()));
    QCOMPARE(m1.config, m_reference.config);
    QCOMPARE(m1.images, m_reference.images);
    // Still attached, it goes on being asked who it is, and is not
    // commissioned a second time.
    const int writes = first->writeCount();
    first->clearFrames();
    QVERIFY(first->waitForFrames(3, 30000));
    QCOMPARE(first->writeCount(), writes);
    first.reset(); // the cable is pulled
    QVERIFY2(waitForOutput(p, seen, "controller removed"), seen.constData());

    SimOptions rtc;
    rtc.model = 1;
    VirtualController second(rtc);
    QVERIFY(second.start());
    QVERIFY(second.makeLink(link));
    QVERIFY2(waitForOutput(p, seen, "\n#2 "), seen.constData());
    const Memory m2 = memoryOf(second, int(m_reference.images.size()));
    QCOMPARE(m2.config, m_reference.config);
    QCOMPARE(m2.images, m_reference.images);

    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(60000));
    seen += p.readAllStandardOutput();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(seen.contains("2 ok, 0 failed"), seen.constData());
    const std::vector<TCommissioningRecord> records = readCommissioningLog(log).records;
    QCOMPARE(int(records.size()), 2);
    QCOMPARE(records[0].partNumber.value_or(0), 5813);
    QCOMPARE(records[1].partNumber.value_or(0), 5827);
    QCOMPARE(records[0].watchIndex, 1);
    QCOMPARE(records[1].watchIndex, 2);
    QVERIFY(records[0].ok && records[1].ok);
    // Two controllers behind one adapter are two controllers in a report.
    QVERIFY(records[0].controllerKey() != records[1].controllerKey());
}

void TestCommission::reportSkipsMalformedLinesAndKeepsTheLatest()
{
    const QString log = m_dir.filePath(QStringLiteral("report.jsonl"));
    auto record = [](const QString& serial, const QString& time, bool ok, const QString& message) {
        TCommissioningRecord r;
        r.projectSha256 = sha256Of(serial.toUtf8());
        r.time = QDateTime::fromString(time, Qt::ISODate);
        r.port = QStringLiteral("/dev/ttyUSB0");
        r.adapterSerial = serial;
        r.partNumber = 5813;
        r.firmware = QStringLiteral("2.01");
        r.configChecksum = QByteArray("\x3f\x9c", 2);
        r.sent = QStringList{QStringLiteral("config")};
        r.ok = ok;
        r.message = message;
        return r;
    };
    // Later in the file but earlier in time: not the latest.
    QVERIFY(appendCommissioningRecord(log, record("FT01", "2026-12-10T10:05:00Z", true, "fine")));
    QFile f(log);
    QVERIFY(f.open(QIODevice::Append));
    f.write("{\"time\": \"2026-12-10T10:06:00Z\", \"port\": \"/dev/ttyUSB1\", \"outc\n");
    f.write("[1, 2]\n");
    f.write("{\"time\": \"yesterday\", \"port\": \"x\", \"outcome\": \"ok\"}\n");
    f.close();
    QVERIFY(appendCommissioningRecord(log, record("FT01", "2026-12-10T10:00:00Z", false, "first try")));
    QVERIFY(appendCommissioningRecord(log, record("FT<2>", "2026-12-10T10:01:00Z", false, "=HYPERLINK(\"x\")")));
    const QString other = m_dir.filePath(QStringLiteral("report-2.jsonl"));
    QVERIFY(appendCommissioningRecord(other, record("FT03", "2026-12-10T11:00:00Z", true, "fine")));

    const QString csv = m_dir.filePath(QStringLiteral("report.csv"));
    const QString html = m_dir.filePath(QStringLiteral("report.html"));
    ProgramRun r = runCli({QStringLiteral("report"), log, other, QStringLiteral("--csv"), csv});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.errLines().size(), 3);
    QVERIFY2(r.errLines()[0].startsWith(QStringLiteral("corvane-cli report: %1:2: malformed line skipped").arg(log)),
             qPrintable(r.errText()));
    QVERIFY(r.errLines()[1].contains(QStringLiteral(":3: malformed line skipped (not a JSON object)")));
    QVERIFY(r.errLines()[2].contains(QStringLiteral(":4: malformed line skipped (\"time\" is not an ISO 8601 time)")));
    QVERIFY(r.outLines().last() == QStringLiteral("3 controllers: 2 ok, 1 failed"));
    // Each controller's project shows, so a run that sent two projects shows.
    QVERIFY2(r.outLines()[1].contains(QStringLiteral("  %1  ").arg(sha256Of("FT01").left(12))),
             qPrintable(r.outText()));

    QFile csvFile(csv);
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(csvFile.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 4);
    QVERIFY(rows[0].startsWith(QStringLiteral("controller,port,part number,firmware,")));
    QVERIFY2(rows[0].endsWith(QStringLiteral(",project,project sha256")), qPrintable(rows[0]));
    QVERIFY2(rows[1].endsWith(QStringLiteral(",") + sha256Of("FT01")), qPrintable(rows[1]));
    QVERIFY(
        rows[1].startsWith(QStringLiteral("FT01,/dev/ttyUSB0,5813,2.01,2026-12-10T10:05:00Z,config,not run,3f 9c")));
    QVERIFY(rows[1].contains(QStringLiteral(",2,ok,fine,"))); // two attempts, the later one counts
    QVERIFY2(rows[3].startsWith(QStringLiteral("FT<2>,")), qPrintable(rows[3]));
    QVERIFY2(rows[3].contains(QStringLiteral(",failed,\"'=HYPERLINK(\"\"x\"\")\",")), qPrintable(rows[3]));

    r = runCli({QStringLiteral("report"), log, other, QStringLiteral("--html"), html});
    QCOMPARE(r.status, 0);
    QFile htmlFile(html);
    QVERIFY(htmlFile.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(htmlFile.readAll());
    QVERIFY(page.contains(QStringLiteral("FT&lt;2&gt;")));
    QVERIFY(!page.contains(QStringLiteral("FT<2>")));
    for (const char* external : {"src=", "href=", "@import", "url("})
        QVERIFY2(!page.contains(QLatin1String(external)), external);
    QVERIFY(page.contains(QStringLiteral("3 controllers: 2 ok, 1 failed")));
    QVERIFY(page.contains(QStringLiteral("<th>project sha256</th>")));
}

// A line is on the disk before the append returns: the log file is synced
// after each line, its folder when the log is new, and a sync that fails
// fails the append.
void TestCommission::logLinesAreSynced()
{
    QStringList synced;
    int failWith = 0;
    const TCommissioningLogSync before = setCommissioningLogSync([&](int fd) {
        synced << QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget();
        if (failWith != 0) {
            errno = failWith;
            return -1;
        }
        return 0;
    });
    const auto restore = qScopeGuard([&] { setCommissioningLogSync(before); });
    const QString log = m_dir.filePath(QStringLiteral("synced.jsonl"));
    TCommissioningRecord r;
    r.time = QDateTime::currentDateTimeUtc();
    r.port = QStringLiteral("/dev/ttyUSB0");
    QVERIFY(appendCommissioningRecord(log, r));
    const QString file = QFileInfo(log).canonicalFilePath();
    QCOMPARE(synced, (QStringList{file, QFileInfo(file).absolutePath()}));
    synced.clear();
    QVERIFY(appendCommissioningRecord(log, r));
    QCOMPARE(synced, QStringList{file});
    failWith = EIO;
    QString error;
    QVERIFY(!appendCommissioningRecord(log, r, &error));
    QVERIFY2(error.contains(QString::fromLocal8Bit(std::strerror(EIO))), qPrintable(error));
}

void TestCommission::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no port") << QStringList{} << "give the ports with --port NAME..., or --all (not both)";
    QTest::newRow("port and all") << QStringList{"--port", "/dev/null", "--all"}
                                  << "give the ports with --port NAME..., or --all (not both)";
    QTest::newRow("watch two ports") << QStringList{"--watch", "--port", "/tmp/a", "--port", "/tmp/b"}
                                     << "--watch takes exactly one --port and no --all or --jobs";
    QTest::newRow("jobs zero") << QStringList{"--port", "/tmp/a", "--jobs", "0"}
                               << "--jobs wants a number of 1 or more, not \"0\"";
    QTest::newRow("jobs past any int") << QStringList{"--port", "/tmp/a", "--jobs", "99999999999"}
                                       << "--jobs wants a number of 1 or more, not \"99999999999\"";
    QTest::newRow("jobs negative") << QStringList{"--port", "/tmp/a", "--jobs", "-3"}
                                   << "--jobs wants a number of 1 or more, not \"-3\"";
    QTest::newRow("jobs not a number") << QStringList{"--port", "/tmp/a", "--jobs", "many"}
                                       << "--jobs wants a number of 1 or more, not \"many\"";
    QTest::newRow("jobs with a line break")
        << QStringList{"--port", "/tmp/a", "--jobs", "2\nx"} << "--jobs wants a number of 1 or more, not \"2\\nx\"";
    QTest::newRow("port twice") << QStringList{"--port", "/tmp/a", "--port", "/tmp/a"}
                                << "--port /tmp/a names a port already given";
    QTest::newRow("verify images only") << QStringList{"--port", "/tmp/a", "--images", "--verify"}
                                        << "--verify checks the configuration: give --config too";
}

void TestCommission::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, problem);
    const QString log = m_dir.filePath(QStringLiteral("usage.jsonl"));
    const ProgramRun r
        = runCli(QStringList{QStringLiteral("commission"), m_project, QStringLiteral("--log"), log} + args);
    QCOMPARE(r.status, 2);
    QCOMPARE(
        r.errLines(),
        QStringList{QStringLiteral("corvane-cli commission: %1 (try corvane-cli commission --help)").arg(problem)});
    QVERIFY(!QFile::exists(log));
}

QTEST_GUILESS_MAIN(TestCommission)
#include "test_commission.moc"
