#pragma once
#include <QObject>
#include <QTemporaryDir>

// The import rules the window and corvane-cli share.
class TestImageImport : public QObject {
    Q_OBJECT
private slots:
    void nameFromFile_data();
    void nameFromFile();
    void fileVerdicts_data();
    void fileVerdicts();
    void logoGetsItsThumbnail();
    void storageMustStayBelowTheFreeSpace_data();
    void storageMustStayBelowTheFreeSpace();
    void fullListRefusesBeforeReading();

private:
    QTemporaryDir m_dir;
};

// Dropping files, the image view and the memory display.
class TestImagesPage : public QObject {
    Q_OBJECT
private slots:
    void dropFiveOntoTwentySeven();
    void refusedFilesAreLoggedAndNothingIsAdded();
    void dragHighlightAndClientArea();
    void closingDuringAnImportStopsIt();
    void frameGeometry_data();
    void frameGeometry();
    void framesShowCheckerboardAndVeil();
    void selectionWithinHandleKeepsTheView();
    void emptyProjectMemoryDisplay();
    void wheelScrollsByItsDelta();
    void accessibilityTree();

private:
    QTemporaryDir m_dir;
};

// Delete, move and rename from the buttons above the tree.
class TestImageCommands : public QObject {
    Q_OBJECT
private slots:
    void buttonsFollowTheSelection_data();
    void buttonsFollowTheSelection();
    void thumbnailsFollowMoveAndDelete();
    void deletingTheOnlyImageSelectsTheHandle();
    void rename_data();
    void rename();
    void renameDialogFitsAndShowsCapitals();

private:
    QTemporaryDir m_dir;
};

// Add Images (button, File menu, the tree's context menu) and the tree's
// context menu and keys.
class TestAddImages : public QObject {
    Q_OBJECT
private slots:
    void addImagesImportsLikeADrop_data();
    void addImagesImportsLikeADrop();
    void cancelledDialogAddsNothing();
    void realFileDialogTakesSeveralFiles();
    void dropAreaSaysWhatItTakes_data();
    void dropAreaSaysWhatItTakes();
    void contextMenuFollowsTheSelection_data();
    void contextMenuFollowsTheSelection();
    void contextMenuAndKeysRunTheCommands();
    void commandsWaitForARunningImport();
    void offeredOnlyWithAProjectOpen();

private:
    QTemporaryDir m_dir;
};
