#include "core/comms/CommsTrace.h"

#include <QByteArray>

Q_LOGGING_CATEGORY(lcComms, "corvane.comms", QtInfoMsg)

QString commsTraceLine(double msSinceOpen, const QString& port, const char* direction, const uint8_t* bytes,
                       std::size_t length)
{
    const QByteArray hex
        = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(length)).toHex(' ');
    return QStringLiteral("%1 ms %2 %3 %4: %5")
        .arg(msSinceOpen, 0, 'f', 1)
        .arg(port, QLatin1String(direction))
        .arg(length)
        .arg(QString::fromLatin1(hex));
}
