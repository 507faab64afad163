#include "core/resources/CarriedData.h"

#include <QFile>

#include <stdexcept>

QByteArray readResourceData(const QString& name)
{
    QFile f(QStringLiteral(":/carried/") + name);
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || !f.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("The program carries no resource \"%1\".").arg(name).toStdString());
    return f.readAll();
}

quint16 Read_Resource_Word(const QString& name)
{
    const QByteArray data = readResourceData(name);
    if (data.size() < 2)
        throw std::runtime_error(QStringLiteral("The resource \"%1\" holds no 16-bit value.").arg(name).toStdString());
    return quint16(quint8(data[0]) | (quint8(data[1]) << 8));
}

bool carriedFirmwareIsPlaceholder()
{
    return CORVANE_FIRMWARE_PLACEHOLDER != 0;
}
