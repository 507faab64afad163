#include "ProjectFixtures.h"
#include "test_imaging.h"

#include "TestPictures.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"

#include <QBuffer>
#include <QtTest>

#include <cstring>
#include <zlib.h>

namespace {

constexpr uint32_t kBase = kImageStoreBase;

TCell_object& addImage(THandle_object& h, const QString& name, uint32_t seed)
{
    return addFixtureImage(h, name, testPicture(h.width, h.height, h.compress_images, seed));
}

THandleList defaultProject()
{
    THandleList list;
    createDefaultHandles(list);
    return list;
}

template <typename Rec> Rec recordAt(const QByteArray& block, qsizetype offset)
{
    Rec rec;
    std::memcpy(&rec, block.constData() + offset, sizeof rec);
    return rec;
}

QByteArray build(const THandleList& list, TImageBlockLayout* layout = nullptr)
{
    QByteArray block;
    Build_Image_Data(block, list, layout);
    return block;
}

// The image data at an offset record, as the controller finds it.
QByteArray dataOf(const QByteArray& block, const TDataOffset_Rec& rec)
{
    return block.mid(qsizetype(rec.pos - kBase), qsizetype(rec.size));
}

QByteArray inflate(const QByteArray& z, qsizetype expected)
{
    QByteArray out(expected, Qt::Uninitialized);
    uLongf length = uLongf(expected);
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(z.constData()),
                   uLong(z.size()))
        != Z_OK)
        return {};
    out.resize(qsizetype(length));
    return out;
}

} // namespace

void TestImageDataBlock::twoLogosAndTwoThumbnails()
{
    THandleList list = defaultProject();
    TCell_object& logoA = addImage(*list[kLogosIdx], "SUN", 1);
    addImage(*list[kLogosIdx], "MOON", 2);
    addImage(*list[kLogoThumbnailsIdx], "SUN", 3);
    addImage(*list[kLogoThumbnailsIdx], "MOON", 4);

    const QByteArray block = build(list);
    QVERIFY(block.size() > 172);

    struct Expect {
        int kind, format, width, height, rowBytes;
        uint32_t firstOffset;
        int count;
    };
    const Expect expect[5] = {
        {1, 7, 480, 272, 960, kBase + 140, 0}, // BACKGROUNDS (JPEG)
        {0, 6, 125, 85, 250, kBase + 140, 2},  // LOGOS
        {1, 7, 480, 272, 960, kBase + 156, 0}, // INFO_SCREENS
        {1, 7, 90, 51, 180, kBase + 156, 0},   // BG_THUMBNAILS
        {0, 6, 90, 61, 180, kBase + 156, 2},   // LOGO_THUMBNAILS
    };
    for (int i = 0; i < 5; ++i) {
        const QByteArray raw = block.mid(28 * i, 28);
        const auto h = recordAt<THandleHeader_Rec>(block, 28 * i);
        QCOMPARE(int(h.storageKind), expect[i].kind);
        QCOMPARE(int(h.pixelFormat), expect[i].format);
        QCOMPARE(int(h.width), expect[i].width);
        QCOMPARE(int(h.height), expect[i].height);
        QCOMPARE(int(h.rowBytes), expect[i].rowBytes);
        QCOMPARE(h.first_offset_address, expect[i].firstOffset);
        QCOMPARE(int(h.imageCount), expect[i].count);
        // Byte by byte, so the record layout itself is checked too.
        QCOMPARE(uint8_t(raw[16]), uint8_t(expect[i].firstOffset & 0xFF));
        QCOMPARE(uint8_t(raw[18]), uint8_t(0x08));
        QCOMPARE(uint8_t(raw[24]), uint8_t(expect[i].count));
        for (int pad : {1, 3, 10, 11, 12, 13, 14, 15, 20, 21, 22, 23, 25, 26, 27})
            QCOMPARE(uint8_t(raw[pad]), uint8_t(0));
    }

    uint32_t expectedPos = kBase + 172;
    const THandle_object* owners[4] = {list[kLogosIdx].get(), list[kLogosIdx].get(), list[kLogoThumbnailsIdx].get(),
                                       list[kLogoThumbnailsIdx].get()};
    for (int i = 0; i < 4; ++i) {
        const auto rec = recordAt<TDataOffset_Rec>(block, 140 + 8 * i);
        QCOMPARE(rec.pos, expectedPos);
        const TCell_object& cell = *owners[i]->cells[size_t(i % 2)];
        QCOMPARE(int(rec.size), Cell_Storage_Size(cell));
        // The stored bytes are the zlib stream of exactly this image's packing.
        DeviceImageEncoder enc;
        enc.Convert_Bitmap(cell.dithering, cell.fmxbmp, 6, false);
        enc.Pack_Image_Data(cell.width, cell.height, 6);
        const QByteArray packed(reinterpret_cast<const char*>(enc.packedData().data()),
                                qsizetype(enc.packedData().size()));
        QCOMPARE(inflate(dataOf(block, rec), packed.size()), packed);
        expectedPos += rec.size;
    }
    QCOMPARE(qsizetype(expectedPos - kBase), block.size());
    Q_UNUSED(logoA);
}

