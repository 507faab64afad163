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

    static QString captionBase() { return QStringLiteral("Corvane R/C Configurator v2"); }
    static QString quitQuestion();
    static QString firmwareButtonCaption(quint16 version);
    // Asked before a retrieve replaces the settings of a modified project.
    static QString retrieveQuestion();

    TProjectDocument& document() const { return *m_document; }
    TControllerLink& link() const { return *m_link; }

    // --- routines used throughout the program ---
    void msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam);
    void Show_Project();
    void Clear_Project();
    void setExplicitPorts(const QStringList& ports, const QString& note);
    // What the status bar says about the ports while no link is up (the
    // demo's virtual controller, the ports named on the command line).
    void setPortNote(const QString& note);
    void setHelpWindows(QDialog* information, QDialog* about);
    // Uploads and firmware upgrades are appended to this commissioning log.
    void setCommissioningLog(const QString& path);
    QString commissioningLog() const;
    QString portNote() const { return m_portNote; }
    // The firmware upgrade window, created at start-up; one is made on first
    // use when none was given.
    void setFirmwareWindow(Tfw_upg_Form* form);
    Tfw_upg_Form* firmwareWindow();

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
    void buildTree(const THandleList& list) override;
    void clearTree() override;
    void showDragLabel() override;
    void Show_Device_Config(const TDevice_Config_v2& config) override;
    void Update_Memory_Chart() override;
    void tickUploadBoxes() override;
    QString serviceText() const override;

    // --- parts of the window ---
    TProjectCommands* commands() const { return m_commands; }
    TEditHistory* editHistory() const { return m_editHistory; }
    TMsgList* msgList() const { return m_queue; }
    TActivityLogPanel* activityLog() const { return m_activityLog; }
    TProjectStatusBar* projectStatusBar() const { return m_statusPanels; }
    TConfigurationPage* configurationPage() const { return m_configPage; }
    TImagesPage* imagesPage() const { return m_imagesPage; }
    TUploadDataPage* uploadPage() const { return m_uploadPage; }
    TDeviceOperations* deviceOperations() const { return m_deviceOps; }
    TDeviceScanPanel* deviceScanPanel() const { return m_scanPanel; }
    TCommissionLauncher* commissionLauncher() const { return m_commissionLauncher; }
    QPushButton* fw_upg_Button() const { return m_fwUpgradeButton; }
    TProjectTreePanel* treePanel() const;
    QTabWidget* projectPages() const { return m_projectPages; }
    QWidget* noProjectView() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kMinimumWidth = 650;
    static constexpr int kMinimumHeight = 500;

    void buildLayout();
    void buildMenus();
    void buildDeviceOperations();
    void buildDeviceMenu();
    bool deviceCommandAvailable(const QPushButton* button) const;
    void buildEditHistory();
    void tearDownProject();

    TProjectDocument* m_document = nullptr;
    std::unique_ptr<TControllerLink> m_link;
    std::unique_ptr<TFileDialogs> m_fileDialogs;
    TProjectCommands* m_commands = nullptr;
    TEditHistory* m_editHistory = nullptr;
    TMsgList* m_queue = nullptr;
    TActivityLogPanel* m_activityLog = nullptr;
    TProjectStatusBar* m_statusPanels = nullptr;
    QWidget* m_projectPanel = nullptr;
    QStackedWidget* m_projectStack = nullptr;
    TNoProjectView* m_noProjectView = nullptr;
    QTabWidget* m_projectPages = nullptr;
    TConfigurationPage* m_configPage = nullptr;
    TImagesPage* m_imagesPage = nullptr;
    TUploadDataPage* m_uploadPage = nullptr;
    QPushButton* m_fwUpgradeButton = nullptr;
    QLabel* m_dpiLabel = nullptr;
    QSplitter* m_splitter = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_closeAction = nullptr;
    QDialog* m_informationWindow = nullptr;
    QDialog* m_aboutWindow = nullptr;
    TDeviceScanPanel* m_scanPanel = nullptr;
    std::unique_ptr<TWindowDeviceHost> m_deviceHost;
    std::unique_ptr<TCommissioningRecorder> m_recorder;
    TDeviceOperations* m_deviceOps = nullptr;
    QString m_portNote;
    QMenu* m_deviceMenu = nullptr;
    TCommissionLauncher* m_commissionLauncher = nullptr;
};
