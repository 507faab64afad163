#pragma once
// Waiting in a test for something the event loop brings about.
//
// QTRY_VERIFY looks at its condition, then sleeps 10 ms before it lets the
// event loop run again. A device operation is hundreds of steps, each one
// posted event away from the next, so those sleeps made a firmware upgrade
// take 11 ms per block in a test against 1 ms in the program. Here the wait
// happens inside the event loop, which wakes as soon as an event arrives, and
// the condition is looked at after every batch of events.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

template <class Condition> bool waitUntil(Condition condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    // Some conditions change on another thread with no event for this one
    // (the virtual controller's state): a short timer keeps the loop looking.
    QTimer wake;
    wake.start(5);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

#define CORVANE_TRY_VERIFY(expr, timeoutMs)                                                                            \
    do {                                                                                                               \
        if (!waitUntil([&] { return bool(expr); }, (timeoutMs)))                                                       \
            QVERIFY(expr);                                                                                             \
    } while (false)

#define CORVANE_TRY_COMPARE(actual, expected, timeoutMs)                                                               \
    do {                                                                                                               \
        waitUntil([&] { return (actual) == (expected); }, (timeoutMs));                                                \
        QCOMPARE(actual, expected);                                                                                    \
    } while (false)
