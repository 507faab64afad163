// Every kind of edit is one undo step with a readable name; undo and redo put
// back exactly the project that was there, down to the bytes a save writes.
#include "test_undo.h"

#include "PictureFiles.h"
#include "UiTestFixtures.h"

#include "core/document/TProjectDocument.h"
#include "ui/app/TEditHistory.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/common/TPictureComboBox.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/config_editor/TGeneralPage.h"
#include "ui/config_editor/TLimitUpDown.h"
#include "ui/config_editor/TOptionGrid.h"
#include "ui/config_editor/Timg_select_Form.h"
#include "ui/imaging/TImageDropImport.h"
#include "ui/imaging/TImageFrame.h"
#include "ui/imaging/TImageView.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"
#include "ui/scheduler/TEventTimeEdit.h"
#include "ui/scheduler/TSchedulerPage.h"
#include "ui/scheduler/Tcopy_events_Form.h"
#include "ui/scheduler/Tschedule_timeline_Frame.h"
#include "ui/scheduler/Tscheduled_events_form.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QUndoView>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <map>

namespace {

constexpr int kDeadline = 60000;
constexpr int kMonday = 2;

// A saved project with two backgrounds, a logo and an information screen,
// opened as a user opens it.
struct Project {
    explicit Project(const QString& path) : path(path)
    {
        fx.newProject(path);
        fx.addImage(kBackgroundsIdx, QStringLiteral("SUNSET"), pngBytes(480, 272, 0xff336699));
        fx.addImage(kBgThumbnailsIdx, QStringLiteral("SUNSET"), pngBytes(90, 51, 0xff336699));
        fx.addImage(kBackgroundsIdx, QStringLiteral("DUNES"), pngBytes(480, 272, 0xffcc9933));
        fx.addImage(kBgThumbnailsIdx, QStringLiteral("DUNES"), pngBytes(90, 51, 0xffcc9933));
        fx.addImage(kLogosIdx, QStringLiteral("ACME"), pngBytes(125, 85, 0x80ff0000));
        fx.addImage(kLogoThumbnailsIdx, QStringLiteral("ACME"), pngBytes(90, 61, 0x80ff0000));
        fx.addImage(kInfoScreensIdx, QStringLiteral("HELP"), pngBytes(480, 272, 0xff00ff00));
        // Scheduler and occupancy strategies on, so their controls take input.
        fx.form().document().fill([](TDevice_Config_v2& record, THandleList&) {
            record.scheduler_enabled = 1;
            record.occupancy_strategy_enable = 3;
            std::fill(std::begin(record.occupied_settings_enable), std::end(record.occupied_settings_enable), 1);
            return true;
        });
        // Typing starts in an empty service text.
        fx.form().configurationPage()->generalPage()->service_text_Memo()->clear();
        fx.trigger("save_project_MenuItem");
        fx.dialogs().answers.enqueue(path);
        fx.trigger("open_project_MenuItem");
    }

    Tbmpgen_Form& form() { return fx.form(); }
    TProjectDocument& document() { return form().document(); }
    QUndoStack& stack() { return document().undoStack(); }
    TConfigurationPage& config() { return *form().configurationPage(); }
    TImagesPage& images() { return *form().imagesPage(); }
    QTreeWidget& tree() { return *images().treePanel()->Project_TreeView(); }
    template <typename T> T* find(const char* name) { return form().findChild<T*>(QString::fromLatin1(name)); }

