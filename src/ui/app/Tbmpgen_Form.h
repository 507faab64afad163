#pragma once
// The main window: a shell that owns the open project (TProjectDocument),
// the link to a controller (TControllerLink), the posted-message queue and
// the activity log, and wires the pages and panels it is composed of to them.
//
// A new page plugs in like this: it is a class of its own in its area's
// folder, owning its widgets and their handlers. It reads and writes the
// project through TProjectDocument (Document()), never through this class; a
// configuration sub-page derives from TConfigEditorPage (show the record,
// write back what it holds, emit changed) and is added by TConfigurationPage.
// What the project commands need from the window goes through TProjectView;
// a device operation gets a narrow interface of its own the same way.

#include "ui/app/TFileDialogs.h"
#include "ui/common/TProjectView.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class TActivityLogPanel;
class TConfigurationPage;
class TDeviceOperations;
class TDeviceScanPanel;
class TEditHistory;
class TVrexComms;
class TWindowDeviceHost;
class TCommissioningRecorder;
class TCommissionLauncher;
class Tfw_upg_Form;
class TImagesPage;
class TMsgList;
class TNoProjectView;
class TProjectCommands;
class TProjectStatusBar;
class TProjectTreePanel;
class TControllerLink;
class TProjectDocument;
class TUploadDataPage;

class Tbmpgen_Form : public QMainWindow, public TProjectView {
    Q_OBJECT
public:
    // dialogs: the file dialogs the project commands use; nullptr for the
    // real ones.
    explicit Tbmpgen_Form(std::unique_ptr<TFileDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~Tbmpgen_Form() override;

    static QString Caption_Base() { return QStringLiteral("Corvane R/C Configurator v2"); }
    static QString Quit_Question();
    static QString Firmware_Button_Caption(quint16 version);
    // Asked before a retrieve replaces the settings of a modified project.
    static QString Retrieve_Question();

    TProjectDocument& Document() const { return *m_document; }
    TControllerLink& Link() const { return *m_link; }

    // --- routines used throughout the program ---
    void msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam);
    void Show_Project();
    void Clear_Project();
    void Set_Explicit_Ports(const QStringList& ports, const QString& note);
    // What the status bar says about the ports while no link is up (the
    // demo's virtual controller, the ports named on the command line).
    void Set_Port_Note(const QString& note);
    void Set_Help_Windows(QDialog* information, QDialog* about);
    // Uploads and firmware upgrades are appended to this commissioning log.
    void Set_Commissioning_Log(const QString& path);
    QString Commissioning_Log() const;
    QString Port_Note() const { return m_portNote; }
    // The firmware upgrade window, created at start-up; one is made on first
    // use when none was given.
    void Set_Firmware_Window(Tfw_upg_Form* form);
    Tfw_upg_Form* Firmware_Window();

    // --- TProjectView ---
    QWidget* dialogParent() override { return this; }
    void updateCaption() override;
    void Show_Project_Path(const QString& path) override;
    void Log_Activity(int code, const QString& info = QString()) override;
    void logError(const QString& description, const QString& info) override;
    void showProjectState(bool projectOpen) override;
    void enableProjectCommands(bool enabled) override;
    void selectConfigurationPage() override;
    void selectTreeTopNode() override;
    void buildTree(const THandle_List& list) override;
    void clearTree() override;
    void showDragLabel() override;
    void Show_Device_Config(const TDevice_Config_v2& config) override;
    void Update_Memory_Chart() override;
    void tickUploadBoxes() override;
    QString serviceText() const override;

    // --- parts of the window ---
    TProjectCommands* Commands() const { return commands; }
    TEditHistory* Edit_History() const { return editHistory; }
    TMsgList* msgList() const { return queue; }
    TActivityLogPanel* Activity_Log() const { return activityLog; }
    TProjectStatusBar* Status_Bar() const { return statusPanels; }
    TConfigurationPage* Configuration_Page() const { return configPage; }
    TImagesPage* Images_Page() const { return imagesPage; }
    TUploadDataPage* Upload_Page() const { return uploadPage; }
    TDeviceOperations* Device_Operations() const { return deviceOps; }
    TDeviceScanPanel* Device_Scan_Panel() const { return scanPanel; }
    TCommissionLauncher* Commission_Launcher() const { return commissionLauncher; }
    QPushButton* fw_upg_Button() const { return fwUpgradeButton; }
    TProjectTreePanel* Tree_Panel() const;
    QTabWidget* Project_Pages() const { return projectPages; }
    QWidget* No_Project_View() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kMinimumWidth = 650;
    static constexpr int kMinimumHeight = 500;

    void Build_Layout();
    void Build_Menus();
    void Build_Device_Operations();
    void Build_Device_Menu();
    bool Device_Command_Available(const QPushButton* button) const;
    void Build_Edit_History();
    void Tear_Down_Project();

    TProjectDocument* m_document = nullptr;
    std::unique_ptr<TControllerLink> m_link;
    std::unique_ptr<TFileDialogs> fileDialogs;
    TProjectCommands* commands = nullptr;
    TEditHistory* editHistory = nullptr;
    TMsgList* queue = nullptr;
    TActivityLogPanel* activityLog = nullptr;
    TProjectStatusBar* statusPanels = nullptr;
    QWidget* projectPanel = nullptr;
    QStackedWidget* projectStack = nullptr;
    TNoProjectView* noProjectView = nullptr;
    QTabWidget* projectPages = nullptr;
    TConfigurationPage* configPage = nullptr;
    TImagesPage* imagesPage = nullptr;
    TUploadDataPage* uploadPage = nullptr;
    QPushButton* fwUpgradeButton = nullptr;
    QLabel* dpiLabel = nullptr;
    QSplitter* splitter = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* closeAction = nullptr;
    QDialog* informationWindow = nullptr;
    QDialog* aboutWindow = nullptr;
    TDeviceScanPanel* scanPanel = nullptr;
    std::unique_ptr<TWindowDeviceHost> deviceHost;
    std::unique_ptr<TCommissioningRecorder> recorder;
    TDeviceOperations* deviceOps = nullptr;
    QString m_portNote;
    QMenu* deviceMenu = nullptr;
    TCommissionLauncher* commissionLauncher = nullptr;
};
