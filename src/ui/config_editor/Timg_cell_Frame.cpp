#include "ui/config_editor/Timg_cell_Frame.h"

#include "ui/common/TDM_images.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
QPixmap veilPicture()
{
    static const QPixmap kVeil
        = QPixmap::fromImage(dmImagestore() ? dmImagestore()->dim_grey_Png : picture(QStringLiteral("GREY_FADE_PNG")));
    return kVeil;
}

class TImageCellAccessible : public QAccessibleWidget {
public:
    explicit TImageCellAccessible(Timg_cell_Frame* frame) : QAccessibleWidget(frame, QAccessible::Button) { }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            static_cast<Timg_cell_Frame*>(widget())->click();
    }
};

QAccessibleInterface* cellFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("Timg_cell_Frame") && object && object->isWidgetType())
        return new TImageCellAccessible(static_cast<Timg_cell_Frame*>(object));
    return nullptr;
}

void installAccessibility()
{
    static const bool kInstalled = [] {
        QAccessible::installFactory(cellFactory);
        return true;
    }();
    Q_UNUSED(kInstalled);
}
} // namespace

Timg_cell_Frame::Timg_cell_Frame(QWidget* parent) : QFrame(parent)
{
    installAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_image->move(kMargin, kMargin);

    // The veil lies over the whole frame, margins included.
    m_dim = new QLabel(this);
    m_dim->setObjectName(QStringLiteral("dim_Image"));
    m_dim->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dim->setScaledContents(true);
    m_dim->setPixmap(veilPicture());
    m_dim->hide();
}

void Timg_cell_Frame::setPicture(const QImage& picture, QSize logicalSize)
{
    QPixmap pixmap = QPixmap::fromImage(picture);
    if (!logicalSize.isEmpty() && !picture.isNull())
        pixmap.setDevicePixelRatio(qreal(picture.width()) / logicalSize.width());
    m_image->setPixmap(pixmap);
    m_image->resize(logicalSize);
    setFixedSize(logicalSize + QSize(2 * kMargin, 2 * kMargin));
    m_dim->setGeometry(rect());
}

void Timg_cell_Frame::setVeiled(bool veiled)
{
    m_dim->setVisible(veiled);
    if (veiled)
        m_dim->raise();
}

bool Timg_cell_Frame::isVeiled() const
{
    return !m_dim->isHidden();
}

void Timg_cell_Frame::click()
{
    if (isEnabled() && img_cb_fn)
        img_cb_fn(idx);
}

void Timg_cell_Frame::setHighlighted(bool on)
{
    if (m_highlighted == on)
        return;
    m_highlighted = on;
    update();
}

void Timg_cell_Frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_highlighted) {
        QPen pen(Qt::red, kHighlightPen);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        const qreal inset = kHighlightPen / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void Timg_cell_Frame::enterEvent(QEnterEvent* event)
{
    // A disabled gallery takes no pointer, so nothing lights up under the veil.
    setHighlighted(isEnabled());
    QFrame::enterEvent(event);
}

void Timg_cell_Frame::leaveEvent(QEvent* event)
{
    setHighlighted(false);
    QFrame::leaveEvent(event);
}

void Timg_cell_Frame::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void Timg_cell_Frame::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        click();
}

void Timg_cell_Frame::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: click(); break;
    default: QFrame::keyPressEvent(event);
    }
}

void Timg_cell_Frame::focusInEvent(QFocusEvent* event)
{
    update();
    QFrame::focusInEvent(event);
}

void Timg_cell_Frame::focusOutEvent(QFocusEvent* event)
{
    update();
    QFrame::focusOutEvent(event);
}

void Timg_cell_Frame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        setHighlighted(false);
    QFrame::changeEvent(event);
}
