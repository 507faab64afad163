#pragma once
// The pictures of the appearance page: an image of a handle drawn in the form
// the controller shows it, and the background tinted by the theme colour.

#include "core/model/ProjectModel.h"

#include <QImage>
#include <QString>

class BmpConverter;

// The index the page passes when no image is chosen: a blank preview that
// counts as found.
inline constexpr int kNoImageIndex = -999;

// Sizes of the blank previews: the screen for backgrounds, the logo box for
// every other handle.
QSize blankPreviewSize(int handle_index);

// Draws image image_index of handle handle_index into target: a converted
// handle's image as its conversion shows it (dithered), a JPEG handle's image
// as imported. Returns false and leaves target alone when there is no such
// handle. An index outside the handle gives a blank opaque white picture and
// returns true only for kNoImageIndex. A picture that cannot be converted or
// decoded is drawn blank as well and returns false: the page then shows its
// "image does not exist" marker rather than failing. name receives the shown
// image's name (empty when blank).
bool Render_Preview(const THandleList& list, BmpConverter& converter, int handle_index, int image_index, QImage& target,
                    QString* name = nullptr);

// target := source with each colour channel scaled by its level / 255
// (integer division); alpha is copied. target's buffer is reused when it has
// the source's size and is not shared.
void tintPicture(const QImage& source, QImage& target, int blue_level, int green_level, int red_level);
