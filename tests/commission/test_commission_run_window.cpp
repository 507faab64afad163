// The "Commission..." window against virtual controllers: the open project
// sent to every port at once through worker processes, each row saying how
// its controller did, and the main window holding the project still while
// the run goes on.
#include "EventWait.h"
#include "UiTestFixtures.h"

#include "IsolatedSettings.h"
#include "SimFixtures.h"
#include "core/commissioning/CommissioningLog.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "core/resources/CarriedData.h"
#include "core/storage/DiskIO.h"
#include "ui/app/TCommissionLauncher.h"
#include "ui/app/TCommissioningLogWindow.h"
#include "ui/app/TConfiguratorApplication.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/commissioning/TAdapterPoller.h"
#include "ui/commissioning/TCommissionPortTable.h"
#include "ui/commissioning/TCommissionWatchPanel.h"
#include "ui/commissioning/TCommissionWindow.h"
#include "ui/device/TUploadDataPage.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
constexpr int kDeadline = 180000;
constexpr uint32_t kImageStore = 0x80000;

using Sims = std::vector<std::unique_ptr<VirtualController>>;

Sims startSims(int count, const SimOptions& options = {})
{
    Sims sims;
    for (int i = 0; i < count; ++i)
        if (auto sim = startVirtualController(options))
            sims.push_back(std::move(sim));
    return sims;
}

// A main window with a saved project holding a logo, its commissioning
// window made, the search listing no adapter of this machine.
class RunFixture {
public:
    RunFixture()
    {
        fx.newProject(dir.filePath(QStringLiteral("tower.cvp")));
        const THandle_object& logos = *form().document().images().at(size_t(kLogosIdx));
        fx.addImage(kLogosIdx, QStringLiteral("SUN"), pngBytes(logos.width, logos.height, qRgb(30, 140, 200)));
        fx.trigger("save_project_MenuItem");
        log = dir.filePath(QStringLiteral("data/commissioning.jsonl"));
        form().setCommissioningLog(log);
        form().commissionLauncher()->setWorkerProgram(QStringLiteral(CORVANE_CLI));
        window = form().commissionLauncher()->commissionWindow();
        window->adapterPoller()->setLister([] { return std::vector<TCandidatePort>{}; });
        window->setPortAsker([this] { return askedPorts.isEmpty() ? QString() : askedPorts.takeFirst(); });
        form().commissionLauncher()->showWindow();
    }

    Tbmpgen_Form& form() { return fx.form(); }
    TCommissionPortTable& table() { return *window->portTable(); }

    // Each port by "Add Port...", as a user adds a virtual controller's.
    void addPorts(const Sims& sims)
    {
        for (const auto& sim : sims) {
            askedPorts << sim->portName();
            window->findChild<QPushButton*>(QStringLiteral("commission_add_port_Button"))->click();
        }
    }
    bool runAndWait(QPushButton* button)
    {
        button->click();
        return waitUntil([this] { return !window->isRunning(); }, kDeadline);
    }
    QString cell(const QString& port, int column) { return table().item(table().rowOf(port), column)->text(); }
    // What one upload of the saved project leaves in a controller.
    void checkMemory(const VirtualController& sim)
    {
        TDevice_Config_v2 record{};
        THandleList handles;
        QVERIFY(Load_Project_File(form().document().projectPath(), record, handles));
        QByteArray images;
        Build_Image_Data(images, handles);
        QCOMPARE(sim.memory(0, 1408), controllerBlock(record));
        QCOMPARE(sim.memory(kImageStore, int(images.size())), images);
    }

    QTemporaryDir dir;
    TFormFixture fx;
    QString log;
    QStringList askedPorts;
    TCommissionWindow* window = nullptr;
};
} // namespace

