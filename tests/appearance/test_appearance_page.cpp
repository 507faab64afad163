#include "AppearanceFixture.h"
#include "test_appearance.h"

#include "core/imaging/BmpConverter.h"
#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/TAppearancePreview.h"
#include "ui/config_editor/TOutlineShape.h"
#include "ui/config_editor/Timg_cell_Frame.h"
#include "ui/config_editor/Timg_select_Form.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {
constexpr QRgb kWhite = 0xFFFFFFFF;

// A slider's position counts from the top; its value is the level.
void setPosition(QSlider* slider, int position)
{
    slider->setValue(255 - position);
}

bool allPixels(const QImage& image, QRgb value)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != value)
                return false;
    return !image.isNull();
}

QImage premultiplied(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

Timg_cell_Frame* frameAt(Timg_select_Form* window, int idx)
{
    for (Timg_cell_Frame* frame : window->imgList)
        if (frame->idx == idx)
            return frame;
    qFatal("no frame for image %d", idx);
    return nullptr;
}
} // namespace

void TestAppearancePage::slidersSetLevelsColourAndTint_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<QRgb>("source");
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<QRgb>("shown");
    QTest::newRow("0/128/255 on white") << 0 << 128 << 255 << kWhite << 0x00FF7F00u << qRgb(255, 127, 0);
    QTest::newRow("all at the top") << 0 << 0 << 0 << qRgb(10, 200, 33) << 0x00FFFFFFu << qRgb(10, 200, 33);
    QTest::newRow("all at the bottom") << 255 << 255 << 255 << kWhite << 0x00000000u << qRgb(0, 0, 0);
    // 100 x 127 / 255 = 49.8, truncated.
    QTest::newRow("integer division") << 128 << 1 << 254 << qRgb(100, 100, 100) << 0x007FFE01u << qRgb(49, 99, 0);
}

void TestAppearancePage::slidersSetLevelsColourAndTint()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(QRgb, source);
    QFETCH(quint32, colour);
    QFETCH(QRgb, shown);
    AppearanceFixture f;
    addImage(f.images, kBackgroundsIdx, "SKY", handlePicture(*f.images[0], QColor::fromRgb(source)));
    f.record.theme_background_enabled = 1;
    f.record.theme_colour = 0x12345678; // the top byte is not a level: moving a slider clears it
    f.show();
    const QImage untinted = f.page->bg_preview_2_Image()->picture();

    setPosition(f.page->trackBar(0), red);
    setPosition(f.page->trackBar(1), green);
    setPosition(f.page->trackBar(2), blue);

    QCOMPARE(f.page->levelLabel(0)->text(), QString::number(255 - red));
    QCOMPARE(f.page->levelLabel(1)->text(), QString::number(255 - green));
    QCOMPARE(f.page->levelLabel(2)->text(), QString::number(255 - blue));
    QCOMPARE(f.record.theme_colour, colour);
    const QImage tinted = f.page->bgrd_preview_Image()->picture();
    QCOMPARE(tinted.size(), QSize(480, 272));
    QVERIFY(allPixels(tinted, shown));
    QVERIFY(f.page->bg_preview_2_Image()->picture() == untinted);
    QVERIFY(f.changes >= 1);
}

void TestAppearancePage::slidersSpeakTheirLevel()
{
    AppearanceFixture f;
    f.show();
    const QStringList colours{"Red", "Green", "Blue"};
    for (int tag = 0; tag < 3; ++tag) {
        QSlider* slider = f.page->trackBar(tag);
        QCOMPARE(slider->property("Tag").toInt(), tag);
        QCOMPARE(slider->pageStep(), 5);
        QCOMPARE(slider->tickInterval(), 16);
        setPosition(slider, 40 * (tag + 1));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(slider);
        QVERIFY(iface->text(QAccessible::Name).startsWith(colours[tag]));
        QAccessibleValueInterface* value = iface->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toInt(), 255 - 40 * (tag + 1));
        QCOMPARE(f.page->levelLabel(tag)->text(), value->currentValue().toString());
        // Up raises the level, as the handle moves up.
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Up);
        QCOMPARE(f.page->levelLabel(tag)->text(), QString::number(256 - 40 * (tag + 1)));
    }
}

