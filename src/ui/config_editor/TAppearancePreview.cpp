#include "ui/config_editor/TAppearancePreview.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

TAppearancePreview::TAppearancePreview(QWidget* parent) : QWidget(parent)
{
    installAppearancePreviewAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void TAppearancePreview::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void TAppearancePreview::clearPicture()
{
    m_picture = QImage();
    update();
}

void TAppearancePreview::click()
{
    if (isEnabled())
        emit clicked();
}

void TAppearancePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull()) {
        const QSize fit = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect box(QPoint((width() - fit.width()) / 2, (height() - fit.height()) / 2), fit);
        if (box.size() != m_picture.size())
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(box, m_picture);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TAppearancePreview::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void TAppearancePreview::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
}

void TAppearancePreview::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: click(); break;
    default: QWidget::keyPressEvent(event);
    }
}

namespace {
class TAppearancePreviewAccessible : public QAccessibleWidget {
public:
    explicit TAppearancePreviewAccessible(TAppearancePreview* preview) : QAccessibleWidget(preview, QAccessible::Button)
    {
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            static_cast<TAppearancePreview*>(widget())->click();
    }
};

QAccessibleInterface* previewFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TAppearancePreview") && object && object->isWidgetType())
        return new TAppearancePreviewAccessible(static_cast<TAppearancePreview*>(object));
    return nullptr;
}
} // namespace

void installAppearancePreviewAccessibility()
{
    static const bool kInstalled = [] {
        QAccessible::installFactory(previewFactory);
        return true;
    }();
    Q_UNUSED(kInstalled);
}
