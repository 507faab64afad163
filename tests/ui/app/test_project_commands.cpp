#include "test_ui.h"

#include "UiTestFixtures.h"

#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "core/storage/ProjectFileLock.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <cstring>

namespace {
const QString kCaption = QStringLiteral(" Corvane R/C Configurator v2");

bool sameRecord(const TDevice_Config_v2& a, const TDevice_Config_v2& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A saved project with one background (and its thumbnail) and one logo.
QString savedProjectWithImages(TFormFixture& fx, const QString& path)
{
    fx.newProject(path);
    fx.addImage(kBackgroundsIdx, QStringLiteral("SUNSET"), pngBytes(480, 272, 0xff336699));
    fx.addImage(kBgThumbnailsIdx, QStringLiteral("SUNSET"), pngBytes(90, 51, 0xff336699));
    fx.addImage(kLogosIdx, QStringLiteral("ACME"), pngBytes(125, 85, 0x80ff0000));
    fx.trigger("save_project_MenuItem");
    return fx.form().document().projectPath();
}
} // namespace

void TestProjectCommands::init()
{
    QVERIFY(m_dir.isValid());
}

void TestProjectCommands::newProjectIsBoundAndModified_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("boundTo");
    QTest::addColumn<QString>("name");
    QTest::newRow("other extension") << "plant.txt"
                                     << "plant.cvp"
                                     << "plant";
    QTest::newRow("no extension") << "plant"
                                  << "plant.cvp"
                                  << "plant";
    QTest::newRow("two dots") << "plant.v2.txt"
                              << "plant.v2.cvp"
                              << "plant.v2";
    QTest::newRow("dot in folder only") << "site.a/plant"
                                        << "site.a/plant.cvp"
                                        << "plant";
}

void TestProjectCommands::newProjectIsBoundAndModified()
{
    QFETCH(QString, chosen);
    QFETCH(QString, boundTo);
    QFETCH(QString, name);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("site.a")));
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();

    fx.newProject(m_dir.filePath(chosen));

    QCOMPARE(f.document().projectPath(), m_dir.filePath(boundTo));
    // The title bar marks the new, unsaved project.
    QCOMPARE(shownCaption(f), QStringLiteral(" ") + name + QStringLiteral("* - Corvane R/C Configurator v2"));
    QVERIFY(f.document().isModified());
    QCOMPARE(f.projectStatusBar()->modifiedPanel()->text(), QStringLiteral("M"));
    QCOMPARE(f.projectStatusBar()->pathPanel()->toolTip(), f.document().projectPath());
    QCOMPARE(int(f.document().images().size()), int(kHandleCount));
    QVERIFY(sameRecord(f.document().record(), newProjectConfig()));
    QVERIFY(f.projectPages()->isVisible());
    QVERIFY(!f.noProjectView()->isVisible());
    QCOMPARE(f.projectPages()->currentIndex(), 0);
    for (const char* a : {"save_project_MenuItem", "save_project_as_MenuItem", "close_project_MenuItem"})
        QVERIFY2(fx.action(a)->isEnabled(), a);
    const LogEntry log = fx.lastLog();
    QCOMPARE(log.description, QStringLiteral("New project created"));
    QCOMPARE(log.info, f.document().projectPath());
    // Nothing is written until the first save.
    QVERIFY(!QFileInfo::exists(f.document().projectPath()));
    QVERIFY(fx.prompter().questions().isEmpty());
}

void TestProjectCommands::saveClearsModifiedAndReadsBack()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("saved.cvp")));
    f.document().edit(QString(), [](TDevice_Config_v2& r) { r.theme_colour = 0x123456; });

    fx.trigger("save_project_MenuItem");

    QVERIFY(!f.document().isModified());
    QCOMPARE(f.projectStatusBar()->modifiedPanel()->text(), QStringLiteral(" "));
    QCOMPARE(fx.lastLog().description, QStringLiteral("Project Saved"));
    QCOMPARE(fx.lastLog().info, f.document().projectPath());
    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(f.document().projectPath(), rec, handles));
    QCOMPARE(rec.theme_colour, 0x123456u);
    QCOMPARE(int(handles.size()), int(kHandleCount));
}

