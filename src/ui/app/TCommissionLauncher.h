#pragma once
// Wires the commissioning window to the main window: "Commission..." in the
// Device menu and beside Upload Data, the open project as what is sent (saved
// first, so the log names the very file that was sent), and the project held
// still while a run goes on: edits, undo and the project commands are
// disabled as during an upload, and the status bar says why.

#include "ui/commissioning/TCommissionWindow.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <vector>

class QAction;
class QMenu;
class Tbmpgen_Form;

class TCommissionLauncher : public QObject {
    Q_OBJECT
public:
    TCommissionLauncher(Tbmpgen_Form& form, QMenu* deviceMenu);

    static QString busyNote();
    static QString saveQuestion();

    // The worker program (default: corvane-cli beside this program).
    void setWorkerProgram(const QString& path) { m_workerProgram = path; }
    // The window, made on first use (not shown).
    TCommissionWindow* commissionWindow();
    // Shows it in front.
    TCommissionWindow* showWindow();
    QAction* menuAction() const { return m_action; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setRunning(bool running);

    Tbmpgen_Form& m_form;
    QAction* m_action = nullptr;
    QPointer<TCommissionWindow> m_window;
    QString m_workerProgram;
    bool m_running = false;
    // The project commands as they were before the run.
    std::vector<std::pair<QPointer<QAction>, bool>> m_commands;
};
