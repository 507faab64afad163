#pragma once
// What one drop or Add Images did, file by file, told in one box at its end:
// how many images were added and, for each refused file, why (for a picture
// of the wrong size, the size its group takes).

#include <QString>
#include <QStringList>

class TImportSummary {
public:
    void clear();
    // One file's outcome: status an import status code; reason what the
    // file check said, empty when the refusal came from the project (a full
    // group, no room left).
    void add(const QString& path, int status, const QString& reason);

    int added() const { return m_added; }
    int refused() const { return int(m_refused.size()); }
    // The box text: lines end in six blanks and are separated by carriage
    // returns, as every message of the window.
    QString text() const;

private:
    int m_added = 0;
    QStringList m_refused;
};
