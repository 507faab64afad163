#pragma once
// The largest picture one use can take, checked on the size a picture's
// header declares before any pixel is decoded: a file of a few hundred bytes
// can declare tens of millions of pixels, and decoding them would cost
// seconds and hundreds of megabytes for a picture that is refused anyway.

#include "core/model/ProjectModel.h"

#include <QSize>
#include <QString>

class PictureLimit {
public:
    // Import: no side beyond the widest and the tallest image group of the
    // project, since no group could take such a picture.
    static PictureLimit forImport(const THandleList& list);
    // A stored image of the handle: no side beyond the handle's own.
    static PictureLimit forHandle(const THandle_object& handle);
    // A preview: at most kPreviewPixels pixels in all.
    static PictureLimit forPreview();
    // Any picture a handle could hold: no side beyond kMaxHandleSide.
    static PictureLimit forAnyHandle();

    static constexpr qint64 kPreviewPixels = qint64(2048) * 2048;

    // Empty when a picture of this size is within the limit; otherwise one
    // line naming the picture's size and the limit.
    QString refusal(const QSize& size) const;

private:
    PictureLimit(const QSize& largest, qint64 maxPixels, const QString& takes);

    QSize m_largest;
    qint64 m_maxPixels = 0;
    QString m_takes; // "no image group takes pictures larger than 480 x 272 pixels"
};
