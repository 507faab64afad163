#include "core/imaging/PixelFormat.h"

#include "core/imaging/ImagingError.h"

#include <array>

namespace {
// Position in this list selects the row of kDefaults.
constexpr std::array<int, 9> kFormatOrder = {1, 17, 2, 3, 4, 5, 6, 0, 7};

constexpr std::array<TDithering_Params, 9> kDefaults = {{
    {1.2, 3},
    {1.0, 3},
    {0.6, 3},
    {0.2, 2},
    {0.9, 3},
    {1.2, 2},
    {0.8, 2},
    {0.8, 2},
    {0.3, 2},
}};
} // namespace

bool Is_Pixel_Format(int format)
{
    return (format >= 0 && format <= 7) || format == 17 || format == 18;
}

TPixel_Format_Levels Pixel_Format_Levels(int format)
{
    switch (format) {
    case 0: return {32, 32, 32, 2, false};
    case 1: return {2, 2, 2, 0, true};
    case 2: return {16, 16, 16, 0, true};
    case 3: return {256, 256, 256, 0, true};
    case 4: return {8, 8, 4, 0, false};
    case 5: return {4, 4, 4, 4, false};
    case 6: return {16, 16, 16, 16, false};
    case 7: return {32, 64, 32, 0, false};
    case 17:
    case 18: return {4, 4, 4, 0, true};
    default: throw ImagingError(QStringLiteral("Pixel format %1 is not a format the controller knows.").arg(format));
    }
}

QString Pixel_Format_Name(int format)
{
    switch (format) {
    case 0: return QStringLiteral("ARGB 1-5-5-5");
    case 1: return QStringLiteral("grey 1 bit");
    case 2: return QStringLiteral("grey 4 bit");
    case 3: return QStringLiteral("grey 8 bit");
    case 4: return QStringLiteral("RGB 3-3-2");
    case 5: return QStringLiteral("ARGB 2-2-2-2");
    case 6: return QStringLiteral("ARGB 4-4-4-4");
    case 7: return QStringLiteral("RGB 5-6-5");
    case 17:
    case 18: return QStringLiteral("grey 2 bit");
    default: return QStringLiteral("unknown");
    }
}

TDithering_Params Default_Dithering(int format)
{
    const int lookedUp = format == 18 ? 17 : format;
    for (size_t i = 0; i < kFormatOrder.size(); ++i) {
        if (kFormatOrder[i] == lookedUp)
            return kDefaults[i];
    }
    throw ImagingError(QStringLiteral("Pixel format %1 is not a format the controller knows.").arg(format));
}
