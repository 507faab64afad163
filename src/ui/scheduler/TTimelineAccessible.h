#pragma once
// Screen readers and UI automation see a day timeline as a button named by
// its day and a summary of its events and run periods, with a press action
// that opens the events editor as a click does.

#include <QAccessibleWidget>

class Tschedule_timeline_Frame;

class TTimelineAccessible : public QAccessibleWidget {
public:
    explicit TTimelineAccessible(Tschedule_timeline_Frame* frame);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    Tschedule_timeline_Frame* frame() const;
};

// Registers the interface with Qt's accessibility; repeated calls do nothing.
void installTimelineAccessibility();
