#include "test_ui.h"

#include "UiTestFixtures.h"

#include "ui/app/TActivityLogPanel.h"
#include "ui/app/TFileMenuExtras.h"
#include "ui/app/TProjectStatusBar.h"
#include "ui/app/TRecentProjects.h"
#include "ui/app/UserGuide.h"
#include "ui/imaging/TImageView.h"
#include "ui/imaging/TImagesPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QtTest>

namespace {

QMenu* recentMenu(Tbmpgen_Form& f)
{
    return f.findChild<QMenu*>(QStringLiteral("open_recent_MenuItem"));
}

// The entries of Open Recent as the user sees them when the menu opens:
// the path of each, with "(off)" after a greyed one.
QStringList recentEntries(Tbmpgen_Form& f)
{
    QMenu* menu = recentMenu(f);
    emit menu->aboutToShow();
    QStringList entries;
    for (QAction* a : menu->actions())
        if (a->data().isValid())
            entries << a->data().toString() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
    return entries;
}

QString savedProject(TFormFixture& fx, const QString& path)
{
    fx.newProject(path);
    fx.trigger("save_project_MenuItem");
    return fx.form().document().projectPath();
}

// Drags the files over widget and drops them there, as a file manager
// does; returns whether the drop was taken.
bool dropFiles(QWidget* widget, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    const QPoint at = widget->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    // The drop goes where the drag was accepted: the window, wherever over
    // it the files were let go.
    QWidget* target = widget->window();
    QDropEvent drop(QPointF(target->mapFromGlobal(widget->mapToGlobal(at))), Qt::CopyAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace

void TestDesktopConventions::init()
{
    TRecentProjects().clear();
}

void TestDesktopConventions::openRecentSurvivesARestart()
{
    QString first, second;
    {
        TFormFixture fx;
        first = savedProject(fx, m_dir.filePath(QStringLiteral("first.cvp")));
        second = savedProject(fx, m_dir.filePath(QStringLiteral("second.cvp")));
        fx.trigger("close_project_MenuItem");
        fx.dialogs().answers.enqueue(first);
        fx.trigger("open_project_MenuItem");
        QCOMPARE(recentEntries(fx.form()), QStringList({first, second}));
    }
    // A new window with the same settings: the program started again.
    TFormFixture fx;
    QCOMPARE(recentEntries(fx.form()), QStringList({first, second}));
    QMenu* menu = recentMenu(fx.form());
    QAction* entry = fx.form().findChild<QAction*>(QStringLiteral("recent_project_MenuItem2"));
    QVERIFY(entry && menu->actions().contains(entry));
    QCOMPARE(entry->text(), QStringLiteral("&2 ") + QDir::toNativeSeparators(second));
    entry->trigger();
    QCOMPARE(fx.form().document().projectPath(), second);
    QCOMPARE(fx.lastLog().description, QStringLiteral("Project Loaded"));
    // Opened last, so now first.
    QCOMPARE(recentEntries(fx.form()), QStringList({second, first}));
    // What was opened is what the next start sees, not a copy in memory.
    QCOMPARE(TRecentProjects().paths(), QStringList({second, first}));
}

void TestDesktopConventions::recentListKeepsEightNewestFirst()
{
    TRecentProjects recent;
    QStringList added;
    for (int i = 0; i < 10; ++i) {
        added.prepend(m_dir.filePath(QStringLiteral("p%1.cvp").arg(i)));
        recent.add(added.constFirst());
    }
    QCOMPARE(recent.paths(), added.mid(0, 8));
    // The same file again, by another spelling of its path: moved, not doubled.
    recent.add(m_dir.path() + QStringLiteral("/./sub/../p4.cvp"));
    QStringList expected = added.mid(0, 8);
    expected.removeAll(m_dir.filePath(QStringLiteral("p4.cvp")));
    expected.prepend(m_dir.filePath(QStringLiteral("p4.cvp")));
    QCOMPARE(recent.paths(), expected);
    // A settings file edited by hand (duplicates, blanks, too many) reads tidy.
    QSettings(QStringLiteral("Corvane"), QStringLiteral("Corvane Configurator"))
        .setValue(TRecentProjects::settingsKey(),
                  QStringList{"", "/a.cvp", "/a.cvp", "/b.cvp", "/c.cvp", "/d.cvp", "/e.cvp", "/f.cvp", "/g.cvp",
                              "/h.cvp", "/i.cvp"});
    QCOMPARE(recent.paths(),
             QStringList({"/a.cvp", "/b.cvp", "/c.cvp", "/d.cvp", "/e.cvp", "/f.cvp", "/g.cvp", "/h.cvp"}));
}

void TestDesktopConventions::missingRecentProjectIsGreyed()
{
    TFormFixture fx;
    const QString kept = savedProject(fx, m_dir.filePath(QStringLiteral("kept.cvp")));
    const QString gone = savedProject(fx, m_dir.filePath(QStringLiteral("gone.cvp")));
    fx.trigger("close_project_MenuItem");
    QVERIFY(QFile::remove(gone));
    QCOMPARE(recentEntries(fx.form()), QStringList({gone + QStringLiteral(" (off)"), kept}));
    // Clear Menu empties it for good.
    QAction* clear = fx.action("clear_recent_MenuItem");
    QVERIFY(clear->isEnabled());
    clear->trigger();
    QVERIFY(recentEntries(fx.form()).isEmpty());
    QVERIFY(TRecentProjects().paths().isEmpty());
}

void TestDesktopConventions::droppedProjectOpens_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer"); // to the discard question, when asked
    QTest::addColumn<bool>("opened");
    QTest::newRow("nothing to lose") << false << int(QMessageBox::NoButton) << true;
    QTest::newRow("modified, discard") << true << int(QMessageBox::Discard) << true;
    QTest::newRow("modified, keep") << true << int(QMessageBox::Cancel) << false;
}

void TestDesktopConventions::droppedProjectOpens()
{
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, opened);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString dropped = savedProject(fx, m_dir.filePath(QStringLiteral("dropped.cvp")));
    fx.newProject(m_dir.filePath(QStringLiteral("current.cvp")));
    if (!modified)
        fx.trigger("save_project_MenuItem");
    const QString current = f.document().projectPath();
    fx.prompter().clear();
    if (answer != QMessageBox::NoButton)
        fx.prompter().enqueue(QMessageBox::StandardButton(answer));

    // Let go over the activity log: anywhere on the window will do.
    QVERIFY(dropFiles(f.activityLog()->grid()->viewport(), {dropped}));
    // The project opens once the drop is over.
    QTRY_VERIFY(!fx.prompter().questions().isEmpty() || f.document().projectPath() == dropped);
    QCOMPARE(f.document().projectPath(), opened ? dropped : current);
    QCOMPARE(fx.prompter().questions().size(), modified ? 1 : 0);
    if (modified)
        QCOMPARE(fx.prompter().questions().constFirst().text,
                 QStringLiteral("The current project has been modified.      \rOK to discard changes?      "));
    if (opened)
        QCOMPARE(fx.lastLog().description, QStringLiteral("Project Loaded"));
}

void TestDesktopConventions::onlyProjectFilesOpenByDropping()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const QString picture = m_dir.filePath(QStringLiteral("picture.png"));
    QFile(picture).open(QIODevice::WriteOnly);
    QVERIFY(!dropFiles(f.activityLog()->grid()->viewport(), {picture}));

