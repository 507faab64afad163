#pragma once
// The pixel format table as the imaging code uses it: a code that is not a
// format is an ImagingError here.

#include "core/model/Dithering.h"
#include "core/model/PixelFormatTable.h"

#include <QString>

// True for 0..7, 17 and 18; every other code has no levels.
bool isPixelFormat(int format);

// The table row of the format; throws ImagingError for a code without one.
const PixelFormatInfo& pixelFormatOf(int format);

// A short description such as "ARGB 4-4-4-4", or "unknown" for a code
// without levels.
QString pixelFormatName(int format);

// The defaults given to a new image of the format; throws ImagingError for a
// code without levels.
TDithering_Params Default_Dithering(int format);
