#include "AppearanceFixture.h"
#include "test_appearance.h"

#include "ui/config_editor/Timg_cell_Frame.h"
#include "ui/config_editor/Timg_select_Form.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStyle>
#include <QtTest>

namespace {
// The five handles of a new project, with count pictures in BACKGROUNDS and LOGOS.
struct Images {
    THandleList list;
    explicit Images(int count)
    {
        createDefaultHandles(list);
        for (int i = 0; i < count; ++i) {
            addImage(list, kBackgroundsIdx, QStringLiteral("BG%1").arg(i), handlePicture(*list[0], Qt::darkGreen));
            addImage(list, kLogosIdx, QStringLiteral("LOGO%1").arg(i), handlePicture(*list[1]));
        }
    }
};

// Opens the window on a handle as the appearance page does.
void openOn(Timg_select_Form& window, THandle_object* handle, bool enabled, int pct)
{
    window.handle_obj = handle;
    window.imgEnabled = enabled;
    window.img_scale_pct = pct;
    window.open();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("selection window never shown");
}

void close(Timg_select_Form& window)
{
    window.done(Timg_select_Form::kCancel);
    QVERIFY(!window.isVisible());
}
} // namespace

void TestImageSelect::imageSizesFollowScaleAndScreen_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<int>("handle");
    QTest::addColumn<int>("pct");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("backgrounds 50 % at 96 dpi") << "ordinary" << 0 << 50 << QSize(240, 136);
    QTest::newRow("logos 100 % at 96 dpi") << "ordinary" << 1 << 100 << QSize(125, 85);
    QTest::newRow("backgrounds 50 % at 120 dpi") << "dense" << 0 << 50 << QSize(300, 170);
    QTest::newRow("logos 100 % at 120 dpi") << "dense" << 1 << 100 << QSize(156, 106);
}

void TestImageSelect::imageSizesFollowScaleAndScreen()
{
    QFETCH(QString, screen);
    QFETCH(int, handle);
    QFETCH(int, pct);
    QFETCH(QSize, pixels);
    QScreen* target = nullptr;
    for (QScreen* s : QGuiApplication::screens())
        if (s->name() == screen)
            target = s;
    if (!target)
        QSKIP("runs with the two screens of screens.json (see CMakeLists.txt)");
    Images images(2);
    Timg_select_Form window;
    window.move(target->geometry().topLeft() + QPoint(20, 20));
    openOn(window, images.list[std::size_t(handle)].get(), true, pct);
    QCOMPARE(window.screen(), target);

    QCOMPARE(window.cellPixelSize(), pixels);
    const qreal ratio = window.devicePixelRatioF();
    for (Timg_cell_Frame* frame : window.imgList) {
        const QPixmap shown = frame->Image1()->pixmap();
        QCOMPARE(shown.size(), pixels);
        QCOMPARE(frame->Image1()->pos(), QPoint(5, 5));
        QCOMPARE(qRound(frame->Image1()->width() * ratio), pixels.width());
        QCOMPARE(frame->size(), frame->Image1()->size() + QSize(10, 10));
    }
    // One row, no wrapping; the window as high as a frame and its panels.
    const QSize frame = window.imgList.first()->size();
    QCOMPARE(window.img_FlowPanel()->size(), QSize(2 * frame.width(), frame.height()));
    const int scrollBar = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window);
    QCOMPARE(window.height(), frame.height() + 50 + 52 + 2 * scrollBar);
    close(window);
}

void TestImageSelect::everyImageGetsANamedFrame()
{
    Images images(3);
    images.list[kBackgroundsIdx]->cells[1]->included = false;
    Timg_select_Form window;
    QCOMPARE(window.frame_counter, 1000);
    openOn(window, images.list[kBackgroundsIdx].get(), true, 50);
    QStringList names;
    for (Timg_cell_Frame* frame : window.imgList)
        names << frame->objectName() + QStringLiteral("=") + QString::number(frame->idx);
    QCOMPARE(names, QStringList({"ImageFrame1000=0", "ImageFrame1001=1", "ImageFrame1002=2"}));
    QVERIFY(window.img_FlowPanel()->isVisible());
    close(window);
    QTRY_VERIFY(window.findChildren<Timg_cell_Frame*>().isEmpty());

    // The counter only grows; a second showing starts with fresh frames.
    openOn(window, images.list[kLogosIdx].get(), true, 100);
    QCOMPARE(window.imgList.size(), 3);
    QCOMPARE(window.imgList.first()->objectName(), QStringLiteral("ImageFrame1003"));
    QCOMPARE(window.findChildren<Timg_cell_Frame*>().size(), 3);
    close(window);
}

void TestImageSelect::veiledImagesCannotBeChosen()
{
    Images images(2);
    Timg_select_Form window;
    openOn(window, images.list[kBackgroundsIdx].get(), false, 50);
    QVERIFY(!window.img_enabled_CheckBox()->isChecked());
    QVERIFY(!window.img_ScrollBox()->isEnabled());
    for (Timg_cell_Frame* frame : window.imgList) {
        QVERIFY(frame->dim_Image()->isVisible());
        QCOMPARE(frame->dim_Image()->geometry(), frame->rect());
    }
    Timg_cell_Frame* first = window.imgList.first();
    QTest::mouseClick(first, Qt::LeftButton, {}, first->rect().center());
    QAccessible::queryAccessibleInterface(first)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QVERIFY(window.isVisible());

    // Ticking lifts the veils and lets a click choose.
    window.img_enabled_CheckBox()->click();
    QVERIFY(window.imgEnabled);
    QVERIFY(window.img_ScrollBox()->isEnabled());
    for (Timg_cell_Frame* frame : window.imgList)
        QVERIFY(!frame->dim_Image()->isVisible());
    Timg_cell_Frame* second = window.imgList.at(1);
    QTest::mouseClick(second, Qt::LeftButton, {}, second->rect().center());
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(window.result(), Timg_select_Form::kClicked + 1);
}