    // On the image view, pictures go to the group; a project file goes past
    // it to the window.
    const QString project = savedProject(fx, m_dir.filePath(QStringLiteral("other.cvp")));
    fx.newProject(m_dir.filePath(QStringLiteral("open.cvp")));
    fx.trigger("save_project_MenuItem");
    f.projectPages()->setCurrentWidget(f.imagesPage());
    QVERIFY(dropFiles(f.imagesPage()->imageView()->viewport(), {project}));
    QTRY_COMPARE(f.document().projectPath(), project);
    QVERIFY(f.document().images().at(kBackgroundsIdx)->cells.empty());
}

void TestDesktopConventions::standardShortcuts_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("key");
    QTest::newRow("new") << "new_project_MenuItem" << int(QKeySequence::New);
    QTest::newRow("open") << "open_project_MenuItem" << int(QKeySequence::Open);
    QTest::newRow("save") << "save_project_MenuItem" << int(QKeySequence::Save);
    QTest::newRow("save as") << "save_project_as_MenuItem" << int(QKeySequence::SaveAs);
    QTest::newRow("close") << "close_project_MenuItem" << int(QKeySequence::Close);
    QTest::newRow("quit") << "exit_MenuItem" << int(QKeySequence::Quit);
    QTest::newRow("help") << "user_guide_MenuItem" << int(QKeySequence::HelpContents);
}