void TestAppearancePage::showAppearance_data()
{
    QTest::addColumn<int>("backgrounds");
    QTest::addColumn<int>("logos");
    QTest::addColumn<int>("handles");
    QTest::addColumn<int>("bgIndex");
    QTest::addColumn<bool>("bgEnabled");
    QTest::addColumn<int>("logoIndex");
    QTest::addColumn<bool>("logoEnabled");
    QTest::addColumn<int>("bgShows"); // position shown, -1 blank white
    QTest::addColumn<bool>("bgHint");
    QTest::addColumn<int>("logoShows"); // position shown, -1 blank white, -2 nothing
    QTest::addColumn<bool>("logoHint");
    QTest::newRow("index 3 of two backgrounds") << 2 << 1 << 5 << 3 << true << 0 << true << -1 << true << 0 << false;
    QTest::newRow("both chosen") << 3 << 2 << 5 << 2 << true << 1 << true << 2 << false << 1 << false;
    QTest::newRow("disabled background, missing logo")
        << 3 << 0 << 5 << 1 << false << 0 << true << -1 << false << -1 << true;
    QTest::newRow("disabled logo") << 1 << 2 << 5 << 0 << true << 1 << false << 0 << false << -2 << false;
    QTest::newRow("missing and disabled keeps the marker")
        << 0 << 0 << 5 << 4 << false << 4 << false << -1 << true << -2 << true;
    QTest::newRow("fewer than two handles") << 0 << 0 << 1 << 0 << true << 0 << true << -1 << true << -2 << true;
}

void TestAppearancePage::showAppearance()
{
    QFETCH(int, backgrounds);
    QFETCH(int, logos);
    QFETCH(int, handles);
    QFETCH(int, bgIndex);
    QFETCH(bool, bgEnabled);
    QFETCH(int, logoIndex);
    QFETCH(bool, logoEnabled);
    QFETCH(int, bgShows);
    QFETCH(bool, bgHint);
    QFETCH(int, logoShows);
    QFETCH(bool, logoHint);
    AppearanceFixture f;
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < backgrounds; ++i)
        addImage(f.images, kBackgroundsIdx, QStringLiteral("BG%1").arg(i), handlePicture(*f.images[0], colours[i]));
    for (int i = 0; i < logos; ++i)
        addImage(f.images, kLogosIdx, QStringLiteral("LOGO%1").arg(i), handlePicture(*f.images[1], colours[i]));
    f.images.resize(std::size_t(handles));
    f.record.theme_background_index = uint8_t(bgIndex);
    f.record.theme_background_enabled = bgEnabled;
    f.record.theme_logo_index = uint8_t(logoIndex);
    f.record.theme_logo_enabled = logoEnabled;
    f.show();

    const QImage background = f.page->bgrd_preview_Image()->picture();
    QCOMPARE(background.size(), QSize(480, 272));
    QVERIFY(allPixels(background, bgShows < 0 ? kWhite : colours[bgShows].rgb()));
    QCOMPARE(f.page->bg_img_hint_Frame()->isVisible(), bgHint);
    QCOMPARE(f.page->bg_img_hint_Frame()->Tag(), 4);

    const QImage logo = f.page->logo_preview_Image()->picture();
    if (logoShows == -2) {
        QVERIFY(logo.isNull());
    } else {
        QCOMPARE(logo.size(), QSize(125, 85));
        if (logoShows < 0) {
            QVERIFY(allPixels(logo, kWhite));
        } else {
            // Logos are stored converted: the dithered form of the chosen one.
            const TCell_object& cell = *f.images[kLogosIdx]->cells[std::size_t(logoShows)];
            BmpConverter converter;
            QCOMPARE(premultiplied(logo),
                     premultiplied(converter.Convert_Bitmap(cell.dithering, cell.fmxbmp, 6, true)));
        }
    }
    QCOMPARE(f.page->logo_img_hint_Frame()->isVisible(), logoHint);
}

