#include "ScheduleFixtures.h"
#include "test_scheduler.h"

#include "ui/scheduler/Tschedule_timeline_Frame.h"

#include <QAccessible>
#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QScopeGuard>
#include <QTest>
#include <QTime>

#include <memory>

namespace {
constexpr int kW = 600;
constexpr int kH = 100;

bool isNavy(QRgb p)
{
    return p == qRgb(0, 0, 128);
}
bool isSilver(QRgb p)
{
    return p == qRgb(192, 192, 192);
}
// Red at opacity 182 over navy.
bool isBar(QRgb p)
{
    return qRed(p) >= 175 && qRed(p) <= 190 && qGreen(p) == 0 && qBlue(p) >= 30 && qBlue(p) <= 45;
}
bool isYellow(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 100;
}
bool isMarkRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
}
bool isWhite(QRgb p)
{
    return qRed(p) >= 230 && qGreen(p) >= 230 && qBlue(p) >= 230;
}

struct Timeline {
    explicit Timeline(const PlannedEvents& events, int startState = 0, int dayIndex = 2)
    {
        day = dayWith(events);
        frame = std::make_unique<Tschedule_timeline_Frame>();
        frame->init(dayIndex);
        frame->pSchedule = &day;
        frame->Refresh_Event_List();
        frame->setStartingRunstate(startState);
        frame->resize(kW, kH);
    }
    QImage render() const { return frame->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TSchedule_Day day{};
    std::unique_ptr<Tschedule_timeline_Frame> frame;
};

template <typename Test> QRect boundsOf(const QImage& image, const QRect& area, Test test)
{
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixel(x, y)))
                found |= QRect(x, y, 1, 1);
    return found;
}

QString describe(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return QStringLiteral("(%1, %2) is %3,%4,%5").arg(x).arg(y).arg(qRed(p)).arg(qGreen(p)).arg(qBlue(p));
}
} // namespace

void TestTimeline::initTestCase()
{
    QCOMPARE(Tschedule_timeline_Frame::longDayName(1), QString("Sunday"));
    QCOMPARE(Tschedule_timeline_Frame::longDayName(7), QString("Saturday"));
}

