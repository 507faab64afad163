// Times Show_Device_Config on a full record and the switch between the
// configuration pages (the page brought to the front and painted). With
// --screenshots DIR it also saves the general, user-interface and occupancy
// pages as PNG files, named after the screen's pixel ratio (run with
// QT_SCALE_FACTOR=1.5 for a 144 dpi screen).
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_config_editor [--rounds N] [--screenshots DIR]

#include "core/model/DeviceConfig.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/scheduler/TSchedulerPage.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Every option on, limits apart, three full service text lines.
TDevice_Config_v2 fullRecord()
{
    TDevice_Config_v2 r = newProjectConfig();
    r.controller_type = 0;
    r.show_setpoint_dp = 1;
    r.frost_protection_enabled = 1;
    std::fill(std::begin(r.rc_ctrl_enable), std::end(r.rc_ctrl_enable), 1);
    std::fill(std::begin(r.md_ctrl_enable), std::end(r.md_ctrl_enable), 1);
    std::fill(std::begin(r.fs_ctrl_enable), std::end(r.fs_ctrl_enable), 1);
    std::fill(std::begin(r.ad_ctrl_enable), std::end(r.ad_ctrl_enable), 1);
    r.ad_ctrl_enable[2] = 0;
    r.md_ctrl_enable[3] = 0;
    r.occupancy_strategy_enable = 3;
    r.unoccupied_min_temp = 160;
    r.unoccupied_max_temp = 260;
    r.occupied_run = 1;
    r.occupied_mode = 1;
    r.occupied_setpoint = 225;
    r.occupied_fanspeed = 3;
    r.occupied_airdir = 1;
    r.occupied_settings_enable[2] = 0;
    writeServiceText(QStringLiteral("Service: Corvane Climate Ltd\rCall 0100 555 0199 (24 h)\rRef. plant room B-2"), r);
    return r;
}

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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times the configuration pages."));
    parser.addHelpOption();
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), QStringLiteral("Repetitions (default 50)."),
                                          QStringLiteral("N"), QStringLiteral("50"));
    const QCommandLineOption shotsOption(QStringLiteral("screenshots"),
                                         QStringLiteral("Save the three edited pages as PNG files in DIR."),
                                         QStringLiteral("DIR"));
    parser.addOption(roundsOption);
    parser.addOption(shotsOption);
    parser.process(app);
    const int rounds = std::max(1, parser.value(roundsOption).toInt());

    TDevice_Config_v2 record = fullRecord();
    TConfigurationPage page(record);
    page.editInPlace(record);
    page.setSchedulerPage(new TSchedulerPage(record));
    page.resize(900, 560);
    page.show();
    QApplication::processEvents();
    QTabWidget* tabs = page.cfg_PageControl();

    // The first switch to each page renders its pictures; later ones reuse them.
    std::vector<double> firstSwitch;
    for (int i = 1; i < tabs->count(); ++i) {
        QElapsedTimer t;
        t.start();
        tabs->setCurrentIndex(i);
        page.repaint();
        firstSwitch.push_back(elapsedMs(t));
    }
    tabs->setCurrentIndex(0);
    page.repaint();

    std::vector<double> show;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        page.Show_Device_Config(record);
        show.push_back(elapsedMs(t));
        QApplication::processEvents();
    }

    std::vector<double> showAndPaint;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        page.Show_Device_Config(record);
        page.repaint();
        showAndPaint.push_back(elapsedMs(t));
    }

    std::vector<double> switches;
    std::vector<std::vector<double>> switchesTo(size_t(tabs->count()));
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < tabs->count(); ++i) {
            const int next = (i + 1) % tabs->count();
            QElapsedTimer t;
            t.start();
            tabs->setCurrentIndex(next);
            page.repaint();
            switches.push_back(elapsedMs(t));
            switchesTo[size_t(next)].push_back(elapsedMs(t));
        }
    }

    const Figures s = figures(show);
    const Figures w = figures(switches);
    const Figures c = figures(firstSwitch);
    std::printf("screen pixel ratio %.2f, %d rounds\n", page.devicePixelRatioF(), rounds);
    std::printf("Show_Device_Config (full record): best %.3f ms, median %.3f ms, worst %.3f ms\n", s.best, s.median,
                s.worst);
    const Figures sp = figures(showAndPaint);
    std::printf("Show_Device_Config and repaint: best %.3f ms, median %.3f ms, worst %.3f ms\n", sp.best, sp.median,
                sp.worst);
    std::printf("page switch incl. paint: best %.3f ms, median %.3f ms, worst %.3f ms (%zu switches)\n", w.best,
                w.median, w.worst, switches.size());
    for (size_t i = 0; i < switchesTo.size(); ++i) {
        const Figures p = figures(switchesTo[i]);
        std::printf("  to %-24s median %.3f ms, worst %.3f ms\n",
                    qPrintable(tabs->tabToolTip(int(i)) + QLatin1Char(':')), p.median, p.worst);
    }
    std::printf("first switch to a page (pictures rendered): worst %.3f ms\n", c.worst);

    if (parser.isSet(shotsOption)) {
        const QDir dir(parser.value(shotsOption));
        dir.mkpath(QStringLiteral("."));
        const QString ratio = QString::number(page.devicePixelRatioF() * 96, 'f', 0);
        const char* names[] = {"general", "occupancy", "user_interface"};
        for (int i = 0; i < 3; ++i) {
            tabs->setCurrentIndex(i);
            const QString file = dir.filePath(QStringLiteral("%1_%2dpi.png").arg(QLatin1String(names[i]), ratio));
            if (!page.grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
            std::printf("saved %s\n", qPrintable(file));
        }
    }
    return 0;
}