void TestAppearancePage::showingChangesNothingAndFollowsTheColour()
{
    AppearanceFixture f;
    addImage(f.images, kBackgroundsIdx, "SKY", handlePicture(*f.images[0], Qt::white));
    f.record.theme_colour = 0xA5204080; // a top byte that is no level stays as it is
    f.record.theme_background_enabled = 7;
    f.record.theme_logo_index = 200;
    const TDevice_Config_v2 before = f.record;
    f.show();
    f.show();
    QVERIFY(sameRecord(f.record, before));
    QCOMPARE(f.changes, 0);
    QCOMPARE(f.page->levelLabel(0)->text(), QStringLiteral("32"));
    QCOMPARE(f.page->levelLabel(1)->text(), QStringLiteral("64"));
    QCOMPARE(f.page->levelLabel(2)->text(), QStringLiteral("128"));
    QCOMPARE(f.page->trackBar(0)->value(), 32);
    QVERIFY(allPixels(f.page->bgrd_preview_Image()->picture(), qRgb(32, 64, 128)));
}

void TestAppearancePage::previewsShowTheStoredForm()
{
    AppearanceFixture f;
    THandle_object& logos = *f.images[kLogosIdx];
    THandle_object& backgrounds = *f.images[kBackgroundsIdx];
    TCell_object& logo = addImage(f.images, kLogosIdx, "RAMP", handlePicture(logos));
    TCell_object& background = addImage(f.images, kBackgroundsIdx, "RAMP", handlePicture(backgrounds));
    f.record.theme_background_enabled = 1;
    f.record.theme_logo_enabled = 1;
    f.show();

    // The logo handle stores converted pixels (format 6): the preview is the
    // conversion's, dithered with the image's own noise settings.
    BmpConverter converter;
    const QImage expected = converter.Convert_Bitmap(logo.dithering, logo.fmxbmp, logos.compression_format, true);
    const QImage shown = f.page->logo_preview_Image()->picture();
    QCOMPARE(premultiplied(shown), premultiplied(expected));
    QVERIFY(premultiplied(shown) != premultiplied(logo.fmxbmp));
    bool onlyFormatLevels = true; // 16 levels: every channel a multiple of 17
    for (int x = 0; x < shown.width(); ++x)
        onlyFormatLevels = onlyFormatLevels && qRed(shown.pixel(x, 40)) % 17 == 0;
    QVERIFY(onlyFormatLevels);
    // The backgrounds are stored as JPEG: shown as imported.
    QCOMPARE(premultiplied(f.page->bg_preview_2_Image()->picture()), premultiplied(background.fmxbmp));

    // A logo handle set to a code that is no pixel format: a blank picture
    // and the marker, not a failure.
    logos.compression_format = 12;
    f.show();
    QVERIFY(allPixels(f.page->logo_preview_Image()->picture(), kWhite));
    QVERIFY(f.page->logo_img_hint_Frame()->isVisible());
}

void TestAppearancePage::cancelChangesNothing()
{
    AppearanceFixture f;
    for (int i = 0; i < 3; ++i)
        addImage(f.images, kBackgroundsIdx, QStringLiteral("BG%1").arg(i), handlePicture(*f.images[0], Qt::yellow));
    f.record.theme_background_index = 1;
    f.record.theme_background_enabled = 1;
    f.record.theme_colour = 0x00808080;
    f.show();
    const TDevice_Config_v2 before = f.record;
    const QImage shown = f.page->bgrd_preview_Image()->picture();

    Timg_select_Form* window = f.open(f.page->bgrd_preview_Image());
    QCOMPARE(window->img_scale_pct, 50);
    QVERIFY(window->bgcol_Panel()->isHidden());
    // Untick, then cancel: nothing of it arrives.
    window->img_enabled_CheckBox()->click();
    f.finish(window->cancel_Button());
    QCOMPARE(window->result(), Timg_select_Form::kCancel);
    QVERIFY(sameRecord(f.record, before));
    QVERIFY(f.page->bgrd_preview_Image()->picture() == shown);
    QCOMPARE(f.changes, 0);
}

void TestAppearancePage::okWithoutClickEnablesPositionZero_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("three backgrounds") << 3;
    QTest::newRow("no backgrounds") << 0;
}

