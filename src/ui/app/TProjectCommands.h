#pragma once
// The commands of the "&File" menu that create, open, save and close a
// project, and the two routines every later editor relies on: Clear_Project
// frees the whole model, Show_Project fills the window from it.

#include "core/storage/ProjectFileStamp.h"

#include <QObject>
#include <QString>

class TFileDialogs;
class TProjectView;
class TProjectDocument;

class TProjectCommands : public QObject {
    Q_OBJECT
public:
    TProjectCommands(TProjectDocument& document, TProjectView& view, TFileDialogs& dialogs, QObject* parent = nullptr);

    // Moves the service text into the record and writes the file; false when
    // nothing was written.
    bool Save_Project(const QString& path);
    void Clear_Project();
    void Show_Project();

    // ChangeFileExt-style: the last extension of the file name is replaced,
    // or ".cvp" is appended when there is none.
    static QString withProjectExtension(const QString& path);

    static QString discardQuestion();
    static QString loadErrorText();
    // The load error box: loadErrorText, then the file and why it failed.
    static QString loadFailureText(const QString& path, const QString& reason);
    // The description of the log entry a failed load writes.
    static QString loadFailureLogText();
    // Why a file of a layout the reader does not accept was refused.
    static QString unreadableLayoutReason();
    static QString tooManyLinesText();
    // Asked before a save overwrites a file another program wrote since
    // this window read or wrote it.
    static QString changedOnDiskQuestion(const QString& path);

    // Open Project for a path chosen elsewhere (the command line, a file
    // manager): the same question, load, boxes and log entries, without the
    // dialog. A missing file is reported as the load's failure.
    void openProjectPath(const QString& path);

    // Asks question (with Save, Discard and Cancel) when the project has
    // unsaved changes. True when they are saved or may be discarded.
    bool changesSettled(const QString& question);
    // Save Project: writes to the project's own path and logs it; false when
    // nothing was written.
    bool saveCurrent();

    // Where New and Open start while no project is open: the folder of the
    // project last created, opened or saved (seeded from Open Recent).
    void setLastFolder(const QString& folder);
    QString dialogFolder() const;

signals:
    // A project file was read or written successfully under this path.
    void projectFileUsed(const QString& path);

public slots:
    void newProject();
    void openProject();
    void saveProjectCommand();
    void saveProjectAs();
    void closeProject();

private:
    bool discardConfirmed();
    void loadProject(const QString& path);
    void bindTo(const QString& path);
    // After a failed Open: nothing is bound any more, so no later Save can
    // write the cleared project over the file that failed to load.
    void returnToNoProject();
    bool writeProjectFile(const QString& path);
    // False when the file at path was changed by someone else since this
    // window last read or wrote it and the user does not want it overwritten.
    bool overwriteConfirmed(const QString& path);
    void rememberFile(const QString& path);

    TProjectDocument& m_document;
    TProjectView& m_view;
    TFileDialogs& m_dialogs;
    // The project file as this window last read or wrote it.
    QString m_knownPath;
    ProjectFileStamp m_knownStamp;
    QString m_lastFolder;
};
