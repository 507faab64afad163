#pragma once
// Importing picture files into a project: the name an image gets from its
// file, the four limits a new image must meet and the status code that says
// which one refused it. The window (drag and drop) and corvane-cli add-image
// both import through here.
//
// An import is two steps. prepareImport does the expensive, file-only work
// (decode, size check, storage estimates, thumbnail, PNG bytes) and touches
// no project state, so several files can be prepared on worker threads at
// once. applyImport then checks what depends on the project as it stands
// (image count, free storage) and adds the cells; applied in file order, the
// outcome is exactly that of importing the files one after another.

#include "core/imaging/PictureLimit.h"
#include "core/model/Dithering.h"
#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

enum TImportStatus : int {
    kInvalidImageFile = 0,
    kImageDimensionsNotCompatible = 1,
    kNotEnoughFreeStorageMemory = 2,
    kImageListFull = 3,
    kImageAddedSuccessfully = 4,
};

// "Invalid Image File", ... "Image Added Successfully"; empty for other codes.
QString importStatusText(int code);

// A name that begins with a decimal digit gets a leading "_"; every name is
// upper case.
QString imageDisplayName(const QString& name);

// The image name of a file: its name with the extension, without its folder,
// every "." replaced by "_", then as imageDisplayName. Blanks stay.
QString imageNameFromFile(const QString& path);

// A transparent picture of the given size with the image drawn on it scaled
// to fit (aspect ratio kept), centred, smoothly interpolated.
QImage makeThumbnail(const QImage& image, QSize size);

// The file types an import accepts, told by the file's extension (lower
// case, without the dot). The contents are then decoded by their signature.
const QStringList& importFileExtensions();

// What preparing a file needs to know of the receiving handle (and of its
// thumbnail handle), copied so that preparation never reads the project.
struct TImportTarget {
    int handleIdx = -1;
    QSize size;
    bool compress_images = false;
    int compression_format = 0;
    int thumbnailIdx = -1; // -1: the handle keeps no thumbnails
    QSize thumbnailSize;
    bool thumbnailCompressImages = false;
    int thumbnailCompressionFormat = 0;
    // No handle of the project takes a larger picture: checked on the size
    // a file's header declares, before its pixels are decoded.
    std::optional<PictureLimit> importLimit;

    // The handle at handleIdx of the list, which must be one of the three
    // that receive images (BACKGROUNDS, LOGOS, INFO_SCREENS).
    static TImportTarget of(const THandleList& list, int handleIdx);
};

// A file made ready for applyImport.
struct TPreparedImage {
    QString path;
    QString name;
    // Image_Added_Successfully when the file itself passes; otherwise
    // Invalid_Image_File or Image_Dimensions_Not_Compatible (also for a
    // picture larger than any handle, refused before it is decoded).
    int status = kInvalidImageFile;
    QString reason; // why the file was refused, for a reader who asks
    qint64 fileSize = -1;

    QImage image;
    QByteArray png;
    TDithering_Params dithering;
    int estimate = 0; // stored size under the receiving handle's settings

    QImage thumbnail;
    QByteArray thumbnailPng;
    TDithering_Params thumbnailDithering;
    int thumbnailEstimate = 0; // with the receiving handle's settings: the budget check
    int thumbnailCellSize = 0; // with the thumbnail handle's own settings: its imageSize
};

// Safe on any thread: reads the file, reads no project state.
TPreparedImage prepareImport(const QString& path, const TImportTarget& target);

struct TImportResult {
    int status = kInvalidImageFile;
    TCell_object* cell = nullptr;      // the new image, when added
    TCell_object* thumbnail = nullptr; // and its thumbnail, where the handle keeps one
};

// Applies the project-dependent limits in their order (a full list before
// anything else, then the file's own verdict, then the free storage) and, if
// all pass, adds the image and its thumbnail. The prepared pictures are moved
// into the new cells.
TImportResult applyImport(THandleList& list, const TImportTarget& target, TPreparedImage&& prepared);

// Both steps on the calling thread.
TImportResult Import_Image_File(THandleList& list, int handleIdx, const QString& path);

// Creates a cell of the handle from a picture already at the handle's size
// and appends it; recomputes the handle's memory_usage. image_file_path stays
// empty: the file may be gone by the time the project is opened again.
TCell_object& Add_Cell(THandle_object& handle, const QImage& bitmap, const QByteArray& png, const QString& name,
                       qint64 fileSize, int imageSize, const TDithering_Params& dithering);
