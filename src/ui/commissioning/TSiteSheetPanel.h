#pragma once
// "Site Sheet...": the commissioning window's site sheet (TSiteSheet), the
// per-controller record fields of a building. A sheet with problems shows
// them, one line each, and keeps every run from starting until it is mended
// (loaded again) or cleared; a good one names, for each port, the row it
// applies ("Room 104"), and in a watch the row the next controller gets.

#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/TSiteSheet.h"

#include <QGroupBox>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTemporaryDir;

class TSiteSheetPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TSiteSheetPanel(QWidget* parent = nullptr);
    ~TSiteSheetPanel() override;

    // Where "Site Sheet..." asks for the file (a dialog unless a test says).
    void setFileAsker(std::function<QString()> ask) { m_askFile = std::move(ask); }
    // Reads and checks the sheet; false (its problems shown) when it is bad.
    bool load(const QString& path);
    void clear();

    // A sheet is loaded and usable.
    bool isSet() const { return m_sheet.isValid(); }
    // A sheet was chosen but cannot be used: nothing may start.
    bool isBad() const { return !m_path.isEmpty() && !m_sheet.isValid(); }
    const TSiteSheet& sheet() const { return m_sheet; }

    // The label of the row a controller gets ("Room 104", else its key);
    // empty without a sheet or a row.
    QString rowLabel(const QString& port, const QString& adapterSerial, int order) const;
    // For a run about to start: the sheet checked against the project's
    // record and the kind of run, and the workers' arguments added to *args.
    // False with *error (every problem, one a line) when it may not start.
    bool addWorkerArguments(const TCommissioningPlan& plan, bool watch, QStringList* args, QString* error);
    // In a watch: which row the next controller gets (index: the controller
    // of the watch now, 0 before the first; commissioning: it is under way).
    void showWatch(bool watching, int index, bool commissioning);

    QPushButton* loadButton() const { return m_load; }
    QPushButton* clearButton() const { return m_clear; }
    QCheckBox* onlyBox() const { return m_only; }
    QLabel* sheetLabel() const { return m_label; }
    QPlainTextEdit* problemsView() const { return m_problems; }
    QLabel* nextLabel() const { return m_next; }

signals:
    void changed();

private:
    void showProblems(const QStringList& problems);

    std::function<QString()> m_askFile;
    QString m_path;
    TSiteSheet m_sheet;
    std::unique_ptr<QTemporaryDir> m_copies;
    QPushButton* m_load = nullptr;
    QPushButton* m_clear = nullptr;
    QCheckBox* m_only = nullptr;
    QLabel* m_label = nullptr;
    QPlainTextEdit* m_problems = nullptr;
    QLabel* m_next = nullptr;
};
