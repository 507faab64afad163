#include "ui/app/TNoProjectView.h"

#include "ui/common/TDM_images.h"

#include <QPainter>

namespace {
// The controller's case from the built-in pictures; the view still works
// (caption only) should the picture be missing.
QImage controllerCasePicture()
{
    const QString name = QStringLiteral("RC_CASE_PNG");
    return hasPicture(name) ? picture(name) : QImage();
}
} // namespace

TNoProjectView::TNoProjectView(QWidget* parent) : QWidget(parent), m_controller(controllerCasePicture())
{
    setObjectName(QStringLiteral("no_project_Panel"));
    setAccessibleName(caption());
}

void TNoProjectView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_controller.isNull()) {
        const QSize fit = m_controller.size().scaled(size() * 0.9, Qt::KeepAspectRatio);
        const QRect box(QPoint((width() - fit.width()) / 2, (height() - fit.height()) / 2), fit);
        p.setOpacity(0.15);
        p.drawImage(box, m_controller);
        p.setOpacity(1.0);
    }
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 2);
    p.setFont(f);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect(), Qt::AlignCenter, caption());
}
