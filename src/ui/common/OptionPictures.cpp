#include "ui/common/OptionPictures.h"

#include "ui/common/TDM_images.h"

#include <QHash>
#include <QtMath>

namespace OptionPictures {

QImage picture(const QString& name, QSize size, qreal devicePixelRatio, bool faded)
{
    // Only the window thread paints, so the cache needs no lock.
    static QHash<QString, QImage> cache;
    const QSize pixels(qCeil(size.width() * devicePixelRatio), qCeil(size.height() * devicePixelRatio));
    const QString key = QStringLiteral("%1/%2x%3/%4").arg(name).arg(pixels.width()).arg(pixels.height()).arg(faded);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;

    QImage image = ::picture(name, pixels);
    if (faded) {
        QImage dimmed;
        Fade_Png_Alpha(image, dimmed, kFadePercent);
        image = dimmed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    cache.insert(key, image);
    return image;
}

} // namespace OptionPictures
