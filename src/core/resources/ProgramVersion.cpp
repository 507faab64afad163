#include "core/resources/ProgramVersion.h"

QString Program_Version()
{
    return QStringLiteral(CORVANE_VERSION);
}

QString Product_Name()
{
    return QStringLiteral("Corvane R/C Configurator");
}
