#include "test_ui.h"

#include "UiTestFixtures.h"

#include "core/device/TControllerLink.h"
#include "core/messaging/TWindowMessageEvent.h"
#include "core/messaging/WindowMessages.h"
#include "ui/app/TActivityLogPanel.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include <stdexcept>

namespace {
const QString kCaption = QStringLiteral(" Corvane R/C Configurator v2");

// An object whose event handler fails, to reach the top-level handler the way
// a failing menu command or button would.
class TFailingObject : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("The disk is full.");
        return QObject::event(e);
    }
};

class TMessageCounter : public QObject {
public:
    int received = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == TWindowMessageEvent::kType) {
            ++received;
            return true;
        }
        return QObject::event(e);
    }
};
} // namespace

void TestMainWindow::startsWithNoProject()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    QCOMPARE(shownCaption(f), kCaption);
    QVERIFY(!f.document().isModified());
    QCOMPARE(f.projectStatusBar()->modifiedPanel()->text(), QStringLiteral(" "));
    QVERIFY(f.noProjectView()->isVisible());
    QVERIFY(!f.projectPages()->isVisible());
    QCOMPARE(f.imagesPage()->Visible_Handle_Idx, -1);
    for (const char* a : {"save_project_MenuItem", "save_project_as_MenuItem", "close_project_MenuItem"})
        QVERIFY2(!fx.action(a)->isEnabled(), a);
    // The carried firmware is version 2.01 of part 5813.
    QCOMPARE(f.link().PC_Cfg_FW_Ver, quint16(201));
    QCOMPARE(f.link().PC_Cfg_PartNo, quint16(5813));
    auto* fw = f.findChild<QPushButton*>(QStringLiteral("fw_upg_Button"));
    QVERIFY(fw);
    QCOMPARE(fw->text(), QStringLiteral("Firmware Upgrade (v2.01)"));
    // The project pages carry the names the editors look them up by.
    for (const char* name : {"cfg_PageControl", "RC_gen_cfg_TabSheet", "occupancy_cfg_TabSheet", "RC_ui_cfg_TabSheet",
                             "appearance_cfg_TabSheet", "scheduler_cfg_TabSheet", "retrieve_cfg_Button",
                             "Project_TreeView", "send_Config_CheckBox", "send_Image_CheckBox", "upload_data_BitBtn",
                             "Project_Panel", "activity_log_StringGrid"})
        QVERIFY2(f.findChild<QObject*>(QString::fromLatin1(name)), name);
}

void TestMainWindow::windowShrinksBackAfterGrowing()
{
    // The log keeps its height and the project area takes what the window
    // gains or loses, so a window once made taller can be made smaller again.
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.resize(1024, 1000);
    QTRY_COMPARE(f.height(), 1000);
    f.resize(1024, 620);
    QTRY_COMPARE(f.height(), 620);
    QVERIFY(f.activityLog()->height() >= 130 * f.logicalDpiY() / 96);
}

void TestMainWindow::firmwareButtonCaption_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("caption");
    QTest::newRow("201") << 201 << "Firmware Upgrade (v2.01)";
    QTest::newRow("1000") << 1000 << "Firmware Upgrade (v10.00)";
    QTest::newRow("5") << 5 << "Firmware Upgrade (v0.05)";
}

void TestMainWindow::firmwareButtonCaption()
{
    QFETCH(int, version);
    QFETCH(QString, caption);
    QCOMPARE(Tbmpgen_Form::firmwareButtonCaption(quint16(version)), caption);
}

void TestMainWindow::closeQuery_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closes");
    const int discard = QMessageBox::Discard;
    const int cancel = QMessageBox::Cancel;
    const int save = QMessageBox::Save;
    QTest::newRow("no project") << "none" << discard << false << true;
    QTest::newRow("saved project") << "saved" << discard << false << true;
    QTest::newRow("modified, cancel") << "modified" << cancel << true << false;
    QTest::newRow("modified, discard") << "modified" << discard << true << true;
    QTest::newRow("modified, save") << "modified" << save << true << true;
    // While the splash is up the window is disabled: a close request from the
    // window manager must not end the start-up with no window left to show.
    QTest::newRow("disabled during start-up") << "starting" << discard << false << false;
}

