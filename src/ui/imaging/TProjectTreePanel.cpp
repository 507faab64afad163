#include "ui/imaging/TProjectTreePanel.h"

#include "core/imaging/ImageImport.h"
#include "ui/common/TDM_images.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Roots carry their handle, children their cell, so selection handlers reach
// the model without searching it.
constexpr int kHandleRole = Qt::UserRole + 1;
constexpr int kCellRole = Qt::UserRole + 2;

struct ButtonSpec {
    const char* objectName;
    const char* hint;
    const char* picture;
};

constexpr ButtonSpec kButtons[4] = {
    {"rename_image_Button", "Rename image", "TREE_RENAME_PNG"},
    {"move_up_Button", "Move image up", "TREE_UP_PNG"},
    {"move_down_Button", "Move image down", "TREE_DOWN_PNG"},
    {"delete_image_Button", "Delete image", "TREE_DELETE_PNG"},
};
} // namespace

TProjectTreePanel::TProjectTreePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("project_tree_Panel"));
    tree = new QTreeWidget(this);
    tree->setObjectName(QStringLiteral("Project_TreeView"));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setAccessibleName(QStringLiteral("Project"));
    // The selection stays visible when the tree loses focus.
    QPalette keep = tree->palette();
    keep.setColor(QPalette::Inactive, QPalette::Highlight, keep.color(QPalette::Active, QPalette::Highlight));
    keep.setColor(QPalette::Inactive, QPalette::HighlightedText,
                  keep.color(QPalette::Active, QPalette::HighlightedText));
    tree->setPalette(keep);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(0, 0, 0, 0);
    m_addButton = new QToolButton(this);
    m_addButton->setObjectName(QStringLiteral("add_images_Button"));
    m_addButton->setText(Add_Images_Text());
    m_addButton->setToolTip(QStringLiteral("Add picture files to the selected group"));
    m_addButton->setAccessibleName(QStringLiteral("Add Images"));
    m_addButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_addButton->setEnabled(false);
    buttonRow->addWidget(m_addButton);
    buttonRow->addStretch(1);
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        auto* b = new QToolButton(this);
        const ButtonSpec& spec = kButtons[i];
        b->setObjectName(QString::fromLatin1(spec.objectName));
        b->setToolTip(QString::fromLatin1(spec.hint));
        b->setAccessibleName(QString::fromLatin1(spec.hint));
        b->setText(QString::fromLatin1(spec.hint));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        if (Has_Picture(QString::fromLatin1(spec.picture)))
            b->setIcon(QIcon(QPixmap::fromImage(picture(QString::fromLatin1(spec.picture), QSize(64, 64)))));
        b->setIconSize(QSize(20, 20));
        b->setEnabled(false);
        buttonRow->addWidget(b);
        m_buttons[i] = b;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttonRow);
    layout->addWidget(tree, 1);
}

void TProjectTreePanel::Disable_Tree_Buttons()
{
    for (QToolButton* b : m_buttons)
        b->setEnabled(false);
    m_addButton->setEnabled(false);
}

void TProjectTreePanel::Update_Tree_Buttons(const QTreeWidgetItem* node)
{
    Disable_Tree_Buttons();
    m_addButton->setEnabled(node != nullptr);
    if (!node || !node->parent())
        return;
    const int i = node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(node));
    const int n = node->parent()->childCount();
    Move_Up_Button()->setEnabled(i > 0);
    Move_Down_Button()->setEnabled(i < n - 1);
    Delete_Button()->setEnabled(true);
    Rename_Button()->setEnabled(true);
}

QTreeWidgetItem* TProjectTreePanel::Add_Cell_Node(int handlePosition, const TCell_object* cell)
{
    QTreeWidgetItem* root = Handle_Node(handlePosition);
    if (!root || !cell)
        return nullptr;
    auto* node = new QTreeWidgetItem(root, QStringList(cell->name));
    node->setData(0, kHandleRole, handlePosition);
    node->setData(0, kCellRole, QVariant::fromValue(quint64(cell->pictureId)));
    m_cellNodes.insert(cell->pictureId, node);
    return node;
}

