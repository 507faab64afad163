#include "core/messaging/TMsgList.h"
#include "core/messaging/TWindowMessageEvent.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <thread>

namespace {

// Stands in for a window: records every message it is sent.
class Recorder : public QObject {
public:
    struct Got {
        int msg;
        quint32 wParam;
        quint32 lParam;
    };
    QList<Got> got;

protected:
    void customEvent(QEvent* e) override
    {
        if (e->type() == TWindowMessageEvent::kType) {
            auto* m = static_cast<TWindowMessageEvent*>(e);
            got.append({m->msg, m->wParam, m->lParam});
        }
    }
};

// Runs one timer tick by hand, then delivers what it posted, so a test sees
// exactly what a single tick releases.
void tick(TMsgList& list)
{
    QVERIFY(QMetaObject::invokeMethod(&list, "msgList_TimerTimer", Qt::DirectConnection));
    QCoreApplication::sendPostedEvents();
}

} // namespace

class TestMsgList : public QObject {
    Q_OBJECT
private slots:
    void startsEmptyWithTimerStopped()
    {
        TMsgList list;
        QCOMPARE(list.pendingCount(), 0);
        QVERIFY(!list.timerActive());
    }

    void releasesOnePerTickInOrderAndStopsOnTheEmptyingTick()
    {
        TMsgList list;
        Recorder w;
        list.msgList_Post(&w, WM_RC_CONNECT, 0, 2);
        list.msgList_Post(&w, WM_RC_UPLOAD_CFG, 512, 1);
        list.msgList_Post(&w, WM_RC_UPLOAD_CFG, 512, 1); // duplicates are kept
        QCOMPARE(list.pendingCount(), 3);
        QVERIFY(list.timerActive());

        tick(list);
        QCOMPARE(w.got.size(), 1);
        QCOMPARE(w.got[0].msg, WM_RC_CONNECT);
        QCOMPARE(w.got[0].lParam, 2u);
        QVERIFY(list.timerActive());

        tick(list);
        QCOMPARE(w.got.size(), 2);
        QCOMPARE(w.got[1].msg, WM_RC_UPLOAD_CFG);
        QCOMPARE(w.got[1].wParam, 512u);
        QVERIFY(list.timerActive());

        tick(list);
        QCOMPARE(w.got.size(), 3);
        QCOMPARE(list.pendingCount(), 0);
        QVERIFY2(!list.timerActive(), "the tick that empties the queue stops the timer");

        tick(list); // a stray tick on an empty queue does nothing
        QCOMPARE(w.got.size(), 3);
    }

    void postingWhileRunningKeepsTheRunningTimer()
    {
        TMsgList list;
        Recorder w;
        list.msgList_Post(&w, WM_RC_RETRIEVE, 0, 0);
        QCOMPARE(list.timerStarts(), 1);
        list.msgList_Post(&w, WM_RC_RETRIEVE, 128, 1);
        QCOMPARE(list.timerStarts(), 1);
        QVERIFY(list.timerActive());
        tick(list);
        tick(list);
        QVERIFY(!list.timerActive());
        list.msgList_Post(&w, WM_RC_RETRIEVE, 256, 2); // an empty queue starts it afresh
        QCOMPARE(list.timerStarts(), 2);
    }

    void messagesReachTheirWindowsThroughTheRealTimer()
    {
        TMsgList list;
        Recorder a, b;
        for (quint32 i = 0; i < 20; ++i)
            list.msgList_Post(i % 2 ? &b : &a, WM_RC_UPLOAD_IMG, i, 1);
        QTRY_COMPARE(a.got.size() + b.got.size(), 20);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(a.got[i].wParam, quint32(2 * i));
            QCOMPARE(b.got[i].wParam, quint32(2 * i + 1));
        }
        QTRY_VERIFY(!list.timerActive());
    }

    void aStepPostingItsSuccessorKeepsTheChainGoing()
    {
        // The shape of every device operation: each handler posts the next step.
        TMsgList list;
        class Chain : public QObject {
        public:
            TMsgList* list = nullptr;
            QList<quint32> steps;

        protected:
            void customEvent(QEvent* e) override
            {
                auto* m = static_cast<TWindowMessageEvent*>(e);
                steps.append(m->lParam);
                if (m->lParam < 5)
                    list->msgList_Post(this, m->msg, 0, m->lParam + 1);
            }
        } chain;
        chain.list = &list;
        list.msgList_Post(&chain, WM_RC_FW_UPGRADE, 0, 0);
        QTRY_COMPARE(chain.steps.size(), 6);
        QCOMPARE(chain.steps, (QList<quint32>{0, 1, 2, 3, 4, 5}));
        QTRY_VERIFY(!list.timerActive());
    }

    void destructionDropsQueuedMessagesUndispatched()
    {
        Recorder w;
        {
            TMsgList list;
            for (int i = 0; i < 5; ++i)
                list.msgList_Post(&w, WM_RC_CONNECT, i, 0);
        }
        QCoreApplication::sendPostedEvents();
        QTest::qWait(20);
        QCOMPARE(w.got.size(), 0);
    }

    void aDeadTargetIsSkipped()
    {
        TMsgList list;
        auto doomed = std::make_unique<Recorder>();
        Recorder alive;
        list.msgList_Post(doomed.get(), WM_RC_CONNECT, 1, 0);
        list.msgList_Post(&alive, WM_RC_CONNECT, 2, 0);
        doomed.reset();
        tick(list);
        tick(list);
        QCOMPARE(alive.got.size(), 1);
        QCOMPARE(alive.got[0].wParam, 2u);
        QVERIFY(!list.timerActive());
    }

    void postingFromAnotherThreadIsSafeAndKeepsEachThreadsOrder()
    {
        TMsgList list;
        Recorder w;
        constexpr quint32 kEach = 200;
        std::thread worker([&] {
            for (quint32 i = 0; i < kEach; ++i)
                list.msgList_Post(&w, WM_RC_UPLOAD_IMG, i, 1);
        });
        for (quint32 i = 0; i < kEach; ++i)
            list.msgList_Post(&w, WM_RC_UPLOAD_CFG, i, 0);
        worker.join();
        QTRY_COMPARE_WITH_TIMEOUT(w.got.size(), int(2 * kEach), 20000);
        quint32 nextCfg = 0, nextImg = 0;
        for (const auto& g : w.got) {
            if (g.msg == WM_RC_UPLOAD_CFG)
                QCOMPARE(g.wParam, nextCfg++);
            else
                QCOMPARE(g.wParam, nextImg++);
        }
        QTRY_VERIFY(!list.timerActive());
    }

    void aPostFromAnotherThreadStartsTheStoppedTimer()
    {
        TMsgList list;
        Recorder w;
        std::thread([&] { list.msgList_Post(&w, WM_RC_RETRIEVE, 7, 0); }).join();
        QTRY_COMPARE(w.got.size(), 1);
        QCOMPARE(w.got[0].wParam, 7u);
        QTRY_VERIFY(!list.timerActive());
    }
};

QTEST_GUILESS_MAIN(TestMsgList)
#include "test_msglist.moc"
