#include "core/commissioning/TSiteSheet.h"

#include "core/commissioning/SiteSheetFields.h"
#include "core/messaging/UntrustedText.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

const char* const kKeyColumns[] = {"adapter_serial", "port", "order"};
const char* const kLabelColumns[] = {"name", "room"};

bool hasControl(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

// The line of the first byte that is not UTF-8, from 1.
int firstBadLine(const QByteArray& bytes)
{
    int line = 1;
    for (const QByteArray& piece : bytes.split('\n')) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // The line break ends a sequence cut short at the end of the line.
        const QString decoded = decoder.decode(piece + '\n');
        if (decoder.hasError())
            return line;
        ++line;
    }
    return 1;
}

} // namespace

bool TSiteSheet::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *this = TSiteSheet();
        m_name = path;
        problem(0, {}, file.errorString());
        return false;
    }
    // Read one byte past the limit: enough to know the file is too large
    // without reading a huge or endless one whole.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *this = TSiteSheet();
        m_name = path;
        problem(0, {}, file.errorString());
        return false;
    }
    return parse(bytes, path);
}

QString TSiteSheet::fileName() const
{
    return QFileInfo(m_name).fileName();
}

QString TSiteSheet::keyColumn() const
{
    return QLatin1String(kKeyColumns[int(m_key)]);
}

void TSiteSheet::problem(int line, const QString& column, const QString& text)
{
    ++m_problemCount;
    if (m_problems.size() >= kMaxProblems)
        return;
    QString where = line > 0 ? QStringLiteral("%1:%2: ").arg(m_name).arg(line) : m_name + QStringLiteral(": ");
    if (!column.isEmpty())
        where += QStringLiteral("column \"%1\": ").arg(untrustedText(column));
    // Cells quoted in the text may hold line breaks and any length: each
    // problem stays one line of visible characters.
    m_problems << where + untrustedText(text, kMaxProblemCharacters);
}

bool TSiteSheet::parse(const QByteArray& input, const QString& name)
{
    *this = TSiteSheet();
    m_name = name;
    m_bytes = input;
    m_sha256 = QString::fromLatin1(QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex());
    auto done = [this] {
        if (m_problemCount > m_problems.size())
            m_problems
                << QStringLiteral("%1: %2 more problems not shown").arg(m_name).arg(m_problemCount - m_problems.size());
        m_valid = m_problemCount == 0;
        if (!m_valid)
            m_rows.clear();
        return m_valid;
    };
    if (input.size() > kMaxBytes) {
        problem(0, {}, QStringLiteral("larger than a site sheet may be (%1 bytes at most)").arg(kMaxBytes));
        return done();
    }
    QByteArray bytes = input;
    // Spreadsheets mark the CSV they save as UTF-8 with a byte order mark.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        problem(firstBadLine(bytes), {}, QStringLiteral("not UTF-8 text (save the sheet as CSV UTF-8)"));
        return done();
    }
    TCsvTable table;
    int errorLine = 0;
    QString error;
    if (!readCsvRecords(text, table, &errorLine, &error)) {
        problem(errorLine, {}, error);
        return done();
    }
    // Blank lines, and the rows of separators only a spreadsheet writes for
    // them, say nothing.
    std::vector<TCsvRecord> records;
    for (TCsvRecord& r : table.records) {
        bool blank = true;
        for (const QString& c : r.cells)
            blank = blank && c.trimmed().isEmpty();
        if (!blank)
            records.push_back(std::move(r));
    }
    if (records.empty()) {
        problem(0, {}, QStringLiteral("the sheet is empty: it needs a header row and a row per controller"));
        return done();
    }
    if (records.size() == 1)
        problem(0, {}, QStringLiteral("the sheet has a header but no rows"));
    // The rows are checked also under a bad header, so one pass over the
    // sheet names everything to mend.
    checkHeader(records.front().cells, records.front().line);
    checkRows(records);
    return done();
}

void TSiteSheet::checkHeader(const QStringList& header, int line)
{
    QStringList keys;
    for (int c = 0; c < header.size(); ++c) {
        const QString column = header[c].trimmed();
        m_columns << column;
        if (column.isEmpty()) {
            problem(line, {}, QStringLiteral("column %1 has no name").arg(c + 1));
            m_badColumns << c;
            continue;
        }
        if (m_columns.indexOf(column) < c) {
            problem(line, column, QStringLiteral("named twice"));
            m_badColumns << c;
            continue;
        }
        bool special = false;
        for (int k = 0; k < 3; ++k) {
            if (column == QLatin1String(kKeyColumns[k])) {
                keys << column;
                m_keyColumnIndexes << c;
                m_key = Key(k);
                m_keyColumn = c;
                special = true;
            }
        }
        for (const char* label : kLabelColumns) {
            if (column == QLatin1String(label)) {
                m_labelColumns << c;
                special = true;
            }
        }
        if (special || siteFieldKnown(column))
            continue;
        const QString why = siteFieldNotSettable(column);
        m_badColumns << c;
        problem(line, column,
                why.isEmpty()
                    ? QStringLiteral("not a field of the record (columns are named as corvane-cli info --json "
                                     "names the fields; adapter_serial, port, order, name and room besides)")
                    : QStringLiteral("cannot be set per controller: %1").arg(why));
    }
    if (keys.isEmpty())
        problem(
            line, {},
            QStringLiteral("no key column: one of adapter_serial, port or order says which controller a row is for"));
    else if (keys.size() > 1)
        problem(line, {},
                QStringLiteral("%1 key columns (%2): give one").arg(keys.size()).arg(keys.join(QStringLiteral(", "))));
}