class TestCommissionRunWindow : public QObject {
    Q_OBJECT
private slots:
    void everyControllerGetsTheProject();
    void silentControllerFailsAloneAndRetrySucceeds();
    void oldFirmwareIsSkippedWithItsReason();
    void oldFirmwareIsUpgradedWhenAsked();
    void stopPutsEveryPortOnRecordAsInterrupted();
    void everyControlIsNamedAndReachedByTab();
    void watchCommissionsControllerAfterController();
};

void TestCommissionRunWindow::everyControllerGetsTheProject()
{
    RunFixture run;
    const Sims sims = startSims(3);
    QCOMPARE(int(sims.size()), 3);
    run.addPorts(sims);
    QCOMPARE(run.table().rowCount(), 3);

    Tbmpgen_Form& form = run.form();
    QAction* undo = run.fx.action("undo_MenuItem");
    QAction* save = run.fx.action("save_project_MenuItem");
    QAction* open = run.fx.action("open_project_MenuItem");
    run.window->startButton()->click();
    // The project stays as it is under the run, and the window says why.
    CORVANE_TRY_VERIFY(!form.findChild<QWidget*>(QStringLiteral("Project_Panel"))->isEnabled(), kDeadline);
    QVERIFY(!form.findChild<QWidget*>(QStringLiteral("Project_Panel"))->isEnabled());
    QVERIFY(!undo->isEnabled());
    QVERIFY(!save->isEnabled() && !open->isEnabled());
    QVERIFY(!form.fw_upg_Button()->isEnabled());
    QCOMPARE(form.projectStatusBar()->sparePanel()->text(), TCommissionLauncher::busyNote());
    CORVANE_TRY_VERIFY(!run.window->isRunning(), kDeadline);

    for (const auto& sim : sims) {
        QCOMPARE(run.cell(sim->portName(), TCommissionPortTable::kStateColumn), QStringLiteral("done"));
        QCOMPARE(run.cell(sim->portName(), TCommissionPortTable::kPartColumn), QStringLiteral("5813"));
        QCOMPARE(run.cell(sim->portName(), TCommissionPortTable::kFirmwareColumn), QStringLiteral("2.01"));
        QVERIFY(run.cell(sim->portName(), TCommissionPortTable::kReasonColumn).isEmpty());
        run.checkMemory(*sim);
        QCOMPARE(sim->resetCount(), 1);
    }
    QCOMPARE(run.window->statusLabel()->text(), QStringLiteral("3 ok, 0 failed"));
    QVERIFY(form.findChild<QWidget*>(QStringLiteral("Project_Panel"))->isEnabled());
    QVERIFY(save->isEnabled() && open->isEnabled());
    QVERIFY(form.projectStatusBar()->sparePanel()->text() != TCommissionLauncher::busyNote());

    const TCommissioningLogContents contents = readCommissioningLog(run.log);
    QCOMPARE(int(contents.records.size()), 3);
    for (const TCommissioningRecord& r : contents.records) {
        QVERIFY(r.ok);
        QCOMPARE(r.verify, TVerifyResult::Passed);
        QCOMPARE(r.project, form.document().projectPath());
    }
    // On show in Help > Commissioning Log.
    run.fx.trigger("commissioning_log_MenuItem");
    TCommissioningLogWindow* logWindow = nullptr;
    QTRY_VERIFY((logWindow = form.findChild<TCommissioningLogWindow*>()) != nullptr);
    QCOMPARE(logWindow->findChild<QTableView*>(QStringLiteral("commissioning_log_View"))->model()->rowCount(), 3);
}

