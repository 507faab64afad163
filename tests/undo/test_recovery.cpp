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
void Make_Project(const QString& path)
{
    TFormFixture fx;
    fx.newProject(path);
    fx.addImage(BACKGROUNDS_IDX, QStringLiteral("SUNSET"), Png_Bytes(480, 272, 0xff336699));
    fx.addImage(BG_THUMBNAILS_IDX, QStringLiteral("SUNSET"), Png_Bytes(90, 51, 0xff336699));
    fx.addImage(LOGOS_IDX, QStringLiteral("ACME"), Png_Bytes(125, 85, 0x80ff0000));
    fx.addImage(LOGO_THUMBNAILS_IDX, QStringLiteral("ACME"), Png_Bytes(90, 61, 0x80ff0000));
    fx.form().Configuration_Page()->generalPage()->service_text_Memo()->clear();
    fx.trigger("save_project_MenuItem");
}

void Open(TFormFixture& fx, const QString& path)
{
    fx.dialogs().answers.enqueue(path);
    fx.trigger("open_project_MenuItem");
}

QStringList Files(const QString& folder, const QString& pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files);
}

// A valid recovery file of a configurator that has gone.
void Leave_Recovery_File(const QString& file, const QString& projectPath)
{
    TFormFixture fx;
    Open(fx, projectPath);
    TRecoveryRecord record;
    record.projectPath = projectPath;
    record.projectName = QFileInfo(projectPath).completeBaseName();
    record.lastChange = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC);
    record.pid = 1;
    TDevice_Config_v2 changed = fx.form().Document().record();
    changed.frost_protection_enabled = 1;
    record.projectBytes = Project_File_Bytes(changed, fx.form().Document().images());
    Write_Recovery_File(file, record);
}

} // namespace

int Run_Recovery_Child(const QString& folder, const QString& project, const QString& expected)
{
    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    Open(fx, project);
    Tbmpgen_Form& form = fx.form();
    form.findChild<QCheckBox*>(QStringLiteral("master_ctrl_CheckBox"))->click();
    QPlainTextEdit* memo = form.Configuration_Page()->generalPage()->service_text_Memo();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("AFTER HOURS 0800"));
    QTreeWidget* tree = form.Images_Page()->Tree_Panel()->Project_TreeView();
    tree->setCurrentItem(tree->topLevelItem(LOGOS_IDX)->child(0));
    form.Images_Page()->Tree_Panel()->Delete_Button()->click();
    // What a save would write now, for the test to compare the restored
    // project with.
    const TProjectState state = form.Document().Current_State();
    QSaveFile out(expected);
    if (!out.open(QIODevice::WriteOnly) || out.write(Project_File_Bytes(state.record, *state.images)) < 0
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
    QVERIFY(dir.isValid());
}

void TestRecovery::killedConfiguratorOffersItsProject()
{
    const QString project = dir.filePath(QStringLiteral("plant.cvp"));
    const QString folder = dir.filePath(QStringLiteral("state/recovery"));
    const QString expected = dir.filePath(QStringLiteral("expected.bin"));
    Make_Project(project);
    const QByteArray onDisk = File_Bytes(project);

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
    QCOMPARE(Files(folder, QStringLiteral("*.cvr")).size(), 1);
    // Never beside or over the project.
    QCOMPARE(File_Bytes(project), onDisk);
    QCOMPARE(Files(dir.path(), QStringLiteral("*.cvr")).size(), 0);

    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    fx.prompter().enqueue(QMessageBox::Yes);
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question& question = fx.prompter().questions().constFirst();
    QVERIFY(question.text.contains(QStringLiteral("\"plant\"")));
    QVERIFY(question.text.contains(QDir::toNativeSeparators(project)));
    QVERIFY(question.text.contains(QStringLiteral("Last change: ")));
    QCOMPARE(question.defaultButton, QMessageBox::No);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard);

    TProjectDocument& document = fx.form().Document();
    QVERIFY(document.isModified());
    QCOMPARE(document.projectPath(), project);
    QCOMPARE(fx.form().Configuration_Page()->generalPage()->serviceText(), QStringLiteral("AFTER HOURS 0800"));
    QCOMPARE(document.images()[LOGOS_IDX]->cells.size(), size_t(0));
    // The old file gave way to this configurator's own.
    QCOMPARE(Files(folder, QStringLiteral("*.cvr")), QStringList{QFileInfo(recovery.File_Path()).fileName()});
    fx.trigger("save_project_MenuItem");
    QVERIFY(!document.isModified());
    QVERIFY(File_Bytes(project) == File_Bytes(expected));
    QCOMPARE(Files(folder, QStringLiteral("*.cvr")).size(), 0);
}

void TestRecovery::keptForLaterAndDiscarded()
{
    const QString project = dir.filePath(QStringLiteral("later.cvp"));
    const QString folder = dir.filePath(QStringLiteral("later"));
    Make_Project(project);
    QDir().mkpath(folder);
    const QString left = QDir(folder).filePath(QStringLiteral("1-1.cvr"));
    Leave_Recovery_File(left, project);

    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    fx.prompter().enqueue(QMessageBox::No);
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), 1);
    QVERIFY(fx.prompter().questions().constFirst().text.contains(
        QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::UTC).toLocalTime().toString("yyyy-MM-dd HH:mm:ss")));
    QVERIFY(QFile::exists(left));
    QVERIFY(fx.form().Document().images().empty());

    fx.prompter().enqueue(QMessageBox::Discard);
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), 2);
    QVERIFY(!QFile::exists(left));
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), 2);
}

