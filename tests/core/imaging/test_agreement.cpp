#include "test_imaging.h"

#include "PlainDiffusion.h"

#include "core/imaging/BmpConverter.h"
#include "core/imaging/PixelFormat.h"
#include "core/imaging/Quantisation.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

const int kFormats[] = {0, 1, 2, 3, 4, 5, 6, 7, 17, 18};

// Pictures of the kinds that break a diffusion pass in different ways.
QImage randomPicture(std::mt19937& rng, int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    const int kind = int(rng() % 5);
    const int edgeAlpha[] = {0, 1, 63, 64, 127, 128, 191, 192, 239, 240, 254, 255, 255, 255};
    const uint32_t flat = rng();
    for (int y = 0; y < h; ++y) {
        auto* words = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            uint32_t a = 255, r, g, b;
            switch (kind) {
            case 0: // opaque noise
                r = rng() & 255;
                g = rng() & 255;
                b = rng() & 255;
                break;
            case 1: // premultiplied with alpha at the quantisation edges
                a = uint32_t(edgeAlpha[rng() % std::size(edgeAlpha)]);
                r = a ? rng() % (a + 1) : 0;
                g = a ? rng() % (a + 1) : 0;
                b = a ? rng() % (a + 1) : 0;
                break;
            case 2: // any word at all, colour above alpha included
                words[x] = rng();
                continue;
            case 3: // gradients
                r = uint32_t(x * 255 / std::max(1, w - 1));
                g = uint32_t(y * 255 / std::max(1, h - 1));
                b = uint32_t((x + y) * 7 % 256);
                break;
            default: // one flat colour: errors pile up in patterns
                words[x] = flat | (rng() % 3 == 0 ? 0xFF000000u : 0u);
                continue;
            }
            words[x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return image;
}

TDithering_Params randomParams(std::mt19937& rng, int format)
{
    const double stdevs[] = {0.0,
                             -0.0,
                             0.2,
                             0.3,
                             0.8,
                             1.2,
                             3.7,
                             -1.5,
                             1e-310,
                             1e3,
                             1e6,
                             1e150,
                             1e300,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    const int bits[] = {INT_MIN, -40, -3, -1, 0, 1, 2, 3, 4, 5, 8, 12, 31, 100, 1023, 1024, 5000, INT_MAX};
    if (rng() % 3 == 0)
        return Default_Dithering(format);
    TDithering_Params p;
    p.random_stdev
        = rng() % 4 == 0 ? std::uniform_real_distribution<double>(0.0, 4.0)(rng) : stdevs[rng() % std::size(stdevs)];
    p.random_bits = rng() % 3 == 0 ? int(rng() % 7) : bits[rng() % std::size(bits)];
    return p;
}

// Compares one conversion; returns an empty string when they agree.
QString compare(BmpConverter& converter, const TDithering_Params& params, const QImage& picture, int format)
{
    const QImage preview = converter.Convert_Bitmap(params, picture, format, true);
    const PlainDiffusion::Result plain = PlainDiffusion::convert(params, picture, format);
    const auto& levels = converter.levels();
    const QString what = QStringLiteral("format %1, %2 x %3, stdev %4, bits %5")
                             .arg(format)
                             .arg(picture.width())
                             .arg(picture.height())
                             .arg(params.random_stdev, 0, 'g', 17)
                             .arg(params.random_bits);
    if (levels.size() != plain.shown.size())
        return what + QStringLiteral(": level count differs");
    for (size_t i = 0; i < levels.size(); ++i) {
        const uint8_t* want = &plain.levels[4 * i];
        const TPixelLevels& got = levels[i];
        if (got.R != want[0] || got.G != want[1] || got.B != want[2] || got.A != want[3])
            return what
                + QStringLiteral(": levels differ at pixel %1: %2 %3 %4 %5, expected %6 %7 %8 %9")
                      .arg(i)
                      .arg(got.R)
                      .arg(got.G)
                      .arg(got.B)
                      .arg(got.A)
                      .arg(want[0])
                      .arg(want[1])
                      .arg(want[2])
                      .arg(want[3]);
        const int x = int(i % size_t(picture.width()));
        const int y = int(i / size_t(picture.width()));
        const uint32_t shown = reinterpret_cast<const uint32_t*>(preview.constScanLine(y))[x];
        // The preview keeps premultiplied pixels valid: colour at most alpha.
        const uint32_t a = plain.shown[i] >> 24;
        const uint32_t expected = a << 24 | std::min((plain.shown[i] >> 16) & 255, a) << 16
            | std::min((plain.shown[i] >> 8) & 255, a) << 8 | std::min(plain.shown[i] & 255, a);
        if (shown != expected)
            return what
                + QStringLiteral(": preview differs at (%1, %2): %3, expected %4")
                      .arg(x)
                      .arg(y)
                      .arg(shown, 8, 16, QChar('0'))
                      .arg(expected, 8, 16, QChar('0'));
    }
    return {};
}

} // namespace

// Quantisation of single pixels against the long double transcription, at
// and next to every level boundary, on fractions in between and on values
// beyond 0..255.
void TestAgreement::quantisationAgrees()
{
    std::mt19937 rng(20261210);
    for (int format : kFormats) {
        for (int i = 0; i < 100000; ++i) {
            long double in[4];
            TRGBA_Rec p;
            double* ch[4] = {&p.R, &p.G, &p.B, &p.A};
            for (int c = 0; c < 4; ++c) {
                double v;
                switch (rng() % 5) {
                case 0: v = double(rng() % 256); break;
                case 1: v = std::min(std::nextafter(double(rng() % 257), rng() % 2 ? 0.0 : 300.0), 255.0); break;
                case 2: v = 255.0 * double(rng()) / 4294967296.0; break;
                case 3: v = double(rng() % 256) + double(rng() % 1024) / 1024.0; break;
                default: {
                    // Outside 0..255, as an unclamped pixel may be.
                    const double far[] = {-1e300,
                                          -1e6,
                                          -256.5,
                                          -0.75,
                                          -0.0,
                                          255.5,
                                          256.0,
                                          511.99,
                                          1e6,
                                          1e300,
                                          std::numeric_limits<double>::infinity(),
                                          -std::numeric_limits<double>::infinity()};
                    v = far[rng() % std::size(far)];
                    break;
                }
                }
                *ch[c] = v;
                in[c] = *ch[c];
            }
            for (bool raw : {true, false}) {
                long double want[4];
                PlainDiffusion::quantise(in, format, raw, want);
                const TRGBA_Rec got = Quantise_Pixel(p, format, raw);
                if (got.R != double(want[0]) || got.G != double(want[1]) || got.B != double(want[2])
                    || got.A != double(want[3]))
                    QFAIL(qPrintable(QString::asprintf("format %d raw %d pixel %.17g %.17g %.17g %.17g", format, raw,
                                                       p.R, p.G, p.B, p.A)));
            }
        }
    }
}

// The conversion's two-row buffer, carried row share, cached Gaussian
// factors and byte levels must give what the plain pass gives: many random
// pictures, sizes and noise settings, the absurd ones included.
void TestAgreement::conversionAgreesOnRandomCases()
{
    std::mt19937 rng(4242);
    // One converter throughout, so that its kept noise factors are reused,
    // extended for larger pictures and replaced for other deviations.
    BmpConverter converter;
    for (int i = 0; i < 1500; ++i) {
        const int format = kFormats[rng() % std::size(kFormats)];
        const int w = rng() % 8 == 0 ? 1 : 1 + int(rng() % 24);
        const int h = rng() % 8 == 0 ? 1 : 1 + int(rng() % 24);
        const QImage picture = randomPicture(rng, w, h);
        const TDithering_Params params = randomParams(rng, format);
        const QString diff = compare(converter, params, picture, format);
        if (!diff.isEmpty())
            QFAIL(qPrintable(QStringLiteral("case %1: ").arg(i) + diff));
    }
}

void TestAgreement::conversionAgreesOnHandleSizes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("stdev");
    QTest::addColumn<int>("bits");
    for (int format : kFormats) {
        const TDithering_Params d = Default_Dithering(format);
        QTest::addRow("%d logo defaults", format) << format << QSize(125, 85) << d.random_stdev << int(d.random_bits);
        QTest::addRow("%d thumbnail stdev 0", format) << format << QSize(90, 61) << 0.0 << 3;
        QTest::addRow("%d thumbnail negative bits", format) << format << QSize(90, 51) << 1.0 << -2;
    }
    QTest::newRow("7 background defaults") << 7 << QSize(480, 272) << 0.3 << 2;
    QTest::newRow("6 background huge stdev") << 6 << QSize(480, 272) << 1e12 << 2;
}

void TestAgreement::conversionAgreesOnHandleSizes()
{
    QFETCH(int, format);
    QFETCH(QSize, size);
    QFETCH(double, stdev);
    QFETCH(int, bits);
    std::mt19937 rng(uint32_t(format * 1000 + size.width() + bits));
    for (int round = 0; round < 3; ++round) {
        const QImage picture = randomPicture(rng, size.width(), size.height());
        BmpConverter converter;
        const QString diff = compare(converter, {stdev, bits}, picture, format);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }
}

// Pictures that push the fast paths to their edges: every pixel on a level
// boundary (white in 8-bit grey), clamps at every pixel (saturated colour in
// 1-bit grey), alpha and colour above alpha, noise on both sides of the
// grey pass's limit and of the reach of the colour pass's tables, single rows
// and columns. With and without the preview.
void TestAgreement::conversionAgreesOnAwkwardPictures_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<uint>("word");
    QTest::addColumn<double>("stdev");
    QTest::addColumn<int>("bits");
    struct Case {
        const char* name;
        int width, height;
        const char* kind;
        uint word;
        double stdev; // negative: the format's default
        int bits;
    };
    const Case cases[] = {
        {"white", 33, 7, "flat", 0xFFFFFFFFu, -1, 0},
        {"black, one column", 1, 40, "flat", 0xFF000000u, -1, 0},
        {"saturated red", 17, 9, "flat", 0xFFFF0000u, -1, 0},
        {"saturated blue, one row", 61, 1, "flat", 0xFF0000FFu, -1, 0},
        {"half-transparent red", 5, 5, "flat", 0x80800000u, -1, 0},
        {"colour above alpha", 6, 4, "flat", 0x10FFFFFFu, -1, 0},
        {"black and white checker", 31, 5, "checker", 0xFFFFFFFFu, -1, 0},
        {"ramp without noise", 125, 3, "ramp", 0, 0.0, 3},
        {"ramp, noise well inside", 47, 6, "ramp", 0, 0.5, 4},
        {"ramp, noise near the limit", 47, 6, "ramp", 0, 1.0, 4},
        {"ramp, noise beyond the limit", 47, 6, "ramp", 0, 3.0, 5},
        {"ramp, noise hundreds past 0..255", 47, 6, "ramp", 0, 1.0, 8},
        {"ramp, noise thousands past 0..255", 47, 6, "ramp", 0, 1.0, 11},
        {"one pixel", 1, 1, "flat", 0xFF808080u, -1, 0},
        {"NaN deviation", 9, 4, "ramp", 0, std::numeric_limits<double>::quiet_NaN(), 2},
        {"infinite amplitude, no deviation", 9, 4, "ramp", 0, 0.0, 5000},
    };
    for (int format : kFormats) {
        for (const Case& c : cases) {
            const TDithering_Params d = Default_Dithering(format == 18 ? 17 : format);
            QTest::addRow("%d %s", format, c.name)
                << format << QSize(c.width, c.height) << QString::fromLatin1(c.kind) << c.word
                << (c.stdev < 0 ? d.random_stdev : c.stdev) << (c.stdev < 0 ? int(d.random_bits) : c.bits);
        }
    }
}

