#pragma once

#include <QDialog>

// Firmware upgrade window. Created once at start-up; its pages and the
// transfer arrive with the firmware upgrade.
class Tfw_upg_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tfw_upg_Form(QWidget* parent = nullptr);
};
