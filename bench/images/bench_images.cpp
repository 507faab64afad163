// bench_images: how long the window takes to import 30 backgrounds and 30
// logos dropped onto the Images page, how long the window thread is held at
// a time meanwhile, and what opening the resulting project and showing its
// largest handle costs (time, and peak memory in a fresh process). Then 30
// flat-colour 480x272 pictures into backgrounds stored converted: zlib level 9
// takes hundreds of milliseconds on each, which must never reach the window.
//
//   bench_images                 the whole measurement
//   bench_images --open FILE     only the opening part, on FILE
#include "core/document/TProjectDocument.h"
#include "core/imaging/ImageImport.h"
#include "ui/app/TFileDialogs.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/common/gen_lib.h"
#include "ui/imaging/TImageDropImport.h"
#include "ui/imaging/TImageView.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QQueue>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QtConcurrent/QtConcurrentMap>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class ScriptedDialogs : public TFileDialogs {
public:
    QQueue<QString> answers;
    QString newProjectName(QWidget*, const QString&) override { return next(); }
    QString openProjectName(QWidget*, const QString&) override { return next(); }
    QString saveProjectName(QWidget*, const QString&) override { return next(); }

private:
    QString next() { return answers.isEmpty() ? QString() : answers.dequeue(); }
};

class AnswerYes : public TPrompter {
public:
    QMessageBox::StandardButton ask(const QString&, TMsgDlgType, QMessageBox::StandardButtons,
                                    QMessageBox::StandardButton) override
    {
        return QMessageBox::Yes;
    }
};

// The longest stretch the window thread went without running its timers, and
// the longest stretch of its own work between two runs of them (its thread
// time): on a loaded machine the first includes waits for a core, which the
// second leaves out.
class BlockMeter : public QObject {
public:
    BlockMeter()
    {
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            const qint64 cpu = threadCpuNs();
            if (now - m_last > 30000000 && qEnvironmentVariableIsSet("BENCH_IMAGES_TRACE"))
                std::printf("  held %.1f ms (window thread working %.1f ms of it), until %.1f ms\n",
                            (now - m_last) / 1e6, (cpu - m_lastCpu) / 1e6, now / 1e6);
            m_longest = qMax(m_longest, now - m_last);
            m_longestBusy = qMax(m_longestBusy, cpu - m_lastCpu);
            m_last = now;
            m_lastCpu = cpu;
        });
    }
    void start()
    {
        m_longest = 0;
        m_longestBusy = 0;
        m_clock.start();
        m_last = 0;
        m_lastCpu = threadCpuNs();
        m_timer.start();
    }
    double stopMs()
    {
        m_timer.stop();
        m_longest = qMax(m_longest, m_clock.nsecsElapsed() - m_last);
        m_longestBusy = qMax(m_longestBusy, threadCpuNs() - m_lastCpu);
        return m_longest / 1e6;
    }
    // The longest of the window thread's own work between two timer runs.
    double busyMs() const { return m_longestBusy / 1e6; }
    // Time spent in a call made on the window thread counts as blocking too.
    void noteCall(qint64 ns)
    {
        m_longest = qMax(m_longest, ns);
        m_longestBusy = qMax(m_longestBusy, ns);
    }

private:
    static qint64 threadCpuNs()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_lastCpu = 0;
    qint64 m_longest = 0;
    qint64 m_longestBusy = 0;
};

// A background like a photograph: gradients and noise (JPEG has work to do).
QImage photo(int i)
{
    QImage image(480, 272, QImage::Format_ARGB32);
    QRandomGenerator rng(quint32(i + 1));
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(rng.bounded(24));
            line[x] = qRgb((x + i * 7 + n) & 0xFF, (y + n) & 0xFF, (x + y + i * 31) / 3 & 0xFF);
        }
    }
    return image;
}

// A logo: flat colour with a little drawing, zlib's slow case at level 9.
QImage logoPicture(int i)
{
    QImage image(125, 85, QImage::Format_ARGB32);
    image.fill(QColor::fromHsv((i * 37) % 360, 200, 220));
    QPainter p(&image);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(QRect(20, 10, 85, 65));
    return image;
}

// One flat colour: every match search of zlib level 9 runs to the end of
// its chain over the repeating dither pattern.
QImage flat(int i)
{
    QImage image(480, 272, QImage::Format_ARGB32);
    image.fill(QColor::fromHsv((i * 37) % 360, 180, 160));
    return image;
}

QStringList writePictures(const QDir& dir, const char* stem, int count, QImage (*make)(int))
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1 %2.png").arg(QLatin1String(stem)).arg(i));
        make(i).save(path, "PNG");
        paths << path;
    }
    return paths;
}

