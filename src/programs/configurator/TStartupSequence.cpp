#include "TStartupSequence.h"

#include "core/commissioning/TCommissioningRecorder.h"
#include "ui/app/TWindowPlacement.h"
#include "ui/app/Tabout_Form.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/app/Tgallery_Form.h"
#include "ui/app/Tinfo_Form.h"
#include "ui/app/Tsettings_Form.h"
#include "ui/app/Tsplash_Form.h"
#include "ui/common/TDM_images.h"
#include "ui/common/gen_lib.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/config_editor/Timg_select_Form.h"
#include "ui/device/Tfw_upg_Form.h"

#include <QSettings>
#include <QSplitter>

TStartupSequence::TStartupSequence(const QElapsedTimer& sinceLaunch) : clock(sinceLaunch) { }

TStartupSequence::~TStartupSequence()
{
    // The main window goes first: its secondary windows are its children.
    mainWindow.reset();
    gallery.reset();
    imageStore.reset();
}

void TStartupSequence::Pause(int ms)
{
    QElapsedTimer t;
    t.start();
    Delay_With_Messages(ms);
    const qint64 paused = t.elapsed();
    pausedMs += paused;
    markedAt += paused;
}

void TStartupSequence::Mark(const char* step)
{
    const qint64 now = clock.elapsed();
    steps.emplace_back(step, now - markedAt);
    markedAt = now;
}

QString TStartupSequence::Work_Split() const
{
    QStringList parts;
    for (const auto& [step, ms] : steps)
        parts << QStringLiteral("%1 %2").arg(QLatin1String(step)).arg(ms);
    return parts.join(QLatin1Char(' '));
}

void TStartupSequence::Run()
{
    Mark("launch");
    auto* splash = new Tsplash_Form;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->Step();
    // Rendered on other threads while the splash pauses, so that the gallery
    // and the store find their pictures ready.
    Prerender_Pictures(Tgallery_Form::startUpPictures() + TDM_imagestore::startUpPictures());
    Mark("splash");
    Pause(300);

    gallery = std::make_unique<Tgallery_Form>();
    splash->Step();
    Mark("gallery");
    Pause(300);

    imageStore = std::make_unique<TDM_imagestore>();
    splash->Step();
    Mark("pictures");
    Pause(300);

    // The main window stays disabled while the splash is up, so nothing can
    // be started before every window exists. The secondary windows are its
    // children: created once, reused, freed with it. The scheduled-events
    // editor and its copy dialog belong to the scheduler page, which the main
    // window creates.
    mainWindow = std::make_unique<Tbmpgen_Form>();
    mainWindow->setEnabled(false);
    // Where the user left it last time, or a size that fits this screen.
    auto* placement = new TWindowPlacement(
        mainWindow.get(), mainWindow->findChild<QSplitter*>(QStringLiteral("log_Splitter")),
        std::make_unique<QSettings>(QStringLiteral("Corvane"), QStringLiteral("Corvane Configurator")));
    placement->restore();
    mainWindow->show();
    mainWindow->Set_Firmware_Window(new Tfw_upg_Form(mainWindow.get()));
    auto* about = new Tabout_Form(mainWindow.get());
    auto* information = new Tinfo_Form(mainWindow.get());
    new Tsettings_Form(mainWindow.get());
    mainWindow->Set_Help_Windows(information, about);
    mainWindow->Set_Commissioning_Log(Window_Commissioning_Log());
    splash->Step();
    Mark("windows");
    Pause(300);

    mainWindow->Configuration_Page()->appearancePage()->setSelectionWindow(new Timg_select_Form(mainWindow.get()));
    Mark("selection");
    Pause(1000);

    splash->close();
    mainWindow->setEnabled(true);
    readyMs = clock.elapsed();
    Mark("enable");
}