// An excluded image or handle must not leave a header, a record, a gap or a
// shifted address: the block equals the block of a project without them.
void TestImageDataBlock::excludedItemsLeaveNoTrace()
{
    THandleList withExcluded = defaultProject();
    THandleList without = defaultProject();
    for (THandleList* list : {&withExcluded, &without}) {
        addImage(*(*list)[kLogosIdx], "A", 1);
        addImage(*(*list)[kLogoThumbnailsIdx], "A", 11);
    }
    addImage(*withExcluded[kLogosIdx], "B", 2).included = false;
    addImage(*withExcluded[kLogoThumbnailsIdx], "B", 12).included = false;
    for (THandleList* list : {&withExcluded, &without}) {
        addImage(*(*list)[kLogosIdx], "C", 3);
        addImage(*(*list)[kLogoThumbnailsIdx], "C", 13);
    }
    addImage(*withExcluded[kBgThumbnailsIdx], "X", 20);
    withExcluded[kBgThumbnailsIdx]->included = false;
    withExcluded[kInfoScreensIdx]->included = false;
    without.erase(without.begin() + kBgThumbnailsIdx);
    without.erase(without.begin() + kInfoScreensIdx);

    TImageBlockLayout layout;
    const QByteArray block = build(withExcluded, &layout);
    QCOMPARE(block, build(without));
    QCOMPARE(layout.handles.size(), size_t(3));
    QCOMPARE(layout.handles[1].images.size(), size_t(2));
    QCOMPARE(layout.handles[1].images[1].name, QStringLiteral("C"));
    const auto& a = layout.handles[1].images[0].offset;
    QCOMPARE(layout.handles[1].images[1].offset.pos, a.pos + a.size);
    QCOMPARE(layout.dataAddress, kBase + 3 * 28 + 4 * 8);
}

void TestImageDataBlock::emptyBlock()
{
    THandleList list = defaultProject();
    addImage(*list[kLogosIdx], "A", 1);
    for (auto& h : list)
        h->included = false;
    QByteArray stream("before");
    Build_Image_Data(stream, list);
    QCOMPARE(stream, QByteArray("before"));

    // Included handles without images: headers only, all pointing at the data.
    THandleList bare = defaultProject();
    const QByteArray headersOnly = build(bare);
    QCOMPARE(headersOnly.size(), 140);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(recordAt<THandleHeader_Rec>(headersOnly, 28 * i).first_offset_address, kBase + 140);
}