void TestRecovery::corruptFileIsRefusedAndKept()
{
    const QString project = dir.filePath(QStringLiteral("corrupt.cvp"));
    const QString folder = dir.filePath(QStringLiteral("corrupt"));
    Make_Project(project);
    QDir().mkpath(folder);
    const QString good = QDir(folder).filePath(QStringLiteral("good.cvr"));
    Leave_Recovery_File(good, project);
    const QByteArray whole = File_Bytes(good);
    struct Damage {
        const char* file;
        QByteArray bytes;
    };
    TRecoveryRecord noProject;
    noProject.projectPath = project;
    noProject.projectBytes = QByteArray("PK\x03\x04 no project");
    const QList<Damage> damaged{{"garbage.cvr", QByteArray("not a recovery file at all")},
                                {"no project inside.cvr", Recovery_File_Bytes(noProject)},
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
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), damaged.size());
    for (const TScriptedPrompter::Question& q : fx.prompter().questions()) {
        QCOMPARE(q.kind, TMsgDlgType::mtWarning);
        QVERIFY2(!q.text.contains(QLatin1Char('\r')), qPrintable(q.text));
        QVERIFY(q.text.startsWith(QStringLiteral("The recovery file ")));
    }
    for (const Damage& d : damaged) {
        const QString file = QDir(folder).filePath(QString::fromLatin1(d.file));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(File_Bytes(file + QStringLiteral(".unreadable")), d.bytes);
    }
    QVERIFY(fx.form().Document().images().empty());
    // Set aside, not offered again.
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), damaged.size());
}

void TestRecovery::saveAndUndoToSavedRemoveTheFile()
{
    const QString project = dir.filePath(QStringLiteral("follow.cvp"));
    const QString folder = dir.filePath(QStringLiteral("follow"));
    Make_Project(project);
    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    QSignalSpy written(&recovery, &TProjectRecovery::written);
    Open(fx, project);
    QVERIFY(!QFile::exists(recovery.File_Path()));
    QCheckBox* frost = fx.form().findChild<QCheckBox*>(QStringLiteral("frost_protection_CheckBox"));
    frost->click();
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 1, kDeadline);
    TRecoveryRecord record;
    QString why;
    QVERIFY2(Read_Recovery_File(recovery.File_Path(), record, &why), qPrintable(why));
    QCOMPARE(record.projectPath, project);
    QCOMPARE(record.projectName, QStringLiteral("follow"));
    QCOMPARE(record.pid, QCoreApplication::applicationPid());
    const TProjectState state = fx.form().Document().Current_State();
    QVERIFY(record.projectBytes == Project_File_Bytes(state.record, *state.images));

    fx.trigger("save_project_MenuItem");
    QVERIFY(!QFile::exists(recovery.File_Path()));
    frost->click();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recovery.File_Path()), kDeadline);
    fx.trigger("undo_MenuItem");
    QVERIFY(!fx.form().Document().isModified());
    QVERIFY(!QFile::exists(recovery.File_Path()));
}

void TestRecovery::unchangedProjectIsNotWrittenAgain()
{
    // The periodic write skips a project that has not changed since it was
    // last written; every keystroke is a change, also one gathered into the
    // step before it.
    const QString project = dir.filePath(QStringLiteral("idle.cvp"));
    const QString folder = dir.filePath(QStringLiteral("idle"));
    Make_Project(project);
    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    QSignalSpy written(&recovery, &TProjectRecovery::written);
    Open(fx, project);
    fx.form().findChild<QCheckBox*>(QStringLiteral("frost_protection_CheckBox"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 1, kDeadline);
    QVERIFY(!recovery.Write_If_Changed());

    QPlainTextEdit* memo = fx.form().Configuration_Page()->generalPage()->service_text_Memo();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("A"));
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 2, kDeadline);
    QVERIFY(!recovery.Write_If_Changed());
    const int steps = fx.form().Document().Undo_Stack().count();
    QTest::keyClicks(memo, QStringLiteral("B"));
    QCOMPARE(fx.form().Document().Undo_Stack().count(), steps);
    QVERIFY(recovery.Write_If_Changed());
    QTRY_VERIFY_WITH_TIMEOUT(written.count() == 3, kDeadline);
    QVERIFY(!recovery.Write_If_Changed());

    TRecoveryRecord record;
    QString why;
    QVERIFY2(Read_Recovery_File(recovery.File_Path(), record, &why), qPrintable(why));
    const TProjectState state = fx.form().Document().Current_State();
    QVERIFY(record.projectBytes == Project_File_Bytes(state.record, *state.images));
}

void TestRecovery::liveConfiguratorsFileIsLeftAlone()
{
    const QString project = dir.filePath(QStringLiteral("live.cvp"));
    const QString folder = dir.filePath(QStringLiteral("live"));
    Make_Project(project);
    QDir().mkpath(folder);
    Leave_Recovery_File(QDir(folder).filePath(QStringLiteral("77-1.cvr")), project);
    TSessionLock other;
    QVERIFY(other.Acquire(QDir(folder).filePath(QStringLiteral("77-1.lock"))));

    // A configurator that crashed with nothing unsaved left only its lock.
    const QString orphan = QDir(folder).filePath(QStringLiteral("78-1.lock"));
    {
        QFile lock(orphan);
        QVERIFY(lock.open(QIODevice::WriteOnly));
    }

    TFormFixture fx;
    TProjectRecovery recovery(fx.form(), folder);
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), 0);
    QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("77-1.cvr"))));
    QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("77-1.lock"))));
    QVERIFY(!QFile::exists(orphan));
    QVERIFY(QFile::exists(QFileInfo(recovery.File_Path()).path() + QLatin1Char('/')
                          + QFileInfo(recovery.File_Path()).completeBaseName() + QStringLiteral(".lock")));
    other.Release();
    fx.prompter().enqueue(QMessageBox::No);
    recovery.Offer_Recovered();
    QCOMPARE(fx.prompter().questions().size(), 1);
}
