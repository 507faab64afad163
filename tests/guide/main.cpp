// guide_screenshots: the pictures of the user guide, made by driving the
// configurator's main window to each state the guide shows. Built with the
// tests, never installed; scripts/screenshots starts the virtual controllers
// and runs it.
//
//   guide_screenshots --out DIR --work DIR --port NAME --blank-port NAME
//
//   --out         where the pictures go (PNG, 1024 x 768 for the window)
//   --work        a folder for the project and the sample pictures
//   --port        a virtual controller that holds a configuration
//   --blank-port  a virtual controller that never got one

#include "GuideShots.h"

#include "ui/common/TDM_images.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QStyleFactory>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane Configurator"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (hasPicture(QStringLiteral("APP_ICON_PNG")))
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(picture(QStringLiteral("APP_ICON_PNG"), QSize(32, 32)))));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the pictures."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption work(QStringLiteral("work"), QStringLiteral("Folder for the project."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Controller with a configuration."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption blank(QStringLiteral("blank-port"), QStringLiteral("Controller without one."),
                                   QStringLiteral("NAME"));
    parser.addOptions({out, work, port, blank});
    parser.process(app);
    for (const QCommandLineOption& o : {out, work, port, blank})
        if (parser.value(o).isEmpty()) {
            std::fprintf(stderr, "guide_screenshots: --%s is missing (try --help)\n",
                         qPrintable(o.names().constFirst()));
            return 2;
        }

    GuideShots shots({parser.value(out), parser.value(work), parser.value(port), parser.value(blank)});
    if (!shots.run()) {
        std::fprintf(stderr, "guide_screenshots: %s\n", qPrintable(shots.error()));
        return 1;
    }
    for (const QString& name : shots.written())
        std::printf("wrote %s\n", qPrintable(name));
    return 0;
}
