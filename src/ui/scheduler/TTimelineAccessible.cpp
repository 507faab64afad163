#include "ui/scheduler/TTimelineAccessible.h"

#include "ui/scheduler/Tschedule_timeline_Frame.h"

namespace {
QAccessibleInterface* timelineFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("Tschedule_timeline_Frame") && object && object->isWidgetType())
        return new TTimelineAccessible(static_cast<Tschedule_timeline_Frame*>(object));
    return nullptr;
}
} // namespace

TTimelineAccessible::TTimelineAccessible(Tschedule_timeline_Frame* frame)
    : QAccessibleWidget(frame, QAccessible::Button)
{
}

Tschedule_timeline_Frame* TTimelineAccessible::frame() const
{
    return static_cast<Tschedule_timeline_Frame*>(widget());
}

QString TTimelineAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return frame()->spokenName();
    if (t == QAccessible::Description)
        return QStringLiteral("Opens the scheduled events of this day");
    return QAccessibleWidget::text(t);
}

QStringList TTimelineAccessible::actionNames() const
{
    if (!widget()->isEnabled())
        return {};
    return {pressAction()};
}

void TTimelineAccessible::doAction(const QString& actionName)
{
    if (actionName == pressAction())
        frame()->click();
}

void installTimelineAccessibility()
{
    static const bool kInstalled = [] {
        QAccessible::installFactory(timelineFactory);
        return true;
    }();
    (void)kInstalled;
}
