#include "test_images.h"

#include "ImagesPageDriver.h"
#include "PictureFiles.h"
#include "ui/imaging/TMemoryUsagePanel.h"
#include "ui/imaging/TTreeContextMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QStringList nodeNames(QTreeWidgetItem* root)
{
    QStringList names;
    for (int i = 0; i < root->childCount(); ++i)
        names << root->child(i)->text(0);
    return names;
}

QStringList cellNames(const THandle_object& handle)
{
    QStringList names;
    for (const auto& cell : handle.cells)
        names << cell->name;
    return names;
}

// Opens the tree's context menu as a right click on item does, and waits
// until it shows.
QMenu* rightClick(ImagesPageDriver& d, QTreeWidgetItem* item)
{
    QWidget* viewport = d.tree()->viewport();
    d.tree()->scrollToItem(item); // opens its group, as a user would first
    const QPoint at = d.tree()->visualItemRect(item).center();
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &request);
    QMenu* menu = d.page()->treeMenu()->menu();
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 10000))
        return nullptr;
    return menu;
}

// Clicks an entry of a menu that is showing, as the mouse would.
void clickEntry(QMenu* menu, QAction* entry)
{
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
}

QString enabledEntries(const TTreeContextMenu& m)
{
    return QString(m.addImagesAction()->isEnabled() ? "A" : "-") + (m.renameAction()->isEnabled() ? "R" : "-")
        + (m.moveUpAction()->isEnabled() ? "U" : "-") + (m.moveDownAction()->isEnabled() ? "D" : "-")
        + (m.deleteAction()->isEnabled() ? "X" : "-");
}

} // namespace

void TestAddImages::addImagesImportsLikeADrop_data()
{
    QTest::addColumn<QString>("from");
    QTest::newRow("button beside the tree") << "button";
    QTest::newRow("File menu") << "menu";
    QTest::newRow("tree context menu on the group") << "context";
}

void TestAddImages::addImagesImportsLikeADrop()
{
    QFETCH(QString, from);
    const QDir folder(m_dir.path());
    ImagesPageDriver d(m_dir.filePath("add.cvp"));
    d.select(kLogosIdx);
    const QString one = writePicture(folder, "north logo.png", 125, 85, Qt::red);
    const QString two = writePicture(folder, "2nd.bmp", 125, 85, Qt::blue);
    const QString big = writePicture(folder, "big.png", 480, 272, Qt::green);
    QStringList asked;
    d.page()->setImageFilesInput([&](QWidget*, const QString& title, const QString& filter) {
        asked << title << filter;
        return QStringList{one, big, two};
    });
    // The menu command brings the Images page to the front itself.
    if (from == QLatin1String("menu"))
        d.fx.form().projectPages()->setCurrentIndex(0);
    const int logRows = d.fx.logRows();

    if (from == QLatin1String("button")) {
        d.page()->treePanel()->addImagesButton()->click();
    } else if (from == QLatin1String("menu")) {
        d.fx.trigger("add_images_MenuItem");
    } else {
        QMenu* menu = rightClick(d, d.tree()->topLevelItem(kLogosIdx));
        QVERIFY(menu);
        clickEntry(menu, d.page()->treeMenu()->addImagesAction());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!d.page()->dropImport()->isRunning(), 120000);

    QCOMPARE(
        asked,
        QStringList({"Add Images to LOGOS (125 x 85)", "Pictures (*.bmp *.png *.jpg *.jpeg *.gif);;All files (*)"}));
    QCOMPARE(d.fx.form().projectPages()->currentWidget(), d.page());
    const QStringList added{"NORTH LOGO_PNG", "_2ND_BMP"};
    QCOMPARE(cellNames(d.handle(kLogosIdx)), added);
    QCOMPARE(cellNames(d.handle(kLogoThumbnailsIdx)), added);
    QCOMPARE(nodeNames(d.tree()->topLevelItem(kLogosIdx)), added);
    QCOMPARE(d.view()->CellView_List().size(), 2);
    // The image store figure counts them.
    const qint64 used = projectStorageUsed(d.fx.form().document().images());
    QVERIFY(used > 0);
    QCOMPARE(d.page()->memoryPanel()->usageLabel()->text(), TMemoryUsagePanel::usageText(used));
    // The log reads as for a drop of the same files, in the order chosen.
    QCOMPARE(d.fx.logRows(), logRows + 3);
    const LogEntry e1 = d.logRow(logRows), e2 = d.logRow(logRows + 1), e3 = d.logRow(logRows + 2);
    QCOMPARE(e1.description + e1.info, QStringLiteral("Image Added Successfully") + one);
    QCOMPARE(e2.marker + e2.description + e2.info, QStringLiteral("!Image Dimensions Not Compatible") + big);
    QCOMPARE(e3.description + e3.info, QStringLiteral("Image Added Successfully") + two);
    QVERIFY(d.fx.form().document().isModified());
    QVERIFY(d.page()->treePanel()->addImagesButton()->isEnabled());
}