void TestImageDataBlock::jpegHandles()
{
    THandleList list = defaultProject();
    TCell_object& bg = addImage(*list[kBackgroundsIdx], "SKY", 5);
    list[kInfoScreensIdx]->jpg_display_format = 2;
    list[kInfoScreensIdx]->display_filter = 0x103; // only the low byte is sent
    addImage(*list[kInfoScreensIdx], "INFO", 6);

    TImageBlockLayout layout;
    const QByteArray block = build(list, &layout);
    const auto info = recordAt<THandleHeader_Rec>(block, 28 * 2);
    QCOMPARE(int(info.storageKind), 1);
    QCOMPARE(int(info.jpg_display_format), 2);
    QCOMPARE(int(info.pixelFormat), 3);
    QCOMPARE(int(info.rowBytes), 480);
    QCOMPARE(int(info.display_filter), 3);

    const QByteArray jpeg = dataOf(block, layout.handles[0].images[0].offset);
    QVERIFY(jpeg.startsWith("\xFF\xD8"));
    QVERIFY(jpeg.endsWith("\xFF\xD9"));
    QString error;
    const QImage decoded = Load_Bitmap_From_Stream(jpeg, &error);
    QVERIFY2(!decoded.isNull(), qPrintable(error));
    QCOMPARE(decoded.size(), QSize(480, 272));
    // Quality 90: close to the source everywhere.
    const QRgb a = bg.fmxbmp.pixel(240, 136), b = decoded.pixel(240, 136);
    QVERIFY(std::abs(qGreen(a) - qGreen(b)) < 40);
}

void TestImageDataBlock::storedSizeEqualsUploadedSize()
{
    THandleList list = defaultProject();
    for (int i = 0; i < 3; ++i) {
        addImage(*list[kBackgroundsIdx], QString::number(i), 30 + i);
        addImage(*list[kLogosIdx], QString::number(i), 40 + i).dithering = {1.1 + i, 3};
    }
    std::vector<int> sizes;
    for (int idx : {kBackgroundsIdx, kLogosIdx})
        for (const auto& c : list[size_t(idx)]->cells)
            sizes.push_back(Cell_Storage_Size(*c));
    TImageBlockLayout layout;
    const QByteArray block = build(list, &layout);
    std::vector<int> uploaded;
    for (const auto& h : layout.handles)
        for (const auto& img : h.images)
            uploaded.push_back(int(img.offset.size));
    QCOMPARE(uploaded, sizes);
    QCOMPARE(build(list), block); // and again: the same bytes
}

void TestImageDataBlock::cellsReadFromFileAreDecoded()
{
    THandleList list = defaultProject();
    TCell_object& logo = addImage(*list[kLogosIdx], "A", 1);
    addImage(*list[kBackgroundsIdx], "B", 2);
    const QByteArray fromBitmaps = build(list);
    for (int idx : {kBackgroundsIdx, kLogosIdx}) {
        TCell_object& c = *list[size_t(idx)]->cells[0];
        QBuffer png(&c.imgFileData);
        png.open(QIODevice::WriteOnly);
        QVERIFY(c.fmxbmp.save(&png, "PNG"));
        c.fmxbmp = QImage();
        c.bmp = QImage();
    }
    QCOMPARE(build(list), fromBitmaps);
    QCOMPARE(Cell_Storage_Size(logo), int(recordAt<TDataOffset_Rec>(fromBitmaps, 140 + 8).size));
}

void TestImageDataBlock::badProjectsAreRefusedWhole_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("named");
    QTest::newRow("unknown pixel format") << 0 << "LOGOS";
    QTest::newRow("image without picture") << 1 << "BROKEN";
    QTest::newRow("undecodable stored picture") << 2 << "BROKEN";
    QTest::newRow("image of the wrong size") << 3 << "BROKEN";
    QTest::newRow("JPEG encoder refuses the picture") << 4 << "BROKEN";
    QTest::newRow("width beyond its 16-bit field") << 5 << "LOGOS has a width of 70000";
    QTest::newRow("negative height") << 6 << "LOGOS has a height of -1";
    QTest::newRow("row size beyond its 16-bit field") << 7 << "LOGOS has a row size of 80000";
}

