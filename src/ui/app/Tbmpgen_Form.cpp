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
    , fileDialogs(dialogs ? std::move(dialogs) : std::make_unique<TQtFileDialogs>())
{
    setObjectName(QStringLiteral("bmpgen_Form"));
    queue = new TMsgList(this);
    commands = new TProjectCommands(*m_document, *this, *fileDialogs, this);
    Build_Layout();
    Build_Menus();
    Build_Device_Operations();
    new TFileMenuExtras(*this, menuBar()->findChild<QMenu*>(QStringLiteral("file_MenuItem")));
    connect(m_document, &TProjectDocument::modifiedChanged, statusPanels, &TProjectStatusBar::Show_Modified);
    // Every page, the scheduler's editors included, edits through the
    // document's edit scope.
    configPage->setRecordEditor(
        [this](const TConfigEditorPage::RecordChange& change) { m_document->edit(QString(), change); });
    connect(configPage, &TConfigurationPage::changeNamed, m_document, &TProjectDocument::Name_Next_Change);
    Build_Edit_History();
    Build_Device_Menu();
    commissionLauncher = new TCommissionLauncher(*this, deviceMenu);

    dpiLabel->setText(QStringLiteral("App dpi=%1dpi, screen dpi = %2dpi")
                          .arg(logicalDpiX())
                          .arg(screen() ? int(screen()->logicalDotsPerInch()) : logicalDpiX()));
    updateCaption();
    m_document->Set_Modified(false);
    showProjectState(false);
    enableProjectCommands(false);

    m_link->PC_Cfg_PartNo = Read_Resource_Word(QStringLiteral("FW_PARTNO"));
    m_link->PC_Cfg_FW_Ver = Read_Resource_Word(QStringLiteral("FW_VER"));
    fwUpgradeButton->setText(Firmware_Button_Caption(m_link->PC_Cfg_FW_Ver));

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    // Room for the configuration pages and a few log rows from the first start.
    resize(1024, 720);
}

Tbmpgen_Form::~Tbmpgen_Form()
{
    // Whatever is left of the project goes before the queue and the log; the
    // queue drops any message still waiting when it is destroyed.
    Tear_Down_Project();
    // The steps go before the host they talk to.
    delete deviceOps;
    deviceOps = nullptr;
}

void Tbmpgen_Form::Build_Device_Operations()
{
    scanPanel = new TDeviceScanPanel(this);
    TDeviceControls controls;
    controls.view = this;
    controls.Project_Panel = projectPanel;
    controls.retrieve_cfg_Button = configPage->retrieve_cfg_Button();
    controls.fw_upg_Button = fwUpgradeButton;
    controls.uploadPage = uploadPage;
    controls.device_scan_Panel = scanPanel;
    controls.link = m_link.get();
    controls.showLinkState
        = [this](const QString& state) { statusPanels->Show_Note(state.isEmpty() ? m_portNote : state); };
    deviceHost = std::make_unique<TWindowDeviceHost>(controls);
    recorder = std::make_unique<TCommissioningRecorder>(*m_document);
    // The steps are window messages on this window's queue, posted to the
    // operations themselves.
    deviceOps = new TDeviceOperations(*m_document, *m_link, *queue, *deviceHost, this);
    connect(deviceOps, &TDeviceOperations::finished, this,
            [this](const DeviceOperationResult& result) { recorder->Record(result); });
    connect(configPage->retrieve_cfg_Button(), &QPushButton::clicked, this, [this] {
        // The retrieve replaces every setting; edits not saved yet are asked
        // about first (Undo still takes the retrieve back).
        if (m_document->isModified()
            && Show_Message_Box_Ex(Retrieve_Question(), TMsgDlgType::mtConfirmation, QMessageBox::Yes | QMessageBox::No,
                                   QMessageBox::No)
                != QMessageBox::Yes)
            return;
        deviceOps->retrieve_cfg_ButtonClick();
    });
    connect(fwUpgradeButton, &QPushButton::clicked, this, [this] {
        Firmware_Window();
        deviceOps->fw_upg_ButtonClick();
    });
    connect(uploadPage->upload_data_BitBtn(), &QPushButton::clicked, this,
            [this] { deviceOps->upload_data_BitBtnClick(); });
}

void Tbmpgen_Form::Set_Firmware_Window(Tfw_upg_Form* form)
{
    deviceHost->Set_Firmware_Window(form);
    if (form)
        form->Set_Operations(deviceOps, m_link.get());
}

