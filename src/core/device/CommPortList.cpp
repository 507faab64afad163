#include "core/device/CommPortList.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace {
// Explicit names may be symlinks (the virtual controller's link, udev's
// by-id names); compare by the device they lead to.
QString canonical(const QString& name)
{
    const QString c = QFileInfo(name).canonicalFilePath();
    return c.isEmpty() ? name : c;
}
} // namespace

std::vector<TCandidatePort> getCommPortCandidates(const QString& mfg_str, const QStringList& named)
{
    std::vector<TCandidatePort> out;
    QStringList seen;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QString& n : named) {
        TCandidatePort c{n, {}, true, {}};
        for (const QSerialPortInfo& info : ports) {
            if (canonical(info.systemLocation()) == canonical(n)) {
                c.manufacturer = info.manufacturer();
                c.serialNumber = info.serialNumber();
            }
        }
        out.push_back(c);
        seen << canonical(n);
    }
    for (const QSerialPortInfo& info : ports) {
        if (!mfg_str.isEmpty() && !info.manufacturer().contains(mfg_str, Qt::CaseSensitive))
            continue;
        if (seen.contains(canonical(info.systemLocation())))
            continue;
        out.push_back({info.systemLocation(), info.manufacturer(), false, info.serialNumber()});
    }
    return out;
}

QStringList Get_CommPort_List(const QString& mfg_str, const QStringList& named)
{
    QStringList list;
    for (const TCandidatePort& c : getCommPortCandidates(mfg_str, named))
        list << c.name;
    return list;
}

QStringList namedPortsFirst(const QStringList& named, const QStringList& listed)
{
    QStringList list = named;
    QStringList seen;
    for (const QString& n : named)
        seen << canonical(n);
    for (const QString& l : listed) {
        if (!seen.contains(canonical(l))) {
            list << l;
            seen << canonical(l);
        }
    }
    return list;
}
