#include "TScriptedPrompter.h"

TScriptedPrompter::TScriptedPrompter()
{
    setPrompter(this);
}

TScriptedPrompter::~TScriptedPrompter()
{
    if (currentPrompter() == this)
        setPrompter(nullptr);
}

void TScriptedPrompter::enqueue(QMessageBox::StandardButton answer)
{
    m_answers.enqueue(answer);
}

QMessageBox::StandardButton TScriptedPrompter::ask(const QString& text, TMsgDlgType kind,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    m_questions.append({text, kind, buttons, defaultButton});
    if (onAsk)
        onAsk();
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    // An unscripted question is declined, so a Retry loop cannot spin forever.
    for (auto escape : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Abort, QMessageBox::Close})
        if (buttons.testFlag(escape))
            return escape;
    for (quint32 flag = QMessageBox::FirstButton; flag <= QMessageBox::LastButton; flag <<= 1)
        if (buttons.testFlag(QMessageBox::StandardButton(flag)))
            return QMessageBox::StandardButton(flag);
    return QMessageBox::Ok;
}

void TScriptedPrompter::clear()
{
    m_answers.clear();
    m_questions.clear();
}
