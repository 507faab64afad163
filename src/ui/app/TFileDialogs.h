#pragma once
// The three project file dialogs behind one seam, so the project commands can
// be driven without a modal dialog (tests supply their own answers).

#include <QString>

class QWidget;

class TFileDialogs {
public:
    virtual ~TFileDialogs() = default;

    // Each returns the chosen path, or an empty string when cancelled.
    // folder: where the dialog starts (the last project's folder; empty for
    // the dialog's own choice).
    // "New Project...": any name, the file need not exist, no overwrite
    // question; its button says "Create".
    virtual QString newProjectName(QWidget* parent, const QString& folder) = 0;
    // "Open Project...": an existing .cvp or .bdp file.
    virtual QString openProjectName(QWidget* parent, const QString& folder) = 0;
    // "Save Project...": asks before replacing an existing file. suggested:
    // the project's own path, whose folder the dialog opens in with its
    // name filled in.
    virtual QString saveProjectName(QWidget* parent, const QString& suggested) = 0;

    static QString projectFilter();
    static QString openFilter();
    // The caption of the New Project dialog's accept button.
    static QString createText() { return QStringLiteral("Create"); }
};

// The real dialogs.
class TQtFileDialogs : public TFileDialogs {
public:
    QString newProjectName(QWidget* parent, const QString& folder) override;
    QString openProjectName(QWidget* parent, const QString& folder) override;
    QString saveProjectName(QWidget* parent, const QString& suggested) override;
};
