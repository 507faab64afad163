#include "ui/app/TEditHistory.h"

#include "core/document/TProjectDocument.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/imaging/TImageDropImport.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <QUndoView>
#include <QVBoxLayout>

TEditHistory::TEditHistory(const Parts& parts, QObject* parent) : QObject(parent), m_parts(parts)
{
    TProjectDocument* document = m_parts.document;
    QUndoStack& stack = document->undoStack();

    m_undo = new QAction(this);
    m_undo->setObjectName(QStringLiteral("undo_MenuItem"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = new QAction(this);
    m_redo->setObjectName(QStringLiteral("redo_MenuItem"));
    m_redo->setShortcut(QKeySequence::Redo);
    m_history = new QAction(QStringLiteral("&History..."), this);
    m_history->setObjectName(QStringLiteral("history_MenuItem"));
    connect(m_undo, &QAction::triggered, this, [this] {
        if (editsAllowed())
            m_parts.document->undoStack().undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        if (editsAllowed())
            m_parts.document->undoStack().redo();
    });
    connect(m_history, &QAction::triggered, this, &TEditHistory::showHistory);

    connect(&stack, &QUndoStack::indexChanged, this, &TEditHistory::updateActions);
    connect(&stack, &QUndoStack::canUndoChanged, this, &TEditHistory::updateActions);
    connect(&stack, &QUndoStack::canRedoChanged, this, &TEditHistory::updateActions);
    connect(&stack, &QUndoStack::undoTextChanged, this, &TEditHistory::updateActions);
    connect(&stack, &QUndoStack::redoTextChanged, this, &TEditHistory::updateActions);
    connect(document, &TProjectDocument::aboutToRestore, this, &TEditHistory::beforeRestore);
    connect(document, &TProjectDocument::stateRestored, this, &TEditHistory::afterRestore);

    // A burst of typing ends where the focus leaves its field, a drag where
    // the slider is let go.
    connect(qApp, &QApplication::focusChanged, document, [document] { document->sealMerging(); });
    if (m_parts.configPage)
        for (QAbstractSlider* slider : m_parts.configPage->findChildren<QAbstractSlider*>())
            connect(slider, &QAbstractSlider::sliderReleased, document, [document] { document->sealMerging(); });

    if (m_parts.imagesPage) {
        TImageDropImport* import = m_parts.imagesPage->dropImport();
        connect(import, &TImageDropImport::progress, this, &TEditHistory::updateActions);
        connect(import, &TImageDropImport::finished, this, &TEditHistory::updateActions, Qt::QueuedConnection);
    }
    if (m_parts.projectPanel)
        m_parts.projectPanel->installEventFilter(this);
    updateActions();
}

QMenu* TEditHistory::buildEditMenu(QMenuBar* bar)
{
    auto* menu = new QMenu(QStringLiteral("&Edit"), bar);
    menu->setObjectName(QStringLiteral("edit_MenuItem"));
    menu->addAction(m_undo);
    menu->addAction(m_redo);
    menu->addSeparator();
    menu->addAction(m_history);
    QAction* before = nullptr;
    for (QAction* action : bar->actions())
        if (action->menu() && action->menu()->objectName() == QStringLiteral("help_MenuItem"))
            before = action;
    bar->insertMenu(before, menu);
    // The shortcuts work with the menu closed.
    if (m_parts.window)
        m_parts.window->addActions({m_undo, m_redo});
    return menu;
}

bool TEditHistory::editsAllowed() const
{
    if (m_parts.imagesPage && m_parts.imagesPage->dropImport()->isRunning())
        return false;
    return !m_parts.projectPanel || m_parts.projectPanel->isEnabled();
}

bool TEditHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parts.projectPanel && event->type() == QEvent::EnabledChange)
        updateActions();
    return QObject::eventFilter(watched, event);
}

void TEditHistory::updateActions()
{
    const QUndoStack& stack = m_parts.document->undoStack();
    const bool allowed = editsAllowed();
    m_undo->setEnabled(allowed && stack.canUndo());
    m_redo->setEnabled(allowed && stack.canRedo());
    m_undo->setText(stack.canUndo() ? QStringLiteral("&Undo ") + stack.undoText() : QStringLiteral("&Undo"));
    m_redo->setText(stack.canRedo() ? QStringLiteral("&Redo ") + stack.redoText() : QStringLiteral("&Redo"));
    // A click in the list is an undo or redo as well.
    if (m_historyWindow)
        m_historyWindow->setEnabled(allowed);
}

void TEditHistory::beforeRestore(bool imagesChange)
{
    if (!imagesChange || !m_parts.imagesPage)
        return;
    // The tree and the frames point into the images about to be replaced.
    QTreeWidgetItem* current = m_parts.imagesPage->treePanel()->Project_TreeView()->currentItem();
    m_selectedHandle = -1;
    m_selectedImage = -1;
    m_selectedPicture = TProjectTreePanel::pictureId(current);
    if (current) {
        QTreeWidgetItem* root = current->parent() ? current->parent() : current;
        m_selectedHandle = root->treeWidget()->indexOfTopLevelItem(root);
        m_selectedImage = current->parent() ? root->indexOfChild(current) : -1;
    }
    // The groups the user opened or closed stay so: a rebuilt tree would
    // otherwise come back with its own idea of what is open.
    QTreeWidget* tree = m_parts.imagesPage->treePanel()->Project_TreeView();
    m_expanded.clear();
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        m_expanded << tree->topLevelItem(i)->isExpanded();
    m_parts.imagesPage->clear();
}

void TEditHistory::afterRestore(bool imagesChanged)
{
    TProjectDocument* document = m_parts.document;
    {
        const auto showing = document->loadingScope();
        if (imagesChanged && m_parts.imagesPage)
            m_parts.imagesPage->rebuildTree(document->images());
        if (m_parts.configPage)
            m_parts.configPage->Show_Device_Config(document->record());
    }
    if (!imagesChanged || !m_parts.imagesPage)
        return;
    // The same picture wherever it went; when it is gone, the same place in
    // the tree, or the nearest image left there.
    QTreeWidget* tree = m_parts.imagesPage->treePanel()->Project_TreeView();
    QTreeWidgetItem* root = tree->topLevelItem(qMax(0, m_selectedHandle));
    if (QTreeWidgetItem* same = m_parts.imagesPage->treePanel()->cellNode(m_selectedPicture)) {
        tree->setCurrentItem(same);
    } else if (root) {
        QTreeWidgetItem* node = root;
        if (m_selectedImage >= 0 && root->childCount() > 0)
            node = root->child(qMin(m_selectedImage, root->childCount() - 1));
        tree->setCurrentItem(node);
    }
    for (int i = 0; i < qMin(int(m_expanded.size()), tree->topLevelItemCount()); ++i)
        tree->topLevelItem(i)->setExpanded(m_expanded.at(i));
    m_parts.imagesPage->Update_Memory_Chart();
}

void TEditHistory::showHistory()
{
    if (!m_historyWindow) {
        m_historyWindow = new QDialog(m_parts.window);
        m_historyWindow->setObjectName(QStringLiteral("history_Form"));
        m_historyWindow->setWindowTitle(QStringLiteral("History"));
        auto* view = new QUndoView(&m_parts.document->undoStack(), m_historyWindow);
        view->setObjectName(QStringLiteral("history_View"));
        view->setEmptyLabel(QStringLiteral("<project as opened>"));
        auto* layout = new QVBoxLayout(m_historyWindow);
        layout->addWidget(view);
        m_historyWindow->resize(320, 400);
        m_historyWindow->setEnabled(editsAllowed());
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}
