// Times the appearance page: a colour slider move until the tinted 480 x 272
// background preview is repainted, and opening the image selection window on
// 30 backgrounds (and on 30 logos) until it is painted. With --screenshots
// DIR it also saves the page and both selection windows as PNG files, named
// after the screen's pixel ratio (run with QT_SCALE_FACTOR=1.25 for 120 dpi).
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_appearance [--rounds N] [--screenshots DIR]

#include "ProjectFixtures.h"
#include "core/model/DeviceConfig.h"
#include "core/model/PixelFormatTable.h"
#include "core/model/ProjectModel.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TAppearancePreview.h"
#include "ui/config_editor/Timg_cell_Frame.h"
#include "ui/config_editor/Timg_select_Form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QSlider>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Figures {
    double best = 0, median = 0, worst = 0;
};

Figures figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

double elapsedMs(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void print(const char* what, const std::vector<double>& ms)
{
    const Figures f = figures(ms);
    std::printf("%s: best %.3f ms, median %.3f ms, worst %.3f ms (%zu runs)\n", what, f.best, f.median, f.worst,
                ms.size());
}

// A sky with a sun and hills, different for each i.
QImage backgroundPicture(int i)
{
    QImage image(480, 272, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 272);
    sky.setColorAt(0, QColor::fromHsv((200 + i * 11) % 360, 160, 230));
    sky.setColorAt(1, QColor::fromHsv((30 + i * 7) % 360, 90, 255));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(255, 220, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(90 + (i * 37) % 300, 80), 34, 34);
    p.setBrush(QColor(40, 110 + (i * 5) % 80, 60));
    p.drawEllipse(QRect(-120, 190, 420, 200));
    p.drawEllipse(QRect(200, 205, 420, 200));
    return image;
}

// A rounded badge with a word on a transparent ground.
QImage logoPicture(int i)
{
    QImage image(125, 85, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 125, 85);
    fill.setColorAt(0, QColor::fromHsv((i * 41) % 360, 200, 220));
    fill.setColorAt(1, QColor::fromHsv((i * 41 + 60) % 360, 220, 120));
    p.setBrush(fill);
    p.setPen(QPen(Qt::white, 3));
    p.drawRoundedRect(QRectF(4, 8, 117, 69), 16, 16);
    QFont f = p.font();
    f.setPixelSize(24);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(4, 8, 117, 69), Qt::AlignCenter, QStringLiteral("HVAC %1").arg(i + 1));
    return image;
}

void addImage(THandle_object& handle, const QString& name, const QImage& picture)
{
    addFixtureImage(handle, name, picture);
}