void TestTimeline::geometryAt600x100()
{
    // A run-On event at 12:00: left 60, span 480, band 34..66, x(720) = 300.
    Timeline t({{1, 720, 1, 1}});
    const QImage img = t.render();
    QVERIFY(isNavy(img.pixel(5, 95)));

    // The bar: from x(720) to the end of the axis, from the band's top down
    // to the axis (probed beside the ticks, which it covers).
    for (auto [x, y, bar] : {std::tuple{299, 40, false},
                             {301, 40, true},
                             {539, 40, true},
                             {541, 40, false},
                             {400, 33, false},
                             {400, 34, true},
                             {400, 49, true},
                             {400, 51, false}})
        QVERIFY2(isBar(img.pixel(x, y)) == bar, qPrintable(describe(img, x, y)));
    QVERIFY2(isSilver(img.pixel(400, 50)), qPrintable(describe(img, 400, 50)));

    // Ticks every 3 hours (60 pixels) from the band's top to its bottom (the one
    // at 12:00 lies under the mark).
    for (int x : {60, 120, 240, 480, 540})
        QVERIFY2(isSilver(img.pixel(x, 60)), qPrintable(describe(img, x, 60)));
    for (int x : {59, 121, 541})
        QVERIFY2(isNavy(img.pixel(x, 60)), qPrintable(describe(img, x, 60)));
    QVERIFY(isNavy(img.pixel(120, 33)));
    QVERIFY(isNavy(img.pixel(120, 67)));

    // The mark: a yellow triangle centred one pixel right of its shadow's
    // apex at (298, 52), pointing up at the axis, in the band's lower half.
    const QRect yellow = boundsOf(img, QRect(250, 40, 100, 40), isYellow);
    QVERIFY(!yellow.isEmpty());
    QVERIFY2(qAbs(yellow.center().x() - 299) <= 1, qPrintable(QString::number(yellow.center().x())));
    QVERIFY2(yellow.top() >= 51 && yellow.top() <= 54, qPrintable(QString::number(yellow.top())));
    QVERIFY2(yellow.bottom() >= 66 && yellow.bottom() <= 69, qPrintable(QString::number(yellow.bottom())));
    QVERIFY2(yellow.width() >= 16 && yellow.width() <= 22, qPrintable(QString::number(yellow.width())));
    // The shadow: black at half opacity over navy, left of the mark's leg.
    const QRect shadow = boundsOf(img, QRect(280, 45, 40, 30), [](QRgb p) {
        return qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) >= 55 && qBlue(p) <= 75;
    });
    QVERIFY(!shadow.isEmpty());
    QVERIFY2(shadow.left() <= 290 && shadow.top() <= 52,
             qPrintable(QString("%1,%2").arg(shadow.left()).arg(shadow.top())));

    // Text: the day's name from (10, 10); the labels' row from y = 76.
    const QRect name = boundsOf(img, QRect(0, 0, kW, 34), isWhite);
    QVERIFY(!name.isEmpty());
    QVERIFY2(name.top() >= 10 && name.left() >= 10 && name.left() <= 13,
             qPrintable(QString("%1,%2").arg(name.left()).arg(name.top())));
    QVERIFY(boundsOf(img, QRect(0, 67, kW, 9), isWhite).isEmpty());
    const QRect firstLabel = boundsOf(img, QRect(30, 76, 60, 24), isWhite);
    QVERIFY(!firstLabel.isEmpty());
    QVERIFY2(qAbs(firstLabel.center().x() - 60) <= 2, qPrintable(QString::number(firstLabel.center().x())));
    const QRect lastLabel = boundsOf(img, QRect(505, 76, 70, 24), isWhite);
    QVERIFY2(qAbs(lastLabel.center().x() - 540) <= 2, qPrintable(QString::number(lastLabel.center().x())));
}

void TestTimeline::timeLabelsNeverTouch_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("allNine");
    // 24-hour clocks fit all nine labels at the full size; a 12-hour clock
    // ("12:00 PM") crowds a narrower timeline sooner, and a narrow one
    // crowds any clock.
    QTest::newRow("de_DE full size") << "de_DE" << kW << kH << true;
    QTest::newRow("en_GB full size") << "en_GB" << kW << kH << true;
    QTest::newRow("en_US narrow") << "en_US" << 400 << kH << false;
    QTest::newRow("en_US wide") << "en_US" << 1200 << kH << true;
    QTest::newRow("en_US narrow, compact") << "en_US" << 360 << 28 << false;
    QTest::newRow("ko_KR narrow") << "ko_KR" << 400 << kH << false;
    QTest::newRow("ar_EG narrow") << "ar_EG" << 360 << kH << false;
    QTest::newRow("ja_JP compact") << "ja_JP" << 700 << 30 << true;
    QTest::newRow("C (seconds shown) narrow") << "C" << 360 << kH << false;
}

void TestTimeline::timeLabelsNeverTouch()
{
    QFETCH(QString, locale);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, allNine);
    const QLocale before;
    QLocale::setDefault(QLocale(locale));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });

    const QFont font = Tschedule_timeline_Frame::labelFontFor(height);
    const auto labels = Tschedule_timeline_Frame::timeLabels(width, height, font);
    const QLocale here;
    // The day's two ends are always labelled.
    QVERIFY(labels.size() >= 2);
    QCOMPARE(labels.constFirst().text, here.toString(QTime(0, 0), QLocale::ShortFormat));
    QCOMPARE(labels.constLast().text, here.toString(QTime(23, 59), QLocale::ShortFormat));
    QCOMPARE(labels.size() == 9, allNine);
    const QFontMetrics metrics(font);
    for (int i = 0; i < labels.size(); ++i) {
        const QRect box = labels[i].box;
        // Whole, inside the timeline, and as wide as its text.
        QVERIFY2(box.left() >= 0 && box.right() < width && box.bottom() < height,
                 qPrintable(QStringLiteral("%1 at %2..%3").arg(labels[i].text).arg(box.left()).arg(box.right())));
        QCOMPARE(box.width(), metrics.horizontalAdvance(labels[i].text));
        if (i > 0)
            QVERIFY2(labels[i - 1].box.right() + 1 < box.left(),
                     qPrintable(QStringLiteral("%1 touches %2").arg(labels[i - 1].text, labels[i].text)));
    }
}

