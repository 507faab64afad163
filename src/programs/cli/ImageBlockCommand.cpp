// corvane-cli image-block: writes a project's image data block exactly as an
// image upload sends it, and prints where everything lies in it.

#include "CliCommand.h"
#include "CliOutputFiles.h"
#include "CliPixelFormats.h"
#include "CliProject.h"

#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/ImagingError.h"
#include "core/messaging/UntrustedText.h"

#include <limits>

namespace {

QString hex(uint32_t address)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(address, 6, 16, QChar('0')).toUpper();
}

void printLayout(const TImageBlockLayout& layout, const THandleList& list)
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
            cliOut(QStringLiteral("  %1: excluded").arg(untrustedText(handle.name)));
            continue;
        }
        const TImageBlockLayout::Handle& h = layout.handles[next++];
        const QString kind = h.header.storageKind == 0 ? QStringLiteral("converted, format %1 (%2)")
                                                             .arg(h.header.pixelFormat)
                                                             .arg(cliFormatLabel(h.header.pixelFormat))
                                                       : QStringLiteral("JPEG, format %1").arg(h.header.pixelFormat);
        cliOut(QStringLiteral("  %1: %2, %3 x %4, row %5 bytes, %6 images, offsets at %7")
                   .arg(untrustedText(handle.name), kind)
                   .arg(h.header.width)
                   .arg(h.header.height)
                   .arg(h.header.rowBytes)
                   .arg(h.header.imageCount)
                   .arg(hex(h.header.first_offset_address)));
        for (const auto& image : h.images)
            cliOut(QStringLiteral("    %1  pos %2  size %3")
                       .arg(untrustedText(image.name).leftJustified(24))
                       .arg(hex(image.offset.pos))
                       .arg(image.offset.size));
    }
}

int runImageBlock(const QStringList& args)
{
    CommandLine cl = cliCommandLine("image-block",
                                    "Nothing is written when any image cannot be converted or the block\n"
                                    "would not fit the controller's image store.");
    cl.addPositional("PROJECT", "The project file (.cvp).");
    cl.addOption({"o", "Write the block to this file (required).", "BLOCK.bin"});
    if (const auto status = cl.parse(args, 1, 1))
        return *status;
    if (!cl.isSet("o"))
        return cl.usageError(QStringLiteral("missing -o BLOCK.bin"));
    const QString project = cl.positional()[0];
    const QString output = cl.value("o");
    const QString clash
        = CliOutputFiles::clash({{QStringLiteral("-o"), output}}, {{QStringLiteral("the project"), project}});
    if (!clash.isEmpty())
        return cl.usageError(clash);

    TDevice_Config_v2 rec{};
    THandleList list;
    QString error;
    if (!cliLoadProject(project, rec, list, &error))
        return cliFail(error);

    QByteArray block;
    TImageBlockLayout layout;
    try {
        // Cells read from a file carry only their stored picture bytes; the
        // block builder decodes them and names any image it cannot use.
        Build_Image_Data(block, list, &layout);
    } catch (const ImagingError& e) {
        QString why = e.message();
        if (!why.endsWith(QLatin1Char('.')))
            why += QLatin1Char('.');
        return cliFail(QStringLiteral("%1: %2 No block was written.").arg(project, why));
    }
    // The block lies in the image store; a larger one would run past its end.
    if (block.size() > kImageStoreBytes)
        return cliFail(QStringLiteral("%1: the image data block would be %2 bytes, larger than the controller's image "
                                      "store of %3 bytes. No block was written.")
                           .arg(project)
                           .arg(block.size())
                           .arg(kImageStoreBytes));

    CliOutputFiles files;
    files.add(output, block);
    if (!files.commit(&error))
        return cliFail(error);
    printLayout(layout, list);
    cliOut(QStringLiteral("written to %1")
               .arg(output == QLatin1String("-") ? QStringLiteral("standard output")
                                                 : untrustedText(output, std::numeric_limits<int>::max())));
    return 0;
}

const CliRegistration kImageBlockCommand{{"image-block", "PROJECT -o BLOCK.bin",
                                          "write the image data block an upload would send, and show its layout",
                                          runImageBlock}};

} // namespace