void TestCommissionRunWindow::silentControllerFailsAloneAndRetrySucceeds()
{
    RunFixture run;
    Sims sims = startSims(3);
    QCOMPARE(int(sims.size()), 3);
    VirtualController& silent = *sims[1];
    SimOptions mute = silent.options();
    mute.silentAfter = 1; // it says who it is, then nothing more
    silent.setOptions(mute);
    run.addPorts(sims);
    QVERIFY(run.runAndWait(run.window->startButton()));

    QCOMPARE(run.cell(silent.portName(), TCommissionPortTable::kStateColumn), QStringLiteral("failed"));
    const std::vector<TCommissioningRecord> first = readCommissioningLog(run.log).records;
    QCOMPARE(int(first.size()), 3);
    for (const TCommissioningRecord& r : first) {
        QCOMPARE(r.ok, r.port != silent.portName());
        if (!r.ok) {
            QVERIFY(!r.message.isEmpty());
            QCOMPARE(run.cell(silent.portName(), TCommissionPortTable::kReasonColumn), r.message);
        }
    }
    for (const VirtualController* sim : {sims[0].get(), sims[2].get()}) {
        QCOMPARE(run.cell(sim->portName(), TCommissionPortTable::kStateColumn), QStringLiteral("done"));
        run.checkMemory(*sim);
    }
    QCOMPARE(run.window->statusLabel()->text(), QStringLiteral("2 ok, 1 failed"));

    // It answers again: Retry Failed sends to it alone.
    mute.silentAfter = 0;
    silent.setOptions(mute);
    const int othersWrites = sims[0]->writeCount() + sims[2]->writeCount();
    QVERIFY(run.window->retryButton()->isEnabled());
    QVERIFY(run.runAndWait(run.window->retryButton()));
    QCOMPARE(run.cell(silent.portName(), TCommissionPortTable::kStateColumn), QStringLiteral("done"));
    QVERIFY(run.cell(silent.portName(), TCommissionPortTable::kReasonColumn).isEmpty());
    run.checkMemory(silent);
    QCOMPARE(sims[0]->writeCount() + sims[2]->writeCount(), othersWrites);
    QCOMPARE(run.cell(sims[0]->portName(), TCommissionPortTable::kStateColumn), QStringLiteral("done"));
    const std::vector<TCommissioningRecord> all = readCommissioningLog(run.log).records;
    QCOMPARE(int(all.size()), 4);
    QVERIFY(all.back().ok);
    QCOMPARE(all.back().port, silent.portName());
    QVERIFY(!run.window->retryButton()->isEnabled());
}

void TestCommissionRunWindow::oldFirmwareIsSkippedWithItsReason()
{
    RunFixture run;
    SimOptions old;
    old.fwVersion = 104;
    const Sims sims = startSims(1, old);
    QCOMPARE(int(sims.size()), 1);
    run.addPorts(sims);
    QVERIFY(run.runAndWait(run.window->startButton()));
    QCOMPARE(run.cell(sims[0]->portName(), TCommissionPortTable::kReasonColumn),
             QStringLiteral("skipped: firmware 1.04 needs an upgrade before data can be uploaded"));
    QCOMPARE(run.cell(sims[0]->portName(), TCommissionPortTable::kFirmwareColumn), QStringLiteral("1.04"));
    QCOMPARE(sims[0]->writeCount(), 0);
    const std::vector<TCommissioningRecord> records = readCommissioningLog(run.log).records;
    QCOMPARE(int(records.size()), 1);
    QVERIFY(!records[0].ok);
    QVERIFY(records[0].sent.isEmpty());
}

