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
struct TImportTarget;
struct TPreparedImage;

class TImagesPage : public QWidget {
    Q_OBJECT
public:
    explicit TImagesPage(TProjectDocument& document, QWidget* parent = nullptr);
    ~TImagesPage() override;

    TProjectTreePanel* treePanel() const { return m_treePanel; }
    TImageView* imageView() const { return m_imageView; }
    THandlePanel* handlePanel() const { return m_handlePanel; }
    TMemoryUsagePanel* memoryPanel() const { return m_memoryPanel; }
    TImageDropImport* dropImport() const { return m_dropImport; }
    TImageLibraryCommands* commands() const { return m_commands; }
    QLabel* dragLabel() const;

    // The image group whose pictures are shown; -1 for none.
    int Visible_Handle_Idx = -1;
    // Numbers the picture frames' object names; never reused while the page lives.
    int cell_frame_counter = 0;
    // Shows the progress of a drop; the window puts it in its status bar.
    QProgressBar* importProgress() const { return m_importProgress; }

    // The tree of a project just opened or created.
    void rebuildTree(const THandleList& list);
    // Before the project's handles go: a running import stops, every frame
    // and node goes, nothing points into the model any more.
    void clear();
    void showDragLabel();

    void Show_Handle(const THandle_object& handle);
    void Build_Cell_View(const THandle_object& handle);
    // One more frame for a cell just added to the shown handle.
    void appendFrame(const TCell_object& cell);
    // The view shows exactly the handle's images, in order.
    bool viewInStep(const THandle_object& handle) const;
    // The handle's storage figures after its memory_usage changed.
    void showHandleMemory(const THandle_object& handle, bool showLabels);
    void Update_Memory_Chart();
    void Update_Tree_Buttons(const QTreeWidgetItem* node);

    // Imports the files into the handle selected in the tree, in order. The
    // one way pictures enter a project from the window: dropped files and
    // files chosen with Add Images both come through here.
    void Drop_Image_Files(const QStringList& paths);

    // Add Images: asks for picture files for the selected node's group and
    // imports them as if they had been dropped.
    void addImages();
    bool addImagesEnabled() const;
    // The group Add Images would fill, or nullptr.
    const THandle_object* receivingHandle() const;
    static QString imageFilesFilter();
    static QString addImagesTitle(const THandle_object& handle);
    // What the drop area says it takes, for the shown group.
    static QString dropHintText(const THandle_object& handle);
    QLabel* dropHint() const { return m_dropHint; }
    TTreeContextMenu* treeMenu() const { return m_treeMenu; }

    // Asks for the files to add: title, filter; an empty list when the user
    // cancels. Tests give their own answers.
    using TImageFilesInput = std::function<QStringList(QWidget* parent, const QString& title, const QString& filter)>;
    void setImageFilesInput(TImageFilesInput input);

    // Asks for a new image name: title, prompt, current name; nothing when
    // the user cancels. Tests give their own answers.
    using TNameInput = std::function<std::optional<QString>(QWidget* parent, const QString& title,
                                                            const QString& prompt, const QString& current)>;
    void setNameInput(TNameInput input);
    std::optional<QString> askName(const QString& title, const QString& prompt, const QString& current);

    // Position of the handle in the project's list, or -1.
    int handlePosition(const THandle_object* handle) const;

signals:
    void logActivity(int code, const QString& info);

private:
    void onSelectionChanged(QTreeWidgetItem* current);
    void onPrepared(const TImportTarget& target, TPreparedImage* image);
    void onImportFinished(const TImportTarget& target);
    void onImportProgress(int done, int total);

    TProjectDocument& m_document;
    TProjectTreePanel* m_treePanel = nullptr;
    TMemoryUsagePanel* m_memoryPanel = nullptr;
    QWidget* m_viewPanel = nullptr;
    THandlePanel* m_handlePanel = nullptr;
    TImageView* m_imageView = nullptr;
    TImageDropImport* m_dropImport = nullptr;
    TImageLibraryCommands* m_commands = nullptr;
    TTreeContextMenu* m_treeMenu = nullptr;
    QLabel* m_dropHint = nullptr;
    // The window's status bar takes it over and may delete it first.
    QPointer<QProgressBar> m_importProgress;
    TNameInput m_nameInput;
    TImageFilesInput m_filesInput;
    TImportSummary m_summary;
};