    QByteArray saved()
    {
        fx.trigger("save_project_MenuItem");
        return fileBytes(path);
    }
    QString undoText() { return fx.action("undo_MenuItem")->text().remove(QLatin1Char('&')); }
    void undo() { fx.trigger("undo_MenuItem"); }
    void redo() { fx.trigger("redo_MenuItem"); }
    void showSubPage(const char* name)
    {
        form().projectPages()->setCurrentWidget(&config());
        QWidget* page = config().subPage(QString::fromLatin1(name));
        QTabWidget* tabs = config().cfg_PageControl();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(page))
                tabs->setCurrentIndex(i);
    }
    void selectImage(int handle, int image)
    {
        form().projectPages()->setCurrentWidget(&images());
        tree().setCurrentItem(tree().topLevelItem(handle)->child(image));
    }
    Tscheduled_events_form& openDay(int day)
    {
        showSubPage("scheduler_cfg_TabSheet");
        auto* scheduler = qobject_cast<TSchedulerPage*>(config().subPage(QStringLiteral("scheduler_cfg_TabSheet")));
        Tscheduled_events_form& editor = *scheduler->eventsForm();
        QTest::mouseClick(scheduler->schedule_dow_Frame(day), Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return editor.isVisible(); }, kDeadline))
            qWarning("the events editor did not open");
        editor.activateWindow();
        return editor;
    }
    void addEvent(Tscheduled_events_form& editor, int hour)
    {
        clickIn(editor, "add_Button");
        QLineEdit* hourEdit = editor.timeEdit()->hour_Edit();
        hourEdit->setFocus();
        hourEdit->selectAll();
        QTest::keyClick(hourEdit, Qt::Key_Backspace);
        QTest::keyClicks(hourEdit, QString::number(hour));
        clickIn(editor, "event_accept_Button");
    }
    static void clickIn(QWidget& window, const char* name)
    {
        auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
        if (!button)
            qWarning("no button %s", name);
        else
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

    QString path;
    TFormFixture fx;
};

using Edit = std::function<void(Project&, const QDir&)>;

const std::map<QString, Edit>& edits()
{
    static const std::map<QString, Edit> kEdits{
        {"check box", [](Project& p, const QDir&) { p.find<QCheckBox>("master_ctrl_CheckBox")->click(); }},
        {"drop-down",
         [](Project& p, const QDir&) {
             p.showSubPage("occupancy_cfg_TabSheet");
             // As a click on an item of the drop-down does.
             auto* list = p.find<TPictureComboBox>("occupied_mode_ComboBox");
             list->pickItem((list->currentIndex() + 1) % list->count());
         }},
        {"option grid",
         [](Project& p, const QDir&) { p.find<TOptionGrid>("mode_DrawGrid")->rc_ui_DrawGridSelectCell(1); }},
        {"limit",
         [](Project& p, const QDir&) {
             p.showSubPage("occupancy_cfg_TabSheet");
             p.find<TLimitUpDown>("unoccupied_min_UpDown")->upButton()->click();
         }},
        {"slider release",
         [](Project& p, const QDir&) {
             QSlider* red = p.config().appearancePage()->trackBar(0);
             red->setSliderDown(true);
             red->setValue(red->value() - 40);
             red->setSliderDown(false);
         }},
        {"service text",
         [](Project& p, const QDir&) {
             p.showSubPage("RC_gen_cfg_TabSheet");
             QPlainTextEdit* memo = p.config().generalPage()->service_text_Memo();
             memo->setFocus();
             QTest::keyClicks(memo, QStringLiteral("CALL 0800"));
         }},
        {"events editor OK",
         [](Project& p, const QDir&) {
             Tscheduled_events_form& editor = p.openDay(kMonday);
             p.addEvent(editor, 7);
             Project::clickIn(editor, "event_list_ok_Button");
             QTRY_VERIFY_WITH_TIMEOUT(!editor.isVisible(), kDeadline);
         }},
        {"copy of a day",
         [](Project& p, const QDir&) {
             Tscheduled_events_form& editor = p.openDay(kMonday);
             p.addEvent(editor, 7);
             Project::clickIn(editor, "copy_Button");
             Tcopy_events_Form* copy = editor.copyForm();
             QTRY_VERIFY_WITH_TIMEOUT(copy->isVisible(), kDeadline);
             for (int day = 1; day <= 7; ++day)
                 if (day != kMonday)
                     QTest::mouseClick(copy->dayButton(day), Qt::LeftButton);
             Project::clickIn(*copy, "ok_Button");
             QTRY_VERIFY_WITH_TIMEOUT(!copy->isVisible(), kDeadline);
             // The day itself is left as it was: only the copy is a step.
             editor.reject();
         }},
        {"import",
         [](Project& p, const QDir& files) {
             p.selectImage(kBackgroundsIdx, 0);
             p.images().Drop_Image_Files({writePicture(files, "beach.png", 480, 272, Qt::yellow),
                                          writePicture(files, "bay.bmp", 480, 272, Qt::blue)});
             QTRY_VERIFY_WITH_TIMEOUT(!p.images().dropImport()->isRunning(), kDeadline);
         }},
        {"delete",
         [](Project& p, const QDir&) {
             p.selectImage(kBackgroundsIdx, 0);
             p.images().treePanel()->deleteButton()->click();
         }},
        {"move",
         [](Project& p, const QDir&) {
             p.selectImage(kBackgroundsIdx, 0);
             p.images().treePanel()->moveDownButton()->click();
         }},
        {"rename",
         [](Project& p, const QDir&) {
             p.selectImage(kBackgroundsIdx, 1);
             p.images().setNameInput([](QWidget*, const QString&, const QString&, const QString&) {
                 return std::optional<QString>(QStringLiteral("dusk"));
             });
             p.images().treePanel()->renameButton()->click();
         }},
        {"exclude",
         [](Project& p, const QDir&) {
             // As any command that takes an image out of the upload does.
             p.document().editImages(QString(), [](THandleList& images) {
                 images[kInfoScreensIdx]->cells[0]->included = false;
                 return true;
             });
         }},
        {"background choice",
         [](Project& p, const QDir&) {
             p.showSubPage("appearance_cfg_TabSheet");
             TAppearancePage* page = p.config().appearancePage();
             page->bgrd_preview_ImageClick();
             Timg_select_Form* window = page->selectionWindow();
             QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), kDeadline);
             window->done(Timg_select_Form::kClicked + 1);
         }},
    };
    return kEdits;
}

} // namespace

