#include "ui/app/TNoProjectView.h"

#include "ui/common/TDM_images.h"

#include <QPainter>

namespace {
// The controller's case from the built-in pictures; the view still works
// (caption only) should the picture be missing.
QImage Controller_Case_Picture()
{
    const QString name = QStringLiteral("RC_CASE_PNG");
    return Has_Picture(name) ? picture(name) : QImage();
}
} // namespace

TNoProjectView::TNoProjectView(QWidget* parent) : QWidget(parent), controller(Controller_Case_Picture())
{
    setObjectName(QStringLiteral("no_project_Panel"));
    setAccessibleName(Caption());
}

void TNoProjectView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!controller.isNull()) {
        const QSize fit = controller.size().scaled(size() * 0.9, Qt::KeepAspectRatio);
        const QRect box(QPoint((width() - fit.width()) / 2, (height() - fit.height()) / 2), fit);
        p.setOpacity(0.15);
        p.drawImage(box, controller);
        p.setOpacity(1.0);
    }
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 2);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect(), Qt::AlignCenter, Caption());
}
