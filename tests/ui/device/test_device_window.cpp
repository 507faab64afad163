#include "test_device_window.h"
#include "EventWait.h"

#include "SimFixtures.h"
#include "UiTestFixtures.h"
#include "core/comms/TVrexComms.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "ui/app/TActivityLogPanel.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/common/gen_lib.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/config_editor/TGeneralPage.h"
#include "ui/device/ProgressBarState.h"
#include "ui/device/TDeviceScanPanel.h"
#include "ui/device/TUploadDataPage.h"
#include "ui/device/Tfw_upg_Form.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QUndoStack>
#include <QtTest>

namespace {

constexpr int kDeadline = 90000;

QList<int> loggedCodes(Tbmpgen_Form& form)
{
    QTableWidget* grid = form.activityLog()->grid();
    QList<int> codes;
    for (int row = 1; row < grid->rowCount(); ++row) {
        const QString text = grid->item(row, 2)->text();
        for (int code = 0; code < TActivityLogPanel::kStatusCodeCount; ++code)
            if (TActivityLogPanel::statusCodeText(code) == text)
                codes << code;
    }
    return codes;
}

// What the log says, for a failure message.
QString logText(Tbmpgen_Form& form)
{
    QTableWidget* grid = form.activityLog()->grid();
    QStringList rows;
    for (int row = 1; row < grid->rowCount(); ++row)
        rows << grid->item(row, 2)->text() + QStringLiteral(" | ") + grid->item(row, 3)->text();
    return rows.join(QStringLiteral("; "));
}

QList<int> deviceCodes(Tbmpgen_Form& form)
{
    QList<int> codes = loggedCodes(form);
    codes.removeAll(27); // the new project
    codes.removeAll(6);  // and its saves
    return codes;
}

// Pictures for a person to look at: CORVANE_SCREENSHOTS names their folder.
void screenshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("CORVANE_SCREENSHOTS");
    if (!folder.isEmpty())
        widget->grab().save(folder + QLatin1Char('/') + name);
}

// A window with an open project, talking to a virtual controller.
struct DeviceWindow {
    explicit DeviceWindow(const QString& path, const SimOptions& options = {}) : sim(startVirtualController(options))
    {
        started = sim != nullptr;
        fx.newProject(path);
        if (!started)
            return;
        fx.form().setExplicitPorts({sim->portName()}, QString());
        fx.form().deviceOperations()->setPortLister([this] { return QStringList{sim->portName()}; });
        fx.form().deviceOperations()->allowPlaceholderFirmwareOn({sim->portName()});
    }
    TFormFixture fx;
    std::unique_ptr<VirtualController> sim;
    bool started = false;
};

} // namespace

void TestDeviceWindow::retrieveShowsTheControllersRecord()
{
    TDevice_Config_v2 onController = newProjectConfig();
    writeServiceText(QStringLiteral("Retrieved text"), onController);
    SimOptions o;
    o.initialConfig = controllerBlock(onController);
    DeviceWindow w(m_dir.filePath(QStringLiteral("retrieve.cvp")), o);
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    QPushButton* retrieve = form.findChild<QPushButton*>(QStringLiteral("retrieve_cfg_Button"));
    QVERIFY(retrieve);
    w.fx.prompter().enqueue(QMessageBox::Yes); // the new project is not saved: replace its settings
    QTest::mouseClick(retrieve, Qt::LeftButton);
    CORVANE_TRY_VERIFY(!retrieve->isEnabled(), kDeadline);
    QVERIFY(!form.fw_upg_Button()->isEnabled());
    CORVANE_TRY_VERIFY(form.deviceScanPanel()->isVisible(), kDeadline);
    screenshot(&form, QStringLiteral("scanning.png"));
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    QCOMPARE(deviceCodes(form), (QList<int>{29, 12, 8, 13}));
    QCOMPARE(form.configurationPage()->generalPage()->serviceText(), QStringLiteral("Retrieved text"));
    QVERIFY(form.document().isModified());
    QVERIFY(retrieve->isEnabled());
    QVERIFY(!form.deviceScanPanel()->isVisible());
    QVERIFY(form.findChild<QWidget*>(QStringLiteral("Project_Panel"))->isEnabled());
    QVERIFY(!form.link().comms().isOpen());
}

