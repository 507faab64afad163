#include "ui/common/Thint_Frame.h"

#include "ui/common/OptionPictures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QToolTip>

#include <array>

namespace {
struct Hint {
    const char* title;
    const char* text;
};
constexpr std::array<Hint, 9> kHints{{
    {"Unoccupied Strategy", "Will keep the room within the temperature range specified, while unoccupied."},
    {"Occupied Strategy", "Will return the HVAC to a default state, ONLY when the room becomes occupied."},
    {"Service Text", "Will be displayed with the error code description."},
    {"Image Error", "Selected image does not exist in this project."},
    {"Appearance", "Click on the background or logo area to change the image."},
    {"Background Colour", "Adjust the RGB levels of the background image."},
    {"R/C User Interface", "Select which control options are available to the user."},
    {"Image List", "Drag and drop images of the correct resolution onto the panel below."},
    {"Upload Data", "Select which data to upload and click the button"},
}};
} // namespace

Thint_Frame::Thint_Frame(int tag, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("hint_Frame"));
    setFixedSize(kSide, kSide);
    setMask(QRegion(0, 0, kSide, kSide, QRegion::Ellipse));
    setFocusPolicy(Qt::TabFocus);
    setTag(tag);
}

QString Thint_Frame::hintTitle(int tag)
{
    return tag >= 1 && tag <= int(kHints.size()) ? QString::fromLatin1(kHints[tag - 1].title)
                                                 : QStringLiteral("Undefined");
}

QString Thint_Frame::hintText(int tag)
{
    return tag >= 1 && tag <= int(kHints.size()) ? QString::fromLatin1(kHints[tag - 1].text)
                                                 : QStringLiteral("Undefined");
}

void Thint_Frame::setTag(int tag)
{
    m_tag = tag;
    setAccessibleName(hintTitle(tag));
    setAccessibleDescription(hintText(tag));
}

void Thint_Frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(),
                      OptionPictures::picture(QStringLiteral("HINT_BADGE_PNG"), size(), devicePixelRatioF(), false));
    if (hasFocus()) {
        // The badge is round (its mask cuts the corners), so is its focus ring.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void Thint_Frame::showBalloon()
{
    const QString balloon
        = QStringLiteral("<b>%1</b><br>%2").arg(hintTitle(m_tag).toHtmlEscaped(), hintText(m_tag).toHtmlEscaped());
    QToolTip::showText(mapToGlobal(QPoint(width() / 2, height())), balloon, this);
}

void Thint_Frame::enterEvent(QEnterEvent* event)
{
    showBalloon();
    QWidget::enterEvent(event);
}

void Thint_Frame::leaveEvent(QEvent* event)
{
    QToolTip::hideText();
    QWidget::leaveEvent(event);
}

void Thint_Frame::focusInEvent(QFocusEvent* event)
{
    // The balloon closes on any focus change, this one included; it opens
    // once the focus has settled here.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            showBalloon();
    });
    update();
    QWidget::focusInEvent(event);
}

void Thint_Frame::focusOutEvent(QFocusEvent* event)
{
    QToolTip::hideText();
    update();
    QWidget::focusOutEvent(event);
}

void Thint_Frame::mousePressEvent(QMouseEvent* event)
{
    // A balloon closes on the press and release of a button; it opens once
    // the click is over.
    event->accept();
}

void Thint_Frame::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        QTimer::singleShot(0, this, [this] { showBalloon(); });
    event->accept();
}

void Thint_Frame::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        showBalloon();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
