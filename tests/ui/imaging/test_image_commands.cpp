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

QStringList names(const THandle_object& handle)
{
    QStringList names;
    for (const auto& cell : handle.cells)
        names << cell->name;
    return names;
}

QStringList nodeNames(QTreeWidgetItem* root)
{
    QStringList names;
    for (int i = 0; i < root->childCount(); ++i)
        names << root->child(i)->text(0);
    return names;
}

QStringList frameNames(TImageView* view)
{
    QStringList names;
    for (TImageFrame* f : view->CellView_List())
        names << f->Label1()->text();
    return names;
}

// Three backgrounds A, B, C of distinct colours, BACKGROUNDS selected.
void threeBackgrounds(ImagesPageDriver& d, const QString& folder)
{
    const QDir dir(folder);
    d.select(kBackgroundsIdx);
    d.drop({writePicture(dir, "a.png", 480, 272, Qt::red), writePicture(dir, "b.png", 480, 272, Qt::green),
            writePicture(dir, "c.png", 480, 272, Qt::blue)});
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
    ImagesPageDriver d(m_dir.filePath("buttons.cvp"));
    threeBackgrounds(d, m_dir.path());
    QTreeWidgetItem* root = d.tree()->topLevelItem(kBackgroundsIdx);
    d.tree()->setCurrentItem(child < 0 ? root : root->child(child));
    TProjectTreePanel* p = d.page()->treePanel();
    const QString state = QString(p->renameButton()->isEnabled() ? "R" : "-")
        + (p->moveUpButton()->isEnabled() ? "U" : "-") + (p->moveDownButton()->isEnabled() ? "D" : "-")
        + (p->deleteButton()->isEnabled() ? "X" : "-");
    QCOMPARE(state, enabled);
}

void TestImageCommands::thumbnailsFollowMoveAndDelete()
{
    ImagesPageDriver d(m_dir.filePath("follow.cvp"));
    threeBackgrounds(d, m_dir.path());
    THandle_object& bgs = d.handle(kBackgroundsIdx);
    THandle_object& thumbs = d.handle(kBgThumbnailsIdx);
    QTreeWidgetItem* root = d.tree()->topLevelItem(kBackgroundsIdx);
    QTreeWidgetItem* thumbRoot = d.tree()->topLevelItem(kBgThumbnailsIdx);
    TProjectTreePanel* panel = d.page()->treePanel();

    // C up, then A down: C A B everywhere, each image still selected after
    // its move.
    d.tree()->setCurrentItem(root->child(2));
    panel->moveUpButton()->click();
    QCOMPARE(d.page()->treePanel()->cellOf(d.tree()->currentItem())->name, QStringLiteral("C_PNG"));
    QVERIFY(panel->moveDownButton()->isEnabled());
    d.tree()->setCurrentItem(root->child(0));
    panel->moveDownButton()->click();
    const QStringList order{"C_PNG", "A_PNG", "B_PNG"};
    QCOMPARE(names(bgs), order);
    QCOMPARE(names(thumbs), order);
    QCOMPARE(nodeNames(root), order);
    QCOMPARE(nodeNames(thumbRoot), order);
    QCOMPARE(frameNames(d.view()), order);
    // The thumbnails moved with their pictures, not just their names.
    QCOMPARE(QColor(thumbs.cells[0]->fmxbmp.pixel(45, 10)), QColor(Qt::blue));
    QCOMPARE(QColor(thumbs.cells[2]->fmxbmp.pixel(45, 10)), QColor(Qt::green));
    QCOMPARE(d.page()->treePanel()->cellOf(d.tree()->currentItem())->name, QStringLiteral("A_PNG"));
    QVERIFY(panel->moveUpButton()->isEnabled() && panel->moveDownButton()->isEnabled());
    QVERIFY(d.fx.form().document().isModified());

    // Delete the middle one (A): it goes with its thumbnail, and both
    // handles give back its storage.
    d.tree()->setCurrentItem(root->child(1));
    const int before = bgs.memory_usage;
    const int thumbBefore = thumbs.memory_usage;
    const int aSize = bgs.cells[1]->imageSize;
    const int aThumbSize = thumbs.cells[1]->imageSize;
    panel->deleteButton()->click();
    const QStringList left{"C_PNG", "B_PNG"};
    QCOMPARE(names(bgs), left);
    QCOMPARE(names(thumbs), left);
    QCOMPARE(nodeNames(root), left);
    QCOMPARE(nodeNames(thumbRoot), left);
    QCOMPARE(frameNames(d.view()), left);
    QCOMPARE(bgs.memory_usage, before - aSize);
    QCOMPARE(thumbs.memory_usage, thumbBefore - aThumbSize);
    QCOMPARE(d.page()->memoryPanel()->usageLabel()->text(),
             TMemoryUsagePanel::usageText(projectStorageUsed(d.fx.form().document().images())));
    QCOMPARE(d.page()->handlePanel()->headingLabel()->text(), QStringLiteral(" BACKGROUNDS (2)"));
    // The next sibling is selected.
    QCOMPARE(d.page()->treePanel()->cellOf(d.tree()->currentItem())->name, QStringLiteral("B_PNG"));
    const LogEntry e = d.fx.lastLog();
    QCOMPARE(e.description, QStringLiteral("Image deleted"));
    QCOMPARE(e.info, QStringLiteral("BACKGROUNDS->A_PNG"));
}

