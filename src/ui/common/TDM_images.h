#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

struct TPictureRequest {
    QString name;
    QSize size; // empty: the picture's own size
};

// The program's own pictures, drawn as SVG and rendered at the size asked
// for. Created once at start-up before the main window; read-only after.
class TDM_imagestore {
public:
    // Loads every slot and image list; throws std::runtime_error naming the
    // picture when one is missing.
    TDM_imagestore();
    ~TDM_imagestore();
    TDM_imagestore(const TDM_imagestore&) = delete;
    TDM_imagestore& operator=(const TDM_imagestore&) = delete;

    std::array<QImage, 2> run_Png;    // PWR_OFF_PNG, PWR_ON_PNG
    std::array<QImage, 5> mode_Png;   // MD_COOL, MD_HEAT, MD_FAN, MD_DRY, MD_AUTO
    std::array<QImage, 4> fan_Png;    // FS_LOW, FS_MED, FS_HIGH, FS_AUTO
    std::array<QImage, 7> airdir_Png; // AD_HORIZ, AD_225DEG, AD_45DEG, AD_675DEG, AD_VERT, AD_SWING, AD_HOLD
    std::array<QImage, 2> sp_ui_png;  // SP_VALUE_PNG, SP_GRADIENT_PNG
    QImage dim_grey_Png;              // GREY_FADE_PNG
    QImage therm_Png;                 // THERM_PNG

    // 50 x 50: Configuration, Images, Upload Data, Retrieve Configuration, Firmware Upgrade.
    std::array<QImage, 5> cfg_group_ImageList;
    // 50 x 50: general, occupancy, user interface, appearance, scheduler, service, frost.
    std::array<QImage, 7> cfg_items_ImageList;
    // 200 x 200: add (green plus), delete off (grey cross), delete (red cross), edit (pencil), copy (two sheets).
    std::array<QImage, 5> misc_200x200_ImageList;

    // Names of the pictures in each list above, in index order.
    static const QStringList& cfgGroupNames();
    static const QStringList& cfgItemNames();
    static const QStringList& misc200Names();
    // Preview pictures of the controller shown by the gallery window.
    static const QStringList& galleryNames();
    // Every picture the store's constructor renders, at the size it asks for.
    static QList<TPictureRequest> startUpPictures();
    // The slots rendered at their own size, run_Png to therm_Png in order.
    static const QStringList& ownSizeNames();
    // Every picture name the program carries: the slots and lists above, the
    // controller case RC_CASE_PNG (690 x 362), SPLASH_PNG, APP_ICON_PNG, the
    // gallery pictures, the project tree's button glyphs (TREE_RENAME_PNG,
    // TREE_UP_PNG, TREE_DOWN_PNG, TREE_DELETE_PNG) and the faint picture behind
    // "Not Included" (NOT_INCLUDED_PNG).
    static QStringList allPictureNames();
};

// The store created at start-up, which the editors and windows draw from;
// nullptr before it is created and after it is destroyed.
TDM_imagestore* dmImagestore();

// A built-in picture rendered at size (its own size when size is empty),
// 32-bit premultiplied ARGB. Throws std::runtime_error naming a missing picture.
// Rendered pictures are kept (up to a bound) and shared: the same picture at
// the same size is rendered once however many windows ask for it.
QImage picture(const QString& name, QSize size = {});

// Renders the pictures on other cores, into what picture() keeps, and returns
// at once: start-up asks for them ahead, so that its pauses do the work. A
// picture() call for one still being rendered waits for it.
void prerenderPictures(const QList<TPictureRequest>& requests);

// True when the program carries a picture of that name.
bool hasPicture(const QString& name);

// Fills picture with the built-in picture of that name at its own size.
// Throws std::runtime_error naming a missing picture.
void Load_Png_Resource(QImage& picture, const QString& name);

// target := source with every alpha value replaced by percent x alpha / 100
// (integer division); colour channels (not premultiplied) are copied unchanged.
// The target is in QImage::Format_ARGB32.
void Fade_Png_Alpha(const QImage& source, QImage& target, int percent);
