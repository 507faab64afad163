#include "test_imaging.h"

#include "PlainDiffusion.h"

#include "core/imaging/ImagingError.h"
#include "core/imaging/NoiseGenerator.h"
#include "core/imaging/NoiseSequence.h"
#include "core/imaging/PixelFormat.h"
#include "core/imaging/Quantisation.h"
#include "core/imaging/QuantiseKernel.h"

#include <QtTest>

#include <random>

using Channels = QList<int>; // R, G, B, A

void TestQuantisation::quantise_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<Channels>("pixel");
    QTest::addColumn<Channels>("levels");
    QTest::addColumn<Channels>("shown");

    QTest::newRow("565 white") << 7 << Channels{255, 255, 255, 255} << Channels{31, 63, 31, 255}
                               << Channels{255, 255, 255, 255};
    QTest::newRow("565 black") << 7 << Channels{0, 0, 0, 255} << Channels{0, 0, 0, 255} << Channels{0, 0, 0, 255};
    QTest::newRow("565 green 128") << 7 << Channels{0, 128, 0, 255} << Channels{0, 32, 0, 255}
                                   << Channels{0, 129, 0, 255};
    QTest::newRow("565 ignores alpha") << 7 << Channels{10, 10, 10, 3} << Channels{1, 2, 1, 255}
                                       << Channels{8, 8, 8, 255};
    QTest::newRow("1555 alpha 254") << 0 << Channels{200, 100, 50, 254} << Channels{25, 12, 6, 0}
                                    << Channels{205, 98, 49, 0};
    QTest::newRow("1555 alpha 255") << 0 << Channels{200, 100, 50, 255} << Channels{25, 12, 6, 1}
                                    << Channels{205, 98, 49, 255};
    QTest::newRow("4444 alpha 239") << 6 << Channels{16, 32, 48, 239} << Channels{1, 2, 3, 14}
                                    << Channels{17, 34, 51, 238};
    QTest::newRow("4444 alpha 240") << 6 << Channels{16, 32, 48, 240} << Channels{1, 2, 3, 15}
                                    << Channels{17, 34, 51, 255};
    QTest::newRow("2222") << 5 << Channels{255, 128, 64, 192} << Channels{3, 2, 1, 3} << Channels{255, 170, 85, 255};
    QTest::newRow("332") << 4 << Channels{255, 100, 255, 0} << Channels{7, 3, 3, 255} << Channels{255, 109, 255, 255};
    QTest::newRow("grey 8 of a colour") << 3 << Channels{100, 150, 200, 255} << Channels{143, 143, 143, 255}
                                        << Channels{143, 143, 143, 255};
    QTest::newRow("grey 4") << 2 << Channels{100, 150, 200, 17} << Channels{8, 8, 8, 255}
                            << Channels{136, 136, 136, 255};
    QTest::newRow("grey 1 white") << 1 << Channels{255, 255, 255, 255} << Channels{1, 1, 1, 255}
                                  << Channels{255, 255, 255, 255};
    QTest::newRow("grey 2 code 18") << 18 << Channels{128, 128, 128, 255} << Channels{2, 2, 2, 255}
                                    << Channels{170, 170, 170, 255};
    // The grey sum in double precision would fall just below these values
    // and lose a level; in extended precision it rounds to them exactly.
    QTest::newRow("grey 8 of 5,5,5 extended")
        << 3 << Channels{5, 5, 5, 255} << Channels{5, 5, 5, 255} << Channels{5, 5, 5, 255};
    QTest::newRow("grey 2 at 192 extended")
        << 17 << Channels{88, 241, 0, 255} << Channels{3, 3, 3, 255} << Channels{255, 255, 255, 255};
}

void TestQuantisation::quantise()
{
    QFETCH(int, format);
    QFETCH(Channels, pixel);
    QFETCH(Channels, levels);
    QFETCH(Channels, shown);
    const TRGBA_Rec p{double(pixel[0]), double(pixel[1]), double(pixel[2]), double(pixel[3])};
    const TRGBA_Rec raw = Quantise_Pixel(p, format, true);
    const TRGBA_Rec back = Quantise_Pixel(p, format, false);
    QCOMPARE((Channels{int(raw.R), int(raw.G), int(raw.B), int(raw.A)}), levels);
    QCOMPARE((Channels{int(back.R), int(back.G), int(back.B), int(back.A)}), shown);
}

void TestQuantisation::unknownFormatsAreRefused_data()
{
    QTest::addColumn<int>("format");
    for (int f : {-1, 8, 12, 16, 19, 255})
        QTest::addRow("%d", f) << f;
}

void TestQuantisation::unknownFormatsAreRefused()
{
    QFETCH(int, format);
    QVERIFY(!isPixelFormat(format));
    QVERIFY_THROWS_EXCEPTION(ImagingError, Quantise_Pixel({1, 2, 3, 4}, format, true));
    QVERIFY_THROWS_EXCEPTION(ImagingError, Default_Dithering(format));
    try {
        Default_Dithering(format);
    } catch (const ImagingError& e) {
        QVERIFY2(e.message().contains(QString::number(format)), qPrintable(e.message()));
    }
}

