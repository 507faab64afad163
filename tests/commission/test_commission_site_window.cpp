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

void writeFile(const QString& path, const QString& text)
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

    QTemporaryDir m_dir;
    QString m_project;
    QString m_log;
    TDevice_Config_v2 m_record{};
    std::unique_ptr<TCommissionWindow> m_window;
    QString m_askedSheet;
};

void TestCommissionSiteWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_project = m_dir.filePath(QStringLiteral("tower.cvp"));
    m_record = newProjectConfig();
    m_record.controller_type = 1;
    writeServiceText(QStringLiteral("Tower"), m_record);
    THandleList handles;
    createDefaultHandles(handles);
    Save_Project_File(m_project, m_record, handles);
    THandleList loaded;
    QVERIFY(Load_Project_File(m_project, m_record, loaded));
}

void TestCommissionSiteWindow::init()
{
    m_log = m_dir.filePath(QStringLiteral("%1.jsonl").arg(QString::fromLatin1(QTest::currentTestFunction())));
    TCommissionSetup setup;
    setup.projectFile = [this](QString*) { return m_project; };
    setup.logPath = [this] { return m_log; };
    setup.workerProgram = QStringLiteral(CORVANE_CLI);
    m_window = std::make_unique<TCommissionWindow>(setup);
    m_window->adapterPoller()->setLister([] { return std::vector<TCandidatePort>{}; });
    m_window->sitePanel()->setFileAsker([this] { return m_askedSheet; });
    m_window->configBox()->setChecked(true);
    m_window->imagesBox()->setChecked(false);
    m_window->show();
}

void TestCommissionSiteWindow::cleanup()
{
    m_window->stopAndWait(kDeadline);
    m_window.reset();
}

QByteArray TestCommissionSiteWindow::expected(const QString& sheet, const QString& port, int order) const
{
    TSiteSheet s;
    if (!s.read(sheet))
        return {};
    const TSiteSheet::Row* row = s.rowFor(port, QString(), order);
    return controllerBlock(row ? TSiteSheet::applied(m_record, *row) : m_record);
}

void TestCommissionSiteWindow::badSheetHoldsStartGoodSheetSendsEachRow()
{
    auto a = startVirtualController();
    auto b = startVirtualController();
    QVERIFY(a && b);
    QVERIFY(m_window->addPort(a->portName()) && m_window->addPort(b->portName()));
    TSiteSheetPanel& site = *m_window->sitePanel();
    QVERIFY(m_window->startButton()->isEnabled());

    // Every problem on a line of its own; nothing may start.
    m_askedSheet = m_dir.filePath(QStringLiteral("bad.csv"));
    writeFile(
        m_askedSheet,
        QStringLiteral("port,room,master,controller_type\n%1,Room 104,1,3\n%1,Room 105,0,1\n").arg(a->portName()));
    site.loadButton()->click();
    QVERIFY(site.isBad());
    QVERIFY(site.problemsView()->isVisible());
    const QStringList shown = site.problemsView()->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown[0].startsWith(m_askedSheet + QStringLiteral(":1: column \"master\"")), qPrintable(shown[0]));
    QVERIFY2(shown[1].startsWith(m_askedSheet + QStringLiteral(":2: column \"controller_type\"")),
             qPrintable(shown[1]));
    QVERIFY2(shown[2].startsWith(m_askedSheet + QStringLiteral(":3: column \"port\"")), qPrintable(shown[2]));
    QVERIFY(!m_window->startButton()->isEnabled());
    QVERIFY(!m_window->watchPanel()->watchButton()->isEnabled());
    QCOMPARE(a->frameCount(), 0);

    // Mended and loaded again: each port shows its row, and gets it.
    m_askedSheet = m_dir.filePath(QStringLiteral("good.csv"));
    writeFile(m_askedSheet,
              QStringLiteral("port;room;service_info_text;controller_type\n"
                             "%1;Room 104;\"Room 104\nService 555 0100\";0\n%2;Room 105;Room 105;\n")
                  .arg(a->portName(), b->portName()));
    site.loadButton()->click();
    QVERIFY(site.isSet());
    QVERIFY(!site.problemsView()->isVisible());
    QVERIFY(m_window->startButton()->isEnabled());
    TCommissionPortTable& table = *m_window->portTable();
    QCOMPARE(table.item(table.rowOf(a->portName()), TCommissionPortTable::kSiteColumn)->text(),
             QStringLiteral("Room 104"));
    QCOMPARE(table.item(table.rowOf(b->portName()), TCommissionPortTable::kSiteColumn)->text(),
             QStringLiteral("Room 105"));

    m_window->startButton()->click();
    CORVANE_TRY_VERIFY(m_window->isRunning(), kDeadline);
    QVERIFY(!site.loadButton()->isEnabled());
    CORVANE_TRY_VERIFY(!m_window->isRunning(), kDeadline);
    QCOMPARE(m_window->statusLabel()->text(), QStringLiteral("2 ok, 0 failed"));
    QCOMPARE(a->memory(0, 1408), expected(m_askedSheet, a->portName(), 0));
    QCOMPARE(b->memory(0, 1408), expected(m_askedSheet, b->portName(), 0));
    QVERIFY(a->memory(0, 1408) != b->memory(0, 1408));
    for (const TCommissioningRecord& r : readCommissioningLog(m_log).records) {
        QCOMPARE(r.siteSheet, QStringLiteral("good.csv"));
        QCOMPARE(r.siteRow, r.port);
    }

    // Without a sheet every controller gets the project as it is.
    site.clearButton()->click();
    QVERIFY(!site.isSet() && !site.isBad());
    QVERIFY(table.item(table.rowOf(a->portName()), TCommissionPortTable::kSiteColumn)->text().isEmpty());
}

