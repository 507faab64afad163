#pragma once
// The "Images" page: the project tree with its four commands and the memory
// usage display on the left; on the right the panel of the selected handle
// and its image view, where image files are dropped.

#include "core/model/ProjectModel.h"
#include "ui/imaging/TImportSummary.h"

#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QTreeWidgetItem;
class THandlePanel;
class TImageDropImport;
class TImageLibraryCommands;
class TImageView;
class TMemoryUsagePanel;
class TProjectTreePanel;
class TProjectDocument;
class TTreeContextMenu;
struct TImport_Target;
struct TPrepared_Image;

class TImagesPage : public QWidget {
    Q_OBJECT
public:
    explicit TImagesPage(TProjectDocument& document, QWidget* parent = nullptr);
    ~TImagesPage() override;

    TProjectTreePanel* Tree_Panel() const { return treePanel; }
    TImageView* Image_View() const { return imageView; }
    THandlePanel* Handle_Panel() const { return handlePanel; }
    TMemoryUsagePanel* Memory_Panel() const { return memoryPanel; }
    TImageDropImport* Drop_Import() const { return dropImport; }
    TImageLibraryCommands* Commands() const { return commands; }
    QLabel* Drag_Label() const;

    // The image group whose pictures are shown; -1 for none.
    int Visible_Handle_Idx = -1;
    // Numbers the picture frames' object names; never reused while the page lives.
    int cell_frame_counter = 0;
    // Shows the progress of a drop; the window puts it in its status bar.
    QProgressBar* Import_Progress() const { return importProgress; }

    // The tree of a project just opened or created.
    void Build_Tree(const THandle_List& list);
    // Before the project's handles go: a running import stops, every frame
    // and node goes, nothing points into the model any more.
    void Clear();
    void Show_Drag_Label();

    void Show_Handle(const THandle_object& handle);
    void Build_Cell_View(const THandle_object& handle);
    // One more frame for a cell just added to the shown handle.
    void Append_Frame(const TCell_object& cell);
    // The view shows exactly the handle's images, in order.
    bool View_In_Step(const THandle_object& handle) const;
    // The handle's storage figures after its memory_usage changed.
    void Show_Handle_Memory(const THandle_object& handle, bool showLabels);
    void Update_Memory_Chart();
    void Update_Tree_Buttons(const QTreeWidgetItem* node);

    // Imports the files into the handle selected in the tree, in order. The
    // one way pictures enter a project from the window: dropped files and
    // files chosen with Add Images both come through here.
    void Drop_Image_Files(const QStringList& paths);

    // Add Images: asks for picture files for the selected node's group and
    // imports them as if they had been dropped.
    void Add_Images();
    bool Add_Images_Enabled() const;
    // The group Add Images would fill, or nullptr.
    const THandle_object* Receiving_Handle() const;
    static QString Image_Files_Filter();
    static QString Add_Images_Title(const THandle_object& handle);
    // What the drop area says it takes, for the shown group.
    static QString Drop_Hint_Text(const THandle_object& handle);
    QLabel* Drop_Hint() const { return dropHint; }
    TTreeContextMenu* Tree_Menu() const { return treeMenu; }

    // Asks for the files to add: title, filter; an empty list when the user
    // cancels. Tests give their own answers.
    using TImageFilesInput = std::function<QStringList(QWidget* parent, const QString& title, const QString& filter)>;
    void Set_Image_Files_Input(TImageFilesInput input);

    // Asks for a new image name: title, prompt, current name; nothing when
    // the user cancels. Tests give their own answers.
    using TNameInput = std::function<std::optional<QString>(QWidget* parent, const QString& title,
                                                            const QString& prompt, const QString& current)>;
    void Set_Name_Input(TNameInput input);
    std::optional<QString> Ask_Name(const QString& title, const QString& prompt, const QString& current);

    // Position of the handle in the project's list, or -1.
    int Handle_Position(const THandle_object* handle) const;

signals:
    void logActivity(int code, const QString& info);

private:
    void On_Selection_Changed(QTreeWidgetItem* current);
    void On_Prepared(const TImport_Target& target, TPrepared_Image* image);
    void On_Import_Finished(const TImport_Target& target);
    void On_Import_Progress(int done, int total);

    TProjectDocument& m_document;
    TProjectTreePanel* treePanel = nullptr;
    TMemoryUsagePanel* memoryPanel = nullptr;
    QWidget* viewPanel = nullptr;
    THandlePanel* handlePanel = nullptr;
    TImageView* imageView = nullptr;
    TImageDropImport* dropImport = nullptr;
    TImageLibraryCommands* commands = nullptr;
    TTreeContextMenu* treeMenu = nullptr;
    QLabel* dropHint = nullptr;
    // The window's status bar takes it over and may delete it first.
    QPointer<QProgressBar> importProgress;
    TNameInput m_nameInput;
    TImageFilesInput m_filesInput;
    TImportSummary m_summary;
};