void TestDeviceWindow::retrieveIsOneUndoStep()
{
    TDevice_Config_v2 onController = newProjectConfig();
    writeServiceText(QStringLiteral("Retrieved text"), onController);
    onController.frost_protection_enabled = 1;
    SimOptions o;
    o.initialConfig = controllerBlock(onController);
    const QString path = m_dir.filePath(QStringLiteral("retrieve-undo.cvp"));
    DeviceWindow w(path, o);
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    w.fx.trigger("save_project_MenuItem");
    const QByteArray before = fileBytes(path);

    QTest::mouseClick(form.configurationPage()->retrieve_cfg_Button(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(deviceCodes(form).contains(13), kDeadline);
    QVERIFY(form.document().isModified());
    QCOMPARE(form.document().undoStack().count(), 1);
    QCOMPARE(w.fx.action("undo_MenuItem")->text(), QStringLiteral("&Undo Retrieve Configuration"));
    w.fx.trigger("save_project_MenuItem");
    const QByteArray after = fileBytes(path);
    QVERIFY(after != before);

    // Undo gives back the record the project had, the service text with it.
    w.fx.trigger("undo_MenuItem");
    QVERIFY(form.configurationPage()->generalPage()->serviceText() != QStringLiteral("Retrieved text"));
    w.fx.trigger("save_project_MenuItem");
    QVERIFY(fileBytes(path) == before);
    w.fx.trigger("redo_MenuItem");
    QCOMPARE(form.configurationPage()->generalPage()->serviceText(), QStringLiteral("Retrieved text"));
    w.fx.trigger("save_project_MenuItem");
    QVERIFY(fileBytes(path) == after);
}

void TestDeviceWindow::uploadBothThroughThePage()
{
    DeviceWindow w(m_dir.filePath(QStringLiteral("upload.cvp")));
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    for (int idx : {int(kLogosIdx), int(kLogoThumbnailsIdx)}) {
        const THandle_object& h = *form.document().images().at(size_t(idx));
        w.fx.addImage(idx, QStringLiteral("SUN"), pngBytes(h.width, h.height, qRgb(200, 120, 10)));
    }
    form.configurationPage()->generalPage()->service_text_Memo()->setPlainText(QStringLiteral("Ask for Sam\nDesk 4"));
    TUploadDataPage* page = form.uploadPage();
    QVERIFY(page->send_Config_CheckBox()->isChecked() && page->send_Image_CheckBox()->isChecked());
    // Modified and not saved: the question comes first, Yes goes on.
    w.fx.prompter().enqueue(QMessageBox::Yes);
    QTest::mouseClick(page->upload_data_BitBtn(), Qt::LeftButton);
    QCOMPARE(w.fx.prompter().questions().size(), 1);
    QCOMPARE(w.fx.prompter().questions().at(0).text, DeviceText::unsavedUpload());
    QVERIFY(!page->send_Config_CheckBox()->isEnabled());
    CORVANE_TRY_VERIFY(!page->upload_data_BitBtn()->isEnabled(), kDeadline);
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    QVERIFY2(deviceCodes(form) == (QList<int>{29, 12, 21, 15, 16, 10, 20, 13}), qPrintable(logText(form)));
    QCOMPARE(w.fx.prompter().questions().size(), 1);

    TProjectDocument& s = form.document();
    QCOMPARE(readServiceText(s.record()), QStringLiteral("Ask for Sam\r\nDesk 4"));
    QCOMPARE(w.sim->memory(0, 1408), controllerBlock(s.record()));
    QByteArray images;
    Build_Image_Data(images, s.images());
    QVERIFY(!images.isEmpty());
    QCOMPARE(w.sim->memory(0x80000, int(images.size())), images);
    QProgressBar* imageBar = page->upload_img_ProgressBar();
    QCOMPARE(imageBar->value(), imageBar->maximum());
    QCOMPARE(imageBar->maximum(), int(images.size()));
    QCOMPARE(page->upload_config_ProgressBar()->value(), 1408);
    QVERIFY(!progressInError(imageBar));
    form.projectPages()->setCurrentWidget(page);
    screenshot(&form, QStringLiteral("upload_page.png"));
    QVERIFY(page->send_Config_CheckBox()->isEnabled());
    QVERIFY(page->upload_data_BitBtn()->isEnabled());
    QVERIFY(s.isModified());
}

void TestDeviceWindow::notFoundLogSaysWhyEachPortFailed()
{
    DeviceWindow w(m_dir.filePath(QStringLiteral("held.cvp")));
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    TVrexComms holder; // another program on the controller's port
    holder.portName = w.sim->portName();
    QVERIFY(holder.OpenComm());
    const QString missing = QStringLiteral("/dev/corvane-no-such-port");
    form.deviceOperations()->setPortLister([&] { return QStringList{w.sim->portName(), missing}; });
    // Where the scan panel is while the ports are searched, and whether it
    // is still there when the box comes.
    QRect panelWhileScanning;
    bool panelBehindBox = true;
    w.fx.prompter().onAsk = [&] { panelBehindBox = form.deviceScanPanel()->isVisible(); };
    w.fx.prompter().enqueue(QMessageBox::Yes); // replace the unsaved project's settings
    QTest::mouseClick(form.configurationPage()->retrieve_cfg_Button(), Qt::LeftButton);
    CORVANE_TRY_VERIFY(form.deviceScanPanel()->isVisible() || deviceCodes(form).contains(14), kDeadline);
    if (form.deviceScanPanel()->isVisible())
        panelWhileScanning = form.deviceScanPanel()->geometry();
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(14), kDeadline);
    // The box names each port tried and why it was passed over.
    const QString box = w.fx.prompter().questions().last().text;
    QVERIFY2(box.startsWith(DeviceText::notFound()), qPrintable(box));
    QVERIFY2(box.contains(w.sim->portName() + QStringLiteral(": port is in use by another program      ")),
             qPrintable(box));
    QVERIFY2(box.contains(missing + QStringLiteral(": no such port      ")), qPrintable(box));
    QVERIFY(!panelBehindBox);
    QVERIFY(!form.deviceScanPanel()->isVisible());
    if (!panelWhileScanning.isNull()) {
        const QPoint off = panelWhileScanning.center() - form.rect().center();
        QVERIFY2(off.manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
    }
    QTableWidget* grid = form.activityLog()->grid();
    QCOMPARE(grid->item(grid->rowCount() - 1, 2)->text(), QStringLiteral("R/C not found"));
    QCOMPARE(grid->item(grid->rowCount() - 1, 3)->text(),
             w.sim->portName() + QStringLiteral(": port is in use by another program; ") + missing
                 + QStringLiteral(": no such port"));
}

void TestDeviceWindow::uploadButtonNeedsATickedBox()
{
    DeviceWindow w(m_dir.filePath(QStringLiteral("boxes.cvp")));
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    TUploadDataPage* page = form.uploadPage();
    QPushButton* upload = page->upload_data_BitBtn();
    page->send_Config_CheckBox()->click();
    page->send_Image_CheckBox()->click();
    QVERIFY(!upload->isEnabled());

    // A scan that finds nothing re-enables the device buttons, but not this one.
    w.sim->stop();
    form.deviceOperations()->setPortLister([] { return QStringList{}; });
    w.fx.prompter().enqueue(QMessageBox::Yes); // replace the unsaved project's settings
    QTest::mouseClick(form.configurationPage()->retrieve_cfg_Button(), Qt::LeftButton);
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(14), kDeadline);
    QVERIFY(w.fx.prompter().questions().last().text.startsWith(DeviceText::notFound()));
    QVERIFY(form.configurationPage()->retrieve_cfg_Button()->isEnabled());
    QVERIFY(form.fw_upg_Button()->isEnabled());
    QVERIFY(!upload->isEnabled());
    page->send_Image_CheckBox()->click();
    QVERIFY(upload->isEnabled());

    // An upload that finds no controller gives the upload choices back with
    // the buttons, so the next attempt can be set up without a restart.
    w.fx.prompter().enqueue(QMessageBox::Yes); // upload the unsaved project
    QTest::mouseClick(upload, Qt::LeftButton);
    QVERIFY(!page->send_Config_CheckBox()->isEnabled());
    CORVANE_TRY_VERIFY(deviceCodes(form).count(14) == 2, kDeadline);
    QVERIFY(page->send_Config_CheckBox()->isEnabled());
    QVERIFY(page->send_Image_CheckBox()->isEnabled());
    QVERIFY(upload->isEnabled());
}

void TestDeviceWindow::firmwareWindowShowsTheController_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootLoader");
    QTest::addColumn<int>("fwVersion");
    QTest::addColumn<QString>("modelText");
    QTest::addColumn<QString>("rcText");
    QTest::addColumn<QString>("availableText");
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("first model 104") << 0 << false << 104 << "Corvane (KTRA1)"
                                     << "PN5813 v1.04"
                                     << "PN5813 v2.01" << QList<int>{29, 12, 22, 23, 24, 13, 13};
    QTest::newRow("RTC boot loader 5831") << 1 << true << 201 << "Corvane-RTC (KTRA2)"
                                          << "PN5831 v1.00"
                                          << "PN5827 v2.01" << QList<int>{29, 12, 22, 23, 24, 13, 13};
}

