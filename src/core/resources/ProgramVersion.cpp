#include "core/resources/ProgramVersion.h"

QString programVersion()
{
    return QStringLiteral(CORVANE_VERSION);
}

QString productName()
{
    return QStringLiteral("Corvane R/C Configurator");
}
