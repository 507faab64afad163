// What picture() keeps: rendered pictures by name and size, shared between
// the window thread and the threads that render ahead at start-up.
#include "ui/common/PictureRender.h"
#include "ui/common/TDM_images.h"

#include <QCache>
#include <QMutex>
#include <QSet>
#include <QThreadPool>
#include <QWaitCondition>

namespace {

// Enough for every picture the windows show at once at a large scale; a
// window resized step by step asks for sizes that are not needed again.
constexpr qsizetype kCacheKiB = 48 * 1024;

class PictureCache {
public:
    QImage get(const QString& name, QSize size)
    {
        const QString key = name + QLatin1Char('@') + QString::number(size.width()) + QLatin1Char('x')
            + QString::number(size.height());
        {
            QMutexLocker lock(&m_mutex);
            while (m_rendering.contains(key))
                m_done.wait(&m_mutex);
            if (const QImage* kept = m_images.object(key))
                return *kept;
            m_rendering.insert(key);
        }
        QImage image;
        try {
            image = renderPicture(name, size);
        } catch (...) {
            finish(key, nullptr);
            throw;
        }
        finish(key, &image);
        return image;
    }

private:
    void finish(const QString& key, const QImage* image)
    {
        QMutexLocker lock(&m_mutex);
        m_rendering.remove(key);
        if (image)
            m_images.insert(key, new QImage(*image), qMax<qsizetype>(1, image->sizeInBytes() / 1024));
        m_done.wakeAll();
    }

    QMutex m_mutex;
    QWaitCondition m_done;
    QSet<QString> m_rendering;
    QCache<QString, QImage> m_images{kCacheKiB};
};

// Never destroyed: a rendering thread may still use it while the program ends.
PictureCache& sharedCache()
{
    static auto* cache = new PictureCache;
    return *cache;
}

} // namespace

QImage picture(const QString& name, QSize size)
{
    return sharedCache().get(name, size);
}

void prerenderPictures(const QList<TPictureRequest>& requests)
{
    for (const TPictureRequest& r : requests) {
        QThreadPool::globalInstance()->start([r] {
            try {
                picture(r.name, r.size);
            } catch (...) {
                // A missing picture is reported where it is needed.
            }
        });
    }
}