void TestDeviceWindow::firmwareWindowShowsTheController()
{
    QFETCH(int, model);
    QFETCH(bool, bootLoader);
    QFETCH(int, fwVersion);
    QFETCH(QString, modelText);
    QFETCH(QString, rcText);
    QFETCH(QString, availableText);
    QFETCH(QList<int>, codes);
    SimOptions o;
    o.model = model;
    o.bootLoader = bootLoader;
    o.fwVersion = quint16(fwVersion);
    DeviceWindow w(m_dir.filePath(QStringLiteral("fw.cvp")), o);
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    QTest::mouseClick(form.fw_upg_Button(), Qt::LeftButton);
    Tfw_upg_Form* fw = form.firmwareWindow();
    CORVANE_TRY_VERIFY(fw->isVisible(), kDeadline);
    QCOMPARE(fw->model_info_Label()->text(), modelText);
    QCOMPARE(fw->rc_fwver_Label()->text(), rcText);
    QCOMPARE(fw->available_fwver_Label()->text(), availableText);
    QVERIFY(!fw->wrong_software_Label()->isVisible());
    // Only this model's history is offered, to the eye and to screen readers.
    const QString history
        = model == 0 ? QStringLiteral("Version History (Corvane)") : QStringLiteral("Version History (Corvane-RTC)");
    QStringList tabs;
    for (int i = 0; i < fw->PageControl1()->count(); ++i)
        if (fw->PageControl1()->isTabVisible(i))
            tabs << fw->PageControl1()->tabText(i);
    QCOMPARE(tabs, QStringList({"Upgrade", history}));
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(fw->PageControl1()->tabBar());
    QStringList announced;
    for (int i = 0; i < bar->childCount(); ++i)
        if (bar->child(i)->role() == QAccessible::PageTab && !bar->child(i)->state().invisible)
            announced << bar->child(i)->text(QAccessible::Name);
    QCOMPARE(announced, QStringList({"Upgrade", history}));
    QCOMPARE(fw->PageControl1()->currentIndex(), 0);
    QVERIFY(fw->upgrade_Button()->isEnabled());
    screenshot(fw, QStringLiteral("firmware_window_%1.png").arg(model));

    QTest::mouseClick(fw->upgrade_Button(), Qt::LeftButton);
    QVERIFY(!fw->upgrade_Button()->isEnabled());
    QVERIFY(fw->upgrade_in_progress);
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    // Done: the connection closed under the open window, which says so, with
    // the version the controller runs now, and offers to close. "Upgrade"
    // would only fail on the closed link.
    QVERIFY(fw->isVisible());
    QVERIFY(!fw->upgrade_Button()->isEnabled());
    QVERIFY(!fw->upgrade_in_progress);
    QCOMPARE(fw->upgrade_ProgressBar()->value(), 266240);
    QVERIFY(fw->finishedLabel()->isVisible());
    QVERIFY2(fw->finishedLabel()->text().contains(availableText), qPrintable(fw->finishedLabel()->text()));
    QCOMPARE(fw->cancel_Button()->text(), QStringLiteral("Close"));
    screenshot(fw, QStringLiteral("firmware_finished_%1.png").arg(model));
    QCOMPARE(w.sim->memory(0x37000, 266240).size(), 266240);
    QTest::mouseClick(fw->cancel_Button(), Qt::LeftButton);
    QVERIFY(!fw->isVisible());
    CORVANE_TRY_COMPARE(deviceCodes(form), codes, kDeadline);
    QVERIFY(form.fw_upg_Button()->isEnabled());
}

