#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;
class QTableWidget;

// The activity log below the project area: a title and the grid
// "activity_log_StringGrid" with one row per entry, appended only.
class TActivityLogPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStatusCodeCount = 30;
    static constexpr int kMarkerColumnWidth = 20;
    static constexpr int kDefaultColumnWidth = 175;

    explicit TActivityLogPanel(QWidget* parent = nullptr);

    // Appends an entry: marker, local date and time, the code's text, info.
    void Log_Activity(int code, const QString& info = QString());
    // An entry outside the status codes: a failure the codes have no text
    // for (a project file that cannot be read).
    void logEntry(const QString& marker, const QString& description, const QString& info);

    // " " information, "*" warning, "!" error. A code outside 0..29 is
    // reported as an error.
    static QString statusCodeMarker(int code);
    static QString statusCodeText(int code);
    // Fill of column 0: light blue for "*", light red for "!", invalid (the
    // normal background) for information.
    static QColor markerColour(const QString& marker);

    QTableWidget* grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool lastRowInView() const;
    void widenColumnFor(int column, const QString& text);
    // The last column takes what the others leave of the grid's width, so
    // no empty strip stays at the right; never narrower than its text.
    void fillWidth();
    int m_infoWidth = kDefaultColumnWidth;
    bool m_filling = false;

    QLabel* m_title;
    QTableWidget* m_grid;
};