void TestAppearancePage::okWithoutClickEnablesPositionZero()
{
    QFETCH(int, count);
    AppearanceFixture f;
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < count; ++i)
        addImage(f.images, kBackgroundsIdx, QStringLiteral("BG%1").arg(i), handlePicture(*f.images[0], colours[i]));
    f.record.theme_background_enabled = 0;
    f.record.theme_background_index = 2;
    f.show();
    QVERIFY(allPixels(f.page->bgrd_preview_Image()->picture(), kWhite));

    Timg_select_Form* window = f.open(f.page->bgrd_preview_Image());
    QVERIFY(!window->img_enabled_CheckBox()->isChecked());
    if (count > 0)
        window->img_enabled_CheckBox()->click();
    f.finish(window->ok_Button());

    if (count > 0) {
        QCOMPARE(f.record.theme_background_enabled, uint8_t(1));
        QCOMPARE(f.record.theme_background_index, uint8_t(0));
        QVERIFY(allPixels(f.page->bgrd_preview_Image()->picture(), colours[0].rgb()));
        QVERIFY(!f.page->bg_img_hint_Frame()->isVisible());
        QVERIFY(f.changes >= 1);
    } else {
        // Nothing to show: the box cannot stay ticked, the record stays.
        QCOMPARE(f.record.theme_background_enabled, uint8_t(0));
        QCOMPARE(f.record.theme_background_index, uint8_t(2));
        QVERIFY(allPixels(f.page->bgrd_preview_Image()->picture(), kWhite));
        QCOMPARE(f.changes, 0);
    }
}

void TestAppearancePage::clickedImageIsChosen()
{
    AppearanceFixture f;
    addImage(f.images, kLogosIdx, "PLAIN", handlePicture(*f.images[kLogosIdx], Qt::black));
    TCell_object& ramp = addImage(f.images, kLogosIdx, "RAMP", handlePicture(*f.images[kLogosIdx]));
    ramp.included = false; // offered like any other
    f.record.theme_logo_enabled = 1;
    f.show();

    Timg_select_Form* window = f.open(f.page->logo_preview_Image());
    QCOMPARE(window->img_scale_pct, 100);
    QVERIFY(!window->bgcol_Panel()->isHidden());
    QCOMPARE(window->imgList.size(), 2);
    f.finish(frameAt(window, 1));
    QCOMPARE(window->result(), Timg_select_Form::kClicked + 1);
    QCOMPARE(f.record.theme_logo_index, uint8_t(1));
    QCOMPARE(f.record.theme_logo_enabled, uint8_t(1));
    BmpConverter converter;
    QCOMPARE(premultiplied(f.page->logo_preview_Image()->picture()),
             premultiplied(converter.Convert_Bitmap(ramp.dithering, ramp.fmxbmp, 6, true)));
    QCOMPARE(f.changes, 1);
    QCOMPARE(f.page->logo_preview_Image()->accessibleName(), QStringLiteral("Logo: RAMP"));
    // The frames go with the window.
    QTRY_VERIFY(window->findChildren<Timg_cell_Frame*>().isEmpty());
}

void TestAppearancePage::disablingBlanksTheScreenAndKeepsTheIndex()
{
    AppearanceFixture f;
    for (int i = 0; i < 2; ++i)
        addImage(f.images, kBackgroundsIdx, QStringLiteral("BG%1").arg(i), handlePicture(*f.images[0], Qt::blue));
    addImage(f.images, kLogosIdx, "LOGO", handlePicture(*f.images[kLogosIdx], Qt::red));
    f.record.theme_background_index = 1;
    f.record.theme_background_enabled = 1;
    f.record.theme_logo_enabled = 1;
    f.record.theme_colour = 0x00FF0000;
    f.show();

    Timg_select_Form* window = f.open(f.page->bgrd_preview_Image());
    QVERIFY(window->img_enabled_CheckBox()->isChecked());
    window->img_enabled_CheckBox()->click();
    f.finish(window->ok_Button());
    QCOMPARE(f.record.theme_background_enabled, uint8_t(0));
    QCOMPARE(f.record.theme_background_index, uint8_t(1));
    QVERIFY(allPixels(f.page->bg_preview_2_Image()->picture(), kWhite));
    QVERIFY(allPixels(f.page->bgrd_preview_Image()->picture(), qRgb(255, 0, 0))); // blank, tinted
    QCOMPARE(f.changes, 1);

    window = f.open(f.page->logo_preview_Image());
    window->img_enabled_CheckBox()->click();
    f.finish(window->ok_Button());
    QCOMPARE(f.record.theme_logo_enabled, uint8_t(0));
    QVERIFY(f.page->logo_preview_Image()->picture().isNull());
    QCOMPARE(f.page->logo_preview_Image()->accessibleName(), QStringLiteral("Logo: not shown"));
}

