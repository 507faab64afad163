// The grey level without an 80-bit floating-point unit: the same levels as
// that unit's sum, for the values where a plain double sum goes wrong.
#include "test_imaging.h"

#include "core/imaging/GreyLevel.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {
constexpr int kLevelCounts[] = {2, 4, 16, 256};

// The sum as an 80-bit unit forms it; only where long double is that unit.
constexpr bool kHaveExtended = std::numeric_limits<long double>::digits == 64;

double extendedGrey(const TRGBA_Rec& p)
{
    long double sum = 0.21L * (long double)p.R;
    sum = sum + 0.72L * (long double)p.G;
    sum = sum + 0.07L * (long double)p.B;
    return double(sum);
}

int levelOf(double grey, int levels)
{
    const double v = grey * levels / 256.0;
    if (!(v > 0))
        return 0;
    return v >= levels - 1 ? levels - 1 : int(v);
}

// Inputs where the sum lands on or next to a level boundary: integer
// colours (grey ramps, white), and the doubles right beside them, as error
// diffusion leaves them.
QList<TRGBA_Rec> boundaryColours()
{
    QList<TRGBA_Rec> out;
    for (int v = 0; v <= 256; ++v) {
        for (double d : {0.0, DBL_EPSILON * 64, -DBL_EPSILON * 64}) {
            const double x = v + d * std::max(1, v);
            out.append({x, x, x, 255});
        }
    }
    QRandomGenerator random(12);
    for (int i = 0; i < 20000; ++i) {
        // Integer colours whose exact sum is a whole number: 21 R + 72 G + 7 B = 0 mod 100.
        const int r = random.bounded(256), g = random.bounded(256);
        for (int b = 0; b < 256; ++b) {
            if ((21 * r + 72 * g + 7 * b) % 100 == 0) {
                out.append({double(r), double(g), double(b), 255});
                break;
            }
        }
        // Fractional values near a boundary, with diffusion's sixteenths.
        out.append({r + random.bounded(16) / 16.0, g - random.bounded(16) / 16.0, random.bounded(300) - 20.0, 255});
    }
    return out;
}
} // namespace

void TestGreyLevel::whiteAndGreyRampKeepTheirLevel()
{
    // Plain double arithmetic turns white into 254 in 8-bit grey.
    for (const bool exact : {false, true}) {
        const GreyAlwaysExact mode(exact);
        for (int v = 0; v < 256; ++v) {
            const TRGBA_Rec p{double(v), double(v), double(v), 255};
            QCOMPARE(int(greyLevel(p, 1.0, 255)), v);
            QCOMPARE(greyValueExact(p), double(v));
            for (int levels : kLevelCounts)
                QCOMPARE(int(greyLevel(p, levels / 256.0, levels - 1)), v * levels / 256);
        }
    }
}

void TestGreyLevel::agreesWithExtendedSum_data()
{
    QTest::addColumn<bool>("alwaysExact");
    QTest::newRow("double first, exact near boundaries") << false;
    QTest::newRow("exact for every pixel") << true;
}

void TestGreyLevel::agreesWithExtendedSum()
{
    if (!kHaveExtended)
        QSKIP("long double is not the 80-bit format here: nothing to compare with");
    QFETCH(bool, alwaysExact);
    const GreyAlwaysExact mode(alwaysExact);
    int mismatches = 0;
    QString first;
    for (const TRGBA_Rec& p : boundaryColours()) {
        const double expected = extendedGrey(p);
        if (greyValueExact(p) != expected && first.isEmpty())
            first = QStringLiteral("exact value of %1 %2 %3")
                        .arg(p.R, 0, 'g', 17)
                        .arg(p.G, 0, 'g', 17)
                        .arg(p.B, 0, 'g', 17);
        for (int levels : kLevelCounts) {
            const int got = greyLevel(p, levels / 256.0, levels - 1);
            if (got != levelOf(expected, levels)) {
                ++mismatches;
                if (first.isEmpty())
                    first = QStringLiteral("%1 levels of %2 %3 %4: %5")
                                .arg(levels)
                                .arg(p.R, 0, 'g', 17)
                                .arg(p.G, 0, 'g', 17)
                                .arg(p.B, 0, 'g', 17)
                                .arg(got);
            }
        }
    }
    QVERIFY2(first.isEmpty(), qPrintable(first));
    QCOMPARE(mismatches, 0);
}

void TestGreyLevel::doubleSumAloneWouldBeWrong()
{
    // Shows that the fixture above can fail: a plain double sum does not
    // give these levels.
    int wrong = 0;
    for (const TRGBA_Rec& p : boundaryColours()) {
        const double plain = 0.21 * p.R + 0.72 * p.G + 0.07 * p.B;
        if (levelOf(plain, 256) != greyLevel(p, 1.0, 255))
            ++wrong;
    }
    QVERIFY(wrong > 0);
}