void TestMainWindow::closeQuery()
{
    QFETCH(QString, state);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closes);
    QTemporaryDir dir;
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    if (state == QLatin1String("saved") || state == QLatin1String("modified")) {
        fx.newProject(dir.filePath(QStringLiteral("q.cvp")));
        fx.addImage(kLogosIdx, QStringLiteral("L"), pngBytes(125, 85, 0xff000000));
        if (state == QLatin1String("saved"))
            fx.trigger("save_project_MenuItem");
    }
    if (state == QLatin1String("starting"))
        f.setEnabled(false);
    fx.prompter().clear();
    fx.prompter().enqueue(QMessageBox::StandardButton(answer));

    fx.trigger("exit_MenuItem");

    QCOMPARE(fx.prompter().questions().size(), asked ? 1 : 0);
    if (asked) {
        const TScriptedPrompter::Question q = fx.prompter().questions().constFirst();
        QCOMPARE(q.text, QStringLiteral("The current project has been modified.      \rQuit without saving?      "));
        QCOMPARE(q.kind, TMsgDlgType::MtConfirmation);
        QCOMPARE(q.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(q.defaultButton, QMessageBox::Cancel);
    }
    // Save writes the project before the window closes; Discard does not.
    if (state == QLatin1String("modified"))
        QCOMPARE(QFileInfo::exists(dir.filePath(QStringLiteral("q.cvp"))), answer == QMessageBox::Save);
    QCOMPARE(f.isVisible(), !closes);
    if (!closes && state == QLatin1String("modified")) {
        QVERIFY(f.document().isModified());
        QCOMPARE(f.document().images().at(kLogosIdx)->cells.size(), size_t(1));
    } else {
        QVERIFY(f.document().images().empty()); // torn down on close
    }
}

void TestMainWindow::statusBarShowsShortenedPath()
{
    TFormFixture fx;
    TProjectStatusBar* bar = fx.form().projectStatusBar();
    const QString path = QStringLiteral("/srv/projects/building-7/floor-3/east-wing/meeting-room/controller.cvp");
    fx.form().Show_Project_Path(path);
    QCOMPARE(bar->pathPanel()->toolTip(), path);

    const QFontMetrics fm = bar->pathPanel()->fontMetrics();
    const int narrow = fm.horizontalAdvance(QStringLiteral("/.../meeting-room/controller.cvp")) + 2;
    const QString shortened = TProjectStatusBar::shortenPath(path, fm, narrow);
    QCOMPARE(shortened, QStringLiteral("/.../meeting-room/controller.cvp"));
    QCOMPARE(TProjectStatusBar::shortenPath(path, fm, 10000), path);
    const QString windows = QStringLiteral("C:\\Users\\installer\\Documents\\site\\plant.cvp");
    const int tiny = fm.horizontalAdvance(QStringLiteral("C:\\...\\site\\plant.cvp")) + 1;
    QCOMPARE(TProjectStatusBar::shortenPath(windows, fm, tiny), QStringLiteral("C:\\...\\site\\plant.cvp"));
    // Even with no room at all the result fits and never overflows the panel.
    QVERIFY(fm.horizontalAdvance(TProjectStatusBar::shortenPath(path, fm, 30)) <= 30);

    // Panel 0 takes half the bar and shows as much of the path as fits.
    fx.form().resize(700, 600);
    QApplication::processEvents();
    QVERIFY(qAbs(bar->pathPanel()->width() - bar->contentsRect().width() / 2) <= 1);
    QVERIFY(bar->pathPanel()->text().endsWith(QStringLiteral("controller.cvp")));
}

void TestMainWindow::showProjectBuildsTheTree()
{
    QTemporaryDir dir;
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(dir.filePath(QStringLiteral("tree.cvp")));
    fx.addImage(kBackgroundsIdx, QStringLiteral("7seas"), pngBytes(480, 272, 0xff102030));
    fx.addImage(kBackgroundsIdx, QStringLiteral("Lobby Blue"), pngBytes(480, 272, 0xff405060));
    fx.addImage(kBgThumbnailsIdx, QStringLiteral("7seas"), pngBytes(90, 51, 0xff102030));
    fx.addImage(kBgThumbnailsIdx, QStringLiteral("Lobby Blue"), pngBytes(90, 51, 0xff405060));
    fx.addImage(kLogosIdx, QStringLiteral("_acme"), pngBytes(125, 85, 0x80ff0000));
    fx.trigger("save_project_MenuItem");
    fx.trigger("close_project_MenuItem");
    fx.dialogs().answers.enqueue(dir.filePath(QStringLiteral("tree.cvp")));
    fx.trigger("open_project_MenuItem");

    QTreeWidget* tree = f.treePanel()->Project_TreeView();
    QCOMPARE(tree->topLevelItemCount(), int(kHandleCount));
    const QStringList roots{"BACKGROUNDS", "LOGOS", "INFO_SCREENS", "BG_THUMBNAILS", "LOGO_THUMBNAILS"};
    for (int i = 0; i < kHandleCount; ++i) {
        QTreeWidgetItem* root = tree->topLevelItem(i);
        QCOMPARE(root->text(0), roots.at(i));
        QCOMPARE(f.treePanel()->handleNode(i), root);
        QCOMPARE(f.treePanel()->handleOf(root), f.document().images().at(size_t(i)).get());
        QCOMPARE(root->isHidden(), i >= kBgThumbnailsIdx);
        QCOMPARE(bool(root->flags() & Qt::ItemIsSelectable), i < kBgThumbnailsIdx);
    }
    QTreeWidgetItem* backgrounds = tree->topLevelItem(kBackgroundsIdx);
    QCOMPARE(backgrounds->childCount(), 2);
    QCOMPARE(backgrounds->child(0)->text(0), QStringLiteral("_7SEAS"));
    QCOMPARE(backgrounds->child(1)->text(0), QStringLiteral("LOBBY BLUE"));
    QCOMPARE(tree->topLevelItem(kLogosIdx)->child(0)->text(0), QStringLiteral("_ACME"));
    QCOMPARE(tree->topLevelItem(kBgThumbnailsIdx)->child(0)->text(0), QStringLiteral("_7SEAS"));

    // Each image node and its cell know each other, and the cell's pictures
    // come from its stored bytes.
    const TCell_object* lobby = f.document().images().at(kBackgroundsIdx)->cells.at(1).get();
    QCOMPARE(f.treePanel()->cellNode(lobby->pictureId), backgrounds->child(1));
    QCOMPARE(f.treePanel()->cellOf(backgrounds->child(1)), lobby);
    QCOMPARE(lobby->name, QStringLiteral("LOBBY BLUE"));
    QCOMPARE(lobby->fmxbmp.size(), QSize(480, 272));
    QCOMPARE(lobby->fmxbmp.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(lobby->bmp.pixel(0, 0), 0xff405060u);

    // The selection starts on the first handle and never reaches a hidden root.
    QCOMPARE(tree->currentItem(), backgrounds);
    tree->setFocus();
    tree->setCurrentItem(tree->topLevelItem(kInfoScreensIdx));
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_End);
    QVERIFY(!tree->currentItem()->isHidden());
    QVERIFY(f.treePanel()->handleOf(tree->currentItem()) != f.document().images().at(kBgThumbnailsIdx).get());
    QVERIFY(!f.document().isModified());

    // Show_Project leaves the Configuration page and the upload boxes ready.
    QCOMPARE(f.projectPages()->currentIndex(), 0);
    QVERIFY(f.findChild<QAbstractButton*>(QStringLiteral("send_Config_CheckBox"))->isChecked());
    QVERIFY(f.findChild<QAbstractButton*>(QStringLiteral("send_Image_CheckBox"))->isChecked());
}