void TestUndoCommands::init()
{
    QVERIFY(m_dir.isValid());
}

void TestUndoCommands::commandUndoesAndRedoesToTheSameBytes_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("check box") << "check box"
                               << "Undo Change Master Controller";
    QTest::newRow("drop-down") << "drop-down"
                               << "Undo Change Occupied Mode";
    QTest::newRow("option grid") << "option grid"
                                 << "Undo Change Mode Options";
    QTest::newRow("limit") << "limit"
                           << "Undo Change Unoccupied Minimum";
    QTest::newRow("slider release") << "slider release"
                                    << "Undo Change Theme Colour";
    QTest::newRow("service text") << "service text"
                                  << "Undo Change Service Text";
    QTest::newRow("events editor OK") << "events editor OK"
                                      << "Undo Edit Monday Events";
    QTest::newRow("copy of a day") << "copy of a day"
                                   << "Undo Copy Monday to 6 days";
    QTest::newRow("import") << "import"
                            << "Undo Import 2 Images into BACKGROUNDS";
    QTest::newRow("delete") << "delete"
                            << "Undo Delete Image SUNSET";
    QTest::newRow("move") << "move"
                          << "Undo Move Image SUNSET Down";
    QTest::newRow("rename") << "rename"
                            << "Undo Rename Image DUNES to DUSK";
    QTest::newRow("exclude") << "exclude"
                             << "Undo Exclude Image HELP";
    QTest::newRow("background choice") << "background choice"
                                       << "Undo Change Background";
}

void TestUndoCommands::commandUndoesAndRedoesToTheSameBytes()
{
    QFETCH(QString, edit);
    QFETCH(QString, undoText);
    Project p(m_dir.filePath(QStringLiteral("site.cvp")));
    QVERIFY(!p.document().isModified());
    QVERIFY(!p.fx.action("undo_MenuItem")->isEnabled());
    const QByteArray before = p.saved();

    edits().at(edit)(p, QDir(m_dir.path()));
    QCOMPARE(p.undoText(), undoText);
    QCOMPARE(p.stack().count(), 1);
    QVERIFY(p.document().isModified());
    const QByteArray after = p.saved();
    QVERIFY(after != before);

    p.undo();
    QVERIFY(p.document().isModified()); // the file holds the edit now
    QVERIFY(!p.fx.action("undo_MenuItem")->isEnabled());
    QVERIFY(p.saved() == before);
    p.redo();
    QVERIFY(p.saved() == after);
    // And once more from the pages the undo and redo filled in.
    p.undo();
    p.redo();
    QVERIFY(p.saved() == after);
}

