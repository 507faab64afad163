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
    ImagesPageDriver d(dir.filePath("five.cvp"));
    const QDir folder(dir.path());
    QStringList first;
    for (int i = 0; i < 27; ++i)
        first << Write_Picture(folder, QStringLiteral("logo %1.png").arg(i), 125, 85,
                               QColor::fromHsv(i * 13, 200, 200));
    d.select(LOGOS_IDX);
    d.drop(first);
    QCOMPARE(d.handle(LOGOS_IDX).cells.size(), size_t(27));
    // Everything added: the view shows it, no box interrupts.
    QVERIFY(d.fx.prompter().questions().isEmpty());

    QStringList five;
    for (int i = 0; i < 5; ++i)
        five << Write_Picture(folder, QStringLiteral("%1 more.gif").arg(i), 125, 85, QColor::fromHsv(i * 60, 255, 160));
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
    QCOMPARE(summary.kind, TMsgDlgType::mtWarning);
    QCOMPARE(summary.text,
             QStringLiteral("Added 3 images, refused 2 files.      "
                            "\r3 more.gif: Image List Full - the image group is full (at most 30 images)      "
                            "\r4 more.gif: Image List Full - the image group is full (at most 30 images)      "));
    const THandle_object& logos = d.handle(LOGOS_IDX);
    const THandle_object& thumbs = d.handle(LOGO_THUMBNAILS_IDX);
    QCOMPARE(logos.cells.size(), size_t(30));
    QCOMPARE(thumbs.cells.size(), size_t(30));
    QCOMPARE(logos.cells[29]->name, QStringLiteral("_2 MORE_GIF"));
    for (size_t i = 0; i < 30; ++i)
        QCOMPARE(thumbs.cells[i]->name, logos.cells[i]->name);
    // Tree, view, panel and memory display all show the result.
    QCOMPARE(d.tree()->topLevelItem(LOGOS_IDX)->childCount(), 30);
    QCOMPARE(d.tree()->topLevelItem(LOGO_THUMBNAILS_IDX)->childCount(), 30);
    QCOMPARE(d.tree()->topLevelItem(LOGOS_IDX)->child(29)->text(0), QStringLiteral("_2 MORE_GIF"));
    QCOMPARE(d.view()->CellView_List().size(), 30);
    QCOMPARE(d.view()->CellView_List().at(29)->pictureId(), logos.cells[29]->pictureId);
    QVERIFY(!d.view()->Drag_Label()->isVisible());
    QCOMPARE(d.page()->Handle_Panel()->Heading_Label()->text(), QStringLiteral(" LOGOS (30)"));
    QCOMPARE(d.page()->Handle_Panel()->Storage_Label()->text(), QStringLiteral("%1 bytes").arg(logos.memory_usage));
    const qint64 used = Project_Storage_Used(d.fx.form().Document().images());
    QVERIFY(used > 0);
    QCOMPARE(d.page()->Memory_Panel()->Usage_Label()->text(), TMemoryUsagePanel::Usage_Text(used));
    QVERIFY(d.fx.form().Document().isModified());
    QVERIFY(d.view()->Drops_Enabled());
    if (qEnvironmentVariableIsSet("IMAGES_SCREENSHOT_DIR"))
        d.fx.form().grab().save(qEnvironmentVariable("IMAGES_SCREENSHOT_DIR") + "/images_page_logos.png");
}

void TestImagesPage::refusedFilesAreLoggedAndNothingIsAdded()
{
    ImagesPageDriver d(dir.filePath("refused.cvp"));
    const QDir folder(dir.path());
    const QStringList files{
        Write_Picture(folder, "logo size.png", 125, 85, Qt::red),
        Write_File(folder, "empty.bmp", Bmp_Header_Bytes(0, 0)),
        Write_File(folder, "notes.png", "plain text, not a picture"),
        Write_Picture(folder, "background.jpg", 480, 272, Qt::blue),
    };
    d.select(BACKGROUNDS_IDX);
    d.fx.form().Document().Set_Modified(false);
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
    QCOMPARE(d.handle(BACKGROUNDS_IDX).cells.size(), size_t(1));
    QCOMPARE(d.handle(BG_THUMBNAILS_IDX).cells.size(), size_t(1));
    QCOMPARE(d.handle(BG_THUMBNAILS_IDX).cells[0]->fmxbmp.size(), QSize(90, 51));
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
    QVERIFY(d.fx.form().Document().isModified());
}

