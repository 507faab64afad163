#pragma once
#include <QObject>
#include <QTemporaryDir>

class TestGeneralPage : public QObject {
    Q_OBJECT
private slots:
    void memoBreaksLongLinesAndCounts_data();
    void memoBreaksLongLinesAndCounts();
    void caretStaysWithItsCharacter();
    void editsFlowTheLines_data();
    void editsFlowTheLines();
    void editedTextIsStoredAsUtf8();
    void memoRefusesTypingBeyondItsLimit();
    void tooManyLinesFollowsTheLineCount();
    void boxesWriteTheirFields_data();
    void boxesWriteTheirFields();
    void serviceTextBetweenRecordAndMemo_data();
    void serviceTextBetweenRecordAndMemo();
    void serviceTextLooksDisabledWhileDisabled();
};

class TestUserInterfacePage : public QObject {
    Q_OBJECT
private slots:
    void clickFlipsTheOption_data();
    void clickFlipsTheOption();
    void setpointCellsChooseTheDisplay();
    void enableBoxFadesTheGridAndKeepsItsOptions();
    void holdEntryNeverChanges();
    void keyboardMovesAndSelects();
    void cellsAreVisibleToAssistiveTools();
};

class TestOccupancyPage : public QObject {
    Q_OBJECT
private slots:
    void limitRules_data();
    void limitRules();
    void strategyBoxesKeepTheOtherBits();
    void occupiedBoxRestoresListsFromTheirBoxes();
    void codesOutsideTheListsShowTheFirstItem_data();
    void codesOutsideTheListsShowTheFirstItem();
    void pickingAnItemWritesItsCode_data();
    void pickingAnItemWritesItsCode();
    void pictureListsDropDownWideEnough_data();
    void pictureListsDropDownWideEnough();
    void pictureListItemsCanBePickedByAssistiveTools();
};

class TestConfigurationPage : public QObject {
    Q_OBJECT
private slots:
    void init();
    void tabsCarryPicturesAndNames();
    void showingARecordChangesNothingInIt();
    void everyControlHasAnAccessibleName();
    void hintBadges_data();
    void hintBadges();
    void hintBalloonFollowsThePointer();
    void openingNeverModifiesShowingARetrievedRecordDoes();
    void nonAsciiServiceTextSurvivesSaveAndReopen();
    void everyEditGoesThroughTheEditScope_data();
    void everyEditGoesThroughTheEditScope();

private:
    QTemporaryDir m_dir;
};
