#include "test_images.h"

#include "ImagesPageDriver.h"
#include "PictureFiles.h"
#include "ui/imaging/THandlePanel.h"
#include "ui/imaging/TImageFrame.h"
#include "ui/imaging/TImageLibraryCommands.h"
#include "ui/imaging/TMemoryUsagePanel.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QStringList Names(const THandle_object& handle)
{
    QStringList names;
    for (const auto& cell : handle.cells)
        names << cell->name;
    return names;
}

QStringList Node_Names(QTreeWidgetItem* root)
{
    QStringList names;
    for (int i = 0; i < root->childCount(); ++i)
        names << root->child(i)->text(0);
    return names;
}

QStringList Frame_Names(TImageView* view)
{
    QStringList names;
    for (TImageFrame* f : view->CellView_List())
        names << f->Label1()->text();
    return names;
}

// Three backgrounds A, B, C of distinct colours, BACKGROUNDS selected.
void Three_Backgrounds(ImagesPageDriver& d, const QString& folder)
{
    const QDir dir(folder);
    d.select(BACKGROUNDS_IDX);
    d.drop({Write_Picture(dir, "a.png", 480, 272, Qt::red), Write_Picture(dir, "b.png", 480, 272, Qt::green),
            Write_Picture(dir, "c.png", 480, 272, Qt::blue)});
}

} // namespace

void TestImageCommands::buttonsFollowTheSelection_data()
{
    QTest::addColumn<int>("child");       // -1: the handle node
    QTest::addColumn<QString>("enabled"); // rename, up, down, delete as R U D X, '-' for off
    QTest::newRow("handle node") << -1 << "----";
    QTest::newRow("first image") << 0 << "R-DX";
    QTest::newRow("middle image") << 1 << "RUDX";
    QTest::newRow("last image") << 2 << "RU-X";
}

void TestImageCommands::buttonsFollowTheSelection()
{
    QFETCH(int, child);
    QFETCH(QString, enabled);
    ImagesPageDriver d(dir.filePath("buttons.cvp"));
    Three_Backgrounds(d, dir.path());
    QTreeWidgetItem* root = d.tree()->topLevelItem(BACKGROUNDS_IDX);
    d.tree()->setCurrentItem(child < 0 ? root : root->child(child));
    TProjectTreePanel* p = d.page()->Tree_Panel();
    const QString state = QString(p->Rename_Button()->isEnabled() ? "R" : "-")
        + (p->Move_Up_Button()->isEnabled() ? "U" : "-") + (p->Move_Down_Button()->isEnabled() ? "D" : "-")
        + (p->Delete_Button()->isEnabled() ? "X" : "-");
    QCOMPARE(state, enabled);
}

