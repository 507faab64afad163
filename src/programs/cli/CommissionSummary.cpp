#include "CommissionSummary.h"

#include "core/messaging/UntrustedText.h"

#include <QStringList>

#include <algorithm>

namespace {
// Ports and messages come from the command line, files and controllers.
QString cellText(const QString& text)
{
    return untrustedText(text, 1 << 20);
}

QString sentText(const TCommissioningRecord& r)
{
    return r.sent.isEmpty() ? QStringLiteral("nothing") : r.sent.join(QStringLiteral(", "));
}

// "2.01", or "1.04 -> 2.01" after an upgrade.
QString firmwareText(const TCommissioningRecord& r)
{
    if (r.upgrade)
        return cellText(r.upgrade->text());
    return r.firmware.isEmpty() ? QStringLiteral("-") : cellText(r.firmware);
}

QString secondsText(double s)
{
    return QString::number(s, 'f', 1) + QStringLiteral(" s");
}
} // namespace

QString commissionResultLine(const TCommissioningRecord& r)
{
    QStringList parts{cellText(r.port)};
    if (r.partNumber)
        parts << QStringLiteral("%1 v%2").arg(*r.partNumber).arg(r.upgrade ? firmwareText(r) : r.firmware);
    parts << QStringLiteral("sent %1").arg(sentText(r)) << QStringLiteral("verify %1").arg(verifyResultText(r.verify))
          << secondsText(r.seconds) << (r.ok ? QStringLiteral("ok") : QStringLiteral("failed: ") + cellText(r.message));
    return parts.join(QStringLiteral("  "));
}

QString commissionTable(const std::vector<TCommissioningRecord>& records)
{
    const QStringList header{QStringLiteral("port"),   QStringLiteral("part number"), QStringLiteral("firmware"),
                             QStringLiteral("sent"),   QStringLiteral("verify"),      QStringLiteral("time"),
                             QStringLiteral("outcome")};
    std::vector<QStringList> rows{header};
    for (const TCommissioningRecord& r : records) {
        rows.push_back(
            {r.watchIndex > 0 ? QStringLiteral("%1 #%2").arg(cellText(r.port)).arg(r.watchIndex) : cellText(r.port),
             r.partNumber ? QString::number(*r.partNumber) : QStringLiteral("-"), firmwareText(r), sentText(r),
             verifyResultText(r.verify), secondsText(r.seconds),
             r.ok ? QStringLiteral("ok") : QStringLiteral("failed: ") + cellText(r.message)});
    }
    std::vector<qsizetype> width(header.size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            width[size_t(i)] = std::max(width[size_t(i)], row[i].size());
    QString text;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(width[size_t(i)] + 2) : row[i];
        text += line + QLatin1Char('\n');
    }
    return text;
}