// With the firmware box ticked the old controller is upgraded (its backup
// beside the log), then gets the project; the row says so.
void TestCommissionRunWindow::oldFirmwareIsUpgradedWhenAsked()
{
    RunFixture run;
    SimOptions old;
    old.fwVersion = 104;
    old.initialConfig = controllerBlock(newProjectConfig()); // a configuration to back up
    const Sims sims = startSims(1, old);
    QCOMPARE(int(sims.size()), 1);
    const QString port = sims[0]->portName();
    // As with --demo: this build's stand-in firmware may go to the virtual controller.
    run.form().deviceOperations()->allowPlaceholderFirmwareOn({port});
    run.addPorts(sims);
    QCheckBox* firmware = run.window->findChild<QCheckBox*>(QStringLiteral("commission_firmware_CheckBox"));
    QVERIFY(firmware);
    QCOMPARE(firmware->accessibleName(), QStringLiteral("Upgrade old firmware first"));
    QVERIFY(!firmware->isChecked());
    firmware->setChecked(true);
    QVERIFY(run.runAndWait(run.window->startButton()));

    const quint16 carried = Read_Resource_Word(QStringLiteral("FW_VER"));
    const QString version = QString::asprintf("%d.%02d", carried / 100, carried % 100);
    QCOMPARE(run.cell(port, TCommissionPortTable::kReasonColumn),
             QStringLiteral("firmware upgraded 1.04 -> %1").arg(version));
    QCOMPARE(run.cell(port, TCommissionPortTable::kStateColumn), QStringLiteral("done"));
    QCOMPARE(run.cell(port, TCommissionPortTable::kFirmwareColumn), version);
    run.checkMemory(*sims[0]);
    const std::vector<TCommissioningRecord> records = readCommissioningLog(run.log).records;
    QCOMPARE(int(records.size()), 1);
    QVERIFY(records[0].ok);
    QVERIFY(records[0].upgrade && records[0].upgrade->ok);
    QCOMPARE(QFileInfo(records[0].upgrade->backup).absolutePath(), QFileInfo(run.log).absolutePath());
    QVERIFY(QFileInfo(records[0].upgrade->backup).size() > 0);
}

void TestCommissionRunWindow::stopPutsEveryPortOnRecordAsInterrupted()
{
    RunFixture run;
    SimOptions slow;
    slow.lineRate = true;
    const Sims sims = startSims(3, slow);
    QCOMPARE(int(sims.size()), 3);
    run.addPorts(sims);
    run.window->jobsBox()->setValue(2); // the third waits its turn
    run.window->startButton()->click();
    CORVANE_TRY_VERIFY(sims[0]->writeCount() > 0 && sims[1]->writeCount() > 0, kDeadline);
    QVERIFY(run.window->stopButton()->isEnabled());
    QVERIFY(run.runAndWait(run.window->stopButton()));

    const TCommissioningLogContents contents = readCommissioningLog(run.log);
    QVERIFY(contents.malformed.empty());
    QCOMPARE(int(contents.records.size()), 3);
    for (const TCommissioningRecord& r : contents.records) {
        QVERIFY(!r.ok);
        const bool waited = r.port == sims[2]->portName();
        QVERIFY2(r.message.startsWith(waited ? QStringLiteral("not attempted") : QStringLiteral("interrupted")),
                 qPrintable(r.message));
        QCOMPARE(run.cell(r.port, TCommissionPortTable::kReasonColumn), r.message);
    }
    QCOMPARE(sims[2]->frameCount(), 0);
    QVERIFY(fileBytes(run.log).endsWith('\n'));
    QVERIFY(run.window->statusLabel()->text().startsWith(QStringLiteral("0 ok, 3 failed")));
}

void TestCommissionRunWindow::everyControlIsNamedAndReachedByTab()
{
    RunFixture run;
    run.askedPorts << QStringLiteral("/dev/null-port-a") << QStringLiteral("/dev/null-port-b");
    for (int i = 0; i < 2; ++i)
        run.window->findChild<QPushButton*>(QStringLiteral("commission_add_port_Button"))->click();
    QCOMPARE(run.table().rowCount(), 2);
    // Both fail at once (no such port): Retry Failed is offered too.
    QVERIFY(run.runAndWait(run.window->startButton()));
    QVERIFY(run.window->retryButton()->isEnabled());

    run.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(run.window));
    run.window->portTable()->setFocus();
    QSet<QWidget*> reached;
    for (int i = 0; i < 40; ++i) {
        reached << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QList<QWidget*> controls = run.window->findChildren<QWidget*>();
    int operable = 0;
    for (QWidget* w : controls) {
        // A spin box's line edit and a table's own parts are parts of one control.
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(run.window)
            || qobject_cast<QAbstractItemView*>(w->parentWidget())
            || qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            continue;
        ++operable;
        QVERIFY2(reached.contains(w) || reached.contains(w->focusProxy()), qPrintable(w->objectName()));
        QVERIFY2(!w->objectName().isEmpty() && !w->accessibleName().isEmpty(), w->metaObject()->className());
    }
    QVERIFY(operable >= 8);
    // Each row is named by its port.
    QCOMPARE(run.table().item(0, TCommissionPortTable::kPortColumn)->data(Qt::DisplayRole).toString(),
             QStringLiteral("/dev/null-port-a"));
    QVERIFY(run.table().item(0, TCommissionPortTable::kPortColumn)->flags() & Qt::ItemIsUserCheckable);
}

