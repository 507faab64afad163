#include "ui/app/TFileMenuExtras.h"

#include "core/document/TProjectDocument.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TRecentProjects.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/common/ProjectFileDrop.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTabWidget>
#include <QToolButton>

namespace {

QAction* findAction(QMenu* menu, const char* objectName)
{
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(objectName))
            return a;
    return nullptr;
}

// "&1 /path/to/site.cvp": numbered for the keyboard, the path shortened in
// the middle so the folder's start and the file name both stay readable.
QString recentEntryText(int index, const QString& path, const QFontMetrics& metrics)
{
    QString shown
        = metrics.elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, metrics.averageCharWidth() * 60);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

} // namespace

TFileMenuExtras::TFileMenuExtras(Tbmpgen_Form& window, QMenu* file)
    : QObject(&window)
    , m_window(window)
    , m_recent(std::make_unique<TRecentProjects>())
{
    m_recentMenu = new QMenu(QStringLiteral("Open &Recent"), file);
    m_recentMenu->setObjectName(QStringLiteral("open_recent_MenuItem"));
    QAction* open = findAction(file, "open_project_MenuItem");
    const QList<QAction*> actions = file->actions();
    const qsizetype openAt = actions.indexOf(open);
    QAction* afterOpen = openAt >= 0 && openAt + 1 < actions.size() ? actions.at(openAt + 1) : nullptr;
    file->insertMenu(afterOpen, m_recentMenu);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &TFileMenuExtras::rebuildRecentMenu);

    // Beside the project commands that act on the open project, before Exit.
    TImagesPage* images = window.imagesPage();
    m_addImages = new QAction(TProjectTreePanel::addImagesText(), file);
    m_addImages->setObjectName(QStringLiteral("add_images_MenuItem"));
    QAction* exit = findAction(file, "exit_MenuItem");
    file->insertAction(exit, m_addImages);
    file->insertSeparator(exit);
    QToolButton* addButton = images->treePanel()->addImagesButton();
    m_addImages->setEnabled(addButton->isEnabled());
    addButton->installEventFilter(this);
    connect(m_addImages, &QAction::triggered, this, &TFileMenuExtras::addImages);

    setStandardShortcuts(file);

    connect(window.commands(), &TProjectCommands::projectFileUsed, this, [this](const QString& path) {
        m_recent->add(path);
        rebuildRecentMenu();
    });

    // The title bar marks an unsaved project the platform's way; the caption
    // text itself stays as it is (the window puts the marker's place in it).
    connect(&window.document(), &TProjectDocument::modifiedChanged, &window, &QWidget::setWindowModified);
    window.setWindowModified(window.document().isModified());

    window.setAcceptDrops(true);
    window.installEventFilter(this);
    rebuildRecentMenu();
    // The file dialogs start where the user last worked, not in whatever
    // folder the program happened to be started from.
    if (!m_recent->paths().isEmpty())
        window.commands()->setLastFolder(QFileInfo(m_recent->paths().constFirst()).absolutePath());
}

TFileMenuExtras::~TFileMenuExtras() = default;

void TFileMenuExtras::setStandardShortcuts(QMenu* file)
{
    const struct {
        const char* action;
        QKeySequence::StandardKey key;
    } keys[] = {
        {"new_project_MenuItem", QKeySequence::New},     {"open_project_MenuItem", QKeySequence::Open},
        {"save_project_MenuItem", QKeySequence::Save},   {"save_project_as_MenuItem", QKeySequence::SaveAs},
        {"close_project_MenuItem", QKeySequence::Close}, {"exit_MenuItem", QKeySequence::Quit},
    };
    for (const auto& k : keys)
        if (QAction* a = findAction(file, k.action))
            a->setShortcuts(k.key);
    // Not every desktop binds Save As; this one is what users of all of them expect.
    if (QAction* saveAs = findAction(file, "save_project_as_MenuItem")) {
        const QKeySequence ctrlShiftS(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
        QList<QKeySequence> keys = saveAs->shortcuts();
        if (!keys.contains(ctrlShiftS))
            saveAs->setShortcuts(keys << ctrlShiftS);
    }
    for (QMenu* menu : m_window.menuBar()->findChildren<QMenu*>())
        if (QAction* help = findAction(menu, "user_guide_MenuItem"))
            help->setShortcuts(QKeySequence::HelpContents);
}

void TFileMenuExtras::rebuildRecentMenu()
{
    m_recentMenu->clear();
    const QStringList paths = m_recent->paths();
    const QFontMetrics metrics(m_recentMenu->font());
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        QAction* entry = m_recentMenu->addAction(recentEntryText(i, path, metrics));
        entry->setObjectName(QStringLiteral("recent_project_MenuItem%1").arg(i + 1));
        entry->setData(path);
        entry->setToolTip(QDir::toNativeSeparators(path));
        // Greyed rather than dropped: a project on a drive not connected now
        // is still wanted later.
        if (!QFileInfo::exists(path)) {
            entry->setEnabled(false);
            entry->setToolTip(QDir::toNativeSeparators(path) + QStringLiteral(" (not found)"));
        }
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    if (paths.isEmpty())
        m_recentMenu->addAction(QStringLiteral("No Recent Projects"))->setEnabled(false);
    m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction(QStringLiteral("&Clear Menu"));
    clear->setObjectName(QStringLiteral("clear_recent_MenuItem"));
    clear->setEnabled(!paths.isEmpty());
    connect(clear, &QAction::triggered, this, [this] {
        m_recent->clear();
        rebuildRecentMenu();
    });
}

void TFileMenuExtras::openRecent(const QString& path)
{
    m_window.commands()->openProjectPath(path);
    // A file gone since the menu was shown failed to load and was reported;
    // it leaves the list.
    if (!QFileInfo::exists(path)) {
        m_recent->remove(path);
        rebuildRecentMenu();
    }
}

void TFileMenuExtras::addImages()
{
    TImagesPage* images = m_window.imagesPage();
    if (!images->addImagesEnabled())
        return;
    // The pictures appear on the Images page, so it comes to the front first.
    m_window.projectPages()->setCurrentWidget(images);
    images->addImages();
}

bool TFileMenuExtras::takesProjectDrop() const
{
    // While a controller is being talked to, the project area is disabled and
    // the open project must stay as it is.
    const QWidget* projectArea = m_window.findChild<QWidget*>(QStringLiteral("Project_Panel"));
    return m_window.isEnabled() && (!projectArea || projectArea->isEnabled());
}

bool TFileMenuExtras::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && watched == m_window.imagesPage()->treePanel()->addImagesButton()) {
        m_addImages->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (takesProjectDrop() && !droppedProjectFile(drag->mimeData()).isEmpty()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedProjectFile(drop->mimeData());
        if (path.isEmpty() || !takesProjectDrop()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // Opened once the drop is over: the discard question is a modal box,
        // and the file manager waits for the drop to finish.
        QMetaObject::invokeMethod(
            this, [this, path] { m_window.commands()->openProjectPath(path); }, Qt::QueuedConnection);
        return true;
    }
    default: return false;
    }
}
