// corvane-cli preview: converts an image file as the controller will store it
// and writes the preview picture and, on request, the packed bytes.

#include "CliCommand.h"
#include "CliOutputFiles.h"
#include "CliPixelFormats.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PictureLimit.h"
#include "core/imaging/PixelFormat.h"
#include "core/messaging/UntrustedText.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

#include <cmath>
#include <limits>

namespace {

QImage readImage(const QString& path, QString* error)
{
    // The header's size is checked before any pixel is decoded: a few bytes
    // can declare a picture of millions of pixels.
    LoadedPicture picture = loadPictureFile(path, PictureLimit::forPreview(), true);
    if (picture.status != PictureStatus::Loaded) {
        *error = QStringLiteral("%1: %2").arg(path, picture.error);
        return {};
    }
    return picture.image;
}

// The picture format -o names by its extension, or empty when Qt cannot write it.
QByteArray outputFormat(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray();
}

QString writableSuffixes()
{
    QStringList names;
    for (const QByteArray& f : QImageWriter::supportedImageFormats())
        names << QString::fromLatin1(f);
    return names.join(QStringLiteral(", "));
}

QString shownOutput(const QString& path)
{
    return path == QLatin1String("-") ? QStringLiteral("standard output")
                                      : untrustedText(path, std::numeric_limits<int>::max());
}

// The noise added to a pixel is (2^bits - 1) x g with g of this standard
// deviation, in 0..255 units: beyond one whole channel range it is pure noise.
constexpr double kMaxNoiseDeviation = 255.0;

int runPreview(const QStringList& args)
{
    CommandLine cl = cliCommandLine("preview",
                                    "The preview is written in the picture format its extension names.\n"
                                    "Pixel format codes:\n"
                                        + cliFormatTable());
    cl.addPositional("IMAGE", "The picture to convert (BMP, PNG, GIF, JPEG or another format Qt reads).");
    cl.addOption({"format", "Pixel format code from the list above (required).", "CODE"});
    cl.addOption({"stdev",
                  "Standard deviation of the noise factor, 0 or more; the noise deviation (2^bits - 1) x X may be "
                  "at most 255, one whole channel range (default: the format's).",
                  "X"});
    cl.addOption(
        {"bits", "Noise amplitude exponent, 0 to 8: the noise amplitude is 2^N - 1 (default: the format's).", "N"});
    cl.addOption({"o", "Write the preview picture here (required); .png, .bmp, .jpg, ... as Qt writes them.", "OUT"});
    cl.addOption({"packed", "Also write the packed pixel bytes (before compression) here.", "OUT.bin"});
    if (const auto status = cl.parse(args, 1, 1))
        return *status;
    if (!cl.isSet("format"))
        return cl.usageError(QStringLiteral("missing --format CODE"));
    if (!cl.isSet("o"))
        return cl.usageError(QStringLiteral("missing -o OUT"));
    const QString input = cl.positional()[0];
    const QString output = cl.value("o");
    std::vector<CliFileArgument> outputs{{QStringLiteral("-o"), output}};
    if (cl.isSet("packed"))
        outputs.push_back({QStringLiteral("--packed"), cl.value("packed")});
    const QString clash = CliOutputFiles::clash(outputs, {{QStringLiteral("the picture"), input}});
    if (!clash.isEmpty())
        return cl.usageError(clash);
    const QByteArray pictureFormat = outputFormat(output);
    if (pictureFormat.isEmpty())
        return cl.usageError(QStringLiteral("-o %1: cannot write a picture of that extension (use one of %2)")
                                 .arg(output, writableSuffixes()));

    bool ok = false;
    const int format = cl.value("format").toInt(&ok);
    if (!ok || !isPixelFormat(format))
        return cl.usageError(
            QStringLiteral("--format %1 is not a pixel format (0-7, 17 or 18)").arg(cl.value("format")));
    TDithering_Params params = Default_Dithering(format);
    if (cl.isSet("bits")) {
        const int bits = cl.value("bits").toInt(&ok);
        if (!ok || bits < 0 || bits > 8)
            return cl.usageError(
                QStringLiteral("--bits needs a whole number from 0 to 8, not %1").arg(cl.value("bits")));
        params.random_bits = bits;
    }
    if (cl.isSet("stdev")) {
        const double stdev = cl.value("stdev").toDouble(&ok);
        if (!ok || !std::isfinite(stdev) || stdev < 0)
            return cl.usageError(QStringLiteral("--stdev needs a number of 0 or more, not %1").arg(cl.value("stdev")));
        params.random_stdev = stdev;
    }
    const double amplitude = std::ldexp(1.0, params.random_bits) - 1.0;
    if (amplitude * params.random_stdev > kMaxNoiseDeviation)
        return cl.usageError(
            QStringLiteral("--stdev %1 with --bits %2 is a noise deviation of %3, above 255: pure noise")
                .arg(params.random_stdev)
                .arg(params.random_bits)
                .arg(amplitude * params.random_stdev));

    QString error;
    const QImage image = readImage(input, &error);
    if (image.isNull())
        return cliFail(error);

    try {
        DeviceImageEncoder encoder;
        const QImage preview = encoder.Convert_Bitmap(params, image, format, true);
        encoder.Pack_Image_Data(image.width(), image.height(), format);
        const std::vector<uint8_t>& packed = encoder.packedData();
        const int stored = encoder.Compressed_Data_Size();

        QByteArray picture;
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        if (!preview.save(&buffer, pictureFormat.constData()))
            return cliFail(
                QStringLiteral("the preview could not be encoded as %1").arg(QString::fromLatin1(pictureFormat)));
        CliOutputFiles files;
        files.add(output, picture);
        const QString packedPath = cl.value("packed");
        if (!packedPath.isEmpty())
            files.add(packedPath, QByteArray(reinterpret_cast<const char*>(packed.data()), qsizetype(packed.size())));
        if (!files.commit(&error))
            return cliFail(error);

        cliOut(QStringLiteral("%1: %2 x %3, format %4 (%5), stdev %6, bits %7")
                   .arg(untrustedText(input, std::numeric_limits<int>::max()))
                   .arg(image.width())
                   .arg(image.height())
                   .arg(format)
                   .arg(cliFormatLabel(format))
                   .arg(params.random_stdev)
                   .arg(params.random_bits));
        cliOut(QStringLiteral("packed %1 bytes, stored %2 bytes (zlib level 9)").arg(packed.size()).arg(stored));
        cliOut(QStringLiteral("preview written to %1").arg(shownOutput(output)));
        if (!packedPath.isEmpty())
            cliOut(QStringLiteral("packed bytes written to %1").arg(shownOutput(packedPath)));
    } catch (const ImagingError& e) {
        return cliFail(e.message());
    }
    return 0;
}

const CliRegistration kPreviewCommand{
    {"preview", "IMAGE --format CODE [--stdev X --bits N] -o OUT.png [--packed OUT.bin]",
     "convert an image as the controller stores it; write the preview (and packed bytes)", runPreview}};

} // namespace