namespace {
// What a screen reader reads for the result.
QString spoken(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}
} // namespace

void TestCommissionRunWindow::watchCommissionsControllerAfterController()
{
    RunFixture run;
    TCommissionWatchPanel& watch = *run.window->watchPanel();
    const QString link = run.dir.filePath(QStringLiteral("adapter"));
    watch.portEdit()->setText(link);
    watch.watchButton()->click();
    CORVANE_TRY_VERIFY(watch.isWatching(), kDeadline);
    QVERIFY(!run.window->startButton()->isEnabled());
    QVERIFY(!run.form().findChild<QWidget*>(QStringLiteral("Project_Panel"))->isEnabled());
    CORVANE_TRY_VERIFY(watch.stateLabel()->text().startsWith(QStringLiteral("Waiting for a controller")), kDeadline);

    auto first = startVirtualController();
    QVERIFY(first && first->makeLink(link));
    CORVANE_TRY_VERIFY(watch.resultLabel()->text().contains(QStringLiteral("#1 ok")), kDeadline);
    QCOMPARE(watch.countLabel()->text(), QStringLiteral("1 ok, 0 failed"));
    run.checkMemory(*first);
    QVERIFY2(spoken(watch.resultLabel()).startsWith(QStringLiteral("Controller 1 commissioned in ")),
             qPrintable(spoken(watch.resultLabel())));
    // Still attached, it is asked who it is but not written to again.
    const int writes = first->writeCount();
    first->clearFrames();
    CORVANE_TRY_VERIFY(first->frameCount() >= 2, kDeadline);
    QCOMPARE(first->writeCount(), writes);
    first.reset(); // the cable is pulled
    CORVANE_TRY_VERIFY(watch.stateLabel()->text().startsWith(QStringLiteral("Waiting for a controller")), kDeadline);

    SimOptions rtc;
    rtc.model = 1;
    auto second = startVirtualController(rtc);
    QVERIFY(second && second->makeLink(link));
    CORVANE_TRY_VERIFY(watch.resultLabel()->text().contains(QStringLiteral("#2 ok")), kDeadline);
    QCOMPARE(watch.countLabel()->text(), QStringLiteral("2 ok, 0 failed"));
    run.checkMemory(*second);
    QVERIFY(spoken(watch.resultLabel()).startsWith(QStringLiteral("Controller 2 commissioned in ")));

    watch.watchButton()->click();
    CORVANE_TRY_VERIFY(!watch.isWatching(), kDeadline);
    QVERIFY(run.form().findChild<QWidget*>(QStringLiteral("Project_Panel"))->isEnabled());
    const std::vector<TCommissioningRecord> records = readCommissioningLog(run.log).records;
    QCOMPARE(int(records.size()), 2);
    QCOMPARE(records[0].partNumber.value_or(0), 5813);
    QCOMPARE(records[1].partNumber.value_or(0), 5827);
    QCOMPARE(records[0].watchIndex, 1);
    QCOMPARE(records[1].watchIndex, 2);
    QVERIFY(records[0].ok && records[1].ok);
}

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    const TIsolatedSettings settings;
    TestCommissionRunWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_commission_run_window.moc"
