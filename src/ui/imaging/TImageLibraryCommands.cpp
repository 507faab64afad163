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

int indexOf(const THandle_object& handle, const TCell_object* cell)
{
    for (size_t i = 0; i < handle.cells.size(); ++i)
        if (handle.cells[i].get() == cell)
            return int(i);
    return -1;
}

TCell_object* findPicture(THandleList& images, uint64_t id)
{
    for (const auto& handle : images)
        for (const auto& cell : handle->cells)
            if (cell->pictureId == id)
                return cell.get();
    return nullptr;
}

void updateMemoryUsage(THandle_object& handle)
{
    handle.memory_usage = int32_t(Handle_Storage_Bytes(handle));
}

} // namespace

TImageLibraryCommands::TImageLibraryCommands(TImagesPage& page, TProjectDocument& document, QObject* parent)
    : QObject(parent)
    , m_page(page)
    , m_document(document)
{
    TProjectTreePanel* tree = page.treePanel();
    connect(tree->deleteButton(), &QToolButton::clicked, this, &TImageLibraryCommands::Delete_Selected_Image);
    connect(tree->moveUpButton(), &QToolButton::clicked, this, &TImageLibraryCommands::Move_Image_Up);
    connect(tree->moveDownButton(), &QToolButton::clicked, this, &TImageLibraryCommands::Move_Image_Down);
    connect(tree->renameButton(), &QToolButton::clicked, this, &TImageLibraryCommands::Rename_Selected_Image);
}

void TImageLibraryCommands::Delete_Selected_Image()
{
    TProjectTreePanel* panel = m_page.treePanel();
    QTreeWidget* tree = panel->Project_TreeView();
    panel->disableTreeButtons();
    QTreeWidgetItem* node = tree->currentItem();
    const TCell_object* cell = panel->cellOf(node);
    if (!cell || !cell->pHandle || !node->parent())
        return;
    const THandle_object& handle = *cell->pHandle;
    const int position = m_page.handlePosition(&handle);
    const int i = indexOf(handle, cell);
    if (position < 0 || i < 0)
        return;
    const QString name = cell->name;
    const uint64_t id = cell->pictureId;
    QTreeWidgetItem* root = node->parent();
    QTreeWidgetItem* next = root->child(root->indexOfChild(node) + 1);
    QTreeWidgetItem* previous = root->child(root->indexOfChild(node) - 1);
    const THandleList& images = m_document.images();
    const int thumbPosition = thumbnailHandleIndex(position);
    const THandle_object* thumbs
        = thumbPosition >= 0 && size_t(thumbPosition) < images.size() ? images[size_t(thumbPosition)].get() : nullptr;
    const bool withThumb = thumbs && size_t(i) < thumbs->cells.size();

    {
        // The selection moves on below, once the image is gone.
        const QSignalBlocker quiet(tree);
        panel->removeCellNode(id);
        if (position == m_page.Visible_Handle_Idx)
            m_page.imageView()->removeFrame(i);
        if (withThumb)
            panel->removeCellNode(thumbs->cells[size_t(i)]->pictureId);
        m_document.editImages(QString(), [&](THandleList& list) {
            THandle_object& changed = *list[size_t(position)];
            changed.cells.erase(changed.cells.begin() + i);
            updateMemoryUsage(changed);
            if (withThumb) {
                THandle_object& changedThumbs = *list[size_t(thumbPosition)];
                changedThumbs.cells.erase(changedThumbs.cells.begin() + i);
                updateMemoryUsage(changedThumbs);
            }
            return true;
        });
    }

    QTreeWidgetItem* selected = next ? next : previous ? previous : root;
    tree->setCurrentItem(selected);
    tree->setFocus();
    if (handle.cells.empty())
        m_page.imageView()->showDragLabel(true);
    m_page.showHandleMemory(handle, true);
    if (thumbs)
        m_page.showHandleMemory(*thumbs, true);
    m_page.Show_Handle(handle);
    m_page.Update_Tree_Buttons(tree->currentItem());
    emit m_page.logActivity(28, handle.name + QStringLiteral("->") + name);
}

