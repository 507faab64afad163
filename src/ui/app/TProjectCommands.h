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
    static QString With_Project_Extension(const QString& path);

    static QString Discard_Question();
    static QString Load_Error_Text();
    // The load error box: Load_Error_Text, then the file and why it failed.
    static QString Load_Failure_Text(const QString& path, const QString& reason);
    // The description of the log entry a failed load writes.
    static QString Load_Failure_Log_Text();
    // Why a file of a layout the reader does not accept was refused.
    static QString Unreadable_Layout_Reason();
    static QString Too_Many_Lines_Text();
    // Asked before a save overwrites a file another program wrote since
    // this window read or wrote it.
    static QString Changed_On_Disk_Question(const QString& path);

    // Open Project for a path chosen elsewhere (the command line, a file
    // manager): the same question, load, boxes and log entries, without the
    // dialog. A missing file is reported as the load's failure.
    void Open_Project_Path(const QString& path);

    // Asks question (with Save, Discard and Cancel) when the project has
    // unsaved changes. True when they are saved or may be discarded.
    bool Changes_Settled(const QString& question);
    // Save Project: writes to the project's own path and logs it; false when
    // nothing was written.
    bool Save_Current();

    // Where New and Open start while no project is open: the folder of the
    // project last created, opened or saved (seeded from Open Recent).
    void Set_Last_Folder(const QString& folder);
    QString Dialog_Folder() const;

signals:
    // A project file was read or written successfully under this path.
    void projectFileUsed(const QString& path);

public slots:
    void New_Project();
    void Open_Project();
    void Save_Project_Command();
    void Save_Project_As();
    void Close_Project();

private:
    bool Discard_Confirmed();
    void Load_Project(const QString& path);
    void Bind_To(const QString& path);
    // After a failed Open: nothing is bound any more, so no later Save can
    // write the cleared project over the file that failed to load.
    void Return_To_No_Project();
    bool Write_Project_File(const QString& path);
    // False when the file at path was changed by someone else since this
    // window last read or wrote it and the user does not want it overwritten.
    bool Overwrite_Confirmed(const QString& path);
    void Remember_File(const QString& path);

    TProjectDocument& m_document;
    TProjectView& m_view;
    TFileDialogs& m_dialogs;
    // The project file as this window last read or wrote it.
    QString m_knownPath;
    ProjectFileStamp m_knownStamp;
    QString m_lastFolder;
};
