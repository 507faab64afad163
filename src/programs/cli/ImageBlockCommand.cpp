// corvane-cli image-block: writes a project's image data block exactly as an
// image upload sends it, and prints where everything lies in it.

#include "CliCommand.h"

#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"
#include "core/storage/DiskIO.h"

#include <QSaveFile>

namespace {

QString hex(uint32_t address)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(address, 6, 16, QChar('0')).toUpper();
}

void printLayout(const TImage_Block_Layout& layout, const THandle_List& list)
{
    int images = 0;
    for (const auto& h : layout.handles)
        images += int(h.images.size());
    const uint32_t end = kImageStoreBase + uint32_t(layout.blockSize);
    cliOut(QStringLiteral("image data block: %1 bytes at %2..%3, %4 handles, %5 images, data from %6")
               .arg(layout.blockSize)
               .arg(hex(kImageStoreBase), hex(end))
               .arg(layout.handles.size())
               .arg(images)
               .arg(hex(layout.dataAddress)));
    size_t next = 0;
    for (size_t position = 0; position < list.size(); ++position) {
        const THandle_object& handle = *list[position];
        if (next >= layout.handles.size() || layout.handles[next].position != int(position)) {
            cliOut(QStringLiteral("  %1: excluded").arg(handle.name));
            continue;
        }
        const TImage_Block_Layout::Handle& h = layout.handles[next++];
        const QString kind = h.header.storage_kind == 0 ? QStringLiteral("converted, format %1 (%2)")
                                                              .arg(h.header.pixel_format)
                                                              .arg(Pixel_Format_Name(h.header.pixel_format))
                                                        : QStringLiteral("JPEG, format %1").arg(h.header.pixel_format);
        cliOut(QStringLiteral("  %1: %2, %3 x %4, row %5 bytes, %6 images, offsets at %7")
                   .arg(handle.name, kind)
                   .arg(h.header.width)
                   .arg(h.header.height)
                   .arg(h.header.row_bytes)
                   .arg(h.header.image_count)
                   .arg(hex(h.header.first_offset_address)));
        for (const auto& image : h.images)
            cliOut(QStringLiteral("    %1  pos %2  size %3")
                       .arg(image.name.leftJustified(24))
                       .arg(hex(image.offset.pos))
                       .arg(image.offset.size));
    }
}

int runImageBlock(const QStringList& args)
{
    const QStringList positional = cliPositional(args, {"-o"});
    const QString output = cliOption(args, "-o");
    if (positional.size() != 1 || output.isEmpty())
        return cliFail("usage: image-block PROJECT -o BLOCK.bin");

    TDevice_Config_v2 rec{};
    THandle_List list;
    try {
        if (!Load_Project_File(positional[0], rec, list))
            return cliFail(QStringLiteral("%1: this project file layout is not supported").arg(positional[0]));
    } catch (const ProjectFileError& e) {
        return cliFail(e.message());
    }

    QByteArray block;
    TImage_Block_Layout layout;
    try {
        // Cells read from a file carry only their stored picture bytes; the
        // block builder decodes them and names any image it cannot use.
        Build_Image_Data(block, list, &layout);
    } catch (const ImagingError& e) {
        return cliFail(QStringLiteral("%1: %2 No block was written.").arg(positional[0], e.message()));
    }

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size() || !file.commit())
        return cliFail(QStringLiteral("%1: %2").arg(output, file.errorString()));
    printLayout(layout, list);
    cliOut(QStringLiteral("written to %1").arg(output));
    return 0;
}

const CliRegistration reg{{"image-block", "image-block PROJECT -o BLOCK.bin",
                           "write the image data block an upload would send, and show its layout", runImageBlock}};

} // namespace
