#include "core/model/PixelFormatTable.h"

#include <array>

namespace {

constexpr int kNoShift = -1;

// clang-format off
constexpr std::array<PixelFormatInfo, 10> kFormats = {{
    // code, name, grey, levels R G B A, alpha, packed bits, shifts R G B A, row bits, order, defaults
    {0, "ARGB 1-5-5-5", false, {32, 32, 32, 2}, PixelAlpha::OpaqueBit, 16, {10, 5, 0, 15}, 16, 7, {0.8, 2}},
    {1, "grey 1 bit", true, {2, 2, 2, 0}, PixelAlpha::None, 1, {0, kNoShift, kNoShift, kNoShift}, 1, 0, {1.2, 3}},
    {2, "grey 4 bit", true, {16, 16, 16, 0}, PixelAlpha::None, 4, {0, kNoShift, kNoShift, kNoShift}, 4, 2, {0.6, 3}},
    {3, "grey 8 bit", true, {256, 256, 256, 0}, PixelAlpha::None, 8, {0, kNoShift, kNoShift, kNoShift}, 8, 3, {0.2, 2}},
    {4, "RGB 3-3-2", false, {8, 8, 4, 0}, PixelAlpha::None, 8, {5, 2, 0, kNoShift}, 8, 4, {0.9, 3}},
    {5, "ARGB 2-2-2-2", false, {4, 4, 4, 4}, PixelAlpha::Levels, 8, {4, 2, 0, 6}, 8, 5, {1.2, 2}},
    {6, "ARGB 4-4-4-4", false, {16, 16, 16, 16}, PixelAlpha::Levels, 16, {8, 4, 0, 12}, 16, 6, {0.8, 2}},
    {7, "RGB 5-6-5", false, {32, 64, 32, 0}, PixelAlpha::None, 16, {11, 5, 0, kNoShift}, 16, 8, {0.3, 2}},
    {17, "grey 2 bit", true, {4, 4, 4, 0}, PixelAlpha::None, 2, {0, kNoShift, kNoShift, kNoShift}, 2, 1, {1.0, 3}},
    // Converted and packed exactly like 17, four pixels a byte, but the
    // row-size rule counts one byte per pixel for it, and controllers read
    // the header's row size that way: the difference is kept on purpose. Not
    // in the format order list; it takes 17's noise defaults.
    {18, "grey 2 bit, rows counted in pixels", true, {4, 4, 4, 0}, PixelAlpha::None, 2, {0, kNoShift, kNoShift, kNoShift}, 8, -1, {1.0, 3}},
}};
// clang-format on

} // namespace

std::span<const PixelFormatInfo> pixelFormats()
{
    return kFormats;
}

const PixelFormatInfo* findPixelFormat(int code)
{
    for (const PixelFormatInfo& f : kFormats)
        if (f.code == code)
            return &f;
    return nullptr;
}

int storedPixelFormat(bool compress_images, int compression_format, int jpg_display_format)
{
    if (compress_images)
        return compression_format;
    return jpg_display_format != 0 ? kJpegGreyPixelFormat : kJpegPixelFormat;
}

int64_t pixelRowBytes(int format, int width)
{
    if (width <= 0)
        return 0;
    const PixelFormatInfo* f = findPixelFormat(format);
    const int64_t bits = f ? f->rowBits : 8;
    return (int64_t(width) * bits + 7) / 8;
}
