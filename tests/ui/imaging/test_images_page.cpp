#include "test_images.h"

#include "ImagesPageDriver.h"
#include "PictureFiles.h"
#include "core/imaging/ImageImport.h"
#include "ui/imaging/THandlePanel.h"
#include "ui/imaging/TImageDropImport.h"
#include "ui/imaging/TImageFrame.h"
#include "ui/imaging/TImageView.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TMemoryUsagePanel.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QAccessible>
#include <QLabel>
#include <QMimeData>
#include <QPieSeries>
#include <QPieSlice>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

void TestImagesPage::dropFiveOntoTwentySeven()
{
    ImagesPageDriver d(m_dir.filePath("five.cvp"));
    const QDir folder(m_dir.path());
    QStringList first;
    for (int i = 0; i < 27; ++i)
        first << writePicture(folder, QStringLiteral("logo %1.png").arg(i), 125, 85, QColor::fromHsv(i * 13, 200, 200));
    d.select(kLogosIdx);
    d.drop(first);
    QCOMPARE(d.handle(kLogosIdx).cells.size(), size_t(27));
    // Everything added: the view shows it, no box interrupts.
    QVERIFY(d.fx.prompter().questions().isEmpty());

    QStringList five;
    for (int i = 0; i < 5; ++i)
        five << writePicture(folder, QStringLiteral("%1 more.gif").arg(i), 125, 85, QColor::fromHsv(i * 60, 255, 160));
    const int rowsBefore = d.fx.logRows();
    d.drop(five);

    // The first three fill the list to thirty; the last two are refused, and
    // every file has its entry with its path, in drop order.
    QCOMPARE(d.fx.logRows(), rowsBefore + 5);
    for (int i = 0; i < 5; ++i) {
        const LogEntry e = d.logRow(rowsBefore + i);
        QCOMPARE(e.info, five.at(i));
        QCOMPARE(e.description, i < 3 ? QStringLiteral("Image Added Successfully") : QStringLiteral("Image List Full"));
        QCOMPARE(e.marker, i < 3 ? QStringLiteral(" ") : QStringLiteral("*"));
    }
    // One box at the end of the drop tells the whole of it.
    QCOMPARE(d.fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question summary = d.fx.prompter().questions().constFirst();
    QCOMPARE(summary.kind, TMsgDlgType::MtWarning);
    QCOMPARE(summary.text,
             QStringLiteral("Added 3 images, refused 2 files.      "
                            "\r3 more.gif: Image List Full - the image group is full (at most 30 images)      "
                            "\r4 more.gif: Image List Full - the image group is full (at most 30 images)      "));
    const THandle_object& logos = d.handle(kLogosIdx);
    const THandle_object& thumbs = d.handle(kLogoThumbnailsIdx);
    QCOMPARE(logos.cells.size(), size_t(30));
    QCOMPARE(thumbs.cells.size(), size_t(30));
    QCOMPARE(logos.cells[29]->name, QStringLiteral("_2 MORE_GIF"));
    for (size_t i = 0; i < 30; ++i)
        QCOMPARE(thumbs.cells[i]->name, logos.cells[i]->name);
    // Tree, view, panel and memory display all show the result.
    QCOMPARE(d.tree()->topLevelItem(kLogosIdx)->childCount(), 30);
    QCOMPARE(d.tree()->topLevelItem(kLogoThumbnailsIdx)->childCount(), 30);
    QCOMPARE(d.tree()->topLevelItem(kLogosIdx)->child(29)->text(0), QStringLiteral("_2 MORE_GIF"));
    QCOMPARE(d.view()->CellView_List().size(), 30);
    QCOMPARE(d.view()->CellView_List().at(29)->pictureId(), logos.cells[29]->pictureId);
    QVERIFY(!d.view()->dragLabel()->isVisible());
    QCOMPARE(d.page()->handlePanel()->headingLabel()->text(), QStringLiteral(" LOGOS (30)"));
    QCOMPARE(d.page()->handlePanel()->storageLabel()->text(), QStringLiteral("%1 bytes").arg(logos.memory_usage));
    const qint64 used = projectStorageUsed(d.fx.form().document().images());
    QVERIFY(used > 0);
    QCOMPARE(d.page()->memoryPanel()->usageLabel()->text(), TMemoryUsagePanel::usageText(used));
    QVERIFY(d.fx.form().document().isModified());
    QVERIFY(d.view()->dropsEnabled());
    if (qEnvironmentVariableIsSet("IMAGES_SCREENSHOT_DIR"))
        d.fx.form().grab().save(qEnvironmentVariable("IMAGES_SCREENSHOT_DIR") + "/images_page_logos.png");
}

void TestImagesPage::refusedFilesAreLoggedAndNothingIsAdded()
{
    ImagesPageDriver d(m_dir.filePath("refused.cvp"));
    const QDir folder(m_dir.path());
    const QStringList files{
        writePicture(folder, "logo size.png", 125, 85, Qt::red),
        writeFile(folder, "empty.bmp", bmpHeaderBytes(0, 0)),
        writeFile(folder, "notes.png", "plain text, not a picture"),
        writePicture(folder, "background.jpg", 480, 272, Qt::blue),
    };
    d.select(kBackgroundsIdx);
    d.fx.form().document().Set_Modified(false);
    const int rowsBefore = d.fx.logRows();
    d.drop(files);

    const QStringList expected{"Image Dimensions Not Compatible", "Invalid Image File", "Invalid Image File",
                               "Image Added Successfully"};
    for (int i = 0; i < files.size(); ++i) {
        const LogEntry e = d.logRow(rowsBefore + i);
        QCOMPARE(e.description, expected.at(i));
        QCOMPARE(e.info, files.at(i));
        QCOMPARE(e.marker, i < 3 ? QStringLiteral("!") : QStringLiteral(" "));
    }
    QCOMPARE(d.handle(kBackgroundsIdx).cells.size(), size_t(1));
    QCOMPARE(d.handle(kBgThumbnailsIdx).cells.size(), size_t(1));
    QCOMPARE(d.handle(kBgThumbnailsIdx).cells[0]->fmxbmp.size(), QSize(90, 51));
    // The refusals are not left to the log alone: one box lists them, the
    // wrong size with the size the group takes.
    QCOMPARE(d.fx.prompter().questions().size(), 1);
    const QStringList lines = d.fx.prompter().questions().constFirst().text.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), QStringLiteral("Added 1 image, refused 3 files.      "));
    QCOMPARE(lines.at(1),
             QStringLiteral("logo size.png: Image Dimensions Not Compatible - The picture is 125 x 85 "
                            "pixels; the image group takes 480 x 272      "));
    QVERIFY2(lines.at(2).startsWith(QStringLiteral("empty.bmp: Invalid Image File - ")), qPrintable(lines.at(2)));
    QVERIFY2(lines.at(3).startsWith(QStringLiteral("notes.png: Invalid Image File - ")), qPrintable(lines.at(3)));
    QCOMPARE(d.view()->CellView_List().size(), 1);
    QVERIFY(d.fx.form().document().isModified());
}