void TestProjectCommands::openNeverMarksModified()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString path = savedProjectWithImages(fx, m_dir.filePath(QStringLiteral("open.cvp")));
    const TDevice_Config_v2 savedRecord = f.document().record();
    fx.newProject(m_dir.filePath(QStringLiteral("other.cvp")));
    fx.prompter().enqueue(QMessageBox::Discard); // the unsaved new project
    // An editor reacting to what filling the window changes, as the
    // configuration pages do.
    QObject::connect(f.treePanel()->Project_TreeView(), &QTreeWidget::currentItemChanged, &f,
                     [&f] { f.document().Set_Modified(true); });

    fx.dialogs().answers.enqueue(path);
    fx.trigger("open_project_MenuItem");

    QVERIFY(!f.document().isModified());
    QCOMPARE(f.projectStatusBar()->modifiedPanel()->text(), QStringLiteral(" "));
    QCOMPARE(f.document().projectPath(), path);
    QCOMPARE(shownCaption(f), QStringLiteral(" open - Corvane R/C Configurator v2"));
    QVERIFY(sameRecord(f.document().record(), savedRecord));
    QCOMPARE(f.document().images().at(kBackgroundsIdx)->cells.size(), size_t(1));
    QCOMPARE(f.document().images().at(kLogosIdx)->cells.at(0)->bmp.size(), QSize(125, 85));
    QCOMPARE(fx.lastLog().description, QStringLiteral("Project Loaded"));
    QCOMPARE(fx.lastLog().info, path);
    QVERIFY(fx.action("close_project_MenuItem")->isEnabled());
    QVERIFY(!f.document().isLoading());
}

void TestProjectCommands::bdpKeepsItsExtension()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString cvp = savedProjectWithImages(fx, m_dir.filePath(QStringLiteral("legacy.cvp")));
    const QString bdp = m_dir.filePath(QStringLiteral("legacy.bdp"));
    QVERIFY(QFile::copy(cvp, bdp));
    fx.trigger("close_project_MenuItem");

    fx.dialogs().answers.enqueue(bdp);
    fx.trigger("open_project_MenuItem");
    QCOMPARE(f.document().projectPath(), bdp);
    f.document().edit(QString(), [](TDevice_Config_v2& r) { r.theme_colour = 0xABCDEF; });
    fx.trigger("save_project_MenuItem");

    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(bdp, rec, handles));
    QCOMPARE(rec.theme_colour, 0xABCDEFu);
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("legacy.bdp.cvp"))));
}

void TestProjectCommands::discardQuestion_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("saved");
    const int discard = QMessageBox::Discard;
    const int cancel = QMessageBox::Cancel;
    const int save = QMessageBox::Save;
    QTest::newRow("new, cancel") << "new_project_MenuItem" << cancel << true << false;
    QTest::newRow("open, cancel") << "open_project_MenuItem" << cancel << true << false;
    QTest::newRow("close, cancel") << "close_project_MenuItem" << cancel << true << false;
    QTest::newRow("close, discard") << "close_project_MenuItem" << discard << false << false;
    QTest::newRow("new, discard") << "new_project_MenuItem" << discard << false << false;
    QTest::newRow("close, save") << "close_project_MenuItem" << save << false << true;
    QTest::newRow("new, save") << "new_project_MenuItem" << save << false << true;
}

