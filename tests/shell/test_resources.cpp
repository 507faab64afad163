#include "core/resources/CarriedData.h"
#include "ui/common/TDM_images.h"

#include <QDate>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>
#include <QThreadPool>

#include <memory>
#include <stdexcept>

namespace {

// Share of pixels with any opacity: a picture that renders blank is broken.
double coverage(const QImage& image)
{
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ++opaque;
    return double(opaque) / (image.width() * image.height());
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT
private slots:
    void versionAndPartNumberWords()
    {
        QCOMPARE(Read_Resource_Word("FW_VER"), quint16(201));
        QCOMPARE(Read_Resource_Word("FW_PARTNO"), quint16(5813));
    }

    void missingResourcesNameThemselves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown") << "FW_NOPE";
        QTest::newRow("empty") << "";
        QTest::newRow("path escape") << "../pictures/THERM_PNG.svg";
    }
    void missingResourcesNameThemselves()
    {
        QFETCH(QString, name);
        try {
            Read_Resource_Word(name);
            QFAIL("no error for a missing resource");
        } catch (const std::runtime_error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("\"%1\"").arg(name)), e.what());
        }
    }

    void firmwareImagesHaveTheirSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("first model") << "FIRMWARE_BINARY_5813";
        QTest::newRow("RTC model") << "FIRMWARE_BINARY_5827";
    }
    void firmwareImagesHaveTheirSize()
    {
        QFETCH(QString, name);
        const QByteArray image = readResourceData(name);
        QCOMPARE(image.size(), 266240);
        if (carriedFirmwareIsPlaceholder())
            QVERIFY(image.startsWith("CORVANE PLACEHOLDER FIRMWARE " + name.right(4).toLatin1()));
    }

    void versionHistoriesFollowTheirFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("first model") << "FW_VER_HISTORY_5813";
        QTest::newRow("RTC model") << "FW_VER_HISTORY_5827";
    }
    void versionHistoriesFollowTheirFormat()
    {
        QFETCH(QString, name);
        const QByteArray raw = readResourceData(name);
        QVERIFY(raw.endsWith("\r\n"));
        QCOMPARE(raw.count('\n'), raw.count("\r\n"));
        const QStringList lines = QString::fromLatin1(raw).split(QStringLiteral("\r\n"));
        static const QRegularExpression kRelease(QStringLiteral("^(\\d\\d/\\d\\d/\\d{4})\\tv(\\d+)\\.(\\d\\d)\\t\\S"));
        QDate previous;
        int releases = 0;
        bool expectRelease = true;
        for (const QString& line : lines.mid(0, lines.size() - 1)) {
            if (line.isEmpty()) {
                expectRelease = true;
                continue;
            }
            if (!expectRelease) {
                QVERIFY2(line.startsWith(QLatin1Char('\t')), qPrintable(line));
                continue;
            }
            const auto m = kRelease.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            const QDate date = QDate::fromString(m.captured(1), QStringLiteral("dd/MM/yyyy"));
            QVERIFY(date.isValid());
            if (releases == 0) {
                // The newest release is the firmware the program carries.
                QCOMPARE(m.captured(2).toInt() * 100 + m.captured(3).toInt(), int(Read_Resource_Word("FW_VER")));
            } else {
                QVERIFY2(date < previous, "releases are listed newest first");
            }
            previous = date;
            ++releases;
            expectRelease = false;
        }
        QVERIFY(releases >= 1);
    }

    void everyPictureRendersAtTheRequestedSize_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& n : TDM_imagestore::allPictureNames())
            QTest::newRow(qPrintable(n)) << n;
    }
    void everyPictureRendersAtTheRequestedSize()
    {
        QFETCH(QString, name);
        QVERIFY(hasPicture(name));
        for (QSize size : {QSize(37, 23), QSize(200, 200)}) {
            const QImage image = picture(name, size);
            QCOMPARE(image.size(), size);
            QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
            QVERIFY2(coverage(image) > 0.05, "picture renders blank");
        }
        QImage natural;
        Load_Png_Resource(natural, name);
        QVERIFY(!natural.isNull());
    }

    void missingPictureIsAnErrorNamingIt()
    {
        QVERIFY(!hasPicture("NO_SUCH_PNG"));
        try {
            picture("NO_SUCH_PNG", QSize(10, 10));
            QFAIL("no error for a missing picture");
        } catch (const std::runtime_error& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains("\"NO_SUCH_PNG\""));
        }
    }

    void storeFillsEverySlotAndList()
    {
        QVERIFY(dmImagestore() == nullptr);
        auto owned = std::make_unique<TDM_imagestore>();
        const TDM_imagestore& store = *owned;
        // The windows created after the store reach it without being handed it.
        QCOMPARE(dmImagestore(), owned.get());
        for (const QImage& i : store.mode_Png)
            QVERIFY(!i.isNull());
        QVERIFY(!store.run_Png[1].isNull() && !store.airdir_Png[6].isNull());
        QVERIFY(!store.therm_Png.isNull() && !store.dim_grey_Png.isNull());
        // The setpoint pictures are drawn into 105 x 36 boxes: keep that shape.
        for (const QImage& i : store.sp_ui_png)
            QCOMPARE(i.width() * 36, i.height() * 105);
        for (const QImage& i : store.cfg_group_ImageList)
            QCOMPARE(i.size(), QSize(50, 50));
        for (const QImage& i : store.cfg_items_ImageList)
            QCOMPARE(i.size(), QSize(50, 50));
        for (const QImage& i : store.misc_200x200_ImageList)
            QCOMPARE(i.size(), QSize(200, 200));
        // Distinct options must not share one picture.
        QVERIFY(store.mode_Png[0] != store.mode_Png[1]);
        QVERIFY(store.fan_Png[0] != store.fan_Png[2]);
        QVERIFY(store.airdir_Png[0] != store.airdir_Png[4]);
        owned.reset();
        QVERIFY(dmImagestore() == nullptr);
    }

    // Start-up renders its pictures ahead on other threads: what the window
    // thread then gets is what it would have rendered itself, in the slot it
    // belongs to, and a missing picture is still an error where it is asked for.
    void picturesRenderedAheadLandInTheirSlots()
    {
        QList<TPictureRequest> requests = TDM_imagestore::startUpPictures();
        requests.append({QStringLiteral("NO_SUCH_PNG"), QSize(10, 10)});
        prerenderPictures(requests);
        prerenderPictures(requests); // asked twice while the first are still rendering
        const TDM_imagestore store;
        const QStringList& own = TDM_imagestore::ownSizeNames();
        QCOMPARE(own.size(), 22);
        QCOMPARE(store.run_Png[1], picture(own[1]));
        QCOMPARE(store.mode_Png[4], picture(QStringLiteral("MD_AUTO_PNG")));
        QCOMPARE(store.fan_Png[0], picture(QStringLiteral("FS_LOW_PNG")));
        QCOMPARE(store.airdir_Png[6], picture(QStringLiteral("AD_HOLD_PNG")));
        QCOMPARE(store.sp_ui_png[1], picture(QStringLiteral("SP_GRADIENT_PNG")));
        QCOMPARE(store.dim_grey_Png, picture(QStringLiteral("GREY_FADE_PNG")));
        QCOMPARE(store.therm_Png, picture(QStringLiteral("THERM_PNG")));
        QCOMPARE(store.misc_200x200_ImageList[3], picture(QStringLiteral("EVT_EDIT_PNG"), QSize(200, 200)));
        QVERIFY(store.mode_Png[0] != store.mode_Png[1]);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, picture(QStringLiteral("NO_SUCH_PNG"), QSize(10, 10)));
        QThreadPool::globalInstance()->waitForDone();
    }

    void caseLeavesRoomForTheScreen()
    {
        // The appearance preview draws a 520 x 295 screen at (85, 22) of the case.
        const QImage c = picture("RC_CASE_PNG");
        QCOMPARE(c.size(), QSize(690, 362));
        const QColor inScreen = c.pixelColor(85 + 260, 22 + 150);
        QVERIFY(inScreen.lightness() < 80);
        QVERIFY(c.pixelColor(40, 180).lightness() > 180);
    }

    void fadeScalesAlphaOnly_data()
    {
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("faded");
        QTest::newRow("opaque at 30%") << 255 << 30 << 76;
        QTest::newRow("faint at 30%") << 10 << 30 << 3;
        QTest::newRow("transparent") << 0 << 30 << 0;
        QTest::newRow("100% keeps") << 200 << 100 << 200;
        QTest::newRow("0% clears") << 200 << 0 << 0;
        QTest::newRow("above 100% is 100%") << 200 << 150 << 200;
        QTest::newRow("below 0% is 0%") << 200 << -20 << 0;
    }
    void fadeScalesAlphaOnly()
    {
        QFETCH(int, alpha);
        QFETCH(int, percent);
        QFETCH(int, faded);
        QImage source(3, 2, QImage::Format_ARGB32);
        source.fill(qRgba(12, 130, 250, alpha));
        source.setPixel(2, 1, qRgba(255, 0, 77, alpha));
        QImage target;
        Fade_Png_Alpha(source, target, percent);
        QCOMPARE(target.size(), source.size());
        QCOMPARE(target.format(), QImage::Format_ARGB32);
        QCOMPARE(target.pixel(0, 0), qRgba(12, 130, 250, faded));
        QCOMPARE(target.pixel(2, 1), qRgba(255, 0, 77, faded));
    }

    void fadeIntoItsOwnSource()
    {
        QImage img(2, 2, QImage::Format_ARGB32);
        img.fill(qRgba(1, 2, 3, 255));
        Fade_Png_Alpha(img, img, 30);
        QCOMPARE(img.pixel(1, 1), qRgba(1, 2, 3, 76));
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