void TestMainWindow::undecodableImageIsReportedAndKept()
{
    QTemporaryDir dir;
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(dir.filePath(QStringLiteral("odd.cvp")));
    const QByteArray junk("not a picture at all", 20);
    fx.addImage(kInfoScreensIdx, QStringLiteral("broken"), junk);
    fx.trigger("save_project_MenuItem");
    fx.trigger("close_project_MenuItem");
    fx.dialogs().answers.enqueue(dir.filePath(QStringLiteral("odd.cvp")));

    fx.trigger("open_project_MenuItem");

    // The project opens; the image is listed without a picture, its bytes
    // are kept and the log names it.
    QCOMPARE(f.document().projectPath(), dir.filePath(QStringLiteral("odd.cvp")));
    const TCell_object* cell = f.document().images().at(kInfoScreensIdx)->cells.at(0).get();
    QVERIFY(cell->bmp.isNull());
    QCOMPARE(cell->imgFileData, junk);
    QCOMPARE(f.treePanel()->Project_TreeView()->topLevelItem(kInfoScreensIdx)->child(0)->text(0),
             QStringLiteral("BROKEN"));
    bool reported = false;
    QTableWidget* grid = f.activityLog()->grid();
    for (int row = 1; row < grid->rowCount(); ++row)
        if (grid->item(row, 2) && grid->item(row, 2)->text() == QLatin1String("Invalid Image File")
            && grid->item(row, 3)->text() == QLatin1String("INFO_SCREENS->BROKEN"))
            reported = true;
    QVERIFY(reported);
    QCOMPARE(fx.lastLog().description, QStringLiteral("Project Loaded"));
}

void TestMainWindow::topLevelHandlerShowsEscapingError()
{
    TScriptedPrompter prompter;
    TFailingObject failing;
    QEvent event(QEvent::User);

    QCoreApplication::sendEvent(&failing, &event);

    QCOMPARE(prompter.questions().size(), 1);
    QCOMPARE(prompter.questions().constFirst().text, QStringLiteral("The disk is full."));
    QCOMPARE(prompter.questions().constFirst().kind, TMsgDlgType::MtError);
    // The program carries on: events are still delivered.
    QEvent again(QEvent::User);
    QCoreApplication::sendEvent(&failing, &again);
    QCOMPARE(prompter.questions().size(), 2);
}

void TestMainWindow::queuedMessagesDieWithTheWindow()
{
    TMessageCounter target;
    {
        TFormFixture fx;
        fx.form().msgList_Post(&target, WM_RC_CONNECT, 0, 1);
        QTRY_COMPARE(target.received, 1); // the queue works while the window lives
        for (int i = 0; i < 5; ++i)
            fx.form().msgList_Post(&target, WM_RC_UPLOAD_CFG, 0, quint32(i));
    }
    // Posted but never released: the window's queue went with the window.
    QTest::qWait(50);
    QCOMPARE(target.received, 1);
}