void TestTimeline::compactTimelineKeepsItsParts()
{
    // In a low page: the name beside the axis, the band above the labels,
    // all of it inside the timeline.
    Timeline t({{1, 720, 1, 1}});
    t.frame->resize(700, 28);
    const QImage img = t.render();
    const QRect name = boundsOf(img, QRect(0, 0, 70, 28), isWhite);
    QVERIFY(!name.isEmpty());
    QVERIFY2(name.right() < 70, qPrintable(QString::number(name.right())));
    // The run bar from x(720) = 350 to the axis' end at 630.
    const QRect bar = boundsOf(img, QRect(70, 0, 630, 28), isBar);
    QVERIFY(!bar.isEmpty());
    QVERIFY2(qAbs(bar.left() - 351) <= 2 && qAbs(bar.right() - 629) <= 2,
             qPrintable(QStringLiteral("%1..%2").arg(bar.left()).arg(bar.right())));
    QVERIFY(bar.top() >= 1);
    QVERIFY(!boundsOf(img, QRect(300, 0, 100, 28), isYellow).isEmpty());
    const int labelTop = Tschedule_timeline_Frame::timeLabels(700, 28, Tschedule_timeline_Frame::labelFontFor(28))
                             .constFirst()
                             .box.top();
    QVERIFY(bar.bottom() < labelTop);
}

void TestTimeline::barsAndMarks_data()
{
    QTest::addColumn<PlannedEvents>("events");
    QTest::addColumn<int>("startState");
    QTest::addColumn<QList<int>>("barAt");   // x at y = 40 inside a bar
    QTest::addColumn<QList<int>>("clearAt"); // x at y = 40 without one
    QTest::addColumn<bool>("redMark");
    QTest::newRow("empty day starting On")
        << PlannedEvents{} << 1 << QList<int>{61, 301, 539} << QList<int>{59, 541} << false;
    QTest::newRow("empty day starting Off")
        << PlannedEvents{} << 0 << QList<int>{} << QList<int>{61, 300, 539} << false;
    QTest::newRow("On at 00:00 from Off")
        << PlannedEvents{{1, 0, 1, 1}} << 0 << QList<int>{61, 301, 539} << QList<int>{59, 541} << false;
    QTest::newRow("07:05 On to 18:00 Off") << PlannedEvents{{1, 425, 1, 1}, {1, 1080, 1, 0}} << 0
                                           << QList<int>{201, 419} << QList<int>{200, 420, 539} << false;
    QTest::newRow("08:00 On then 08:00 Off runs on")
        << PlannedEvents{{1, 480, 1, 1}, {1, 480, 1, 0}} << 0 << QList<int>{221, 401, 539} << QList<int>{219} << true;
    QTest::newRow("mode-only event") << PlannedEvents{{1, 600, 0, 0}} << 1 << QList<int>{61, 301, 539} << QList<int>{59}
                                     << false;
}

void TestTimeline::barsAndMarks()
{
    QFETCH(PlannedEvents, events);
    QFETCH(int, startState);
    QFETCH(QList<int>, barAt);
    QFETCH(QList<int>, clearAt);
    QFETCH(bool, redMark);
    Timeline t(events, startState);
    const QImage img = t.render();
    for (int x : barAt)
        QVERIFY2(isBar(img.pixel(x, 40)), qPrintable(describe(img, x, 40)));
    for (int x : clearAt)
        QVERIFY2(!isBar(img.pixel(x, 40)), qPrintable(describe(img, x, 40)));
    const QRect lowerBand(40, 51, 520, 20);
    QCOMPARE(!boundsOf(img, lowerBand, isMarkRed).isEmpty(), redMark);
    // A red mark lies exactly over the yellow one before it.
    QCOMPARE(!boundsOf(img, lowerBand, isYellow).isEmpty(), !events.isEmpty() && !redMark);
}

