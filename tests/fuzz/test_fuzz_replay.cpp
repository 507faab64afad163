// The fuzz targets on their seed corpus and on every input the fuzzers found
// that crashed them or took seconds: each must now end with a clear result.

#include "FuzzTargets.h"

#include <QDir>
#include <QGuiApplication>
#include <QtTest>

#include <functional>

namespace {

using Target = std::function<QString(const uint8_t*, size_t)>;

Target targetNamed(const QString& name)
{
    if (name == "project")
        return fuzzProjectFile;
    if (name == "picture")
        return fuzzPicture;
    if (name == "reply")
        return fuzzReply;
    if (name == "frames")
        return fuzzFrames;
    if (name == "commissioning-log")
        return fuzzCommissioningLog;
    if (name == "site-sheet")
        return fuzzSiteSheet;
    return fuzzConfiguration;
}

QString run(const QString& target, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return targetNamed(target)(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

} // namespace

class TestFuzzReplay : public QObject {
    Q_OBJECT
private slots:
    void seedsAreAccepted_data();
    void seedsAreAccepted();
    void findingsAreRefusedClearly_data();
    void findingsAreRefusedClearly();
};

void TestFuzzReplay::seedsAreAccepted_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(FUZZ_DATA "/corpus"));
    for (const QString& target : corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QFileInfo& f : QDir(corpus.filePath(target)).entryInfoList(QDir::Files))
            QTest::addRow("%s/%s", qPrintable(target), qPrintable(f.fileName())) << target << f.filePath();
}

// The seeds are good inputs: a fuzz build that refuses them would explore
// nothing behind the first check.
void TestFuzzReplay::seedsAreAccepted()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    const QString outcome = run(target, path);
    QVERIFY2(!outcome.isEmpty(), qPrintable(path));
    if (target != "reply" && target != "frames")
        QVERIFY2(!outcome.contains("refused"), qPrintable(outcome));
}

void TestFuzzReplay::findingsAreRefusedClearly_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");

    // Tiny BMP files declaring tens of millions of pixels (Qt returns a
    // full-size picture when the pixel data are missing): refused from the
    // header, for a preview and for import, with both sizes named.
    const struct {
        const char* file;
        const char* size;
    } pictures[] = {
        {"bmp-32784x272-106-bytes.bmp", "32784 x 272"},
        {"bmp-6000x5000-55-bytes.bmp", "6000 x 5000"},
        {"bmp-5800x5000-palette-363-bytes.bmp", "5800 x 5000"},
        {"bmp-5000x-6600-top-down.bmp", "5000 x 6600"},
    };
    for (const auto& p : pictures)
        QTest::newRow(p.file) << "picture" << p.file
                              << QStringList{QStringLiteral("preview refused: The picture is %1").arg(p.size),
                                             "a preview takes at most 4194304 pixels",
                                             QStringLiteral("import refused: The picture is %1").arg(p.size),
                                             "no image group takes pictures larger than 480 x 272 pixels"};

    // The same picture stored in a project: the block build refuses it
    // before decoding, naming the image and the group's size.
    QTest::newRow("project holding the 106-byte BMP")
        << "project"
        << "bmp-32784x272-in-logos.cvp"
        << QStringList{"block refused", "HUGE", "32784 x 272", "the group LOGOS takes 125 x 85"};
    // A width whose row size overflowed 32 bits, and a negative height: a
    // read error naming the group.
    QTest::newRow("width beyond the sane range")
        << "project"
        << "width-overflows-row-bytes.cvp"
        << QStringList{"refused", "image group 2 (LOGOS)", "width of 1073741825 pixels is outside 1 to 4096"};
    // A read request whose trailing bytes the line cut short: taken as it
    // is when the line goes quiet (the target's own checks abort otherwise).
    QTest::newRow("read request cut short by a quiet line")
        << "frames"
        << "read-request-cut-short-by-quiet" << QStringList{"0 frames, 0 refused headers, 0 cut short"};
    // Numbers no record holds, in a log line: the line is skipped with the
    // field named, rather than converted with undefined results.
    QTest::newRow("log numbers beyond range")
        << "commissioning-log"
        << "seconds-and-bytes-beyond-range.jsonl" << QStringList{"0 records, 2 malformed lines"};
    // A problem quoting a cell that holds line breaks (a service text with a
    // bad value): the problem stays on one line.
    QTest::newRow("site sheet problem quoting a multi-line cell")
        << "site-sheet"
        << "cell-with-line-breaks-in-a-problem.csv" << QStringList{"refused: 23 problems"};
    QTest::newRow("negative height") << "project"
                                     << "negative-height.cvp"
                                     << QStringList{"refused", "image group 4 (BG_THUMBNAILS)",
                                                    "height of -51 pixels is outside 1 to 4096"};
}

void TestFuzzReplay::findingsAreRefusedClearly()
{
    QFETCH(QString, target);
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    const QString outcome = run(target, QStringLiteral(FUZZ_DATA "/findings/%1/%2").arg(target, file));
    for (const QString& part : expected)
        QVERIFY2(outcome.contains(part), qPrintable(QStringLiteral("%1 not in: %2").arg(part, outcome)));
    QVERIFY2(!outcome.contains('\n'), qPrintable(outcome));
}

int main(int argc, char** argv)
{
    // The GIF codec is a plugin; a GUI application makes Qt find it.
    QGuiApplication app(argc, argv);
    fuzzQuietQtMessages();
    TestFuzzReplay test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_fuzz_replay.moc"
