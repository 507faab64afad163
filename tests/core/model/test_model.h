#pragma once
#include <QObject>

class TestDeviceConfig : public QObject {
    Q_OBJECT
private slots:
    void fletcherOfAbc();
    void checkBytesNeverZero();
    void uploadBlockValidates();
    void singleByteChangeIsDetected_data();
    void singleByteChangeIsDetected();
    void versionOneBlockIsConverted();
    void unknownVersionIsRefused();
    void newProjectDefaults();
    void serviceText_data();
    void serviceText();
    void serviceTextLines_data();
    void serviceTextLines();
};

class TestProjectModel : public QObject {
    Q_OBJECT
private slots:
    void defaultHandles();
    void imageRowBytes_data();
    void imageRowBytes();
    void storageCountsOnlyIncludedCells();
    void appendedCellsAndClonesBelongToTheirHandle();
};
