// The window's own uploads on record in a commissioning log, and Help >
// "Commissioning Log..." showing it: sorted, filtered, exported.
#include "EventWait.h"
#include "UiTestFixtures.h"

#include "IsolatedSettings.h"
#include "SimFixtures.h"
#include "core/commissioning/CommissioningLog.h"
#include "core/device/TDeviceOperations.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "ui/app/TCommissioningLogWindow.h"
#include "ui/app/TConfiguratorApplication.h"
#include "ui/device/TUploadDataPage.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kDeadline = 90000;
}

class TestCommissionWindow : public QObject {
    Q_OBJECT
private slots:
    void uploadsAreOnRecordAndShown();
    void failedCheckIsOnRecordAsFailed();
};

void TestCommissionWindow::uploadsAreOnRecordAndShown()
{
    QTemporaryDir dir;
    const auto sim = startVirtualController();
    QVERIFY(sim);
    TFormFixture fx;
    fx.newProject(dir.filePath(QStringLiteral("lobby.cvp")));
    Tbmpgen_Form& form = fx.form();
    form.setExplicitPorts({sim->portName()}, QString());
    form.deviceOperations()->setPortLister([&sim] { return QStringList{sim->portName()}; });
    const QString log = dir.filePath(QStringLiteral("data/commissioning.jsonl"));
    form.setCommissioningLog(log);
    const THandle_object& logos = *form.document().images().at(size_t(kLogosIdx));
    fx.addImage(kLogosIdx, QStringLiteral("SUN"), pngBytes(logos.width, logos.height, qRgb(200, 120, 10)));

    auto upload = [&](bool refused) {
        const int before = int(readCommissioningLog(log).records.size());
        fx.prompter().enqueue(QMessageBox::Yes); // modified and not saved: go on
        if (refused)
            fx.prompter().enqueue(QMessageBox::Ok);
        QTest::mouseClick(form.uploadPage()->upload_data_BitBtn(), Qt::LeftButton);
        CORVANE_TRY_VERIFY(int(readCommissioningLog(log).records.size()) == before + 1, kDeadline);
        CORVANE_TRY_VERIFY(form.uploadPage()->upload_data_BitBtn()->isEnabled(), kDeadline);
    };
    upload(false);
    QVERIFY(!QTest::currentTestFailed());
    // Then a controller whose firmware cannot take data: refused, and on record.
    SimOptions old = sim->options();
    old.fwVersion = 104;
    sim->setOptions(old);
    upload(true);

    const std::vector<TCommissioningRecord> records = readCommissioningLog(log).records;
    QCOMPARE(int(records.size()), 2);
    const TCommissioningRecord& good = records[0];
    QVERIFY(good.ok);
    QCOMPARE(good.port, sim->portName());
    QCOMPARE(good.partNumber.value_or(0), 5813);
    QCOMPARE(good.firmware, QStringLiteral("2.01"));
    QCOMPARE(good.sent, (QStringList{"config", "images"}));
    QByteArray images;
    Build_Image_Data(images, form.document().images());
    QCOMPARE(sim->memory(0x80000, int(images.size())), images);
    QCOMPARE(good.imageBlockSha256,
             QString::fromLatin1(QCryptographicHash::hash(images, QCryptographicHash::Sha256).toHex()));
    QCOMPARE(good.configChecksum.value_or(QByteArray()), sim->memory(2 + 1342, 2));
    QCOMPARE(good.project, form.document().projectPath());
    const TCommissioningRecord& refused = records[1];
    QVERIFY(!refused.ok);
    QCOMPARE(refused.firmware, QStringLiteral("1.04"));
    QVERIFY(refused.sent.isEmpty());
    QVERIFY2(refused.message.startsWith(QStringLiteral("The Corvane R/C will need upgrading")),
             qPrintable(refused.message));

    fx.trigger("commissioning_log_MenuItem");
    TCommissioningLogWindow* window = nullptr;
    QTRY_VERIFY((window = form.findChild<TCommissioningLogWindow*>()) != nullptr);
    auto* view = window->findChild<QTableView*>(QStringLiteral("commissioning_log_View"));
    QVERIFY(view);
    QCOMPARE(view->model()->rowCount(), 2);
    // Newest first, the time in local time as the activity log shows it,
    // and the header's arrow saying so.
    QCOMPARE(view->model()->index(0, 8).data().toString(), QStringLiteral("failed"));
    QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Time"));
    QCOMPARE(view->model()->index(0, 0).data().toString(),
             QLocale::system().toString(refused.time.toLocalTime(), QLocale::ShortFormat));
    QCOMPARE(view->horizontalHeader()->sortIndicatorSection(), 0);
    QCOMPARE(view->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    // The arrow points the way the rows run: a descending order is drawn
    // with the arrow the plain style draws for an ascending one's opposite.
    auto arrow = [view](const QStyle* style, QStyleOptionHeader::SortIndicator indicator) {
        QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionHeader option;
        option.initFrom(view->horizontalHeader());
        option.rect = image.rect();
        option.sortIndicator = indicator;
        option.state = QStyle::State_Enabled
            | (indicator == QStyleOptionHeader::SortUp ? QStyle::State_UpArrow : QStyle::State_DownArrow);
        style->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &option, &painter, view->horizontalHeader());
        return image;
    };
    const QStyle* shown = view->horizontalHeader()->style();
    QVERIFY(shown != QApplication::style());
    QCOMPARE(arrow(shown, QStyleOptionHeader::SortUp), arrow(QApplication::style(), QStyleOptionHeader::SortDown));
    QVERIFY(arrow(QApplication::style(), QStyleOptionHeader::SortUp)
            != arrow(QApplication::style(), QStyleOptionHeader::SortDown));
    view->sortByColumn(8, Qt::DescendingOrder);
    QCOMPARE(view->model()->index(0, 8).data().toString(), QStringLiteral("ok"));
    window->findChild<QLineEdit*>(QStringLiteral("commissioning_filter_Edit"))->setText(QStringLiteral("UPGRADING"));
    QCOMPARE(view->model()->rowCount(), 1);

    const QString csv = dir.filePath(QStringLiteral("shown.csv"));
    window->askCsvName = [&csv](QWidget*) { return csv; };
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("export_csv_Button")), Qt::LeftButton);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].startsWith(QStringLiteral("Time (UTC),Port,Adapter,Part number,Firmware,")));
    QVERIFY(lines[1].contains(QStringLiteral(",5813,1.04,,not run,")));
    // The export keeps the time as recorded, for other programs.
    QVERIFY(lines[1].startsWith(refused.time.toString(Qt::ISODateWithMs) + QLatin1Char(',')));
    window->close();
}

