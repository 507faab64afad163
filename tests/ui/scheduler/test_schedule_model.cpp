#include "test_schedule_model.h"
#include "ScheduleFixtures.h"

#include "core/model/ScheduleModel.h"

#include <QTest>

#include <cstring>

namespace {
using Slots = QList<int>;

QList<int> listedSlots(const TSchedule_Day& day)
{
    QList<int> listed;
    for (const TScheduleListEntry& entry : scheduleEventList(day))
        listed << entry.slot;
    return listed;
}
} // namespace

void TestScheduleModel::slotsAndOrder_data()
{
    // in_use of the eight slots, the minute of each slot, what is listed (in
    // time order) and where a new event would go.
    QTest::addColumn<QByteArray>("inUse");
    QTest::addColumn<QList<int>>("minutes");
    QTest::addColumn<QList<int>>("listed");
    QTest::addColumn<int>("freeSlot");
    const QList<int> minutes{600, 300, 900, 60, 0, 0, 0, 0};
    QTest::newRow("empty day") << QByteArray(8, 0) << minutes << Slots{} << 0;
    QTest::newRow("slot 2 deleted") << QByteArray("\1\1\0\1\0\0\0\0", 8) << minutes << Slots{3, 1, 0} << 2;
    QTest::newRow("in_use 2 neither listed nor reused")
        << QByteArray("\2\0\1\0\0\0\0\0", 8) << minutes << Slots{2} << 1;
    QTest::newRow("full day") << QByteArray(8, 1) << QList<int>{5, 4, 3, 2, 1, 0, 7, 6} << Slots{5, 4, 3, 2, 1, 0, 7, 6}
                              << kNoFreeSlot;
    QTest::newRow("events beyond a stale count") << QByteArray("\0\0\0\0\0\0\0\1", 8) << minutes << Slots{7} << 0;
}

void TestScheduleModel::slotsAndOrder()
{
    QFETCH(QByteArray, inUse);
    QFETCH(QList<int>, minutes);
    QFETCH(QList<int>, listed);
    QFETCH(int, freeSlot);
    TSchedule_Day day{};
    day.event_count = 1; // never trusted
    for (int slot = 0; slot < kScheduleSlots; ++slot) {
        day.daily_event[slot].in_use = uint8_t(inUse[slot]);
        day.daily_event[slot].minute_of_day = uint16_t(minutes[slot]);
    }
    QCOMPARE(listedSlots(day), listed);
    QCOMPARE(lowestFreeSlot(day), freeSlot);
    QCOMPARE(listedEventCount(day), int(listed.size()));
}

void TestScheduleModel::newEventValuesLeaveSlotFree()
{
    TSchedule_Event e;
    std::memset(&e, 0xAB, sizeof e);
    e.in_use = 0;
    setNewEventValues(e);
    QCOMPARE(e.minute_of_day, uint16_t(720));
    QCOMPARE(e.run, uint8_t(0));
    QCOMPARE(e.mode, uint8_t(5));
    QCOMPARE(e.setpoint, uint32_t(210));
    QCOMPARE(e.fanspeed, uint8_t(5));
    QCOMPARE(e.airdir, uint8_t(2));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(e.settings_enable), 5), QByteArray(5, 0));
    QCOMPARE(e.in_use, uint8_t(0));
    // The reserved bytes travel with the record untouched.
    QCOMPARE(e.reserved1, uint8_t(0xAB));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(e.reserved2), 3), QByteArray(3, char(0xAB)));
}

void TestScheduleModel::copyTakesAllSlotsAndCountsEvents()
{
    TSchedule_Day source{};
    putEvent(source, 0, 420, 1, 1);
    putEvent(source, 2, 600, 0, 0);
    putEvent(source, 5, 1080, 1, 0);
    // A free slot keeps whatever it held; the copy takes it byte for byte.
    source.daily_event[7].minute_of_day = 999;
    source.daily_event[7].reserved2[1] = 0x5A;
    source.event_count = 0; // stale

    TSchedule_Day target{};
    for (int slot = 0; slot < kScheduleSlots; ++slot)
        putEvent(target, slot, slot * 60, 1, 1);
    target.event_count = 8;

    copyScheduleDay(source, target);
    QCOMPARE(target.event_count, uint32_t(3));
    QCOMPARE(std::memcmp(target.daily_event, source.daily_event, sizeof source.daily_event), 0);
}

