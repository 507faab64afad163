#include "core/commissioning/CommissioningRecord.h"

#include <QJsonArray>

#include <cmath>

QString verifyResultText(TVerifyResult r)
{
    switch (r) {
    case TVerifyResult::Passed: return QStringLiteral("passed");
    case TVerifyResult::Failed: return QStringLiteral("failed");
    case TVerifyResult::NotRun: break;
    }
    return QStringLiteral("not run");
}

QString checksumText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

QJsonObject TCommissioningRecord::toJson() const
{
    QJsonObject o;
    o["time"] = time.toUTC().toString(Qt::ISODateWithMs);
    o["port"] = port;
    o["adapter_serial"] = adapterSerial.isEmpty() ? QJsonValue() : QJsonValue(adapterSerial);
    o["part_number"] = partNumber ? QJsonValue(*partNumber) : QJsonValue();
    o["firmware"] = firmware.isEmpty() ? QJsonValue() : QJsonValue(firmware);
    o["project"] = project;
    o["project_sha256"] = projectSha256;
    if (configChecksum) {
        QJsonArray bytes;
        for (char c : *configChecksum)
            bytes.append(int(uint8_t(c)));
        o["config_checksum"] = bytes;
    } else {
        o["config_checksum"] = QJsonValue();
    }
    o["image_block_bytes"] = imageBlockBytes ? QJsonValue(double(*imageBlockBytes)) : QJsonValue();
    o["image_block_sha256"] = imageBlockSha256.isEmpty() ? QJsonValue() : QJsonValue(imageBlockSha256);
    o["sent"] = QJsonArray::fromStringList(sent);
    o["verify"] = verifyResultText(verify);
    o["seconds"] = qRound(seconds * 10) / 10.0;
    o["outcome"] = ok ? QStringLiteral("ok") : QStringLiteral("failed");
    o["message"] = message;
    if (watchIndex > 0) {
        o["watch_session"] = watchSession;
        o["watch_index"] = watchIndex;
    }
    if (upgrade)
        o["upgrade"] = upgrade->toJson();
    // Lines of runs without a sheet stay as they were.
    if (!siteSheet.isEmpty()) {
        o["site_sheet"] = siteSheet;
        o["site_sheet_sha256"] = siteSheetSha256;
        o["site_row"] = siteRow.isEmpty() ? QJsonValue() : QJsonValue(siteRow);
        o["site_values"] = siteValues;
    }
    return o;
}

std::optional<TCommissioningRecord> TCommissioningRecord::fromJson(const QJsonObject& o, QString* why)
{
    auto refuse = [why](const QString& text) {
        if (why)
            *why = text;
        return std::nullopt;
    };
    TCommissioningRecord r;
    for (const char* key : {"time", "port", "outcome"}) {
        if (!o.value(QLatin1String(key)).isString())
            return refuse(QStringLiteral("\"%1\" is missing or not a text").arg(QLatin1String(key)));
    }
    r.time = QDateTime::fromString(o["time"].toString(), Qt::ISODateWithMs);
    if (!r.time.isValid())
        return refuse(QStringLiteral("\"time\" is not an ISO 8601 time"));
    r.time = r.time.toUTC();
    const QString outcome = o["outcome"].toString();
    if (outcome != QLatin1String("ok") && outcome != QLatin1String("failed"))
        return refuse(QStringLiteral("\"outcome\" is neither ok nor failed"));
    r.ok = outcome == QLatin1String("ok");
    r.port = o["port"].toString();
    r.adapterSerial = o["adapter_serial"].toString();
    if (o["part_number"].isDouble())
        r.partNumber = o["part_number"].toInt();
    r.firmware = o["firmware"].toString();
    r.project = o["project"].toString();
    r.projectSha256 = o["project_sha256"].toString();
    if (o["config_checksum"].isArray()) {
        QByteArray bytes;
        for (const QJsonValue& v : o["config_checksum"].toArray())
            bytes.append(char(v.toInt()));
        r.configChecksum = bytes;
    }
    if (o["image_block_bytes"].isDouble()) {
        // A count beyond what a 64-bit integer holds cannot be converted;
        // no block comes near 2^53 bytes.
        const double bytes = o["image_block_bytes"].toDouble();
        if (!(bytes >= 0 && bytes <= 9007199254740992.0))
            return refuse(QStringLiteral("\"image_block_bytes\" is not a byte count"));
        r.imageBlockBytes = qint64(bytes);
    }
    r.imageBlockSha256 = o["image_block_sha256"].toString();
    for (const QJsonValue& v : o["sent"].toArray())
        r.sent << v.toString();
    const QString verify = o["verify"].toString();
    r.verify = verify == QLatin1String("passed") ? TVerifyResult::Passed
        : verify == QLatin1String("failed")      ? TVerifyResult::Failed
                                                 : TVerifyResult::NotRun;
    r.seconds = o["seconds"].toDouble();
    // Written back rounded to tenths in an int: a duration beyond a year
    // is no attempt's.
    if (!(std::abs(r.seconds) <= 1e8))
        return refuse(QStringLiteral("\"seconds\" is not a duration"));
    r.message = o["message"].toString();
    r.watchSession = o["watch_session"].toString();
    r.watchIndex = o["watch_index"].toInt();
    // Lines written before upgrades were made have none.
    if (o["upgrade"].isObject())
        r.upgrade = TFirmwareUpgradeRecord::fromJson(o["upgrade"].toObject());
    r.siteSheet = o["site_sheet"].toString();
    if (!r.siteSheet.isEmpty()) {
        r.siteSheetSha256 = o["site_sheet_sha256"].toString();
        r.siteRow = o["site_row"].toString();
        r.siteValues = o["site_values"].toObject();
    }
    return r;
}

QString TCommissioningRecord::controllerKey() const
{
    const QString link = adapterSerial.isEmpty() ? port : adapterSerial;
    if (watchIndex <= 0)
        return link;
    return QStringLiteral("%1 #%2 (watch of %3)").arg(link).arg(watchIndex).arg(watchSession);
}

QString csvCell(QString text)
{
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text[0]))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r')))
        text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return text;
}

QString csvLine(const QStringList& cells)
{
    QStringList quoted;
    for (const QString& c : cells)
        quoted << csvCell(c);
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}
