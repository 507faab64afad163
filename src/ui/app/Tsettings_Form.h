#pragma once

#include <QDialog>

// Settings window: the program keeps no settings yet, so it offers only OK
// and Cancel.
class Tsettings_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tsettings_Form(QWidget* parent = nullptr);
};
