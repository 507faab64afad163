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
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("Project_TreeView"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setAccessibleName(QStringLiteral("Project"));
    // The selection stays visible when the tree loses focus.
    QPalette keep = m_tree->palette();
    keep.setColor(QPalette::Inactive, QPalette::Highlight, keep.color(QPalette::Active, QPalette::Highlight));
    keep.setColor(QPalette::Inactive, QPalette::HighlightedText,
                  keep.color(QPalette::Active, QPalette::HighlightedText));
    m_tree->setPalette(keep);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(0, 0, 0, 0);
    m_addButton = new QToolButton(this);
    m_addButton->setObjectName(QStringLiteral("add_images_Button"));
    m_addButton->setText(addImagesText());
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
        if (hasPicture(QString::fromLatin1(spec.picture)))
            b->setIcon(QIcon(QPixmap::fromImage(picture(QString::fromLatin1(spec.picture), QSize(64, 64)))));
        b->setIconSize(QSize(20, 20));
        b->setEnabled(false);
        buttonRow->addWidget(b);
        m_buttons[i] = b;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttonRow);
    layout->addWidget(m_tree, 1);
}

void TProjectTreePanel::disableTreeButtons()
{
    for (QToolButton* b : m_buttons)
        b->setEnabled(false);
    m_addButton->setEnabled(false);
}

void TProjectTreePanel::Update_Tree_Buttons(const QTreeWidgetItem* node)
{
    disableTreeButtons();
    m_addButton->setEnabled(node != nullptr);
    if (!node || !node->parent())
        return;
    const int i = node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(node));
    const int n = node->parent()->childCount();
    moveUpButton()->setEnabled(i > 0);
    moveDownButton()->setEnabled(i < n - 1);
    deleteButton()->setEnabled(true);
    renameButton()->setEnabled(true);
}

QTreeWidgetItem* TProjectTreePanel::addCellNode(int handlePosition, const TCell_object* cell)
{
    QTreeWidgetItem* root = handleNode(handlePosition);
    if (!root || !cell)
        return nullptr;
    auto* node = new QTreeWidgetItem(root, QStringList(cell->name));
    node->setData(0, kHandleRole, handlePosition);
    node->setData(0, kCellRole, QVariant::fromValue(quint64(cell->pictureId)));
    m_cellNodes.insert(cell->pictureId, node);
    return node;
}

void TProjectTreePanel::removeCellNode(uint64_t pictureId)
{
    delete m_cellNodes.take(pictureId);
}

void TProjectTreePanel::moveCellNode(uint64_t pictureId, int to)
{
    QTreeWidgetItem* node = m_cellNodes.value(pictureId);
    QTreeWidgetItem* parent = node ? node->parent() : nullptr;
    if (!parent || to < 0 || to >= parent->childCount())
        return;
    const bool wasCurrent = m_tree->currentItem() == node;
    // Taking the current item out moves the selection; the moved image must
    // stay selected without the page seeing a passing selection change.
    const QSignalBlocker quiet(m_tree);
    parent->takeChild(parent->indexOfChild(node));
    parent->insertChild(to, node);
    if (wasCurrent)
        m_tree->setCurrentItem(node);
}

bool TProjectTreePanel::isHiddenRoot(int position)
{
    return position == kBgThumbnailsIdx || position == kLogoThumbnailsIdx;
}

QString TProjectTreePanel::imageDisplayName(const QString& name)
{
    return ::imageDisplayName(name);
}

void TProjectTreePanel::build(const THandleList& list)
{
    m_tree->setUpdatesEnabled(false);
    m_list = &list;
    for (size_t i = 0; i < list.size(); ++i) {
        const THandle_object* handle = list[i].get();
        auto* root = new QTreeWidgetItem(QStringList(handle->name));
        root->setData(0, kHandleRole, int(i));
        m_tree->addTopLevelItem(root);
        if (i < Handle_Node_Array.size())
            Handle_Node_Array[i] = root;
        for (const auto& cell : handle->cells) {
            auto* node = new QTreeWidgetItem(root, QStringList(imageDisplayName(cell->name)));
            node->setData(0, kHandleRole, int(i));
            node->setData(0, kCellRole, QVariant::fromValue(quint64(cell->pictureId)));
            m_cellNodes.insert(cell->pictureId, node);
        }
        if (isHiddenRoot(int(i))) {
            // A hidden item hides its children as well and is skipped by
            // keyboard navigation, so the selection can never land on it.
            root->setHidden(true);
            root->setFlags(root->flags() & ~Qt::ItemIsSelectable);
            root->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        }
    }
    m_tree->setUpdatesEnabled(true);
}

void TProjectTreePanel::clear()
{
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    Handle_Node_Array.fill(nullptr);
    m_cellNodes.clear();
    m_list = nullptr;
    m_tree->setUpdatesEnabled(true);
}

QTreeWidgetItem* TProjectTreePanel::handleNode(int position) const
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

const THandle_object* TProjectTreePanel::handleOf(const QTreeWidgetItem* item) const
{
    const int position = handlePosition(item);
    if (!m_list || position < 0 || size_t(position) >= m_list->size())
        return nullptr;
    return (*m_list)[size_t(position)].get();
}

const TCell_object* TProjectTreePanel::cellOf(const QTreeWidgetItem* item) const
{
    const THandle_object* handle = handleOf(item);
    const uint64_t id = pictureId(item);
    if (!handle || id == 0)
        return nullptr;
    for (const auto& cell : handle->cells)
        if (cell->pictureId == id)
            return cell.get();
    return nullptr;
}
