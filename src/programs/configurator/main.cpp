// corvane-configurator: the desktop program.
//
//   corvane-configurator [--demo] [--port NAME] [--startup-ms]
//
//   --demo        start the virtual controller (corvane-rc-sim, next to this
//                 program) and offer its port to the device operations
//   --port NAME   offer this serial port first (not filtered by manufacturer)
//   --startup-ms  print the milliseconds from launch to the enabled main
//                 window on stdout (and how much of it the fixed pauses
//                 between the start-up steps took), then quit

#include "TStartupSequence.h"

#include "core/resources/TDM_images.h"

#include "ui/app/TConfiguratorApplication.h"
#include "ui/app/TDemoSimulator.h"
#include "ui/app/TErrorReport.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/app/gen_lib.h"

#include "core/device/TDeviceOperations.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();

    TConfiguratorApplication app(argc, argv);
    // The application name, not the display name: Qt would append a display
    // name to every window caption.
    QApplication::setApplicationName(QStringLiteral("Corvane Configurator"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The program's own icon on every window and in the task bar, crisp at
    // each size the desktop asks for.
    if (Has_Picture(QStringLiteral("APP_ICON_PNG"))) {
        QIcon icon;
        for (int side : {16, 24, 32, 48, 64, 128, 256})
            icon.addPixmap(QPixmap::fromImage(picture(QStringLiteral("APP_ICON_PNG"), QSize(side, side))));
        QApplication::setWindowIcon(icon);
    }

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Corvane R/C Configurator"));
    options.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Start the virtual controller and use its port."));
    const QCommandLineOption startupMs(
        QStringLiteral("startup-ms"),
        QStringLiteral("Print the milliseconds until the main window is enabled, then quit."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Offer the serial port NAME first to the device operations."),
                                  QStringLiteral("NAME"));
    options.addOption(demo);
    options.addOption(port);
    options.addOption(startupMs);
    options.process(app);

    TStartupSequence startup(sinceLaunch);
    try {
        startup.Run();
    } catch (const std::exception& error) {
        // Outside the event loop there is no handler to fall back on: a
        // start-up that cannot finish says why and ends.
        Report_Exception(error);
        return 1;
    }
    Tbmpgen_Form* window = startup.Main_Window();

    QStringList ports = options.values(port);
    QStringList notes;
    if (!ports.isEmpty())
        notes << QStringLiteral("Port %1 offered first").arg(ports.join(QStringLiteral(", ")));
    TDemoSimulator simulator;
    if (options.isSet(demo)) {
        if (simulator.Start(QCoreApplication::applicationDirPath())) {
            ports << simulator.Port();
            notes << QStringLiteral("Virtual controller on ") + simulator.Port();
            // The build's stand-in firmware may go to the virtual controller only.
            window->Device_Operations()->Allow_Placeholder_Firmware_On({simulator.Port()});
        } else {
            Show_Message_Box(simulator.Error_Text() + QStringLiteral("      \r")
                                 + QStringLiteral("The configurator runs without it.      "),
                             TMsgDlgType::mtWarning, QMessageBox::Ok);
        }
    }
    if (!ports.isEmpty())
        window->Set_Explicit_Ports(ports, notes.join(QStringLiteral("; ")));

    if (options.isSet(startupMs)) {
        std::printf("startup_ms %lld paused_ms %lld work_ms %lld\n", static_cast<long long>(startup.Ready_Ms()),
                    static_cast<long long>(startup.Paused_Ms()),
                    static_cast<long long>(startup.Ready_Ms() - startup.Paused_Ms()));
        std::fflush(stdout);
        return 0;
    }
    const int status = app.exec();
    simulator.Stop();
    return status;
}
