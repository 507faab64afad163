#pragma once

#include <QDialog>

// Version information of the program.
class Tabout_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tabout_Form(QWidget* parent = nullptr);
};
