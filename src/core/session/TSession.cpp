#include "core/session/TSession.h"

TSession::TSession(QObject* parent) : QObject(parent) { }

void TSession::Set_Modified(bool value)
{
    if (loading_flag)
        return;
    modified = value;
    emit modifiedChanged(value);
}
