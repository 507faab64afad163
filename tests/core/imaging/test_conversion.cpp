#include "test_imaging.h"

#include "PlainDiffusion.h"
#include "TestPictures.h"

#include "core/imaging/BmpConverter.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <QtTest>

namespace {

bool sameLevels(const std::vector<TPixelLevels>& a, const std::vector<TPixelLevels>& b, QString* where = nullptr)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].R != b[i].R || a[i].G != b[i].G || a[i].B != b[i].B || a[i].A != b[i].A) {
            if (where)
                *where = QStringLiteral("first difference at pixel %1: %2 %3 %4 %5 against %6 %7 %8 %9")
                             .arg(i)
                             .arg(a[i].R)
                             .arg(a[i].G)
                             .arg(a[i].B)
                             .arg(a[i].A)
                             .arg(b[i].R)
                             .arg(b[i].G)
                             .arg(b[i].B)
                             .arg(b[i].A);
            return false;
        }
    }
    return true;
}

// The plain pass's levels and preview in the product's forms; the preview
// keeps premultiplied pixels valid (colour at most alpha), as the product's.
std::vector<TPixelLevels> plainLevels(const PlainDiffusion::Result& r)
{
    std::vector<TPixelLevels> out(r.shown.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = {r.levels[4 * i], r.levels[4 * i + 1], r.levels[4 * i + 2], r.levels[4 * i + 3]};
    return out;
}

QImage plainPreview(const PlainDiffusion::Result& r, int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t s = r.shown[size_t(y) * size_t(w) + size_t(x)];
            const uint32_t a = s >> 24;
            row[x] = a << 24 | std::min((s >> 16) & 255, a) << 16 | std::min((s >> 8) & 255, a) << 8
                | std::min(s & 255, a);
        }
    }
    return image;
}

QImage filled(int w, int h, QRgb premultiplied)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(premultiplied);
    return image;
}

} // namespace

void TestConversion::matchesLiteralReference_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<double>("stdev");
    QTest::addColumn<int>("bits");

    const QList<QPair<const char*, QImage>> pictures = {
        {"photo 23x17", testPicture(23, 17, false, 1)},
        {"alpha 19x13", testPicture(19, 13, true, 2)},
        {"one wide 1x9", testPicture(1, 9, true, 3)},
        {"one high 11x1", testPicture(11, 1, false, 4)},
    };
    for (int f : {0, 1, 2, 3, 4, 5, 6, 7, 17, 18}) {
        const TDithering_Params d = Default_Dithering(f);
        for (const auto& [name, picture] : pictures) {
            QTest::addRow("%d %s defaults", f, name) << f << picture << d.random_stdev << int(d.random_bits);
            QTest::addRow("%d %s plain", f, name) << f << picture << 0.0 << int(d.random_bits);
            QTest::addRow("%d %s strong", f, name) << f << picture << 1.7 << 5;
        }
    }
}

// The product works on two rows, carries the row share in registers, reuses
// noise factors and quantises through tables; the reference does none of
// that. Any slip in neighbour order, weights, dropped shares, serpentine
// direction or noise placement shows up as a level or preview difference.
void TestConversion::matchesLiteralReference()
{
    QFETCH(int, format);
    QFETCH(QImage, picture);
    QFETCH(double, stdev);
    QFETCH(int, bits);
    const TDithering_Params params{stdev, bits};

    BmpConverter converter;
    const QImage preview = converter.Convert_Bitmap(params, picture, format, true);
    const PlainDiffusion::Result plain = PlainDiffusion::convert(params, picture, format);
    QString where;
    QVERIFY2(sameLevels(converter.levels(), plainLevels(plain), &where), qPrintable(where));
    QCOMPARE(preview.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(preview, plainPreview(plain, picture.width(), picture.height()));
}

void TestConversion::errorIsDiffused_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QList<int>>("greenLevels");

    // Green 128 is level 32 (shown as 129): the error -1 moves on.
    // Along the last row 7/16 reaches the right neighbour: 127.5625 gives 31.
    QTest::newRow("along the row") << filled(2, 1, qRgb(0, 128, 0)) << QList<int>{32, 31};
    // One pixel wide: only the 5/16 share straight down arrives: 127.6875 gives 31.
    QTest::newRow("straight down") << filled(1, 2, qRgb(0, 128, 0)) << QList<int>{32, 31};
    // Without diffusion every pixel would be 32.
    QTest::newRow("no neighbour") << filled(1, 1, qRgb(0, 128, 0)) << QList<int>{32};
}

void TestConversion::errorIsDiffused()
{
    QFETCH(QImage, picture);
    QFETCH(QList<int>, greenLevels);
    BmpConverter converter;
    const QImage preview = converter.Convert_Bitmap({0.0, 2}, picture, 7, true);
    QList<int> got;
    for (const TPixelLevels& lv : converter.levels())
        got << lv.G;
    QCOMPARE(got, greenLevels);
    QCOMPARE(qGreen(preview.pixel(0, 0)), 129);
}

