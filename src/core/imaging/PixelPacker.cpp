#include "core/imaging/PixelPacker.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <zlib.h>

namespace {
constexpr size_t kLargestPackedBytes = size_t(480) * 272 * 2;

void put16(std::vector<uint8_t>& out, unsigned word)
{
    out.push_back(uint8_t(word & 0xFF));
    out.push_back(uint8_t(word >> 8));
}

// Codes 1, 2, 17 and 18 share several pixels per byte, leftmost pixel in the
// top bits; a row ending inside a byte is completed with zero bits.
void packSubByte(std::vector<uint8_t>& out, const TPixel_Levels* row, int width, int bits)
{
    const int perByte = 8 / bits;
    unsigned acc = 0;
    int filled = 0;
    for (int x = 0; x < width; ++x) {
        acc = (acc << bits) | row[x].R;
        if (++filled == perByte) {
            out.push_back(uint8_t(acc));
            acc = 0;
            filled = 0;
        }
    }
    if (filled > 0)
        out.push_back(uint8_t(acc << (bits * (perByte - filled))));
}
} // namespace

PixelPacker::PixelPacker()
{
    m_packed.reserve(kLargestPackedBytes);
    m_compressed.reserve(compressBound(uLong(kLargestPackedBytes)));
}

void PixelPacker::pack(const std::vector<TPixel_Levels>& levels, int width, int height, int format)
{
    if (!Is_Pixel_Format(format))
        throw ImagingError(QStringLiteral("Pixel format %1 is not a format the controller knows.").arg(format));
    if (width < 0 || height < 0 || size_t(width) * size_t(height) > levels.size())
        throw ImagingError(QStringLiteral("There are no converted levels for a %1 x %2 image.").arg(width).arg(height));

    m_packed.clear();
    m_compressedValid = false;
    for (int y = 0; y < height; ++y) {
        const TPixel_Levels* row = levels.data() + size_t(y) * size_t(width);
        switch (format) {
        case 0:
            for (int x = 0; x < width; ++x)
                put16(m_packed,
                      unsigned(row[x].A) << 15 | unsigned(row[x].R) << 10 | unsigned(row[x].G) << 5 | row[x].B);
            break;
        case 1: packSubByte(m_packed, row, width, 1); break;
        case 2: packSubByte(m_packed, row, width, 4); break;
        case 17:
        case 18: packSubByte(m_packed, row, width, 2); break;
        case 3:
            for (int x = 0; x < width; ++x)
                m_packed.push_back(row[x].R);
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                m_packed.push_back(uint8_t(row[x].R << 5 | row[x].G << 2 | row[x].B));
            break;
        case 5:
            for (int x = 0; x < width; ++x)
                m_packed.push_back(uint8_t(row[x].A << 6 | row[x].R << 4 | row[x].G << 2 | row[x].B));
            break;
        case 6:
            for (int x = 0; x < width; ++x)
                put16(m_packed,
                      unsigned(row[x].A) << 12 | unsigned(row[x].R) << 8 | unsigned(row[x].G) << 4 | row[x].B);
            break;
        case 7:
            for (int x = 0; x < width; ++x)
                put16(m_packed, unsigned(row[x].R) << 11 | unsigned(row[x].G) << 5 | row[x].B);
            break;
        }
    }
}

const std::vector<uint8_t>& PixelPacker::compressed()
{
    if (m_compressedValid)
        return m_compressed;
    uLongf length = compressBound(uLong(m_packed.size()));
    m_compressed.resize(length);
    const int rc = compress2(m_compressed.data(), &length, m_packed.data(), uLong(m_packed.size()), 9);
    if (rc != Z_OK) {
        m_compressed.clear();
        throw ImagingError(QStringLiteral("The image data could not be compressed (zlib error %1).").arg(rc));
    }
    m_compressed.resize(length);
    m_compressedValid = true;
    return m_compressed;
}

int PixelPacker::writeCompressed(QByteArray& stream)
{
    const std::vector<uint8_t>& data = compressed();
    stream.append(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    return int(data.size());
}
