#include "ui/common/PictureIcon.h"

#include "ui/common/TDM_images.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace {

class TPictureIconEngine : public QIconEngine {
public:
    explicit TPictureIconEngine(const QString& name) : m_name(name) { }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, render(rect.size(), ratio, mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return render(size, 1.0, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return render(size, scale, mode, state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new TPictureIconEngine(m_name); }
    QString key() const override { return QStringLiteral("corvane-picture"); }

private:
    QPixmap render(const QSize& size, qreal ratio, QIcon::Mode mode, QIcon::State) const
    {
        if (size.isEmpty())
            return QPixmap();
        QPixmap pixmap = QPixmap::fromImage(picture(m_name, (QSizeF(size) * ratio).toSize()));
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pixmap = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
        }
        pixmap.setDevicePixelRatio(ratio);
        return pixmap;
    }

    QString m_name;
};

} // namespace

QIcon pictureIcon(const QString& name)
{
    if (!hasPicture(name))
        return QIcon();
    return QIcon(new TPictureIconEngine(name));
}
