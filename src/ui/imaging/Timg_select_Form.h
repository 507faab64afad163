#pragma once

#include <QDialog>

// Modal gallery for choosing the background or logo the controller shows.
// Created once at start-up; the gallery arrives with the appearance page.
class Timg_select_Form : public QDialog {
    Q_OBJECT
public:
    explicit Timg_select_Form(QWidget* parent = nullptr);
};
