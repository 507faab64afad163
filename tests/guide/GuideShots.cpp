#include "GuideShots.h"

#include "SamplePictures.h"
#include "SmallPng.h"
#include "TScriptedFileDialogs.h"

#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "ui/app/TActivityLogPanel.h"
#include "ui/app/TCommissionLauncher.h"
#include "ui/app/TCommissioningLogWindow.h"
#include "ui/app/TProjectRecovery.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/commissioning/TAdapterPoller.h"
#include "ui/commissioning/TCommissionWindow.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/config_editor/Timg_select_Form.h"
#include "ui/device/TUploadDataPage.h"
#include "ui/device/Tfw_upg_Form.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"
#include "ui/scheduler/TSchedulerPage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoView>

#include <cstdio>

namespace {

constexpr QSize kShotSize(1024, 768);

} // namespace

GuideShots::GuideShots(const GuideShotsOptions& options) : m_options(options)
{
    setPrompter(this);
}

GuideShots::~GuideShots()
{
    m_window.reset();
    if (currentPrompter() == this)
        setPrompter(nullptr);
}

QMessageBox::StandardButton GuideShots::ask(const QString& text, TMsgDlgType kind, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
{
    // A confirmation on the way to the state being pictured is not the box to picture.
    if (m_confirm && buttons.testFlag(QMessageBox::Yes))
        return QMessageBox::Yes;
    QMessageBox::StandardButton way = QMessageBox::NoButton;
    for (auto escape : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Abort, QMessageBox::Close, QMessageBox::Ok})
        if (way == QMessageBox::NoButton && buttons.testFlag(escape))
            way = escape;
    if (way == QMessageBox::NoButton)
        way = defaultButton;
    if (m_boxShot.isEmpty())
        return way;
    // The real box, as the user sees it: pictured and closed from a timer
    // while it runs modally.
    const QString name = std::exchange(m_boxShot, QString());
    QTimer::singleShot(300, [this, name, way] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shoot(box, name);
        if (QAbstractButton* b = box->button(way))
            b->click();
        else
            box->reject();
    });
    setPrompter(nullptr);
    const QMessageBox::StandardButton answer = Show_Message_Box_Ex(text, kind, buttons, defaultButton);
    setPrompter(this);
    return answer;
}

bool GuideShots::step(const QString& state, const std::function<bool()>& reach)
{
    if (!m_error.isEmpty())
        return false;
    std::printf("state: %s\n", qPrintable(state));
    std::fflush(stdout);
    if (!reach() && m_error.isEmpty())
        m_error = QStringLiteral("state not reached: ") + state;
    return m_error.isEmpty();
}

bool GuideShots::waitFor(const std::function<bool()>& condition, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

bool GuideShots::shoot(QWidget* widget, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(m_options.outDir).filePath(name);
    if (!saveSmallPng(widget->grab().toImage(), path)) {
        m_error = QStringLiteral("could not write ") + path;
        return false;
    }
    m_written << name;
    return true;
}

// The screen as composed: the window with a menu open over it.
bool GuideShots::shootScreen(const QString& name)
{
    QApplication::processEvents();
    QScreen* screen = m_window->screen();
    const QRect frame = m_window->geometry();
    const QImage image = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    const QString path = QDir(m_options.outDir).filePath(name);
    if (image.isNull() || !saveSmallPng(image, path)) {
        m_error = QStringLiteral("could not write ") + path;
        return false;
    }
    m_written << name;
    return true;
}

bool GuideShots::makeSamplePictures()
{
    const QDir work(m_options.workDir);
    struct Sample {
        const char* file;
        QImage image;
    } samples[] = {
        {"garden.png", sampleBackground(480, 272, QColor(90, 160, 230))},
        {"evening.png", sampleBackground(480, 272, QColor(200, 120, 160))},
        {"acme.png", sampleLogo(125, 85)},
        {"notice.png", sampleNotice(480, 272)},
        {"photo.png", sampleBackground(640, 480, QColor(90, 160, 230))},
    };
    for (const Sample& s : samples)
        if (!s.image.save(work.filePath(QString::fromLatin1(s.file)))) {
            m_error = QStringLiteral("could not write the sample picture ") + QString::fromLatin1(s.file);
            return false;
        }
    return true;
}

bool GuideShots::selectConfigTab(const QString& caption)
{
    m_window->projectPages()->setCurrentWidget(m_window->configurationPage());
    auto* tabs = m_window->configurationPage()->findChild<QTabWidget*>(QStringLiteral("cfg_PageControl"));
    if (!tabs)
        return false;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == caption) {
            tabs->setCurrentIndex(i);
            return true;
        }
    return false;
}

