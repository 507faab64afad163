#include "ui/scheduler/Tschedule_timeline_Frame.h"

#include "ui/scheduler/TTimelineAccessible.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
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

// Integer geometry of a w x h timeline; divisions round toward zero. In its
// full form the band lies across the middle third, the name above it and
// the labels below; a compact timeline gives the band all the height the
// labels leave, with the name in the margin left of the axis.
struct Tschedule_timeline_Frame::Geometry {
    Geometry(int w, int h)
        : w(w)
        , h(h)
        , left(w * 10 / 100)
        , span(w * 80 / 100)
        , step(span / 8)
        , full(h >= kFullFormHeight)
    {
        if (full) {
            mid = h / 2;
            top = mid - h / 6;
            bottom = mid + h / 6;
            half = h / 12;
            labelTop = bottom + 10;
        } else {
            const int labelHeight = QFontMetrics(labelFontFor(h)).height();
            top = 2;
            bottom = qMax(top + 6, h - labelHeight - 2);
            mid = (top + bottom) / 2;
            half = qMax(2, (bottom - mid) / 2);
            labelTop = bottom + 1;
        }
    }
    int x(int minute) const { return left + (minute * span) / 1440; }

    int w, h, left, span, step;
    bool full;
    int mid = 0, top = 0, bottom = 0, half = 0, labelTop = 0;
};

namespace {
// Room left between two time labels, so that they read as two.
constexpr int kLabelGap = 6;
} // namespace

QFont Tschedule_timeline_Frame::labelFontFor(int h)
{
    QFont font(QStringLiteral("Arial"));
    if (h >= kFullFormHeight)
        font.setPointSize(10);
    else
        font.setPixelSize(qBound(9, h * 3 / 10, 12));
    return font;
}

QFont Tschedule_timeline_Frame::nameFont(int h)
{
    QFont font(QStringLiteral("Arial"));
    if (h >= kFullFormHeight)
        font.setPointSize(12);
    else
        font.setPixelSize(qBound(9, h * 4 / 10, 14));
    return font;
}

QList<Tschedule_timeline_Frame::TimeLabel> Tschedule_timeline_Frame::timeLabels(int w, int h, const QFont& font)
{
    const Geometry g(w, h);
    const QFontMetrics metrics(font);
    QStringList texts;
    for (int i = 0; i < 8; ++i)
        texts << shortTime(i * 180);
    texts << shortTime(23 * 60 + 59);
    // Where each label would stand, kept whole inside the timeline.
    auto boxOf = [&](int i) {
        const int width = metrics.horizontalAdvance(texts.at(i));
        const int x = qBound(0, g.left + i * g.step - width / 2, qMax(0, w - width));
        return QRect(x, g.labelTop, width, metrics.height());
    };
    // Every label, else every second, every fourth, else the day's two ends:
    // the strides that keep both ends.
    for (int stride : {1, 2, 4, 8}) {
        QList<TimeLabel> labels;
        bool apart = true;
        for (int i = 0; i <= 8; i += stride) {
            const QRect box = boxOf(i);
            if (!labels.isEmpty() && labels.constLast().box.right() + kLabelGap >= box.left())
                apart = false;
            labels.append({texts.at(i), box});
        }
        if (apart || stride == 8)
            return labels;
    }
    return {};
}