void TestImagesPage::dragHighlightAndClientArea()
{
    ImagesPageDriver d(m_dir.filePath("drag.cvp"));
    d.select(kInfoScreensIdx);
    const QString file = writePicture(QDir(m_dir.path()), "info.png", 480, 272, Qt::gray);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QWidget* viewport = d.view()->viewport();
    QWidget* highlight = d.view()->DragDropHighlight_Shape();
    const QPoint inside = viewport->rect().center();
    const QPoint outside(viewport->width() + 40, 5);

    QDragEnterEvent enter(inside, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QVERIFY(highlight->isVisible());

    QDragMoveEvent away(outside, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &away);
    QVERIFY(!away.isAccepted());
    QVERIFY(!highlight->isVisible());

    // A drop outside the client area imports nothing.
    QDropEvent dropOutside(QPointF(outside), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropOutside);
    QVERIFY(!d.page()->dropImport()->isRunning());
    QVERIFY(d.handle(kInfoScreensIdx).cells.empty());

    // A drop without files is ignored.
    QMimeData text;
    text.setText(QStringLiteral("just words"));
    QDropEvent textDrop(QPointF(inside), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &textDrop);
    QVERIFY(!d.page()->dropImport()->isRunning());

    QApplication::sendEvent(viewport, &enter);
    QVERIFY(highlight->isVisible());
    d.drop({file});
    QVERIFY(!highlight->isVisible());
    QCOMPARE(d.handle(kInfoScreensIdx).cells.size(), size_t(1));
    // Information screens keep no thumbnails.
    QVERIFY(d.handle(kBgThumbnailsIdx).cells.empty());
}

void TestImagesPage::closingDuringAnImportStopsIt()
{
    ImagesPageDriver d(m_dir.filePath("closing.cvp"));
    d.select(kBackgroundsIdx);
    QStringList files;
    for (int i = 0; i < 12; ++i)
        files << writePicture(QDir(m_dir.path()), QStringLiteral("c%1.png").arg(i), 480, 272, Qt::darkRed);
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    mime.setUrls(urls);
    QWidget* viewport = d.view()->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(d.page()->dropImport()->isRunning());
    // While it runs, the view takes no second drop and the commands are off.
    QVERIFY(!d.view()->dropsEnabled());
    QVERIFY(!d.page()->treePanel()->deleteButton()->isEnabled());

    d.fx.prompter().enqueue(QMessageBox::Discard); // the changes
    d.fx.trigger("close_project_MenuItem");
    QVERIFY(!d.page()->dropImport()->isRunning());
    QVERIFY(d.fx.form().document().images().empty());
    QCOMPARE(d.tree()->topLevelItemCount(), 0);
    QVERIFY(d.view()->CellView_List().isEmpty());
    const int rows = d.fx.logRows();
    QCOMPARE(d.fx.lastLog().description, QStringLiteral("Project Closed"));
    // Nothing of the stopped import arrives afterwards, not even what it had
    // already posted.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(d.fx.logRows(), rows);
}

void TestImagesPage::frameGeometry_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("caption");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QPoint>("imageAt");
    // The picture is centred in the space above the caption, 8 pixels in
    // from the frame's edge.
    QTest::newRow("logo, narrow name") << QSize(125, 85) << QSize(60, 15) << QSize(141, 120) << QPoint(8, 10);
    QTest::newRow("logo, 150-pixel name") << QSize(125, 85) << QSize(150, 15) << QSize(168, 120) << QPoint(21, 10);
    QTest::newRow("tiny picture") << QSize(10, 10) << QSize(20, 15) << QSize(66, 66) << QPoint(28, 20);
    QTest::newRow("background") << QSize(480, 272) << QSize(100, 15) << QSize(496, 307) << QPoint(8, 10);
}

