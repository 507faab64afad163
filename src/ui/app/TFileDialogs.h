#pragma once
// The three project file dialogs behind one seam, so the project commands can
// be driven without a modal dialog (tests supply their own answers).

#include <QString>

class QWidget;

class TFileDialogs {
public:
    virtual ~TFileDialogs() = default;

    // Each returns the chosen path, or an empty string when cancelled.
    // "New Project...": any name, the file need not exist, no overwrite question.
    virtual QString New_Project_Name(QWidget* parent) = 0;
    // "Open Project...": an existing .cvp or .bdp file.
    virtual QString Open_Project_Name(QWidget* parent) = 0;
    // "Save Project...": asks before replacing an existing file.
    virtual QString Save_Project_Name(QWidget* parent) = 0;

    static QString Project_Filter();
    static QString Open_Filter();
};

// The real dialogs.
class TQtFileDialogs : public TFileDialogs {
public:
    QString New_Project_Name(QWidget* parent) override;
    QString Open_Project_Name(QWidget* parent) override;
    QString Save_Project_Name(QWidget* parent) override;
};
