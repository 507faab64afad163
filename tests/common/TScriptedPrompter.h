#pragma once

#include "ui/common/gen_lib.h"

#include <QList>
#include <QQueue>

#include <functional>

// A prompter for tests: answers from a queue and records every question.
// With the queue empty it answers the question's default button, or without
// one declines (Cancel, No, Abort, Close), or else takes its first button, so an
// unexpected question never blocks and never loops.
class TScriptedPrompter : public TPrompter {
public:
    struct Question {
        QString text;
        TMsgDlgType kind;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };

    // Installs itself as the current prompter; the destructor restores the
    // real dialogs.
    TScriptedPrompter();
    ~TScriptedPrompter() override;

    void enqueue(QMessageBox::StandardButton answer);
    QMessageBox::StandardButton ask(const QString& text, TMsgDlgType kind, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override;

    const QList<Question>& questions() const { return m_questions; }
    // Called as each question is asked, before it is answered: a test looks
    // at the window as the user would see it behind the box.
    std::function<void()> onAsk;
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear();

private:
    QQueue<QMessageBox::StandardButton> m_answers;
    QList<Question> m_questions;
};
