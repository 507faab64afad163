#include "ui/imaging/TProjectTreePanel.h"

#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Roots carry their handle, children their cell, so selection handlers reach
// the model without searching it.
constexpr int kHandleRole = Qt::UserRole + 1;
constexpr int kCellRole = Qt::UserRole + 2;
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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree);
}

bool TProjectTreePanel::Is_Hidden_Root(int position)
{
    return position == BG_THUMBNAILS_IDX || position == LOGO_THUMBNAILS_IDX;
}

QString TProjectTreePanel::Image_Display_Name(const QString& name)
{
    QString result = name;
    if (!result.isEmpty() && result.at(0) >= QLatin1Char('0') && result.at(0) <= QLatin1Char('9'))
        result.prepend(QLatin1Char('_'));
    return result.toUpper();
}

void TProjectTreePanel::Build(const THandle_List& list)
{
    tree->setUpdatesEnabled(false);
    for (size_t i = 0; i < list.size(); ++i) {
        THandle_object* handle = list[i].get();
        auto* root = new QTreeWidgetItem(QStringList(handle->name));
        root->setData(0, kHandleRole, QVariant::fromValue(reinterpret_cast<quintptr>(handle)));
        tree->addTopLevelItem(root);
        if (i < Handle_Node_Array.size())
            Handle_Node_Array[i] = root;
        for (const auto& cell : handle->cells) {
            cell->name = Image_Display_Name(cell->name);
            auto* node = new QTreeWidgetItem(root, QStringList(cell->name));
            node->setData(0, kCellRole, QVariant::fromValue(reinterpret_cast<quintptr>(cell.get())));
            m_cellNodes.insert(cell.get(), node);
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
    tree->setUpdatesEnabled(true);
}

QTreeWidgetItem* TProjectTreePanel::Handle_Node(int position) const
{
    if (position < 0 || position >= int(Handle_Node_Array.size()))
        return nullptr;
    return Handle_Node_Array[size_t(position)];
}

THandle_object* TProjectTreePanel::Handle_Of(const QTreeWidgetItem* item)
{
    if (!item)
        return nullptr;
    return reinterpret_cast<THandle_object*>(item->data(0, kHandleRole).value<quintptr>());
}

TCell_object* TProjectTreePanel::Cell_Of(const QTreeWidgetItem* item)
{
    if (!item)
        return nullptr;
    return reinterpret_cast<TCell_object*>(item->data(0, kCellRole).value<quintptr>());
}
