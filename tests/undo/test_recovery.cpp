// A configurator that dies with unsaved changes leaves them in its recovery
// file; the next one offers them and restores exactly what was there.
#include "test_undo.h"

#include "UiTestFixtures.h"

#include "core/document/TProjectDocument.h"
#include "core/storage/DiskIO.h"
#include "core/storage/RecoveryFile.h"
#include "ui/app/TProjectRecovery.h"
#include "ui/app/TSessionLock.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/config_editor/TGeneralPage.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSaveFile>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kDeadline = 60000;

// A saved project with a background and a logo.
void makeProject(const QString& path)
{
    TFormFixture fx;
    fx.newProject(path);
    fx.addImage(kBackgroundsIdx, QStringLiteral("SUNSET"), pngBytes(480, 272, 0xff336699));
    fx.addImage(kBgThumbnailsIdx, QStringLiteral("SUNSET"), pngBytes(90, 51, 0xff336699));
    fx.addImage(kLogosIdx, QStringLiteral("ACME"), pngBytes(125, 85, 0x80ff0000));
    fx.addImage(kLogoThumbnailsIdx, QStringLiteral("ACME"), pngBytes(90, 61, 0x80ff0000));
    fx.form().configurationPage()->generalPage()->service_text_Memo()->clear();
    fx.trigger("save_project_MenuItem");
}

void openRecovered(TFormFixture& fx, const QString& path)
{
    fx.dialogs().answers.enqueue(path);
    fx.trigger("open_project_MenuItem");
}

QStringList recoveryFiles(const QString& folder, const QString& pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files);
}

// A valid recovery file of a configurator that has gone.
void leaveRecoveryFile(const QString& file, const QString& projectPath)
{
    TFormFixture fx;
    openRecovered(fx, projectPath);
    TRecoveryRecord record;
    record.projectPath = projectPath;
    record.projectName = QFileInfo(projectPath).completeBaseName();
    record.lastChange = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    record.pid = 1;
    TDevice_Config_v2 changed = fx.form().document().record();
    changed.frost_protection_enabled = 1;
    record.projectBytes = projectFileBytes(changed, fx.form().document().images());
    writeRecoveryFile(file, record);
}

} // namespace

int runRecoveryChild(const QString& folder, const QString& project, const QString& expected)
{
    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    openRecovered(fx, project);
    Tbmpgen_Form& form = fx.form();
    form.findChild<QCheckBox*>(QStringLiteral("master_ctrl_CheckBox"))->click();
    QPlainTextEdit* memo = form.configurationPage()->generalPage()->service_text_Memo();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("AFTER HOURS 0800"));
    QTreeWidget* tree = form.imagesPage()->treePanel()->Project_TreeView();
    tree->setCurrentItem(tree->topLevelItem(kLogosIdx)->child(0));
    form.imagesPage()->treePanel()->deleteButton()->click();
    // What a save would write now, for the test to compare the restored
    // project with.
    const TProjectState state = form.document().currentState();
    QSaveFile out(expected);
    if (!out.open(QIODevice::WriteOnly) || out.write(projectFileBytes(state.record, *state.images)) < 0
        || !out.commit())
        return 1;
    QSignalSpy written(&recovery, &TProjectRecovery::written);
    if (!written.wait(kDeadline))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    // Until killed.
    return QCoreApplication::exec();
}

void TestRecovery::init()
{
    QVERIFY(m_dir.isValid());
}

