#pragma once
// The project tree of the Images page: one root per handle, one child per
// image. The thumbnail handles are roots too (their nodes are kept in step
// with the images they belong to) but the user never sees them.

#include "core/model/ProjectModel.h"

#include <QHash>
#include <QWidget>

#include <array>

class QTreeWidget;
class QTreeWidgetItem;

class TProjectTreePanel : public QWidget {
    Q_OBJECT
public:
    explicit TProjectTreePanel(QWidget* parent = nullptr);

    QTreeWidget* Project_TreeView() const { return tree; }

    // Adds a root per handle and a child per cell, and remembers each cell's
    // node. Cell names are normalised on the way (Image_Display_Name), as
    // they are whenever an image is named.
    void Build(const THandle_List& list);
    // Removes every node and forgets the handle roots and cell nodes.
    void Clear();

    QTreeWidgetItem* Handle_Node(int position) const;
    // The node of a cell, or nullptr for a cell the tree does not show.
    QTreeWidgetItem* cellNode(const TCell_object* cell) const { return m_cellNodes.value(cell); }
    std::array<QTreeWidgetItem*, HANDLE_COUNT> Handle_Node_Array{};

    static THandle_object* Handle_Of(const QTreeWidgetItem* item);
    static TCell_object* Cell_Of(const QTreeWidgetItem* item);

    // A name that begins with a decimal digit gets a leading "_"; every name
    // is upper case.
    static QString Image_Display_Name(const QString& name);
    // The thumbnail handles' roots are not drawn, cannot be selected and
    // cannot be expanded.
    static bool Is_Hidden_Root(int position);

private:
    QTreeWidget* tree = nullptr;
    QHash<const TCell_object*, QTreeWidgetItem*> m_cellNodes;
};
