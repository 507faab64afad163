#include "ui/app/Tbmpgen_Form.h"
#include "ui/app/UserGuide.h"

#include "core/commissioning/TCommissioningRecorder.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/TMsgList.h"
#include "core/resources/CarriedData.h"
#include "ui/app/TActivityLogPanel.h"
#include "ui/app/TClipboardActions.h"
#include "ui/app/TCommissionLauncher.h"
#include "ui/app/TCommissioningLogWindow.h"
#include "ui/app/TEditHistory.h"
#include "ui/app/TErrorReport.h"
#include "ui/app/TFileDialogs.h"
#include "ui/app/TFileMenuExtras.h"
#include "ui/app/TNoProjectView.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/app/WindowLayout.h"
#include "ui/common/PictureIcon.h"
#include "ui/common/TDM_images.h"
#include "ui/common/gen_lib.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/config_editor/TGeneralPage.h"
#include "ui/device/TDeviceScanPanel.h"
#include "ui/device/TUploadDataPage.h"
#include "ui/device/TWindowDeviceHost.h"
#include "ui/device/Tfw_upg_Form.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"
#include "ui/scheduler/TSchedulerPage.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

Tbmpgen_Form::Tbmpgen_Form(std::unique_ptr<TFileDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent)
    , m_document(new TProjectDocument(this))
    , m_link(std::make_unique<TControllerLink>())
    , m_fileDialogs(dialogs ? std::move(dialogs) : std::make_unique<TQtFileDialogs>())
{
    setObjectName(QStringLiteral("bmpgen_Form"));
    m_queue = new TMsgList(this);
    m_commands = new TProjectCommands(*m_document, *this, *m_fileDialogs, this);
    buildLayout();
    buildMenus();
    buildDeviceOperations();
    new TFileMenuExtras(*this, menuBar()->findChild<QMenu*>(QStringLiteral("file_MenuItem")));
    connect(m_document, &TProjectDocument::modifiedChanged, m_statusPanels, &TProjectStatusBar::showModified);
    // Every page, the scheduler's editors included, edits through the
    // document's edit scope.
    m_configPage->setRecordEditor(
        [this](const TConfigEditorPage::RecordChange& change) { m_document->edit(QString(), change); });
    connect(m_configPage, &TConfigurationPage::changeNamed, m_document, &TProjectDocument::nameNextChange);
    buildEditHistory();
    buildDeviceMenu();
    m_commissionLauncher = new TCommissionLauncher(*this, m_deviceMenu);

    m_dpiLabel->setText(QStringLiteral("App dpi=%1dpi, screen dpi = %2dpi")
                            .arg(logicalDpiX())
                            .arg(screen() ? int(screen()->logicalDotsPerInch()) : logicalDpiX()));
    updateCaption();
    m_document->Set_Modified(false);
    showProjectState(false);
    enableProjectCommands(false);

    m_link->PC_Cfg_PartNo = Read_Resource_Word(QStringLiteral("FW_PARTNO"));
    m_link->PC_Cfg_FW_Ver = Read_Resource_Word(QStringLiteral("FW_VER"));
    m_fwUpgradeButton->setText(firmwareButtonCaption(m_link->PC_Cfg_FW_Ver));

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    // Room for the configuration pages and a few log rows from the first start.
    resize(1024, 720);
}

Tbmpgen_Form::~Tbmpgen_Form()
{
    // Whatever is left of the project goes before the queue and the log; the
    // queue drops any message still waiting when it is destroyed.
    tearDownProject();
    // The steps go before the host they talk to.
    delete m_deviceOps;
    m_deviceOps = nullptr;
}