void TestRecovery::killedConfiguratorOffersItsProject()
{
    const QString project = m_dir.filePath(QStringLiteral("plant.cvp"));
    const QString folder = m_dir.filePath(QStringLiteral("state/recovery"));
    const QString expected = m_dir.filePath(QStringLiteral("expected.bin"));
    makeProject(project);
    const QByteArray onDisk = fileBytes(project);

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--recovery-child", folder, project, expected});
    QVERIFY(child.waitForStarted(kDeadline));
    QByteArray said;
    QDeadlineTimer deadline(kDeadline * 2);
    while (!said.contains("ready") && child.state() == QProcess::Running && !deadline.hasExpired()) {
        child.waitForReadyRead(1000);
        said += child.readAllStandardOutput();
    }
    QVERIFY2(said.contains("ready"), said.constData());
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(kDeadline));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(recoveryFiles(folder, QStringLiteral("*.cvr")).size(), 1);
    // Never beside or over the project.
    QCOMPARE(fileBytes(project), onDisk);
    QCOMPARE(recoveryFiles(m_dir.path(), QStringLiteral("*.cvr")).size(), 0);

    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    fx.prompter().enqueue(QMessageBox::Yes);
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question& question = fx.prompter().questions().constFirst();
    QVERIFY(question.text.contains(QStringLiteral("\"plant\"")));
    QVERIFY(question.text.contains(QDir::toNativeSeparators(project)));
    QVERIFY(question.text.contains(QStringLiteral("Last change: ")));
    QCOMPARE(question.defaultButton, QMessageBox::No);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard);

    TProjectDocument& document = fx.form().document();
    QVERIFY(document.isModified());
    QCOMPARE(document.projectPath(), project);
    QCOMPARE(fx.form().configurationPage()->generalPage()->serviceText(), QStringLiteral("AFTER HOURS 0800"));
    QCOMPARE(document.images()[kLogosIdx]->cells.size(), size_t(0));
    // The old file gave way to this configurator's own.
    QCOMPARE(recoveryFiles(folder, QStringLiteral("*.cvr")), QStringList{QFileInfo(recovery.filePath()).fileName()});
    fx.trigger("save_project_MenuItem");
    QVERIFY(!document.isModified());
    QVERIFY(fileBytes(project) == fileBytes(expected));
    QCOMPARE(recoveryFiles(folder, QStringLiteral("*.cvr")).size(), 0);
}

void TestRecovery::keptForLaterAndDiscarded()
{
    const QString project = m_dir.filePath(QStringLiteral("later.cvp"));
    const QString folder = m_dir.filePath(QStringLiteral("later"));
    makeProject(project);
    QDir().mkpath(folder);
    const QString left = QDir(folder).filePath(QStringLiteral("1-1.cvr"));
    leaveRecoveryFile(left, project);

    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    fx.prompter().enqueue(QMessageBox::No);
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), 1);
    QVERIFY(fx.prompter().questions().constFirst().text.contains(
        QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC).toLocalTime().toString("yyyy-MM-dd HH:mm:ss")));
    QVERIFY(QFile::exists(left));
    QVERIFY(fx.form().document().images().empty());

    fx.prompter().enqueue(QMessageBox::Discard);
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), 2);
    QVERIFY(!QFile::exists(left));
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), 2);
}

void TestRecovery::corruptFileIsRefusedAndKept()
{
    const QString project = m_dir.filePath(QStringLiteral("corrupt.cvp"));
    const QString folder = m_dir.filePath(QStringLiteral("corrupt"));
    makeProject(project);
    QDir().mkpath(folder);
    const QString good = QDir(folder).filePath(QStringLiteral("good.cvr"));
    leaveRecoveryFile(good, project);
    const QByteArray whole = fileBytes(good);
    struct Damage {
        const char* file;
        QByteArray bytes;
    };
    TRecoveryRecord noProject;
    noProject.projectPath = project;
    noProject.projectBytes = QByteArray("PK\x03\x04 no project");
    const QList<Damage> damaged{{"garbage.cvr", QByteArray("not a recovery file at all")},
                                {"no project inside.cvr", recoveryFileBytes(noProject)},
                                {"cut.cvr", whole.left(whole.size() / 2)},
                                {"empty.cvr", QByteArray()}};
    for (const Damage& d : damaged) {
        QFile f(QDir(folder).filePath(QString::fromLatin1(d.file)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(d.bytes);
    }
    QFile::remove(good);

    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), damaged.size());
    for (const TScriptedPrompter::Question& q : fx.prompter().questions()) {
        QCOMPARE(q.kind, TMsgDlgType::MtWarning);
        QVERIFY2(!q.text.contains(QLatin1Char('\r')), qPrintable(q.text));
        QVERIFY(q.text.startsWith(QStringLiteral("The recovery file ")));
    }
    for (const Damage& d : damaged) {
        const QString file = QDir(folder).filePath(QString::fromLatin1(d.file));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(fileBytes(file + QStringLiteral(".unreadable")), d.bytes);
    }
    QVERIFY(fx.form().document().images().empty());
    // Set aside, not offered again.
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), damaged.size());
}

