#pragma once
#include <QObject>

class TestTimeline : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void geometryAt600x100();
    void timeLabelsNeverTouch_data();
    void timeLabelsNeverTouch();
    void compactTimelineKeepsItsParts();
    void barsAndMarks_data();
    void barsAndMarks();
    void disabledIsGreyAndDeaf();
    void accessibleNameAndPress();
    void dayNamesAreAllLongOrAllShort_data();
    void dayNamesAreAllLongOrAllShort();
};

class TestEventsEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void emptyDayOffersOnlyAdd();
    void typedTimeIsStored();
    void timeFieldRules_data();
    void timeFieldRules();
    void eighthEventHidesAddAndDeleteFreesItsSlot();
    void addThenCancelLeavesSlotFree();
    void eventSelectShowsRecordValues_data();
    void eventSelectShowsRecordValues();
    void gridShowsOnlyEnabledSettings();
    void rowButtonsFollowTheirRows();
    void rowButtonsAreInTheAccessibilityTree();
    void copyDialogOffersOnlyOtherDays();
    void copyThenCancelKeepsCopyAndRecomputes();
    void pictureButtonsAreNamed();
    void settingListsShowTheirPicturesByName();
};

class TestSchedulerPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void showRecordRebuildsTimelinesAndRunStates();
    void schedulerBoxEnablesTimelines();
    void eventsOpenFromButtonAndContextMenu_data();
    void eventsOpenFromButtonAndContextMenu();
    void okWritesDayAndMarksProjectModified();
    void cancelWritesNothing();
    void pageSitsInTheConfigurationPages();
    void focusedTimelineShowsItselfWholeFromTheLeft();
};