void TestDeviceWindow::cancelDuringTransferAborts()
{
    DeviceWindow w(m_dir.filePath(QStringLiteral("abort.cvp")));
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    QTest::mouseClick(form.fw_upg_Button(), Qt::LeftButton);
    Tfw_upg_Form* fw = form.firmwareWindow();
    CORVANE_TRY_VERIFY(fw->isVisible(), kDeadline);
    w.fx.prompter().enqueue(QMessageBox::Yes); // it runs the carried version already: send it anyway
    QTest::mouseClick(fw->upgrade_Button(), Qt::LeftButton);
    CORVANE_TRY_VERIFY(fw->upgrade_ProgressBar()->value() >= 20 * 512, kDeadline);

    // No: the transfer goes on. Yes: the window closes, the next block step ends it.
    w.fx.prompter().enqueue(QMessageBox::No);
    QTest::mouseClick(fw->cancel_Button(), Qt::LeftButton);
    QVERIFY(fw->isVisible());
    QCOMPARE(w.fx.prompter().questions().last().text, DeviceText::abortQuestion());
    w.fx.prompter().enqueue(QMessageBox::Yes);
    QTest::mouseClick(fw->cancel_Button(), Qt::LeftButton);
    QVERIFY(!fw->isVisible());
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    QCOMPARE(deviceCodes(form), (QList<int>{29, 12, 22, 26, 13}));
    QVERIFY(w.sim->writeCount() < 520);
    // An aborted upgrade is not reported as finished.
    QVERIFY(!fw->finishedLabel()->isVisibleTo(fw));
    QVERIFY(!form.link().comms().isOpen());
    QVERIFY(form.fw_upg_Button()->isEnabled());
}

