#pragma once
// Help > "Commissioning Log...": the window's commissioning log as a table
// that sorts by any column, with a filter over every column and "Export
// CSV..." of the rows shown.

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

class TCommissioningLogWindow : public QDialog {
public:
    TCommissioningLogWindow(const QString& logPath, QWidget* parent = nullptr);

    // Opens the window (not modal) on the log.
    static TCommissioningLogWindow* showFor(QWidget* parent, const QString& logPath);

    void reload();
    // The rows as shown (filtered, in their sort order) with the header.
    QByteArray csv() const;
    // False with a reason in *error when the file could not be written.
    bool exportCsv(const QString& path, QString* error = nullptr) const;

    // Asks for the CSV file's name; tests answer without a dialog.
    std::function<QString(QWidget*)> askCsvName;

private:
    QString m_path;
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QTableView* m_view = nullptr;
    QLineEdit* m_filter = nullptr;
    QLabel* m_status = nullptr;
};