void TestAgreement::conversionAgreesOnAwkwardPictures()
{
    QFETCH(int, format);
    QFETCH(QSize, size);
    QFETCH(QString, kind);
    QFETCH(uint, word);
    QFETCH(double, stdev);
    QFETCH(int, bits);
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        auto* words = reinterpret_cast<uint32_t*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            if (kind == QLatin1String("checker"))
                words[x] = (x + y) % 2 ? word : 0xFF000000u;
            else if (kind == QLatin1String("ramp"))
                words[x] = qRgb(x * 255 / std::max(1, size.width() - 1), 255 - y * 40 % 256, (x * 7 + y * 13) % 256);
            else
                words[x] = word;
        }
    }
    BmpConverter converter;
    const QString diff = compare(converter, {stdev, bits}, picture, format);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    const std::vector<TPixelLevels> withPreview = converter.levels();
    converter.Convert_Bitmap({stdev, bits}, picture, format, false);
    const auto& without = converter.levels();
    QCOMPARE(without.size(), withPreview.size());
    for (size_t i = 0; i < without.size(); ++i)
        QVERIFY2(std::memcmp(&without[i], &withPreview[i], sizeof(TPixelLevels)) == 0,
                 qPrintable(QStringLiteral("pixel %1 differs without the preview").arg(i)));
}