bool save(QWidget& widget, const QDir& dir, const QString& name, const QString& ratio)
{
    const QString file = dir.filePath(QStringLiteral("%1_%2dpi.png").arg(name, ratio));
    if (!widget.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("saved %s\n", qPrintable(file));
    return true;
}

// Opens the window as the page does, waits until it has been painted and
// returns the time that took; closes it again.
double openAndPaint(Timg_select_Form& window, THandle_object& handle, int pct)
{
    window.bgcol_Panel()->setVisible(handle.id != 1); // only for logos, as the page does
    window.handle_obj = &handle;
    window.imgEnabled = true;
    window.img_scale_pct = pct;
    QElapsedTimer t;
    t.start();
    window.open();
    window.repaint();
    const double ms = elapsedMs(t);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times the appearance page and the image selection window."));
    parser.addHelpOption();
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), QStringLiteral("Repetitions (default 50)."),
                                          QStringLiteral("N"), QStringLiteral("50"));
    const QCommandLineOption shotsOption(QStringLiteral("screenshots"),
                                         QStringLiteral("Save the page and the selection windows as PNG files in DIR."),
                                         QStringLiteral("DIR"));
    parser.addOption(roundsOption);
    parser.addOption(shotsOption);
    parser.process(app);
    const int rounds = std::max(1, parser.value(roundsOption).toInt());

    THandleList images;
    createDefaultHandles(images);
    for (int i = 0; i < 30; ++i) {
        addImage(*images[kBackgroundsIdx], QStringLiteral("LANDSCAPE %1_PNG").arg(i + 1), backgroundPicture(i));
        addImage(*images[kLogosIdx], QStringLiteral("BADGE %1_PNG").arg(i + 1), logoPicture(i));
    }
    TDevice_Config_v2 record = newProjectConfig();
    record.theme_background_enabled = 1;
    record.theme_logo_enabled = 1;
    record.theme_background_index = 3;
    record.theme_logo_index = 2;
    record.theme_colour = 0x00FFE0C0;

    TAppearancePage page(record, images);
    page.editInPlace(record);
    page.resize(page.sizeHint());
    page.show();
    QElapsedTimer exposure;
    exposure.start();
    while (!(page.windowHandle() && page.windowHandle()->isExposed()) && exposure.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!page.windowHandle() || !page.windowHandle()->isExposed()) {
        std::fprintf(stderr, "the page was never shown\n");
        return 1;
    }
    page.Show_Appearance(record);
    QApplication::processEvents();

    // A drag: one slider step after another, each until the preview is painted.
    QSlider* green = page.trackBar(1);
    TAppearancePreview* preview = page.bgrd_preview_Image();
    std::vector<double> tintOnly;
    std::vector<double> moveAndPaint;
    for (int r = 0; r < rounds; ++r) {
        for (int step = 0; step < 20; ++step) {
            const int level = 255 - ((r * 20 + step) % 200);
            QElapsedTimer t;
            t.start();
            green->setValue(level);
            tintOnly.push_back(elapsedMs(t));
            preview->repaint();
            moveAndPaint.push_back(elapsedMs(t));
        }
    }

    std::vector<double> showAppearance;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        page.Show_Appearance(record);
        page.repaint();
        showAppearance.push_back(elapsedMs(t));
    }

    Timg_select_Form window(&page);
    std::vector<double> openBackgrounds;
    std::vector<double> openLogos;
    const int opens = std::max(3, rounds / 5);
    for (int r = 0; r < opens; ++r) {
        openBackgrounds.push_back(openAndPaint(window, *images[kBackgroundsIdx], 50));
        window.done(Timg_select_Form::kCancel);
        QApplication::processEvents();
        openLogos.push_back(openAndPaint(window, *images[kLogosIdx], 100));
        window.done(Timg_select_Form::kCancel);
        QApplication::processEvents();
    }

    std::printf("screen pixel ratio %.2f, %d rounds\n", page.devicePixelRatioF(), rounds);
    print("slider move, tint of the 480 x 272 background only", tintOnly);
    print("slider move to repainted tinted preview", moveAndPaint);
    print("Show_Appearance and repaint (dithered logo included)", showAppearance);
    print("open selection window on 30 backgrounds (50 %), painted", openBackgrounds);
    print("open selection window on 30 logos (100 %), painted", openLogos);

    if (parser.isSet(shotsOption)) {
        const QDir dir(parser.value(shotsOption));
        dir.mkpath(QStringLiteral("."));
        const QString ratio = QString::number(page.devicePixelRatioF() * 96, 'f', 0);
        bool ok = save(page, dir, QStringLiteral("appearance"), ratio);
        // The pointer over the logo: its frame shows.
        QWidget* logo = page.logo_preview_Image();
        QEnterEvent enter(QPointF(5, 5), logo->mapTo(&page, QPointF(5, 5)), logo->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(logo, &enter);
        ok = save(page, dir, QStringLiteral("appearance_logo_highlight"), ratio) && ok;
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(logo, &leave);
        openAndPaint(window, *images[kBackgroundsIdx], 50);
        window.imgList.at(1)->setFocus();
        ok = save(window, dir, QStringLiteral("select_backgrounds"), ratio) && ok;
        window.img_enabled_CheckBox()->click();
        ok = save(window, dir, QStringLiteral("select_backgrounds_veiled"), ratio) && ok;
        window.done(Timg_select_Form::kCancel);
        openAndPaint(window, *images[kLogosIdx], 100);
        ok = save(window, dir, QStringLiteral("select_logos"), ratio) && ok;
        window.done(Timg_select_Form::kCancel);
        if (!ok)
            return 1;
    }
    return 0;
}
