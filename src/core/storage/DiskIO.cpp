#include "core/storage/DiskIO.h"

#include "core/messaging/UntrustedText.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/LeByteReader.h"
#include "core/storage/LeByteWriter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace {

constexpr qint64 kStoredConfigV2Bytes = 1343; // the second check byte is not stored
constexpr qint64 kStoredConfigV1Bytes = 179;

// Smallest handle and cell records of each section version (empty strings, no
// cells, no image data): a count that cannot fit in the bytes left is corrupt.
qint64 minHandleRecordBytes(uint32_t section)
{
    switch (section) {
    case 1: return 30;
    case 2: return 34;
    case 3: return 39;
    default: return 43;
    }
}

qint64 minCellRecordBytes(uint32_t section)
{
    return section >= 3 ? 37 : 36;
}

void writeCell(LeByteWriter& w, const TCell_object& c)
{
    w.string(c.name);
    w.string(c.image_file_path);
    w.f64(c.dithering.random_stdev);
    w.i32(c.dithering.random_bits);
    w.i32(c.handle_id);
    w.i32(c.fileSize);
    w.i32(c.imageSize);
    w.boolean(c.included);
    w.u32(uint32_t(c.imgFileData.size()));
    w.raw(c.imgFileData.constData(), c.imgFileData.size());
}

void writeHandle(LeByteWriter& w, const THandle_object& h)
{
    w.i32(h.id);
    w.string(h.name);
    w.i32(h.width);
    w.i32(h.height);
    w.boolean(h.compress_images);
    w.boolean(h.raw_jpg_enabled);
    w.i32(h.compression_format);
    w.i32(h.display_filter);
    w.i32(h.memory_usage);
    w.boolean(h.included);
    w.i32(h.jpg_display_format);
    w.u32(h.bg_colour);
    w.u32(uint32_t(h.cells.size()));
    for (const auto& c : h.cells)
        writeCell(w, *c);
}

// Every size derived from a handle's width and height (row bytes, pixel
// totals, pictures decoded for it) is computed from these; a value no
// controller display could have is a damaged file, not a project.
void checkSide(const QString& where, const char* what, int32_t value)
{
    if (value < 1 || value > kMaxHandleSide)
        throw ProjectFileError(QStringLiteral("%1: a %2 of %3 pixels is outside 1 to %4")
                                   .arg(where, QLatin1String(what))
                                   .arg(value)
                                   .arg(kMaxHandleSide));
}

std::unique_ptr<TCell_object> readCell(LeByteReader& r, uint32_t section, THandle_object* owner)
{
    auto c = std::make_unique<TCell_object>();
    c->name = r.string("image name");
    c->image_file_path = r.string("image file path");
    c->dithering.random_stdev = r.f64("random standard deviation");
    c->dithering.random_bits = r.i32("random bits");
    c->handle_id = r.i32("handle id");
    c->fileSize = r.i32("file size");
    c->imageSize = r.i32("image size");
    c->included = section >= 3 ? r.boolean("included flag") : true;
    const uint32_t dataLength = r.u32("image data length");
    c->imgFileData = r.bytes(qint64(dataLength), "image data");
    // Every image of a handle has the handle's size; the file does not repeat it.
    c->width = owner->width;
    c->height = owner->height;
    return c;
}

std::unique_ptr<THandle_object> readHandle(LeByteReader& r, uint32_t section, int index)
{
    auto h = std::make_unique<THandle_object>();
    r.setContext(QStringLiteral("image group %1").arg(index + 1));
    h->id = r.i32("handle id");
    h->name = r.string("handle name");
    const QString where = QStringLiteral("image group %1 (%2)").arg(index + 1).arg(untrustedText(h->name));
    r.setContext(where);
    h->width = r.i32("width");
    h->height = r.i32("height");
    checkSide(where, "width", h->width);
    checkSide(where, "height", h->height);
    h->compress_images = r.boolean("compress flag");
    h->raw_jpg_enabled = r.boolean("JPEG flag");
    h->compression_format = r.i32("compression format");
    h->display_filter = section >= 2 ? r.i32("display filter") : 0;
    h->memory_usage = r.i32("memory usage");
    h->included = section >= 3 ? r.boolean("included flag") : true;
    h->jpg_display_format = section >= 3 ? r.i32("JPEG display format") : 0;
    h->bg_colour = section >= 4 ? r.u32("background colour") : 0xFFFFFFFFu;

    const int32_t cellCount = r.i32("image count");
    if (cellCount > 0 && cellCount > r.remaining() / minCellRecordBytes(section))
        throw ProjectFileError(QStringLiteral("%1: an image count of %2 cannot fit in the %3 bytes left in the file")
                                   .arg(where)
                                   .arg(cellCount)
                                   .arg(r.remaining()));
    for (int32_t i = 0; i < cellCount; ++i) {
        r.setContext(QStringLiteral("%1, image %2").arg(where).arg(i + 1));
        auto cell = readCell(r, section, h.get());
        // The file's own handle id is kept, so that a project saved again
        // without changes is the same file.
        const int32_t storedHandleId = cell->handle_id;
        h->appendCell(std::move(cell)).handle_id = storedHandleId;
    }
    return h;
}

} // namespace

