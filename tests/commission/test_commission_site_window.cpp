// The commissioning window's site sheet with real widgets and virtual
// controllers: a bad sheet shows its problems and holds Start back, a good
// one names each port's row and gives each controller its own record, and a
// watch says which row comes next.
#include "EventWait.h"
#include "ProjectFixtures.h"
#include "SimFixtures.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/commissioning/TSiteSheet.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "ui/commissioning/TAdapterPoller.h"
#include "ui/commissioning/TCommissionPortTable.h"
#include "ui/commissioning/TCommissionWatchPanel.h"
#include "ui/commissioning/TCommissionWindow.h"
#include "ui/commissioning/TSiteSheetPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
constexpr int kDeadline = 180000;

void Write_File(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}
} // namespace

class TestCommissionSiteWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void badSheetHoldsStartGoodSheetSendsEachRow();
    void watchNamesTheNextRow();

private:
    // The project's record with the sheet's row for the controller.
    QByteArray expected(const QString& sheet, const QString& port, int order) const;

    QTemporaryDir dir;
    QString project;
    QString log;
    TDevice_Config_v2 record{};
    std::unique_ptr<TCommissionWindow> window;
    QString askedSheet;
};

void TestCommissionSiteWindow::initTestCase()
{
    QVERIFY(dir.isValid());
    project = dir.filePath(QStringLiteral("tower.cvp"));
    record = New_Project_Config();
    record.controller_type = 1;
    Write_Service_Text(QStringLiteral("Tower"), record);
    THandle_List handles;
    Create_Default_Handles(handles);
    Save_Project_File(project, record, handles);
    THandle_List loaded;
    QVERIFY(Load_Project_File(project, record, loaded));
}

void TestCommissionSiteWindow::init()
{
    log = dir.filePath(QStringLiteral("%1.jsonl").arg(QString::fromLatin1(QTest::currentTestFunction())));
    TCommissionSetup setup;
    setup.projectFile = [this](QString*) { return project; };
    setup.logPath = [this] { return log; };
    setup.workerProgram = QStringLiteral(CORVANE_CLI);
    window = std::make_unique<TCommissionWindow>(setup);
    window->adapterPoller()->setLister([] { return std::vector<TCandidatePort>{}; });
    window->sitePanel()->setFileAsker([this] { return askedSheet; });
    window->configBox()->setChecked(true);
    window->imagesBox()->setChecked(false);
    window->show();
}

void TestCommissionSiteWindow::cleanup()
{
    window->stopAndWait(kDeadline);
    window.reset();
}

QByteArray TestCommissionSiteWindow::expected(const QString& sheet, const QString& port, int order) const
{
    TSiteSheet s;
    if (!s.read(sheet))
        return {};
    const TSiteSheet::Row* row = s.rowFor(port, QString(), order);
    return Controller_Block(row ? TSiteSheet::applied(record, *row) : record);
}

