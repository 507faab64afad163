#pragma once
#include <QObject>

class TestRxConditions : public QObject {
    Q_OBJECT
private slots:
    void startBytes_data();
    void startBytes();
    void countsSplitAroundMessage();
    void limitsOfTheSet();
    void resetKeepsDefinition();
    void bccCheck_data();
    void bccCheck();
    void findChar_data();
    void findChar();
    void byteMoveTerminates();
    void endsOnItsLastByte_data();
    void endsOnItsLastByte();
};

class TestPortRules : public QObject {
    Q_OBJECT
private slots:
    void windowsPortName_data();
    void windowsPortName();
    void readInterval_data();
    void readInterval();
};

class TestVrexComms : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void ringBufferKeepsFirstBytes();
    void firstAddedConditionWins();
    void completedScanStartsNoOtherCondition();
    void messageCountAboveOneNeverCompletes();
    void getReply_data();
    void getReply();
    void getReplyWithoutSet();
    void timeoutEndsWait_data();
    void timeoutEndsWait();
    void zeroLengthSendArmsWithoutWriting();
    void closeDuringWaitEndsIt();
    void closedComponentRefusesUntilReopened();
    void openTwiceThrowsAndKeepsPort();
    void openFailureKeepsReason();
    void nonTerminalIsRefused();
    void waitWithoutDispatchStillSeesReply();
    void receiveMsgEventRestartsScan();
    void putCharWritesOneByte();
    void readIntervalExtremesDeliver_data();
    void readIntervalExtremesDeliver();
    void stalledWriteEndsTransaction_data();
    void stalledWriteEndsTransaction();
    void traceShowsTrafficInHex();
};

class TestErrors : public QObject {
    Q_OBJECT
private slots:
    void oneBaseKeepsTheText_data();
    void oneBaseKeepsTheText();
};

class TestPortBackends : public QObject {
    Q_OBJECT
private slots:
    void unknownBackendIsRefusedByName();
    void openIsExclusiveAcrossBackends_data();
    void openIsExclusiveAcrossBackends();
    void permissionDeniedSaysTheFix();
    void vanishedPortEndsTransaction_data();
    void vanishedPortEndsTransaction();
};