void TestImageDataBlock::badProjectsAreRefusedWhole()
{
    QFETCH(int, fault);
    QFETCH(QString, named);
    THandleList list = defaultProject();
    addImage(*list[kBackgroundsIdx], "FINE", 1);
    TCell_object& cell = addImage(*list[kLogosIdx], "BROKEN", 2);
    switch (fault) {
    case 0: list[kLogosIdx]->compression_format = 9; break;
    case 1: cell.fmxbmp = QImage(); break;
    case 2:
        cell.fmxbmp = QImage();
        cell.imgFileData = QByteArray("\x89PNG\r\n\x1a\nnot really", 18);
        break;
    case 3: cell.fmxbmp = cell.fmxbmp.copy(0, 0, 120, 85); break;
    case 4:
        // Wider than any JPEG can be, yet within the header's 16-bit
        // fields (a grey JPEG display counts one byte per pixel).
        list[kLogosIdx]->compress_images = false;
        list[kLogosIdx]->jpg_display_format = 1;
        list[kLogosIdx]->width = 65535;
        list[kLogosIdx]->height = 1;
        cell.fmxbmp = testPicture(65535, 1, false, 3);
        break;
    case 5: list[kLogosIdx]->width = 70000; break;
    case 6: list[kLogosIdx]->height = -1; break;
    case 7:
        // 40000 pixels fit the width field, their 80000-byte rows do not.
        list[kLogosIdx]->compression_format = 0;
        list[kLogosIdx]->width = 40000;
        break;
    }
    QByteArray stream("untouched");
    try {
        Build_Image_Data(stream, list);
        QFAIL("the block was built");
    } catch (const ImagingError& e) {
        QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        if (fault == 0)
            QVERIFY2(e.message().contains("9"), qPrintable(e.message()));
    }
    QCOMPARE(stream, QByteArray("untouched"));

    // Excluded, the same handle or image is no obstacle.
    if (fault == 0 || fault >= 5)
        list[kLogosIdx]->included = false;
    else
        cell.included = false;
    Build_Image_Data(stream, list);
    QVERIFY(stream.size() > 9);
}

// The stored size of an image in a group with an unknown pixel format is
// refused with the group and the code named, as the block build does; a
// JPEG group never uses the code.
void TestImageDataBlock::storageSizeNamesUnknownFormat()
{
    THandleList list = defaultProject();
    TCell_object& logo = addImage(*list[kLogosIdx], "SUN", 1);
    list[kLogosIdx]->compression_format = 12;
    try {
        Cell_Storage_Size(logo);
        QFAIL("a size was given");
    } catch (const ImagingError& e) {
        QVERIFY2(e.message().contains("LOGOS") && e.message().contains("12"), qPrintable(e.message()));
    }
    list[kLogosIdx]->compress_images = false;
    QVERIFY(Cell_Storage_Size(logo) > 0);
}

// A project whose stored sizes are stale (or were never checked) can hold
// more than the controller's image store: the block is refused whole, before
// any byte reaches the caller, naming both sizes and the largest groups.
void TestImageDataBlock::blockLargerThanTheStoreIsRefused()
{
    THandleList list = defaultProject();
    const QImage noisy = testPicture(480, 272, false, 5);
    const TDithering_Params params = Default_Dithering(7);
    const qint64 oneImage = Estimate_Storage_Size(noisy, params, false, 7);
    const int count = int(kImageStoreBytes / oneImage) + 1;
    for (int i = 0; i < count; ++i) {
        THandle_object& h = *list[i % 3 == 2 ? kInfoScreensIdx : kBackgroundsIdx];
        addFixtureImage(h, QStringLiteral("IMG%1").arg(i), noisy).dithering = params;
    }
    auto blockSize = [&](int images) { return 28 * 5 + 8 * images + images * oneImage; };

    QByteArray stream("untouched");
    try {
        Build_Image_Data(stream, list);
        QFAIL("a block larger than the store was built");
    } catch (const ImagingError& e) {
        const QString m = e.message();
        QVERIFY2(m.contains(QStringLiteral("would be %1 bytes").arg(blockSize(count))), qPrintable(m));
        QVERIFY2(m.contains("image store holds 3657728 bytes"), qPrintable(m));
        QVERIFY2(m.indexOf("BACKGROUNDS") >= 0 && m.indexOf("BACKGROUNDS") < m.indexOf("INFO_SCREENS"), qPrintable(m));
        QVERIFY(!m.contains('\n'));
    }
    QCOMPARE(stream, QByteArray("untouched"));

    // Without the images that do not fit, the same project is built.
    int images = count;
    while (blockSize(images) > kImageStoreBytes) {
        list[kBackgroundsIdx]->cells.pop_back();
        --images;
    }
    stream.clear();
    Build_Image_Data(stream, list);
    QCOMPARE(qint64(stream.size()), blockSize(images));
}

