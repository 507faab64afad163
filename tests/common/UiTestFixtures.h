#pragma once
// A main window driven headless: scripted file dialogs and message boxes,
// and a look at what it logged.

#include "TScriptedFileDialogs.h"
#include "TScriptedPrompter.h"
#include "core/document/TProjectDocument.h"
#include "ui/app/Tbmpgen_Form.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QAction;

struct LogEntry {
    QString marker;
    QString description;
    QString info;
};

class TFormFixture {
public:
    TFormFixture();

    Tbmpgen_Form& form() { return *m_window; }
    TScriptedFileDialogs& dialogs() { return *m_fileDialogs; }
    TScriptedPrompter& prompter() { return m_prompts; }

    QAction* action(const char* objectName);
    void trigger(const char* objectName);
    int logRows();
    LogEntry lastLog();

    // New project bound to path, left modified.
    void newProject(const QString& path);
    // Adds a cell with real PNG bytes to the handle at position idx.
    void addImage(int idx, const QString& name, const QByteArray& bytes);

private:
    TScriptedPrompter m_prompts;
    TScriptedFileDialogs* m_fileDialogs = nullptr;
    std::unique_ptr<Tbmpgen_Form> m_window;
};

QByteArray pngBytes(int width, int height, QRgb colour);
// The title the platform shows for a window that exists: the caption with the
// modified marker put in or left out.
QString shownCaption(const QWidget& window);
QByteArray fileBytes(const QString& path);
