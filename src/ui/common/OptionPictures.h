#pragma once
// The built-in option pictures as the configuration pages draw them: rendered
// from their artwork at the pixel size they are shown at (sharp at any
// screen density), and faded to 30 % opacity for a disabled control. Renders
// are kept, so repainting a page costs no rendering.

#include <QImage>
#include <QSize>
#include <QString>

namespace OptionPictures {

inline constexpr int kFadePercent = 30;

// size is in device-independent pixels; the image carries devicePixelRatio.
QImage picture(const QString& name, QSize size, qreal devicePixelRatio, bool faded);

} // namespace OptionPictures