void TestAppearancePage::highlightsFollowThePointer()
{
    AppearanceFixture f;
    f.show();
    const auto shown = [&f](const char* name) { return f.page->findChild<TOutlineShape*>(name)->isVisible(); };
    const auto send = [](QWidget* w, QEvent::Type type) {
        if (type == QEvent::Enter) {
            QEnterEvent enter(QPointF(5, 5), w->mapTo(w->window(), QPointF(5, 5)), w->mapToGlobal(QPointF(5, 5)));
            QCoreApplication::sendEvent(w, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(w, &leave);
        }
    };
    QWidget* caseImage = f.page->findChild<QWidget*>("rc_case_Image");
    QWidget* surround = f.page->findChild<QWidget*>("Shape2");
    QVERIFY(caseImage && surround);
    for (const char* name :
         {"bg_highlight_Shape", "bg_highlight2_Shape", "logo_highlight_Shape", "logo_highlight2_Shape"})
        QVERIFY(!shown(name));

    send(caseImage, QEvent::Enter);
    for (const char* name :
         {"bg_highlight_Shape", "bg_highlight2_Shape", "logo_highlight_Shape", "logo_highlight2_Shape"})
        QVERIFY(shown(name));
    QCOMPARE(f.page->findChild<TOutlineShape*>("bg_highlight_Shape")->pen().style(), Qt::DashLine);
    QCOMPARE(f.page->findChild<TOutlineShape*>("bg_highlight2_Shape")->pen().width(), 5);
    send(caseImage, QEvent::Leave);
    send(f.page->bgrd_preview_Image(), QEvent::Enter);
    QVERIFY(shown("bg_highlight2_Shape") && shown("bg_highlight_Shape"));
    QVERIFY(!shown("logo_highlight2_Shape") && !shown("logo_highlight_Shape"));
    send(f.page->bgrd_preview_Image(), QEvent::Leave);
    send(f.page->logo_preview_Image(), QEvent::Enter);
    QVERIFY(!shown("bg_highlight2_Shape") && shown("logo_highlight2_Shape"));
    send(f.page->logo_preview_Image(), QEvent::Leave);
    QVERIFY(!shown("logo_highlight2_Shape") && !shown("logo_highlight_Shape"));
    send(surround, QEvent::Enter);
    QVERIFY(shown("bg_highlight2_Shape") && shown("logo_highlight2_Shape"));
    send(surround, QEvent::Leave);
    QVERIFY(!shown("bg_highlight2_Shape") && !shown("logo_highlight2_Shape"));
}

void TestAppearancePage::previewsAreButtonsForAssistiveTools()
{
    AppearanceFixture f;
    addImage(f.images, kBackgroundsIdx, "SUNSET_JPG", handlePicture(*f.images[0], Qt::magenta));
    addImage(f.images, kBackgroundsIdx, "DAWN_JPG", handlePicture(*f.images[0], Qt::cyan));
    f.record.theme_logo_index = 3;
    f.record.theme_background_enabled = 1;
    f.record.theme_logo_enabled = 1;
    f.show();

    QAccessibleInterface* background = QAccessible::queryAccessibleInterface(f.page->bgrd_preview_Image());
    QAccessibleInterface* logo = QAccessible::queryAccessibleInterface(f.page->logo_preview_Image());
    QCOMPARE(background->role(), QAccessible::Button);
    QCOMPARE(background->text(QAccessible::Name), QStringLiteral("Background: SUNSET_JPG"));
    QCOMPARE(logo->text(QAccessible::Name), QStringLiteral("Logo: image missing"));
    QVERIFY(!background->text(QAccessible::Description).isEmpty());

    // Pressing opens the window; pressing the second image chooses it.
    QAccessibleActionInterface* press = background->actionInterface();
    QVERIFY(press);
    QVERIFY(press->actionNames().contains(QAccessibleActionInterface::pressAction()));
    press->doAction(QAccessibleActionInterface::pressAction());
    Timg_select_Form* window = f.selection();
    QTRY_VERIFY(window->isVisible());
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(frameAt(window, 1));
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("DAWN_JPG"));
    cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(f.record.theme_background_index, uint8_t(1));
    QCOMPARE(background->text(QAccessible::Name), QStringLiteral("Background: DAWN_JPG"));
}