void TestImageCommands::deletingTheOnlyImageSelectsTheHandle()
{
    ImagesPageDriver d(m_dir.filePath("only.cvp"));
    d.select(kLogosIdx);
    d.drop({writePicture(QDir(m_dir.path()), "only.png", 125, 85, Qt::red)});
    QTreeWidgetItem* root = d.tree()->topLevelItem(kLogosIdx);
    d.tree()->setCurrentItem(root->child(0));
    d.page()->treePanel()->deleteButton()->click();
    QCOMPARE(d.tree()->currentItem(), root);
    QVERIFY(d.handle(kLogosIdx).cells.empty());
    QVERIFY(d.handle(kLogoThumbnailsIdx).cells.empty());
    QCOMPARE(d.handle(kLogosIdx).memory_usage, 0);
    QCOMPARE(d.handle(kLogoThumbnailsIdx).memory_usage, 0);
    QVERIFY(d.view()->dragLabel()->isVisible());
    QVERIFY(d.view()->CellView_List().isEmpty());
    QCOMPARE(d.fx.lastLog().info, QStringLiteral("LOGOS->ONLY_PNG"));
    QCOMPARE(d.page()->memoryPanel()->usageLabel()->text(), QStringLiteral("  0/3657728 (0.00%)"));
    QVERIFY(!d.page()->treePanel()->deleteButton()->isEnabled());
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
    ImagesPageDriver d(m_dir.filePath("rename.cvp"));
    threeBackgrounds(d, m_dir.path());
    d.fx.form().document().Set_Modified(false);
    QStringList asked;
    d.page()->setNameInput(
        [&](QWidget*, const QString& title, const QString& prompt, const QString& current) -> std::optional<QString> {
            asked << title << prompt << current;
            return answered ? std::optional<QString>(typed) : std::nullopt;
        });
    QTreeWidgetItem* node = d.tree()->topLevelItem(kBackgroundsIdx)->child(0);
    d.tree()->setCurrentItem(node);
    const int logRows = d.fx.logRows();
    d.page()->treePanel()->renameButton()->click();

    QCOMPARE(asked, QStringList({"Rename image...", "Name (stored in capitals)", "A_PNG"}));
    QCOMPARE(d.handle(kBackgroundsIdx).cells[0]->name, stored);
    QCOMPARE(node->text(0), stored);
    QCOMPARE(d.view()->CellView_List().at(0)->Label1()->text(), stored);
    // The thumbnail keeps the name it was imported with.
    QCOMPARE(d.handle(kBgThumbnailsIdx).cells[0]->name, QStringLiteral("A_PNG"));
    QCOMPARE(d.fx.form().document().isModified(), stored != QLatin1String("A_PNG"));
    // Nothing is logged; only a name taken by another image gets a box.
    QCOMPARE(d.fx.logRows(), logRows);
    if (typed == QLatin1String("b_png")) {
        QCOMPARE(d.fx.prompter().questions().size(), 1);
        QCOMPARE(d.fx.prompter().questions().constFirst().text,
                 TImageLibraryCommands::duplicateNameText(QStringLiteral("BACKGROUNDS"), QStringLiteral("B_PNG")));
        QCOMPARE(d.fx.prompter().questions().constFirst().kind, TMsgDlgType::MtWarning);
    } else {
        QVERIFY(d.fx.prompter().questions().isEmpty());
    }
}

void TestImageCommands::renameDialogFitsAndShowsCapitals()
{
    ImagesPageDriver d(m_dir.filePath("rename-dialog.cvp"));
    threeBackgrounds(d, m_dir.path());
    d.page()->setNameInput(nullptr); // the real dialog
    d.tree()->setCurrentItem(d.tree()->topLevelItem(kBackgroundsIdx)->child(0));
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
    d.page()->treePanel()->renameButton()->click();
    QCOMPARE(label, QStringLiteral("Name (stored in capitals)"));
    QVERIFY(wideEnough);
    QCOMPARE(shownTyped, QStringLiteral("LOBBY"));
    QCOMPARE(d.handle(kBackgroundsIdx).cells[0]->name, QStringLiteral("LOBBY"));
}