Tfw_upg_Form* Tbmpgen_Form::Firmware_Window()
{
    if (!deviceHost->Firmware_Window())
        Set_Firmware_Window(new Tfw_upg_Form(this));
    return deviceHost->Firmware_Window();
}

QString Tbmpgen_Form::Quit_Question()
{
    return QStringLiteral("The current project has been modified.      \rQuit without saving?      ");
}

bool Tbmpgen_Form::Device_Command_Available(const QPushButton* button) const
{
    return isEnabled() && button->isEnabled() && button->isVisibleTo(this);
}

QString Tbmpgen_Form::Retrieve_Question()
{
    return QStringLiteral("The current project has been modified.      \rRetrieving the configuration replaces its "
                          "settings with the controller's (Edit, Undo takes them back).      \rContinue?      ");
}

void Tbmpgen_Form::Build_Device_Menu()
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
        {"retrieve_cfg_MenuItem", QStringLiteral("&Retrieve Configuration"), configPage->retrieve_cfg_Button(),
         QKeySequence()},
        {"upload_data_MenuItem", QStringLiteral("&Upload Data"), uploadPage->upload_data_BitBtn(), QKeySequence()},
        {"fw_upg_MenuItem", QStringLiteral("&Firmware Upgrade..."), fwUpgradeButton,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)},
    };
    QList<QPair<QAction*, QPushButton*>> pairs;
    for (const auto& item : items) {
        QAction* a = device->addAction(item.text);
        a->setObjectName(QString::fromLatin1(item.name));
        a->setShortcut(item.key);
        QPushButton* button = item.button;
        connect(a, &QAction::triggered, button, [this, button] {
            if (Device_Command_Available(button))
                button->click();
        });
        pairs << qMakePair(a, button);
    }
    // Greyed exactly when the button cannot be pressed (a project's buttons
    // are hidden, not disabled, while no project is open).
    connect(device, &QMenu::aboutToShow, this, [this, pairs] {
        for (const auto& p : pairs)
            p.first->setEnabled(Device_Command_Available(p.second));
    });
    QAction* before = nullptr;
    for (QAction* action : menuBar()->actions())
        if (action->menu() && action->menu()->objectName() == QStringLiteral("help_MenuItem"))
            before = action;
    menuBar()->insertMenu(before, device);
    deviceMenu = device;
}

QString Tbmpgen_Form::Firmware_Button_Caption(quint16 version)
{
    return QString::asprintf("Firmware Upgrade (v%d.%02d)", version / 100, version % 100);
}