void TestDesktopConventions::standardShortcuts()
{
    QFETCH(QString, action);
    QFETCH(int, key);
    TFormFixture fx;
    const QList<QKeySequence> keys = fx.action(action.toLatin1().constData())->shortcuts();
    for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::StandardKey(key)))
        QVERIFY2(keys.contains(k), qPrintable(k.toString()));
    // Whatever the desktop binds, Save As also answers the key users of every desktop know.
    if (action == QLatin1String("save_project_as_MenuItem"))
        QVERIFY(keys.contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
}

void TestDesktopConventions::saveAsStartsAtTheProject()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("site")));
    const QString path = savedProject(fx, m_dir.filePath(QStringLiteral("site/plant room.cvp")));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    const QString copy = m_dir.filePath(QStringLiteral("site/plant room 2.cvp"));
    fx.dialogs().answers.enqueue(copy);
    const int shown = fx.dialogs().shown;
    QTest::keySequence(&f, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QCOMPARE(fx.dialogs().shown, shown + 1);
    // The dialog opens in the project's folder with its name filled in.
    QCOMPARE(fx.dialogs().lastStart, path);
    QCOMPARE(f.document().projectPath(), copy);
    QVERIFY(QFileInfo::exists(copy));
}

void TestDesktopConventions::dialogsStartInTheLastProjectFolder()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("north")));
    const QString north = QFileInfo(m_dir.filePath(QStringLiteral("north"))).absoluteFilePath();
    {
        TFormFixture fx;
        // Nothing worked on yet: not the folder the program was started from.
        fx.trigger("new_project_MenuItem");
        QVERIFY(fx.dialogs().lastStart != QDir::currentPath());
        QVERIFY(QDir(fx.dialogs().lastStart).exists());
        savedProject(fx, QDir(north).filePath(QStringLiteral("tower.cvp")));
        fx.trigger("close_project_MenuItem");
        fx.trigger("open_project_MenuItem");
        QCOMPARE(fx.dialogs().lastStart, north);
        fx.trigger("new_project_MenuItem");
        QCOMPARE(fx.dialogs().lastStart, north);
    }
    // After a restart too: where the most recent project is.
    TFormFixture again;
    again.trigger("open_project_MenuItem");
    QCOMPARE(again.dialogs().lastStart, north);
}

void TestDesktopConventions::newProjectDialogSaysCreate()
{
    // The real dialog: its button creates a project, it opens nothing, and it
    // starts in the folder it is given.
    QString accept;
    QString shownFolder;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            accept = dialog->labelText(QFileDialog::Accept);
            shownFolder = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    driver.start();
    TQtFileDialogs dialogs;
    const QString folder = QFileInfo(m_dir.path()).absoluteFilePath();
    QVERIFY(dialogs.newProjectName(nullptr, folder).isEmpty());
    driver.stop();
    QCOMPARE(accept, QStringLiteral("Create"));
    QCOMPARE(shownFolder, folder);
}