void TestUndoCommands::typingIsOneStepUntilFocusLeaves()
{
    Project p(m_dir.filePath(QStringLiteral("typing.cvp")));
    p.showSubPage("RC_gen_cfg_TabSheet");
    QPlainTextEdit* memo = p.config().generalPage()->service_text_Memo();
    QCheckBox* master = p.find<QCheckBox>("master_ctrl_CheckBox");
    p.form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.form()));
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("SERVICE"));
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("0800 123"));
    QCOMPARE(p.stack().count(), 1);
    // The focus leaves and comes back: a new burst, a new step.
    master->setFocus();
    QTRY_VERIFY(master->hasFocus());
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    QTest::keyClicks(memo, QStringLiteral(" 4"));
    QCOMPARE(p.stack().count(), 2);
    QCOMPARE(memo->toPlainText(), QStringLiteral("SERVICE\n0800 123 4"));

    p.undo();
    QCOMPARE(memo->toPlainText(), QStringLiteral("SERVICE\n0800 123"));
    p.undo();
    QCOMPARE(memo->toPlainText(), QString());
    QVERIFY(!p.document().isModified());
    p.redo();
    QCOMPARE(memo->toPlainText(), QStringLiteral("SERVICE\n0800 123"));
}

void TestUndoCommands::undoneTypingFlowsAsTyped()
{
    // Lines the box flowed come back from an undo as they were typed: a
    // word typed in front still pushes the rest along the paragraph, where
    // the break of a stored text would stay put.
    Project p(m_dir.filePath(QStringLiteral("flow.cvp")));
    p.showSubPage("RC_gen_cfg_TabSheet");
    QPlainTextEdit* memo = p.config().generalPage()->service_text_Memo();
    QCheckBox* master = p.find<QCheckBox>("master_ctrl_CheckBox");
    p.form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&p.form()));
    memo->setFocus();
    memo->selectAll();
    QTest::keyClicks(memo, QStringLiteral("Call the Acme Air service desk on 0123 456789"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("Call the Acme Air service desk on 0123\n456789"));
    master->setFocus();
    QTRY_VERIFY(master->hasFocus());
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral(" now"));

    p.undo();
    QCOMPARE(memo->toPlainText(), QStringLiteral("Call the Acme Air service desk on 0123\n456789"));
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClicks(memo, QStringLiteral("Please "));
    QCOMPARE(memo->toPlainText(), QStringLiteral("Please Call the Acme Air service desk on\n0123 456789"));
}

void TestUndoCommands::sliderDragIsOneStep()
{
    Project p(m_dir.filePath(QStringLiteral("slider.cvp")));
    QSlider* green = p.config().appearancePage()->trackBar(1);
    const uint32_t colour = p.document().record().theme_colour;
    const int start = green->value();
    green->setSliderDown(true);
    for (int step = 1; step <= 10; ++step)
        green->setValue(start - 5 * step);
    green->setSliderDown(false);
    const uint32_t dragged = p.document().record().theme_colour;
    QVERIFY(dragged != colour);
    QCOMPARE(p.stack().count(), 1);
    // A second drag of the same slider is a step of its own.
    green->setSliderDown(true);
    green->setValue(start - 60);
    green->setSliderDown(false);
    QCOMPARE(p.stack().count(), 2);

    p.undo();
    QCOMPARE(p.document().record().theme_colour, dragged);
    QCOMPARE(green->value(), start - 50);
    p.undo();
    QCOMPARE(p.document().record().theme_colour, colour);
    QCOMPARE(green->value(), start);
}

void TestUndoCommands::modifiedFollowsTheSavedState()
{
    Project p(m_dir.filePath(QStringLiteral("modified.cvp")));
    QCheckBox* master = p.find<QCheckBox>("master_ctrl_CheckBox");
    QCheckBox* dp = p.find<QCheckBox>("show_sp_dp_CheckBox");
    QLabel* marker = p.form().projectStatusBar()->modifiedPanel();
    master->click();
    QVERIFY(p.document().isModified());
    QCOMPARE(marker->text(), QStringLiteral("M"));
    p.undo();
    QVERIFY(!p.document().isModified());
    QCOMPARE(marker->text().trimmed(), QString());
    p.redo();
    QVERIFY(p.document().isModified());
    QCOMPARE(marker->text(), QStringLiteral("M"));

    // Saved in the middle: that state is the clean one now.
    p.saved();
    QVERIFY(!p.document().isModified());
    dp->click();
    QVERIFY(p.document().isModified());
    p.undo();
    QVERIFY(!p.document().isModified());
    p.undo();
    QVERIFY(p.document().isModified());
    p.redo();
    QVERIFY(!p.document().isModified());

    // Typing and taking it back again returns to the saved state.
    QPlainTextEdit* memo = p.config().generalPage()->service_text_Memo();
    const int step = p.stack().index();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("AB"));
    QVERIFY(p.document().isModified());
    QTest::keyClick(memo, Qt::Key_Backspace);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QVERIFY(!p.document().isModified());
    QCOMPARE(p.stack().index(), step);
    QVERIFY(p.stack().isClean());
    QCOMPARE(marker->text().trimmed(), QString());

    // A new edit after an undo drops the redo; the saved state is gone from
    // the stack, so nothing but a save clears the flag again.
    p.undo();
    master->click();
    QVERIFY(!p.fx.action("redo_MenuItem")->isEnabled());
    p.undo();
    QVERIFY(p.document().isModified());
}