void TestRecovery::saveAndUndoToSavedRemoveTheFile()
{
    const QString project = m_dir.filePath(QStringLiteral("follow.cvp"));
    const QString folder = m_dir.filePath(QStringLiteral("follow"));
    makeProject(project);
    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    QSignalSpy written(&recovery, &TProjectRecovery::written);
    openRecovered(fx, project);
    QVERIFY(!QFile::exists(recovery.filePath()));
    QCheckBox* frost = fx.form().findChild<QCheckBox*>(QStringLiteral("frost_protection_CheckBox"));
    frost->click();
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 1, kDeadline);
    TRecoveryRecord record;
    QString why;
    QVERIFY2(readRecoveryFile(recovery.filePath(), record, &why), qPrintable(why));
    QCOMPARE(record.projectPath, project);
    QCOMPARE(record.projectName, QStringLiteral("follow"));
    QCOMPARE(record.pid, QCoreApplication::applicationPid());
    const TProjectState state = fx.form().document().currentState();
    QVERIFY(record.projectBytes == projectFileBytes(state.record, *state.images));

    fx.trigger("save_project_MenuItem");
    QVERIFY(!QFile::exists(recovery.filePath()));
    frost->click();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recovery.filePath()), kDeadline);
    fx.trigger("undo_MenuItem");
    QVERIFY(!fx.form().document().isModified());
    QVERIFY(!QFile::exists(recovery.filePath()));
}

void TestRecovery::unchangedProjectIsNotWrittenAgain()
{
    // The periodic write skips a project that has not changed since it was
    // last written; every keystroke is a change, also one gathered into the
    // step before it.
    const QString project = m_dir.filePath(QStringLiteral("idle.cvp"));
    const QString folder = m_dir.filePath(QStringLiteral("idle"));
    makeProject(project);
    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    QSignalSpy written(&recovery, &TProjectRecovery::written);
    openRecovered(fx, project);
    fx.form().findChild<QCheckBox*>(QStringLiteral("frost_protection_CheckBox"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 1, kDeadline);
    QVERIFY(!recovery.writeIfChanged());

    QPlainTextEdit* memo = fx.form().configurationPage()->generalPage()->service_text_Memo();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("A"));
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 2, kDeadline);
    QVERIFY(!recovery.writeIfChanged());
    const int steps = fx.form().document().undoStack().count();
    QTest::keyClicks(memo, QStringLiteral("B"));
    QCOMPARE(fx.form().document().undoStack().count(), steps);
    QVERIFY(recovery.writeIfChanged());
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 3, kDeadline);
    QVERIFY(!recovery.writeIfChanged());

    TRecoveryRecord record;
    QString why;
    QVERIFY2(readRecoveryFile(recovery.filePath(), record, &why), qPrintable(why));
    const TProjectState state = fx.form().document().currentState();
    QVERIFY(record.projectBytes == projectFileBytes(state.record, *state.images));
}

void TestRecovery::liveConfiguratorsFileIsLeftAlone()
{
    const QString project = m_dir.filePath(QStringLiteral("live.cvp"));
    const QString folder = m_dir.filePath(QStringLiteral("live"));
    makeProject(project);
    QDir().mkpath(folder);
    leaveRecoveryFile(QDir(folder).filePath(QStringLiteral("77-1.cvr")), project);
    TSessionLock other;
    QVERIFY(other.acquire(QDir(folder).filePath(QStringLiteral("77-1.lock"))));

    // A configurator that crashed with nothing unsaved left only its lock.
    const QString orphan = QDir(folder).filePath(QStringLiteral("78-1.lock"));
    {
        QFile lock(orphan);
        QVERIFY(lock.open(QIODevice::WriteOnly));
    }

    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), 0);
    QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("77-1.cvr"))));
    QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("77-1.lock"))));
    QVERIFY(!QFile::exists(orphan));
    QVERIFY(QFile::exists(QFileInfo(recovery.filePath()).path() + QLatin1Char('/')
                          + QFileInfo(recovery.filePath()).completeBaseName() + QStringLiteral(".lock")));
    other.release();
    fx.prompter().enqueue(QMessageBox::No);
    recovery.offerRecovered();
    QCOMPARE(fx.prompter().questions().size(), 1);
}
