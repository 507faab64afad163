#include "ui/scheduler/Tscheduled_events_form.h"

Tscheduled_events_form::Tscheduled_events_form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("scheduled_events_form"));
    setWindowTitle(QStringLiteral(" Scheduled Events"));
}