void TestDeviceWindow::controlsAreNamedForAssistiveTools()
{
    TFormFixture fx;
    fx.newProject(m_dir.filePath(QStringLiteral("names.cvp")));
    Tbmpgen_Form& form = fx.form();
    Tfw_upg_Form* fw = form.firmwareWindow();
    auto name = [](QObject* o) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
        return a ? a->text(QAccessible::Name) : QString();
    };
    QCOMPARE(name(form.fw_upg_Button()), form.fw_upg_Button()->text());
    QCOMPARE(name(form.uploadPage()->upload_data_BitBtn()), QStringLiteral("Upload Data"));
    QCOMPARE(name(form.uploadPage()->upload_img_ProgressBar()), QStringLiteral("Upload Images progress"));
    QCOMPARE(name(form.deviceScanPanel()->device_scan_ProgressBar()), QStringLiteral("Searching for Corvane R/C....."));
    QCOMPARE(name(fw->upgrade_Button()), QStringLiteral("Upgrade"));
    QCOMPARE(name(fw->cancel_Button()), QStringLiteral("Cancel"));
    QCOMPARE(name(fw->upgrade_ProgressBar()), QStringLiteral("Upgrade progress"));
    QCOMPARE(name(fw->historyMemo(0)), QStringLiteral("Version History (Corvane)"));

    // The error state is told, not only painted.
    setProgressState(fw->upgrade_ProgressBar(), 10, 10, true);
    QCOMPARE(QAccessible::queryAccessibleInterface(fw->upgrade_ProgressBar())->text(QAccessible::Description),
             QStringLiteral("error"));
    QVERIFY(progressInError(fw->upgrade_ProgressBar()));

    // History pages: sections scaled by the screen's dpi, the history text loaded.
    const int dpi = fw->logicalDpiX();
    QCOMPARE(fw->headerControl(0)->sectionSize(0), 97 * dpi / 96);
    QCOMPARE(fw->headerControl(1)->sectionSize(2), 440 * dpi / 96);
    QVERIFY(!fw->historyMemo(0)->toPlainText().isEmpty());
    QVERIFY(fw->historyMemo(0)->isReadOnly());
    QCOMPARE(fw->historyMemo(1)->document()->defaultTextOption().tabs().size(), 6);
    QCOMPARE(Tfw_upg_Form::historyTabStops(96), (QList<int>{24, 48, 72, 80, 88, 96}));
    QCOMPARE(Tfw_upg_Form::historyTabStops(120), (QList<int>{24, 52, 80, 88, 96, 104}));
}

