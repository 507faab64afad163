#include "ui/imaging/TTreeContextMenu.h"

#include "ui/imaging/TProjectTreePanel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

TTreeContextMenu::TTreeContextMenu(TProjectTreePanel& panel, QObject* parent) : QObject(parent), m_panel(panel)
{
    QTreeWidget* tree = panel.Project_TreeView();
    m_menu = new QMenu(tree);
    m_menu->setObjectName(QStringLiteral("tree_PopupMenu"));
    mirror(panel.addImagesButton(), TProjectTreePanel::addImagesText(), "add_images_PopupItem");
    m_menu->addSeparator();
    mirror(panel.renameButton(), QStringLiteral("&Rename..."), "rename_image_PopupItem")
        ->setShortcut(QKeySequence(Qt::Key_F2));
    mirror(panel.moveUpButton(), QStringLiteral("Move &Up"), "move_up_PopupItem")
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    mirror(panel.moveDownButton(), QStringLiteral("Move &Down"), "move_down_PopupItem")
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    m_menu->addSeparator();
    mirror(panel.deleteButton(), QStringLiteral("&Delete"), "delete_image_PopupItem")
        ->setShortcut(QKeySequence(QKeySequence::Delete));
    for (QAction* a : std::as_const(m_actions)) {
        // The keys act while the tree has the focus, not across the window,
        // where Delete belongs to whatever text field has it.
        a->setShortcutContext(Qt::WidgetShortcut);
        tree->addAction(a);
    }
    // Mouse requests arrive at the viewport, keyboard ones at the tree.
    tree->viewport()->installEventFilter(this);
    tree->installEventFilter(this);
}

QAction* TTreeContextMenu::mirror(QToolButton* button, const QString& text, const char* objectName)
{
    auto* action = new QAction(text, m_menu);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setEnabled(button->isEnabled());
    action->setIcon(button->icon());
    // click() does nothing on a disabled button, so a key pressed at the
    // wrong moment cannot run a command the panel has switched off.
    connect(action, &QAction::triggered, button, [button] { button->click(); });
    button->installEventFilter(this);
    m_menu->addAction(action);
    m_actions << action;
    m_buttons << button;
    return action;
}

bool TTreeContextMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        const qsizetype i = m_buttons.indexOf(static_cast<QToolButton*>(watched));
        if (i >= 0)
            m_actions[i]->setEnabled(m_buttons[i]->isEnabled());
        return false;
    }
    if (event->type() != QEvent::ContextMenu)
        return false;
    const auto* request = static_cast<QContextMenuEvent*>(event);
    QTreeWidget* tree = m_panel.Project_TreeView();
    if (watched == tree->viewport() && request->reason() != QContextMenuEvent::Keyboard) {
        showAt(request->pos(), true);
        return true;
    }
    if (watched == tree && request->reason() == QContextMenuEvent::Keyboard) {
        showAt(QPoint(), false);
        return true;
    }
    return false;
}

void TTreeContextMenu::showAt(const QPoint& viewportPos, bool fromMouse)
{
    QTreeWidget* tree = m_panel.Project_TreeView();
    QPoint at = viewportPos;
    if (fromMouse) {
        QTreeWidgetItem* item = tree->itemAt(viewportPos);
        if (item && (item->flags() & Qt::ItemIsSelectable))
            tree->setCurrentItem(item);
    } else if (QTreeWidgetItem* current = tree->currentItem()) {
        at = tree->visualItemRect(current).bottomLeft();
    }
    m_menu->popup(tree->viewport()->mapToGlobal(at));
}