void select(Tbmpgen_Form& window, int position)
{
    QTreeWidget* tree = window.treePanel()->Project_TreeView();
    tree->setCurrentItem(tree->topLevelItem(position));
}

// Drops the files on the view; returns the time until the last one is in.
double dropPictures(Tbmpgen_Form& window, const QStringList& paths, BlockMeter& meter)
{
    TImagesPage* page = window.imagesPage();
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    QWidget* viewport = page->imageView()->viewport();
    const QPoint at = viewport->rect().center();
    QElapsedTimer total;
    total.start();
    meter.start();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QElapsedTimer call;
    call.start();
    QApplication::sendEvent(viewport, &drop);
    meter.noteCall(call.nsecsElapsed());
    if (qEnvironmentVariableIsSet("BENCH_IMAGES_TRACE"))
        std::printf("  the drop event itself: %.1f ms\n", call.nsecsElapsed() / 1e6);
    QMetaObject::Connection c1, c2;
    if (qEnvironmentVariableIsSet("BENCH_IMAGES_TRACE")) {
        c1 = QObject::connect(page->dropImport(), &TImageDropImport::progress, [&total](int done, int) {
            std::printf("  file %d in at %.1f ms\n", done, total.nsecsElapsed() / 1e6);
        });
        c2 = QObject::connect(page->dropImport(), &TImageDropImport::finished,
                              [&total] { std::printf("  finished at %.1f ms\n", total.nsecsElapsed() / 1e6); });
    }
    QEventLoop loop;
    QObject::connect(page->dropImport(), &TImageDropImport::finished, &loop, &QEventLoop::quit);
    if (page->dropImport()->isRunning())
        loop.exec();
    const double ms = total.nsecsElapsed() / 1e6;
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    return ms;
}

