#pragma once
#include <QObject>
#include <QTemporaryDir>

class TestDeviceWindow : public QObject {
    Q_OBJECT
private slots:
    void retrieveShowsTheControllersRecord();
    void retrieveIsOneUndoStep();
    void uploadBothThroughThePage();
    void uploadButtonNeedsATickedBox();
    void firmwareWindowShowsTheController_data();
    void firmwareWindowShowsTheController();
    void cancelDuringTransferAborts();
    void notFoundLogSaysWhyEachPortFailed();
    void lostControllerDuringUpload_data();
    void lostControllerDuringUpload();
    void retrieveFromBlankControllerIsExplained();
    void retrieveOverEditsAsksFirst_data();
    void retrieveOverEditsAsksFirst();
    void firmwareCommandIsInAMenuAndInTabReach();
    void sameFirmwareVersionAsksFirst_data();
    void sameFirmwareVersionAsksFirst();
    void controlsAreNamedForAssistiveTools();

private:
    QTemporaryDir m_dir;
};
