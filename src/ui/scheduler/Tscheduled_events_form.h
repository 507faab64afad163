#pragma once

#include <QDialog>

// Scheduled-events editor for one day. Created once at start-up; the event
// list and editor pages arrive with the scheduler.
class Tscheduled_events_form : public QDialog {
    Q_OBJECT
public:
    explicit Tscheduled_events_form(QWidget* parent = nullptr);
};