void Tbmpgen_Form::Build_Layout()
{
    configPage = new TConfigurationPage(m_document->record(), m_document->images());
    configPage->setSchedulerPage(new TSchedulerPage(m_document->record()));
    imagesPage = new TImagesPage(*m_document);
    connect(imagesPage, &TImagesPage::logActivity, this,
            [this](int code, const QString& info) { Log_Activity(code, info); });
    uploadPage = new TUploadDataPage;
    projectPages = new QTabWidget;
    projectPages->setObjectName(QStringLiteral("project_PageControl"));
    projectPages->addTab(configPage, QStringLiteral("Configuration"));
    projectPages->addTab(imagesPage, QStringLiteral("Images"));
    projectPages->addTab(uploadPage, QStringLiteral("Upload Data"));
    // The group pictures: Configuration, Images, Upload Data, then the
    // Retrieve Configuration and Firmware Upgrade buttons.
    const QStringList groups = TDM_imagestore::cfgGroupNames();
    auto groupIcon = [&groups](int i) { return i < groups.size() ? Picture_Icon(groups.at(i)) : QIcon(); };
    for (int i = 0; i < projectPages->count(); ++i)
        projectPages->setTabIcon(i, groupIcon(i));
    projectPages->setIconSize(QSize(20, 20));

    noProjectView = new TNoProjectView;
    projectStack = new QStackedWidget;
    projectStack->setObjectName(QStringLiteral("project_Stack"));
    projectStack->addWidget(noProjectView);
    projectStack->addWidget(projectPages);

    projectPanel = new QWidget;
    projectPanel->setObjectName(QStringLiteral("Project_Panel"));
    auto* projectLayout = new QVBoxLayout(projectPanel);
    projectLayout->setContentsMargins(0, 0, 0, 0);
    projectLayout->addWidget(projectStack);

    // The firmware upgrade needs no project, so its button stays outside the
    // project area.
    fwUpgradeButton = new QPushButton;
    fwUpgradeButton->setObjectName(QStringLiteral("fw_upg_Button"));
    fwUpgradeButton->setIcon(groupIcon(4));
    configPage->retrieve_cfg_Button()->setIcon(groupIcon(3));
    uploadPage->upload_data_BitBtn()->setIcon(groupIcon(2));
    uploadPage->upload_data_BitBtn()->setIconSize(QSize(32, 32));
    dpiLabel = new QLabel;
    dpiLabel->setObjectName(QStringLiteral("dpi_Label"));
    dpiLabel->hide();

    auto* upper = new QWidget;
    upper->setObjectName(QStringLiteral("upper_Panel"));
    auto* upperLayout = new QHBoxLayout(upper);
    upperLayout->setContentsMargins(4, 4, 4, 0);
    upperLayout->addWidget(projectPanel, 1);
    upperLayout->addWidget(dpiLabel);
    // In the menu bar's corner the button is always in reach, with or
    // without a project, and takes no width from the pages.
    Place_Corner_Button(menuBar(), fwUpgradeButton);

    activityLog = new TActivityLogPanel;
    splitter = new QSplitter(Qt::Vertical);
    splitter->setObjectName(QStringLiteral("log_Splitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(upper);
    splitter->addWidget(activityLog);
    // The log keeps its height when the window is resized; the project area
    // takes the difference. Were the log to grow with the window, its top
    // (and with it the minimum height below) would follow, and a window once
    // made taller could never be made smaller again.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({1, Default_Log_Height(activityLog)});
    setCentralWidget(splitter);

    statusPanels = new TProjectStatusBar;
    setStatusBar(statusPanels);
    statusPanels->addPermanentWidget(imagesPage->Import_Progress());
}

void Tbmpgen_Form::Build_Menus()
{
    auto add = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file_MenuItem"));
    connect(add(file, "new_project_MenuItem", QStringLiteral("&New Project")), &QAction::triggered, commands,
            &TProjectCommands::New_Project);
    connect(add(file, "open_project_MenuItem", QStringLiteral("&Open Project")), &QAction::triggered, commands,
            &TProjectCommands::Open_Project);
    file->addSeparator();
    saveAction = add(file, "save_project_MenuItem", QStringLiteral("&Save Project"));
    connect(saveAction, &QAction::triggered, commands, &TProjectCommands::Save_Project_Command);
    saveAsAction = add(file, "save_project_as_MenuItem", QStringLiteral("Save Project &As..."));
    connect(saveAsAction, &QAction::triggered, commands, &TProjectCommands::Save_Project_As);
    closeAction = add(file, "close_project_MenuItem", QStringLiteral("&Close Project"));
    connect(closeAction, &QAction::triggered, commands, &TProjectCommands::Close_Project);
    file->addSeparator();
    connect(add(file, "exit_MenuItem", QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("help_MenuItem"));
    connect(add(help, "user_guide_MenuItem", QStringLiteral("User &Guide")), &QAction::triggered, this,
            [] { Open_User_Guide(); });
    connect(add(help, "useful_info_MenuItem", QStringLiteral("&Useful Information")), &QAction::triggered, this,
            [this] {
                if (informationWindow)
                    informationWindow->exec();
            });
    connect(add(help, "commissioning_log_MenuItem", QStringLiteral("&Commissioning Log...")), &QAction::triggered, this,
            [this] { TCommissioningLogWindow::Show(this, recorder ? recorder->logPath() : QString()); });
    help->addSeparator();
    connect(add(help, "about_MenuItem", QStringLiteral("&About...")), &QAction::triggered, this, [this] {
        if (aboutWindow)
            aboutWindow->exec();
    });
}

void Tbmpgen_Form::Build_Edit_History()
{
    editHistory = new TEditHistory({m_document, configPage, imagesPage, projectPanel, this}, this);
    QMenu* edit = editHistory->Build_Edit_Menu(menuBar());
    new TClipboardActions(edit, "history_MenuItem", this);
}

void Tbmpgen_Form::Set_Commissioning_Log(const QString& path)
{
    if (recorder)
        recorder->setLogPath(path);
}

QString Tbmpgen_Form::Commissioning_Log() const
{
    return recorder ? recorder->logPath() : QString();
}

void Tbmpgen_Form::Set_Help_Windows(QDialog* information, QDialog* about)
{
    informationWindow = information;
    aboutWindow = about;
}

TProjectTreePanel* Tbmpgen_Form::Tree_Panel() const
{
    return imagesPage->Tree_Panel();
}

QWidget* Tbmpgen_Form::No_Project_View() const
{
    return noProjectView;
}

void Tbmpgen_Form::Show_Project_Path(const QString& path)
{
    statusPanels->Show_Project_Path(path);
}

void Tbmpgen_Form::Log_Activity(int code, const QString& info)
{
    activityLog->Log_Activity(code, info);
}

void Tbmpgen_Form::logError(const QString& description, const QString& info)
{
    activityLog->Log_Entry(QStringLiteral("!"), description, info);
}

void Tbmpgen_Form::msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam)
{
    queue->msgList_Post(window, msg, wParam, lParam);
}

void Tbmpgen_Form::Show_Project()
{
    commands->Show_Project();
}

void Tbmpgen_Form::Clear_Project()
{
    commands->Clear_Project();
}

void Tbmpgen_Form::updateCaption()
{
    // "[*]" is where the title bar shows the modified marker; a "[*]" in the
    // project's own name is doubled so it is shown as written.
    QString name = m_document->projectName();
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(m_document->projectPath().isEmpty()
                       ? QStringLiteral(" ") + Caption_Base() + QStringLiteral("[*]")
                       : QStringLiteral(" ") + name + QStringLiteral("[*] - ") + Caption_Base());
}

void Tbmpgen_Form::showProjectState(bool projectOpen)
{
    projectStack->setCurrentWidget(projectOpen ? static_cast<QWidget*>(projectPages)
                                               : static_cast<QWidget*>(noProjectView));
}

void Tbmpgen_Form::enableProjectCommands(bool enabled)
{
    saveAction->setEnabled(enabled);
    saveAsAction->setEnabled(enabled);
    closeAction->setEnabled(enabled);
}

void Tbmpgen_Form::selectConfigurationPage()
{
    projectPages->setCurrentWidget(configPage);
    configPage->selectFirstSubPage();
}

void Tbmpgen_Form::selectTreeTopNode()
{
    QTreeWidget* tree = Tree_Panel()->Project_TreeView();
    if (m_document->images().empty() || tree->topLevelItemCount() == 0)
        return;
    tree->setCurrentItem(tree->topLevelItem(0));
    if (projectPages->currentWidget() == imagesPage)
        tree->setFocus();
}

void Tbmpgen_Form::buildTree(const THandle_List& list)
{
    imagesPage->Build_Tree(list);
}

void Tbmpgen_Form::clearTree()
{
    imagesPage->Clear();
}

void Tbmpgen_Form::showDragLabel()
{
    imagesPage->Show_Drag_Label();
}

void Tbmpgen_Form::Show_Device_Config(const TDevice_Config_v2& config)
{
    configPage->Show_Device_Config(config);
}

void Tbmpgen_Form::Update_Memory_Chart()
{
    imagesPage->Update_Memory_Chart();
}

void Tbmpgen_Form::tickUploadBoxes()
{
    uploadPage->Tick_Both();
}

QString Tbmpgen_Form::serviceText() const
{
    return configPage->generalPage()->serviceText();
}

void Tbmpgen_Form::Set_Explicit_Ports(const QStringList& ports, const QString& note)
{
    m_link->explicitPorts = ports;
    Set_Port_Note(note);
}

void Tbmpgen_Form::Set_Port_Note(const QString& note)
{
    m_portNote = note;
    statusPanels->Show_Note(note);
}

void Tbmpgen_Form::Tear_Down_Project()
{
    if (m_document->images().empty())
        return;
    const auto closing = m_document->closingScope();
    try {
        commands->Clear_Project();
    } catch (const std::exception& error) {
        Report_Teardown_Exception(error);
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
    if (!commands->Changes_Settled(Quit_Question())) {
        event->ignore();
        return;
    }
    Tear_Down_Project();
    event->accept();
}

void Tbmpgen_Form::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The scan panel floats over the middle of the window, where the eye is
    // after pressing a device button, not over the tabs.
    TWindowDeviceHost::Centre_Scan_Panel(scanPanel);
    // The activity log always keeps room for a few rows. Its top is taken
    // where it would be with the project area at its smallest: measured where
    // it is now, the minimum would equal almost the current height, and a
    // maximised or enlarged window could not be made smaller again.
    const QWidget* upper = splitter->widget(0);
    const int upperSlack = qMax(0, upper->height() - upper->minimumSizeHint().height());
    const int logTop = activityLog->mapTo(this, QPoint(0, 0)).y() - upperSlack;
    const int wanted = qMax(kMinimumHeight, 130 * logicalDpiY() / 96 + statusPanels->height() + logTop);
    // Never taller than the screen leaves room for (a small screen at a
    // large scale): the pages scroll there rather than the window running
    // off the screen.
    setMinimumHeight(qMin(wanted, Screen_Room(this).height()));
}