Tschedule_timeline_Frame::Tschedule_timeline_Frame(QWidget* parent) : QFrame(parent)
{
    installTimelineAccessibility();
    setObjectName(QStringLiteral("schedule_timeline_Frame"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Tschedule_timeline_Frame::init(int dayidx)
{
    day_index = dayidx;
    event_list.clear();
    starting_runstate = 0;
    announceNameChange();
}

void Tschedule_timeline_Frame::Refresh_Event_List()
{
    event_list = pSchedule ? scheduleEventList(*pSchedule) : TScheduleEventList();
    announceNameChange();
}

void Tschedule_timeline_Frame::setStartingRunstate(int state)
{
    starting_runstate = state;
    announceNameChange();
}

QString Tschedule_timeline_Frame::longDayName(int dayIndex)
{
    // The locale counts Monday = 1 .. Sunday = 7; the schedule starts with Sunday.
    return QLocale().dayName(dayIndex == 1 ? 7 : dayIndex - 1, QLocale::LongFormat);
}

QString Tschedule_timeline_Frame::axisDayName(int dayIndex, const QFontMetrics& metrics, int room)
{
    int widest = 0;
    for (int day = 1; day <= 7; ++day)
        widest = qMax(widest, metrics.horizontalAdvance(longDayName(day)));
    if (widest <= room)
        return longDayName(dayIndex);
    return QLocale().dayName(dayIndex == 1 ? 7 : dayIndex - 1, QLocale::ShortFormat);
}

QMenu* Tschedule_timeline_Frame::contextMenu()
{
    if (!m_menu) {
        m_menu = new QMenu(this);
        QAction* edit = m_menu->addAction(QString());
        edit->setObjectName(QStringLiteral("edit_events_PopupItem"));
        connect(edit, &QAction::triggered, this, [this] { click(); });
    }
    QAction* edit = m_menu->actions().constFirst();
    edit->setText(QStringLiteral("&Add or Edit Events for %1...").arg(longDayName(day_index)));
    edit->setEnabled(isEnabled());
    return m_menu;
}

void Tschedule_timeline_Frame::contextMenuEvent(QContextMenuEvent* event)
{
    contextMenu()->popup(event->globalPos());
    event->accept();
}

void Tschedule_timeline_Frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintTimeline(painter, width(), height());
    if (hasFocus()) {
        // Amber stands out on the navy of an enabled day and on the grey of
        // a disabled one alike.
        painter.setPen(QPen(QColor(0xFF, 0xC8, 0x00), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void Tschedule_timeline_Frame::paintTimeline(QPainter& painter, int w, int h) const
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
    p.setFont(nameFont(g.h));
    p.setPen(textColour);
    if (g.full) {
        p.drawText(QPoint(10, 10 + p.fontMetrics().ascent()), longDayName(day_index));
    } else {
        // Beside the axis, short where the long name would reach it.
        const int room = g.left - 6;
        const QString name = axisDayName(day_index, p.fontMetrics(), room);
        p.drawText(QRect(4, 0, qMax(0, room), g.h), Qt::AlignVCenter | Qt::AlignLeft, name);
    }

    const QFont labelFont = labelFontFor(g.h);
    p.setFont(labelFont);
    const QFontMetrics metrics = p.fontMetrics();
    const QPen axisPen(kSilver, 1, Qt::SolidLine);
    p.setPen(axisPen);
    p.drawLine(g.left, g.mid, g.left + 8 * g.step, g.mid);
    for (int i = 0; i <= 8; ++i)
        p.drawLine(g.left + i * g.step, g.top, g.left + i * g.step, g.bottom);
    p.setPen(textColour);
    for (const TimeLabel& label : timeLabels(g.w, g.h, labelFont))
        p.drawText(QPoint(label.box.left(), label.box.top() + metrics.ascent()), label.text);
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
        for (const TRunPeriod& period : runPeriods(event_list, starting_runstate)) {
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
    int half = g.half;
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

QString Tschedule_timeline_Frame::spokenName() const
{
    QStringList parts{longDayName(day_index)};
    const int count = int(event_list.size());
    parts << (count == 0       ? QStringLiteral("no events")
                  : count == 1 ? QStringLiteral("1 event")
                               : QStringLiteral("%1 events").arg(count));
    const std::vector<TRunPeriod> periods = runPeriods(event_list, starting_runstate);
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

void Tschedule_timeline_Frame::click()
{
    if (isEnabled() && onclick_cb_fn)
        onclick_cb_fn(day_index);
}

void Tschedule_timeline_Frame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
    QFrame::mouseReleaseEvent(event);
}

void Tschedule_timeline_Frame::keyPressEvent(QKeyEvent* event)
{
    // Reached with Tab, a timeline opens with the keys that press a button.
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        click();
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

void Tschedule_timeline_Frame::announceNameChange()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
