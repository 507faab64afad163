#include "core/model/DeviceConfig.h"
#include "core/model/Fletcher.h"
#include "core/storage/DiskIO.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

// Builds project files by hand, so older layouts and damaged files can be
// written exactly as another program (or a broken disk) would have left them.
class FileBuilder {
public:
    QByteArray bytes;
    void u8(uint8_t v) { bytes.append(char(v)); }
    void u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.append(char(v >> (8 * i)));
    }
    void f64(double d) { bytes.append(reinterpret_cast<const char*>(&d), 8); }
    void str(const QByteArray& s)
    {
        u32(uint32_t(s.size()));
        bytes.append(s);
    }
    void raw(const void* p, int n) { bytes.append(static_cast<const char*>(p), n); }

    void header(uint32_t configVersion, const void* config, int configBytes, uint32_t section, uint32_t handles)
    {
        u32(1);
        u32(0xDEADBEEF);
        u32(configVersion);
        raw(config, configBytes);
        u32(section);
        u32(handles);
    }
    // One handle in the given section layout with `cells` cells of 3 data bytes.
    void handle(uint32_t section, uint32_t id, const QByteArray& name, int cells)
    {
        u32(id);
        str(name);
        u32(125);
        u32(85);
        u8(1);
        u8(0);
        u32(6);
        if (section >= 2)
            u32(9);        // display filter
        u32(cells * 1000); // memory usage
        if (section >= 3) {
            u8(0);
            u32(2);
        } // included (false), JPEG display format
        if (section >= 4)
            u32(0x00112233);
        u32(uint32_t(cells));
        for (int i = 0; i < cells; ++i) {
            str("1abc");
            str("");
            f64(0.8);
            u32(2);
            u32(id);
            u32(4321);
            u32(1000);
            if (section >= 3)
                u8(0);
            str("\x89PN");
        }
    }
};

QByteArray newProjectFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.cvp");
    TDevice_Config_v2 rec = newProjectConfig();
    THandleList handles;
    createDefaultHandles(handles);
    Save_Project_File(path, rec, handles);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QByteArray projectWithImages()
{
    FileBuilder b;
    const TDevice_Config_v2 rec = newProjectConfig();
    b.header(2, &rec, 1343, 4, 5);
    const char* names[] = {"BACKGROUNDS", "LOGOS", "INFO_SCREENS", "BG_THUMBNAILS", "LOGO_THUMBNAILS"};
    for (int i = 0; i < 5; ++i)
        b.handle(4, uint32_t(i + 1), names[i], i == 1 || i == 4 ? 2 : 0);
    return b.bytes;
}

