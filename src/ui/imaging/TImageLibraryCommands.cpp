#include "ui/imaging/TImageLibraryCommands.h"

#include "core/document/TProjectDocument.h"
#include "core/imaging/ImageImport.h"
#include "ui/common/gen_lib.h"
#include "ui/imaging/TImageFrame.h"
#include "ui/imaging/TImageView.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QToolButton>
#include <QTreeWidget>

#include <utility>

namespace {

int Index_Of(const THandle_object& handle, const TCell_object* cell)
{
    for (size_t i = 0; i < handle.cells.size(); ++i)
        if (handle.cells[i].get() == cell)
            return int(i);
    return -1;
}

} // namespace

TImageLibraryCommands::TImageLibraryCommands(TImagesPage& page, TProjectDocument& document, QObject* parent)
    : QObject(parent)
    , m_page(page)
    , m_document(document)
{
    TProjectTreePanel* tree = page.Tree_Panel();
    connect(tree->Delete_Button(), &QToolButton::clicked, this, &TImageLibraryCommands::Delete_Selected_Image);
    connect(tree->Move_Up_Button(), &QToolButton::clicked, this, &TImageLibraryCommands::Move_Image_Up);
    connect(tree->Move_Down_Button(), &QToolButton::clicked, this, &TImageLibraryCommands::Move_Image_Down);
    connect(tree->Rename_Button(), &QToolButton::clicked, this, &TImageLibraryCommands::Rename_Selected_Image);
}

void TImageLibraryCommands::Delete_Selected_Image()
{
    TProjectTreePanel* panel = m_page.Tree_Panel();
    QTreeWidget* tree = panel->Project_TreeView();
    panel->Disable_Tree_Buttons();
    QTreeWidgetItem* node = tree->currentItem();
    TCell_object* cell = TProjectTreePanel::Cell_Of(node);
    if (!cell || !cell->pHandle || !node->parent())
        return;
    THandle_object& handle = *cell->pHandle;
    const int position = m_page.Handle_Position(&handle);
    const int i = Index_Of(handle, cell);
    if (position < 0 || i < 0)
        return;
    const QString name = cell->name;
    QTreeWidgetItem* root = node->parent();
    QTreeWidgetItem* next = root->child(root->indexOfChild(node) + 1);
    QTreeWidgetItem* previous = root->child(root->indexOfChild(node) - 1);

    {
        // The selection moves on below, once the image is gone.
        const QSignalBlocker quiet(tree);
        panel->Remove_Cell_Node(cell);
        if (position == m_page.Visible_Handle_Idx)
            m_page.Image_View()->Remove_Frame(i);
        handle.cells.erase(handle.cells.begin() + i);
    }
    THandle_object* thumbs = nullptr;
    const int thumbPosition = Thumbnail_Handle_Index(position);
    if (thumbPosition >= 0 && size_t(thumbPosition) < m_document.Handle_List.size()) {
        thumbs = m_document.Handle_List[size_t(thumbPosition)].get();
        if (size_t(i) < thumbs->cells.size()) {
            panel->Remove_Cell_Node(thumbs->cells[size_t(i)].get());
            thumbs->cells.erase(thumbs->cells.begin() + i);
        }
    }

    QTreeWidgetItem* selected = next ? next : previous ? previous : root;
    tree->setCurrentItem(selected);
    tree->setFocus();
    if (handle.cells.empty())
        m_page.Image_View()->Show_Drag_Label(true);
    m_page.Update_Handle_Memory(handle, true);
    if (thumbs)
        m_page.Update_Handle_Memory(*thumbs, true);
    m_page.Show_Handle(handle);
    m_document.Set_Modified(true);
    m_page.Update_Tree_Buttons(tree->currentItem());
    emit m_page.logActivity(28, handle.name + QStringLiteral("->") + name);
}

void TImageLibraryCommands::Move_Selected_Image(int step)
{
    TProjectTreePanel* panel = m_page.Tree_Panel();
    QTreeWidget* tree = panel->Project_TreeView();
    QTreeWidgetItem* node = tree->currentItem();
    TCell_object* cell = TProjectTreePanel::Cell_Of(node);
    if (!cell || !cell->pHandle)
        return;
    THandle_object& handle = *cell->pHandle;
    const int position = m_page.Handle_Position(&handle);
    const int i = Index_Of(handle, cell);
    const int j = i + step;
    if (position < 0 || i < 0 || j < 0 || size_t(j) >= handle.cells.size())
        return;

    tree->setUpdatesEnabled(false);
    panel->Move_Cell_Node(cell, j);
    if (position == m_page.Visible_Handle_Idx)
        m_page.Image_View()->Move_Frame(i, j);
    std::swap(handle.cells[size_t(i)], handle.cells[size_t(j)]);
    const int thumbPosition = Thumbnail_Handle_Index(position);
    if (thumbPosition >= 0 && size_t(thumbPosition) < m_document.Handle_List.size()) {
        THandle_object& thumbs = *m_document.Handle_List[size_t(thumbPosition)];
        if (size_t(qMax(i, j)) < thumbs.cells.size()) {
            panel->Move_Cell_Node(thumbs.cells[size_t(i)].get(), j);
            std::swap(thumbs.cells[size_t(i)], thumbs.cells[size_t(j)]);
        }
    }
    tree->setUpdatesEnabled(true);
    m_document.Name_Next_Change(
        (step < 0 ? QStringLiteral("Move Image %1 Up") : QStringLiteral("Move Image %1 Down")).arg(cell->name));
    m_document.Set_Modified(true);
    m_page.Update_Tree_Buttons(node);
}

void TImageLibraryCommands::Rename_Selected_Image()
{
    QTreeWidgetItem* node = m_page.Tree_Panel()->Project_TreeView()->currentItem();
    TCell_object* cell = TProjectTreePanel::Cell_Of(node);
    if (!cell)
        return;
    const std::optional<QString> answer = m_page.Ask_Name(Rename_Title(), Rename_Prompt(), cell->name);
    // An empty name would leave an image nobody can tell apart or find
    // again; the old name stays.
    if (!answer || answer->trimmed().isEmpty())
        return;
    const QString name = Image_Display_Name(*answer);
    if (name == cell->name)
        return;
    // Two images of one group by one name cannot be told apart in the tree
    // or on the controller's list.
    if (const THandle_object* handle = TProjectTreePanel::Handle_Of(node->parent())) {
        for (const auto& other : handle->cells)
            if (other.get() != cell && other->name == name) {
                Show_Message_Box(Duplicate_Name_Text(handle->name, name), TMsgDlgType::mtWarning, QMessageBox::Ok);
                return;
            }
    }
    node->setText(0, name);
    cell->name = name;
    for (TImageFrame* frame : m_page.Image_View()->CellView_List())
        if (&frame->cell() == cell)
            frame->Show_Name(name);
    m_page.Image_View()->Lay_Out_Frames();
    m_document.Set_Modified(true);
}

QString TImageLibraryCommands::Duplicate_Name_Text(const QString& group, const QString& name)
{
    return QStringLiteral("Another image of %1 is already named %2.      \rThe name was not changed.      ")
        .arg(group, name);
}