void TestProjectCommands::discardQuestion()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, kept);
    QFETCH(bool, saved);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    QFile::remove(m_dir.filePath(QStringLiteral("first.cvp")));
    fx.newProject(m_dir.filePath(QStringLiteral("first.cvp")));
    fx.addImage(kInfoScreensIdx, QStringLiteral("HELP"), pngBytes(480, 272, 0xff00ff00));
    const QString path = f.document().projectPath();
    fx.prompter().clear();
    fx.prompter().enqueue(QMessageBox::StandardButton(answer));
    fx.dialogs().answers.enqueue(m_dir.filePath(QStringLiteral("second.cvp")));

    fx.trigger(command.toLatin1().constData());

    QCOMPARE(fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question q = fx.prompter().questions().constFirst();
    QCOMPARE(q.text, QStringLiteral("The current project has been modified.      \rOK to discard changes?      "));
    QCOMPARE(q.kind, TMsgDlgType::MtConfirmation);
    QCOMPARE(q.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(q.defaultButton, QMessageBox::Cancel);
    QCOMPARE(f.document().projectPath() == path, kept);
    // Save writes the project before it goes; the other answers write nothing.
    QCOMPARE(QFileInfo::exists(path), saved);
    if (saved) {
        TDevice_Config_v2 rec{};
        THandleList handles;
        QVERIFY(Load_Project_File(path, rec, handles));
        QCOMPARE(handles.at(kInfoScreensIdx)->cells.size(), size_t(1));
    }
    if (kept) {
        QVERIFY(f.document().isModified());
        QCOMPARE(f.document().images().at(kInfoScreensIdx)->cells.size(), size_t(1));
        QCOMPARE(fx.dialogs().shown, 1); // only the first New
    }
}

void TestProjectCommands::closeProjectReturnsToNoProject()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString path = savedProjectWithImages(fx, m_dir.filePath(QStringLiteral("closing.cvp")));
    fx.prompter().clear();

    fx.trigger("close_project_MenuItem");

    QVERIFY(fx.prompter().questions().isEmpty()); // saved: nothing to ask
    QCOMPARE(fx.lastLog().description, QStringLiteral("Project Closed"));
    QCOMPARE(fx.lastLog().info, path);
    QVERIFY(f.document().images().empty());
    QVERIFY(f.document().projectPath().isEmpty());
    QCOMPARE(shownCaption(f), kCaption);
    QVERIFY(f.projectStatusBar()->pathPanel()->text().isEmpty());
    QVERIFY(!f.projectPages()->isVisible());
    QVERIFY(f.noProjectView()->isVisible());
    QCOMPARE(f.treePanel()->Project_TreeView()->topLevelItemCount(), 0);
    QVERIFY(!f.document().isClosing());
    for (const char* a : {"save_project_MenuItem", "save_project_as_MenuItem", "close_project_MenuItem"})
        QVERIFY2(!fx.action(a)->isEnabled(), a);
    for (const char* a : {"new_project_MenuItem", "open_project_MenuItem", "exit_MenuItem"})
        QVERIFY2(fx.action(a)->isEnabled(), a);
}

void TestProjectCommands::unreadableFileGivesErrorAndNoProject_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("messagePart"); // the reason the box gives
    QTest::newRow("file format version 2") << "version" << TProjectCommands::unreadableLayoutReason();
    QTest::newRow("short configuration record") << "short config" << TProjectCommands::unreadableLayoutReason();
    QTest::newRow("ends inside an image") << "truncated"
                                          << "damaged";
    QTest::newRow("empty file") << "empty"
                                << "damaged";
    QTest::newRow("missing file") << "missing"
                                  << "Cannot open";
}

