#pragma once
// The project tree's context menu and keys. Every entry presses one of the
// buttons of the tree panel, so the menu, the keys (F2 rename, Delete) and the
// buttons run the very same command and are enabled together.

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QPoint;
class QToolButton;
class TProjectTreePanel;

class TTreeContextMenu : public QObject {
    Q_OBJECT
public:
    explicit TTreeContextMenu(TProjectTreePanel& panel, QObject* parent = nullptr);

    QMenu* menu() const { return m_menu; }
    QAction* addImagesAction() const { return m_actions[0]; }
    QAction* renameAction() const { return m_actions[1]; }
    QAction* moveUpAction() const { return m_actions[2]; }
    QAction* moveDownAction() const { return m_actions[3]; }
    QAction* deleteAction() const { return m_actions[4]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* mirror(QToolButton* button, const QString& text, const char* objectName);
    // Mouse: the node under the pointer becomes the selection first, as the
    // commands work on the selection. Keyboard: at the selected node.
    void showAt(const QPoint& viewportPos, bool fromMouse);

    TProjectTreePanel& m_panel;
    QMenu* m_menu = nullptr;
    QList<QAction*> m_actions;
    QList<QToolButton*> m_buttons;
};
