#include "FuzzTargets.h"

#include "core/commissioning/TSiteSheet.h"
#include "core/model/DeviceConfig.h"

#include <QSet>

#include <cstdlib>
#include <cstring>

QString fuzzSiteSheet(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TSiteSheet sheet;
    const bool ok = sheet.parse(bytes, QStringLiteral("site.csv"));
    // A bad sheet has its problems named, each on a line of its own and
    // naming the sheet, and gives no rows to send.
    if (ok != sheet.problems().isEmpty() || ok != sheet.isValid())
        std::abort();
    if (sheet.problems().size() > TSiteSheet::kMaxProblems + 1)
        std::abort();
    for (const QString& p : sheet.problems()) {
        if (!p.startsWith(QLatin1String("site.csv:")) || p.contains(QLatin1Char('\n')))
            std::abort();
    }
    if (!ok) {
        if (!sheet.rows().empty())
            std::abort();
        return QStringLiteral("refused: %1 problems").arg(sheet.problems().size());
    }

    const TDevice_Config_v2 project = newProjectConfig();
    QSet<QString> keys;
    for (const TSiteSheet::Row& row : sheet.rows()) {
        if (row.key.isEmpty() || row.label.isEmpty())
            std::abort();
        // One row per controller: the key leads back to this very row.
        const QString folded = sheet.key() == TSiteSheet::Key::AdapterSerial ? row.key.toUpper() : row.key;
        if (keys.contains(folded))
            std::abort();
        keys.insert(folded);
        if (sheet.key() == TSiteSheet::Key::Order && sheet.rowFor(QString(), QString(), row.key.toInt()) != &row)
            std::abort();
        if (sheet.key() == TSiteSheet::Key::AdapterSerial && sheet.rowFor(QString(), row.key, 0) != &row)
            std::abort();
        // What a row sends is what the controller shows: a service text the
        // field holds whole, in at most three lines.
        const TDevice_Config_v2 rec = TSiteSheet::applied(project, row);
        const TDevice_Config_v2 again = TSiteSheet::applied(rec, row);
        if (std::memcmp(&rec, &again, sizeof rec) != 0)
            std::abort();
        if (serviceTextLineCount(readServiceText(rec)) > kServiceTextMaxLines)
            std::abort();
        if (row.values.contains(QLatin1String("service_info_text"))) {
            QString text = row.values.value(QLatin1String("service_info_text")).toString();
            if (readServiceText(rec) != text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")))
                std::abort();
        }
    }
    (void)sheet.checkAgainst(project);
    return QStringLiteral("accepted: %1 rows keyed by %2").arg(sheet.rows().size()).arg(sheet.keyColumn());
}
