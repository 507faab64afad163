#pragma once
// One undo step: the project's state before and after an edit that has
// already been made. Undo and redo put a whole state back, so a step is
// exact whatever the edit touched, and needs no code of its own per control.

#include "core/document/TProjectState.h"

#include <QUndoCommand>

class TProjectDocument;

class TStateCommand : public QUndoCommand {
public:
    TStateCommand(TProjectDocument& document, TProjectState before, TProjectState after, const QString& text,
                  int mergeKey);

    void undo() override;
    void redo() override;
    int id() const override { return m_mergeKey; }
    bool mergeWith(const QUndoCommand* other) override;

    // Ends the burst of typing or the drag this step gathers.
    void seal() { m_open = false; }
    const TProjectState& after() const { return m_after; }

private:
    TProjectDocument& m_document;
    TProjectState m_before;
    TProjectState m_after;
    int m_mergeKey;
    bool m_open = true;
    bool m_done = true; // pushed after the edit: the first redo has nothing to do
};