void TestTimeline::disabledIsGreyAndDeaf()
{
    Timeline t({{1, 480, 1, 1}, {1, 480, 1, 0}}, 1);
    QList<int> clicks;
    t.frame->onclick_cb_fn = [&](int day) { clicks << day; };
    t.frame->setEnabled(false);
    const QImage img = t.render();
    QCOMPARE(img.pixel(5, 95), qRgb(128, 128, 128));
    QVERIFY(boundsOf(img, img.rect(), isYellow).isEmpty());
    QVERIFY(boundsOf(img, img.rect(), isMarkRed).isEmpty());
    QVERIFY(boundsOf(img, img.rect(), isWhite).isEmpty());
    // The text and the marks are silver.
    QVERIFY(!boundsOf(img, QRect(10, 10, 100, 24), isSilver).isEmpty());
    QVERIFY(!boundsOf(img, QRect(200, 51, 40, 20), isSilver).isEmpty());
    QTest::mouseClick(t.frame.get(), Qt::LeftButton);
    QVERIFY(clicks.isEmpty());

    t.frame->setEnabled(true);
    QVERIFY(isNavy(t.render().pixel(5, 95)));
    QTest::mouseClick(t.frame.get(), Qt::LeftButton);
    QCOMPARE(clicks, QList<int>{2});
}

void TestTimeline::accessibleNameAndPress()
{
    Timeline t({{1, 425, 1, 1}, {1, 540, 0, 0}});
    QList<int> clicks;
    t.frame->onclick_cb_fn = [&](int day) { clicks << day; };
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(t.frame.get());
    QVERIFY(a);
    QCOMPARE(a->role(), QAccessible::Button);
    QCOMPARE(a->text(QAccessible::Name), QString("Monday, 2 events, on from 07:05"));
    QAccessibleActionInterface* actions = a->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks, QList<int>{2});

    // The summary follows the list and the starting state.
    t.day = dayWith({{1, 480, 1, 0}});
    t.frame->Refresh_Event_List();
    t.frame->setStartingRunstate(1);
    QCOMPARE(a->text(QAccessible::Name), QString("Monday, 1 event, on until 08:00"));
    t.frame->setStartingRunstate(0);
    QCOMPARE(a->text(QAccessible::Name), QString("Monday, 1 event, off all day"));

    t.frame->setEnabled(false);
    QVERIFY(actions->actionNames().isEmpty());
    QVERIFY(a->state().disabled);
}

void TestTimeline::dayNamesAreAllLongOrAllShort_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("English") << "en_GB";
    QTest::newRow("German") << "de_DE";
}

void TestTimeline::dayNamesAreAllLongOrAllShort()
{
    QFETCH(QString, locale);
    const QLocale before;
    QLocale::setDefault(QLocale(locale));
    const auto restore = qScopeGuard([before] { QLocale::setDefault(before); });
    QFont font;
    font.setPixelSize(15);
    const QFontMetrics metrics(font);
    int widest = 0;
    for (int day = 1; day <= 7; ++day)
        widest = qMax(widest, metrics.horizontalAdvance(Tschedule_timeline_Frame::longDayName(day)));
    // Room for some long names but not all: the seven still read alike.
    for (int room : {widest - 1, widest, widest + 20, widest / 2}) {
        QStringList names;
        int longOnes = 0;
        for (int day = 1; day <= 7; ++day) {
            const QString name = Tschedule_timeline_Frame::axisDayName(day, metrics, room);
            longOnes += name == Tschedule_timeline_Frame::longDayName(day) ? 1 : 0;
            names << name;
        }
        QVERIFY2(longOnes == 0 || longOnes == 7, qPrintable(names.join(QStringLiteral(", "))));
        QCOMPARE(longOnes == 7, room >= widest);
    }
}