void TestImagesPage::frameGeometry()
{
    QFETCH(QSize, image);
    QFETCH(QSize, caption);
    QFETCH(QSize, frame);
    QFETCH(QPoint, imageAt);
    const TFrameGeometry g = TImageFrame::frameGeometry(image, caption);
    QCOMPARE(g.frame, frame);
    QCOMPARE(g.image, QRect(imageAt, image));
    QCOMPARE(g.caption.bottom(), frame.height() - 9);
    QVERIFY(g.caption.top() >= g.image.bottom());

    // A real frame measures its caption with its own font.
    ImagesPageDriver d(m_dir.filePath("frame.cvp"));
    d.select(kLogosIdx);
    d.drop({writePicture(QDir(m_dir.path()), "w.png", 125, 85, Qt::darkGreen)});
    TImageFrame* f = d.view()->CellView_List().at(0);
    const QFontMetrics m = f->Label1()->fontMetrics();
    const TFrameGeometry real
        = TImageFrame::frameGeometry(QSize(125, 85), QSize(m.horizontalAdvance("W_PNG"), m.height()));
    QCOMPARE(f->size(), real.frame);
    QCOMPARE(f->width(), 141);
    QCOMPARE(f->Cell_Image()->geometry(), real.image);
}

void TestImagesPage::framesShowCheckerboardAndVeil()
{
    ImagesPageDriver d(m_dir.filePath("veil.cvp"));
    d.select(kLogosIdx);
    d.drop({writePicture(QDir(m_dir.path()), "clear.png", 125, 85, Qt::transparent),
            writePicture(QDir(m_dir.path()), "hidden.png", 125, 85, Qt::blue)});
    THandle_object& logos = d.handle(kLogosIdx);
    logos.cells[1]->included = false;
    d.page()->Show_Handle(logos);
    const QList<TImageFrame*>& frames = d.view()->CellView_List();
    QCOMPARE(frames.size(), 2);
    // Logos are stored with alpha: the backdrop is a checkerboard of light
    // grey and white in 5-pixel squares.
    const QImage backdrop = frames[0]->Image1()->pixmap().toImage();
    QCOMPARE(backdrop.size(), QSize(125, 85));
    QCOMPARE(QColor(backdrop.pixel(0, 0)), QColor(0xF7, 0xF7, 0xF7));
    QCOMPARE(QColor(backdrop.pixel(5, 0)), QColor(Qt::white));
    QCOMPARE(QColor(backdrop.pixel(5, 5)), QColor(0xF7, 0xF7, 0xF7));
    QVERIFY(!frames[0]->NotInc_Label()->isVisible());
    // The excluded image is veiled and says so.
    QVERIFY(frames[1]->NotInc_Label()->isVisible());
    const QColor veiled = frames[1]->Cell_Image()->pixmap().toImage().pixelColor(60, 10);
    QVERIFY2(veiled.red() > 150 && veiled.blue() > 200, qPrintable(veiled.name()));
    // The whole view is veiled while its handle is excluded.
    QVERIFY(!d.view()->notIncludedVeil()->isVisible());
    logos.included = false;
    d.page()->Show_Handle(logos);
    QVERIFY(d.view()->notIncludedVeil()->isVisible());
    d.view()->grab().save(m_dir.filePath("veil.png"));
    if (qEnvironmentVariableIsSet("IMAGES_SCREENSHOT_DIR"))
        d.fx.form().grab().save(qEnvironmentVariable("IMAGES_SCREENSHOT_DIR") + "/images_page_veiled.png");
}