void TestDeviceWindow::lostControllerDuringUpload_data()
{
    QTest::addColumn<bool>("images");
    QTest::addColumn<int>("vanishAt");
    // Frame 1 is the identification; the configuration takes frames 2 to 4.
    QTest::newRow("during the configuration") << false << 3;
    QTest::newRow("during the images") << true << 6;
}

void TestDeviceWindow::lostControllerDuringUpload()
{
    QFETCH(bool, images);
    QFETCH(int, vanishAt);
    SimOptions o;
    o.vanishAfter = vanishAt;
    DeviceWindow w(m_dir.filePath(QStringLiteral("lost.cvp")), o);
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    const THandle_object& backgrounds = *form.document().images().at(kBackgroundsIdx);
    w.fx.addImage(kBackgroundsIdx, QStringLiteral("SKY"),
                  pngBytes(backgrounds.width, backgrounds.height, qRgb(9, 90, 200)));
    w.fx.trigger("save_project_MenuItem");
    TUploadDataPage* page = form.uploadPage();
    if (!images)
        page->send_Image_CheckBox()->click();
    QLabel* status = form.projectStatusBar()->sparePanel();
    QString statusWhileConnected;
    w.fx.prompter().onAsk = [&] { statusWhileConnected = status->text(); };

    QTest::mouseClick(page->upload_data_BitBtn(), Qt::LeftButton);
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);

    // One box, that says the link is gone and what the controller may hold
    // now, with nothing to retry on a link that is not there.
    QCOMPARE(w.fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question q = w.fx.prompter().questions().constFirst();
    const QString failure = images ? DeviceText::imageWriteError() : DeviceText::configWriteError();
    QVERIFY2(q.text.startsWith(failure + QStringLiteral("\r\r")), qPrintable(q.text));
    QVERIFY2(q.text.contains(w.sim->portName() + QStringLiteral(" was lost")), qPrintable(q.text));
    QVERIFY2(q.text.contains(QStringLiteral("partial")), qPrintable(q.text));
    QCOMPARE(q.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY2(deviceCodes(form).mid(deviceCodes(form).size() - 2) == QList<int>({11, 13}), qPrintable(logText(form)));
    QTableWidget* grid = form.activityLog()->grid();
    const QString info = grid->item(grid->rowCount() - 2, 3)->text();
    QVERIFY2(info.startsWith(images ? QStringLiteral("(1) Image data") : QStringLiteral("(1) Configuration data")),
             qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("connection lost")), qPrintable(info));
    // The status bar named the port while connected and says it is lost now.
    QCOMPARE(statusWhileConnected, QStringLiteral("Connected to R/C on ") + w.sim->portName());
    QCOMPARE(status->text(), QStringLiteral("Connection to R/C on ") + w.sim->portName() + QStringLiteral(" lost"));
    QVERIFY(progressInError(images ? page->upload_img_ProgressBar() : page->upload_config_ProgressBar()));
    QVERIFY(!form.link().comms().isOpen());
    QVERIFY(page->send_Config_CheckBox()->isEnabled());
    QVERIFY(page->upload_data_BitBtn()->isEnabled());
    QVERIFY(form.configurationPage()->retrieve_cfg_Button()->isEnabled());
}