void TestAddImages::cancelledDialogAddsNothing()
{
    ImagesPageDriver d(m_dir.filePath("cancel.cvp"));
    d.select(kInfoScreensIdx);
    d.fx.form().document().Set_Modified(false);
    int shown = 0;
    d.page()->setImageFilesInput([&](QWidget*, const QString&, const QString&) {
        ++shown;
        return QStringList();
    });
    const int logRows = d.fx.logRows();
    d.page()->treePanel()->addImagesButton()->click();
    QCOMPARE(shown, 1);
    QVERIFY(!d.page()->dropImport()->isRunning());
    QVERIFY(d.handle(kInfoScreensIdx).cells.empty());
    QCOMPARE(d.fx.logRows(), logRows);
    QVERIFY(!d.fx.form().document().isModified());
}

void TestAddImages::realFileDialogTakesSeveralFiles()
{
    const QDir folder(m_dir.path());
    ImagesPageDriver d(m_dir.filePath("real.cvp"));
    d.select(kBackgroundsIdx);
    writePicture(folder, "hall.png", 480, 272, Qt::red);
    writePicture(folder, "roof.jpg", 480, 272, Qt::blue);
    QStringList filters;
    QString title;
    bool answered = false;
    // The dialog is modal: it is answered from the event loop it runs, typing
    // two names into its file name field as a user would.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || answered)
            return;
        answered = true;
        filters = dialog->nameFilters();
        title = dialog->windowTitle();
        dialog->setDirectory(folder);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(QStringLiteral("\"hall.png\" \"roof.jpg\""));
        QTest::keyClick(name, Qt::Key_Return);
    });
    poll.start();
    d.page()->setImageFilesInput(nullptr); // the real dialog
    d.page()->treePanel()->addImagesButton()->click();
    poll.stop();
    QVERIFY(answered);
    QTRY_VERIFY_WITH_TIMEOUT(!d.page()->dropImport()->isRunning(), 120000);
    QCOMPARE(title, QStringLiteral("Add Images to BACKGROUNDS (480 x 272)"));
    QCOMPARE(filters, QStringList({"Pictures (*.bmp *.png *.jpg *.jpeg *.gif)", "All files (*)"}));
    QCOMPARE(nodeNames(d.tree()->topLevelItem(kBackgroundsIdx)), QStringList({"HALL_PNG", "ROOF_JPG"}));
    QCOMPARE(d.handle(kBgThumbnailsIdx).cells.size(), size_t(2));
}

void TestAddImages::dropAreaSaysWhatItTakes_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("size");
    QTest::newRow("backgrounds") << int(kBackgroundsIdx) << "480 x 272";
    QTest::newRow("logos") << int(kLogosIdx) << "125 x 85";
    QTest::newRow("information screens") << int(kInfoScreensIdx) << "480 x 272";
}

void TestAddImages::dropAreaSaysWhatItTakes()
{
    QFETCH(int, position);
    QFETCH(QString, size);
    ImagesPageDriver d(m_dir.filePath("hint.cvp"));
    d.select(position);
    QLabel* hint = d.page()->dropHint();
    QVERIFY(hint->isVisible());
    QCOMPARE(hint->text(),
             QStringLiteral("Drop BMP, PNG, JPEG or GIF pictures of exactly %1 pixels here, or use "
                            "Add Images...")
                 .arg(size));
    // The spec's own label is still there while the group is empty.
    QCOMPARE(d.view()->dragLabel()->text(), QStringLiteral("Drag Image Files Here"));
}

