#pragma once
// What a controller pixel format code means, in one table: the levels of each
// channel, how a pixel is packed into bytes, how many bytes the row-size rule
// counts for a row, and the noise defaults a new image of the format gets.
// The conversion, the packer, the row-size rule and the storage estimate all
// read this table; nothing else knows what a code means.

#include "core/model/Dithering.h"

#include <cstdint>
#include <span>

enum class PixelAlpha : uint8_t {
    None,      // no alpha channel: every pixel counts as opaque
    Levels,    // alpha quantised like a colour channel
    OpaqueBit, // one bit, set only for a fully opaque pixel (alpha 255)
};

struct PixelFormatInfo {
    int code;
    const char* name;
    // One grey level from 0.21 R + 0.72 G + 0.07 B instead of three colours;
    // it is carried in R (G and B repeat it).
    bool grey;
    // Levels of R, G, B and A; a grey format gives its grey levels for all
    // three colours; 0 for an alpha the format does not have.
    int levels[4];
    PixelAlpha alpha;
    // Bits of one pixel in the packed rows (1, 2, 4, 8 or 16). Below 8 several
    // pixels share a byte, leftmost pixel in the top bits; 16 is a
    // little-endian word.
    int packedBits;
    // Bit position of R, G, B and A in a pixel's packed word; -1: not stored.
    int shift[4];
    // Bits per pixel that the row-size rule counts for the handle header.
    int rowBits;
    // Position in the format order list, which picks the noise defaults;
    // -1 for a code that is not in that list.
    int orderPosition;
    TDithering_Params defaults;
};

// The formats in code order. Codes 8 to 16, codes above 18 and negative
// codes are not formats.
std::span<const PixelFormatInfo> pixelFormats();

// nullptr for a code that is not a format.
const PixelFormatInfo* findPixelFormat(int code);

// A handle that stores JPEG has no pixel format of its own; its header and
// its row size name one of these two.
inline constexpr int kJpegPixelFormat = 7;
inline constexpr int kJpegGreyPixelFormat = 3;

// The pixel format a handle's header and row size name: the handle's own
// format when it stores converted images, else the JPEG stand-in.
int storedPixelFormat(bool compress_images, int compression_format, int jpg_display_format);

// Bytes of one row of width pixels as the row-size rule counts them; a code
// that is not a format counts one byte per pixel. Computed in 64 bits, so no
// width overflows it; a width of 0 or less gives 0.
int64_t pixelRowBytes(int format, int width);