void TestDeviceWindow::retrieveFromBlankControllerIsExplained()
{
    DeviceWindow w(m_dir.filePath(QStringLiteral("blank.cvp"))); // a controller never configured
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    w.fx.trigger("save_project_MenuItem");
    const QByteArray before = fileBytes(form.document().projectPath());
    QTest::mouseClick(form.configurationPage()->retrieve_cfg_Button(), Qt::LeftButton);
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    QCOMPARE(deviceCodes(form), (QList<int>{29, 12, 9, 13}));
    QCOMPARE(w.fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question q = w.fx.prompter().questions().constFirst();
    QCOMPARE(q.text, DeviceText::retrieveCorrupt());
    QVERIFY(q.text.contains(QStringLiteral("Config data corrupt")));
    QCOMPARE(q.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!form.document().isModified());
    w.fx.trigger("save_project_MenuItem");
    QVERIFY(fileBytes(form.document().projectPath()) == before);
}

void TestDeviceWindow::retrieveOverEditsAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("retrieved");
    QTest::newRow("no keeps the edits") << int(QMessageBox::No) << false;
    QTest::newRow("yes retrieves") << int(QMessageBox::Yes) << true;
}

void TestDeviceWindow::retrieveOverEditsAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, retrieved);
    TDevice_Config_v2 onController = newProjectConfig();
    writeServiceText(QStringLiteral("From the wall"), onController);
    SimOptions o;
    o.initialConfig = controllerBlock(onController);
    DeviceWindow w(m_dir.filePath(QStringLiteral("edited.cvp")), o);
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    w.fx.trigger("save_project_MenuItem");
    QCheckBox* frost = form.findChild<QCheckBox*>(QStringLiteral("frost_protection_CheckBox"));
    QVERIFY(frost);
    const bool edited = !frost->isChecked();
    frost->click();
    QVERIFY(form.document().isModified());
    const int stepsBefore = int(form.document().undoStack().count());
    w.fx.prompter().enqueue(QMessageBox::StandardButton(answer));

    QTest::mouseClick(form.configurationPage()->retrieve_cfg_Button(), Qt::LeftButton);

    QCOMPARE(w.fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question q = w.fx.prompter().questions().constFirst();
    QCOMPARE(q.text, Tbmpgen_Form::retrieveQuestion());
    QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(q.defaultButton, QMessageBox::No);
    if (!retrieved) {
        QVERIFY(deviceCodes(form).isEmpty());
        QCOMPARE(frost->isChecked(), edited);
        return;
    }
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    QCOMPARE(form.configurationPage()->generalPage()->serviceText(), QStringLiteral("From the wall"));
    // The retrieve is one more step: undo gives the edit back.
    QCOMPARE(int(form.document().undoStack().count()), stepsBefore + 1);
    w.fx.trigger("undo_MenuItem");
    QCOMPARE(frost->isChecked(), edited);
    QVERIFY(form.configurationPage()->generalPage()->serviceText() != QStringLiteral("From the wall"));
}

