#pragma once
// What the File menu offers beyond the project commands, and how the window
// behaves like other desktop programs: Open Recent, Add Images, the standard
// shortcuts, a project file dropped on the window, the modified marker in the
// title bar.

#include <QObject>
#include <QString>

#include <memory>

class QAction;
class QMenu;
class Tbmpgen_Form;
class TRecentProjects;

class TFileMenuExtras : public QObject {
    Q_OBJECT
public:
    // file: the window's File menu, holding the project commands.
    TFileMenuExtras(Tbmpgen_Form& window, QMenu* file);
    ~TFileMenuExtras() override;

    QMenu* openRecentMenu() const { return m_recentMenu; }
    QAction* addImagesAction() const { return m_addImages; }
    // Fills Open Recent from the stored list; a file that is gone is shown
    // greyed out.
    void rebuildRecentMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setStandardShortcuts(QMenu* file);
    void openRecent(const QString& path);
    void addImages();
    bool takesProjectDrop() const;

    Tbmpgen_Form& m_window;
    std::unique_ptr<TRecentProjects> m_recent;
    QMenu* m_recentMenu = nullptr;
    QAction* m_addImages = nullptr;
};
