#include "ui/common/TDM_images.h"

#include "ui/common/PictureRender.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

// The built-in pictures, made once at start-up and only read afterwards (from
// the window thread), so this pointer is the one global the program keeps:
// nothing that a device operation or a second controller touches.
TDM_imagestore* gImagestore = nullptr;

QString picturePath(const QString& name)
{
    return QStringLiteral(":/pictures/") + name + QStringLiteral(".svg");
}

[[noreturn]] void missing(const QString& name)
{
    throw std::runtime_error(QStringLiteral("The program carries no picture \"%1\".").arg(name).toStdString());
}

template <size_t N> void loadSlots(std::array<QImage, N>& images, const QStringList& kNames, QSize size = {})
{
    for (size_t i = 0; i < N; ++i)
        images[i] = picture(kNames[int(i)], size);
}

} // namespace

bool hasPicture(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && QFile::exists(picturePath(name));
}

QImage renderPicture(const QString& name, QSize size)
{
    if (!hasPicture(name))
        missing(name);
    QSvgRenderer renderer(picturePath(name));
    if (!renderer.isValid())
        missing(name);
    if (size.isEmpty())
        size = renderer.defaultSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

void Load_Png_Resource(QImage& target, const QString& name)
{
    target = picture(name);
}

void Fade_Png_Alpha(const QImage& source, QImage& target, int percent)
{
    // Beyond 0..100 the scaled alpha would wrap around and turn a faded picture
    // into noise.
    percent = std::clamp(percent, 0, 100);
    QImage faded = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < faded.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(faded.scanLine(y));
        for (int x = 0; x < faded.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba(qRed(p), qGreen(p), qBlue(p), percent * qAlpha(p) / 100);
        }
    }
    target = faded;
}

TDM_imagestore::TDM_imagestore()
{
    // In the order of ownSizeNames().
    std::vector<QImage*> own{&run_Png[0], &run_Png[1]};
    for (QImage& i : mode_Png)
        own.push_back(&i);
    for (QImage& i : fan_Png)
        own.push_back(&i);
    for (QImage& i : airdir_Png)
        own.push_back(&i);
    own.insert(own.end(), {&sp_ui_png[0], &sp_ui_png[1], &dim_grey_Png, &therm_Png});
    const QStringList& kNames = ownSizeNames();
    for (std::size_t i = 0; i < own.size(); ++i)
        Load_Png_Resource(*own[i], kNames[qsizetype(i)]);

    loadSlots(cfg_group_ImageList, cfgGroupNames(), QSize(50, 50));
    loadSlots(cfg_items_ImageList, cfgItemNames(), QSize(50, 50));
    loadSlots(misc_200x200_ImageList, misc200Names(), QSize(200, 200));
    gImagestore = this;
}

QList<TPictureRequest> TDM_imagestore::startUpPictures()
{
    QList<TPictureRequest> requests;
    for (const QString& name : ownSizeNames())
        requests.append({name, QSize()});
    for (const QString& name : cfgGroupNames() + cfgItemNames())
        requests.append({name, QSize(50, 50)});
    for (const QString& name : misc200Names())
        requests.append({name, QSize(200, 200)});
    return requests;
}

TDM_imagestore::~TDM_imagestore()
{
    if (gImagestore == this)
        gImagestore = nullptr;
}

TDM_imagestore* dmImagestore()
{
    return gImagestore;
}

const QStringList& TDM_imagestore::cfgGroupNames()
{
    static const QStringList kNames{"GRP_CONFIG_PNG", "GRP_IMAGES_PNG", "GRP_UPLOAD_PNG", "GRP_RETRIEVE_PNG",
                                    "GRP_FIRMWARE_PNG"};
    return kNames;
}

const QStringList& TDM_imagestore::cfgItemNames()
{
    static const QStringList kNames{"CFG_GENERAL_PNG",   "CFG_OCCUPANCY_PNG", "CFG_UI_PNG",   "CFG_APPEARANCE_PNG",
                                    "CFG_SCHEDULER_PNG", "CFG_SERVICE_PNG",   "CFG_FROST_PNG"};
    return kNames;
}

const QStringList& TDM_imagestore::misc200Names()
{
    static const QStringList kNames{"EVT_ADD_PNG", "EVT_DEL_OFF_PNG", "EVT_DEL_PNG", "EVT_EDIT_PNG", "EVT_COPY_PNG"};
    return kNames;
}

const QStringList& TDM_imagestore::ownSizeNames()
{
    static const QStringList kNames{"PWR_OFF_PNG",   "PWR_ON_PNG",   "MD_COOL_PNG",   "MD_HEAT_PNG",  "MD_FAN_PNG",
                                    "MD_DRY_PNG",    "MD_AUTO_PNG",  "FS_LOW_PNG",    "FS_MED_PNG",   "FS_HIGH_PNG",
                                    "FS_AUTO_PNG",   "AD_HORIZ_PNG", "AD_225DEG_PNG", "AD_45DEG_PNG", "AD_675DEG_PNG",
                                    "AD_VERT_PNG",   "AD_SWING_PNG", "AD_HOLD_PNG",   "SP_VALUE_PNG", "SP_GRADIENT_PNG",
                                    "GREY_FADE_PNG", "THERM_PNG"};
    return kNames;
}

QStringList TDM_imagestore::allPictureNames()
{
    QStringList kNames = ownSizeNames();
    kNames << cfgGroupNames() << cfgItemNames() << misc200Names();
    kNames << "RC_CASE_PNG"
           << "SPLASH_PNG"
           << "APP_ICON_PNG" << galleryNames();
    kNames << "TREE_RENAME_PNG"
           << "TREE_UP_PNG"
           << "TREE_DOWN_PNG"
           << "TREE_DELETE_PNG"
           << "NOT_INCLUDED_PNG";
    kNames << "MSG_WARNING_PNG"
           << "MSG_ERROR_PNG"
           << "MSG_INFO_PNG"
           << "MSG_QUESTION_PNG";
    return kNames;
}

const QStringList& TDM_imagestore::galleryNames()
{
    static const QStringList kNames{"GALLERY_HOME_PNG", "GALLERY_SCHEDULE_PNG", "GALLERY_INFO_PNG", "GALLERY_RTC_PNG"};
    return kNames;
}
