#include "ui/scheduler/Tschedule_timeline_Frame.h"

#include "ui/scheduler/TTimelineAccessible.h"

#include <QAccessible>
#include <QImage>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QTime>

#include <optional>

namespace {
const QColor kNavy(0, 0, 128);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
constexpr int kBarOpacity = 182;
constexpr int kShadowOpacity = 128;

QString shortTime(int minute)
{
    return QLocale().toString(QTime(minute / 60, minute % 60), QLocale::ShortFormat);
}
} // namespace

// Integer geometry of a w x h timeline; divisions round toward zero.
struct Tschedule_timeline_Frame::Geometry {
    Geometry(int w, int h)
        : w(w)
        , h(h)
        , left(w * 10 / 100)
        , span(w * 80 / 100)
        , step(span / 8)
        , mid(h / 2)
        , top(mid - h / 6)
        , bottom(mid + h / 6)
    {
    }
    int x(int minute) const { return left + (minute * span) / 1440; }

    int w, h, left, span, step, mid, top, bottom;
};

Tschedule_timeline_Frame::Tschedule_timeline_Frame(QWidget* parent) : QFrame(parent)
{
    Install_Timeline_Accessibility();
    setObjectName(QStringLiteral("schedule_timeline_Frame"));
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(kHeight);
    setMinimumWidth(kWidth);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Tschedule_timeline_Frame::init(int dayidx)
{
    day_index = dayidx;
    event_list.clear();
    starting_runstate = 0;
    Announce_Name_Change();
}

void Tschedule_timeline_Frame::Refresh_Event_List()
{
    event_list = pSchedule ? Schedule_Event_List(*pSchedule) : TScheduleEventList();
    Announce_Name_Change();
}

void Tschedule_timeline_Frame::Set_Starting_Runstate(int state)
{
    starting_runstate = state;
    Announce_Name_Change();
}

QString Tschedule_timeline_Frame::Long_Day_Name(int dayIndex)
{
    // The locale counts Monday = 1 .. Sunday = 7; the schedule starts with Sunday.
    return QLocale().dayName(dayIndex == 1 ? 7 : dayIndex - 1, QLocale::LongFormat);
}

void Tschedule_timeline_Frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint_Timeline(painter, width(), height());
    if (hasFocus()) {
        // Amber stands out on the navy of an enabled day and on the grey of
        // a disabled one alike.
        painter.setPen(QPen(QColor(0xFF, 0xC8, 0x00), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void Tschedule_timeline_Frame::Paint_Timeline(QPainter& painter, int w, int h) const
{
    const Geometry g(w, h);
    draw_axis_2(painter, g);
    draw_overlay_2(painter, g);
}

void Tschedule_timeline_Frame::draw_axis_2(QPainter& p, const Geometry& g) const
{
    const bool on = isEnabled();
    p.fillRect(0, 0, g.w, g.h, on ? kNavy : kGrey);

    const QColor textColour = on ? QColor(Qt::white) : kSilver;
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    p.setFont(font);
    p.setPen(textColour);
    p.drawText(QPoint(10, 10 + p.fontMetrics().ascent()), Long_Day_Name(day_index));

    font.setPointSize(10);
    p.setFont(font);
    const QFontMetrics metrics = p.fontMetrics();
    const QPen axisPen(kSilver, 1, Qt::SolidLine);
    auto tick = [&](int x, const QString& label) {
        p.setPen(axisPen);
        p.drawLine(x, g.top, x, g.bottom);
        p.setPen(textColour);
        p.drawText(QPoint(x - metrics.horizontalAdvance(label) / 2, g.bottom + 10 + metrics.ascent()), label);
    };
    p.setPen(axisPen);
    p.drawLine(g.left, g.mid, g.left + 8 * g.step, g.mid);
    for (int i = 0; i < 8; ++i)
        tick(g.left + i * g.step, shortTime(i * 180));
    tick(g.left + 8 * g.step, shortTime(23 * 60 + 59));
}

void Tschedule_timeline_Frame::draw_overlay_2(QPainter& p, const Geometry& g) const
{
    // The translucent layer: drawn with opacities onto a clear picture, then
    // laid over the axis in one go.
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    QImage layerImage(QSize(g.w, g.h) * ratio, QImage::Format_ARGB32_Premultiplied);
    layerImage.setDevicePixelRatio(ratio);
    layerImage.fill(Qt::transparent);
    {
        QPainter layer(&layerImage);
        const QColor barColour = isEnabled() ? QColor(Qt::red) : palette().color(QPalette::Disabled, QPalette::Text);
        layer.setOpacity(kBarOpacity / 255.0);
        for (const TRunPeriod& period : Run_Periods(event_list, starting_runstate)) {
            const int start = g.x(period.start);
            const int end = period.end >= 1440 ? g.left + g.span : g.x(period.end);
            layer.fillRect(QRect(start, g.top, end - start, g.mid - g.top), barColour);
        }
        layer.setOpacity(1.0);

        std::optional<int> prev;
        for (const TScheduleListEntry& entry : event_list) {
            const int minute = entry.event->minute_of_day;
            QColor colour = kSilver;
            if (isEnabled())
                colour = prev && *prev == minute ? QColor(Qt::red) : QColor(Qt::yellow);
            draw_event_mark(layer, g, minute, colour);
            prev = minute;
        }
    }
    p.drawImage(QPoint(0, 0), layerImage);
}

void Tschedule_timeline_Frame::draw_event_mark(QPainter& layer, const Geometry& g, int minute_of_day,
                                               const QColor& color) const
{
    int half = g.h / 12;
    int x = (g.span * minute_of_day) / 1440 + g.left - 2;
    int mid = g.mid;
    int bottom = g.bottom;
    auto triangle = [&] {
        return QPolygon({QPoint(x, mid + 2), QPoint(x + half, bottom), QPoint(x - half, bottom), QPoint(x, mid + 2)});
    };
    layer.setBrush(Qt::NoBrush);
    layer.setOpacity(kShadowOpacity / 255.0);
    layer.setPen(QPen(Qt::black, 5));
    layer.drawPolyline(triangle());

    ++x;
    ++mid;
    ++bottom;
    ++half;
    layer.setOpacity(1.0);
    layer.setPen(QPen(color, 2));
    layer.drawPolyline(triangle());
}

QString Tschedule_timeline_Frame::Accessible_Name() const
{
    QStringList parts{Long_Day_Name(day_index)};
    const int count = int(event_list.size());
    parts << (count == 0       ? QStringLiteral("no events")
                  : count == 1 ? QStringLiteral("1 event")
                               : QStringLiteral("%1 events").arg(count));
    const std::vector<TRunPeriod> periods = Run_Periods(event_list, starting_runstate);
    if (periods.empty())
        parts << QStringLiteral("off all day");
    for (const TRunPeriod& period : periods) {
        if (period.start == 0 && period.end >= 1440)
            parts << QStringLiteral("on all day");
        else if (period.start == 0)
            parts << QStringLiteral("on until %1").arg(shortTime(period.end));
        else if (period.end >= 1440)
            parts << QStringLiteral("on from %1").arg(shortTime(period.start));
        else
            parts << QStringLiteral("on from %1 to %2").arg(shortTime(period.start), shortTime(period.end));
    }
    return parts.join(QStringLiteral(", "));
}

void Tschedule_timeline_Frame::Click()
{
    if (isEnabled() && onclick_cb_fn)
        onclick_cb_fn(day_index);
}

void Tschedule_timeline_Frame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
    QFrame::mouseReleaseEvent(event);
}

void Tschedule_timeline_Frame::keyPressEvent(QKeyEvent* event)
{
    // Reached with Tab, a timeline opens with the keys that press a button.
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        Click();
        return;
    }
    QFrame::keyPressEvent(event);
}

void Tschedule_timeline_Frame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QFrame::changeEvent(event);
}

void Tschedule_timeline_Frame::Announce_Name_Change()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