void TestDeviceWindow::firmwareCommandIsInAMenuAndInTabReach()
{
    DeviceWindow w(m_dir.filePath(QStringLiteral("menu.cvp")));
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Without a window manager nothing activates a window but the program.
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowActive(&form))
        QSKIP("no window manager here to make the window active (keys go to the active window)");
    QAction* item = w.fx.action("fw_upg_MenuItem");
    QVERIFY(item);
    QVERIFY(!item->shortcut().isEmpty());
    QMenu* menu = qobject_cast<QMenu*>(item->parent());
    QVERIFY(menu && menu->objectName() == QStringLiteral("device_MenuItem"));

    // Tab from the pages reaches the button in the menu bar's corner.
    form.configurationPage()->retrieve_cfg_Button()->setFocus();
    bool reached = false;
    for (int i = 0; i < 200 && !reached; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached = QApplication::focusWidget() == form.fw_upg_Button();
    }
    QVERIFY(reached);

    // The shortcut runs the command as the button does.
    QTest::keySequence(&form, item->shortcut());
    Tfw_upg_Form* fw = form.firmwareWindow();
    CORVANE_TRY_VERIFY(fw->isVisible(), kDeadline);
    QCOMPARE(deviceCodes(form).value(0), 29);
    QTest::mouseClick(fw->cancel_Button(), Qt::LeftButton);
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    // While a device operation runs, or without a project for the project's
    // own commands, the menu offers nothing it cannot do.
    w.fx.prompter().enqueue(QMessageBox::Discard);
    w.fx.trigger("close_project_MenuItem");
    emit menu->aboutToShow();
    QVERIFY(item->isEnabled());
    QVERIFY(!w.fx.action("retrieve_cfg_MenuItem")->isEnabled());
    QVERIFY(!w.fx.action("upload_data_MenuItem")->isEnabled());
}

void TestDeviceWindow::sameFirmwareVersionAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("sent");
    QTest::newRow("no sends nothing") << int(QMessageBox::No) << false;
    QTest::newRow("yes sends it again") << int(QMessageBox::Yes) << true;
}

void TestDeviceWindow::sameFirmwareVersionAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, sent);
    DeviceWindow w(m_dir.filePath(QStringLiteral("same.cvp"))); // runs 2.01, as carried
    QVERIFY(w.started);
    Tbmpgen_Form& form = w.fx.form();
    QTest::mouseClick(form.fw_upg_Button(), Qt::LeftButton);
    Tfw_upg_Form* fw = form.firmwareWindow();
    CORVANE_TRY_VERIFY(fw->isVisible(), kDeadline);
    const int writesBefore = w.sim->writeCount();
    w.fx.prompter().enqueue(QMessageBox::StandardButton(answer));
    QTest::mouseClick(fw->upgrade_Button(), Qt::LeftButton);
    QCOMPARE(w.fx.prompter().questions().size(), 1);
    const TScriptedPrompter::Question q = w.fx.prompter().questions().constFirst();
    QCOMPARE(q.text, Tfw_upg_Form::sameVersionQuestion(QStringLiteral("v2.01")));
    QCOMPARE(q.defaultButton, QMessageBox::No);
    if (!sent) {
        QVERIFY(fw->upgrade_Button()->isEnabled());
        QVERIFY(!fw->upgrade_in_progress);
        Delay_With_Messages(200);
        QCOMPARE(w.sim->writeCount(), writesBefore);
        QVERIFY(!deviceCodes(form).contains(22));
        QTest::mouseClick(fw->cancel_Button(), Qt::LeftButton);
        CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
        return;
    }
    CORVANE_TRY_VERIFY(deviceCodes(form).contains(13), kDeadline);
    QVERIFY(fw->finishedLabel()->isVisible());
    QTest::mouseClick(fw->cancel_Button(), Qt::LeftButton);
    QVERIFY(!fw->isVisible());
}
