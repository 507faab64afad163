#pragma once
// Packing of converted levels into the controller's bytes, and zlib
// compression of the packed bytes. The buffers are kept and reused from one
// image to the next.

#include "core/imaging/Quantisation.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

class PixelPacker {
public:
    PixelPacker();

    // Packs width x height levels (row-major) in the format into the packed
    // buffer, replacing what it held. Throws ImagingError for a code without
    // a layout or too few levels.
    void pack(const std::vector<TPixelLevels>& levels, int width, int height, int format);

    const std::vector<uint8_t>& packed() const { return m_packed; }

    // The packed buffer as a zlib stream (level 9, default window and memory
    // settings). Compressed once per packing and kept until the next one.
    // Throws ImagingError if zlib fails.
    const std::vector<uint8_t>& compressed();

    // Appends the compressed bytes to the stream; returns their count.
    int writeCompressed(QByteArray& stream);
    int compressedSize() { return int(compressed().size()); }

private:
    std::vector<uint8_t> m_packed;
    std::vector<uint8_t> m_compressed;
    bool m_compressedValid = false;
};
