// A script that starts the virtual controller and connects at once must find
// its port: the simulator says when it is ready, in the foreground with
// --daemon or on a descriptor with --ready-fd.
#include "test_cli.h"

#include "ProgramRun.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

QProcessEnvironment quickDevice()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVANE_PAUSE_SCALE"), QStringLiteral("0.1"));
    env.insert(QStringLiteral("CORVANE_REPLY_TIMEOUT_SCALE"), QStringLiteral("0.3"));
    return env;
}

// Reads one line from fd, waiting as long as a loaded machine may need.
QByteArray readLine(int fd)
{
    QByteArray line;
    while (!line.endsWith('\n')) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 60000) <= 0)
            break;
        char c = 0;
        if (::read(fd, &c, 1) != 1)
            break;
        line += c;
    }
    return line;
}

} // namespace

void TestSimReadiness::clientStartedRightAfterConnects_data()
{
    QTest::addColumn<bool>("daemon");
    QTest::newRow("--daemon returns once ready") << true;
    QTest::newRow("--ready-fd is told once ready") << false;
}

void TestSimReadiness::clientStartedRightAfterConnects()
{
#ifndef CORVANE_RC_SIM
    QSKIP("the virtual controller is not built here");
#else
    QFETCH(bool, daemon);
    QTemporaryDir dir;
    const QString link = dir.filePath("rc");
    // A few rounds: the race this prevents lost one start in a few.
    for (int round = 0; round < 3; ++round) {
        const QStringList simArgs{"--model", "rtc", "--new-project-config", "--link", link};
        qint64 pid = 0;
        QProcess foreground;
        int pipeFds[2] = {-1, -1};
        if (daemon) {
            const ProgramRun sim = runProgram(QStringLiteral(CORVANE_RC_SIM), simArgs + QStringList{"--daemon"});
            QVERIFY2(sim.status == 0, qPrintable(sim.errText()));
            QCOMPARE(sim.outLines().size(), 2);
            QVERIFY(sim.outLines()[0].startsWith("PORT /dev/pts/"));
            QVERIFY(sim.outLines()[1].startsWith("PID "));
            pid = sim.outLines()[1].mid(4).toLongLong();
            QVERIFY(pid > 0);
        } else {
            QVERIFY(::pipe(pipeFds) == 0);
            const int writeEnd = pipeFds[1];
            foreground.setChildProcessModifier([writeEnd] { ::dup2(writeEnd, 3); });
            foreground.start(QStringLiteral(CORVANE_RC_SIM), simArgs + QStringList{"--ready-fd", "3"});
            ::close(pipeFds[1]);
            const QByteArray line = readLine(pipeFds[0]);
            ::close(pipeFds[0]);
            QVERIFY2(line.startsWith("PORT /dev/pts/"), line.constData());
        }
        const ProgramRun client = runProgram(QStringLiteral(CORVANE_CLI), {"identify", "--port", link}, quickDevice());
        if (daemon)
            ::kill(pid_t(pid), SIGTERM);
        else
            foreground.terminate();
        QVERIFY2(client.status == 0, qPrintable(client.errText()));
        QVERIFY(client.outText().contains("Part number: 5827"));
        // The simulator removes its link when it stops.
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(link).isSymLink(), 60000);
        if (!daemon && foreground.state() != QProcess::NotRunning)
            QVERIFY(foreground.waitForFinished(60000));
    }
#endif
}
