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

TStartupSequence::TStartupSequence(const QElapsedTimer& sinceLaunch) : m_clock(sinceLaunch) { }

TStartupSequence::~TStartupSequence()
{
    // The main window goes first: its secondary windows are its children.
    m_mainWindow.reset();
    m_gallery.reset();
    m_imageStore.reset();
}

void TStartupSequence::pause(int ms)
{
    QElapsedTimer t;
    t.start();
    Delay_With_Messages(ms);
    const qint64 paused = t.elapsed();
    m_pausedMs += paused;
    m_markedAt += paused;
}

void TStartupSequence::Mark(const char* step)
{
    const qint64 now = m_clock.elapsed();
    m_steps.emplace_back(step, now - m_markedAt);
    m_markedAt = now;
}

QString TStartupSequence::workSplit() const
{
    QStringList parts;
    for (const auto& [step, ms] : m_steps)
        parts << QStringLiteral("%1 %2").arg(QLatin1String(step)).arg(ms);
    return parts.join(QLatin1Char(' '));
}

void TStartupSequence::run()
{
    Mark("launch");
    auto* splash = new TsplashForm;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    splash->advance();
    // Rendered on other threads while the splash pauses, so that the gallery
    // and the store find their pictures ready.
    prerenderPictures(TgalleryForm::startUpPictures() + TDM_imagestore::startUpPictures());
    Mark("splash");
    pause(300);

    m_gallery = std::make_unique<TgalleryForm>();
    splash->advance();
    Mark("gallery");
    pause(300);

    m_imageStore = std::make_unique<TDM_imagestore>();
    splash->advance();
    Mark("pictures");
    pause(300);

    // The main window stays disabled while the splash is up, so nothing can
    // be started before every window exists. The secondary windows are its
    // children: created once, reused, freed with it. The scheduled-events
    // editor and its copy dialog belong to the scheduler page, which the main
    // window creates.
    m_mainWindow = std::make_unique<Tbmpgen_Form>();
    m_mainWindow->setEnabled(false);
    // Where the user left it last time, or a size that fits this screen.
    auto* placement = new TWindowPlacement(
        m_mainWindow.get(), m_mainWindow->findChild<QSplitter*>(QStringLiteral("log_Splitter")),
        std::make_unique<QSettings>(QStringLiteral("Corvane"), QStringLiteral("Corvane Configurator")));
    placement->restore();
    m_mainWindow->show();
    m_mainWindow->setFirmwareWindow(new Tfw_upg_Form(m_mainWindow.get()));
    auto* about = new TaboutForm(m_mainWindow.get());
    auto* information = new TinfoForm(m_mainWindow.get());
    new TsettingsForm(m_mainWindow.get());
    m_mainWindow->setHelpWindows(information, about);
    m_mainWindow->setCommissioningLog(windowCommissioningLog());
    splash->advance();
    Mark("windows");
    pause(300);

    m_mainWindow->configurationPage()->appearancePage()->setSelectionWindow(new Timg_select_Form(m_mainWindow.get()));
    Mark("selection");
    pause(1000);

    splash->close();
    m_mainWindow->setEnabled(true);
    m_readyMs = m_clock.elapsed();
    Mark("enable");
}
