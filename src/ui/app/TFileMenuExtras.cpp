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

QAction* Find_Action(QMenu* menu, const char* objectName)
{
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(objectName))
            return a;
    return nullptr;
}

// "&1 /path/to/site.cvp": numbered for the keyboard, the path shortened in
// the middle so the folder's start and the file name both stay readable.
QString Recent_Entry_Text(int index, const QString& path, const QFontMetrics& metrics)
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
    QAction* open = Find_Action(file, "open_project_MenuItem");
    const QList<QAction*> actions = file->actions();
    const qsizetype openAt = actions.indexOf(open);
    QAction* afterOpen = openAt >= 0 && openAt + 1 < actions.size() ? actions.at(openAt + 1) : nullptr;
    file->insertMenu(afterOpen, m_recentMenu);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &TFileMenuExtras::Rebuild_Recent_Menu);

    // Beside the project commands that act on the open project, before Exit.
    TImagesPage* images = window.Images_Page();
    m_addImages = new QAction(TProjectTreePanel::Add_Images_Text(), file);
    m_addImages->setObjectName(QStringLiteral("add_images_MenuItem"));
    QAction* exit = Find_Action(file, "exit_MenuItem");
    file->insertAction(exit, m_addImages);
    file->insertSeparator(exit);
    QToolButton* addButton = images->Tree_Panel()->Add_Images_Button();
    m_addImages->setEnabled(addButton->isEnabled());
    addButton->installEventFilter(this);
    connect(m_addImages, &QAction::triggered, this, &TFileMenuExtras::Add_Images);

    Set_Standard_Shortcuts(file);

    connect(window.Commands(), &TProjectCommands::projectFileUsed, this, [this](const QString& path) {
        m_recent->Add(path);
        Rebuild_Recent_Menu();
    });

    // The title bar marks an unsaved project the platform's way; the caption
    // text itself stays as it is (the window puts the marker's place in it).
    connect(&window.Document(), &TProjectDocument::modifiedChanged, &window, &QWidget::setWindowModified);
    window.setWindowModified(window.Document().isModified());

    window.setAcceptDrops(true);
    window.installEventFilter(this);
    Rebuild_Recent_Menu();
    // The file dialogs start where the user last worked, not in whatever
    // folder the program happened to be started from.
    if (!m_recent->Paths().isEmpty())
        window.Commands()->Set_Last_Folder(QFileInfo(m_recent->Paths().constFirst()).absolutePath());
}

TFileMenuExtras::~TFileMenuExtras() = default;

void TFileMenuExtras::Set_Standard_Shortcuts(QMenu* file)
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
        if (QAction* a = Find_Action(file, k.action))
            a->setShortcuts(k.key);
    // Not every desktop binds Save As; this one is what users of all of them expect.
    if (QAction* saveAs = Find_Action(file, "save_project_as_MenuItem")) {
        const QKeySequence ctrlShiftS(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
        QList<QKeySequence> keys = saveAs->shortcuts();
        if (!keys.contains(ctrlShiftS))
            saveAs->setShortcuts(keys << ctrlShiftS);
    }
    for (QMenu* menu : m_window.menuBar()->findChildren<QMenu*>())
        if (QAction* help = Find_Action(menu, "user_guide_MenuItem"))
            help->setShortcuts(QKeySequence::HelpContents);
}

void TFileMenuExtras::Rebuild_Recent_Menu()
{
    m_recentMenu->clear();
    const QStringList paths = m_recent->Paths();
    const QFontMetrics metrics(m_recentMenu->font());
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        QAction* entry = m_recentMenu->addAction(Recent_Entry_Text(i, path, metrics));
        entry->setObjectName(QStringLiteral("recent_project_MenuItem%1").arg(i + 1));
        entry->setData(path);
        entry->setToolTip(QDir::toNativeSeparators(path));
        // Greyed rather than dropped: a project on a drive not connected now
        // is still wanted later.
        if (!QFileInfo::exists(path)) {
            entry->setEnabled(false);
            entry->setToolTip(QDir::toNativeSeparators(path) + QStringLiteral(" (not found)"));
        }
        connect(entry, &QAction::triggered, this, [this, path] { Open_Recent(path); });
    }
    if (paths.isEmpty())
        m_recentMenu->addAction(QStringLiteral("No Recent Projects"))->setEnabled(false);
    m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction(QStringLiteral("&Clear Menu"));
    clear->setObjectName(QStringLiteral("clear_recent_MenuItem"));
    clear->setEnabled(!paths.isEmpty());
    connect(clear, &QAction::triggered, this, [this] {
        m_recent->Clear();
        Rebuild_Recent_Menu();
    });
}

void TFileMenuExtras::Open_Recent(const QString& path)
{
    m_window.Commands()->Open_Project_Path(path);
    // A file gone since the menu was shown failed to load and was reported;
    // it leaves the list.
    if (!QFileInfo::exists(path)) {
        m_recent->Remove(path);
        Rebuild_Recent_Menu();
    }
}

void TFileMenuExtras::Add_Images()
{
    TImagesPage* images = m_window.Images_Page();
    if (!images->Add_Images_Enabled())
        return;
    // The pictures appear on the Images page, so it comes to the front first.
    m_window.Project_Pages()->setCurrentWidget(images);
    images->Add_Images();
}

bool TFileMenuExtras::Takes_Project_Drop() const
{
    // While a controller is being talked to, the project area is disabled and
    // the open project must stay as it is.
    const QWidget* projectArea = m_window.findChild<QWidget*>(QStringLiteral("Project_Panel"));
    return m_window.isEnabled() && (!projectArea || projectArea->isEnabled());
}

bool TFileMenuExtras::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange
        && watched == m_window.Images_Page()->Tree_Panel()->Add_Images_Button()) {
        m_addImages->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (Takes_Project_Drop() && !Dropped_Project_File(drag->mimeData()).isEmpty()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = Dropped_Project_File(drop->mimeData());
        if (path.isEmpty() || !Takes_Project_Drop()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // Opened once the drop is over: the discard question is a modal box,
        // and the file manager waits for the drop to finish.
        QMetaObject::invokeMethod(
            this, [this, path] { m_window.Commands()->Open_Project_Path(path); }, Qt::QueuedConnection);
        return true;
    }
    default: return false;
    }
}