void TestConversion::noiseOnlyOnOpaquePixels_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("alpha");
    QTest::addColumn<bool>("noisy");
    QTest::newRow("1555 alpha 254") << 0 << 254 << false;
    QTest::newRow("1555 alpha 255") << 0 << 255 << true;
    QTest::newRow("4444 alpha 239") << 6 << 239 << false;
    QTest::newRow("4444 alpha 240") << 6 << 240 << true;
    QTest::newRow("2222 alpha 191") << 5 << 191 << false;
    QTest::newRow("2222 alpha 192") << 5 << 192 << true;
    QTest::newRow("565 has no alpha: always") << 7 << 0 << true;
}

void TestConversion::noiseOnlyOnOpaquePixels()
{
    QFETCH(int, format);
    QFETCH(int, alpha);
    QFETCH(bool, noisy);
    const int grey = std::min(100, alpha);
    const QImage picture = filled(16, 16, qRgba(grey, grey, grey, alpha));
    BmpConverter converter;
    converter.Convert_Bitmap({0.0, 5}, picture, format, false);
    const std::vector<TPixelLevels> plain = converter.levels();
    converter.Convert_Bitmap({2.0, 5}, picture, format, false);
    QCOMPARE(!sameLevels(converter.levels(), plain), noisy);
}

void TestConversion::greyFormatsGiveEqualChannels()
{
    const QImage picture = testPicture(31, 7, true, 9);
    BmpConverter converter;
    for (int format : {1, 2, 3, 17, 18}) {
        const QImage preview = converter.Convert_Bitmap(Default_Dithering(format), picture, format, true);
        for (int y = 0; y < preview.height(); ++y)
            for (int x = 0; x < preview.width(); ++x) {
                const QRgb p = preview.pixel(x, y);
                QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qAlpha(p) == 255);
            }
        for (const TPixelLevels& lv : converter.levels())
            QVERIFY(lv.R == lv.G && lv.G == lv.B);
    }
}

void TestConversion::sameInputSameResult()
{
    const QImage a = testPicture(40, 30, true, 5);
    const QImage b = testPicture(30, 40, false, 6);
    BmpConverter converter;
    const QImage first = converter.Convert_Bitmap({0.8, 2}, a, 6, true);
    const std::vector<TPixelLevels> firstLevels = converter.levels();
    converter.Convert_Bitmap({1.2, 3}, b, 7, true); // other noise, other size in between
    const QImage again = converter.Convert_Bitmap({0.8, 2}, a, 6, true);
    QVERIFY(sameLevels(converter.levels(), firstLevels));
    QCOMPARE(again, first);

    BmpConverter other;
    QCOMPARE(other.Convert_Bitmap({0.8, 2}, a, 6, true), first);
}

void TestConversion::otherInputFormatsAreConvertedFirst()
{
    BmpConverter converter;
    // Half-transparent pure red enters as premultiplied R 128, A 128.
    QImage straight(3, 3, QImage::Format_ARGB32);
    straight.fill(qRgba(255, 0, 0, 128));
    converter.Convert_Bitmap({0.8, 2}, straight, 6, false);
    const std::vector<TPixelLevels> fromStraight = converter.levels();
    converter.Convert_Bitmap({0.8, 2}, filled(3, 3, qRgba(128, 0, 0, 128)), 6, false);
    QVERIFY(sameLevels(fromStraight, converter.levels()));
    QCOMPARE(int(fromStraight[0].R), 8);

    const QImage photo = testPicture(12, 12, false, 8);
    converter.Convert_Bitmap({0.3, 2}, photo.convertToFormat(QImage::Format_RGB888), 7, false);
    const std::vector<TPixelLevels> fromRgb = converter.levels();
    converter.Convert_Bitmap({0.3, 2}, photo, 7, false);
    QVERIFY(sameLevels(fromRgb, converter.levels()));
}

void TestConversion::badInputIsRefused()
{
    BmpConverter converter;
    converter.Convert_Bitmap({0.8, 2}, filled(4, 3, qRgb(1, 2, 3)), 6, false);
    const std::vector<TPixelLevels> before = converter.levels();
    QVERIFY_THROWS_EXCEPTION(ImagingError, converter.Convert_Bitmap({0.8, 2}, QImage(), 6, false));
    QVERIFY_THROWS_EXCEPTION(ImagingError, converter.Convert_Bitmap({0.8, 2}, filled(5, 5, qRgb(9, 9, 9)), 9, true));
    QVERIFY(sameLevels(converter.levels(), before));
    QCOMPARE(converter.levelsWidth(), 4);
}