void TestUndoCommands::newProjectStaysModifiedThroughUndo()
{
    TFormFixture fx;
    fx.newProject(m_dir.filePath(QStringLiteral("fresh.cvp")));
    QVERIFY(fx.form().document().isModified());
    fx.form().findChild<QCheckBox*>(QStringLiteral("master_ctrl_CheckBox"))->click();
    fx.trigger("undo_MenuItem");
    // Nothing of it is on disk: still modified, and closing still asks.
    QVERIFY(fx.form().document().isModified());
    fx.prompter().enqueue(QMessageBox::Cancel);
    fx.trigger("close_project_MenuItem");
    QCOMPARE(fx.prompter().questions().size(), 1);
    QCOMPARE(fx.prompter().questions().constLast().text, TProjectCommands::discardQuestion());
    QVERIFY(!fx.form().document().images().empty());
}

void TestUndoCommands::discardQuestionFollowsModified()
{
    Project p(m_dir.filePath(QStringLiteral("discard.cvp")));
    p.find<QCheckBox>("frost_protection_CheckBox")->click();
    p.undo();
    // Back at the saved state: closing asks nothing.
    const int asked = int(p.fx.prompter().questions().size());
    p.redo();
    p.fx.prompter().enqueue(QMessageBox::Cancel);
    p.fx.trigger("close_project_MenuItem");
    QCOMPARE(p.fx.prompter().questions().size(), asked + 1);
    QVERIFY(!p.document().images().empty());
    p.undo();
    p.fx.trigger("close_project_MenuItem");
    QCOMPARE(p.fx.prompter().questions().size(), asked + 1);
    QVERIFY(p.document().images().empty());
}

void TestUndoCommands::openAndCloseClearTheHistory()
{
    Project p(m_dir.filePath(QStringLiteral("history.cvp")));
    p.find<QCheckBox>("master_ctrl_CheckBox")->click();
    p.saved();
    QCOMPARE(p.stack().count(), 1);
    p.fx.dialogs().answers.enqueue(p.path);
    p.fx.trigger("open_project_MenuItem");
    QCOMPARE(p.stack().count(), 0);
    QVERIFY(!p.fx.action("undo_MenuItem")->isEnabled());
    p.find<QCheckBox>("master_ctrl_CheckBox")->click();
    p.saved();
    p.fx.trigger("close_project_MenuItem");
    QCOMPARE(p.stack().count(), 0);
    QCOMPARE(p.undoText(), QStringLiteral("Undo"));
}

void TestUndoCommands::editMenuAndHistory()
{
    Project p(m_dir.filePath(QStringLiteral("menu.cvp")));
    QStringList menus;
    for (QAction* a : p.form().menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus.mid(0, 2), (QStringList{"&File", "&Edit"}));
    QCOMPARE(menus.constLast(), QStringLiteral("&Help"));
    QAction* undo = p.fx.action("undo_MenuItem");
    QAction* redo = p.fx.action("redo_MenuItem");
    QCOMPARE(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    QCOMPARE(redo->shortcut(), QKeySequence(QKeySequence::Redo));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    p.find<QCheckBox>("master_ctrl_CheckBox")->click();
    p.find<QCheckBox>("frost_protection_CheckBox")->click();
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo Change Frost Protection"));
    p.undo();
    QCOMPARE(undo->text(), QStringLiteral("&Undo Change Master Controller"));
    QCOMPARE(redo->text(), QStringLiteral("&Redo Change Frost Protection"));

    p.fx.trigger("history_MenuItem");
    auto* view = p.form().findChild<QUndoView*>(QStringLiteral("history_View"));
    QVERIFY(view);
    QTRY_VERIFY(view->isVisible());
    // The opened project, then one row per step.
    QCOMPARE(view->model()->rowCount(), 3);
    QCOMPARE(view->model()->index(2, 0).data().toString(), QStringLiteral("Change Frost Protection"));

    // No undo while an import is adding images.
    p.selectImage(kBackgroundsIdx, 0);
    QDir files(m_dir.path());
    p.images().Drop_Image_Files(
        {writePicture(files, "a.png", 480, 272, Qt::red), writePicture(files, "b.png", 480, 272, Qt::green)});
    QVERIFY(p.images().dropImport()->isRunning());
    QVERIFY(!undo->isEnabled());
    QVERIFY(!p.form().editHistory()->editsAllowed());
    QTRY_VERIFY_WITH_TIMEOUT(!p.images().dropImport()->isRunning(), kDeadline);
    QTRY_VERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("&Undo Import 2 Images into BACKGROUNDS"));
}

