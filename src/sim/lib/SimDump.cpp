#include "sim/lib/SimDump.h"

#include "sim/lib/SimMemory.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {
bool saveFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
} // namespace

bool SimDump::write(const QString& dir, const std::vector<QByteArray>& regions, const std::vector<SimFrame>& frames,
                    QString* error)
{
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(dir);
        return false;
    }
    QJsonArray regionList;
    for (std::size_t i = 0; i < regions.size() && i < SimMemory::kRegions.size(); ++i) {
        const SimRegion& r = SimMemory::kRegions[i];
        const QString file = QStringLiteral("%1.bin").arg(QLatin1String(r.name));
        if (!saveFile(QDir(dir).filePath(file), regions[i], error))
            return false;
        regionList.append(QJsonObject{{"name", QLatin1String(r.name)},
                                      {"address", static_cast<qint64>(r.address)},
                                      {"size", static_cast<qint64>(r.size)},
                                      {"file", file}});
    }
    QJsonArray frameList;
    for (const SimFrame& f : frames)
        frameList.append(f.toJson());
    const QJsonObject root{{"regions", regionList}, {"frames", frameList}};
    return saveFile(QDir(dir).filePath(QStringLiteral("frames.json")), QJsonDocument(root).toJson(), error);
}