void TestCommissionSiteWindow::badSheetHoldsStartGoodSheetSendsEachRow()
{
    auto a = Start_Virtual_Controller();
    auto b = Start_Virtual_Controller();
    QVERIFY(a && b);
    QVERIFY(window->addPort(a->portName()) && window->addPort(b->portName()));
    TSiteSheetPanel& site = *window->sitePanel();
    QVERIFY(window->startButton()->isEnabled());

    // Every problem on a line of its own; nothing may start.
    askedSheet = dir.filePath(QStringLiteral("bad.csv"));
    Write_File(
        askedSheet,
        QStringLiteral("port,room,master,controller_type\n%1,Room 104,1,3\n%1,Room 105,0,1\n").arg(a->portName()));
    site.loadButton()->click();
    QVERIFY(site.isBad());
    QVERIFY(site.problemsView()->isVisible());
    const QStringList shown = site.problemsView()->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown[0].startsWith(askedSheet + QStringLiteral(":1: column \"master\"")), qPrintable(shown[0]));
    QVERIFY2(shown[1].startsWith(askedSheet + QStringLiteral(":2: column \"controller_type\"")), qPrintable(shown[1]));
    QVERIFY2(shown[2].startsWith(askedSheet + QStringLiteral(":3: column \"port\"")), qPrintable(shown[2]));
    QVERIFY(!window->startButton()->isEnabled());
    QVERIFY(!window->watchPanel()->watchButton()->isEnabled());
    QCOMPARE(a->frameCount(), 0);

    // Mended and loaded again: each port shows its row, and gets it.
    askedSheet = dir.filePath(QStringLiteral("good.csv"));
    Write_File(askedSheet,
               QStringLiteral("port;room;service_info_text;controller_type\n"
                              "%1;Room 104;\"Room 104\nService 555 0100\";0\n%2;Room 105;Room 105;\n")
                   .arg(a->portName(), b->portName()));
    site.loadButton()->click();
    QVERIFY(site.isSet());
    QVERIFY(!site.problemsView()->isVisible());
    QVERIFY(window->startButton()->isEnabled());
    TCommissionPortTable& table = *window->portTable();
    QCOMPARE(table.item(table.rowOf(a->portName()), TCommissionPortTable::SiteColumn)->text(),
             QStringLiteral("Room 104"));
    QCOMPARE(table.item(table.rowOf(b->portName()), TCommissionPortTable::SiteColumn)->text(),
             QStringLiteral("Room 105"));

    window->startButton()->click();
    CORVANE_TRY_VERIFY(window->isRunning(), kDeadline);
    QVERIFY(!site.loadButton()->isEnabled());
    CORVANE_TRY_VERIFY(!window->isRunning(), kDeadline);
    QCOMPARE(window->statusLabel()->text(), QStringLiteral("2 ok, 0 failed"));
    QCOMPARE(a->memory(0, 1408), expected(askedSheet, a->portName(), 0));
    QCOMPARE(b->memory(0, 1408), expected(askedSheet, b->portName(), 0));
    QVERIFY(a->memory(0, 1408) != b->memory(0, 1408));
    for (const TCommissioningRecord& r : Read_Commissioning_Log(log).records) {
        QCOMPARE(r.siteSheet, QStringLiteral("good.csv"));
        QCOMPARE(r.siteRow, r.port);
    }

    // Without a sheet every controller gets the project as it is.
    site.clearButton()->click();
    QVERIFY(!site.isSet() && !site.isBad());
    QVERIFY(table.item(table.rowOf(a->portName()), TCommissionPortTable::SiteColumn)->text().isEmpty());
}

void TestCommissionSiteWindow::watchNamesTheNextRow()
{
    TSiteSheetPanel& site = *window->sitePanel();
    askedSheet = dir.filePath(QStringLiteral("order.csv"));
    Write_File(askedSheet, QStringLiteral("order,room,service_info_text\n1,Room 104,Room 104\n2,Room 105,Room 105\n"));
    site.loadButton()->click();
    QVERIFY(site.isSet());
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 104"));

    // Rows by order name no port: a run of the table is refused, naming why.
    QVERIFY(window->addPort(QStringLiteral("/dev/null")));
    window->startButton()->click();
    CORVANE_TRY_VERIFY(!window->isRunning() && !window->statusLabel()->text().isEmpty(), kDeadline);
    QVERIFY2(window->statusLabel()->text().contains(QStringLiteral("does not fit this run")),
             qPrintable(window->statusLabel()->text()));
    QVERIFY(site.problemsView()->toPlainText().contains(QStringLiteral("column \"order\"")));

    TCommissionWatchPanel& watch = *window->watchPanel();
    const QString link = dir.filePath(QStringLiteral("adapter"));
    watch.portEdit()->setText(link);
    watch.watchButton()->click();
    CORVANE_TRY_VERIFY(watch.isWatching(), kDeadline);
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 104"));
    auto first = Start_Virtual_Controller();
    QVERIFY(first && first->makeLink(link));
    CORVANE_TRY_VERIFY(watch.resultLabel()->text().contains(QStringLiteral("#1 ok")), kDeadline);
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 105"));
    QCOMPARE(first->memory(0, 1408), expected(askedSheet, link, 1));
    watch.watchButton()->click();
    CORVANE_TRY_VERIFY(!watch.isWatching(), kDeadline);
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 104"));
    const std::vector<TCommissioningRecord> records = Read_Commissioning_Log(log).records;
    QCOMPARE(int(records.size()), 1);
    QCOMPARE(records[0].siteRow, QStringLiteral("1"));
}

QTEST_MAIN(TestCommissionSiteWindow)
#include "test_commission_site_window.moc"
