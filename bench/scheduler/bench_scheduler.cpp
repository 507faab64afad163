// bench_scheduler: how long the scheduler page takes to paint its seven day
// timelines on a full-HD window (a resize repaints them all), and to open the
// events editor on a day with eight events. Prints one line per figure; not
// run by CTest. --screenshots DIR also saves pictures of the page and editor.
#include "core/model/ScheduleModel.h"
#include "ui/scheduler/TSchedulerPage.h"
#include "ui/scheduler/Tcopy_events_Form.h"
#include "ui/scheduler/Tschedule_timeline_Frame.h"
#include "ui/scheduler/Tscheduled_events_form.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QStackedWidget>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void putEvent(TSchedule_Day& day, int slot, int minute, bool setsRun, int run, int mode)
{
    TSchedule_Event& e = day.daily_event[slot];
    setNewEventValues(e);
    e.minute_of_day = uint16_t(minute);
    e.settings_enable[0] = setsRun ? 1 : 0;
    e.settings_enable[1] = 1;
    e.settings_enable[2] = 1;
    e.run = uint8_t(run);
    e.mode = uint8_t(mode);
    e.in_use = 1;
}

// A busy week: Monday full (eight events, one repeating a minute), the other
// days two to four events each.
void fillWeek(TDevice_Config_v2& record)
{
    record.scheduler_enabled = 1;
    TSchedule_Day& monday = record.daily_schedule[1];
    const int minutes[8] = {0, 390, 425, 425, 720, 780, 1080, 1320};
    for (int slot = 0; slot < 8; ++slot)
        putEvent(monday, slot, minutes[slot], slot % 3 != 2, slot % 2, 1 + slot % 5);
    for (int d = 0; d < 7; ++d) {
        if (d == 1)
            continue;
        for (int i = 0; i < 2 + d % 3; ++i)
            putEvent(record.daily_schedule[d], i, 300 + i * 240 + d * 7, true, (i + 1) % 2, 5);
    }
    for (TSchedule_Day& day : record.daily_schedule)
        day.event_count = uint32_t(listedEventCount(day));
}

template <typename Pred> bool waitFor(Pred pred, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

struct Figures {
    double best = 0, median = 0;
};
Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void save(QWidget* w, const QDir& dir, const char* name)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!w->grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Paint and open times of the scheduler page.");
    parser.addHelpOption();
    QCommandLineOption rounds("rounds", "Paint rounds (default 200).", "N", "200");
    QCommandLineOption shots("screenshots", "Save pictures of the page and the editor into DIR.", "DIR");
    parser.addOption(rounds);
    parser.addOption(shots);
    parser.process(app);
    const int paintRounds = std::max(1, parser.value(rounds).toInt());

    TDevice_Config_v2 record{};
    fillWeek(record);
    TSchedulerPage page(record);
    page.editInPlace(record);
    page.resize(1920, 1080);
    page.show();
    waitFor([&] { return page.windowHandle() && page.windowHandle()->isExposed(); });
    page.Show_Device_Config(record);
    QCoreApplication::processEvents();

    std::vector<double> paints;
    for (int r = 0; r < paintRounds; ++r) {
        QElapsedTimer t;
        t.start();
        for (Tschedule_timeline_Frame* frame : page.timelines())
            frame->repaint();
        paints.push_back(t.nsecsElapsed() / 1e6);
    }
    const Figures paint = summarise(paints);
    const QSize frameSize = page.schedule_dow_Frame(1)->size();
    std::printf("paint_all_timelines_ms best %.3f median %.3f (7 timelines of %dx%d, page 1920x1080, %d rounds)\n",
                paint.best, paint.median, frameSize.width(), frameSize.height(), paintRounds);

    Tscheduled_events_form* form = page.eventsForm();
    std::vector<double> opens;
    double first = 0;
    for (int r = 0; r < 21; ++r) {
        QElapsedTimer t;
        t.start();
        page.schedule_dow_Click_cb_fn(2);
        waitFor([&] { return form->windowHandle() && form->windowHandle()->isExposed(); });
        form->repaint();
        const double ms = t.nsecsElapsed() / 1e6;
        if (r == 0)
            first = ms;
        else
            opens.push_back(ms);
        if (r == 0 && parser.isSet(shots)) {
            QDir dir(parser.value(shots));
            dir.mkpath(".");
            save(&page, dir, "scheduler_page.png");
            save(form, dir, "editor_list.png");
            form->findChild<QToolButton*>("evtBtn1")->click();
            save(form, dir, "editor_edit.png");
            form->findChild<QStackedWidget*>("PageControl1")->setCurrentIndex(0);
            form->copyForm()->Init(2);
            form->copyForm()->show();
            save(form->copyForm(), dir, "copy_dialog.png");
            form->copyForm()->hide();
            record.scheduler_enabled = 0;
            form->reject();
            page.Show_Device_Config(record);
            save(page.schedule_dow_Frame(2), dir, "timeline_disabled.png");
            record.scheduler_enabled = 1;
            page.Show_Device_Config(record);
            continue;
        }
        form->reject();
        waitFor([&] { return !form->isVisible(); });
    }
    const Figures open = summarise(opens);
    std::printf("open_editor_8_events_ms first %.3f best %.3f median %.3f (shown and painted, %zu reopenings)\n", first,
                open.best, open.median, opens.size());
    return 0;
}