void TestAddImages::contextMenuFollowsTheSelection_data()
{
    QTest::addColumn<int>("child"); // -1: the group's node
    QTest::addColumn<QString>("enabled");
    QTest::newRow("group") << -1 << "A----";
    QTest::newRow("first image") << 0 << "AR-DX";
    QTest::newRow("last image") << 1 << "ARU-X";
}

void TestAddImages::contextMenuFollowsTheSelection()
{
    QFETCH(int, child);
    QFETCH(QString, enabled);
    const QDir folder(m_dir.path());
    ImagesPageDriver d(m_dir.filePath("menu.cvp"));
    d.select(kLogosIdx);
    d.drop({writePicture(folder, "a.png", 125, 85, Qt::red), writePicture(folder, "b.png", 125, 85, Qt::blue)});
    d.select(kBackgroundsIdx); // the right click moves the selection
    QTreeWidgetItem* root = d.tree()->topLevelItem(kLogosIdx);
    QTreeWidgetItem* target = child < 0 ? root : root->child(child);
    QMenu* menu = rightClick(d, target);
    QVERIFY(menu);
    QCOMPARE(d.tree()->currentItem(), target);
    QCOMPARE(enabledEntries(*d.page()->treeMenu()), enabled);
    menu->close();
}

void TestAddImages::contextMenuAndKeysRunTheCommands()
{
    const QDir folder(m_dir.path());
    ImagesPageDriver d(m_dir.filePath("keys.cvp"));
    d.select(kBackgroundsIdx);
    d.drop({writePicture(folder, "a.png", 480, 272, Qt::red), writePicture(folder, "b.png", 480, 272, Qt::green),
            writePicture(folder, "c.png", 480, 272, Qt::blue)});
    QTreeWidgetItem* root = d.tree()->topLevelItem(kBackgroundsIdx);
    TTreeContextMenu* m = d.page()->treeMenu();

    // Move Down from the menu on A: B A C, in the group and its thumbnails.
    QMenu* menu = rightClick(d, root->child(0));
    QVERIFY(menu);
    clickEntry(menu, m->moveDownAction());
    QCOMPARE(cellNames(d.handle(kBackgroundsIdx)), QStringList({"B_PNG", "A_PNG", "C_PNG"}));
    QCOMPARE(cellNames(d.handle(kBgThumbnailsIdx)), QStringList({"B_PNG", "A_PNG", "C_PNG"}));
    QCOMPARE(d.page()->treePanel()->cellOf(d.tree()->currentItem())->name, QStringLiteral("A_PNG"));

    // Move Up from the menu on C: B C A.
    menu = rightClick(d, root->child(2));
    QVERIFY(menu);
    clickEntry(menu, m->moveUpAction());
    QCOMPARE(nodeNames(root), QStringList({"B_PNG", "C_PNG", "A_PNG"}));

    // F2 renames the selected image, with the tree focused.
    d.tree()->setFocus();
    QTRY_VERIFY(d.tree()->hasFocus());
    QStringList asked;
    d.page()->setNameInput([&](QWidget*, const QString& title, const QString&, const QString& current) {
        asked << title << current;
        return std::optional<QString>(QStringLiteral("lobby"));
    });
    QTest::keyClick(d.tree(), Qt::Key_F2);
    QCOMPARE(asked, QStringList({"Rename image...", "C_PNG"}));
    QCOMPARE(nodeNames(root), QStringList({"B_PNG", "LOBBY", "A_PNG"}));

    // Rename from the menu on B.
    d.page()->setNameInput([](QWidget*, const QString&, const QString&, const QString&) {
        return std::optional<QString>(QStringLiteral("entrance"));
    });
    menu = rightClick(d, root->child(0));
    QVERIFY(menu);
    clickEntry(menu, m->renameAction());
    QCOMPARE(nodeNames(root), QStringList({"ENTRANCE", "LOBBY", "A_PNG"}));

    // Delete removes the selected image with its thumbnail and logs it.
    d.tree()->setCurrentItem(root->child(1));
    d.tree()->setFocus();
    QTest::keyClick(d.tree(), Qt::Key_Delete);
    QCOMPARE(nodeNames(root), QStringList({"ENTRANCE", "A_PNG"}));
    QCOMPARE(d.handle(kBgThumbnailsIdx).cells.size(), size_t(2));
    QCOMPARE(d.fx.lastLog().info, QStringLiteral("BACKGROUNDS->LOBBY"));
    // The menu's Delete on the last image.
    menu = rightClick(d, root->child(1));
    QVERIFY(menu);
    clickEntry(menu, m->deleteAction());
    QCOMPARE(nodeNames(root), QStringList({"ENTRANCE"}));
    QCOMPARE(d.fx.lastLog().info, QStringLiteral("BACKGROUNDS->A_PNG"));

    // On the group's node the keys do nothing: there is no image to act on.
    d.tree()->setCurrentItem(root);
    d.tree()->setFocus();
    const int logRows = d.fx.logRows();
    int renames = 0;
    d.page()->setNameInput([&](QWidget*, const QString&, const QString&, const QString&) {
        ++renames;
        return std::optional<QString>(QStringLiteral("x"));
    });
    QTest::keyClick(d.tree(), Qt::Key_Delete);
    QTest::keyClick(d.tree(), Qt::Key_F2);
    QCOMPARE(renames, 0);
    QCOMPARE(d.fx.logRows(), logRows);
    QCOMPARE(nodeNames(root), QStringList({"ENTRANCE"}));
}

