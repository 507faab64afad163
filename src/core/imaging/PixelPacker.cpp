#include "core/imaging/PixelPacker.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <zlib.h>

namespace {
constexpr size_t kLargestPackedBytes = size_t(480) * 272 * 2;

// The pixel's packed word: each stored channel's level at its bit position.
// Grey formats store only R, which carries the grey level.
unsigned pixelWord(const TPixelLevels& p, const PixelFormatInfo& f)
{
    const uint8_t channel[4] = {p.R, p.G, p.B, p.A};
    unsigned word = 0;
    for (int c = 0; c < 4; ++c)
        if (f.shift[c] >= 0)
            word |= unsigned(channel[c]) << f.shift[c];
    return word;
}

void packRow(std::vector<uint8_t>& out, const TPixelLevels* row, int width, const PixelFormatInfo& f)
{
    if (f.packedBits == 16) {
        for (int x = 0; x < width; ++x) {
            const unsigned word = pixelWord(row[x], f);
            out.push_back(uint8_t(word & 0xFF));
            out.push_back(uint8_t(word >> 8));
        }
        return;
    }
    if (f.packedBits == 8) {
        for (int x = 0; x < width; ++x)
            out.push_back(uint8_t(pixelWord(row[x], f)));
        return;
    }
    // Several pixels share a byte, leftmost pixel in the top bits; a row
    // ending inside a byte is completed with zero bits.
    const int bits = f.packedBits;
    const int perByte = 8 / bits;
    unsigned acc = 0;
    int filled = 0;
    for (int x = 0; x < width; ++x) {
        acc = (acc << bits) | pixelWord(row[x], f);
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

void PixelPacker::pack(const std::vector<TPixelLevels>& levels, int width, int height, int format)
{
    const PixelFormatInfo& f = pixelFormatOf(format);
    if (width < 0 || height < 0 || size_t(width) * size_t(height) > levels.size())
        throw ImagingError(QStringLiteral("There are no converted levels for a %1 x %2 image.").arg(width).arg(height));

    m_packed.clear();
    m_compressedValid = false;
    for (int y = 0; y < height; ++y)
        packRow(m_packed, levels.data() + size_t(y) * size_t(width), width, f);
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
