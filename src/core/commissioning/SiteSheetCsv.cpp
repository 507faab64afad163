#include "core/commissioning/SiteSheetCsv.h"

QChar csvSeparator(const QString& text)
{
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    // Blank lines above the header say nothing about it.
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    for (const QChar c : QStringView(text).mid(start)) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

bool readCsvRecords(const QString& text, TCsvTable& table, int* errorLine, QString* error)
{
    table.separator = csvSeparator(text);
    table.records.clear();
    const QChar sep = table.separator;
    auto fail = [&](int line, const QString& why) {
        *errorLine = line;
        *error = why;
        return false;
    };

    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        TCsvRecord record;
        record.line = line;
        bool endOfRecord = false;
        while (!endOfRecord) {
            QString cell;
            if (i < n && text[i] == QLatin1Char('"')) {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        return fail(opened, QStringLiteral("a quoted cell is never closed"));
                    const QChar c = text[i];
                    if (c == QLatin1Char('"')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                            cell += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    // A line break inside quotes belongs to the cell; CR LF
                    // counts as one line.
                    if (c == QLatin1Char('\n')
                        || (c == QLatin1Char('\r') && (i + 1 >= n || text[i + 1] != QLatin1Char('\n'))))
                        ++line;
                    cell += c;
                    ++i;
                }
                if (i < n && text[i] != sep && text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
                    return fail(line, QStringLiteral("text after the closing quote of a cell"));
            } else {
                while (i < n && text[i] != sep && text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n')) {
                    if (text[i] == QLatin1Char('"'))
                        return fail(line, QStringLiteral("a quote inside a cell that does not start with one"));
                    cell += text[i];
                    ++i;
                }
            }
            record.cells << cell;
            if (i < n && text[i] == sep) {
                ++i;
                continue;
            }
            endOfRecord = true;
            if (i < n && text[i] == QLatin1Char('\r'))
                ++i;
            if (i < n && text[i] == QLatin1Char('\n'))
                ++i;
            ++line;
        }
        table.records.push_back(std::move(record));
    }
    return true;
}
