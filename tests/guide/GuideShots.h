#pragma once
// Drives the configurator's main window, talking to virtual controllers, to
// each state the user guide shows and saves a picture of it.

#include "ui/common/gen_lib.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
class Tbmpgen_Form;
class TScriptedFileDialogs;

struct GuideShotsOptions {
    QString outDir;    // where the pictures go
    QString workDir;   // projects and sample pictures
    QString port;      // a controller that holds a configuration
    QString blankPort; // a controller that never got one
};

class GuideShots : public TPrompter {
public:
    explicit GuideShots(const GuideShotsOptions& options);
    ~GuideShots() override;

    // Every state in turn; false (with the reason in error()) at the first
    // state that cannot be reached or picture that cannot be written.
    bool run();
    QString error() const { return m_error; }
    QStringList written() const { return m_written; }

    // Message boxes: shown for real when a picture of the next one is due,
    // answered with the way out otherwise.
    QMessageBox::StandardButton ask(const QString& text, TMsgDlgType kind, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override;

private:
    bool step(const QString& state, const std::function<bool()>& reach);
    bool waitFor(const std::function<bool()>& condition, int ms = 60000);
    bool shoot(QWidget* widget, const QString& name);
    bool shootScreen(const QString& name);
    bool makeSamplePictures();
    bool selectConfigTab(const QString& caption);
    bool selectTreeNode(const QString& text);
    bool runDeviceOperation(const std::function<void()>& start);
    int logRows() const;
    bool logContains(const QString& description, int fromRow) const;

    GuideShotsOptions m_options;
    TScriptedFileDialogs* m_dialogs = nullptr;
    std::unique_ptr<Tbmpgen_Form> m_window;
    QString m_boxShot; // picture name for the next message box
    // Questions with a Yes are answered Yes while set (a retrieve over an edited project).
    bool m_confirm = false;
    QStringList m_written;
    QString m_error;
};