// The window's upload with the read-back check, against a controller that
// spoils every read reply: the configuration did reach it (all writes
// acknowledged), so the record says so, with its checksum, and the check
// failed; it is not "not run", and the attempt is not ok.
void TestCommissionWindow::failedCheckIsOnRecordAsFailed()
{
    QTemporaryDir dir;
    SimOptions spoiling;
    spoiling.corruptReadsAfter = 4; // the identification and the three writes answer well
    const auto sim = startVirtualController(spoiling);
    QVERIFY(sim);
    TFormFixture fx;
    fx.newProject(dir.filePath(QStringLiteral("lobby.cvp")));
    Tbmpgen_Form& form = fx.form();
    form.setExplicitPorts({sim->portName()}, QString());
    form.deviceOperations()->setPortLister([&sim] { return QStringList{sim->portName()}; });
    form.deviceOperations()->setVerifyUpload(true);
    const QString log = dir.filePath(QStringLiteral("commissioning.jsonl"));
    form.setCommissioningLog(log);
    fx.prompter().enqueue(QMessageBox::Yes); // modified and not saved: go on
    QTest::mouseClick(form.uploadPage()->upload_data_BitBtn(), Qt::LeftButton);
    CORVANE_TRY_VERIFY(readCommissioningLog(log).records.size() == 1, kDeadline);
    CORVANE_TRY_VERIFY(form.uploadPage()->upload_data_BitBtn()->isEnabled(), kDeadline);

    const TCommissioningRecord r = readCommissioningLog(log).records.front();
    QVERIFY(!r.ok);
    QCOMPARE(r.verify, TVerifyResult::Failed);
    QCOMPARE(r.sent, QStringList{"config"});
    QCOMPARE(r.configChecksum.value_or(QByteArray()), sim->memory(2 + 1342, 2));
    QVERIFY2(r.message.contains(QStringLiteral("could not be read back")), qPrintable(r.message));
    QCOMPARE(r.port, sim->portName());
    QCOMPARE(r.partNumber.value_or(0), 5813);
    QVERIFY(r.imageBlockSha256.isEmpty());
}

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    const TIsolatedSettings settings;
    TestCommissionWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_commission_window.moc"