void TestProjectCommands::unreadableFileGivesErrorAndNoProject()
{
    QFETCH(QString, damage);
    QFETCH(QString, messagePart);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString good = savedProjectWithImages(fx, m_dir.filePath(QStringLiteral("good.cvp")));
    QByteArray bytes = fileBytes(good);
    QVERIFY(bytes.size() > 2000);
    const QString bad = m_dir.filePath(QStringLiteral("bad.cvp"));
    QFile::remove(bad);
    if (damage == QLatin1String("version"))
        bytes[0] = 2;
    else if (damage == QLatin1String("short config"))
        bytes.truncate(12 + 100);
    else if (damage == QLatin1String("truncated"))
        bytes.chop(10);
    else if (damage == QLatin1String("empty"))
        bytes.clear();
    if (damage != QLatin1String("missing"))
        writeFile(bad, bytes);
    fx.prompter().clear();

    fx.dialogs().answers.enqueue(bad);
    fx.trigger("open_project_MenuItem");

    QCOMPARE(fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question q = fx.prompter().questions().constFirst();
    QCOMPARE(q.kind, TMsgDlgType::MtError);
    QCOMPARE(q.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The box begins as it always has, then names the file and the reason.
    QVERIFY2(q.text.startsWith(QStringLiteral("Error loading project file.      \rPlease try another file.      \r")),
             qPrintable(q.text));
    QVERIFY2(q.text.contains(QStringLiteral("File: ") + QDir::toNativeSeparators(bad)), qPrintable(q.text));
    if (!messagePart.isEmpty())
        QVERIFY2(q.text.contains(messagePart), qPrintable(q.text));
    const LogEntry failed = fx.lastLog();
    QCOMPARE(failed.marker, QStringLiteral("!"));
    QCOMPARE(failed.description, QStringLiteral("Error loading project file"));
    // The path once, and why.
    QVERIFY2(failed.info.contains(bad), qPrintable(failed.info));
    QCOMPARE(failed.info.count(bad), 1);
    if (!messagePart.isEmpty())
        QVERIFY2(failed.info.contains(messagePart), qPrintable(failed.info));

    // No project is bound any more, so nothing can be saved over the file.
    QVERIFY(f.document().images().empty());
    QVERIFY(f.document().projectPath().isEmpty());
    QVERIFY(!f.document().isModified());
    QCOMPARE(shownCaption(f), kCaption);
    QVERIFY(!f.projectPages()->isVisible());
    QVERIFY(!fx.action("save_project_MenuItem")->isEnabled());
    QVERIFY(!fx.action("save_project_as_MenuItem")->isEnabled());
    QVERIFY(!f.document().isLoading());
    fx.trigger("save_project_MenuItem");
    f.commands()->saveProjectCommand(); // even past the disabled menu item
    QCOMPARE(fx.prompter().questions().size(), 1);
    QCOMPARE(fileBytes(bad), damage == QLatin1String("missing") ? QByteArray() : bytes);
    // Nothing was saved after the failure: its own entry is still the last.
    QCOMPARE(fx.lastLog().description, QStringLiteral("Error loading project file"));
}

void TestProjectCommands::saveAsBindsTheNewPath()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("draft.cvp")));
    fx.dialogs().answers.enqueue(m_dir.filePath(QStringLiteral("final.txt")));

    fx.trigger("save_project_as_MenuItem");

    const QString expected = m_dir.filePath(QStringLiteral("final.cvp"));
    QCOMPARE(f.document().projectPath(), expected);
    QCOMPARE(f.document().projectName(), QStringLiteral("final"));
    QCOMPARE(shownCaption(f), QStringLiteral(" final - Corvane R/C Configurator v2"));
    QVERIFY(QFileInfo::exists(expected));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("draft.cvp"))));
    QVERIFY(!f.document().isModified());
    QCOMPARE(fx.lastLog().description, QStringLiteral("Project Saved"));
    QCOMPARE(fx.lastLog().info, expected);

    // Cancelling the dialog changes nothing.
    const int rows = fx.logRows();
    fx.trigger("save_project_as_MenuItem");
    QCOMPARE(f.document().projectPath(), expected);
    QCOMPARE(fx.logRows(), rows);
}

void TestProjectCommands::failedSaveKeepsModifiedAndOldFile()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString path = savedProjectWithImages(fx, m_dir.filePath(QStringLiteral("keep.cvp")));
    const QByteArray before = fileBytes(path);
    f.document().Set_Modified(true);
    const int rows = fx.logRows();
    fx.prompter().clear();
    fx.dialogs().answers.enqueue(m_dir.filePath(QStringLiteral("no/such/folder/x.cvp")));

    fx.trigger("save_project_as_MenuItem");

    QCOMPARE(fx.prompter().questions().size(), 1);
    QCOMPARE(fx.prompter().questions().constFirst().kind, TMsgDlgType::MtError);
    QVERIFY(fx.prompter().questions().constFirst().text.contains(QStringLiteral("x.cvp")));
    QVERIFY(f.document().isModified());
    QCOMPARE(fx.logRows(), rows);
    QCOMPARE(fileBytes(path), before);
}

void TestProjectCommands::serviceTextLineLimit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("saved");
    QTest::newRow("three lines") << "one\ntwo\nthree" << true;
    QTest::newRow("three lines and a final break") << "one\ntwo\nthree\n" << true;
    QTest::newRow("four lines") << "one\ntwo\nthree\nfour" << false;
}

