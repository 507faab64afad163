#pragma once
// The window's side of undo and redo: the "&Edit" menu (Undo and Redo named
// after the step they take, the standard shortcuts, a History window), the
// end of a burst of typing or of a slider drag, and showing a state that
// undo or redo put back.

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QDialog;
class QMenu;
class QMenuBar;
class QWidget;
class TConfigurationPage;
class TImagesPage;
class TProjectDocument;

class TEditHistory : public QObject {
    Q_OBJECT
public:
    struct Parts {
        TProjectDocument* document = nullptr;
        TConfigurationPage* configPage = nullptr;
        TImagesPage* imagesPage = nullptr;
        // Disabled while a device operation runs: no undo then.
        QWidget* projectPanel = nullptr;
        QWidget* window = nullptr;
    };
    explicit TEditHistory(const Parts& parts, QObject* parent = nullptr);

    // Adds "&Edit" in front of "&Help" (or last when there is none).
    QMenu* buildEditMenu(QMenuBar* bar);

    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }
    QAction* historyAction() const { return m_history; }
    // Undo and redo are refused while an import is adding images or a device
    // operation has the project.
    bool editsAllowed() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateActions();
    void beforeRestore(bool imagesChange);
    void afterRestore(bool imagesChanged);
    void showHistory();

    Parts m_parts;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_history = nullptr;
    QPointer<QDialog> m_historyWindow;
    // Where the tree's selection was before the images were put back.
    int m_selectedHandle = -1;
    int m_selectedImage = -1;
    // The selected picture, by id: it survives the objects being replaced.
    uint64_t m_selectedPicture = 0;
    QList<bool> m_expanded; // each group of the tree, open or not, before a restore
};
