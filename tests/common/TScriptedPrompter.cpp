#include "TScriptedPrompter.h"

TScriptedPrompter::TScriptedPrompter()
{
    Set_Prompter(this);
}

TScriptedPrompter::~TScriptedPrompter()
{
    if (Current_Prompter() == this)
        Set_Prompter(nullptr);
}

void TScriptedPrompter::enqueue(QMessageBox::StandardButton answer)
{
    answers_.enqueue(answer);
}

QMessageBox::StandardButton TScriptedPrompter::ask(const QString& text, TMsgDlgType kind,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    questions_.append({text, kind, buttons, defaultButton});
    if (onAsk)
        onAsk();
    if (!answers_.isEmpty())
        return answers_.dequeue();
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
    answers_.clear();
    questions_.clear();
}
