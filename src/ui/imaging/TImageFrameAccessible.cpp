#include "ui/imaging/TImageFrameAccessible.h"

#include "core/model/ProjectModel.h"
#include "ui/imaging/TImageFrame.h"

namespace {
QAccessibleInterface* frameFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TImageFrame") && object && object->isWidgetType())
        return new TImageFrameAccessible(static_cast<TImageFrame*>(object));
    return nullptr;
}
} // namespace

TImageFrameAccessible::TImageFrameAccessible(TImageFrame* frame) : QAccessibleWidget(frame, QAccessible::Graphic) { }

TImageFrame* TImageFrameAccessible::frame() const
{
    return static_cast<TImageFrame*>(widget());
}

QString TImageFrameAccessible::inclusionText(bool included)
{
    return included ? QStringLiteral("included") : QStringLiteral("not included");
}

QString TImageFrameAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: return frame()->name();
    case QAccessible::Value:
    case QAccessible::Description: return inclusionText(frame()->included());
    default: return QAccessibleWidget::text(t);
    }
}

int TImageFrameAccessible::childCount() const
{
    // The frame is one picture to a screen reader: its backdrop, image and
    // caption are not announced one by one as unnamed graphics.
    return 0;
}

QAccessibleInterface* TImageFrameAccessible::child(int) const
{
    return nullptr;
}

int TImageFrameAccessible::indexOfChild(const QAccessibleInterface*) const
{
    return -1;
}

QAccessible::State TImageFrameAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    // An image that is left out of the upload is shown veiled; assistive
    // tools present such an item as unavailable.
    s.disabled = !frame()->included();
    return s;
}

void TImageFrameAccessible::install()
{
    static const bool kInstalled = [] {
        QAccessible::installFactory(frameFactory);
        return true;
    }();
    Q_UNUSED(kInstalled);
}