void TestImagesPage::dragHighlightAndClientArea()
{
    ImagesPageDriver d(dir.filePath("drag.cvp"));
    d.select(INFO_SCREENS_IDX);
    const QString file = Write_Picture(QDir(dir.path()), "info.png", 480, 272, Qt::gray);
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
    QVERIFY(!d.page()->Drop_Import()->Running());
    QVERIFY(d.handle(INFO_SCREENS_IDX).cells.empty());

    // A drop without files is ignored.
    QMimeData text;
    text.setText(QStringLiteral("just words"));
    QDropEvent textDrop(QPointF(inside), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &textDrop);
    QVERIFY(!d.page()->Drop_Import()->Running());

    QApplication::sendEvent(viewport, &enter);
    QVERIFY(highlight->isVisible());
    d.drop({file});
    QVERIFY(!highlight->isVisible());
    QCOMPARE(d.handle(INFO_SCREENS_IDX).cells.size(), size_t(1));
    // Information screens keep no thumbnails.
    QVERIFY(d.handle(BG_THUMBNAILS_IDX).cells.empty());
}

void TestImagesPage::closingDuringAnImportStopsIt()
{
    ImagesPageDriver d(dir.filePath("closing.cvp"));
    d.select(BACKGROUNDS_IDX);
    QStringList files;
    for (int i = 0; i < 12; ++i)
        files << Write_Picture(QDir(dir.path()), QStringLiteral("c%1.png").arg(i), 480, 272, Qt::darkRed);
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
    QVERIFY(d.page()->Drop_Import()->Running());
    // While it runs, the view takes no second drop and the commands are off.
    QVERIFY(!d.view()->Drops_Enabled());
    QVERIFY(!d.page()->Tree_Panel()->Delete_Button()->isEnabled());

    d.fx.prompter().enqueue(QMessageBox::Discard); // the changes
    d.fx.trigger("close_project_MenuItem");
    QVERIFY(!d.page()->Drop_Import()->Running());
    QVERIFY(d.fx.form().Document().images().empty());
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
    const TFrameGeometry g = TImageFrame::Frame_Geometry(image, caption);
    QCOMPARE(g.frame, frame);
    QCOMPARE(g.image, QRect(imageAt, image));
    QCOMPARE(g.caption.bottom(), frame.height() - 9);
    QVERIFY(g.caption.top() >= g.image.bottom());

    // A real frame measures its caption with its own font.
    ImagesPageDriver d(dir.filePath("frame.cvp"));
    d.select(LOGOS_IDX);
    d.drop({Write_Picture(QDir(dir.path()), "w.png", 125, 85, Qt::darkGreen)});
    TImageFrame* f = d.view()->CellView_List().at(0);
    const QFontMetrics m = f->Label1()->fontMetrics();
    const TFrameGeometry real
        = TImageFrame::Frame_Geometry(QSize(125, 85), QSize(m.horizontalAdvance("W_PNG"), m.height()));
    QCOMPARE(f->size(), real.frame);
    QCOMPARE(f->width(), 141);
    QCOMPARE(f->Cell_Image()->geometry(), real.image);
}

void TestImagesPage::framesShowCheckerboardAndVeil()
{
    ImagesPageDriver d(dir.filePath("veil.cvp"));
    d.select(LOGOS_IDX);
    d.drop({Write_Picture(QDir(dir.path()), "clear.png", 125, 85, Qt::transparent),
            Write_Picture(QDir(dir.path()), "hidden.png", 125, 85, Qt::blue)});
    THandle_object& logos = d.handle(LOGOS_IDX);
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
    QVERIFY(!d.view()->Not_Included_Veil()->isVisible());
    logos.included = false;
    d.page()->Show_Handle(logos);
    QVERIFY(d.view()->Not_Included_Veil()->isVisible());
    d.view()->grab().save(dir.filePath("veil.png"));
    if (qEnvironmentVariableIsSet("IMAGES_SCREENSHOT_DIR"))
        d.fx.form().grab().save(qEnvironmentVariable("IMAGES_SCREENSHOT_DIR") + "/images_page_veiled.png");
}