void TestAddImages::commandsWaitForARunningImport()
{
    // While an import adds to a group, nothing else may change it: the menu
    // entries, the keys and Add Images are all off until it ends.
    const QDir folder(m_dir.path());
    ImagesPageDriver d(m_dir.filePath("busy.cvp"));
    d.select(kBackgroundsIdx);
    d.drop({writePicture(folder, "a.png", 480, 272, Qt::red)});
    d.tree()->setCurrentItem(d.tree()->topLevelItem(kBackgroundsIdx)->child(0));
    QStringList many;
    for (int i = 0; i < 6; ++i)
        many << writePicture(folder, QStringLiteral("m%1.png").arg(i), 480, 272, QColor::fromHsv(i * 50, 200, 200));
    d.page()->setImageFilesInput([&](QWidget*, const QString&, const QString&) { return many; });
    d.page()->treePanel()->addImagesButton()->click();
    QVERIFY(d.page()->dropImport()->isRunning());
    QCOMPARE(enabledEntries(*d.page()->treeMenu()), QStringLiteral("-----"));
    QVERIFY(!d.fx.action("add_images_MenuItem")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!d.page()->dropImport()->isRunning(), 120000);
    QCOMPARE(d.handle(kBackgroundsIdx).cells.size(), size_t(7));
    QVERIFY(d.fx.action("add_images_MenuItem")->isEnabled());
    QCOMPARE(enabledEntries(*d.page()->treeMenu()), QStringLiteral("AR-DX"));
}

void TestAddImages::offeredOnlyWithAProjectOpen()
{
    TFormFixture fx;
    QAction* menuItem = fx.action("add_images_MenuItem");
    QToolButton* button = fx.form().imagesPage()->treePanel()->addImagesButton();
    QVERIFY(!menuItem->isEnabled() && !button->isEnabled());
    fx.newProject(m_dir.filePath("offered.cvp"));
    QVERIFY(menuItem->isEnabled() && button->isEnabled());
    fx.prompter().enqueue(QMessageBox::Discard); // the new project
    fx.trigger("close_project_MenuItem");
    QVERIFY(fx.form().document().images().empty());
    QVERIFY(!menuItem->isEnabled() && !button->isEnabled());
    // Called all the same (by a script, a stale signal), it asks nothing.
    int shown = 0;
    fx.form().imagesPage()->setImageFilesInput([&](QWidget*, const QString&, const QString&) {
        ++shown;
        return QStringList();
    });
    fx.form().imagesPage()->addImages();
    QCOMPARE(shown, 0);
}
