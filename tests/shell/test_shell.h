#pragma once

#include <QObject>

class TestActivityLog : public QObject {
    Q_OBJECT
private slots:
    void gridLayout();
    void statusCodes_data();
    void statusCodes();
    void entryFillsItsColumns();
    void columnsWidenButNeverShrink();
    void columnsFillTheWidth();
    void viewFollowsOnlyWhenLastRowInView();
    void entriesWrittenBeforeShowingAreFollowed();
    void markerColoursFillColumnZero_data();
    void markerColoursFillColumnZero();
};

class TestGenLib : public QObject {
    Q_OBJECT
private slots:
    void scriptedPrompterRecordsAndAnswers();
    void unscriptedQuestionsNeverBlock_data();
    void unscriptedQuestionsNeverBlock();
    void prompterIsRemovedWithIt();
    void realDialogShowsTheTextAndDefault();
    void realDialogKeepsEveryLineWhole_data();
    void realDialogKeepsEveryLineWhole();
    void delayKeepsTheEventLoopRunning();
    void enableChildrenCopiesTheOwnState();
    void checkerBitmap_data();
    void checkerBitmap();
};

class TestAuxWindows : public QObject {
    Q_OBJECT
private slots:
    void splashIsBorderlessOnTopAndSteps();
    void galleryShowsEveryPreview();
    void aboutShowsTheVersion();
    void infoCarriesItsText();
    void settingsOffersOkAndCancelOnly();
    void placeholdersConstruct();
};

class TestProjectDocument : public QObject {
    Q_OBJECT
private slots:
    void setModified_data();
    void setModified();
    void undoKeepsItsLimit();
    void revisionCountsEveryChange();
};