void TestProjectCommands::serviceTextLineLimit()
{
    QFETCH(QString, text);
    QFETCH(bool, saved);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("service.cvp")));
    QFile::remove(f.document().projectPath());
    auto* memo = f.findChild<QPlainTextEdit*>(QStringLiteral("service_text_Memo"));
    QVERIFY(memo);
    // No edit makes a fourth line; a record read from a file can hold one.
    QString stored = text;
    stored.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    f.document().fill([&](TDevice_Config_v2& record, THandleList&) {
        writeServiceText(stored, record);
        return true;
    });
    f.configurationPage()->Show_Device_Config(f.document().record());
    QCOMPARE(memo->toPlainText(), text);
    const TDevice_Config_v2 before = f.document().record();
    fx.prompter().clear();
    const int rows = fx.logRows();

    fx.trigger("save_project_MenuItem");

    QCOMPARE(QFileInfo::exists(f.document().projectPath()), saved);
    QCOMPARE(f.document().isModified(), !saved);
    if (saved) {
        QVERIFY(fx.prompter().questions().isEmpty());
        QVERIFY(readServiceText(f.document().record()).startsWith(QStringLiteral("one\r\ntwo\r\nthree")));
    } else {
        QCOMPARE(fx.prompter().questions().size(), 1);
        QCOMPARE(fx.prompter().questions().constFirst().text,
                 QStringLiteral("The service text contains too many lines.      \rUnable to save the project.      "));
        QCOMPARE(fx.prompter().questions().constFirst().kind, TMsgDlgType::MtWarning);
        QCOMPARE(fx.logRows(), rows);
        QVERIFY(sameRecord(f.document().record(), before));
    }
}

void TestProjectCommands::serviceTextEditorFollowsTheRecord()
{
    // An opened project shows the record's lines in the editor without
    // becoming modified; an edit goes into the record at once and marks it
    // modified, and a save writes it.
    const QString path = m_dir.filePath(QStringLiteral("text.cvp"));
    TDevice_Config_v2 rec = newProjectConfig();
    writeServiceText(QStringLiteral("Call 555 0100\r\nAsk for Ana"), rec);
    THandleList handles;
    createDefaultHandles(handles);
    Save_Project_File(path, rec, handles);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    auto* memo = f.findChild<QPlainTextEdit*>(QStringLiteral("service_text_Memo"));
    QVERIFY(memo);
    fx.dialogs().answers.enqueue(path);

    fx.trigger("open_project_MenuItem");

    QCOMPARE(memo->toPlainText(), QStringLiteral("Call 555 0100\nAsk for Ana"));
    QVERIFY(!f.document().isModified());
    memo->setPlainText(QStringLiteral("Call 555 0199"));
    QVERIFY(f.document().isModified());
    QCOMPARE(readServiceText(f.document().record()), QStringLiteral("Call 555 0199"));
    fx.trigger("save_project_MenuItem");
    QVERIFY(!f.document().isModified());
    TDevice_Config_v2 saved{};
    THandleList savedHandles;
    QVERIFY(Load_Project_File(path, saved, savedHandles));
    QCOMPARE(readServiceText(saved), QStringLiteral("Call 555 0199"));
}

void TestProjectCommands::untouchedServiceTextSavesAsRead_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("editAndUndo");
    QByteArray full = QByteArray(40, 'a') + '\r' + QByteArray(40, 'b') + '\r' + QByteArray(40, 'c');
    QTest::newRow("three full lines, no zero") << full << false;
    QTest::newRow("three full lines, an edit undone") << full << true;
    // Shown as characters, stored as they came.
    QTest::newRow("a byte that is not UTF-8") << QByteArray("Caf\xE9 \xB0") << false;
    QTest::newRow("bytes after the terminating zero") << QByteArray("Desk 4\0old text", 15) << true;
    QTest::newRow("a line longer than the box") << QByteArray(60, 'L') << true;
    QTest::newRow("a break at the end") << QByteArray("Desk 4\r") << false;
}