void TestImageSelect::emptyHandleLeavesShowImageClear_data()
{
    QTest::addColumn<bool>("tickedBefore");
    QTest::newRow("ticked at the previous showing") << true;
    QTest::newRow("clear at the previous showing") << false;
}

void TestImageSelect::emptyHandleLeavesShowImageClear()
{
    QFETCH(bool, tickedBefore);
    Images full(1);
    Images empty(0);
    Timg_select_Form window;
    openOn(window, full.list[kLogosIdx].get(), tickedBefore, 100);
    QCOMPARE(window.img_enabled_CheckBox()->isChecked(), tickedBefore);
    close(window);

    openOn(window, empty.list[kLogosIdx].get(), true, 100);
    QVERIFY(window.imgList.isEmpty());
    QVERIFY(!window.img_FlowPanel()->isVisible());
    QVERIFY(!window.img_enabled_CheckBox()->isChecked());
    QVERIFY(!window.imgEnabled);
    close(window);
}

void TestImageSelect::galleryColour()
{
    Images images(1);
    Timg_select_Form window;
    openOn(window, images.list[kLogosIdx].get(), true, 100);
    const QColor windowColour = window.palette().color(QPalette::Window);
    const auto ground = [&window] { return window.img_ScrollBox()->viewport()->palette().color(QPalette::Window); };
    QCOMPARE(window.bgcol_TrackBar()->value(), 0);
    QCOMPARE(ground(), windowColour);
    window.bgcol_TrackBar()->setValue(1);
    QCOMPARE(ground(), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(window.scrollbox_color, QColor(0xC0, 0xC0, 0xC0));
    window.img_enabled_CheckBox()->click();
    QCOMPARE(ground(), window.palette().color(QPalette::Button));
    window.bgcol_TrackBar()->setValue(0); // remembered, not shown while disabled
    QCOMPARE(ground(), window.palette().color(QPalette::Button));
    window.img_enabled_CheckBox()->click();
    QCOMPARE(ground(), windowColour);
    QCOMPARE(QAccessible::queryAccessibleInterface(window.bgcol_TrackBar())->text(QAccessible::Name),
             QStringLiteral("Change gallery background colour"));
    close(window);

    // Each showing starts from the window colour.
    window.bgcol_TrackBar()->setValue(1);
    openOn(window, images.list[kLogosIdx].get(), true, 100);
    QCOMPARE(window.bgcol_TrackBar()->value(), 0);
    QCOMPARE(ground(), windowColour);
    close(window);
}

void TestImageSelect::frameLightsUpUnderThePointer()
{
    Images images(2);
    Timg_select_Form window;
    openOn(window, images.list[kLogosIdx].get(), true, 100);
    Timg_cell_Frame* first = window.imgList.at(0);
    Timg_cell_Frame* second = window.imgList.at(1);
    QTest::mouseMove(first, first->rect().center());
    QTRY_VERIFY(first->isHighlighted());
    QTest::mouseMove(second, second->rect().center());
    QTRY_VERIFY(second->isHighlighted());
    QTRY_VERIFY(!first->isHighlighted());
    // The red frame lies in the margin, around the picture.
    const QImage shot = second->grab().toImage();
    QCOMPARE(QColor(shot.pixel(1, shot.height() / 2)), QColor(Qt::red));
    close(window);
}

void TestImageSelect::cellsAreButtonsForAssistiveTools()
{
    Images images(3);
    Timg_select_Form window;
    openOn(window, images.list[kLogosIdx].get(), true, 100);
    for (Timg_cell_Frame* frame : window.imgList) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(frame);
        QCOMPARE(iface->role(), QAccessible::Button);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("LOGO%1").arg(frame->idx));
        QVERIFY(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    for (QWidget* w : {static_cast<QWidget*>(window.img_enabled_CheckBox()), static_cast<QWidget*>(window.ok_Button()),
                       static_cast<QWidget*>(window.cancel_Button())})
        QVERIFY(!QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty());
    // The keyboard chooses too.
    Timg_cell_Frame* last = window.imgList.last();
    last->setFocus();
    QTest::keyClick(last, Qt::Key_Space);
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(window.result(), Timg_select_Form::kClicked + 2);
}

void TestImageSelect::resultsOfTheButtons()
{
    Images images(1);
    Timg_select_Form window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Select Image..."));
    for (auto [button, result] : {std::pair{&Timg_select_Form::ok_Button, Timg_select_Form::kOk},
                                  std::pair{&Timg_select_Form::cancel_Button, Timg_select_Form::kCancel}}) {
        openOn(window, images.list[kBackgroundsIdx].get(), true, 50);
        // The window says how it is used, beside its buttons.
        QVERIFY(window.howToChooseLabel()->isVisible());
        QCOMPARE(window.howToChooseLabel()->text(), Timg_select_Form::howToChooseText());
        QPushButton* b = (window.*button)();
        QTest::mouseClick(b, Qt::LeftButton);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.result(), result);
    }
    openOn(window, images.list[kBackgroundsIdx].get(), true, 50);
    QTest::keyClick(&window, Qt::Key_Escape);
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(window.result() < Timg_select_Form::kOk);
}
