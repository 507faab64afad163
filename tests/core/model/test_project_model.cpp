#include "test_model.h"

#include "core/model/ProjectModel.h"

#include <QtTest>

#include <climits>

void TestProjectModel::defaultHandles()
{
    THandleList list;
    createDefaultHandles(list);
    QCOMPARE(int(list.size()), 5);
    const struct {
        int id;
        const char* name;
        int w, h;
        bool compress;
        int format;
    } expected[] = {
        {1, "BACKGROUNDS", 480, 272, false, 7},  {2, "LOGOS", 125, 85, true, 6},
        {3, "INFO_SCREENS", 480, 272, false, 7}, {4, "BG_THUMBNAILS", 90, 51, false, 7},
        {5, "LOGO_THUMBNAILS", 90, 61, true, 6},
    };
    for (int i = 0; i < 5; ++i) {
        const THandle_object& h = *list[i];
        QCOMPARE(h.id, expected[i].id);
        QCOMPARE(h.name, QString(expected[i].name));
        QCOMPARE(h.width, expected[i].w);
        QCOMPARE(h.height, expected[i].h);
        QCOMPARE(h.compress_images, expected[i].compress);
        QCOMPARE(h.raw_jpg_enabled, !expected[i].compress);
        QCOMPARE(h.compression_format, expected[i].format);
        QVERIFY(h.included);
        QCOMPARE(h.bg_colour, 0u);
        QCOMPARE(h.memory_usage, 0);
        QVERIFY(h.cells.empty());
    }
    QCOMPARE(projectStorageFree(list), int64_t(3657728));
}

void TestProjectModel::imageRowBytes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("compress");
    QTest::addColumn<int>("jpgDisplay");
    QTest::addColumn<qint64>("bytes");
    QTest::newRow("format 1 width 9") << 1 << 9 << true << 0 << qint64(2);
    QTest::newRow("format 17 width 5") << 17 << 5 << true << 0 << qint64(2);
    QTest::newRow("format 2 width 3") << 2 << 3 << true << 0 << qint64(2);
    QTest::newRow("format 0") << 0 << 7 << true << 0 << qint64(14);
    QTest::newRow("format 3 one per pixel") << 3 << 7 << true << 0 << qint64(7);
    QTest::newRow("format 18 like any other") << 18 << 7 << true << 0 << qint64(7);
    QTest::newRow("backgrounds: JPEG as format 7") << 7 << 480 << false << 0 << qint64(960);
    QTest::newRow("JPEG display format set") << 7 << 480 << false << 1 << qint64(480);
    QTest::newRow("logos") << 6 << 125 << true << 0 << qint64(250);
    QTest::newRow("logo thumbnails") << 6 << 90 << true << 0 << qint64(180);
    // Widths a damaged file could hold once gave a signed overflow (2 x width).
    QTest::newRow("format 0 widest int") << 0 << INT_MAX << true << 0 << qint64(2) * INT_MAX;
    QTest::newRow("format 1 widest int") << 1 << INT_MAX << true << 0 << qint64(268435456);
    QTest::newRow("JPEG widest int") << 6 << INT_MAX << false << 0 << qint64(2) * INT_MAX;
    QTest::newRow("code that is no format") << 12 << 90 << true << 0 << qint64(90);
    QTest::newRow("no width") << 7 << 0 << true << 0 << qint64(0);
    QTest::newRow("negative width") << 7 << -5 << true << 0 << qint64(0);
}

void TestProjectModel::imageRowBytes()
{
    QFETCH(int, format);
    QFETCH(int, width);
    QFETCH(bool, compress);
    QFETCH(int, jpgDisplay);
    QFETCH(qint64, bytes);
    QCOMPARE(Image_Row_Bytes(format, width, compress, jpgDisplay), bytes);
}

void TestProjectModel::storageCountsOnlyIncludedCells()
{
    THandleList list;
    createDefaultHandles(list);
    THandle_object& logos = *list[kLogosIdx];
    for (int size : {1000, 2000, 4000}) {
        auto c = std::make_unique<TCell_object>();
        c->imageSize = size;
        logos.appendCell(std::move(c));
    }
    logos.cells[1]->included = false;
    QCOMPARE(Handle_Storage_Bytes(logos), int64_t(5000));
    QCOMPARE(Handle_Pixel_Bytes(logos), int64_t(2 * 250 * 85));
    logos.memory_usage = int32_t(Handle_Storage_Bytes(logos));
    QCOMPARE(projectStorageUsed(list), int64_t(5000));
    QCOMPARE(projectStorageFree(list), int64_t(3657728 - 5000));
    QCOMPARE(thumbnailHandleIndex(kBackgroundsIdx), int(kBgThumbnailsIdx));
    QCOMPARE(thumbnailHandleIndex(kInfoScreensIdx), -1);
}

// A cell handed to a handle points back at it, and a clone is a separate
// project part: every setting copied, every image owned by the copy, so a
// worker reading the clone never follows a pointer into the live project.
void TestProjectModel::appendedCellsAndClonesBelongToTheirHandle()
{
    THandleList list;
    createDefaultHandles(list);
    THandle_object& backgrounds = *list[kBackgroundsIdx];
    backgrounds.compression_format = 6;
    backgrounds.jpg_display_format = 2;
    backgrounds.display_filter = 1;
    backgrounds.memory_usage = 4321;
    backgrounds.included = false;
    backgrounds.bg_colour = 0x123456;
    backgrounds.raw_jpg_enabled = true;
    for (const char* name : {"A", "B"}) {
        auto c = std::make_unique<TCell_object>();
        c->name = QString::fromLatin1(name);
        c->handle_id = 99; // whatever it held before, the handle decides
        c->imgFileData = QByteArray(name);
        TCell_object& added = backgrounds.appendCell(std::move(c));
        QCOMPARE(added.pHandle, &backgrounds);
        QCOMPARE(added.handle_id, backgrounds.id);
    }

    const std::unique_ptr<THandle_object> copy = backgrounds.clone();
    QVERIFY(static_cast<const THandleSettings&>(*copy) == static_cast<const THandleSettings&>(backgrounds));
    QCOMPARE(copy->cells.size(), backgrounds.cells.size());
    for (std::size_t i = 0; i < copy->cells.size(); ++i) {
        QVERIFY(copy->cells[i].get() != backgrounds.cells[i].get());
        QCOMPARE(copy->cells[i]->pHandle, copy.get());
        QCOMPARE(copy->cells[i]->name, backgrounds.cells[i]->name);
        QCOMPARE(copy->cells[i]->imgFileData, backgrounds.cells[i]->imgFileData);
    }
    copy->cells[0]->name = QStringLiteral("changed");
    copy->name = QStringLiteral("changed");
    QCOMPARE(backgrounds.cells[0]->name, QStringLiteral("A"));
    QVERIFY(backgrounds.name != copy->name);
}