void TestImageCommands::thumbnailsFollowMoveAndDelete()
{
    ImagesPageDriver d(dir.filePath("follow.cvp"));
    Three_Backgrounds(d, dir.path());
    THandle_object& bgs = d.handle(BACKGROUNDS_IDX);
    THandle_object& thumbs = d.handle(BG_THUMBNAILS_IDX);
    QTreeWidgetItem* root = d.tree()->topLevelItem(BACKGROUNDS_IDX);
    QTreeWidgetItem* thumbRoot = d.tree()->topLevelItem(BG_THUMBNAILS_IDX);
    TProjectTreePanel* panel = d.page()->Tree_Panel();

    // C up, then A down: C A B everywhere, each image still selected after
    // its move.
    d.tree()->setCurrentItem(root->child(2));
    panel->Move_Up_Button()->click();
    QCOMPARE(d.page()->Tree_Panel()->Cell_Of(d.tree()->currentItem())->name, QStringLiteral("C_PNG"));
    QVERIFY(panel->Move_Down_Button()->isEnabled());
    d.tree()->setCurrentItem(root->child(0));
    panel->Move_Down_Button()->click();
    const QStringList order{"C_PNG", "A_PNG", "B_PNG"};
    QCOMPARE(Names(bgs), order);
    QCOMPARE(Names(thumbs), order);
    QCOMPARE(Node_Names(root), order);
    QCOMPARE(Node_Names(thumbRoot), order);
    QCOMPARE(Frame_Names(d.view()), order);
    // The thumbnails moved with their pictures, not just their names.
    QCOMPARE(QColor(thumbs.cells[0]->fmxbmp.pixel(45, 10)), QColor(Qt::blue));
    QCOMPARE(QColor(thumbs.cells[2]->fmxbmp.pixel(45, 10)), QColor(Qt::green));
    QCOMPARE(d.page()->Tree_Panel()->Cell_Of(d.tree()->currentItem())->name, QStringLiteral("A_PNG"));
    QVERIFY(panel->Move_Up_Button()->isEnabled() && panel->Move_Down_Button()->isEnabled());
    QVERIFY(d.fx.form().Document().isModified());

    // Delete the middle one (A): it goes with its thumbnail, and both
    // handles give back its storage.
    d.tree()->setCurrentItem(root->child(1));
    const int before = bgs.memory_usage;
    const int thumbBefore = thumbs.memory_usage;
    const int aSize = bgs.cells[1]->imageSize;
    const int aThumbSize = thumbs.cells[1]->imageSize;
    panel->Delete_Button()->click();
    const QStringList left{"C_PNG", "B_PNG"};
    QCOMPARE(Names(bgs), left);
    QCOMPARE(Names(thumbs), left);
    QCOMPARE(Node_Names(root), left);
    QCOMPARE(Node_Names(thumbRoot), left);
    QCOMPARE(Frame_Names(d.view()), left);
    QCOMPARE(bgs.memory_usage, before - aSize);
    QCOMPARE(thumbs.memory_usage, thumbBefore - aThumbSize);
    QCOMPARE(d.page()->Memory_Panel()->Usage_Label()->text(),
             TMemoryUsagePanel::Usage_Text(Project_Storage_Used(d.fx.form().Document().images())));
    QCOMPARE(d.page()->Handle_Panel()->Heading_Label()->text(), QStringLiteral(" BACKGROUNDS (2)"));
    // The next sibling is selected.
    QCOMPARE(d.page()->Tree_Panel()->Cell_Of(d.tree()->currentItem())->name, QStringLiteral("B_PNG"));
    const LogEntry e = d.fx.lastLog();
    QCOMPARE(e.description, QStringLiteral("Image deleted"));
    QCOMPARE(e.info, QStringLiteral("BACKGROUNDS->A_PNG"));
}

void TestImageCommands::deletingTheOnlyImageSelectsTheHandle()
{
    ImagesPageDriver d(dir.filePath("only.cvp"));
    d.select(LOGOS_IDX);
    d.drop({Write_Picture(QDir(dir.path()), "only.png", 125, 85, Qt::red)});
    QTreeWidgetItem* root = d.tree()->topLevelItem(LOGOS_IDX);
    d.tree()->setCurrentItem(root->child(0));
    d.page()->Tree_Panel()->Delete_Button()->click();
    QCOMPARE(d.tree()->currentItem(), root);
    QVERIFY(d.handle(LOGOS_IDX).cells.empty());
    QVERIFY(d.handle(LOGO_THUMBNAILS_IDX).cells.empty());
    QCOMPARE(d.handle(LOGOS_IDX).memory_usage, 0);
    QCOMPARE(d.handle(LOGO_THUMBNAILS_IDX).memory_usage, 0);
    QVERIFY(d.view()->Drag_Label()->isVisible());
    QVERIFY(d.view()->CellView_List().isEmpty());
    QCOMPARE(d.fx.lastLog().info, QStringLiteral("LOGOS->ONLY_PNG"));
    QCOMPARE(d.page()->Memory_Panel()->Usage_Label()->text(), QStringLiteral("  0/3657728 (0.00%)"));
    QVERIFY(!d.page()->Tree_Panel()->Delete_Button()->isEnabled());
}

