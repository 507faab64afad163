#include "core/imaging/PixelFormat.h"

#include "core/imaging/ImagingError.h"

bool Is_Pixel_Format(int format)
{
    return Find_Pixel_Format(format) != nullptr;
}

const PixelFormatInfo& Pixel_Format(int format)
{
    if (const PixelFormatInfo* f = Find_Pixel_Format(format))
        return *f;
    throw ImagingError(QStringLiteral("Pixel format %1 is not a format the controller knows.").arg(format));
}

QString Pixel_Format_Name(int format)
{
    const PixelFormatInfo* f = Find_Pixel_Format(format);
    return f ? QString::fromLatin1(f->name) : QStringLiteral("unknown");
}

TDithering_Params Default_Dithering(int format)
{
    return Pixel_Format(format).defaults;
}
