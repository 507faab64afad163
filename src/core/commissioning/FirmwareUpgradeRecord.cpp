#include "core/commissioning/FirmwareUpgradeRecord.h"

QJsonObject TFirmwareUpgradeRecord::toJson() const
{
    return {{"from", from},
            {"to", to},
            {"backup", backup.isEmpty() ? QJsonValue() : QJsonValue(backup)},
            {"outcome", ok ? QStringLiteral("ok") : QStringLiteral("failed")}};
}

TFirmwareUpgradeRecord TFirmwareUpgradeRecord::fromJson(const QJsonObject& o)
{
    TFirmwareUpgradeRecord r;
    r.from = o["from"].toString();
    r.to = o["to"].toString();
    r.backup = o["backup"].toString();
    r.ok = o["outcome"].toString() == QLatin1String("ok");
    return r;
}

QString TFirmwareUpgradeRecord::text() const
{
    const QString step = QStringLiteral("%1 -> %2")
                             .arg(from.isEmpty() ? QStringLiteral("?") : from, to.isEmpty() ? QStringLiteral("?") : to);
    return ok ? step : step + QStringLiteral(" failed");
}
