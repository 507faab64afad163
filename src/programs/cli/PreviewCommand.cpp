// corvane-cli preview: converts an image file as the controller will store it
// and writes the preview picture and, on request, the packed bytes.

#include "CliCommand.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>

#include <cmath>

namespace {

QImage readImage(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    const QByteArray bytes = file.readAll();
    QString why;
    QImage image = Load_Bitmap_From_Stream(bytes, &why);
    if (image.isNull()) {
        // Not BMP, PNG, GIF or JPEG by signature: let Qt's other codecs try.
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        image = reader.read();
        if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
            *error = QStringLiteral("%1: %2").arg(path, why);
            return {};
        }
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    return image;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

int runPreview(const QStringList& args)
{
    const QStringList positional = cliPositional(args, {"--format", "--stdev", "--bits", "-o", "--packed"});
    const QString output = cliOption(args, "-o");
    const QString formatText = cliOption(args, "--format");
    if (positional.size() != 1 || output.isEmpty() || formatText.isEmpty())
        return cliFail("usage: preview IMAGE --format CODE [--stdev X --bits N] -o OUT.png [--packed OUT.bin]");

    bool ok = false;
    const int format = formatText.toInt(&ok);
    if (!ok || !Is_Pixel_Format(format))
        return cliFail(QStringLiteral("--format %1 is not a pixel format (0-7, 17 or 18)").arg(formatText));
    TDithering_Params params = Default_Dithering(format);
    if (args.contains("--stdev")) {
        const double stdev = cliOption(args, "--stdev").toDouble(&ok);
        if (!ok || !std::isfinite(stdev) || stdev < 0)
            return cliFail(QStringLiteral("--stdev needs a number of 0 or more"));
        params.random_stdev = stdev;
    }
    if (args.contains("--bits")) {
        const int bits = cliOption(args, "--bits").toInt(&ok);
        // 2^bits - 1 is the noise amplitude in 0..255 units.
        if (!ok || bits < 0 || bits > 8)
            return cliFail(QStringLiteral("--bits needs a whole number from 0 to 8"));
        params.random_bits = bits;
    }

    QString error;
    const QImage image = readImage(positional[0], &error);
    if (image.isNull())
        return cliFail(error);

    try {
        DeviceImageEncoder& encoder = DeviceImageEncoder::shared();
        const QImage preview = encoder.Convert_Bitmap(params, image, format, true);
        encoder.Pack_Image_Data(image.width(), image.height(), format);
        const std::vector<uint8_t>& packed = encoder.packedData();
        const int stored = encoder.Compressed_Data_Size();

        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!preview.save(&buffer, "PNG"))
            return cliFail(QStringLiteral("the preview could not be encoded as PNG"));
        if (!writeFile(output, png, &error))
            return cliFail(error);
        const QString packedPath = cliOption(args, "--packed");
        if (!packedPath.isEmpty()
            && !writeFile(packedPath,
                          QByteArray(reinterpret_cast<const char*>(packed.data()), qsizetype(packed.size())), &error))
            return cliFail(error);

        cliOut(QStringLiteral("%1: %2 x %3, format %4 (%5), stdev %6, bits %7")
                   .arg(positional[0])
                   .arg(image.width())
                   .arg(image.height())
                   .arg(format)
                   .arg(Pixel_Format_Name(format))
                   .arg(params.random_stdev)
                   .arg(params.random_bits));
        cliOut(QStringLiteral("packed %1 bytes, stored %2 bytes (zlib level 9)").arg(packed.size()).arg(stored));
        cliOut(QStringLiteral("preview written to %1").arg(output));
        if (!packedPath.isEmpty())
            cliOut(QStringLiteral("packed bytes written to %1").arg(packedPath));
    } catch (const ImagingError& e) {
        return cliFail(e.message());
    }
    return 0;
}

const CliRegistration reg{{"preview", "preview IMAGE --format CODE [--stdev X --bits N] -o OUT.png [--packed OUT.bin]",
                           "convert an image as the controller stores it; write the preview (and packed bytes)",
                           runPreview}};

} // namespace