void TSiteSheet::checkRows(const std::vector<TCsvRecord>& records)
{
    if (records.size() - 1 > std::size_t(kMaxRows)) {
        problem(0, {},
                QStringLiteral("%1 rows; a site sheet may have at most %2").arg(records.size() - 1).arg(kMaxRows));
        return;
    }
    QHash<QString, int> seen; // key -> line
    const QString keyName = m_columns.value(m_keyColumn);
    for (std::size_t r = 1; r < records.size(); ++r) {
        const TCsvRecord& record = records[r];
        if (record.cells.size() != m_columns.size()) {
            problem(record.line, {},
                    QStringLiteral("%1 %2 where the header has %3")
                        .arg(record.cells.size())
                        .arg(record.cells.size() == 1 ? QStringLiteral("cell") : QStringLiteral("cells"))
                        .arg(m_columns.size()));
            continue;
        }
        Row row;
        row.line = record.line;
        // Without one key column there is no key to check.
        QString key = m_keyColumnIndexes.size() == 1 ? record.cells[m_keyColumn].trimmed() : QStringLiteral("?");
        bool keyOk = m_keyColumnIndexes.size() == 1;
        if (keyOk && key.isEmpty()) {
            problem(record.line, keyName, QStringLiteral("empty: every row needs its key"));
            keyOk = false;
        } else if (keyOk && m_key == Key::Order) {
            bool ok = false;
            const int n = key.toInt(&ok);
            if (!ok || n < 1 || n > kMaxRows || key.startsWith(QLatin1Char('+'))) {
                problem(record.line, keyName,
                        QStringLiteral("\"%1\" is not a place in the order: 1 for the first controller, 2 for the "
                                       "second, ...")
                            .arg(key));
                keyOk = false;
            } else {
                key = QString::number(n);
            }
        } else if (keyOk && hasControl(key)) {
            problem(record.line, keyName, QStringLiteral("holds a control character"));
            keyOk = false;
        }
        if (keyOk) {
            const QString folded = m_key == Key::AdapterSerial ? key.toUpper() : key;
            if (seen.contains(folded)) {
                problem(record.line, keyName,
                        QStringLiteral("\"%1\" is also the key of line %2: one row per controller")
                            .arg(key)
                            .arg(seen[folded]));
            } else {
                seen.insert(folded, record.line);
            }
        }
        row.key = key;
        for (int c = 0; c < m_columns.size(); ++c) {
            const QString& cell = record.cells[c];
            if (m_keyColumnIndexes.contains(c) || m_badColumns.contains(c))
                continue;
            if (m_labelColumns.contains(c)) {
                if (row.label.isEmpty() && !cell.trimmed().isEmpty())
                    row.label = cell.trimmed();
                continue;
            }
            if (cell.trimmed().isEmpty())
                continue;
            QString why;
            const QJsonValue value = siteFieldValue(m_columns[c], cell, &why);
            if (value.isUndefined())
                problem(record.line, m_columns[c], why);
            else
                row.values.insert(m_columns[c], value);
        }
        if (hasControl(row.label))
            row.label.clear();
        if (row.label.isEmpty())
            row.label = key;
        m_rows.push_back(std::move(row));
    }
}

const TSiteSheet::Row* TSiteSheet::rowFor(const QString& port, const QString& adapterSerial, int order) const
{
    const QString device = QFileInfo(port).canonicalFilePath();
    for (const Row& row : m_rows) {
        switch (m_key) {
        case Key::Order:
            if (order > 0 && row.key == QString::number(order))
                return &row;
            break;
        case Key::AdapterSerial:
            if (!adapterSerial.isEmpty() && row.key.compare(adapterSerial, Qt::CaseInsensitive) == 0)
                return &row;
            break;
        case Key::Port:
            if (row.key == port || (!device.isEmpty() && QFileInfo(row.key).canonicalFilePath() == device))
                return &row;
            break;
        }
    }
    return nullptr;
}

TDevice_Config_v2 TSiteSheet::applied(const TDevice_Config_v2& project, const Row& row)
{
    TDevice_Config_v2 rec = project;
    applySiteValues(row.values, rec);
    return rec;
}

QStringList TSiteSheet::checkAgainst(const TDevice_Config_v2& project) const
{
    QStringList out;
    const QString lower = QStringLiteral("unoccupied_min_temp");
    const QString upper = QStringLiteral("unoccupied_max_temp");
    for (const Row& row : m_rows) {
        if (!row.values.contains(lower) && !row.values.contains(upper))
            continue;
        const TDevice_Config_v2 rec = applied(project, row);
        if (rec.unoccupied_min_temp + 20 > rec.unoccupied_max_temp)
            out << QStringLiteral("%1:%2: column \"%3\": the unoccupied lower limit (%4) must be at least 20 below the "
                                  "upper limit (%5)")
                       .arg(m_name)
                       .arg(row.line)
                       .arg(row.values.contains(lower) ? lower : upper)
                       .arg(rec.unoccupied_min_temp)
                       .arg(rec.unoccupied_max_temp);
    }
    return out;
}