// The block's images are stored on several threads at once; the block must be
// byte for byte the one a single encoder builds image after image, whatever
// the formats, the JPEG groups, the excluded images and the noise settings
// that each encoder keeps state for.
void TestImageDataBlock::parallelBlockEqualsOneEncoderBlock()
{
    THandleList list = defaultProject();
    list[kInfoScreensIdx]->compress_images = false;
    const int formats[] = {1, 17, 2, 3, 4, 5, 6, 0, 7};
    uint32_t seed = 1;
    for (int i = 0; i < 16; ++i) {
        for (int h : {kBackgroundsIdx, kLogosIdx, kInfoScreensIdx, kBgThumbnailsIdx, kLogoThumbnailsIdx}) {
            TCell_object& cell = addImage(*list[size_t(h)], QStringLiteral("IMG%1").arg(i), seed++);
            // Each image with its own dithering, so an encoder that kept one
            // image's noise for the next would show.
            cell.dithering = Default_Dithering(formats[i % 9]);
            cell.dithering.random_stdev = 0.5 + (i % 4);
            cell.included = i % 7 != 3;
        }
    }
    list[kLogosIdx]->compression_format = 6;
    list[kBgThumbnailsIdx]->compression_format = 3;

    QByteArray serial("head");
    TImageBlockLayout serialLayout;
    DeviceImageEncoder encoder;
    Build_Image_Data(serial, list, encoder, &serialLayout);
    for (int run = 0; run < 3; ++run) {
        QByteArray parallel("head");
        TImageBlockLayout parallelLayout;
        Build_Image_Data(parallel, list, &parallelLayout);
        QCOMPARE(parallel.size(), serial.size());
        QVERIFY(parallel == serial);
        QCOMPARE(parallelLayout.blockSize, serialLayout.blockSize);
        QCOMPARE(parallelLayout.handles.size(), serialLayout.handles.size());
        for (size_t h = 0; h < serialLayout.handles.size(); ++h) {
            QCOMPARE(parallelLayout.handles[h].images.size(), serialLayout.handles[h].images.size());
            for (size_t i = 0; i < serialLayout.handles[h].images.size(); ++i) {
                QCOMPARE(parallelLayout.handles[h].images[i].name, serialLayout.handles[h].images[i].name);
                QCOMPARE(parallelLayout.handles[h].images[i].offset.pos, serialLayout.handles[h].images[i].offset.pos);
                QCOMPARE(parallelLayout.handles[h].images[i].offset.size,
                         serialLayout.handles[h].images[i].offset.size);
            }
        }
    }
}

// With several images that cannot be stored, the one reported is the first in
// block order, however the work was spread; the stream is left as it was.
void TestImageDataBlock::firstFaultInBlockOrderIsReported()
{
    THandleList list = defaultProject();
    for (int i = 0; i < 12; ++i) {
        addImage(*list[kBackgroundsIdx], QStringLiteral("BG%1").arg(i), uint32_t(10 + i));
        addImage(*list[kLogosIdx], QStringLiteral("LOGO%1").arg(i), uint32_t(40 + i));
    }
    list[kBackgroundsIdx]->cells[9]->fmxbmp = QImage();
    list[kLogosIdx]->cells[2]->fmxbmp = list[kLogosIdx]->cells[2]->fmxbmp.copy(0, 0, 10, 10);
    list[kLogosIdx]->cells[0]->fmxbmp = QImage();
    for (int run = 0; run < 3; ++run) {
        QByteArray stream("untouched");
        try {
            Build_Image_Data(stream, list);
            QFAIL("the block was built");
        } catch (const ImagingError& e) {
            QVERIFY2(e.message().contains("BG9"), qPrintable(e.message()));
        }
        QCOMPARE(stream, QByteArray("untouched"));
    }
    list[kBackgroundsIdx]->cells[9]->included = false;
    QByteArray stream;
    try {
        Build_Image_Data(stream, list);
        QFAIL("the block was built");
    } catch (const ImagingError& e) {
        QVERIFY2(e.message().contains("LOGO0"), qPrintable(e.message()));
    }
}
