#pragma once
// The open project: its configuration record, its image groups, where it is
// stored and whether it differs from the stored file. The pages, the project
// commands, the device operations and corvane-cli all edit this one object;
// what is known about an attached controller lives in its link
// (TControllerLink), never here.
//
// The project is read through const accessors and changed only through the
// edit scopes below (edit, editImages) or an operation that records its own
// step, so no change can slip into the next, unrelated undo step.
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

    // --- reading ---
    const TDevice_Config_v2& record() const { return m_record; }
    // The image groups. The list is the document's; what a page keeps of it
    // is ids and positions, never a picture's address past the next edit.
    const THandleList& images() const { return m_images; }
    // The file's base name, shown in the caption, and its full path.
    const QString& projectName() const { return m_name; }
    const QString& projectPath() const { return m_path; }
    bool isModified() const { return m_modified; }
    // The picture with this id (TCell_object::pictureId), or nullptr.
    const TCell_object* picture(quint64 id) const;

    // Set while a project is being shown in the pages (their change
    // handlers then make no steps), and while it is being taken down
    // (selection changes then are not the user's).
    bool isLoading() const { return m_loading; }
    bool isClosing() const { return m_closing; }
    void setLoading(bool value) { m_loading = value; }
    void setClosing(bool value) { m_closing = value; }
    // Sets a flag for its lifetime and puts back what it was, on every way out.
    class FlagScope {
    public:
        FlagScope(TProjectDocument& document, void (TProjectDocument::*set)(bool), bool was)
            : m_document(document)
            , m_set(set)
            , m_was(was)
        {
            (m_document.*m_set)(true);
        }
        ~FlagScope() { (m_document.*m_set)(m_was); }
        FlagScope(const FlagScope&) = delete;
        FlagScope& operator=(const FlagScope&) = delete;

    private:
        TProjectDocument& m_document;
        void (TProjectDocument::*m_set)(bool);
        bool m_was;
    };
    FlagScope loadingScope() { return {*this, &TProjectDocument::setLoading, m_loading}; }
    FlagScope closingScope() { return {*this, &TProjectDocument::setClosing, m_closing}; }

    // --- changing ---
    // Ignored while a project is being shown (isLoading()): filling the
    // pages runs their change handlers, which must not mark it modified.
    // true records the edit just made as an undo step; false says the state
    // is the stored file's (a save).
    void Set_Modified(bool value);
    // Stores the path and the name shown in the caption (the file's base name).
    void setPath(const QString& fullPath);
    // The record replaced as a whole (a retrieve); the caller shows it again
    // and records the step.
    void replaceRecord(const TDevice_Config_v2& record);
    // One edit of the record: `change` writes it, and the edit becomes a step
    // of its own (named `name`, or after what changed when empty), or joins
    // the burst of typing or the drag it continues. While a project is being
    // shown or a step put back, only the change is made.
    void edit(const QString& name, const std::function<void(TDevice_Config_v2&)>& change);
    // One edit of the images, recorded as edit() records one; inside an edit
    // group it joins the group's step. `change` returns whether it changed
    // anything (a refused import, a name given again do not).
    void editImages(const QString& name, const std::function<bool(THandleList&)>& change);
    // The whole project filled in or taken down (opened, created, recovered,
    // closed, read by the command line): `fill` writes it and no step is
    // made; the history starts afresh (resetHistory) or the caller marks
    // what it filled in as modified. Returns what `fill` returns.
    bool fill(const std::function<bool(TDevice_Config_v2&, THandleList&)>& fill);
    // The record's check bytes, as an upload sends them. They follow from
    // the rest of the record, so they are no edit: no step, no change of the
    // saved state, and no later step takes them in as its own change.
    void writeCheckBytes();
    // The service text an upload sends, put into the record in its stored
    // form (see TDeviceOperations); like the check bytes, no step.
    void writeUploadServiceText(const QString& crlfText);

    // --- undo ---
    // At most this many steps are kept; the oldest go first.
    static constexpr int kUndoLimit = 100;
    QUndoStack& undoStack() const { return *m_undo; }
    // The project as a save would write it now.
    TProjectState currentState() const;
    // Counts every change of the project's state: a step recorded or
    // gathered into the one on top, an undo, a redo, a record replaced.
    // Equal counts mean an equal project.
    quint64 revision() const { return m_revision; }
    // The text of the next step, where the change alone cannot tell it
    // ("Retrieve Configuration", which way an image moved).
    void nameNextChange(const QString& text);
    // Edits between Begin and End (an import adding image after image) are
    // one step, recorded at End. Edits of the record meanwhile are steps of
    // their own.
    void beginEditGroup();
    void endEditGroup();
    bool inEditGroup() const { return m_groupDepth > 0; }
    // A project opened, created or closed: no steps, and the present state is
    // where the next one starts.
    void resetHistory();
    // Ends a burst of typing or a drag: the next edit is a step of its own.
    void sealMerging();
    // Undo and redo put a state back through this.
    void restoreState(const TProjectState& state);
    bool restoring() const { return m_restoring; }

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
    bool recordChange(bool recordOnly);
    void followCleanState(bool clean);
    void countChange();
    void followDerivedBytes();

    TDevice_Config_v2 m_record{};
    THandleList m_images;
    QString m_name;
    QString m_path;
    bool m_modified = false;
    bool m_loading = false;
    bool m_closing = false;

    QUndoStack* m_undo = nullptr;
    TProjectState m_committed;
    QString m_nextName;
    int m_groupDepth = 0;
    bool m_restoring = false;
    bool m_settingModified = false;
    quint64 m_revision = 0;
};