void TestDesktopConventions::saveKeySavesTheProject()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("keys.cvp")));
    QVERIFY(f.document().isModified());
    const QList<QKeySequence> save = QKeySequence::keyBindings(QKeySequence::Save);
    QVERIFY(!save.isEmpty());
    // Window shortcuts act in the active window.
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::keySequence(&f, save.constFirst());
    QVERIFY(!f.document().isModified());
    QVERIFY(QFileInfo::exists(f.document().projectPath()));
    QCOMPARE(fx.lastLog().description, QStringLiteral("Project Saved"));
}

void TestDesktopConventions::titleBarMarksTheModifiedProject_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plain") << "site.cvp"
                           << " site - Corvane R/C Configurator v2";
    // The title bar's own placeholder, written into a file name, is shown as
    // written and does not take the marker.
    QTest::newRow("placeholder in the name") << "a[*]b.cvp"
                                             << " a[*]b - Corvane R/C Configurator v2";
}

void TestDesktopConventions::titleBarMarksTheModifiedProject()
{
    QFETCH(QString, file);
    QFETCH(QString, caption);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(file));
    QVERIFY(f.isWindowModified());
    QString marked = caption;
    marked.insert(caption.indexOf(QStringLiteral(" - Corvane")), QLatin1Char('*'));
    QCOMPARE(shownCaption(f), marked);
    fx.trigger("save_project_MenuItem");
    QVERIFY(!f.isWindowModified());
    QCOMPARE(shownCaption(f), caption);
    QCOMPARE(f.projectStatusBar()->modifiedPanel()->text(), QStringLiteral(" "));
}

void TestDesktopConventions::editMenuCutCopyPaste()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("clip.cvp")));
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QMenu* edit = f.findChild<QMenu*>(QStringLiteral("edit_MenuItem"));
    QVERIFY(edit);
    QAction* cut = fx.action("cut_MenuItem");
    QAction* copy = fx.action("copy_MenuItem");
    QAction* paste = fx.action("paste_MenuItem");
    QVERIFY(cut && copy && paste);
    QVERIFY(edit->actions().contains(cut));
    auto states = [&] {
        emit edit->aboutToShow();
        return QString(cut->isEnabled() ? "X" : "-") + (copy->isEnabled() ? "C" : "-")
            + (paste->isEnabled() ? "V" : "-");
    };

    // Focus outside any text: nothing to offer.
    f.projectPages()->tabBar()->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
    QCOMPARE(states(), QStringLiteral("---"));

    auto* memo = f.findChild<QPlainTextEdit*>(QStringLiteral("service_text_Memo"));
    QVERIFY(memo);
    f.projectPages()->setCurrentIndex(0);
    memo->setPlainText(QStringLiteral("Call Sam"));
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    memo->moveCursor(QTextCursor::End);
    QCOMPARE(states(), QStringLiteral("--V")); // no selection: only paste
    memo->selectAll();
    QCOMPARE(states(), QStringLiteral("XCV"));
    copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Call Sam"));
    cut->trigger();
    QCOMPARE(memo->toPlainText(), QString());
    paste->trigger();
    paste->trigger();
    QCOMPARE(memo->toPlainText(), QStringLiteral("Call SamCall Sam"));
}

void TestDesktopConventions::userGuideOpensInTheBrowser()
{
    // The build puts the guide where the program looks for it, beside bin/
    // as the package does under /usr.
    const QString guide = userGuidePath(QCoreApplication::applicationDirPath());
    QVERIFY2(QFileInfo(guide).isFile(), qPrintable(guide));
    TFormFixture fx;
    m_openedUrls.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openInBrowser");
    fx.trigger("user_guide_MenuItem");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(m_openedUrls, QList<QUrl>{QUrl::fromLocalFile(guide)});
    QVERIFY(fx.prompter().questions().isEmpty());
}

void TestDesktopConventions::missingUserGuideIsSaid()
{
    TFormFixture fx;
    m_openedUrls.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openInBrowser");
    openUserGuide(m_dir.filePath(QStringLiteral("bin")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(m_openedUrls.isEmpty());
    QCOMPARE(fx.prompter().questions().size(), 1);
    QVERIFY(fx.prompter().questions().at(0).text.contains(userGuidePath(m_dir.filePath(QStringLiteral("bin")))));
}
