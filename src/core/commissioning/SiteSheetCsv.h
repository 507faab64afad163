#pragma once
// The CSV a spreadsheet saves: a header row, cells separated by commas or,
// where the decimal mark is a comma, by semicolons; a cell in double quotes
// may hold separators, line breaks and doubled quotes. The separator is the
// one the header row uses.

#include <QString>
#include <QStringList>

#include <vector>

struct TCsvRecord {
    int line = 0; // the line of the text the record starts on, from 1
    QStringList cells;
};

struct TCsvTable {
    QChar separator = QLatin1Char(',');
    std::vector<TCsvRecord> records; // the header first
};

// The separator of the first line that is not blank: the one of comma and semicolon it holds
// more of outside quotes, a comma when it holds neither.
QChar csvSeparator(const QString& text);

// Splits text into records. A line break is LF, CR LF or CR. False with the
// line and a reason when the quoting is broken (a quote never closed, text
// after a closing quote, a quote inside an unquoted cell).
bool readCsvRecords(const QString& text, TCsvTable& table, int* errorLine, QString* error);