void Tbmpgen_Form::buildDeviceOperations()
{
    m_scanPanel = new TDeviceScanPanel(this);
    TDeviceControls controls;
    controls.view = this;
    controls.Project_Panel = m_projectPanel;
    controls.retrieve_cfg_Button = m_configPage->retrieve_cfg_Button();
    controls.fw_upg_Button = m_fwUpgradeButton;
    controls.uploadPage = m_uploadPage;
    controls.device_scan_Panel = m_scanPanel;
    controls.link = m_link.get();
    controls.showLinkState
        = [this](const QString& state) { m_statusPanels->showNote(state.isEmpty() ? m_portNote : state); };
    m_deviceHost = std::make_unique<TWindowDeviceHost>(controls);
    m_recorder = std::make_unique<TCommissioningRecorder>(*m_document);
    // The steps are window messages on this window's queue, posted to the
    // operations themselves.
    m_deviceOps = new TDeviceOperations(*m_document, *m_link, *m_queue, *m_deviceHost, this);
    connect(m_deviceOps, &TDeviceOperations::finished, this,
            [this](const DeviceOperationResult& result) { m_recorder->record(result); });
    connect(m_configPage->retrieve_cfg_Button(), &QPushButton::clicked, this, [this] {
        // The retrieve replaces every setting; edits not saved yet are asked
        // about first (Undo still takes the retrieve back).
        if (m_document->isModified()
            && Show_Message_Box_Ex(retrieveQuestion(), TMsgDlgType::MtConfirmation, QMessageBox::Yes | QMessageBox::No,
                                   QMessageBox::No)
                != QMessageBox::Yes)
            return;
        m_deviceOps->retrieve_cfg_ButtonClick();
    });
    connect(m_fwUpgradeButton, &QPushButton::clicked, this, [this] {
        firmwareWindow();
        m_deviceOps->fw_upg_ButtonClick();
    });
    connect(m_uploadPage->upload_data_BitBtn(), &QPushButton::clicked, this,
            [this] { m_deviceOps->upload_data_BitBtnClick(); });
}

void Tbmpgen_Form::setFirmwareWindow(Tfw_upg_Form* form)
{
    m_deviceHost->setFirmwareWindow(form);
    if (form)
        form->setOperations(m_deviceOps, m_link.get());
}

Tfw_upg_Form* Tbmpgen_Form::firmwareWindow()
{
    if (!m_deviceHost->firmwareWindow())
        setFirmwareWindow(new Tfw_upg_Form(this));
    return m_deviceHost->firmwareWindow();
}

QString Tbmpgen_Form::quitQuestion()
{
    return QStringLiteral("The current project has been modified.      \rQuit without saving?      ");
}

bool Tbmpgen_Form::deviceCommandAvailable(const QPushButton* button) const
{
    return isEnabled() && button->isEnabled() && button->isVisibleTo(this);
}

QString Tbmpgen_Form::retrieveQuestion()
{
    return QStringLiteral("The current project has been modified.      \rRetrieving the configuration replaces its "
                          "settings with the controller's (Edit, Undo takes them back).      \rContinue?      ");
}

void Tbmpgen_Form::buildDeviceMenu()
{
    // Every device command is also where a keyboard user looks for it, with
    // the button's own enabled state deciding whether it runs.
    QMenu* device = new QMenu(QStringLiteral("&Device"), menuBar());
    device->setObjectName(QStringLiteral("device_MenuItem"));
    const struct {
        const char* name;
        QString text;
        QPushButton* button;
        QKeySequence key;
    } items[] = {
        {"retrieve_cfg_MenuItem", QStringLiteral("&Retrieve Configuration"), m_configPage->retrieve_cfg_Button(),
         QKeySequence()},
        {"upload_data_MenuItem", QStringLiteral("&Upload Data"), m_uploadPage->upload_data_BitBtn(), QKeySequence()},
        {"fw_upg_MenuItem", QStringLiteral("&Firmware Upgrade..."), m_fwUpgradeButton,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)},
    };
    QList<QPair<QAction*, QPushButton*>> pairs;
    for (const auto& item : items) {
        QAction* a = device->addAction(item.text);
        a->setObjectName(QString::fromLatin1(item.name));
        a->setShortcut(item.key);
        QPushButton* button = item.button;
        connect(a, &QAction::triggered, button, [this, button] {
            if (deviceCommandAvailable(button))
                button->click();
        });
        pairs << qMakePair(a, button);
    }
    // Greyed exactly when the button cannot be pressed (a project's buttons
    // are hidden, not disabled, while no project is open).
    connect(device, &QMenu::aboutToShow, this, [this, pairs] {
        for (const auto& p : pairs)
            p.first->setEnabled(deviceCommandAvailable(p.second));
    });
    QAction* before = nullptr;
    for (QAction* action : menuBar()->actions())
        if (action->menu() && action->menu()->objectName() == QStringLiteral("help_MenuItem"))
            before = action;
    menuBar()->insertMenu(before, device);
    m_deviceMenu = device;
}

