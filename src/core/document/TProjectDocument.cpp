#include "core/document/TProjectDocument.h"

#include "core/document/ChangeText.h"
#include "core/document/TStateCommand.h"
#include "core/model/DeviceConfig.h"

#include <QFileInfo>
#include <QUndoStack>

#include <utility>

TProjectDocument::TProjectDocument(QObject* parent) : QObject(parent), m_undo(new QUndoStack(this))
{
    // Each step holds two records and shares the pictures it kept alive; a
    // long session must not keep every picture ever deleted.
    m_undo->setUndoLimit(kUndoLimit);
    connect(m_undo, &QUndoStack::cleanChanged, this, &TProjectDocument::followCleanState);
}

TProjectDocument::~TProjectDocument()
{
    // The steps point back here; they go first.
    m_undo->disconnect(this);
    m_undo->clear();
}

void TProjectDocument::Set_Modified(bool value)
{
    if (m_loading || m_restoring)
        return;
    // The stack's own report of its clean state is this call's to give, once.
    const bool wasSetting = std::exchange(m_settingModified, true);
    bool now = value;
    if (value) {
        const bool stepped = recordChange(inEditGroup());
        // A change no step holds (a new project, a retrieve that read back
        // the same record): no state on the stack is the stored file's any
        // more, so no undo may clear the flag.
        if (!stepped && !inEditGroup() && m_undo->isClean())
            m_undo->resetClean();
        // Typed back to what was saved: the step is gone and the project is
        // the stored file again.
        now = inEditGroup() || !m_undo->isClean();
    } else {
        sealMerging();
        m_committed = currentState();
        m_undo->setClean();
    }
    m_settingModified = wasSetting;
    m_modified = now;
    emit modifiedChanged(now);
}

void TProjectDocument::followCleanState(bool clean)
{
    if (m_loading || m_settingModified)
        return;
    m_modified = !clean;
    emit modifiedChanged(m_modified);
}

void TProjectDocument::setPath(const QString& fullPath)
{
    m_path = fullPath;
    m_name = fullPath.isEmpty() ? QString() : QFileInfo(fullPath).completeBaseName();
}

void TProjectDocument::replaceRecord(const TDevice_Config_v2& record)
{
    m_record = record;
    countChange();
}

void TProjectDocument::edit(const QString& name, const std::function<void(TDevice_Config_v2&)>& change)
{
    change(m_record);
    if (m_loading || m_restoring)
        return;
    if (!name.isEmpty())
        nameNextChange(name);
    Set_Modified(true);
}

void TProjectDocument::editImages(const QString& name, const std::function<bool(THandleList&)>& change)
{
    if (!change(m_images) || m_loading || m_restoring)
        return;
    if (!name.isEmpty())
        nameNextChange(name);
    Set_Modified(true);
}

bool TProjectDocument::fill(const std::function<bool(TDevice_Config_v2&, THandleList&)>& fill)
{
    return fill(m_record, m_images);
}

void TProjectDocument::writeCheckBytes()
{
    buildUploadBlock(m_record);
    followDerivedBytes();
}

void TProjectDocument::writeUploadServiceText(const QString& crlfText)
{
    writeServiceText(crlfText, m_record);
    followDerivedBytes();
}

void TProjectDocument::followDerivedBytes()
{
    // The step the next edit starts from holds them too; the steps already
    // made keep the bytes they had.
    if (!m_loading && !m_restoring && !inEditGroup())
        m_committed.record = m_record;
}

const TCell_object* TProjectDocument::picture(quint64 id) const
{
    for (const auto& handle : m_images)
        for (const auto& cell : handle->cells)
            if (cell->pictureId == id)
                return cell.get();
    return nullptr;
}

void TProjectDocument::countChange()
{
    ++m_revision;
    emit contentChanged();
}

TProjectState TProjectDocument::currentState() const
{
    TProjectState state;
    state.record = m_record;
    if (m_committed.images && sameImages(*m_committed.images, m_images))
        state.images = m_committed.images;
    else
        state.images = copyImages(m_images);
    return state;
}

void TProjectDocument::nameNextChange(const QString& text)
{
    m_nextName = text;
}

bool TProjectDocument::recordChange(bool recordOnly)
{
    TProjectState now;
    if (recordOnly) {
        now.record = m_record;
        now.images = m_committed.images;
    } else {
        now = currentState();
    }
    TChangeText change = describeChange(m_committed, now);
    if (change.text.isEmpty()) {
        if (!recordOnly)
            m_nextName.clear();
        return false;
    }
    if (!m_nextName.isEmpty() && !recordOnly) {
        change.text = std::exchange(m_nextName, QString());
        change.mergeKey = -1;
    }
    auto* step = new TStateCommand(*this, m_committed, now, change.text, change.mergeKey);
    m_committed = std::move(now);
    m_undo->push(step);
    countChange();
    return true;
}

void TProjectDocument::beginEditGroup()
{
    ++m_groupDepth;
}

void TProjectDocument::endEditGroup()
{
    if (m_groupDepth == 0 || --m_groupDepth > 0)
        return;
    recordChange(false);
    m_modified = !m_undo->isClean();
    emit modifiedChanged(m_modified);
}

void TProjectDocument::resetHistory()
{
    m_groupDepth = 0;
    m_nextName.clear();
    m_undo->clear();
    m_committed = currentState();
    countChange();
}

void TProjectDocument::sealMerging()
{
    if (m_undo->index() == 0)
        return;
    // Only the step on top can still gather edits.
    if (auto* top = dynamic_cast<TStateCommand*>(const_cast<QUndoCommand*>(m_undo->command(m_undo->index() - 1))))
        top->seal();
}

void TProjectDocument::restoreState(const TProjectState& state)
{
    const bool imagesChange
        = state.images != m_committed.images && !(state.images && sameImages(*state.images, m_images));
    m_restoring = true;
    emit aboutToRestore(imagesChange);
    m_record = state.record;
    if (imagesChange)
        m_images = copyImagesToEdit(*state.images);
    m_committed = state;
    emit stateRestored(imagesChange);
    m_restoring = false;
    countChange();
}
