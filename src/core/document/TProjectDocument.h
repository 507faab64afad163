#pragma once
// The open project: its configuration record, its image groups, where it is
// stored and whether it differs from the stored file. The pages, the project
// commands, the device operations and corvane-cli all edit this one object;
// what is known about an attached controller lives in its link
// (TControllerLink), never here.
//
// Every edit ends in Set_Modified(true); that is where it becomes one step on
// the project's undo stack (a snapshot of the state before and after), so
// undo, redo and the modified flag come from one place. The flag follows the
// stack's clean state: undoing back to what was saved clears it.

#include "core/document/TProjectState.h"
#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QObject>
#include <QString>

#include <functional>

class QUndoStack;

class TProjectDocument : public QObject {
    Q_OBJECT
public:
    explicit TProjectDocument(QObject* parent = nullptr);
    ~TProjectDocument() override;

    // Ignored while a project is being shown (loading_flag): filling the
    // pages runs their change handlers, which must not mark it modified.
    // true records the edit just made as an undo step; false says the state
    // is the stored file's (a save).
    void Set_Modified(bool value);
    // Stores the path and the name shown in the caption (the file's base name).
    void Set_Path(const QString& fullPath);
    // The record replaced as a whole (a retrieve, an open); the caller shows
    // it again.
    void Replace_Record(const TDevice_Config_v2& record);
    // One edit of the record: `change` writes it, and the edit becomes a step
    // of its own (named `name`, or after what changed when empty), or joins
    // the burst of typing or the drag it continues. While a project is being
    // shown or a step put back, only the change is made.
    void edit(const QString& name, const std::function<void(TDevice_Config_v2&)>& change);

    TDevice_Config_v2 Project_Device_Config{};
    THandle_List Handle_List;
    QString project_name;
    QString project_fullpath;
    bool modified = false;
    // Set while a project is being shown in the pages, and while it is
    // being taken down (selection changes then are not the user's).
    bool loading_flag = false;
    bool closing_flag = false;

    // --- undo ---
    // At most this many steps are kept; the oldest go first.
    static constexpr int kUndoLimit = 100;
    QUndoStack& Undo_Stack() const { return *m_undo; }
    // The project as a save would write it now.
    TProjectState Current_State() const;
    // Counts every change of the project's state: a step recorded or
    // gathered into the one on top, an undo, a redo, a record replaced.
    // Equal counts mean an equal project.
    quint64 Revision() const { return m_revision; }
    // The text of the next step, where the change alone cannot tell it
    // ("Retrieve Configuration", which way an image moved).
    void Name_Next_Change(const QString& text);
    // Edits between Begin and End (an import adding image after image) are
    // one step, recorded at End. Edits of the record meanwhile are steps of
    // their own.
    void Begin_Edit_Group();
    void End_Edit_Group();
    bool In_Edit_Group() const { return m_groupDepth > 0; }
    // A project opened, created or closed: no steps, and the present state is
    // where the next one starts.
    void Reset_History();
    // Ends a burst of typing or a drag: the next edit is a step of its own.
    void Seal_Merging();
    // Undo and redo put a state back through this.
    void Restore_State(const TProjectState& state);
    bool Restoring() const { return m_restoring; }

signals:
    // Each Set_Modified that takes effect, changed or not, so a display
    // following it is always in step.
    void modifiedChanged(bool modified);
    // The project's state changed (Revision() counted it).
    void contentChanged();
    // Around an undo or redo. Before: when the images are about to be
    // replaced, nothing may point into them any more. After: the pages show
    // the record again, and the images when they changed.
    void aboutToRestore(bool imagesChange);
    void stateRestored(bool imagesChanged);

private:
    // Whether the project differed from the last step's state.
    bool Record_Change(bool recordOnly);
    void Follow_Clean_State(bool clean);
    void Count_Change();

    QUndoStack* m_undo = nullptr;
    TProjectState m_committed;
    QString m_nextName;
    int m_groupDepth = 0;
    bool m_restoring = false;
    bool m_settingModified = false;
    quint64 m_revision = 0;
};