QString Tbmpgen_Form::firmwareButtonCaption(quint16 version)
{
    return QString::asprintf("Firmware Upgrade (v%d.%02d)", version / 100, version % 100);
}

void Tbmpgen_Form::buildLayout()
{
    m_configPage = new TConfigurationPage(m_document->record(), m_document->images());
    m_configPage->setSchedulerPage(new TSchedulerPage(m_document->record()));
    m_imagesPage = new TImagesPage(*m_document);
    connect(m_imagesPage, &TImagesPage::logActivity, this,
            [this](int code, const QString& info) { Log_Activity(code, info); });
    m_uploadPage = new TUploadDataPage;
    m_projectPages = new QTabWidget;
    m_projectPages->setObjectName(QStringLiteral("project_PageControl"));
    m_projectPages->addTab(m_configPage, QStringLiteral("Configuration"));
    m_projectPages->addTab(m_imagesPage, QStringLiteral("Images"));
    m_projectPages->addTab(m_uploadPage, QStringLiteral("Upload Data"));
    // The group pictures: Configuration, Images, Upload Data, then the
    // Retrieve Configuration and Firmware Upgrade buttons.
    const QStringList groups = TDM_imagestore::cfgGroupNames();
    auto groupIcon = [&groups](int i) { return i < groups.size() ? pictureIcon(groups.at(i)) : QIcon(); };
    for (int i = 0; i < m_projectPages->count(); ++i)
        m_projectPages->setTabIcon(i, groupIcon(i));
    m_projectPages->setIconSize(QSize(20, 20));

    m_noProjectView = new TNoProjectView;
    m_projectStack = new QStackedWidget;
    m_projectStack->setObjectName(QStringLiteral("project_Stack"));
    m_projectStack->addWidget(m_noProjectView);
    m_projectStack->addWidget(m_projectPages);

    m_projectPanel = new QWidget;
    m_projectPanel->setObjectName(QStringLiteral("Project_Panel"));
    auto* projectLayout = new QVBoxLayout(m_projectPanel);
    projectLayout->setContentsMargins(0, 0, 0, 0);
    projectLayout->addWidget(m_projectStack);

    // The firmware upgrade needs no project, so its button stays outside the
    // project area.
    m_fwUpgradeButton = new QPushButton;
    m_fwUpgradeButton->setObjectName(QStringLiteral("fw_upg_Button"));
    m_fwUpgradeButton->setIcon(groupIcon(4));
    m_configPage->retrieve_cfg_Button()->setIcon(groupIcon(3));
    m_uploadPage->upload_data_BitBtn()->setIcon(groupIcon(2));
    m_uploadPage->upload_data_BitBtn()->setIconSize(QSize(32, 32));
    m_dpiLabel = new QLabel;
    m_dpiLabel->setObjectName(QStringLiteral("dpi_Label"));
    m_dpiLabel->hide();

    auto* upper = new QWidget;
    upper->setObjectName(QStringLiteral("upper_Panel"));
    auto* upperLayout = new QHBoxLayout(upper);
    upperLayout->setContentsMargins(4, 4, 4, 0);
    upperLayout->addWidget(m_projectPanel, 1);
    upperLayout->addWidget(m_dpiLabel);
    // In the menu bar's corner the button is always in reach, with or
    // without a project, and takes no width from the pages.
    placeCornerButton(menuBar(), m_fwUpgradeButton);

    m_activityLog = new TActivityLogPanel;
    m_splitter = new QSplitter(Qt::Vertical);
    m_splitter->setObjectName(QStringLiteral("log_Splitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(upper);
    m_splitter->addWidget(m_activityLog);
    // The log keeps its height when the window is resized; the project area
    // takes the difference. Were the log to grow with the window, its top
    // (and with it the minimum height below) would follow, and a window once
    // made taller could never be made smaller again.
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setSizes({1, defaultLogHeight(m_activityLog)});
    setCentralWidget(m_splitter);

    m_statusPanels = new TProjectStatusBar;
    setStatusBar(m_statusPanels);
    m_statusPanels->addPermanentWidget(m_imagesPage->importProgress());
}

void Tbmpgen_Form::buildMenus()
{
    auto add = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file_MenuItem"));
    connect(add(file, "new_project_MenuItem", QStringLiteral("&New Project")), &QAction::triggered, m_commands,
            &TProjectCommands::newProject);
    connect(add(file, "open_project_MenuItem", QStringLiteral("&Open Project")), &QAction::triggered, m_commands,
            &TProjectCommands::openProject);
    file->addSeparator();
    m_saveAction = add(file, "save_project_MenuItem", QStringLiteral("&Save Project"));
    connect(m_saveAction, &QAction::triggered, m_commands, &TProjectCommands::saveProjectCommand);
    m_saveAsAction = add(file, "save_project_as_MenuItem", QStringLiteral("Save Project &As..."));
    connect(m_saveAsAction, &QAction::triggered, m_commands, &TProjectCommands::saveProjectAs);
    m_closeAction = add(file, "close_project_MenuItem", QStringLiteral("&Close Project"));
    connect(m_closeAction, &QAction::triggered, m_commands, &TProjectCommands::closeProject);
    file->addSeparator();
    connect(add(file, "exit_MenuItem", QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("help_MenuItem"));
    connect(add(help, "user_guide_MenuItem", QStringLiteral("User &Guide")), &QAction::triggered, this,
            [] { openUserGuide(); });
    connect(add(help, "useful_info_MenuItem", QStringLiteral("&Useful Information")), &QAction::triggered, this,
            [this] {
                if (m_informationWindow)
                    m_informationWindow->exec();
            });
    connect(add(help, "commissioning_log_MenuItem", QStringLiteral("&Commissioning Log...")), &QAction::triggered, this,
            [this] { TCommissioningLogWindow::showFor(this, m_recorder ? m_recorder->logPath() : QString()); });
    help->addSeparator();
    connect(add(help, "about_MenuItem", QStringLiteral("&About...")), &QAction::triggered, this, [this] {
        if (m_aboutWindow)
            m_aboutWindow->exec();
    });
}

void Tbmpgen_Form::buildEditHistory()
{
    m_editHistory = new TEditHistory({m_document, m_configPage, m_imagesPage, m_projectPanel, this}, this);
    QMenu* edit = m_editHistory->buildEditMenu(menuBar());
    new TClipboardActions(edit, "history_MenuItem", this);
}

void Tbmpgen_Form::setCommissioningLog(const QString& path)
{
    if (m_recorder)
        m_recorder->setLogPath(path);
}

QString Tbmpgen_Form::commissioningLog() const
{
    return m_recorder ? m_recorder->logPath() : QString();
}

void Tbmpgen_Form::setHelpWindows(QDialog* information, QDialog* about)
{
    m_informationWindow = information;
    m_aboutWindow = about;
}

TProjectTreePanel* Tbmpgen_Form::treePanel() const
{
    return m_imagesPage->treePanel();
}

QWidget* Tbmpgen_Form::noProjectView() const
{
    return m_noProjectView;
}

void Tbmpgen_Form::Show_Project_Path(const QString& path)
{
    m_statusPanels->Show_Project_Path(path);
}

void Tbmpgen_Form::Log_Activity(int code, const QString& info)
{
    m_activityLog->Log_Activity(code, info);
}

void Tbmpgen_Form::logError(const QString& description, const QString& info)
{
    m_activityLog->logEntry(QStringLiteral("!"), description, info);
}

void Tbmpgen_Form::msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam)
{
    m_queue->msgList_Post(window, msg, wParam, lParam);
}

void Tbmpgen_Form::Show_Project()
{
    m_commands->Show_Project();
}

void Tbmpgen_Form::Clear_Project()
{
    m_commands->Clear_Project();
}

void Tbmpgen_Form::updateCaption()
{
    // "[*]" is where the title bar shows the modified marker; a "[*]" in the
    // project's own name is doubled so it is shown as written.
    QString name = m_document->projectName();
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(m_document->projectPath().isEmpty()
                       ? QStringLiteral(" ") + captionBase() + QStringLiteral("[*]")
                       : QStringLiteral(" ") + name + QStringLiteral("[*] - ") + captionBase());
}

void Tbmpgen_Form::showProjectState(bool projectOpen)
{
    m_projectStack->setCurrentWidget(projectOpen ? static_cast<QWidget*>(m_projectPages)
                                                 : static_cast<QWidget*>(m_noProjectView));
}

void Tbmpgen_Form::enableProjectCommands(bool enabled)
{
    m_saveAction->setEnabled(enabled);
    m_saveAsAction->setEnabled(enabled);
    m_closeAction->setEnabled(enabled);
}

void Tbmpgen_Form::selectConfigurationPage()
{
    m_projectPages->setCurrentWidget(m_configPage);
    m_configPage->selectFirstSubPage();
}

void Tbmpgen_Form::selectTreeTopNode()
{
    QTreeWidget* tree = treePanel()->Project_TreeView();
    if (m_document->images().empty() || tree->topLevelItemCount() == 0)
        return;
    tree->setCurrentItem(tree->topLevelItem(0));
    if (m_projectPages->currentWidget() == m_imagesPage)
        tree->setFocus();
}

void Tbmpgen_Form::buildTree(const THandleList& list)
{
    m_imagesPage->rebuildTree(list);
}

void Tbmpgen_Form::clearTree()
{
    m_imagesPage->clear();
}

void Tbmpgen_Form::showDragLabel()
{
    m_imagesPage->showDragLabel();
}

void Tbmpgen_Form::Show_Device_Config(const TDevice_Config_v2& config)
{
    m_configPage->Show_Device_Config(config);
}

void Tbmpgen_Form::Update_Memory_Chart()
{
    m_imagesPage->Update_Memory_Chart();
}

void Tbmpgen_Form::tickUploadBoxes()
{
    m_uploadPage->tickBoth();
}

QString Tbmpgen_Form::serviceText() const
{
    return m_configPage->generalPage()->serviceText();
}

void Tbmpgen_Form::setExplicitPorts(const QStringList& ports, const QString& note)
{
    m_link->explicitPorts = ports;
    setPortNote(note);
}

void Tbmpgen_Form::setPortNote(const QString& note)
{
    m_portNote = note;
    m_statusPanels->showNote(note);
}

void Tbmpgen_Form::tearDownProject()
{
    if (m_document->images().empty())
        return;
    const auto closing = m_document->closingScope();
    try {
        m_commands->Clear_Project();
    } catch (const std::exception& error) {
        reportTeardownException(error);
    }
}

void Tbmpgen_Form::closeEvent(QCloseEvent* event)
{
    // Disabled only while the splash is up: closing then would leave the
    // start-up to finish with no window, and the program running unseen.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    if (!m_commands->changesSettled(quitQuestion())) {
        event->ignore();
        return;
    }
    tearDownProject();
    event->accept();
}

void Tbmpgen_Form::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The scan panel floats over the middle of the window, where the eye is
    // after pressing a device button, not over the tabs.
    TWindowDeviceHost::centreScanPanel(m_scanPanel);
    // The activity log always keeps room for a few rows. Its top is taken
    // where it would be with the project area at its smallest: measured where
    // it is now, the minimum would equal almost the current height, and a
    // maximised or enlarged window could not be made smaller again.
    const QWidget* upper = m_splitter->widget(0);
    const int upperSlack = qMax(0, upper->height() - upper->minimumSizeHint().height());
    const int logTop = m_activityLog->mapTo(this, QPoint(0, 0)).y() - upperSlack;
    const int wanted = qMax(kMinimumHeight, 130 * logicalDpiY() / 96 + m_statusPanels->height() + logTop);
    // Never taller than the screen leaves room for (a small screen at a
    // large scale): the pages scroll there rather than the window running
    // off the screen.
    setMinimumHeight(qMin(wanted, screenRoom(this).height()));
}
