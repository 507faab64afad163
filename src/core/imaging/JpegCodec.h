#pragma once
// JPEG through libjpeg directly: the encoder and its settings are ours, so the
// size computed when an image is imported is the size that is uploaded.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class JpegCodec {
public:
    static constexpr int kQuality = 90;

    // Encodes the colour of the image (taken as premultiplied ARGB, so a
    // transparent area comes out as if laid on black; alpha is not stored)
    // into out, replacing its contents. Baseline, 4:2:0, standard tables.
    // Returns false and sets error when libjpeg fails; out is then empty.
    static bool encode(const QImage& image, int quality, QByteArray& out, QString* error);

    // Decodes JPEG data to Format_ARGB32_Premultiplied. Returns a null image
    // and sets error for data libjpeg refuses, for data that ends before the
    // picture does, and for pictures too large to hold.
    static QImage decode(const QByteArray& data, QString* error);

    // The picture size the JPEG header declares, read without decoding any
    // pixel; an invalid size when the header cannot be read.
    static QSize headerSize(const QByteArray& data);
};
