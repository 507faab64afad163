#pragma once
// The project model: five fixed image groups ("handles"), each owning its
// images ("cells"), and the storage budget they share on the controller.

#include "core/model/Dithering.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class THandle_object;

// A number no other picture made while the program runs has.
uint64_t nextPictureId();

class TCell_object {
public:
    // Names the picture in the window: copies of it (an undo step's state,
    // a worker's snapshot) keep the id, so a selection outlives an undo that
    // replaces the picture objects. The project file does not hold it.
    uint64_t pictureId = nextPictureId();
    QString name;
    QString image_file_path;
    QImage bmp;    // as shown in the image view
    QImage fmxbmp; // at the handle's size: the source of conversion and upload
    TDithering_Params dithering;
    int32_t handle_id = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t fileSize = 0;
    int32_t imageSize = 0;
    bool included = true;
    THandle_object* pHandle = nullptr;
    QByteArray imgFileData; // the image at the handle's size, as a PNG file
};

// What a handle is apart from its images; kept apart so that a copy of a
// handle (Clone) takes every setting, including any added later.
struct THandleSettings {
    int32_t id = 0;
    QString name;
    int32_t width = 0;
    int32_t height = 0;
    bool compress_images = false;
    bool raw_jpg_enabled = false;
    int32_t compression_format = 0;
    int32_t jpg_display_format = 0;
    int32_t display_filter = 0;
    int32_t memory_usage = 0;
    bool included = true;
    uint32_t bg_colour = 0;

    bool operator==(const THandleSettings&) const = default;
};

class THandle_object : public THandleSettings {
public:
    // appendCell is the way in: it makes this handle the cell's owner.
    std::vector<std::unique_ptr<TCell_object>> cells;

    // Takes the cell and points it at this handle (pHandle and handle_id).
    TCell_object& appendCell(std::unique_ptr<TCell_object> cell);
    // A copy of the handle with copies of its images, each owned by the copy:
    // what a worker thread may read while the window goes on editing.
    std::unique_ptr<THandle_object> clone() const;
};

using THandleList = std::vector<std::unique_ptr<THandle_object>>;

// Positions of the five handles in every project.
enum HandlePosition : int {
    kBackgroundsIdx = 0,
    kLogosIdx = 1,
    kInfoScreensIdx = 2,
    kBgThumbnailsIdx = 3,
    kLogoThumbnailsIdx = 4,
    kHandleCount = 5
};

inline constexpr int kMaxImagesPerHandle = 30;
inline constexpr int64_t kImageStoreBytes = 3657728; // 0x37D000
// The widths and heights a handle may have. The controller's display is far
// smaller; the limit keeps every size computed from them in range.
inline constexpr int kMaxHandleSide = 4096;

// Replaces the list's contents with the five handles of a new project.
void createDefaultHandles(THandleList& list);

// Position of the thumbnail handle that follows handle idx (BACKGROUNDS and
// LOGOS), or -1.
int thumbnailHandleIndex(int handleIdx);

// Bytes of one image row in the handle's storage format (the pixel format
// table's row rule). 64 bits: any width a file may hold fits.
int64_t Image_Row_Bytes(int format, int width, bool compress_images, int jpg_display_format);
int64_t Handle_Pixel_Bytes(const THandle_object& handle);
int64_t Handle_Storage_Bytes(const THandle_object& handle);
int64_t projectStorageUsed(const THandleList& list);
int64_t projectStorageFree(const THandleList& list);
