#include "PictureFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtEndian>

namespace {

// Qt reads GIF but does not write it: a one-colour GIF, its LZW stream kept
// at 9-bit codes by a clear code every 200 pixels.
QByteArray gifBytes(int width, int height, QColor colour)
{
    QByteArray b("GIF89a");
    auto put16 = [&b](int v) {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    };
    put16(width);
    put16(height);
    b.append(char(0xF7)); // global table of 256 colours
    b.append('\0');
    b.append('\0');
    for (int i = 0; i < 256; ++i) {
        const QColor c = i == 0 ? colour : QColor(Qt::black);
        b.append(char(c.red()));
        b.append(char(c.green()));
        b.append(char(c.blue()));
    }
    b.append(',');
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    b.append('\0');
    b.append(char(8)); // minimum code size
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    auto code = [&](int c) {
        bits |= quint32(c) << count;
        count += 9;
        while (count >= 8) {
            data.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    const int pixels = width * height;
    for (int i = 0; i < pixels; ++i) {
        if (i % 200 == 0)
            code(256);
        code(0);
    }
    code(257);
    if (count > 0)
        data.append(char(bits & 0xFF));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        b.append(char(block.size()));
        b.append(block);
    }
    b.append('\0');
    b.append(';');
    return b;
}

} // namespace

QString writePicture(const QDir& dir, const QString& fileName, int width, int height, QColor colour)
{
    if (QFileInfo(fileName).suffix().toLower() == QLatin1String("gif"))
        return writeFile(dir, fileName, gifBytes(width, height, colour));
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    // A diagonal stroke, so a picture is not one flat colour to the encoders.
    for (int i = 0; i < qMin(width, height); ++i)
        image.setPixelColor(i, i, colour.darker(150));
    const QString path = dir.filePath(fileName);
    const QByteArray format = QFileInfo(fileName).suffix().toLower().toLatin1();
    if (!image.save(path, format == "jpg" ? "JPEG" : format.toUpper().constData()))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString writeFile(const QDir& dir, const QString& fileName, const QByteArray& bytes)
{
    const QString path = dir.filePath(fileName);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray bmpHeaderBytes(int width, int height)
{
    QByteArray b(54, '\0');
    auto put32 = [&b](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    auto put16 = [&b](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    put16(26, 1);
    put16(28, 24);
    return b;
}
