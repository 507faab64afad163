// bench_shell: how long the built-in image store takes at start-up, what a
// picture costs at the sizes the windows ask for, and how fast the posted-
// message queue moves messages. Prints one line per figure; not run by CTest.
#include "core/messaging/TMsgList.h"
#include "core/messaging/TWindowMessageEvent.h"
#include "ui/common/TDM_images.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <sys/resource.h>

#include <cstdio>

namespace {

class Counter : public QObject {
public:
    int got = 0;

protected:
    void customEvent(QEvent* e) override
    {
        if (e->type() == TWindowMessageEvent::kType)
            ++got;
    }
};

template <typename F> double bestOfMs(int runs, F&& f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    // The measurement takes long: --help answers without running it.
    if (app.arguments().contains(QStringLiteral("--help")) || app.arguments().contains(QStringLiteral("-h"))) {
        std::fputs("Usage: bench_shell\n"
                   "Times of the built-in image store, picture rendering and the posted-message queue.\n",
                   stdout);
        return 0;
    }

    std::printf("image store (all slots and lists): %.1f ms\n", bestOfMs(5, [] { TDM_imagestore store; }));
    std::printf("RC_CASE_PNG at 690x362: %.2f ms\n", bestOfMs(10, [] { picture("RC_CASE_PNG", QSize(690, 362)); }));
    std::printf("RC_CASE_PNG at 1380x724: %.2f ms\n", bestOfMs(10, [] { picture("RC_CASE_PNG", QSize(1380, 724)); }));
    std::printf("SPLASH_PNG at 560x320: %.2f ms\n", bestOfMs(10, [] { picture("SPLASH_PNG", QSize(560, 320)); }));
    std::printf("MD_COOL_PNG at 50x50: %.3f ms\n", bestOfMs(50, [] { picture("MD_COOL_PNG", QSize(50, 50)); }));

    {
        constexpr int kPosts = 100000;
        TMsgList list;
        Counter w;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < kPosts; ++i)
            list.msgList_Post(&w, WM_RC_UPLOAD_IMG, quint32(i), 1);
        std::printf("msgList_Post: %.0f ns per message (%d queued)\n", double(t.nsecsElapsed()) / kPosts,
                    list.pendingCount());
    }
    {
        constexpr int kMessages = 500;
        TMsgList list;
        Counter w;
        for (int i = 0; i < kMessages; ++i)
            list.msgList_Post(&w, WM_RC_UPLOAD_IMG, quint32(i), 1);
        QElapsedTimer t;
        t.start();
        while (w.got < kMessages)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        std::printf("release of %d queued messages: %lld ms (%.2f ms per message, tick %d ms)\n", kMessages,
                    t.elapsed(), double(t.elapsed()) / kMessages, TMsgList::kTickMs);
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
