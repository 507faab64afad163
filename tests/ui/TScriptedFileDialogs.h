#pragma once
// File dialogs for tests: each dialog returns the next scripted answer (an
// empty answer is a cancel) and counts how often it was shown.

#include "ui/app/TFileDialogs.h"

#include <QQueue>

class TScriptedFileDialogs : public TFileDialogs {
public:
    QQueue<QString> answers;
    int shown = 0;

    QString New_Project_Name(QWidget*) override { return next(); }
    QString Open_Project_Name(QWidget*) override { return next(); }
    QString Save_Project_Name(QWidget*) override { return next(); }

private:
    QString next()
    {
        ++shown;
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
};
