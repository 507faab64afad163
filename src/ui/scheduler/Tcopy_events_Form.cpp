#include "ui/scheduler/Tcopy_events_Form.h"

Tcopy_events_Form::Tcopy_events_Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("copy_events_Form"));
    setWindowTitle(QStringLiteral(" Copy Scheduled Event List..."));
}
