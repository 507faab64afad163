#pragma once
#include <QObject>
#include <QTemporaryDir>

class TestAppearancePage : public QObject {
    Q_OBJECT
private slots:
    void slidersSetLevelsColourAndTint_data();
    void slidersSetLevelsColourAndTint();
    void slidersSpeakTheirLevel();
    void showAppearance_data();
    void showAppearance();
    void showingChangesNothingAndFollowsTheColour();
    void previewsShowTheStoredForm();
    void cancelChangesNothing();
    void okWithoutClickEnablesPositionZero_data();
    void okWithoutClickEnablesPositionZero();
    void clickedImageIsChosen();
    void disablingBlanksTheScreenAndKeepsTheIndex();
    void highlightsFollowThePointer();
    void previewsAreButtonsForAssistiveTools();
};

class TestImageSelect : public QObject {
    Q_OBJECT
private slots:
    void imageSizesFollowScaleAndScreen_data();
    void imageSizesFollowScaleAndScreen();
    void everyImageGetsANamedFrame();
    void veiledImagesCannotBeChosen();
    void emptyHandleLeavesShowImageClear_data();
    void emptyHandleLeavesShowImageClear();
    void galleryColour();
    void frameLightsUpUnderThePointer();
    void cellsAreButtonsForAssistiveTools();
    void resultsOfTheButtons();
};

class TestAppearanceInWindow : public QObject {
    Q_OBJECT
private slots:
    void openedProjectShowsItsChoiceAndEditsMarkIt();

private:
    QTemporaryDir m_dir;
};