void TestCommissionSiteWindow::watchNamesTheNextRow()
{
    TSiteSheetPanel& site = *m_window->sitePanel();
    m_askedSheet = m_dir.filePath(QStringLiteral("order.csv"));
    writeFile(m_askedSheet, QStringLiteral("order,room,service_info_text\n1,Room 104,Room 104\n2,Room 105,Room 105\n"));
    site.loadButton()->click();
    QVERIFY(site.isSet());
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 104"));

    // Rows by order name no port: a run of the table is refused, naming why.
    QVERIFY(m_window->addPort(QStringLiteral("/dev/null")));
    m_window->startButton()->click();
    CORVANE_TRY_VERIFY(!m_window->isRunning() && !m_window->statusLabel()->text().isEmpty(), kDeadline);
    QVERIFY2(m_window->statusLabel()->text().contains(QStringLiteral("does not fit this run")),
             qPrintable(m_window->statusLabel()->text()));
    QVERIFY(site.problemsView()->toPlainText().contains(QStringLiteral("column \"order\"")));

    TCommissionWatchPanel& watch = *m_window->watchPanel();
    const QString link = m_dir.filePath(QStringLiteral("adapter"));
    watch.portEdit()->setText(link);
    watch.watchButton()->click();
    CORVANE_TRY_VERIFY(watch.isWatching(), kDeadline);
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 104"));
    auto first = startVirtualController();
    QVERIFY(first && first->makeLink(link));
    CORVANE_TRY_VERIFY(watch.resultLabel()->text().contains(QStringLiteral("#1 ok")), kDeadline);
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 105"));
    QCOMPARE(first->memory(0, 1408), expected(m_askedSheet, link, 1));
    watch.watchButton()->click();
    CORVANE_TRY_VERIFY(!watch.isWatching(), kDeadline);
    QCOMPARE(site.nextLabel()->text(), QStringLiteral("Next: Room 104"));
    const std::vector<TCommissioningRecord> records = readCommissioningLog(m_log).records;
    QCOMPARE(int(records.size()), 1);
    QCOMPARE(records[0].siteRow, QStringLiteral("1"));
}

QTEST_MAIN(TestCommissionSiteWindow)
#include "test_commission_site_window.moc"
