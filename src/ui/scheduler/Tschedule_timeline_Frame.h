#pragma once
// One day of the weekly schedule drawn as a timeline: the day's name, a
// 24-hour axis with locale time labels, the periods in which the unit runs as
// translucent bars above the axis and a mark below it for every event (red
// where an event repeats the minute of the one before it). A click opens the
// events editor for the day; a disabled timeline is drawn grey and ignores
// clicks. Screen readers get the day's name and a summary, and can press it.

#include "core/model/ScheduleModel.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QList>
#include <QRect>

class QFontMetrics;
class QMenu;

#include <functional>

class QPainter;

class Tschedule_timeline_Frame : public QFrame {
    Q_OBJECT
public:
    using TdowClick_cb_fn = std::function<void(int dayIndex)>;

    // At 96 dots per inch: the size a timeline asks for. In a smaller page
    // it shrinks down to the minimum and is drawn compactly (the day's name
    // beside the axis instead of above it); in a larger one it grows.
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 100;
    static constexpr int kMinimumWidth = 360;
    static constexpr int kMinimumHeight = 22;
    // From this height on the timeline is drawn in its full form.
    static constexpr int kFullFormHeight = 90;

    // A time label of the axis and where it is drawn.
    struct TimeLabel {
        QString text;
        QRect box;
    };
    // The labels of a w x h timeline in the given font: every three hours
    // and 23:59, each centred on its tick, fewer where neighbours would
    // touch (every second, fourth or only the ends), none cut at the edges.
    static QList<TimeLabel> timeLabels(int w, int h, const QFont& font);
    // The font of the time labels and the day's name at height h.
    static QFont labelFontFor(int h);
    static QFont nameFont(int h);

    explicit Tschedule_timeline_Frame(QWidget* parent = nullptr);

    QSize sizeHint() const override { return QSize(kWidth, kHeight); }
    QSize minimumSizeHint() const override { return QSize(kMinimumWidth, kMinimumHeight); }

    // dayidx 1..7, Sunday..Saturday.
    void init(int dayidx);
    // Rebuilds event_list from pSchedule.
    void Refresh_Event_List();
    void setStartingRunstate(int state);

    // Long day name of day 1..7 (Sunday first) in the user's locale.
    static QString longDayName(int dayIndex);
    // The name beside the axis in room pixels: the long names when every
    // day's long name fits, otherwise the short names for all seven, so the
    // days never mix the two.
    static QString axisDayName(int dayIndex, const QFontMetrics& metrics, int room);
    // The timeline's right-click menu: its one command opens the day's events.
    QMenu* contextMenu();

    // Draws the whole timeline into a w x h area.
    void paintTimeline(QPainter& painter, int w, int h) const;
    // "Monday, 2 events, on from 07:05 to 18:00".
    QString spokenName() const;
    // What a click does: the callback with the day index, when enabled.
    void click();

    int day_index = 0;
    const TSchedule_Day* pSchedule = nullptr;
    TScheduleEventList event_list;
    int starting_runstate = 0;
    TdowClick_cb_fn onclick_cb_fn;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Geometry;

    void draw_axis_2(QPainter& painter, const Geometry& g) const;
    void draw_overlay_2(QPainter& painter, const Geometry& g) const;
    void draw_event_mark(QPainter& layer, const Geometry& g, int minute_of_day, const QColor& color) const;
    void announceNameChange();

    QMenu* m_menu = nullptr;
};
