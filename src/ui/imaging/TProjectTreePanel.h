#pragma once
// The project tree of the Images page: one root per handle, one child per
// image. The thumbnail handles are roots too (their nodes are kept in step
// with the images they belong to) but the user never sees them. A node holds
// its group's position or its picture's id, never an address: an undo that
// replaces the picture objects leaves nothing pointing at the old ones.

#include "core/model/ProjectModel.h"

#include <QHash>
#include <QWidget>

#include <array>

class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TProjectTreePanel : public QWidget {
    Q_OBJECT
public:
    explicit TProjectTreePanel(QWidget* parent = nullptr);

    QTreeWidget* Project_TreeView() const { return m_tree; }

    // The four commands above the tree, each showing a picture and its hint.
    QToolButton* renameButton() const { return m_buttons[0]; }
    QToolButton* moveUpButton() const { return m_buttons[1]; }
    QToolButton* moveDownButton() const { return m_buttons[2]; }
    QToolButton* deleteButton() const { return m_buttons[3]; }
    // Opens the file dialog for the selected node's group; enabled whenever a
    // node is selected and no import is running.
    QToolButton* addImagesButton() const { return m_addButton; }
    // The command's caption wherever it is offered: button, menus.
    static QString addImagesText() { return QStringLiteral("Add Images..."); }

    // With no node or a handle node every command is off; for an image node
    // at index i of n: up when i > 0, down when i < n - 1, delete and rename.
    // Adding needs only a node to say which group receives the files.
    void Update_Tree_Buttons(const QTreeWidgetItem* node);
    void disableTreeButtons();

    // A child item for a new cell, last under the handle's node.
    QTreeWidgetItem* addCellNode(int handlePosition, const TCell_object* cell);
    // The picture's node goes; the tree forgets the picture.
    void removeCellNode(uint64_t pictureId);
    // Moves a picture's node to index to among its siblings.
    void moveCellNode(uint64_t pictureId, int to);

    // Adds a root per handle and a child per cell, and remembers each
    // picture's node. The list is the one the nodes are looked up in until
    // Clear. Names are shown normalised (imageDisplayName), as they are
    // stored once a project is shown.
    void build(const THandleList& list);
    // Removes every node and forgets the handle roots and cell nodes.
    void clear();

    QTreeWidgetItem* handleNode(int position) const;
    // The node of a picture, or nullptr for one the tree does not show.
    QTreeWidgetItem* cellNode(uint64_t pictureId) const { return m_cellNodes.value(pictureId); }
    std::array<QTreeWidgetItem*, kHandleCount> Handle_Node_Array{};

    // What a node stands for: its group's position (-1 for none) and, for an
    // image's node, its picture's id (0 for a group's node).
    static int handlePosition(const QTreeWidgetItem* item);
    static uint64_t pictureId(const QTreeWidgetItem* item);
    // The group and the picture a node stands for, looked up in the list
    // the tree was built from; nullptr when they are gone.
    const THandle_object* handleOf(const QTreeWidgetItem* item) const;
    const TCell_object* cellOf(const QTreeWidgetItem* item) const;

    // A name that begins with a decimal digit gets a leading "_"; every name
    // is upper case.
    static QString imageDisplayName(const QString& name);
    // The thumbnail handles' roots are not drawn, cannot be selected and
    // cannot be expanded.
    static bool isHiddenRoot(int position);

private:
    QTreeWidget* m_tree = nullptr;
    std::array<QToolButton*, 4> m_buttons{};
    QToolButton* m_addButton = nullptr;
    QHash<uint64_t, QTreeWidgetItem*> m_cellNodes;
    const THandleList* m_list = nullptr;
};
