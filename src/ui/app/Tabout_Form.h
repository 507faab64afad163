#pragma once

#include <QDialog>

// Version information of the program.
class TaboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TaboutForm(QWidget* parent = nullptr);
};
