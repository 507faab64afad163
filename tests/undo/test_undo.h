#pragma once
#include <QObject>
#include <QTemporaryDir>

class TestUndoCommands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void commandUndoesAndRedoesToTheSameBytes_data();
    void commandUndoesAndRedoesToTheSameBytes();
    void typingIsOneStepUntilFocusLeaves();
    void undoneTypingFlowsAsTyped();
    void sliderDragIsOneStep();
    void modifiedFollowsTheSavedState();
    void newProjectStaysModifiedThroughUndo();
    void discardQuestionFollowsModified();
    void openAndCloseClearTheHistory();
    void editMenuAndHistory();
    void undoKeepsTheOpenGroups();
    void selectionFollowsThePictureThroughUndo();

private:
    QTemporaryDir m_dir;
};

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void init();
    void killedConfiguratorOffersItsProject();
    void keptForLaterAndDiscarded();
    void corruptFileIsRefusedAndKept();
    void saveAndUndoToSavedRemoveTheFile();
    void unchangedProjectIsNotWrittenAgain();
    void liveConfiguratorsFileIsLeftAlone();

private:
    QTemporaryDir m_dir;
};

// The child side of killedConfiguratorOffersItsProject: a configurator that
// edits a project, writes what a save would write to expected, and waits to
// be killed.
int runRecoveryChild(const QString& folder, const QString& project, const QString& expected);