void TProjectTreePanel::Remove_Cell_Node(uint64_t pictureId)
{
    delete m_cellNodes.take(pictureId);
}

void TProjectTreePanel::Move_Cell_Node(uint64_t pictureId, int to)
{
    QTreeWidgetItem* node = m_cellNodes.value(pictureId);
    QTreeWidgetItem* parent = node ? node->parent() : nullptr;
    if (!parent || to < 0 || to >= parent->childCount())
        return;
    const bool wasCurrent = tree->currentItem() == node;
    // Taking the current item out moves the selection; the moved image must
    // stay selected without the page seeing a passing selection change.
    const QSignalBlocker quiet(tree);
    parent->takeChild(parent->indexOfChild(node));
    parent->insertChild(to, node);
    if (wasCurrent)
        tree->setCurrentItem(node);
}

bool TProjectTreePanel::Is_Hidden_Root(int position)
{
    return position == BG_THUMBNAILS_IDX || position == LOGO_THUMBNAILS_IDX;
}

QString TProjectTreePanel::Image_Display_Name(const QString& name)
{
    return ::Image_Display_Name(name);
}

void TProjectTreePanel::Build(const THandle_List& list)
{
    tree->setUpdatesEnabled(false);
    m_list = &list;
    for (size_t i = 0; i < list.size(); ++i) {
        const THandle_object* handle = list[i].get();
        auto* root = new QTreeWidgetItem(QStringList(handle->name));
        root->setData(0, kHandleRole, int(i));
        tree->addTopLevelItem(root);
        if (i < Handle_Node_Array.size())
            Handle_Node_Array[i] = root;
        for (const auto& cell : handle->cells) {
            auto* node = new QTreeWidgetItem(root, QStringList(Image_Display_Name(cell->name)));
            node->setData(0, kHandleRole, int(i));
            node->setData(0, kCellRole, QVariant::fromValue(quint64(cell->pictureId)));
            m_cellNodes.insert(cell->pictureId, node);
        }
        if (Is_Hidden_Root(int(i))) {
            // A hidden item hides its children as well and is skipped by
            // keyboard navigation, so the selection can never land on it.
            root->setHidden(true);
            root->setFlags(root->flags() & ~Qt::ItemIsSelectable);
            root->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        }
    }
    tree->setUpdatesEnabled(true);
}

void TProjectTreePanel::Clear()
{
    tree->setUpdatesEnabled(false);
    tree->clear();
    Handle_Node_Array.fill(nullptr);
    m_cellNodes.clear();
    m_list = nullptr;
    tree->setUpdatesEnabled(true);
}

QTreeWidgetItem* TProjectTreePanel::Handle_Node(int position) const
{
    if (position < 0 || position >= int(Handle_Node_Array.size()))
        return nullptr;
    return Handle_Node_Array[size_t(position)];
}

int TProjectTreePanel::handlePosition(const QTreeWidgetItem* item)
{
    const QVariant position = item ? item->data(0, kHandleRole) : QVariant();
    return position.isValid() ? position.toInt() : -1;
}

uint64_t TProjectTreePanel::pictureId(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kCellRole).value<quint64>() : 0;
}

const THandle_object* TProjectTreePanel::Handle_Of(const QTreeWidgetItem* item) const
{
    const int position = handlePosition(item);
    if (!m_list || position < 0 || size_t(position) >= m_list->size())
        return nullptr;
    return (*m_list)[size_t(position)].get();
}

const TCell_object* TProjectTreePanel::Cell_Of(const QTreeWidgetItem* item) const
{
    const THandle_object* handle = Handle_Of(item);
    const uint64_t id = pictureId(item);
    if (!handle || id == 0)
        return nullptr;
    for (const auto& cell : handle->cells)
        if (cell->pictureId == id)
            return cell.get();
    return nullptr;
}
