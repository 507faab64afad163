// corvane-cli report: what one or more commissioning logs say about each
// controller: its latest attempt, with counts of ok and failed; as a table,
// CSV for a spreadsheet or a self-contained HTML page to print.
#include "CliCommand.h"
#include "CliOutputFiles.h"

#include "programs/common/QuietMessages.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/messaging/UntrustedText.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <map>

namespace {

QString reportText(const QString& text)
{
    return untrustedText(text, std::numeric_limits<int>::max());
}

struct Row {
    TCommissioningRecord record;
    int attempts = 0;
};

QStringList cells(const Row& row)
{
    const TCommissioningRecord& r = row.record;
    return {r.controllerKey(),
            r.port,
            r.partNumber ? QString::number(*r.partNumber) : QString(),
            r.upgrade ? r.upgrade->text() : r.firmware, // "1.04 -> 2.01" after an upgrade
            r.time.toString(Qt::ISODate),
            r.sent.join(QStringLiteral(", ")),
            verifyResultText(r.verify),
            r.configChecksum ? checksumText(*r.configChecksum) : QString(),
            r.imageBlockSha256,
            QString::number(row.attempts),
            r.ok ? QStringLiteral("ok") : QStringLiteral("failed"),
            r.message,
            r.project,
            r.projectSha256,
            r.siteRow,
            r.siteSheet};
}

const QStringList kHeader{"controller", "port",    "part number",     "firmware",           "time",
                          "sent",       "verify",  "config checksum", "image block sha256", "attempts",
                          "outcome",    "message", "project",         "project sha256"};

// Logs of runs with a site sheet add the row each controller got; reports of
// other logs keep their columns.
bool anySheet(const std::vector<Row>& rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const Row& r) { return !r.record.siteSheet.isEmpty(); });
}

QStringList header(const std::vector<Row>& rows)
{
    return anySheet(rows) ? kHeader + QStringList{"site row", "site sheet"} : kHeader;
}

QStringList cells(const Row& row, bool sheets)
{
    const QStringList c = cells(row);
    return sheets ? c : c.mid(0, kHeader.size());
}

QByteArray csv(const std::vector<Row>& rows)
{
    QString text = csvLine(header(rows));
    const bool sheets = anySheet(rows);
    for (const Row& r : rows)
        text += csvLine(cells(r, sheets));
    return text.toUtf8();
}

QByteArray html(const std::vector<Row>& rows, int ok, int failed, const QStringList& logs)
{
    QString t;
    QTextStream s(&t);
    s << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>Commissioning report</title>\n"
         "<style>\nbody{font-family:sans-serif;margin:2em;color:#111}\n"
         "table{border-collapse:collapse;font-size:0.85em}\nth,td{border:1px solid #999;padding:0.3em 0.5em;"
         "text-align:left;vertical-align:top}\nth{background:#eee}\ntd.ok{color:#075e07;font-weight:bold}\n"
         "td.failed{color:#a40000;font-weight:bold}\ncode{font-size:0.9em;word-break:break-all}\n"
         "@media print{body{margin:0}th{background:none}}\n</style></head><body>\n";
    s << "<h1>Commissioning report</h1>\n<p>" << rows.size() << (rows.size() == 1 ? " controller: " : " controllers: ")
      << ok << " ok, " << failed << " failed. Created "
      << QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toHtmlEscaped() << " from:</p>\n<ul>\n";
    for (const QString& log : logs)
        s << "<li><code>" << log.toHtmlEscaped() << "</code></li>\n";
    s << "</ul>\n<table>\n<tr>";
    const QStringList columns = header(rows);
    const bool sheets = anySheet(rows);
    for (const QString& h : columns)
        s << "<th>" << h.toHtmlEscaped() << "</th>";
    s << "</tr>\n";
    for (const Row& row : rows) {
        s << "<tr>";
        const QStringList c = cells(row, sheets);
        for (qsizetype i = 0; i < c.size(); ++i) {
            const bool outcome = columns[i] == QLatin1String("outcome");
            s << (outcome ? QStringLiteral("<td class=\"%1\">").arg(c[i]) : QStringLiteral("<td>"))
              << c[i].toHtmlEscaped() << "</td>";
        }
        s << "</tr>\n";
    }
    s << "</table>\n</body></html>\n";
    return t.toUtf8();
}

