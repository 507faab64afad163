#include "CliPixelFormats.h"

#include "core/imaging/PixelFormat.h"

#include <QStringList>

QString cliFormatLabel(int format)
{
    // 17 and 18 convert and pack alike; they differ in the row size the
    // block's handle header announces and in having defaults of their own.
    if (format == 17)
        return QStringLiteral("grey 2 bit, 4 pixels per byte, row size width/4");
    if (format == 18)
        return QStringLiteral("grey 2 bit packed as 17, row size in the header = width, 17's dithering defaults");
    return pixelFormatName(format);
}

QString cliFormatTable()
{
    QStringList lines;
    for (int format : {0, 1, 2, 3, 4, 5, 6, 7, 17, 18})
        lines << QStringLiteral("  %1  %2").arg(format, 2).arg(cliFormatLabel(format));
    return lines.join(QLatin1Char('\n'));
}
