#include "SmallPng.h"

#include <QHash>
#include <QImageWriter>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

struct Colour {
    QRgb rgb;
    int count;
};

int channelOf(QRgb c, int channel)
{
    return channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c);
}

// Median cut: the box of colours with the widest channel is split at the
// pixel-weighted median of that channel until there are `size` boxes; each
// box gives its pixel-weighted mean. Flat window colours, being frequent,
// keep boxes of their own and come out exact.
QList<QRgb> medianCut(std::vector<Colour> colours, int size)
{
    struct Box {
        int begin, end;
    };
    std::vector<Box> boxes{{0, int(colours.size())}};
    auto widest = [&colours](const Box& b, int* channelOut) {
        int best = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (int i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, channelOf(colours[size_t(i)].rgb, ch));
                hi = std::max(hi, channelOf(colours[size_t(i)].rgb, ch));
            }
            if (hi - lo > best) {
                best = hi - lo;
                *channelOut = ch;
            }
        }
        return best;
    };
    while (int(boxes.size()) < size) {
        int pick = -1, channel = 0, range = 0;
        for (int b = 0; b < int(boxes.size()); ++b) {
            int ch = 0;
            const int r = boxes[size_t(b)].end - boxes[size_t(b)].begin > 1 ? widest(boxes[size_t(b)], &ch) : 0;
            if (r > range) {
                range = r;
                pick = b;
                channel = ch;
            }
        }
        if (pick < 0)
            break;
        Box box = boxes[size_t(pick)];
        std::sort(colours.begin() + box.begin, colours.begin() + box.end, [channel](const Colour& a, const Colour& b) {
            return channelOf(a.rgb, channel) < channelOf(b.rgb, channel);
        });
        qint64 total = 0;
        for (int i = box.begin; i < box.end; ++i)
            total += colours[size_t(i)].count;
        qint64 half = 0;
        int split = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            half += colours[size_t(i)].count;
            split = i + 1;
            if (half * 2 >= total)
                break;
        }
        boxes[size_t(pick)] = {box.begin, split};
        boxes.push_back({split, box.end});
    }
    QList<QRgb> palette;
    for (const Box& b : boxes) {
        qint64 r = 0, g = 0, bl = 0, n = 0;
        for (int i = b.begin; i < b.end; ++i) {
            const Colour& c = colours[size_t(i)];
            r += qint64(qRed(c.rgb)) * c.count;
            g += qint64(qGreen(c.rgb)) * c.count;
            bl += qint64(qBlue(c.rgb)) * c.count;
            n += c.count;
        }
        palette << qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((bl + n / 2) / n));
    }
    return palette;
}

int nearest(const QList<QRgb>& palette, QRgb c)
{
    int best = 0, bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                  db = qBlue(c) - qBlue(palette[i]);
        const int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace

bool saveSmallPng(const QImage& image, const QString& path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++counts[line[x] | 0xFF000000u];
    }
    std::vector<Colour> colours;
    colours.reserve(size_t(counts.size()));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        colours.push_back({it.key(), it.value()});
    const QList<QRgb> palette = medianCut(std::move(colours), 256);
    QHash<QRgb, int> index;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        index.insert(it.key(), nearest(palette, it.key()));

    QImage small(rgb.size(), QImage::Format_Indexed8);
    small.setColorTable(palette);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = small.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            dst[x] = uchar(index.value(line[x] | 0xFF000000u));
    }
    QImageWriter writer(path, "png");
    // For PNG the quality is the inverse of the zlib effort: 0 packs hardest.
    writer.setQuality(0);
    return writer.write(small);
}