void TestScheduleModel::startingRunStates_data()
{
    QTest::addColumn<PlannedEvents>("events");
    QTest::addColumn<QList<int>>("states"); // Sunday..Saturday
    const int mon = 2, tue = 3, wed = 4, thu = 5, fri = 6, sun = 1;
    QTest::newRow("no run events") << PlannedEvents{{mon, 420, 0, 1}} << QList<int>{0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("only Monday 22:00 On") << PlannedEvents{{mon, 1320, 1, 1}} << QList<int>{1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("only Wednesday 07:00 Off") << PlannedEvents{{wed, 420, 1, 0}} << QList<int>{0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("Sunday 08:00 On, 18:00 Off")
        << PlannedEvents{{sun, 480, 1, 1}, {sun, 1080, 1, 0}} << QList<int>{0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("Tuesday On to Thursday Off")
        << PlannedEvents{{thu, 1380, 1, 0}, {tue, 360, 1, 1}} << QList<int>{0, 0, 0, 1, 1, 0, 0};
    QTest::newRow("Friday On wraps to Sunday")
        << PlannedEvents{{sun, 420, 1, 0}, {fri, 1200, 1, 1}} << QList<int>{1, 0, 0, 0, 0, 0, 1};
    // Events out of slot order: the day's last run event in time decides.
    QTest::newRow("time order, not slot order")
        << PlannedEvents{{mon, 1200, 1, 0}, {mon, 300, 1, 1}} << QList<int>{0, 0, 0, 0, 0, 0, 0};
    // Only bit 0 of the enable byte makes a run event.
    QTest::newRow("enable byte 2 is no run event")
        << PlannedEvents{{mon, 300, 2, 1}} << QList<int>{0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("enable byte 3 is a run event") << PlannedEvents{{mon, 300, 3, 1}} << QList<int>{1, 1, 1, 1, 1, 1, 1};
}

void TestScheduleModel::startingRunStates()
{
    QFETCH(PlannedEvents, events);
    QFETCH(QList<int>, states);
    TDevice_Config_v2 record{};
    putEvents(record, events);
    const std::array<int, kScheduleDays> got = ::startingRunStates(record.daily_schedule);
    QCOMPARE(QList<int>(got.begin(), got.end()), states);
}

void TestScheduleModel::runPeriods_data()
{
    QTest::addColumn<PlannedEvents>("events");
    QTest::addColumn<int>("startState");
    QTest::addColumn<QList<int>>("periods"); // start, end, start, end, ...
    QTest::newRow("no events, starting On") << PlannedEvents{} << 1 << QList<int>{0, 1440};
    QTest::newRow("no events, starting Off") << PlannedEvents{} << 0 << QList<int>{};
    QTest::newRow("On at 00:00 from Off") << PlannedEvents{{1, 0, 1, 1}} << 0 << QList<int>{0, 1440};
    QTest::newRow("Off at 00:00 from On") << PlannedEvents{{1, 0, 1, 0}} << 1 << QList<int>{};
    QTest::newRow("07:05 On to 18:00 Off")
        << PlannedEvents{{1, 425, 1, 1}, {1, 1080, 1, 0}} << 0 << QList<int>{425, 1080};
    QTest::newRow("Off at the minute of the On before it")
        << PlannedEvents{{1, 480, 1, 1}, {1, 480, 1, 0}} << 0 << QList<int>{480, 1440};
    QTest::newRow("mode-only event changes nothing") << PlannedEvents{{1, 600, 0, 0}} << 1 << QList<int>{0, 1440};
    QTest::newRow("two bars") << PlannedEvents{{1, 60, 1, 0}, {1, 120, 1, 1}, {1, 180, 1, 0}} << 1
                              << QList<int>{0, 60, 120, 180};
}

void TestScheduleModel::runPeriods()
{
    QFETCH(PlannedEvents, events);
    QFETCH(int, startState);
    QFETCH(QList<int>, periods);
    const TSchedule_Day day = dayWith(events);
    QList<int> got;
    for (const TRunPeriod& p : ::runPeriods(scheduleEventList(day), startState))
        got << p.start << p.end;
    QCOMPARE(got, periods);
}
