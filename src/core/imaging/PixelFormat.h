#pragma once
// The controller's pixel format codes: how many levels each channel has and
// which default noise parameters a new image of that format gets.

#include "core/model/Dithering.h"

#include <QString>

// Level counts of one format; alpha 0 means the format has no alpha channel.
// grey formats carry their level count in red (green and blue repeat it).
struct TPixel_Format_Levels {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    bool grey = false;
};

// True for 0..7, 17 and 18; every other code has no levels.
bool Is_Pixel_Format(int format);

// Throws ImagingError for a code without levels.
TPixel_Format_Levels Pixel_Format_Levels(int format);

// A short description such as "ARGB 4-4-4-4", or "unknown" for a code
// without levels.
QString Pixel_Format_Name(int format);

// The defaults given to a new image of the format. Code 18 is stored exactly
// like 17 and so takes its defaults; throws ImagingError for a code without
// levels.
TDithering_Params Default_Dithering(int format);
