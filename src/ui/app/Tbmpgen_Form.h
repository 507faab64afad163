#pragma once
// The main window. It owns every piece of run-time state (the open project,
// its configuration record, the blocks exchanged with a controller, the
// posted-message queue and the activity log) and wires the pages and panels
// it is composed of to that state.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"
#include "ui/app/TFileDialogs.h"

#include <QByteArray>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QDialog;
class QLabel;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class TActivityLogPanel;
class TConfigurationPage;
class TImagesPage;
class TMsgList;
class TNoProjectView;
class TProjectCommands;
class TProjectStatusBar;
class TProjectTreePanel;
class TUploadDataPage;

class Tbmpgen_Form : public QMainWindow {
    Q_OBJECT
public:
    // dialogs: the file dialogs the project commands use; nullptr for the
    // real ones.
    explicit Tbmpgen_Form(std::unique_ptr<TFileDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~Tbmpgen_Form() override;

    static QString Caption_Base() { return QStringLiteral("Corvane R/C Configurator v2"); }
    static QString Quit_Question();
    static QString Firmware_Button_Caption(quint16 version);

    // --- run-time state, shared with the editors and device operations ---
    bool closing_flag = false;
    bool loading_flag = false;
    quint16 RC_PartNo = 0;
    quint16 RC_FW_Ver = 0;
    quint16 PC_Cfg_PartNo = 0;
    quint16 PC_Cfg_FW_Ver = 0;
    bool fw_upg_abort_flag = false;
    bool BL_Active_Flag = false;
    TDeviceConfiguration RC_DeviceConfiguration{};
    TDevice_Config_v2 Project_Device_Config{};
    TDeviceConfiguration RC_Upload_DeviceConfiguration{};
    QString project_name;
    QString project_fullpath;
    bool modified = false;
    THandle_List Handle_List;
    int Visible_Handle_Idx = -1;
    int cell_frame_counter = 0;
    QByteArray upload_stream;
    // Ports named on the command line (or the demo controller's), offered to
    // device operations before any discovered port.
    QStringList explicitPorts;

    // --- routines used throughout the program ---
    void Set_Modified(bool value);
    void Show_Project_Path(const QString& path);
    void Log_Activity(int code, const QString& info = QString());
    void msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam);
    void Show_Project();
    void Clear_Project();
    // Filled in by the Images page's memory display and the configuration
    // editor; the window calls them at the moments they must run.
    void Update_Memory_Chart() { }
    void Show_Device_Config(const TDevice_Config_v2&) { }

    void Update_Caption();
    void Show_Project_State(bool projectOpen);
    void Enable_Project_Commands(bool enabled);
    void Select_Configuration_Page();
    void Select_Tree_Top_Node();
    void Set_Explicit_Ports(const QStringList& ports, const QString& note);
    void Set_Help_Windows(QDialog* information, QDialog* about);

    // The device operations drive their steps with window messages to this
    // window (1027..1031); each number has one handler, which receives wParam
    // and lParam and branches on the step they carry.
    using TMessageHandler = std::function<void(quint32 wParam, quint32 lParam)>;
    void Set_Message_Handler(int msg, TMessageHandler handler);

    // --- parts of the window ---
    TProjectCommands* Commands() const { return commands; }
    TMsgList* msgList() const { return queue; }
    TActivityLogPanel* Activity_Log() const { return activityLog; }
    TProjectStatusBar* Status_Bar() const { return statusPanels; }
    TConfigurationPage* Configuration_Page() const { return configPage; }
    TImagesPage* Images_Page() const { return imagesPage; }
    TUploadDataPage* Upload_Page() const { return uploadPage; }
    TProjectTreePanel* Tree_Panel() const;
    QTabWidget* Project_Pages() const { return projectPages; }
    QWidget* No_Project_View() const;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kMinimumWidth = 650;
    static constexpr int kMinimumHeight = 500;

    void Build_Layout();
    void Build_Menus();
    void Tear_Down_Project();

    std::unique_ptr<TFileDialogs> fileDialogs;
    TProjectCommands* commands = nullptr;
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
    std::map<int, TMessageHandler> messageHandlers;
};
