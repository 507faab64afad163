#include "ui/common/gen_lib.h"

#include "ui/common/TDM_images.h"

#include <QApplication>
#include <QEventLoop>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace {

TPrompter* gPrompter = nullptr;

QMessageBox::Icon iconFor(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::MtWarning: return QMessageBox::Warning;
    case TMsgDlgType::MtError: return QMessageBox::Critical;
    case TMsgDlgType::MtInformation: return QMessageBox::Information;
    case TMsgDlgType::MtConfirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString captionFor(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::MtWarning: return QStringLiteral("Warning");
    case TMsgDlgType::MtError: return QStringLiteral("Error");
    case TMsgDlgType::MtInformation: return QStringLiteral("Information");
    case TMsgDlgType::MtConfirmation: return QStringLiteral("Confirm");
    }
    return QString();
}

QString iconPictureFor(TMsgDlgType kind)
{
    switch (kind) {
    case TMsgDlgType::MtWarning: return QStringLiteral("MSG_WARNING_PNG");
    case TMsgDlgType::MtError: return QStringLiteral("MSG_ERROR_PNG");
    case TMsgDlgType::MtInformation: return QStringLiteral("MSG_INFO_PNG");
    case TMsgDlgType::MtConfirmation: return QStringLiteral("MSG_QUESTION_PNG");
    }
    return QString();
}

// The style's message icons are small bitmaps that blur when a dense screen
// scales them; ours are drawn for the screen the box opens on.
void useOwnIcon(QMessageBox& box, TMsgDlgType kind)
{
    const QString name = iconPictureFor(kind);
    if (!hasPicture(name))
        return;
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    const qreal ratio = box.devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(picture(name, QSize(side, side) * ratio));
    pixmap.setDevicePixelRatio(ratio);
    box.setIconPixmap(pixmap);
}

QMessageBox::StandardButton realDialog(const QString& text, TMsgDlgType kind, QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton)
{
    QWidget* owner = QApplication::activeWindow();
    QMessageBox box(iconFor(kind), QStringLiteral(" ") + captionFor(kind),
                    // Our texts separate lines with '\r'; a label breaks only at '\n'.
                    QString(text)
                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                        .replace(QLatin1Char('\r'), QLatin1Char('\n')),
                    buttons == QMessageBox::NoButton ? QMessageBox::Ok : buttons, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlags(Qt::Dialog | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        box.setFont(QFont(QStringLiteral("Tahoma"), box.font().pointSize()));
    // Long lines stay on one line instead of being wrapped: every label is
    // at least as wide as its longest line. (The box turns word wrapping on
    // for a wide text when it is shown; at this width wrapping has nothing
    // to break.)
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setWordWrap(false);
        label->setMinimumWidth(unwrappedTextWidth(label->fontMetrics(), label->text()));
    }
    useOwnIcon(box, kind);
    if (kind != TMsgDlgType::MtInformation)
        QApplication::beep();
    // The box settles its final size only when shown; centre it after that.
    QMetaObject::invokeMethod(
        &box,
        [&box, owner = QPointer<QWidget>(owner)] {
            const QRect area
                = owner ? owner->frameGeometry() : (box.screen() ? box.screen()->availableGeometry() : QRect());
            if (area.isValid()) {
                QRect frame = box.frameGeometry();
                frame.moveCenter(area.center());
                box.move(frame.topLeft());
            }
        },
        Qt::QueuedConnection);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

int unwrappedTextWidth(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    // A pixel to spare against rounding in the label's own layout.
    return widest + 1;
}

void setPrompter(TPrompter* prompter)
{
    gPrompter = prompter;
}

TPrompter* currentPrompter()
{
    return gPrompter;
}

void Delay_With_Messages(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

QMessageBox::StandardButton Show_Message_Box(const QString& text, TMsgDlgType kind,
                                             QMessageBox::StandardButtons buttons)
{
    return Show_Message_Box_Ex(text, kind, buttons, QMessageBox::NoButton);
}

QMessageBox::StandardButton Show_Message_Box_Ex(const QString& text, TMsgDlgType kind,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton)
{
    if (gPrompter)
        return gPrompter->ask(text, kind, buttons, defaultButton);
    return realDialog(text, kind, buttons, defaultButton);
}

void Enable_Children(QWidget* control)
{
    if (!control)
        return;
    // The control's own setting, not the state it inherits from its parents.
    const bool on = !control->testAttribute(Qt::WA_ForceDisabled);
    for (QWidget* child : control->findChildren<QWidget*>())
        child->setEnabled(on);
}

void makeCheckerBitmap(QImage& bitmap, int height, int width, QColor c1, QColor c2, int cell)
{
    bitmap = QImage(qMax(width, 0), qMax(height, 0), QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return;
    if (cell < 1)
        cell = 1;
    QPainter painter(&bitmap);
    painter.fillRect(bitmap.rect(), c1);
    for (int y = 0; y < height; y += cell)
        for (int x = (y / cell) % 2 ? 0 : cell; x < width; x += 2 * cell)
            painter.fillRect(x, y, cell, cell, c2);
}
