#include "core/imaging/JpegCodec.h"

#include <climits>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// Beyond this many pixels a picture is refused rather than allocated; it is
// far above anything the controller shows.
constexpr unsigned long long kMaxPixels = 64ull * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    // Warnings are tolerated (many cameras write slightly irregular files),
    // except data that ends early: the rest of the picture would be made up.
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        err->truncated = true;
}

void initErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.message[0] = '\0';
    err.truncated = false;
}

// Everything libjpeg touches between setjmp and longjmp lives in plain C
// storage owned by the caller, so a longjmp skips no destructor.
bool encodeRaw(const QImage& image, int quality, unsigned char** outBuffer, unsigned long* outSize,
               unsigned char* rowBuffer, ErrorManager& err)
{
    jpeg_compress_struct cinfo;
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, outBuffer, outSize);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto* words = reinterpret_cast<const uint32_t*>(image.constScanLine(int(cinfo.next_scanline)));
        for (int x = 0; x < image.width(); ++x) {
            rowBuffer[3 * x] = uint8_t(words[x] >> 16);
            rowBuffer[3 * x + 1] = uint8_t(words[x] >> 8);
            rowBuffer[3 * x + 2] = uint8_t(words[x]);
        }
        JSAMPROW row = rowBuffer;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

uint32_t cmykToArgb(const uint8_t* p, bool inverted)
{
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    // Adobe files store inverted CMYK: the stored values are already 255 - ink.
    const uint32_t r = uint32_t(c * k / 255);
    const uint32_t g = uint32_t(m * k / 255);
    const uint32_t b = uint32_t(y * k / 255);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

bool decodeRaw(const QByteArray& data, QImage& image, ErrorManager& err, QString* sizeError)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()), (unsigned long)data.size());
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if ((unsigned long long)cinfo.image_width * cinfo.image_height > kMaxPixels) {
        *sizeError = QStringLiteral("The JPEG picture is %1 x %2 pixels, too large to decode.")
                         .arg(cinfo.image_width)
                         .arg(cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    // QImage's constructor does not throw; a failed allocation is a null image.
    image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        *sizeError = QStringLiteral("Not enough memory to decode the JPEG picture.");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const int components = cinfo.output_components;
    // One scanline of samples from libjpeg's own pool, freed with cinfo.
    JSAMPARRAY samples = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                    cinfo.output_width * JDIMENSION(components), 1);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, samples, 1);
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        const uint8_t* in = samples[0];
        for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
            const uint8_t* p = in + x * JDIMENSION(components);
            out[x] = cmyk ? cmykToArgb(p, inverted) : (0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

bool JpegCodec::encode(const QImage& imageIn, int quality, QByteArray& out, QString* error)
{
    out.clear();
    if (imageIn.isNull() || imageIn.width() <= 0 || imageIn.height() <= 0) {
        if (error)
            *error = QStringLiteral("There is no picture to encode as JPEG.");
        return false;
    }
    const QImage image = imageIn.format() == QImage::Format_ARGB32_Premultiplied
        ? imageIn
        : imageIn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray row(qsizetype(image.width()) * 3, Qt::Uninitialized);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ErrorManager err;
    initErrors(err);
    const bool ok = encodeRaw(image, quality, &buffer, &size, reinterpret_cast<unsigned char*>(row.data()), err);
    if (ok)
        out = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    if (!ok && error)
        *error = QStringLiteral("The JPEG encoder failed: %1").arg(QString::fromLocal8Bit(err.message));
    return ok;
}

QImage JpegCodec::decode(const QByteArray& data, QString* error)
{
    QImage image;
    ErrorManager err;
    initErrors(err);
    QString sizeError;
    const bool ok = decodeRaw(data, image, err, &sizeError);
    if (ok && !err.truncated)
        return image;
    if (error) {
        if (!sizeError.isEmpty())
            *error = sizeError;
        else if (ok)
            *error = QStringLiteral("The JPEG data ends before the picture does.");
        else
            *error = QStringLiteral("The JPEG data cannot be decoded: %1").arg(QString::fromLocal8Bit(err.message));
    }
    return QImage();
}

QSize JpegCodec::headerSize(const QByteArray& data)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    initErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return QSize();
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()), (unsigned long)data.size());
    const int rc = jpeg_read_header(&cinfo, TRUE);
    QSize size;
    if (rc == JPEG_HEADER_OK && cinfo.image_width <= JDIMENSION(INT_MAX) && cinfo.image_height <= JDIMENSION(INT_MAX))
        size = QSize(int(cinfo.image_width), int(cinfo.image_height));
    jpeg_destroy_decompress(&cinfo);
    return size;
}