void writeProject(QIODevice& device, const TDevice_Config_v2& rec, const THandleList& list)
{
    LeByteWriter w(device);
    w.u32(kProjectFileVersion);
    w.u32(0);
    w.u32(2);
    w.raw(&rec, kStoredConfigV2Bytes);
    w.u32(kHandleSectionVersion);
    w.u32(uint32_t(list.size()));
    for (const auto& h : list)
        writeHandle(w, *h);
}

QByteArray projectFileBytes(const TDevice_Config_v2& rec, const THandleList& list)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeProject(buffer, rec, list);
    return bytes;
}

void Save_Project_File(const QString& path, const TDevice_Config_v2& rec, const THandleList& list)
{
    const TDevice_Config_v2 copy = rec;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // Qt's own text repeats the path; the cause is what the user needs.
        const QFileInfo existing(path);
        const QString why = existing.exists() && !existing.isWritable() ? QStringLiteral("the file is read-only")
                                                                        : file.errorString();
        throw ProjectFileError(QStringLiteral("Cannot create the project file %1: %2").arg(path, why));
    }

    writeProject(file, copy, list);
    if (!file.commit())
        throw ProjectFileError(QStringLiteral("Cannot write the project file %1: %2").arg(path, file.errorString()));
}

bool loadProjectBytes(const uint8_t* data, qint64 size, TDevice_Config_v2& rec, THandleList& list)
{
    LeByteReader r(data, size);
    r.setContext(QStringLiteral("file header"));
    if (r.u32("file format version") != kProjectFileVersion)
        return false;
    r.u32("reserved word");

    TDevice_Config_v2 config = rec;
    const uint32_t configVersion = r.u32("configuration version");
    if (configVersion == 2) {
        if (r.readUpTo(&config, kStoredConfigV2Bytes) < kStoredConfigV2Bytes)
            return false;
    } else if (configVersion == 1) {
        TDevice_Config_v1 v1;
        std::memset(&v1, 0, sizeof v1);
        if (r.readUpTo(&v1, kStoredConfigV1Bytes) < kStoredConfigV1Bytes)
            return false;
        // A converted record starts clean: frost protection off, padding zero.
        std::memset(&config, 0, sizeof config);
        Convert_Config_v1(v1, config);
    } else {
        return false;
    }

    r.setContext(QStringLiteral("image group section"));
    const uint32_t section = r.u32("section version");
    if (section < 1 || section > 4)
        return false;
    const int32_t handleCount = r.i32("image group count");
    // Every part of the program addresses the five groups by position.
    if (handleCount != kHandleCount)
        throw ProjectFileError(QStringLiteral("The file holds %1 image groups; a project has %2.")
                                   .arg(handleCount)
                                   .arg(int(kHandleCount)));
    if (handleCount > r.remaining() / minHandleRecordBytes(section))
        throw ProjectFileError(QStringLiteral("The image group section ends early: %1 bytes left for %2 groups.")
                                   .arg(r.remaining())
                                   .arg(handleCount));

    THandleList read;
    for (int i = 0; i < handleCount; ++i)
        read.push_back(readHandle(r, section, i));

    rec = config;
    for (auto& h : read)
        list.push_back(std::move(h));
    return true;
}

bool Load_Project_File(const QString& path, TDevice_Config_v2& rec, THandleList& list)
{
    // A device or pipe has no end to read up to (/dev/zero would fill memory).
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        throw ProjectFileError(QStringLiteral("Cannot open the project file %1: it is not a file").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ProjectFileError(QStringLiteral("Cannot open the project file %1: %2").arg(path, file.errorString()));
    const qint64 size = file.size();
    try {
        // Read, not mapped: a file that shrinks or a medium that goes away
        // while the project is read must give an error, not a bus fault.
        const QByteArray all = file.readAll();
        if (all.size() != size || file.error() != QFileDevice::NoError)
            throw ProjectFileError(QStringLiteral("cannot read the file: %1").arg(file.errorString()));
        return loadProjectBytes(reinterpret_cast<const uint8_t*>(all.constData()), all.size(), rec, list);
    } catch (const ProjectFileError& e) {
        throw ProjectFileError(
            QStringLiteral("Project file %1 is damaged: %2").arg(QFileInfo(path).fileName(), e.message()));
    }
}
