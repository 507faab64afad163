#pragma once
#include <QObject>
#include <QTemporaryDir>

class TestProjectCommands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void newProjectIsBoundAndModified_data();
    void newProjectIsBoundAndModified();
    void saveClearsModifiedAndReadsBack();
    void openNeverMarksModified();
    void bdpKeepsItsExtension();
    void discardQuestion_data();
    void discardQuestion();
    void closeProjectReturnsToNoProject();
    void unreadableFileGivesErrorAndNoProject_data();
    void unreadableFileGivesErrorAndNoProject();
    void saveAsBindsTheNewPath();
    void failedSaveKeepsModifiedAndOldFile();
    void serviceTextLineLimit_data();
    void serviceTextLineLimit();
    void serviceTextEditorFollowsTheRecord();
    void saveDialogAsksBeforeReplacingTheProjectFile();
    void openGivenPath_data();
    void openGivenPath();

private:
    QTemporaryDir dir;
};

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithNoProject();
    void firmwareButtonCaption_data();
    void firmwareButtonCaption();
    void closeQuery_data();
    void closeQuery();
    void statusBarShowsShortenedPath();
    void windowShrinksBackAfterGrowing();
    void showProjectBuildsTheTree();
    void undecodableImageIsReportedAndKept();
    void topLevelHandlerShowsEscapingError();
    void queuedMessagesDieWithTheWindow();
};

class TestDemoSimulator : public QObject {
    Q_OBJECT
private slots:
    void missingSimulatorIsReported();
    void startsAndStopsTheSimulator();
};

class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void remembersSizePositionAndSplit();
    void firstStartFitsTheScreen_data();
    void firstStartFitsTheScreen();
    void firstStartGivesTheLogAShare();
};