bool GuideShots::selectTreeNode(const QString& text)
{
    m_window->projectPages()->setCurrentWidget(m_window->imagesPage());
    QTreeWidget* tree = m_window->treePanel()->Project_TreeView();
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty())
        return false;
    tree->setCurrentItem(found.constFirst());
    return true;
}

int GuideShots::logRows() const
{
    return m_window->activityLog()->grid()->rowCount();
}

bool GuideShots::logContains(const QString& description, int fromRow) const
{
    QTableWidget* grid = m_window->activityLog()->grid();
    for (int row = fromRow; row < grid->rowCount(); ++row)
        if (QTableWidgetItem* item = grid->item(row, 2); item && item->text() == description)
            return true;
    return false;
}

// Starts an operation and waits until the window takes input again.
bool GuideShots::runDeviceOperation(const std::function<void()>& start)
{
    QWidget* panel = m_window->findChild<QWidget*>(QStringLiteral("Project_Panel"));
    QPushButton* retrieve = m_window->configurationPage()->retrieve_cfg_Button();
    start();
    if (!waitFor([&] { return !retrieve->isEnabled(); }, 10000) && retrieve->isEnabled() && panel->isEnabled())
        return true; // over before it could be seen running
    return waitFor([&] { return retrieve->isEnabled() && panel->isEnabled(); }, 90000);
}