void TestImagesPage::selectionWithinHandleKeepsTheView()
{
    ImagesPageDriver d(m_dir.filePath("select.cvp"));
    d.select(kBackgroundsIdx);
    const QDir folder(m_dir.path());
    d.drop({writePicture(folder, "a.png", 480, 272, Qt::red), writePicture(folder, "b.png", 480, 272, Qt::green)});
    QTreeWidgetItem* root = d.tree()->topLevelItem(kBackgroundsIdx);
    const QList<TImageFrame*> frames = d.view()->CellView_List();
    const int counter = d.fx.form().imagesPage()->cell_frame_counter;

    d.tree()->setCurrentItem(root->child(0));
    d.tree()->setCurrentItem(root->child(1));
    d.tree()->setCurrentItem(root);
    QCOMPARE(d.view()->CellView_List(), frames);
    QCOMPARE(d.fx.form().imagesPage()->cell_frame_counter, counter);

    d.select(kLogosIdx);
    QCOMPARE(d.fx.form().imagesPage()->Visible_Handle_Idx, int(kLogosIdx));
    QVERIFY(d.view()->CellView_List().isEmpty());
    QVERIFY(d.view()->dragLabel()->isVisible());
    d.tree()->setCurrentItem(root->child(1));
    QCOMPARE(d.view()->CellView_List().size(), 2);
    QCOMPARE(d.view()->CellView_List().at(1)->objectName(), QStringLiteral("ImgFrame%1").arg(counter + 1));
}

void TestImagesPage::emptyProjectMemoryDisplay()
{
    ImagesPageDriver d(m_dir.filePath("empty.cvp"));
    TMemoryUsagePanel* memory = d.page()->memoryPanel();
    QCOMPARE(memory->usageLabel()->text(), QStringLiteral("  0/3657728 (0.00%)"));
    const QList<QPieSlice*> slices = memory->series()->slices();
    QCOMPARE(slices.size(), 4);
    const QStringList labels{"Free", "Info", "Logo", "Bgrd"};
    for (int i = 0; i < slices.size(); ++i) {
        QCOMPARE(slices[i]->label(), labels.at(i));
        QCOMPARE(slices[i]->value(), i == 0 ? qreal(kImageStoreBytes) : 0.0);
    }
    QCOMPARE(slices[0]->color(), QColor(0x00, 0x9F, 0x50));
    QCOMPARE(TMemoryUsagePanel::usageText(1828864), QStringLiteral("  1828864/3657728 (50.00%)"));
    QCOMPARE(TMemoryUsagePanel::usageText(1234), QStringLiteral("  1234/3657728 (0.03%)"));
}

