#include "ui/config_editor/TServiceTextMemo.h"

#include <QKeyEvent>
#include <QTextCursor>

#include <utility>

using namespace ServiceTextLayout;

TServiceTextMemo::TServiceTextMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &TServiceTextMemo::followChange);
}

void TServiceTextMemo::showStored(const QString& text)
{
    m_layout = m_typed.value(text, asStored(text));
    const bool wasRewriting = std::exchange(m_rewriting, true);
    setPlainText(text);
    m_rewriting = wasRewriting;
}

void TServiceTextMemo::keyPressEvent(QKeyEvent* event)
{
    // A break inside a long word stands for no character: Backspace after it
    // and Delete before it take the character beyond it, as they would with
    // the word on one line.
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() && !(event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))) {
        const int at = cursor.position();
        int skipTo = -1;
        if (event->key() == Qt::Key_Backspace && at > 0 && m_layout.kinds.value(at - 1) == Shown::CutBreak)
            skipTo = at - 1;
        else if (event->key() == Qt::Key_Delete && at < m_layout.kinds.size()
                 && m_layout.kinds.at(at) == Shown::CutBreak)
            skipTo = at + 1;
        if (skipTo >= 0) {
            cursor.setPosition(skipTo);
            setTextCursor(cursor);
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TServiceTextMemo::followChange()
{
    if (m_rewriting)
        return;
    const QString now = toPlainText();
    if (now == m_layout.shown)
        return;
    const Result result = apply(m_layout, findEdit(m_layout.shown, now, textCursor().position()));
    m_layout = result.layout;
    // Bounded: a long session of typing keeps only its recent texts.
    if (m_typed.size() >= 256)
        m_typed.clear();
    m_typed.insert(m_layout.shown, m_layout);
    if (now != m_layout.shown)
        showLines(m_layout.shown);
    QTextCursor caret = textCursor();
    caret.setPosition(qBound(0, result.caret, int(m_layout.shown.size())));
    setTextCursor(caret);
    emit edited(result.outcome, result.leftOut);
}

void TServiceTextMemo::showLines(const QString& lines)
{
    // Only the part that differs is replaced, so the view does not jump.
    const QString now = toPlainText();
    int p = 0;
    while (p < now.size() && p < lines.size() && now.at(p) == lines.at(p))
        ++p;
    int q = 0;
    while (q < now.size() - p && q < lines.size() - p && now.at(now.size() - 1 - q) == lines.at(lines.size() - 1 - q))
        ++q;
    const bool wasRewriting = std::exchange(m_rewriting, true);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.setPosition(p);
    cursor.setPosition(int(now.size()) - q, QTextCursor::KeepAnchor);
    cursor.insertText(lines.mid(p, lines.size() - p - q));
    cursor.endEditBlock();
    m_rewriting = wasRewriting;
}
