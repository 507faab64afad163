#include "core/imaging/PixelFormat.h"

#include "core/imaging/ImagingError.h"

bool isPixelFormat(int format)
{
    return findPixelFormat(format) != nullptr;
}

const PixelFormatInfo& pixelFormatOf(int format)
{
    if (const PixelFormatInfo* f = findPixelFormat(format))
        return *f;
    throw ImagingError(QStringLiteral("Pixel format %1 is not a format the controller knows.").arg(format));
}

QString pixelFormatName(int format)
{
    const PixelFormatInfo* f = findPixelFormat(format);
    return f ? QString::fromLatin1(f->name) : QStringLiteral("unknown");
}

TDithering_Params Default_Dithering(int format)
{
    return pixelFormatOf(format).defaults;
}
