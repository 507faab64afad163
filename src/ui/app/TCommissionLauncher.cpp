#include "ui/app/TCommissionLauncher.h"

#include "core/commissioning/TCommissioningRecorder.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/commissioning/CommissionWorkerProgram.h"
#include "ui/commissioning/TCommissionWindow.h"
#include "ui/common/gen_lib.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/device/TUploadDataPage.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {
constexpr int kStopOnQuitMs = 30000;
}

TCommissionLauncher::TCommissionLauncher(Tbmpgen_Form& form, QMenu* deviceMenu) : QObject(&form), m_form(form)
{
    m_action = deviceMenu->addAction(QStringLiteral("&Commission..."));
    m_action->setObjectName(QStringLiteral("commission_MenuItem"));
    connect(m_action, &QAction::triggered, this, [this] { showWindow(); });
    connect(form.uploadPage()->commissionButton(), &QPushButton::clicked, this, [this] { showWindow(); });
    form.installEventFilter(this);
}

QString TCommissionLauncher::busyNote()
{
    return QStringLiteral("Commissioning: the project cannot change until the run has ended");
}

QString TCommissionLauncher::saveQuestion()
{
    return QStringLiteral("The project has changes that are not saved.      \rSave it and commission the saved "
                          "project?      ");
}

TCommissionWindow* TCommissionLauncher::commissionWindow()
{
    if (!m_window) {
        TCommissionSetup setup;
        if (m_workerProgram.isEmpty())
            setup.workerProgram = commissionWorkerProgram(QCoreApplication::applicationDirPath(), &setup.workerError);
        else
            setup.workerProgram = m_workerProgram;
        setup.logPath = [this] { return m_form.commissioningLog(); };
        setup.placeholderFirmwarePorts = [this] { return m_form.deviceOperations()->placeholderFirmwarePorts(); };
        setup.busyReason = [this] {
            return m_form.deviceOperations()->isBusy()
                ? QStringLiteral("Another device operation is running: start when it has ended.")
                : QString();
        };
        setup.projectFile = [this](QString* error) {
            const TProjectDocument& document = m_form.document();
            if (document.images().empty()) {
                *error = QStringLiteral("No project is open.");
                return QString();
            }
            // The log names the project file and its hash: what is sent is
            // the file as saved, never edits only the window holds.
            if (document.isModified()) {
                if (Show_Message_Box_Ex(saveQuestion(), TMsgDlgType::MtConfirmation, QMessageBox::Yes | QMessageBox::No,
                                        QMessageBox::Yes)
                        != QMessageBox::Yes
                    || !m_form.commands()->saveCurrent()) {
                    *error = QStringLiteral("Nothing was sent: the project has to be saved first.");
                    return QString();
                }
            }
            return document.projectPath();
        };
        m_window = new TCommissionWindow(std::move(setup), &m_form);
        for (const QString& port : m_form.link().explicitPorts)
            m_window->addPort(port);
        connect(m_window, &TCommissionWindow::runningChanged, this, &TCommissionLauncher::setRunning);
    }
    return m_window;
}

TCommissionWindow* TCommissionLauncher::showWindow()
{
    commissionWindow();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window;
}

void TCommissionLauncher::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    // The busy state of an upload: the project area (and with it the edits
    // and undo) and the device buttons.
    if (QWidget* area = m_form.findChild<QWidget*>(QStringLiteral("Project_Panel")))
        area->setEnabled(!running);
    m_form.configurationPage()->retrieve_cfg_Button()->setEnabled(!running);
    m_form.fw_upg_Button()->setEnabled(!running);
    m_form.uploadPage()->enableUploadButton(!running);
    m_form.uploadPage()->enableBoxes(!running);
    // And the project commands: no other project may be opened, nor this one
    // saved elsewhere or closed, under a run.
    if (running) {
        m_commands.clear();
        if (auto* file = m_form.menuBar()->findChild<QMenu*>(QStringLiteral("file_MenuItem"))) {
            for (QAction* a : file->actions()) {
                if (a->isSeparator() || a->objectName() == QLatin1String("exit_MenuItem"))
                    continue;
                m_commands.emplace_back(a, a->isEnabled());
                a->setEnabled(false);
            }
        }
        m_form.projectStatusBar()->showNote(busyNote());
    } else {
        for (const auto& [action, enabled] : m_commands)
            if (action)
                action->setEnabled(enabled);
        m_commands.clear();
        m_form.setPortNote(m_form.portNote());
    }
}

bool TCommissionLauncher::eventFilter(QObject* watched, QEvent* event)
{
    // Quitting under a run: each controller under way is put on record as
    // interrupted before the window goes, never left half done and unlogged.
    if (watched == &m_form && event->type() == QEvent::Close && m_window && m_window->isRunning()) {
        if (Show_Message_Box_Ex(QStringLiteral("A commissioning run is under way.      \rStop it and quit?      "),
                                TMsgDlgType::MtConfirmation, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes) {
            event->ignore();
            return true;
        }
        m_window->stopAndWait(kStopOnQuitMs);
    }
    return QObject::eventFilter(watched, event);
}
