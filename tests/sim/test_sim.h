#pragma once
#include <QObject>

class TestVirtualController : public QObject {
    Q_OBJECT
private slots:
    void badCheckBytesAreRefused_data();
    void badCheckBytesAreRefused();
    void memoryOutsideRegionsIsRefused_data();
    void memoryOutsideRegionsIsRefused();
    void cutShortFrameIsDroppedAndLineResyncs();
    void readRequestWithoutTrailingBytesIsAnswered();
    void commandsAreRecorded();
    void startBlockMustFit();
    void dumpHoldsMemoryAndFrames();
    void lineRateKeepsTheProtocol();
    void nthWriteIsRefused();
};

class TestRcSimProgram : public QObject {
    Q_OBJECT
private slots:
    void printsPortFirstAndDumpsOnTerminate();
    void newProjectConfigCanBeRetrieved();
    void stopSignalsEndCleanly_data();
    void stopSignalsEndCleanly();
    void vanishesOnItsOwn();
    void numbersAreDecimalOrHex_data();
    void numbersAreDecimalOrHex();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void helpNamesEveryOption();
};