void TestImagesPage::wheelScrollsByItsDelta()
{
    ImagesPageDriver d(m_dir.filePath("wheel.cvp"));
    d.select(kBackgroundsIdx);
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files << writePicture(QDir(m_dir.path()), QStringLiteral("w%1.png").arg(i), 480, 272, Qt::cyan);
    d.drop(files);
    QScrollBar* bar = d.view()->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 200);
    QCOMPARE(bar->value(), 0);
    // Qt hands a real wheel event over a frame on to the view's client area;
    // a synthetic one is not passed on, so it goes there directly.
    QWidget* target = d.view()->viewport();
    const QPointF at(10, 10);
    QWheelEvent down(at, target->mapToGlobal(at), QPoint(), QPoint(0, -150), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &down);
    QCOMPARE(bar->value(), 150);
    QWheelEvent up(at, target->mapToGlobal(at), QPoint(), QPoint(0, 40), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &up);
    QCOMPARE(bar->value(), 110);
}

void TestImagesPage::accessibilityTree()
{
    ImagesPageDriver d(m_dir.filePath("a11y.cvp"));
    d.select(kLogosIdx);
    d.drop({writePicture(QDir(m_dir.path()), "shown.png", 125, 85, Qt::red),
            writePicture(QDir(m_dir.path()), "left out.png", 125, 85, Qt::blue)});
    THandle_object& logos = d.handle(kLogosIdx);
    logos.cells[1]->included = false;
    d.page()->Show_Handle(logos);

    // The frames, by their images' names, with their inclusion as value.
    const QList<TImageFrame*>& frames = d.view()->CellView_List();
    QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(frames[0]);
    QAccessibleInterface* out = QAccessible::queryAccessibleInterface(frames[1]);
    QVERIFY(shown && out);
    QCOMPARE(shown->text(QAccessible::Name), QStringLiteral("SHOWN_PNG"));
    QCOMPARE(shown->text(QAccessible::Value), QStringLiteral("included"));
    QCOMPARE(out->text(QAccessible::Name), QStringLiteral("LEFT OUT_PNG"));
    QCOMPARE(out->text(QAccessible::Value), QStringLiteral("not included"));
    QVERIFY(out->state().disabled);
    QCOMPARE(shown->role(), QAccessible::Graphic);
    // One picture per frame: its parts are not announced as unnamed graphics
    // of their own, and the picture itself carries the image's name.
    QCOMPARE(shown->childCount(), 0);
    QCOMPARE(frames[0]->findChild<QLabel*>(QStringLiteral("Cell_Image"))->accessibleName(),
             QStringLiteral("SHOWN_PNG"));
    // Reachable from the view by walking the tree down.
    QAccessibleInterface* flow = QAccessible::queryAccessibleInterface(d.view()->flowPanel());
    QCOMPARE(flow->childCount(), 2);
    QCOMPARE(flow->child(1)->text(QAccessible::Name), QStringLiteral("LEFT OUT_PNG"));

    // The picture buttons by their hints, with a press action when enabled.
    d.tree()->setCurrentItem(d.tree()->topLevelItem(kLogosIdx)->child(1));
    TProjectTreePanel* panel = d.page()->treePanel();
    const QList<QPair<QToolButton*, QString>> buttons{{panel->renameButton(), "Rename image"},
                                                      {panel->moveUpButton(), "Move image up"},
                                                      {panel->moveDownButton(), "Move image down"},
                                                      {panel->deleteButton(), "Delete image"}};
    for (const auto& [button, hint] : buttons) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(a->text(QAccessible::Name), hint);
        QCOMPARE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
                 button != panel->moveDownButton());
    }

    // The tree's items carry the image names; the hidden thumbnail roots are
    // not offered.
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(d.tree());
    QStringList names;
    for (int i = 0; i < tree->childCount(); ++i)
        names << tree->child(i)->text(QAccessible::Name);
    QVERIFY2(names.contains("LOGOS") && names.contains("BACKGROUNDS"), qPrintable(names.join(',')));
    QVERIFY2(!names.contains("BG_THUMBNAILS"), qPrintable(names.join(',')));
    d.tree()->expandAll();
    names.clear();
    for (int i = 0; i < tree->childCount(); ++i)
        names << tree->child(i)->text(QAccessible::Name);
    QVERIFY2(names.contains("SHOWN_PNG") && names.contains("LEFT OUT_PNG"), qPrintable(names.join(',')));

    // The memory figure.
    QAccessibleInterface* figure = QAccessible::queryAccessibleInterface(d.page()->memoryPanel()->usageLabel());
    QCOMPARE(figure->text(QAccessible::Name).trimmed(),
             TMemoryUsagePanel::usageText(projectStorageUsed(d.fx.form().document().images())).trimmed());
}
