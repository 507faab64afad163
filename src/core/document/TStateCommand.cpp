#include "core/document/TStateCommand.h"

#include "core/document/TProjectDocument.h"

TStateCommand::TStateCommand(TProjectDocument& document, TProjectState before, TProjectState after, const QString& text,
                             int mergeKey)
    : QUndoCommand(text)
    , m_document(document)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_mergeKey(mergeKey)
{
}

void TStateCommand::undo()
{
    m_done = false;
    m_document.restoreState(m_before);
}

void TStateCommand::redo()
{
    if (std::exchange(m_done, false))
        return;
    m_document.restoreState(m_after);
}

bool TStateCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const TStateCommand*>(other);
    if (!m_open || !next || next->m_mergeKey != m_mergeKey || m_mergeKey < 0)
        return false;
    m_after = next->m_after;
    // Typing back to where the burst began leaves nothing to undo.
    setObsolete(sameRecordBytes(m_before.record, m_after.record) && m_before.images == m_after.images);
    return true;
}
