#pragma once
// A site sheet: the CSV a building's installer keeps with one row per
// controller, giving each controller the fields in which its record differs
// from the project's (the service text naming its room, the master flag, ...).
//
//   adapter_serial,room,service_info_text,controller_type
//   FT4XK1A,Room 104,"Room 104
//   Call 0161 555 0100",0
//   FT4XK1B,Room 105,Room 105,1
//
// One key column says whom a row is for: adapter_serial (the USB adapter's
// serial number), port, or order (the n-th controller of a watch, from 1).
// A name or room column labels the row and is not sent. Every other column is
// a record field under its `info --json` name; an empty cell keeps the
// project's value. The whole sheet is checked when it is read: any problem
// leaves it unusable, so nothing is sent with half a sheet.

#include "core/commissioning/SiteSheetCsv.h"
#include "core/model/DeviceConfigRecords.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

class TSiteSheet {
public:
    enum class Key { AdapterSerial, Port, Order };

    struct Row {
        int line = 0;       // the sheet line the row starts on
        QString key;        // the key cell, trimmed
        QString label;      // the name or room cell, else the key
        QJsonObject values; // field name -> value, the non-empty cells only
    };

    // Larger than any building's sheet, small enough to read whole.
    static constexpr qint64 kMaxBytes = 1024 * 1024;
    static constexpr int kMaxRows = 10000;
    // Problems listed at most; a sheet with more is wrong throughout.
    static constexpr int kMaxProblems = 100;
    // A problem's text after its line and column; a cell quoted in it is cut.
    static constexpr int kMaxProblemCharacters = 240;

    // Reads and checks the file; false when it cannot be used (problems()).
    // name is how problems name the sheet, the path as given.
    bool read(const QString& path);
    // Checks bytes read elsewhere (name as in read()).
    bool parse(const QByteArray& bytes, const QString& name);

    bool isValid() const { return m_valid; }
    // One line per problem: "site.csv:7: column \"controller_type\": ...".
    const QStringList& problems() const { return m_problems; }

    QString name() const { return m_name; }
    QString fileName() const; // the name without its folders, for the log
    QString sha256() const { return m_sha256; }
    QByteArray bytes() const { return m_bytes; }
    Key key() const { return m_key; }
    QString keyColumn() const;
    const std::vector<Row>& rows() const { return m_rows; }

    // The row for a controller on port (adapter serial, n-th of a watch, 0
    // outside one), or nullptr when none is.
    const Row* rowFor(const QString& port, const QString& adapterSerial, int order) const;

    // Problems of rows that are each fine but together with the project's
    // record are not (an unoccupied lower limit left at the project's value
    // above the row's upper limit). Empty when every row fits.
    QStringList checkAgainst(const TDevice_Config_v2& project) const;

    // The project's record with the row's values.
    static TDevice_Config_v2 applied(const TDevice_Config_v2& project, const Row& row);

private:
    void problem(int line, const QString& column, const QString& text);
    void checkHeader(const QStringList& header, int line);
    void checkRows(const std::vector<TCsvRecord>& records);

    QString m_name;
    QByteArray m_bytes;
    QString m_sha256;
    bool m_valid = false;
    QStringList m_problems;
    int m_problemCount = 0;
    Key m_key = Key::AdapterSerial;
    int m_keyColumn = -1;
    QList<int> m_labelColumns;
    QList<int> m_badColumns; // named in a problem already: their cells are not checked
    QList<int> m_keyColumnIndexes;
    QStringList m_columns;
    std::vector<Row> m_rows;
};