void TestProjectCommands::untouchedServiceTextSavesAsRead()
{
    // Opening a project and saving it again, with nothing typed into the
    // service text, writes the file it came from, byte for byte; an edit of
    // another field that is undone changes nothing either.
    QFETCH(QByteArray, field);
    QFETCH(bool, editAndUndo);
    const QString path = m_dir.filePath(QStringLiteral("asread.cvp"));
    TDevice_Config_v2 rec = newProjectConfig();
    std::memset(rec.service_info_text, 0, sizeof rec.service_info_text);
    std::memcpy(rec.service_info_text, field.constData(), size_t(field.size()));
    THandleList handles;
    createDefaultHandles(handles);
    Save_Project_File(path, rec, handles);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.dialogs().answers.enqueue(path);
    fx.trigger("open_project_MenuItem");
    QCOMPARE(f.document().projectPath(), path);
    if (editAndUndo) {
        auto* master = f.findChild<QAbstractButton*>(QStringLiteral("master_ctrl_CheckBox"));
        QVERIFY(master);
        master->click();
        QVERIFY(f.document().isModified());
        fx.trigger("undo_MenuItem");
        QVERIFY(!f.document().isModified());
    }

    fx.trigger("save_project_MenuItem");

    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestProjectCommands::saveDialogAsksBeforeReplacingTheProjectFile()
{
    // A name typed without extension is saved as NAME.cvp: the real dialog
    // must ask about that file, or Save As replaces an existing project
    // without a word.
    writeFile(m_dir.filePath(QStringLiteral("site.cvp")), QByteArray("old project"));
    bool asked = false;
    int step = 0;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            asked = box->text().contains(QStringLiteral("site.cvp"));
            box->button(QMessageBox::No) ? box->button(QMessageBox::No)->click() : box->reject();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (step++ == 0 && name) {
                // Typed into the name box, as an installer would.
                name->setText(QDir(m_dir.path()).filePath(QStringLiteral("site")));
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            } else {
                dialog->reject();
            }
        }
    });
    driver.start();
    TQtFileDialogs dialogs;
    const QString chosen = dialogs.saveProjectName(nullptr, QString());
    driver.stop();
    QVERIFY(asked);
    QVERIFY(chosen.isEmpty()); // answered No, then cancelled
    QCOMPARE(fileBytes(m_dir.filePath(QStringLiteral("site.cvp"))), QByteArray("old project"));
}

void TestProjectCommands::openGivenPath_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error"); // empty: the project is shown
    QTest::newRow("good file") << "good.cvp" << QString();
    QTest::newRow("damaged file") << "damaged.cvp"
                                  << "damaged";
    QTest::newRow("missing file") << "missing.cvp"
                                  << "Cannot open";
    // A damaged group whose name holds a bell and line breaks: the box
    // quotes the name, not its bytes.
    QTest::newRow("control characters in a group name") << "named.cvp"
                                                        << "image group 1 (BG\\x00\\x07\\nFAKE LINE)";
}

