#pragma once
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>

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
    void untouchedServiceTextSavesAsRead_data();
    void untouchedServiceTextSavesAsRead();
    void saveDialogAsksBeforeReplacingTheProjectFile();
    void openGivenPath_data();
    void openGivenPath();
    void saveAsksBeforeOverwritingAChangeOnDisk_data();
    void saveAsksBeforeOverwritingAChangeOnDisk();
    void saveWaitsForAnotherProgramsChange();

private:
    QTemporaryDir m_dir;
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

// Open Recent, project files dropped on the window, standard shortcuts and the
// modified marker in the title bar.
class TestDesktopConventions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void openRecentSurvivesARestart();
    void recentListKeepsEightNewestFirst();
    void missingRecentProjectIsGreyed();
    void droppedProjectOpens_data();
    void droppedProjectOpens();
    void onlyProjectFilesOpenByDropping();
    void standardShortcuts_data();
    void standardShortcuts();
    void saveKeySavesTheProject();
    void saveAsStartsAtTheProject();
    void dialogsStartInTheLastProjectFolder();
    void newProjectDialogSaysCreate();
    void editMenuCutCopyPaste();
    void titleBarMarksTheModifiedProject_data();
    void titleBarMarksTheModifiedProject();
    void userGuideOpensInTheBrowser();
    void missingUserGuideIsSaid();

public slots:
    // The desktop's browser, as QDesktopServices reaches it.
    void openInBrowser(const QUrl& url) { m_openedUrls << url; }

private:
    QTemporaryDir m_dir;
    QList<QUrl> m_openedUrls;
};

// The window used with the keyboard alone: Tab reaches every control of every
// page, each with a name for screen readers, and nothing traps it.
class TestKeyboardUse : public QObject {
    Q_OBJECT
private slots:
    void everyControlIsReachedAndNamed_data();
    void everyControlIsReachedAndNamed();
    void dropDownsAreNamedByTheirSetting();
    void tabLeavesTheLog();
    void pagesChangeFromTheKeyboard();
    void badgeShowsItsTextOnFocus();

private:
    QTemporaryDir m_dir;
};

class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void remembersSizePositionAndSplit();
    void firstStartFitsTheScreen_data();
    void firstStartFitsTheScreen();
    void firstStartGivesTheLogAShare();
};
