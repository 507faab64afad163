#pragma once
// File dialogs for tests: each dialog returns the next scripted answer (an
// empty answer is a cancel) and counts how often it was shown.

#include "ui/app/TFileDialogs.h"

#include <QQueue>

class TScriptedFileDialogs : public TFileDialogs {
public:
    QQueue<QString> answers;
    int shown = 0;

    // Where the last dialog was asked to start (a folder, or for Save As the
    // suggested path).
    QString lastStart;

    QString newProjectName(QWidget*, const QString& folder) override { return next(folder); }
    QString openProjectName(QWidget*, const QString& folder) override { return next(folder); }
    QString saveProjectName(QWidget*, const QString& suggested) override { return next(suggested); }

private:
    QString next(const QString& start)
    {
        lastStart = start;
        ++shown;
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
};
