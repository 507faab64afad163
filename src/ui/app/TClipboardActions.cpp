#include "ui/app/TClipboardActions.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// The text field behind the focus widget: a spin box edits through its own
// line edit.
QWidget* focusedText()
{
    QWidget* w = QApplication::focusWidget();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(w))
        return spin->findChild<QLineEdit*>();
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w))
        return w;
    return nullptr;
}

struct TTextState {
    bool present = false;
    bool readOnly = true;
    bool selection = false;
};

TTextState stateOf(QWidget* w)
{
    TTextState s;
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        s = {true, line->isReadOnly(), line->hasSelectedText() && line->echoMode() == QLineEdit::Normal};
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        s = {true, plain->isReadOnly(), plain->textCursor().hasSelection()};
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        s = {true, rich->isReadOnly(), rich->textCursor().hasSelection()};
    }
    s.present = s.present && w->isEnabled();
    return s;
}

} // namespace

TClipboardActions::TClipboardActions(QMenu* menu, const char* before, QObject* parent)
    : QObject(parent)
    , m_cut(new QAction(QStringLiteral("Cu&t"), this))
    , m_copy(new QAction(QStringLiteral("&Copy"), this))
    , m_paste(new QAction(QStringLiteral("&Paste"), this))
{
    m_cut->setObjectName(QStringLiteral("cut_MenuItem"));
    m_copy->setObjectName(QStringLiteral("copy_MenuItem"));
    m_paste->setObjectName(QStringLiteral("paste_MenuItem"));
    // Shown in the menu; the fields themselves act on the keys first.
    m_cut->setShortcuts(QKeySequence::Cut);
    m_copy->setShortcuts(QKeySequence::Copy);
    m_paste->setShortcuts(QKeySequence::Paste);
    for (QAction* a : {m_cut, m_copy, m_paste})
        a->setShortcutContext(Qt::WidgetShortcut);
    connect(m_cut, &QAction::triggered, this, [this] { run(TCommand::Cut); });
    connect(m_copy, &QAction::triggered, this, [this] { run(TCommand::Copy); });
    connect(m_paste, &QAction::triggered, this, [this] { run(TCommand::Paste); });

    QAction* anchor = nullptr;
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(before))
            anchor = a;
    menu->insertActions(anchor, {m_cut, m_copy, m_paste});
    menu->insertSeparator(anchor);
    connect(menu, &QMenu::aboutToShow, this, &TClipboardActions::updateActions);
    updateActions();
}

void TClipboardActions::updateActions()
{
    const TTextState s = stateOf(focusedText());
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    m_cut->setEnabled(s.present && !s.readOnly && s.selection);
    m_copy->setEnabled(s.present && s.selection);
    m_paste->setEnabled(s.present && !s.readOnly && clip && clip->hasText());
}

void TClipboardActions::run(TCommand command)
{
    QWidget* w = focusedText();
    auto apply = [command](auto* edit) {
        switch (command) {
        case TCommand::Cut: edit->cut(); break;
        case TCommand::Copy: edit->copy(); break;
        case TCommand::Paste: edit->paste(); break;
        }
    };
    if (auto* line = qobject_cast<QLineEdit*>(w))
        apply(line);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        apply(plain);
    else if (auto* rich = qobject_cast<QTextEdit*>(w))
        apply(rich);
}