int runReport(const QStringList& args)
{
    CommandLine cl = cliCommandLine(
        "report",
        "For each controller (its adapter's serial number, else its port; controllers done one after\n"
        "another with commission --watch each count on their own) the latest attempt in the logs, and\n"
        "how many controllers ended ok and failed. A malformed line is reported on stderr with its line\n"
        "number and skipped; a file of which no line is a record is not a commissioning log and is\n"
        "refused. --csv writes a spreadsheet's CSV, --html a page with no external files; an output\n"
        "that is one of the logs is refused.\n"
        "Exit status: 0 the report was made (also with skipped lines), 1 a log or the output cannot be\n"
        "read or written, or a file is not a log, 2 usage error.");
    cl.addPositional("LOG", "A commissioning log (JSON Lines); several may be given.", "LOG...");
    cl.addOption({"csv", "Write the report as CSV to OUT.", "OUT"});
    cl.addOption({"html", "Write the report as an HTML page to OUT.", "OUT"});
    if (const auto status = cl.parse(args, 1, 1 << 20))
        return *status;
    if (cl.isSet("csv") && cl.isSet("html"))
        return cl.usageError(QStringLiteral("give --csv or --html, not both"));
    std::vector<CliFileArgument> logs;
    for (const QString& log : cl.positional())
        logs.push_back({QStringLiteral("the log"), log});
    for (const char* option : {"csv", "html"}) {
        if (!cl.isSet(option))
            continue;
        const QString clash = CliOutputFiles::clash({{QStringLiteral("--") + option, cl.value(option)}}, logs);
        if (!clash.isEmpty())
            return cl.usageError(clash);
    }

    std::map<QString, Row> latest;
    int order = 0;
    std::map<QString, int> seenAt;
    for (const QString& log : cl.positional()) {
        const TCommissioningLogContents contents = readCommissioningLog(log);
        if (!contents.readable)
            return cliFail(contents.error);
        // A project or a picture given by mistake would otherwise be a line
        // of complaint per line of the file and an empty report.
        if (contents.records.empty() && !contents.malformed.empty())
            return cliFail(QStringLiteral("%1: not a commissioning log (none of its %2 lines is a record; the first "
                                          "fails with: %3)")
                               .arg(log)
                               .arg(contents.malformed.size())
                               .arg(contents.malformed.front().problem));
        for (const TCommissioningLogLine& bad : contents.malformed)
            QTextStream(programStderr()) << "corvane-cli report: " << reportText(log) << ':' << bad.line
                                         << ": malformed line skipped (" << reportText(bad.problem) << ")\n";
        for (const TCommissioningRecord& r : contents.records) {
            Row& row = latest[r.controllerKey()];
            ++row.attempts;
            // Later in time wins; at the same time, the later line.
            if (row.attempts == 1 || r.time >= row.record.time) {
                row.record = r;
                seenAt[r.controllerKey()] = order;
            }
            ++order;
        }
    }
    std::vector<Row> rows;
    int ok = 0;
    for (const auto& [key, row] : latest) {
        rows.push_back(row);
        ok += row.record.ok ? 1 : 0;
    }
    const int failed = int(rows.size()) - ok;

    if (cl.isSet("csv") || cl.isSet("html")) {
        CliOutputFiles files;
        if (cl.isSet("csv"))
            files.add(cl.value("csv"), csv(rows));
        else
            files.add(cl.value("html"), html(rows, ok, failed, cl.positional()));
        QString error;
        if (!files.commit(&error))
            return cliFail(error);
    }
    QString text;
    // The project's hash shows a run that sent two different projects.
    QStringList shown{"controller", "part number", "firmware", "time", "sent", "verify", "project", "outcome"};
    // The row of the site sheet each controller got, when a run had one.
    const bool sheets = anySheet(rows);
    if (sheets)
        shown.insert(1, QStringLiteral("site row"));
    std::vector<QStringList> table{shown};
    for (const Row& row : rows) {
        const QStringList c = cells(row);
        QStringList line{c[0],
                         c[2].isEmpty() ? QStringLiteral("-") : c[2],
                         c[3].isEmpty() ? QStringLiteral("-") : c[3],
                         c[4],
                         c[5].isEmpty() ? QStringLiteral("nothing") : c[5],
                         c[6],
                         c[13].isEmpty() ? QStringLiteral("-") : c[13].left(12),
                         row.record.ok ? c[10] : c[10] + QStringLiteral(": ") + c[11]};
        if (sheets)
            line.insert(1, c[14].isEmpty() ? QStringLiteral("-") : c[14]);
        // Every cell comes from a log file: one visible line per controller.
        for (QString& cell : line)
            cell = reportText(cell);
        table.push_back(line);
    }
    std::vector<qsizetype> width(shown.size(), 0);
    for (const QStringList& r : table)
        for (qsizetype i = 0; i < r.size(); ++i)
            width[size_t(i)] = std::max(width[size_t(i)], r[i].size());
    for (const QStringList& r : table) {
        for (qsizetype i = 0; i < r.size(); ++i)
            text += i + 1 < r.size() ? r[i].leftJustified(width[size_t(i)] + 2) : r[i];
        text += QLatin1Char('\n');
    }
    text += QStringLiteral("%1 %2: %3 ok, %4 failed")
                .arg(rows.size())
                .arg(rows.size() == 1 ? QStringLiteral("controller") : QStringLiteral("controllers"))
                .arg(ok)
                .arg(failed);
    cliOut(text);
    return kExitOk;
}

const CliRegistration kReportCommand{{"report", "LOG... [--csv OUT | --html OUT]",
                                      "the latest commissioning outcome per controller from commissioning logs",
                                      runReport}};

} // namespace
