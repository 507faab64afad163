#pragma once

#include <QDialog>

// Settings window: the program keeps no settings yet, so it offers only OK
// and Cancel.
class TsettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TsettingsForm(QWidget* parent = nullptr);
};