void TestImageCommands::rename_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("lower case") << true << "lobby"
                                << "LOBBY";
    // Another background is called B_PNG: refused with a box, the name stays.
    QTest::newRow("name of another image") << true << "b_png"
                                           << "A_PNG";
    QTest::newRow("its own name again") << true << "a_png"
                                        << "A_PNG";
    QTest::newRow("leading digit") << true << "2nd floor"
                                   << "_2ND FLOOR";
    QTest::newRow("empty keeps the name") << true << ""
                                          << "A_PNG";
    QTest::newRow("blanks keep the name") << true << "   "
                                          << "A_PNG";
    QTest::newRow("cancel") << false << "ignored"
                            << "A_PNG";
}

void TestImageCommands::rename()
{
    QFETCH(bool, answered);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    ImagesPageDriver d(dir.filePath("rename.cvp"));
    Three_Backgrounds(d, dir.path());
    d.fx.form().Document().Set_Modified(false);
    QStringList asked;
    d.page()->Set_Name_Input(
        [&](QWidget*, const QString& title, const QString& prompt, const QString& current) -> std::optional<QString> {
            asked << title << prompt << current;
            return answered ? std::optional<QString>(typed) : std::nullopt;
        });
    QTreeWidgetItem* node = d.tree()->topLevelItem(BACKGROUNDS_IDX)->child(0);
    d.tree()->setCurrentItem(node);
    const int logRows = d.fx.logRows();
    d.page()->Tree_Panel()->Rename_Button()->click();

    QCOMPARE(asked, QStringList({"Rename image...", "Name (stored in capitals)", "A_PNG"}));
    QCOMPARE(d.handle(BACKGROUNDS_IDX).cells[0]->name, stored);
    QCOMPARE(node->text(0), stored);
    QCOMPARE(d.view()->CellView_List().at(0)->Label1()->text(), stored);
    // The thumbnail keeps the name it was imported with.
    QCOMPARE(d.handle(BG_THUMBNAILS_IDX).cells[0]->name, QStringLiteral("A_PNG"));
    QCOMPARE(d.fx.form().Document().isModified(), stored != QLatin1String("A_PNG"));
    // Nothing is logged; only a name taken by another image gets a box.
    QCOMPARE(d.fx.logRows(), logRows);
    if (typed == QLatin1String("b_png")) {
        QCOMPARE(d.fx.prompter().questions().size(), 1);
        QCOMPARE(d.fx.prompter().questions().constFirst().text,
                 TImageLibraryCommands::Duplicate_Name_Text(QStringLiteral("BACKGROUNDS"), QStringLiteral("B_PNG")));
        QCOMPARE(d.fx.prompter().questions().constFirst().kind, TMsgDlgType::mtWarning);
    } else {
        QVERIFY(d.fx.prompter().questions().isEmpty());
    }
}

void TestImageCommands::renameDialogFitsAndShowsCapitals()
{
    ImagesPageDriver d(dir.filePath("rename-dialog.cvp"));
    Three_Backgrounds(d, dir.path());
    d.page()->Set_Name_Input(nullptr); // the real dialog
    d.tree()->setCurrentItem(d.tree()->topLevelItem(BACKGROUNDS_IDX)->child(0));
    QString shownTyped;
    bool wideEnough = false;
    QString label;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        driver.stop();
        label = dialog->labelText();
        const QFontMetrics metrics(dialog->font());
        wideEnough = dialog->width() > metrics.horizontalAdvance(dialog->windowTitle())
            && dialog->width() > metrics.horizontalAdvance(dialog->textValue());
        auto* edit = dialog->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("lobby"));
        // Shown as it will be stored, while it is typed.
        shownTyped = edit->text();
        dialog->accept();
    });
    driver.start();
    d.page()->Tree_Panel()->Rename_Button()->click();
    QCOMPARE(label, QStringLiteral("Name (stored in capitals)"));
    QVERIFY(wideEnough);
    QCOMPARE(shownTyped, QStringLiteral("LOBBY"));
    QCOMPARE(d.handle(BACKGROUNDS_IDX).cells[0]->name, QStringLiteral("LOBBY"));
}
