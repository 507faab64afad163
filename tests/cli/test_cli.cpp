// corvane-cli as a script would use it: exit status, stdout and stderr.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run {
    int status;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& args)
{
    QProcess p;
    p.start(CORVANE_CLI, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void newThenInfo()
    {
        QTemporaryDir dir;
        const Run made = cli({"new", dir.filePath("site.txt")});
        QCOMPARE(made.status, 0);
        const QString path = dir.filePath("site.cvp");
        QCOMPARE(made.out.trimmed(), path.toUtf8());
        QCOMPARE(QFileInfo(path).size(), qint64(1634));

        QCOMPARE(cli({"new", path}).status, 1); // never overwrites by accident
        QCOMPARE(cli({"new", path, "--force"}).status, 0);

        const Run info = cli({"info", path, "--json"});
        QCOMPARE(info.status, 0);
        const QJsonObject root = QJsonDocument::fromJson(info.out).object();
        const QJsonObject rec = root["configuration"].toObject();
        QCOMPARE(rec["occupied_setpoint"].toString(), QString::fromUtf8("21.0 °C"));
        QCOMPARE(rec["info_scr_slideshow_stop_min"].toString(), QString("23:59"));
        QCOMPARE(root["handles"].toArray().size(), 5);
        QCOMPARE(root["storage_free"].toInteger(), qint64(3657728));

        const Run text = cli({"info", path});
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.contains("unoccupied_min_temp"));
        QVERIFY(text.out.contains("LOGO_THUMBNAILS"));
    }

    void newTakesTheProjectExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "plain"
                                      << "plain.cvp";
        QTest::newRow("last extension replaced") << "a.b.txt"
                                                 << "a.b.cvp";
        QTest::newRow("trailing dot") << "site."
                                      << "site.cvp";
        QTest::newRow("dot in the folder only") << "dir.x/name"
                                                << "dir.x/name.cvp";
    }

    void newTakesTheProjectExtension()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("dir.x"));
        const Run made = cli({"new", dir.filePath(typed)});
        QCOMPARE(made.status, 0);
        QCOMPARE(QString::fromUtf8(made.out.trimmed()), dir.filePath(written));
        QVERIFY(QFileInfo::exists(dir.filePath(written)));
    }

    void serviceTextLineBreaksPrintVisibly()
    {
        // The record separates the service text's lines with CR; printed raw it
        // would send the terminal's cursor back over the start of the line.
        QTemporaryDir dir;
        const QString path = dir.filePath("svc.cvp");
        QCOMPARE(cli({"new", path}).status, 0);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const qsizetype comma = bytes.indexOf("For servicing,") + 13;
        bytes[comma] = '\r';
        f.seek(0);
        f.write(bytes);
        f.close();

        const Run text = cli({"info", path});
        QCOMPARE(text.status, 0);
        QVERIFY(!text.out.contains('\r'));
        QVERIFY(text.out.contains("For servicing\\r please contact your installer."));
        const Run json = cli({"info", path, "--json"});
        const QJsonObject rec = QJsonDocument::fromJson(json.out).object()["configuration"].toObject();
        QCOMPARE(rec["service_info_text"].toString(), QString("For servicing\r please contact your installer."));
    }

    void unreadableFilesFailWithOneLine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("hello, this is not a project\n");
        QTest::newRow("huge name length") << [] {
            QByteArray b(12 + 1343, '\0');
            b[0] = 1;
            b[8] = 2;
            b += QByteArray("\x04\0\0\0\x05\0\0\0\x01\0\0\0\xff\xff\xff\x7f", 16);
            b += QByteArray(300, 'x');
            return b;
        }();
    }

    void unreadableFilesFailWithOneLine()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.cvp");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const Run r = cli({"info", path});
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.startsWith("corvane-cli: "));
        QCOMPARE(cli({"info", dir.filePath("missing.cvp")}).status, 1);
    }

    void unknownCommandShowsUsage()
    {
        const Run r = cli({"frobnicate"});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains("usage: corvane-cli"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