void TestImagesPage::selectionWithinHandleKeepsTheView()
{
    ImagesPageDriver d(dir.filePath("select.cvp"));
    d.select(BACKGROUNDS_IDX);
    const QDir folder(dir.path());
    d.drop({Write_Picture(folder, "a.png", 480, 272, Qt::red), Write_Picture(folder, "b.png", 480, 272, Qt::green)});
    QTreeWidgetItem* root = d.tree()->topLevelItem(BACKGROUNDS_IDX);
    const QList<TImageFrame*> frames = d.view()->CellView_List();
    const int counter = d.fx.form().Images_Page()->cell_frame_counter;

    d.tree()->setCurrentItem(root->child(0));
    d.tree()->setCurrentItem(root->child(1));
    d.tree()->setCurrentItem(root);
    QCOMPARE(d.view()->CellView_List(), frames);
    QCOMPARE(d.fx.form().Images_Page()->cell_frame_counter, counter);

    d.select(LOGOS_IDX);
    QCOMPARE(d.fx.form().Images_Page()->Visible_Handle_Idx, int(LOGOS_IDX));
    QVERIFY(d.view()->CellView_List().isEmpty());
    QVERIFY(d.view()->Drag_Label()->isVisible());
    d.tree()->setCurrentItem(root->child(1));
    QCOMPARE(d.view()->CellView_List().size(), 2);
    QCOMPARE(d.view()->CellView_List().at(1)->objectName(), QStringLiteral("ImgFrame%1").arg(counter + 1));
}

void TestImagesPage::emptyProjectMemoryDisplay()
{
    ImagesPageDriver d(dir.filePath("empty.cvp"));
    TMemoryUsagePanel* memory = d.page()->Memory_Panel();
    QCOMPARE(memory->Usage_Label()->text(), QStringLiteral("  0/3657728 (0.00%)"));
    const QList<QPieSlice*> slices = memory->Series()->slices();
    QCOMPARE(slices.size(), 4);
    const QStringList labels{"Free", "Info", "Logo", "Bgrd"};
    for (int i = 0; i < slices.size(); ++i) {
        QCOMPARE(slices[i]->label(), labels.at(i));
        QCOMPARE(slices[i]->value(), i == 0 ? qreal(kImageStoreBytes) : 0.0);
    }
    QCOMPARE(slices[0]->color(), QColor(0x00, 0x9F, 0x50));
    QCOMPARE(TMemoryUsagePanel::Usage_Text(1828864), QStringLiteral("  1828864/3657728 (50.00%)"));
    QCOMPARE(TMemoryUsagePanel::Usage_Text(1234), QStringLiteral("  1234/3657728 (0.03%)"));
}

void TestImagesPage::wheelScrollsByItsDelta()
{
    ImagesPageDriver d(dir.filePath("wheel.cvp"));
    d.select(BACKGROUNDS_IDX);
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files << Write_Picture(QDir(dir.path()), QStringLiteral("w%1.png").arg(i), 480, 272, Qt::cyan);
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
    ImagesPageDriver d(dir.filePath("a11y.cvp"));
    d.select(LOGOS_IDX);
    d.drop({Write_Picture(QDir(dir.path()), "shown.png", 125, 85, Qt::red),
            Write_Picture(QDir(dir.path()), "left out.png", 125, 85, Qt::blue)});
    THandle_object& logos = d.handle(LOGOS_IDX);
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
    QAccessibleInterface* flow = QAccessible::queryAccessibleInterface(d.view()->Flow_Panel());
    QCOMPARE(flow->childCount(), 2);
    QCOMPARE(flow->child(1)->text(QAccessible::Name), QStringLiteral("LEFT OUT_PNG"));

    // The picture buttons by their hints, with a press action when enabled.
    d.tree()->setCurrentItem(d.tree()->topLevelItem(LOGOS_IDX)->child(1));
    TProjectTreePanel* panel = d.page()->Tree_Panel();
    const QList<QPair<QToolButton*, QString>> buttons{{panel->Rename_Button(), "Rename image"},
                                                      {panel->Move_Up_Button(), "Move image up"},
                                                      {panel->Move_Down_Button(), "Move image down"},
                                                      {panel->Delete_Button(), "Delete image"}};
    for (const auto& [button, hint] : buttons) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(a->text(QAccessible::Name), hint);
        QCOMPARE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
                 button != panel->Move_Down_Button());
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
    QAccessibleInterface* figure = QAccessible::queryAccessibleInterface(d.page()->Memory_Panel()->Usage_Label());
    QCOMPARE(figure->text(QAccessible::Name).trimmed(),
             TMemoryUsagePanel::Usage_Text(Project_Storage_Used(d.fx.form().Document().images())).trimmed());
}