bool GuideShots::run()
{
    step(QStringLiteral("sample pictures"), [this] { return makeSamplePictures(); });
    const QDir work(m_options.workDir);
    const QString project = work.filePath(QStringLiteral("office-floor-2.cvp"));

    step(QStringLiteral("first start"), [this] {
        auto dialogs = std::make_unique<TScriptedFileDialogs>();
        m_dialogs = dialogs.get();
        m_window = std::make_unique<Tbmpgen_Form>(std::move(dialogs));
        m_window->resize(kShotSize);
        m_window->move(0, 0);
        m_window->show();
        m_window->setCommissioningLog(QDir(m_options.workDir).filePath(QStringLiteral("commissioning.jsonl")));
        m_window->setExplicitPorts({m_options.port}, QStringLiteral("Virtual controller on ") + m_options.port);
        m_window->deviceOperations()->setPortLister([this] { return QStringList{m_options.port}; });
        m_window->deviceOperations()->allowPlaceholderFirmwareOn({m_options.port, m_options.blankPort});
        return waitFor([this] { return m_window->isVisible(); }) && shoot(m_window.get(), "start.png");
    });

    step(QStringLiteral("new project"), [&] {
        m_dialogs->answers.enqueue(project);
        m_window->findChild<QAction*>(QStringLiteral("new_project_MenuItem"))->trigger();
        return waitFor([this] { return m_window->projectPages()->isVisible(); }) && selectConfigTab("General")
            && shoot(m_window.get(), "configuration-general.png");
    });
    const struct {
        const char* tab;
        const char* shot;
    } pages[] = {{"Occupancy", "configuration-occupancy.png"}, {"User Interface", "configuration-user-interface.png"}};
    for (const auto& page : pages)
        step(QString::fromLatin1(page.tab) + QStringLiteral(" page"),
             [&] { return selectConfigTab(QString::fromLatin1(page.tab)) && shoot(m_window.get(), page.shot); });
    step(QStringLiteral("scheduler"), [this] {
        if (!selectConfigTab("Scheduler"))
            return false;
        auto* enable = m_window->findChild<QCheckBox*>(QStringLiteral("scheduler_enable_CheckBox"));
        if (!enable)
            return false;
        if (!enable->isChecked())
            enable->click();
        if (!enable->isChecked())
            return false;
        // The first day (Sunday) gets two events: the editor at its event
        // page and its list, then the timeline that shows them.
        auto* page = m_window->findChild<TSchedulerPage*>();
        page->schedule_dow_Click_cb_fn(1);
        QWidget* editor = nullptr;
        waitFor(
            [&] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->inherits("Tscheduled_events_form") && w->isVisible())
                        editor = w;
                return editor != nullptr;
            },
            10000);
        if (!editor)
            return false;
        auto button = [editor](const char* name) {
            auto* b = editor->findChild<QAbstractButton*>(QString::fromLatin1(name));
            if (b)
                b->click();
            return b != nullptr;
        };
        // An event: its time, the unit on or off, and for "on" a setpoint.
        auto addEvent = [&](const char* hour, const char* minute, bool on, const char* shot) {
            if (!button("add_Button"))
                return false;
            if (auto* h = editor->findChild<QLineEdit*>(QStringLiteral("hour_Edit")))
                h->setText(QString::fromLatin1(hour));
            if (auto* m = editor->findChild<QLineEdit*>(QStringLiteral("min_Edit")))
                m->setText(QString::fromLatin1(minute));
            auto setting = [editor](const char* box, const char* list, int index) {
                auto* enable = editor->findChild<QCheckBox*>(QString::fromLatin1(box));
                auto* choice = editor->findChild<QComboBox*>(QString::fromLatin1(list));
                if (!enable || !choice)
                    return false;
                if (!enable->isChecked())
                    enable->click();
                choice->setCurrentIndex(index);
                return true;
            };
            if (!setting("run_enable_CheckBox", "run_ComboBox", on ? 1 : 0))
                return false;
            if (on && !setting("setpoint_enable_CheckBox", "setpoint_ComboBox", 3))
                return false;
            QApplication::processEvents();
            if (shot && !shoot(editor, QString::fromLatin1(shot)))
                return false;
            return button("event_accept_Button");
        };
        if (!addEvent("07", "30", true, "scheduler-event.png") || !addEvent("18", "00", false, nullptr))
            return false;
        QApplication::processEvents();
        if (!shoot(editor, "scheduler-day.png") || !button("event_list_ok_Button"))
            return false;
        return waitFor([editor] { return !editor->isVisible(); }, 10000) && shoot(m_window.get(), "scheduler.png");
    });

    auto importInto = [&](const QString& group, const QStringList& files) {
        if (!selectTreeNode(group))
            return false;
        QStringList paths;
        for (const QString& f : files)
            paths << work.filePath(f);
        const int before = logRows();
        m_window->imagesPage()->Drop_Image_Files(paths);
        return waitFor([&] { return logRows() >= before + files.size(); });
    };
    step(QStringLiteral("images added"), [&] {
        return importInto("BACKGROUNDS", {"garden.png", "evening.png"}) && importInto("LOGOS", {"acme.png"})
            && importInto("INFO_SCREENS", {"notice.png"}) && selectTreeNode("BACKGROUNDS")
            && shoot(m_window.get(), "images.png");
    });
    step(QStringLiteral("picture of the wrong size refused"), [&] {
        const int before = logRows();
        return importInto("BACKGROUNDS", {"photo.png"}) && logContains(TActivityLogPanel::statusCodeText(1), before)
            && selectTreeNode("GARDEN_PNG") && shoot(m_window.get(), "image-preview.png");
    });
    step(QStringLiteral("appearance with pictures"), [this] {
        if (!selectConfigTab("Appearance"))
            return false;
        auto* page = m_window->findChild<TAppearancePage*>();
        // Background and logo chosen in the selection window: switched on,
        // the first picture of each clicked.
        auto choose = [this, page](bool background, const char* shot) {
            if (background)
                page->bgrd_preview_ImageClick();
            else
                page->logo_preview_ImageClick();
            Timg_select_Form* select = nullptr;
            waitFor(
                [&] {
                    select = page->findChild<Timg_select_Form*>();
                    return select && select->isVisible();
                },
                10000);
            if (!select || !select->isVisible())
                return false;
            if (!select->img_enabled_CheckBox()->isChecked())
                select->img_enabled_CheckBox()->click();
            waitFor([select] { return !select->imgList.isEmpty(); }, 10000);
            const bool shotName = !shot || shoot(select, QString::fromLatin1(shot));
            select->done(Timg_select_Form::kClicked + 0);
            return shotName && waitFor([select] { return !select->isVisible(); }, 10000);
        };
        return page && choose(true, "appearance-choose.png") && choose(false, nullptr)
            && shoot(m_window.get(), "appearance.png");
    });

    step(QStringLiteral("saved, Open Recent"), [&] {
        m_window->findChild<QAction*>(QStringLiteral("save_project_MenuItem"))->trigger();
        if (!waitFor([this] { return !m_window->document().isModified(); }))
            return false;
        auto* file = m_window->findChild<QMenu*>(QStringLiteral("file_MenuItem"));
        auto* recent = m_window->findChild<QMenu*>(QStringLiteral("open_recent_MenuItem"));
        if (!file || !recent)
            return false;
        file->popup(m_window->mapToGlobal(m_window->menuBar()->geometry().bottomLeft()));
        waitFor([file] { return file->isVisible(); }, 5000);
        file->setActiveAction(recent->menuAction());
        recent->popup(file->mapToGlobal(file->actionGeometry(recent->menuAction()).topRight()));
        waitFor([recent] { return recent->isVisible(); }, 5000);
        const bool shot = shootScreen("open-recent.png");
        recent->hide();
        file->hide();
        return shot;
    });

    step(QStringLiteral("edit history"), [this] {
        QAction* history = m_window->findChild<QAction*>(QStringLiteral("history_MenuItem"));
        if (!history)
            return false;
        history->trigger();
        QWidget* dialog = nullptr;
        waitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != m_window.get() && w->isVisible() && w->findChild<QUndoView*>())
                    dialog = w;
            return dialog != nullptr;
        });
        const bool shot = dialog && shoot(dialog, "history.png");
        if (dialog)
            dialog->close();
        return shot;
    });

    // The next start after a crash: a recovery file nobody holds is offered.
    step(QStringLiteral("recovery offered"), [this] {
        const QString folder = QDir(m_options.workDir).filePath(QStringLiteral("recovery"));
        TProjectRecovery recovery(*m_window, folder);
        m_window->document().Set_Modified(true);
        recovery.writeNow();
        if (!QFile::copy(recovery.filePath(), QDir(folder).filePath(QStringLiteral("1234-5678.cvr"))))
            return false;
        m_boxShot = QStringLiteral("recovery.png");
        recovery.offerRecovered();
        if (!m_boxShot.isEmpty()) {
            m_error = QStringLiteral("the recovery file was not offered");
            return false;
        }
        // Saved again, as before the crash was played.
        m_window->findChild<QAction*>(QStringLiteral("save_project_MenuItem"))->trigger();
        return m_written.contains(QStringLiteral("recovery.png"));
    });

    step(QStringLiteral("upload"), [this] {
        m_window->projectPages()->setCurrentWidget(m_window->uploadPage());
        TUploadDataPage* page = m_window->uploadPage();
        const int before = logRows();
        return runDeviceOperation([page] { page->upload_data_BitBtn()->click(); })
            && logContains(TActivityLogPanel::statusCodeText(10), before) && shoot(m_window.get(), "upload.png");
    });

    step(QStringLiteral("retrieve"), [this] {
        selectConfigTab("General");
        const int before = logRows();
        return runDeviceOperation([this] { m_window->configurationPage()->retrieve_cfg_Button()->click(); })
            && logContains(TActivityLogPanel::statusCodeText(8), before) && shoot(m_window.get(), "retrieve.png");
    });

    // Retrieves on another port: the controller there and the port lister
    // point at it for one operation.
    auto retrieveFrom = [this](const QString& port) {
        m_window->setExplicitPorts({port}, QString());
        m_window->deviceOperations()->setPortLister([port] { return QStringList{port}; });
        const bool done = runDeviceOperation([this] { m_window->configurationPage()->retrieve_cfg_Button()->click(); });
        m_window->setExplicitPorts({m_options.port}, QString());
        m_window->deviceOperations()->setPortLister([this] { return QStringList{m_options.port}; });
        return done;
    };
    step(QStringLiteral("blank controller"), [&] {
        const int before = logRows();
        m_confirm = true;
        const bool retrieved = retrieveFrom(m_options.blankPort);
        m_confirm = false;
        return retrieved && logContains(TActivityLogPanel::statusCodeText(9), before)
            && shoot(m_window.get(), "error-config-corrupt.png");
    });
    step(QStringLiteral("controller not found"), [&] {
        m_boxShot = QStringLiteral("error-not-found.png");
        m_confirm = true;
        const bool done = retrieveFrom(work.filePath(QStringLiteral("ttyUSB9")));
        m_confirm = false;
        if (!m_boxShot.isEmpty())
            m_error = QStringLiteral("no message box said the controller was not found");
        return done && m_written.contains(QStringLiteral("error-not-found.png"))
            && shoot(m_window.get(), "error-not-found-log.png");
    });

    step(QStringLiteral("firmware window"), [this] {
        m_window->fw_upg_Button()->click();
        Tfw_upg_Form* form = m_window->firmwareWindow();
        if (!waitFor([form] { return form->isVisible(); }, 90000))
            return false;
        const bool shot = shoot(form, "firmware.png");
        static_cast<QDialog*>(form)->reject();
        waitFor([form] { return !form->isVisible(); }, 30000);
        return shot;
    });

    step(QStringLiteral("commissioning log"), [this] {
        m_window->findChild<QAction*>(QStringLiteral("commissioning_log_MenuItem"))->trigger();
        QWidget* logWindow = nullptr;
        waitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (dynamic_cast<TCommissioningLogWindow*>(w) && w->isVisible())
                    logWindow = w;
            return logWindow != nullptr;
        });
        if (!logWindow)
            return false;
        logWindow->resize(kShotSize);
        const bool shot = shoot(logWindow, "commissioning-log.png");
        logWindow->close();
        return shot;
    });

    // Both controllers at once from the Commission window (after the log's
    // picture, which it would otherwise change).
    step(QStringLiteral("commission window"), [this] {
        // The firmware window's connection is closed first.
        if (!waitFor([this] { return !m_window->deviceOperations()->isBusy(); }, 60000))
            return false;
        m_window->projectPages()->setCurrentWidget(m_window->uploadPage());
        m_window->uploadPage()->commissionButton()->click();
        TCommissionWindow* window = m_window->commissionLauncher()->commissionWindow();
        window->adapterPoller()->setLister([] { return std::vector<TCandidatePort>{}; });
        window->addPort(m_options.blankPort);
        window->resize(kShotSize);
        m_confirm = true; // an edited project is saved before it is sent
        window->startButton()->click();
        const bool ran = waitFor([window] { return !window->isRunning(); }, 180000);
        m_confirm = false;
        if (!ran || window->statusLabel()->text() != QStringLiteral("2 ok, 0 failed")) {
            m_error = QStringLiteral("the commission did not end with both controllers done: ")
                + window->statusLabel()->text();
            return false;
        }
        const bool shot = shoot(window, "commission-window.png");
        window->close();
        return shot;
    });
    return m_error.isEmpty();
}
