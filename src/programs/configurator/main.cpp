// corvane-configurator: the desktop program.
//
//   corvane-configurator [--demo] [--port NAME]... [--startup-ms] [--version] [FILE.cvp]
//
//   FILE.cvp      open this project once the window is up, exactly as the
//                 Open command would (a double-click in a file manager)
//   --demo        start the virtual controller (corvane-rc-sim, next to this
//                 program) and offer its port to the device operations
//   --port NAME   offer this serial port first (not filtered by manufacturer)
//   --startup-ms  print the milliseconds from launch to the enabled main
//                 window on stdout (and how much of it the fixed pauses
//                 between the start-up steps took), then quit

#include "TStartupSequence.h"

#include "programs/common/CommandLine.h"

#include "core/comms/SerialBackend.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "ui/common/TDM_images.h"

#include "ui/app/TConfiguratorApplication.h"
#include "ui/app/TDemoSimulator.h"
#include "ui/app/TErrorReport.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TProjectRecovery.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/common/gen_lib.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>
#include <exception>

namespace {

const QString kDemo = QStringLiteral("demo");
const QString kStartupMs = QStringLiteral("startup-ms");
const QString kPort = QStringLiteral("port");

std::optional<int> parseOptions(CommandLine& options, const QStringList& arguments)
{
    options.addVersionOption();
    options.addOption({kDemo, QStringLiteral("Start the virtual controller and use its port.")});
    options.addOption({kPort, QStringLiteral("Try only the serial port NAME in the device operations (repeatable)."),
                       QStringLiteral("NAME")},
                      true);
    options.addOption(
        {kStartupMs, QStringLiteral("Print the milliseconds until the main window is enabled, then quit.")});
    options.addPositional(QStringLiteral("FILE"), QStringLiteral("A project (.cvp or .bdp) to open at start-up."),
                          QStringLiteral("[FILE]"));
    return options.parse(arguments, 0, 1);
}

CommandLine makeOptions()
{
    return CommandLine(QStringLiteral("corvane-configurator"), QString(), QStringLiteral("[options] [FILE]"),
                       QStringLiteral("Corvane R/C Configurator"));
}

// Qt's X11 and Wayland plug-ins abort when no display server is there, with a
// message about reinstalling: say what is missing and the two ways out
// instead. Other plug-ins (offscreen, vnc, eglfs, ...) need no display.
bool displayMissing(int argc, char** argv)
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            platform = argv[i + 1];
    }
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return !x11 && !wayland;
    for (const QByteArray& choice : platform.split(';')) {
        const QByteArray name = choice.split(':').constFirst();
        if (name == "xcb" ? x11 : name.startsWith("wayland") ? wayland : true)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();

    if (displayMissing(argc, argv)) {
        // --help and --version still answer without a display.
        QCoreApplication core(argc, argv);
        CommandLine options = makeOptions();
        if (const auto status = parseOptions(options, QCoreApplication::arguments().mid(1)))
            return *status;
        std::fprintf(stderr,
                     "corvane-configurator: no display to open the window on (DISPLAY and WAYLAND_DISPLAY "
                     "are not set); run it under xvfb-run, or with QT_QPA_PLATFORM=offscreen for no "
                     "visible window\n");
        return kExitFailed;
    }

    TConfiguratorApplication app(argc, argv);
    CommandLine options = makeOptions();
    if (const auto status = parseOptions(options, QCoreApplication::arguments().mid(1)))
        return *status;
    QString backendError;
    if (!serialBackendFromEnvironment(&backendError)) {
        std::fprintf(stderr, "corvane-configurator: %s\n", qPrintable(backendError));
        return kExitUsage;
    }
    // The application name, not the display name: Qt would append a display
    // name to every window caption.
    QApplication::setApplicationName(QStringLiteral("Corvane Configurator"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The program's own icon on every window and in the task bar, crisp at
    // each size the desktop asks for.
    if (hasPicture(QStringLiteral("APP_ICON_PNG"))) {
        QIcon icon;
        for (int side : {16, 24, 32, 48, 64, 128, 256})
            icon.addPixmap(QPixmap::fromImage(picture(QStringLiteral("APP_ICON_PNG"), QSize(side, side))));
        QApplication::setWindowIcon(icon);
    }

    TStartupSequence startup(sinceLaunch);
    try {
        startup.run();
    } catch (const std::exception& error) {
        // Outside the event loop there is no handler to fall back on: a
        // start-up that cannot finish says why and ends.
        reportException(error);
        return 1;
    }
    Tbmpgen_Form* window = startup.mainWindow();

    QStringList ports = options.values(kPort);
    QStringList notes;
    if (!ports.isEmpty())
        notes << QStringLiteral("Port %1 only").arg(ports.join(QStringLiteral(", ")));
    TDemoSimulator simulator;
    if (options.isSet(kDemo)) {
        if (simulator.start(QCoreApplication::applicationDirPath())) {
            ports << simulator.port();
            notes << QStringLiteral("Virtual controller on ") + simulator.port();
            // The build's stand-in firmware may go to the virtual controller only.
            window->deviceOperations()->allowPlaceholderFirmwareOn({simulator.port()});
        } else {
            Show_Message_Box(simulator.errorText() + QStringLiteral("      \r")
                                 + QStringLiteral("The configurator runs without it.      "),
                             TMsgDlgType::MtWarning, QMessageBox::Ok);
        }
    }
    if (!ports.isEmpty())
        window->setExplicitPorts(ports, notes.join(QStringLiteral("; ")));
    // Ports the user named are the only ones tried; the virtual controller
    // alone still leaves the adapters to be searched.
    window->deviceOperations()->link().namedPortsOnly = !options.values(kPort).isEmpty();
    if (!simulator.port().isEmpty()) {
        // The status bar must not go on naming a controller that is gone.
        simulator.onEnded([window, port = simulator.port()] {
            window->setPortNote(QStringLiteral("Virtual controller on %1 has stopped").arg(port));
        });
    }

    if (options.isSet(kStartupMs)) {
        std::printf("startup_ms %lld paused_ms %lld work_ms %lld\n", static_cast<long long>(startup.readyMs()),
                    static_cast<long long>(startup.pausedMs()),
                    static_cast<long long>(startup.readyMs() - startup.pausedMs()));
        // Where the work went, in milliseconds per step.
        std::printf("work_split %s\n", qPrintable(startup.workSplit()));
        std::fflush(stdout);
        return 0;
    }
    // Unsaved work a crash or a power cut left behind is offered first.
    TProjectRecovery recovery(*window);
    recovery.offerRecovered();
    if (!options.positional().isEmpty()) {
        // Once the window is up, so that its boxes have a parent to sit on.
        const QString path = QFileInfo(options.positional().constFirst()).absoluteFilePath();
        QTimer::singleShot(0, window, [window, path] { window->commands()->openProjectPath(path); });
    }
    const int status = app.exec();
    simulator.stop();
    return status;
}
