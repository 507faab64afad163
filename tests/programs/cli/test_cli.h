#pragma once
#include <QObject>
#include <QTemporaryDir>

// new and info as a script uses them.
class TestCli : public QObject {
    Q_OBJECT
private slots:
    void newThenInfo();
    void newTakesTheProjectExtension_data();
    void newTakesTheProjectExtension();
    void serviceTextLineBreaksPrintVisibly();
    void unreadableFilesFailWithOneLine_data();
    void unreadableFilesFailWithOneLine();
    void refusedPicturesSayWhy_data();
    void refusedPicturesSayWhy();
    void addImageReportsAdditionsOnceSaved();
    void namesFromTheFileStayOnTheirLine();
    void infoComputesStorageFromTheImages();
};

// The command-line convention of all three programs, one row per case.
class TestCommandLines : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exitStatusAndStreams_data();
    void exitStatusAndStreams();
    void commandsAgreeOnAnUnreadableProject();

private:
    QTemporaryDir m_dir;
};

// info --json keeps every value of the project, unusual ones included.
class TestInfoJson : public QObject {
    Q_OBJECT
private slots:
    void roundTripsUnusualValues();
    void escapedTextGivesBackTheBytes_data();
    void escapedTextGivesBackTheBytes();
};

class TestDiff : public QObject {
    Q_OBJECT
private slots:
    void findsEachKindOfChange_data();
    void findsEachKindOfChange();
    void unreadableFileIsTrouble();
    void storedChecksumAloneIsNoDifference();
};

// Output files: all or nothing, in the format their name asks for.
class TestOutputs : public QObject {
    Q_OBJECT
private slots:
    void failingCommandsLeaveNoFile_data();
    void failingCommandsLeaveNoFile();
    void previewWritesTheFormatItsExtensionNames_data();
    void previewWritesTheFormatItsExtensionNames();
    void imageBlockRefusesABlockLargerThanTheStore();
};

// Nothing a command writes destroys what the user has; names from files and
// logs print as one visible line.
class TestFileSafety : public QObject {
    Q_OBJECT
private slots:
    void outputOverAnInputIsRefused_data();
    void outputOverAnInputIsRefused();
    void specialOutputsAreWrittenInPlace_data();
    void specialOutputsAreWrittenInPlace();
    void deviceNodeStaysADevice_data();
    void deviceNodeStaysADevice();
    void concurrentEditsKeepEveryChange();
    void lockedProjectIsNotOverwritten();
    void reportRefusesAFileThatIsNotALog_data();
    void reportRefusesAFileThatIsNotALog();
    void reportCountsOneController();
    void namesFromFilesPrintAsOneVisibleLine();
    void sameFileTwiceIsNumbered();
    void retrieveThatCannotBeSavedFailsFirst_data();
    void retrieveThatCannotBeSavedFailsFirst();
};

// The virtual controller says when a client may connect.
class TestSimReadiness : public QObject {
    Q_OBJECT
private slots:
    void clientStartedRightAfterConnects_data();
    void clientStartedRightAfterConnects();
};