void TestProjectCommands::openGivenPath()
{
    // The entry point a file given on the command line goes through: the
    // Open command's load, boxes and log entries, without its dialog.
    QFETCH(QString, file);
    QFETCH(QString, error);
    QString good;
    {
        TFormFixture maker;
        good = savedProjectWithImages(maker, m_dir.filePath(QStringLiteral("good.cvp")));
    }
    QByteArray damaged = fileBytes(good);
    damaged.chop(10);
    writeFile(m_dir.filePath(QStringLiteral("damaged.cvp")), damaged);
    QFile::remove(m_dir.filePath(QStringLiteral("missing.cvp")));
    {
        THandleList handles;
        createDefaultHandles(handles);
        static const char kRaw[] = "BG\0\a\nFAKE LINE";
        handles[0]->name = QString::fromUtf8(kRaw, sizeof kRaw - 1);
        handles[0]->width = 0;
        Save_Project_File(m_dir.filePath(QStringLiteral("named.cvp")), newProjectConfig(), handles);
    }
    const QString path = m_dir.filePath(file);

    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.prompter().clear();
    f.commands()->openProjectPath(path);

    QVERIFY(!f.document().isModified());
    if (error.isEmpty()) {
        QVERIFY(fx.prompter().questions().isEmpty());
        QCOMPARE(f.document().projectPath(), path);
        QCOMPARE(shownCaption(f), QStringLiteral(" good - Corvane R/C Configurator v2"));
        QCOMPARE(f.document().images().at(kLogosIdx)->cells.at(0)->bmp.size(), QSize(125, 85));
        QCOMPARE(fx.lastLog().description, QStringLiteral("Project Loaded"));
        QCOMPARE(fx.lastLog().info, path);
        QVERIFY(fx.action("close_project_MenuItem")->isEnabled());
        return;
    }
    QCOMPARE(fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question q = fx.prompter().questions().constFirst();
    QCOMPARE(q.kind, TMsgDlgType::MtError);
    QVERIFY2(q.text.contains(error), qPrintable(q.text));
    for (const QChar c : q.text)
        QVERIFY2(c.unicode() >= 0x20 || c == QLatin1Char('\r'), qPrintable(q.text.toUtf8().toHex()));
    QVERIFY(q.text.contains(QFileInfo(path).fileName()) || error == QLatin1String("damaged")
            || file == QLatin1String("named.cvp"));
    QVERIFY(f.document().images().empty());
    QVERIFY(f.document().projectPath().isEmpty());
    QCOMPARE(shownCaption(f), kCaption);
    QVERIFY(!fx.action("save_project_MenuItem")->isEnabled());
    QVERIFY(!fx.action("close_project_MenuItem")->isEnabled());
}

void TestProjectCommands::saveAsksBeforeOverwritingAChangeOnDisk_data()
{
    QTest::addColumn<bool>("changedOnDisk");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("unchanged: saved without a question") << false << QMessageBox::NoButton << true;
    QTest::newRow("changed, Yes: overwritten") << true << QMessageBox::Yes << true;
    QTest::newRow("changed, No: the other program's file stays") << true << QMessageBox::No << false;
}

void TestProjectCommands::saveAsksBeforeOverwritingAChangeOnDisk()
{
    QFETCH(bool, changedOnDisk);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, written);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString path = savedProjectWithImages(fx, m_dir.filePath(QStringLiteral("shared.cvp")));
    if (changedOnDisk) {
        // Another program (the command line adding a picture, say) saves the
        // project while it is open here.
        TDevice_Config_v2 other = newProjectConfig();
        other.theme_colour = 0x00abcdef;
        THandleList handles;
        createDefaultHandles(handles);
        Save_Project_File(path, other, handles);
    }
    const QByteArray onDisk = fileBytes(path);
    f.document().edit(QString(), [](TDevice_Config_v2& r) { r.theme_colour = 0x123456; });
    fx.prompter().clear();
    if (answer != QMessageBox::NoButton)
        fx.prompter().enqueue(answer);
    const int rows = fx.logRows();

    fx.trigger("save_project_MenuItem");

    QCOMPARE(fx.prompter().questions().size(), changedOnDisk ? 1 : 0);
    if (changedOnDisk) {
        const auto& q = fx.prompter().questions().constFirst();
        QCOMPARE(q.text, TProjectCommands::changedOnDiskQuestion(path));
        QVERIFY(q.text.contains(QStringLiteral("shared.cvp was changed by another program")));
        QCOMPARE(q.defaultButton, QMessageBox::No);
    }
    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(path, rec, handles));
    if (written) {
        QCOMPARE(rec.theme_colour, 0x123456u);
        QVERIFY(!f.document().isModified());
        QCOMPARE(fx.lastLog().description, QStringLiteral("Project Saved"));
    } else {
        QCOMPARE(fileBytes(path), onDisk);
        QVERIFY(f.document().isModified());
        QCOMPARE(fx.logRows(), rows);
    }
    // Once written (or declined), the next save asks only if the file changes again.
    if (written) {
        fx.prompter().clear();
        f.document().Set_Modified(true);
        fx.trigger("save_project_MenuItem");
        QCOMPARE(fx.prompter().questions().size(), 0);
    }
}

void TestProjectCommands::saveWaitsForAnotherProgramsChange()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString path = savedProjectWithImages(fx, m_dir.filePath(QStringLiteral("busy.cvp")));
    const QByteArray before = fileBytes(path);
    // Another program holds the project for its own read-change-write.
    ProjectFileLock other;
    QString error;
    QVERIFY(other.acquire(path, 0, &error));
    f.document().Set_Modified(true);
    fx.prompter().clear();
    const int rows = fx.logRows();

    fx.trigger("save_project_MenuItem");

    QCOMPARE(fx.prompter().questions().size(), 1);
    QCOMPARE(fx.prompter().questions().constFirst().kind, TMsgDlgType::MtError);
    QVERIFY2(fx.prompter().questions().constFirst().text.contains(QStringLiteral("being changed by another program")),
             qPrintable(fx.prompter().questions().constFirst().text));
    QCOMPARE(fileBytes(path), before);
    QVERIFY(f.document().isModified());
    QCOMPARE(fx.logRows(), rows);

    // Once the other program is done, the save goes through.
    other.release();
    fx.prompter().clear();
    fx.trigger("save_project_MenuItem");
    QCOMPARE(fx.prompter().questions().size(), 0);
    QVERIFY(!f.document().isModified());
}
