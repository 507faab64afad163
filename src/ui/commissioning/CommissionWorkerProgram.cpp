#include "ui/commissioning/CommissionWorkerProgram.h"

#include <QDir>
#include <QFileInfo>

QString commissionWorkerProgram(const QString& programDir, QString* error)
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("corvane-cli.exe");
#else
    const QString name = QStringLiteral("corvane-cli");
#endif
    const QFileInfo program(QDir(programDir).filePath(name));
    if (program.isFile() && program.isExecutable())
        return program.absoluteFilePath();
    *error = QStringLiteral("Commissioning needs %1 beside the configurator (looked for %2); reinstall the program.")
                 .arg(name, QDir::toNativeSeparators(program.absoluteFilePath()));
    return {};
}