bool loadBytes(const QByteArray& bytes, TDevice_Config_v2& rec, THandleList& list)
{
    return loadProjectBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), rec, list);
}

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT
private slots:
    void newProjectRoundTrip()
    {
        const QByteArray file = newProjectFile();
        QCOMPARE(file.size(), 1634);

        TDevice_Config_v2 rec;
        std::memset(&rec, 0x77, sizeof rec);
        THandleList list;
        QVERIFY(loadBytes(file, rec, list));
        const TDevice_Config_v2 expected = newProjectConfig();
        QCOMPARE(std::memcmp(&rec, &expected, 1343), 0);
        QCOMPARE(rec.checksum[1], uint8_t(0x77)); // the last byte is not stored and keeps its value

        THandleList defaults;
        createDefaultHandles(defaults);
        QCOMPARE(list.size(), defaults.size());
        for (size_t i = 0; i < list.size(); ++i) {
            QCOMPARE(list[i]->id, defaults[i]->id);
            QCOMPARE(list[i]->name, defaults[i]->name);
            QCOMPARE(list[i]->width, defaults[i]->width);
            QCOMPARE(list[i]->compression_format, defaults[i]->compression_format);
            QCOMPARE(list[i]->bg_colour, defaults[i]->bg_colour);
            QVERIFY(list[i]->cells.empty());
        }
    }

    void imagesRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromUtf8("Büro – Etage 2.cvp"));
        TDevice_Config_v2 rec = newProjectConfig();
        rec.theme_colour = 0x00ABCDEF;
        THandleList handles;
        createDefaultHandles(handles);
        THandle_object& logos = *handles[kLogosIdx];
        logos.memory_usage = 1234;
        logos.bg_colour = 0xFF00FF00;
        auto cell = std::make_unique<TCell_object>();
        cell->name = QString::fromUtf8("_2ÜBER");
        cell->image_file_path = QString::fromUtf8("/home/ana/Logos/über.png");
        cell->dithering = {0.8, -3};
        cell->fileSize = 99999;
        cell->imageSize = 1234;
        cell->included = false;
        cell->imgFileData = QByteArray("\x89PNG\r\n\x1a\n\0\0rest", 14);
        logos.appendCell(std::move(cell));
        Save_Project_File(path, rec, handles);

        TDevice_Config_v2 back{};
        THandleList list;
        QVERIFY(Load_Project_File(path, back, list));
        QCOMPARE(back.theme_colour, 0x00ABCDEFu);
        const THandle_object& h = *list[kLogosIdx];
        QCOMPARE(h.memory_usage, 1234);
        QCOMPARE(h.bg_colour, 0xFF00FF00u);
        QCOMPARE(int(h.cells.size()), 1);
        const TCell_object& c = *h.cells[0];
        QCOMPARE(c.name, QString::fromUtf8("_2ÜBER"));
        QCOMPARE(c.image_file_path, QString::fromUtf8("/home/ana/Logos/über.png"));
        QCOMPARE(c.dithering, (TDithering_Params{0.8, -3}));
        QCOMPARE(c.fileSize, 99999);
        QCOMPARE(c.imageSize, 1234);
        QVERIFY(!c.included);
        QCOMPARE(c.imgFileData, QByteArray("\x89PNG\r\n\x1a\n\0\0rest", 14));
        QCOMPARE(c.pHandle, &h);
        QCOMPARE(c.width, 125);
    }

    void olderSectionLayouts_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("displayFilter");
        QTest::addColumn<bool>("included");
        QTest::addColumn<int>("jpgDisplay");
        QTest::addColumn<uint>("bgColour");
        QTest::newRow("1") << 1 << 0 << true << 0 << 0xFFFFFFFFu;
        QTest::newRow("2") << 2 << 9 << true << 0 << 0xFFFFFFFFu;
        QTest::newRow("3") << 3 << 9 << false << 2 << 0xFFFFFFFFu;
        QTest::newRow("4") << 4 << 9 << false << 2 << 0x00112233u;
    }

    void olderSectionLayouts()
    {
        QFETCH(int, section);
        QFETCH(int, displayFilter);
        QFETCH(bool, included);
        QFETCH(int, jpgDisplay);
        QFETCH(uint, bgColour);
        FileBuilder b;
        const TDevice_Config_v2 rec = newProjectConfig();
        b.header(2, &rec, 1343, uint32_t(section), 5);
        for (int i = 0; i < 5; ++i)
            b.handle(uint32_t(section), uint32_t(i + 1), "H", 2);

        TDevice_Config_v2 back{};
        THandleList list;
        QVERIFY(loadBytes(b.bytes, back, list));
        QCOMPARE(int(list.size()), 5);
        for (const auto& h : list) {
            QCOMPARE(h->display_filter, displayFilter);
            QCOMPARE(h->included, included);
            QCOMPARE(h->jpg_display_format, jpgDisplay);
            QCOMPARE(h->bg_colour, bgColour);
            QCOMPARE(h->memory_usage, 2000);
            QCOMPARE(int(h->cells.size()), 2);
            for (const auto& c : h->cells) {
                QCOMPARE(c->included, included);
                QCOMPARE(c->imgFileData, QByteArray("\x89PN"));
                QCOMPARE(c->fileSize, 4321);
                QCOMPARE(c->dithering.random_stdev, 0.8);
            }
        }
    }

    void versionOneRecordIsConverted()
    {
        TDevice_Config_v2 fresh = newProjectConfig();
        fresh.theme_colour = 0x00102030;
        FileBuilder b;
        b.header(1, &fresh, 179, 4, 5);
        for (int i = 0; i < 5; ++i)
            b.handle(4, uint32_t(i + 1), "H", 0);

        TDevice_Config_v2 back;
        std::memset(&back, 0xFF, sizeof back); // a previous project with frost protection on
        THandleList list;
        QVERIFY(loadBytes(b.bytes, back, list));
        QCOMPARE(std::memcmp(&back, &fresh, 178), 0);
        QCOMPARE(back.info_scr_slideshow_visible_time, uint16_t(1));
        QCOMPARE(back.info_scr_slideshow_stop_min, uint16_t(1439));
        QCOMPARE(back.daily_schedule[4].daily_event[3].setpoint, 180u);
        QCOMPARE(back.frost_protection_enabled, uint8_t(0));
        QCOMPARE(back._padding_end[1], uint8_t(0));
    }

    // Layouts the reader does not accept: false, and nothing of the caller's changes.
    void refusedLayouts_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = newProjectFile();
        auto patched = [&](int offset, uint32_t value) {
            QByteArray b = good;
            for (int i = 0; i < 4; ++i)
                b[offset + i] = char(value >> (8 * i));
            return b;
        };
        QTest::newRow("file version 2") << patched(0, 2);
        QTest::newRow("configuration version 3") << patched(8, 3);
        QTest::newRow("configuration version 0") << patched(8, 0);
        QTest::newRow("section version 0") << patched(12 + 1343, 0);
        QTest::newRow("section version 5") << patched(12 + 1343, 5);
        QTest::newRow("configuration cut short") << good.left(12 + 1000);
        QTest::newRow("version 1 configuration cut short") << patched(8, 1).left(12 + 100);
    }

    void refusedLayouts()
    {
        QFETCH(QByteArray, file);
        TDevice_Config_v2 rec = newProjectConfig();
        rec.theme_colour = 0x42;
        THandleList list;
        createDefaultHandles(list);
        QVERIFY(!loadBytes(file, rec, list));
        QCOMPARE(rec.theme_colour, 0x42u);
        QCOMPARE(int(list.size()), 5);
    }

    // Every possible truncation of a file with images: a clear error or a
    // refusal, never a crash, and never a half-read project handed back.
    void everyTruncationFailsCleanly()
    {
        const QByteArray file = projectWithImages();
        for (int len = 0; len < file.size(); ++len) {
            TDevice_Config_v2 rec = newProjectConfig();
            THandleList list;
            bool refused = false;
            try {
                refused = !loadBytes(file.left(len), rec, list);
            } catch (const ProjectFileError& e) {
                QVERIFY(!e.message().isEmpty());
                refused = true;
            }
            QVERIFY2(refused, qPrintable(QString("length %1 was accepted").arg(len)));
            QVERIFY(list.empty());
            QCOMPARE(rec.theme_colour, 0x00FFFFFFu);
        }
        TDevice_Config_v2 rec;
        THandleList list;
        QVERIFY(loadBytes(file, rec, list));
    }

    // Random damage anywhere in a file: whatever the reader decides, it must
    // decide it without crashing, and a refusal must leave the caller's list alone.
    void randomDamageNeverCrashes()
    {
        const QByteArray file = projectWithImages();
        QRandomGenerator rng(20261210);
        for (int round = 0; round < 3000; ++round) {
            QByteArray damaged = file;
            const int hits = 1 + int(rng.bounded(4));
            for (int i = 0; i < hits; ++i)
                damaged[int(rng.bounded(damaged.size()))] = char(rng.bounded(256));
            TDevice_Config_v2 rec = newProjectConfig();
            THandleList list;
            bool ok = false;
            try {
                ok = loadBytes(damaged, rec, list);
            } catch (const ProjectFileError&) {
            }
            QCOMPARE(list.empty(), !ok);
        }
    }

    void absurdLengthsAreReadErrors_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("messagePart");
        const TDevice_Config_v2 rec = newProjectConfig();
        {
            FileBuilder b;
            b.header(2, &rec, 1343, 4, 5);
            b.u32(1);
            b.u32(0xFFFFFFFF);
            b.bytes.append(400, 'x');
            QTest::newRow("handle name length") << b.bytes << "handle name";
        }
        {
            FileBuilder b;
            b.header(2, &rec, 1343, 4, 5);
            b.handle(4, 1, "BACKGROUNDS", 0);
            b.u32(2);
            b.str("LOGOS");
            b.u32(125);
            b.u32(85);
            b.u8(1);
            b.u8(0);
            b.u32(6);
            b.u32(0);
            b.u32(0);
            b.u8(1);
            b.u32(0);
            b.u32(0);
            b.u32(0x7FFFFFFF);
            b.bytes.append(200, '\0');
            QTest::newRow("image count") << b.bytes << "image count";
        }
        {
            FileBuilder b;
            b.header(2, &rec, 1343, 4, 5);
            b.handle(4, 1, "BACKGROUNDS", 1);
            b.bytes.chop(4 + 3); // drop the last cell's data length and data...
            b.u32(0xFFFFFFF0);   // ...and claim nearly 4 GiB instead
            b.bytes.append(300, '\0');
            QTest::newRow("image data length") << b.bytes << "image data";
        }
        {
            FileBuilder b;
            b.header(2, &rec, 1343, 4, 3);
            for (int i = 0; i < 3; ++i)
                b.handle(4, uint32_t(i + 1), "H", 0);
            QTest::newRow("three handles") << b.bytes << "3 image groups";
        }
        // Group sizes no display has: every size computed from them (row
        // bytes, pictures decoded for the group) would be out of range.
        const QByteArray plain = newProjectFile();
        auto sized = [&](int offset, int32_t value) {
            QByteArray f = plain;
            for (int i = 0; i < 4; ++i)
                f[offset + i] = char(uint32_t(value) >> (8 * i));
            return f;
        };
        // Header, then BACKGROUNDS (43 + 11 bytes), then LOGOS; the width
        // follows the id and the name.
        constexpr int backgrounds = 12 + 1343 + 8;
        constexpr int logos = backgrounds + 43 + 11;
        constexpr int backgroundsWidth = backgrounds + 4 + 4 + 11;
        constexpr int logosWidth = logos + 4 + 4 + 5;
        QTest::newRow("group width 0") << sized(logosWidth, 0)
                                       << "image group 2 (LOGOS): a width of 0 pixels is outside 1 to 4096";
        QTest::newRow("group width 4097")
            << sized(backgroundsWidth, 4097) << "image group 1 (BACKGROUNDS): a width of 4097 pixels";
        QTest::newRow("group width whose row size overflows")
            << sized(logosWidth, 0x40000001) << "a width of 1073741825 pixels is outside 1 to 4096";
        QTest::newRow("negative group height") << sized(logosWidth + 4, -1) << "LOGOS): a height of -1 pixels";
    }

    void groupSizesAtTheLimitsAreRead()
    {
        THandleList list;
        createDefaultHandles(list);
        list[kLogosIdx]->width = 4096;
        list[kLogosIdx]->height = 1;
        list[kBackgroundsIdx]->width = 1;
        list[kBackgroundsIdx]->height = 4096;
        QTemporaryDir dir;
        const TDevice_Config_v2 rec = newProjectConfig();
        Save_Project_File(dir.filePath("p.cvp"), rec, list);
        TDevice_Config_v2 back;
        THandleList read;
        QVERIFY(Load_Project_File(dir.filePath("p.cvp"), back, read));
        QCOMPARE(read[kLogosIdx]->width, 4096);
        QCOMPARE(read[kBackgroundsIdx]->height, 4096);
    }

    void absurdLengthsAreReadErrors()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, messagePart);
        TDevice_Config_v2 rec = newProjectConfig();
        THandleList list;
        try {
            loadBytes(file, rec, list);
            QFAIL("a damaged file was accepted");
        } catch (const ProjectFileError& e) {
            QVERIFY2(e.message().contains(messagePart), qPrintable(e.message()));
        }
        QVERIFY(list.empty());
    }

    void fileErrorsNameTheFile()
    {
        QTemporaryDir dir;
        TDevice_Config_v2 rec = newProjectConfig();
        THandleList list;
        createDefaultHandles(list);
        QVERIFY_THROWS_EXCEPTION(ProjectFileError, Save_Project_File(dir.filePath("missing/folder/p.cvp"), rec, list));
        try {
            THandleList back;
            Load_Project_File(dir.filePath("nothing.cvp"), rec, back);
            QFAIL("opening a missing file succeeded");
        } catch (const ProjectFileError& e) {
            QVERIFY(e.message().contains("nothing.cvp"));
        }
        // A device has no end: reading it must be refused, not fill memory.
        if (QFileInfo::exists("/dev/zero")) {
            THandleList back;
            QVERIFY_THROWS_EXCEPTION(ProjectFileError, Load_Project_File("/dev/zero", rec, back));
            QVERIFY(back.empty());
        }
    }

    void saveReplacesTheOldFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.cvp");
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray(100000, 'z')); // longer than the new file
        }
        TDevice_Config_v2 rec = newProjectConfig();
        THandleList list;
        createDefaultHandles(list);
        Save_Project_File(path, rec, list);
        QCOMPARE(QFileInfo(path).size(), qint64(1634));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.cvp"}); // no temporary left behind
    }
};

QTEST_GUILESS_MAIN(TestProjectFile)
#include "test_project_file.moc"
