#pragma once

#include <QDialog>

// Copies a day's event list onto other days. Created once at start-up; the
// day buttons arrive with the scheduler.
class Tcopy_events_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tcopy_events_Form(QWidget* parent = nullptr);
};
