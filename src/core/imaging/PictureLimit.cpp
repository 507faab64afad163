#include "core/imaging/PictureLimit.h"

#include "core/messaging/UntrustedText.h"

#include <algorithm>

PictureLimit::PictureLimit(const QSize& largest, qint64 maxPixels, const QString& takes)
    : m_largest(largest)
    , m_maxPixels(maxPixels)
    , m_takes(takes)
{
}

PictureLimit PictureLimit::forImport(const THandleList& list)
{
    int width = 0;
    int height = 0;
    for (const auto& handle : list) {
        width = std::max(width, handle->width);
        height = std::max(height, handle->height);
    }
    return PictureLimit(
        QSize(width, height), qint64(width) * height,
        QStringLiteral("no image group takes pictures larger than %1 x %2 pixels").arg(width).arg(height));
}

PictureLimit PictureLimit::forHandle(const THandle_object& handle)
{
    const int width = std::max(handle.width, 0);
    const int height = std::max(handle.height, 0);
    return PictureLimit(QSize(width, height), qint64(width) * height,
                        QStringLiteral("the group %1 takes %2 x %3 pixel pictures")
                            .arg(untrustedText(handle.name))
                            .arg(width)
                            .arg(height));
}

PictureLimit PictureLimit::forPreview()
{
    return PictureLimit(QSize(), kPreviewPixels,
                        QStringLiteral("a preview takes at most %1 pixels (%2 x %2)").arg(kPreviewPixels).arg(2048));
}

PictureLimit PictureLimit::forAnyHandle()
{
    return PictureLimit(QSize(kMaxHandleSide, kMaxHandleSide), qint64(kMaxHandleSide) * kMaxHandleSide,
                        QStringLiteral("no image group takes pictures larger than %1 x %1 pixels").arg(kMaxHandleSide));
}

QString PictureLimit::refusal(const QSize& size) const
{
    const qint64 pixels = qint64(size.width()) * size.height();
    const bool tooWide = m_largest.isValid() && size.width() > m_largest.width();
    const bool tooHigh = m_largest.isValid() && size.height() > m_largest.height();
    if (!tooWide && !tooHigh && pixels <= m_maxPixels)
        return {};
    return QStringLiteral("The picture is %1 x %2 pixels (%3 pixels); %4.")
        .arg(size.width())
        .arg(size.height())
        .arg(pixels)
        .arg(m_takes);
}