void TestQuantisation::defaultDithering_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("stdev");
    QTest::addColumn<int>("bits");
    QTest::newRow("1") << 1 << 1.2 << 3;
    QTest::newRow("17") << 17 << 1.0 << 3;
    QTest::newRow("18 as 17") << 18 << 1.0 << 3;
    QTest::newRow("2") << 2 << 0.6 << 3;
    QTest::newRow("3") << 3 << 0.2 << 2;
    QTest::newRow("4") << 4 << 0.9 << 3;
    QTest::newRow("5") << 5 << 1.2 << 2;
    QTest::newRow("6") << 6 << 0.8 << 2;
    QTest::newRow("0") << 0 << 0.8 << 2;
    QTest::newRow("7") << 7 << 0.3 << 2;
}

void TestQuantisation::defaultDithering()
{
    QFETCH(int, format);
    QFETCH(double, stdev);
    QFETCH(int, bits);
    const TDithering_Params p = Default_Dithering(format);
    QCOMPARE(p.random_stdev, stdev);
    QCOMPARE(p.random_bits, bits);
}

void TestQuantisation::kernelAgreesWithQuantisePixel_data()
{
    QTest::addColumn<int>("format");
    for (int f : {0, 1, 2, 3, 4, 5, 6, 7, 17, 18})
        QTest::addRow("%d", f) << f;
}

// The conversion quantises through precomputed tables in double precision;
// they must give exactly what Quantise_Pixel and the long double
// transcription give, at level boundaries above all.
void TestQuantisation::kernelAgreesWithQuantisePixel()
{
    QFETCH(int, format);
    const QuantiseKernel kernel(format);
    std::mt19937 rng(uint32_t(format) + 7);
    std::uniform_real_distribution<double> any(-20.0, 275.0);
    std::uniform_int_distribution<int> whole(0, 256);
    std::uniform_int_distribution<int> nudge(-3, 3);
    auto value = [&](int kind) {
        switch (kind) {
        case 0: return any(rng);
        case 1: return double(whole(rng));
        default: {
            // On or next to a boundary k * 256 / L for every level count used.
            const double b = double(whole(rng));
            const int side = nudge(rng);
            return side == 0 ? b : std::nextafter(b, side < 0 ? -1.0 : 300.0);
        }
        }
    };
    for (int i = 0; i < 200000; ++i) {
        const TRGBA_Rec p{value(i % 3), value((i / 3) % 3), value(i % 2), value((i / 2) % 3)};
        const TRGBA_Rec c = rgbaClamp(p);
        const TPixelLevels expected = quantiseLevels(c, format);
        const long double in[4] = {c.R, c.G, c.B, c.A};
        long double plain[4];
        PlainDiffusion::quantise(in, format, true, plain);
        const TPixelLevels reference{uint8_t(plain[0]), uint8_t(plain[1]), uint8_t(plain[2]), uint8_t(plain[3])};
        const TPixelLevels got = kernel.levels(c);
        const auto same = [](const TPixelLevels& a, const TPixelLevels& b) {
            return a.R == b.R && a.G == b.G && a.B == b.B && a.A == b.A;
        };
        if (!same(got, expected) || !same(expected, reference))
            QFAIL(qPrintable(QString::asprintf("pixel %.17g %.17g %.17g %.17g", c.R, c.G, c.B, c.A)));
        QCOMPARE(kernel.opaque(c), levelsToDisplay(expected, format).A >= 255.0);
        const TRGBA_Rec shown = kernel.display(got);
        const TRGBA_Rec want = Quantise_Pixel(c, format, false);
        if (shown.R != want.R || shown.G != want.G || shown.B != want.B || shown.A != want.A)
            QFAIL("mapped-back values differ");
    }
}

void TestNoise::generatorSequence()
{
    NoiseGenerator g;
    QCOMPARE(g.uniform(), 1.0 / 4294967296.0);
    QCOMPARE(g.seed(), 1u);
    QCOMPARE(g.uniform(), 134775814.0 / 4294967296.0);
    QCOMPARE(g.seed(), 134775814u);
    g.uniform();
    QCOMPARE(g.seed(), uint32_t(uint64_t(134775814) * 134775813u + 1u)); // wraps modulo 2^32

    // The polar method: mean + stdev * u1 * sqrt(-2 ln s / s), with rejection.
    NoiseGenerator a;
    NoiseGenerator b;
    for (int i = 0; i < 1000; ++i) {
        double u1, u2, s;
        do {
            u1 = 2 * b.uniform() - 1;
            u2 = 2 * b.uniform() - 1;
            s = u1 * u1 + u2 * u2;
        } while (s >= 1);
        QCOMPARE(a.gaussian(3.0, 0.7), 3.0 + 0.7 * u1 * std::sqrt(-2 * std::log(s) / s));
    }
}

void TestNoise::reusedFactorsMatchFreshDraws()
{
    NoiseSequence seq;
    for (double stdev : {0.8, 0.3, 0.8, 1.2, 1.2}) {
        for (size_t count : {size_t(5), size_t(3000), size_t(10)}) {
            const double* f = seq.factors(stdev, count);
            NoiseGenerator fresh;
            for (size_t i = 0; i < count; ++i)
                QCOMPARE(f[i], fresh.gaussian(0.0, stdev));
        }
    }
}