void TImageLibraryCommands::moveSelectedImage(int step)
{
    TProjectTreePanel* panel = m_page.treePanel();
    QTreeWidget* tree = panel->Project_TreeView();
    QTreeWidgetItem* node = tree->currentItem();
    const TCell_object* cell = panel->cellOf(node);
    if (!cell || !cell->pHandle)
        return;
    const THandle_object& handle = *cell->pHandle;
    const int position = m_page.handlePosition(&handle);
    const int i = indexOf(handle, cell);
    const int j = i + step;
    if (position < 0 || i < 0 || j < 0 || size_t(j) >= handle.cells.size())
        return;
    const QString name = cell->name;
    const THandleList& images = m_document.images();
    const int thumbPosition = thumbnailHandleIndex(position);
    const bool withThumb = thumbPosition >= 0 && size_t(thumbPosition) < images.size()
        && size_t(qMax(i, j)) < images[size_t(thumbPosition)]->cells.size();

    tree->setUpdatesEnabled(false);
    panel->moveCellNode(cell->pictureId, j);
    if (position == m_page.Visible_Handle_Idx)
        m_page.imageView()->moveFrame(i, j);
    if (withThumb)
        panel->moveCellNode(images[size_t(thumbPosition)]->cells[size_t(i)]->pictureId, j);
    tree->setUpdatesEnabled(true);
    m_document.editImages(
        (step < 0 ? QStringLiteral("Move Image %1 Up") : QStringLiteral("Move Image %1 Down")).arg(name),
        [&](THandleList& list) {
            THandle_object& changed = *list[size_t(position)];
            std::swap(changed.cells[size_t(i)], changed.cells[size_t(j)]);
            if (withThumb) {
                THandle_object& changedThumbs = *list[size_t(thumbPosition)];
                std::swap(changedThumbs.cells[size_t(i)], changedThumbs.cells[size_t(j)]);
            }
            return true;
        });
    m_page.Update_Tree_Buttons(node);
}

void TImageLibraryCommands::Rename_Selected_Image()
{
    TProjectTreePanel* panel = m_page.treePanel();
    const TCell_object* cell = panel->cellOf(panel->Project_TreeView()->currentItem());
    if (!cell)
        return;
    const uint64_t id = cell->pictureId;
    const std::optional<QString> answer = m_page.askName(renameTitle(), renamePrompt(), cell->name);
    // The dialog keeps the window's events running: the picture is looked
    // up again by its id, in case an undo replaced it or it went meanwhile.
    cell = m_document.picture(id);
    // An empty name would leave an image nobody can tell apart or find
    // again; the old name stays.
    if (!cell || !answer || answer->trimmed().isEmpty())
        return;
    const QString name = imageDisplayName(*answer);
    if (name == cell->name)
        return;
    // Two images of one group by one name cannot be told apart in the tree
    // or on the controller's list.
    if (const THandle_object* handle = cell->pHandle) {
        for (const auto& other : handle->cells)
            if (other.get() != cell && other->name == name) {
                Show_Message_Box(duplicateNameText(handle->name, name), TMsgDlgType::MtWarning, QMessageBox::Ok);
                return;
            }
    }
    if (QTreeWidgetItem* node = panel->cellNode(id))
        node->setText(0, name);
    for (TImageFrame* frame : m_page.imageView()->CellView_List())
        if (frame->pictureId() == id)
            frame->showName(name);
    m_page.imageView()->layOutFrames();
    m_document.editImages(QString(), [&](THandleList& list) {
        findPicture(list, id)->name = name;
        return true;
    });
}

QString TImageLibraryCommands::duplicateNameText(const QString& group, const QString& name)
{
    return QStringLiteral("Another image of %1 is already named %2.      \rThe name was not changed.      ")
        .arg(group, name);
}