int openOnly(const QString& file)
{
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs->answers.enqueue(file);
    ScriptedDialogs* d = dialogs.get();
    Tbmpgen_Form window(std::move(dialogs));
    window.resize(1024, 720);
    window.show();
    QCoreApplication::processEvents();
    Q_UNUSED(d);
    QElapsedTimer t;
    t.start();
    window.findChild<QAction*>(QStringLiteral("open_project_MenuItem"))->trigger();
    const double openMs = t.nsecsElapsed() / 1e6;
    int largest = 0;
    for (int i = 0; i < 3; ++i)
        if (window.document().images()[size_t(i)]->memory_usage
            > window.document().images()[size_t(largest)]->memory_usage)
            largest = i;
    window.projectPages()->setCurrentWidget(window.imagesPage());
    // Opening shows the first handle; start from another so the largest is
    // built afresh, and count its first painting.
    select(window, largest == kInfoScreensIdx ? kLogosIdx : kInfoScreensIdx);
    QCoreApplication::processEvents();
    t.restart();
    select(window, largest);
    window.repaint();
    const double showMs = t.nsecsElapsed() / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("open project (read, decode, show): %.1f ms\n", openMs);
    std::printf("show largest handle (%s, %zu images): %.1f ms\n",
                qPrintable(window.document().images()[size_t(largest)]->name),
                window.document().images()[size_t(largest)]->cells.size(), showMs);
    std::printf("peak resident memory with the project open: %ld KiB\n", usage.ru_maxrss);
    return window.document().images().empty() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--help"))) {
        std::puts("Usage: bench_images [--open PROJECT]\n"
                  "Preparing 60 dropped files on one thread and on every core (their ratio), drops of 30\n"
                  "backgrounds, logos and information screens into the window, then opening the result.\n"
                  "  --open PROJECT  only open PROJECT and show its largest image group");
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("--open"))
        return openOnly(args[2]);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QStringList backgrounds = writePictures(folder, "background", 30, photo);
    const QStringList logos = writePictures(folder, "logo", 30, logoPicture);
    const QStringList screens = writePictures(folder, "screen", 30, [](int i) { return photo(100 + i); });
    const QStringList flats = writePictures(folder, "flat", 30, flat);

    // Preparing the files of a drop, on one thread and on every core as the
    // window's import does, alternately in one run so both see the same load.
    {
        THandleList list;
        createDefaultHandles(list);
        const TImportTarget bg = TImportTarget::of(list, kBackgroundsIdx);
        const TImportTarget logo = TImportTarget::of(list, kLogosIdx);
        QStringList files = backgrounds + logos;
        auto prepare = [&](const QString& p) {
            return prepareImport(p, p.contains(QLatin1String("logo")) ? logo : bg).estimate;
        };
        QThreadPool pool;
        pool.setMaxThreadCount(QThread::idealThreadCount());
        std::vector<double> serial;
        std::vector<double> parallel;
        for (int rep = 0; rep < 3; ++rep) {
            QElapsedTimer t;
            t.start();
            for (const QString& p : files)
                prepare(p);
            serial.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            QtConcurrent::blockingMapped<QList<int>>(&pool, files, prepare);
            parallel.push_back(t.nsecsElapsed() / 1e6);
        }
        std::sort(serial.begin(), serial.end());
        std::sort(parallel.begin(), parallel.end());
        std::printf("preparing the 60 files on one thread: %.0f ms\n", serial[1]);
        std::printf("preparing the 60 files on every core (%d threads): %.0f ms\n", QThread::idealThreadCount(),
                    parallel[1]);
        std::printf("drop parallel/serial = %.2f\n", parallel[1] / serial[1]);
    }

    AnswerYes yes;
    setPrompter(&yes);
    const QString project = folder.filePath(QStringLiteral("sixty.cvp"));
    {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs->answers.enqueue(project);
        Tbmpgen_Form window(std::move(dialogs));
        window.resize(1024, 720);
        window.show();
        window.findChild<QAction*>(QStringLiteral("new_project_MenuItem"))->trigger();
        window.projectPages()->setCurrentWidget(window.imagesPage());
        QCoreApplication::processEvents();
        BlockMeter meter;
        select(window, kBackgroundsIdx);
        const double bgMs = dropPictures(window, backgrounds, meter);
        const double bgBlock = meter.stopMs();
        select(window, kLogosIdx);
        const double logoMs = dropPictures(window, logos, meter);
        const double logoBlock = meter.stopMs();
        select(window, kInfoScreensIdx);
        const double screenMs = dropPictures(window, screens, meter);
        const double screenBlock = meter.stopMs();
        std::printf("drop of 30 backgrounds: %.0f ms, window thread held at most %.1f ms at a time\n", bgMs, bgBlock);
        std::printf("drop of 30 logos: %.0f ms, window thread held at most %.1f ms at a time\n", logoMs, logoBlock);
        std::printf("drop of 30 information screens: %.0f ms, window thread held at most %.1f ms at a time\n", screenMs,
                    screenBlock);
        std::printf("images in the project: %zu backgrounds, %zu logos, %zu information screens, storage %lld bytes\n",
                    window.document().images()[kBackgroundsIdx]->cells.size(),
                    window.document().images()[kLogosIdx]->cells.size(),
                    window.document().images()[kInfoScreensIdx]->cells.size(),
                    static_cast<long long>(projectStorageUsed(window.document().images())));
        window.findChild<QAction*>(QStringLiteral("save_project_MenuItem"))->trigger();
    }
    {
        // Backgrounds stored converted (RGB 5-6-5) in a project of their own.
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs->answers.enqueue(folder.filePath(QStringLiteral("flat.cvp")));
        Tbmpgen_Form window(std::move(dialogs));
        window.resize(1024, 720);
        window.show();
        window.findChild<QAction*>(QStringLiteral("new_project_MenuItem"))->trigger();
        window.document().editImages(QStringLiteral("Store Backgrounds Converted"), [](THandleList& images) {
            images[kBackgroundsIdx]->compress_images = true;
            images[kBackgroundsIdx]->compression_format = 7;
            return true;
        });
        const THandle_object& backgroundHandle = *window.document().images()[kBackgroundsIdx];
        window.projectPages()->setCurrentWidget(window.imagesPage());
        QCoreApplication::processEvents();
        BlockMeter meter;
        select(window, kBackgroundsIdx);
        const double flatMs = dropPictures(window, flats, meter);
        const double flatBlock = meter.stopMs();
        std::printf("drop of 30 flat-colour 480x272 pictures into converted backgrounds (format 7): %.0f ms, %zu "
                    "imported, window thread held at most %.1f ms at a time\n",
                    flatMs, backgroundHandle.cells.size(), flatBlock);
        std::printf("flat-colour import: longest event-loop stall = %.1f ms (the window thread's own work %.1f ms "
                    "of it at most; the rest is waiting for a core)\n",
                    flatBlock, meter.busyMs());
    }
    setPrompter(nullptr);
    std::printf("cores: %d (the import prepares files on all but one)\n", QThread::idealThreadCount());
    std::fflush(stdout);

    // Opening is measured in a fresh process, so its peak memory is its own.
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open"), project});
    child.waitForFinished(-1);
    return child.exitCode();
}