void TestUndoCommands::undoKeepsTheOpenGroups()
{
    Project p(m_dir.filePath(QStringLiteral("groups.cvp")));
    p.selectImage(kBackgroundsIdx, 1);
    // The user opens the logos and closes the backgrounds around an edit.
    p.tree().topLevelItem(kLogosIdx)->setExpanded(true);
    p.tree().topLevelItem(kInfoScreensIdx)->setExpanded(false);
    p.images().treePanel()->moveUpButton()->click();
    p.tree().setCurrentItem(p.tree().topLevelItem(kBackgroundsIdx));
    p.tree().topLevelItem(kBackgroundsIdx)->setExpanded(false);
    auto open = [&p] {
        QList<bool> groups;
        for (int i : {int(kBackgroundsIdx), int(kLogosIdx), int(kInfoScreensIdx)})
            groups << p.tree().topLevelItem(i)->isExpanded();
        return groups;
    };
    const QList<bool> before = open();
    QCOMPARE(before, (QList<bool>{false, true, false}));
    p.undo();
    QCOMPARE(open(), before);
    p.redo();
    QCOMPARE(open(), before);
}

void TestUndoCommands::selectionFollowsThePictureThroughUndo()
{
    // Undo and redo put back copies of the pictures: the tree, the selection
    // and the view follow the picture by its id, never an old address.
    Project p(m_dir.filePath(QStringLiteral("site.cvp")));
    TProjectTreePanel& panel = *p.images().treePanel();
    auto selectedId = [&] { return TProjectTreePanel::pictureId(p.tree().currentItem()); };
    auto selectedName = [&] {
        const TCell_object* cell = panel.cellOf(p.tree().currentItem());
        return cell ? cell->name : QString();
    };
    auto viewInStep = [&] {
        for (const TImageFrame* frame : p.images().imageView()->CellView_List())
            if (!p.document().picture(frame->pictureId()))
                return false;
        return true;
    };
    p.selectImage(kBackgroundsIdx, 1);
    const uint64_t dunes = selectedId();
    QVERIFY(dunes != 0);
    QCOMPARE(selectedName(), QStringLiteral("DUNES"));

    panel.moveUpButton()->click();
    QCOMPARE(selectedId(), dunes);
    for (int round = 0; round < 2; ++round) {
        p.undo();
        QCOMPARE(selectedId(), dunes);
        QCOMPARE(selectedName(), QStringLiteral("DUNES"));
        QCOMPARE(p.tree().currentItem(), p.tree().topLevelItem(kBackgroundsIdx)->child(1));
        QVERIFY(viewInStep());
        p.redo();
        QCOMPARE(selectedId(), dunes);
        QCOMPARE(p.tree().currentItem(), p.tree().topLevelItem(kBackgroundsIdx)->child(0));
        QVERIFY(viewInStep());
    }

    // The commands act on the picture the selection names now.
    p.images().setNameInput([](QWidget*, const QString&, const QString&, const QString&) {
        return std::optional<QString>(QStringLiteral("dusk"));
    });
    panel.renameButton()->click();
    QCOMPARE(p.document().images()[kBackgroundsIdx]->cells[0]->name, QStringLiteral("DUSK"));
    QCOMPARE(p.document().picture(dunes)->name, QStringLiteral("DUSK"));
    panel.deleteButton()->click();
    QVERIFY(!p.document().picture(dunes));
    p.undo();
    QCOMPARE(selectedName(), QStringLiteral("SUNSET"));
    p.selectImage(kBackgroundsIdx, 0);
    QCOMPARE(selectedId(), dunes);
    QCOMPARE(selectedName(), QStringLiteral("DUSK"));
}
