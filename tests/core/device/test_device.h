#pragma once
#include <QObject>

class TestBLcomms : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exampleFramesAsReceived();
    void connectionsKeepTheirOwnFrames();
    void fullSizeWrite();
    void writeFromStreamAdvancesIt();
    void badWriteLengthSendsNothing();
    void readReply_data();
    void readReply();
    void refusalAndSilence_data();
    void refusalAndSilence();
    void strayStartByte();
    void ignoredResets();
    void portVanishesMidWait();
    void closedComponentRefusesUntilReopened();
};

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void identification_data();
    void identification();
    void identificationFailsCleanly_data();
    void identificationFailsCleanly();
    void silenceIsNoAnswer();
    void modelIndex_data();
    void modelIndex();
    void fwCompatIndex_data();
    void fwCompatIndex();
    void firmwareText();
    void namedPortsComeFirst();
    void probeReportsWhyAPortFailed();
    void commsSettings();
};

class TestDeviceOperations : public QObject {
    Q_OBJECT
private slots:
    void purposeByFirmware_data();
    void purposeByFirmware();
    void logSequences_data();
    void logSequences();
    void nakToSecondWriteRetriedFromZero();
    void ignoredResets_data();
    void ignoredResets();
    void retrieveFailuresLeaveTheRecord_data();
    void retrieveFailuresLeaveTheRecord();
    void versionOneBlockIsConverted();
    void uploadRefusedBeforeConnecting();
    void twoControllersUploadAtOnce();
    void storedServiceTextIsSentAsStored();
    void emptyImageBlockGoesStraightToReset();
    void unbuildableImageBlockEndsTheUpload();
};

class TestFirmwareOperations : public QObject {
    Q_OBJECT
private slots:
    void windowLabels_data();
    void windowLabels();
    void upgradeByModel_data();
    void upgradeByModel();
    void abortDuringBlock100();
    void nakOnBlock3ThenUpgradeAgain();
    void placeholderRefusedOnOtherPorts();
    void permissionDeniedNamedInLog14();
};

class TestDeviceResults : public QObject {
    Q_OBJECT
private slots:
    void namedPortIsTheOnlyPort_data();
    void namedPortIsTheOnlyPort();
    void faultsByPhase_data();
    void faultsByPhase();
};
