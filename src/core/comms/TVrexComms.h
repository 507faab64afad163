#pragma once
// The serial-port component: owns one port, receives on a thread of its own,
// collects the bytes in a ring buffer on the user-interface thread, runs them
// through the attached receive conditions and lets the caller wait for the
// outcome of a request while the event loop keeps running.
//
// Request order: build a TRxCondition, AttachCond, ClearFlags, SendCommData,
// WaitForResult, optionally GetReply, DetachCond.
//
// RxResult: -2 closing (or CloseComm on a closed port; sending is refused),
// -1 outstanding / idle, 0 timeout or application quitting, n >= 1 condition n met.

#include "core/comms/PortOpenFailure.h"
#include "core/comms/ReplyTimeoutScale.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class RxChunkQueue;
class SerialPortHandle;
class TRxCondition;

enum class TStopBits : uint8_t { OneStopBit, sb1_5, TwoStopBits };
enum class TParity : uint8_t { None, Odd, Even, Mark, Space };

class TVrexComms : public QObject {
    Q_OBJECT
public:
    using TReceiveDataEvent = std::function<void(const uint8_t* Buffer, uint16_t BufferLength)>;
    using TReceiveMsgEvent = std::function<void(int condnum)>;
    using TTimeOutEvent = std::function<void()>;

    static constexpr uint16_t kNoTimeLimit = 0xFFFF;
    // A write that makes no progress for this long is given up (the adapter
    // has stalled), also when the reply may take for ever.
    static constexpr int kWriteStallMs = 5000;

    explicit TVrexComms(QObject* owner = nullptr);
    ~TVrexComms() override;

    // Properties: applied by the next OpenComm (or UpdateDCB for the line settings).
    uint8_t CommPort = 1; // used when PortName is empty
    QString portName;     // the platform's name: /dev/ttyUSB0, COM3
    uint32_t BaudRate = 9600;
    uint8_t DataBits = 8;
    TStopBits StopBits = TStopBits::OneStopBit;
    TParity Parity = TParity::None;
    uint16_t RxBufferSize = 256;
    uint32_t InterCharTimeOut = 0;
    TReceiveDataEvent OnReceiveData;
    TReceiveMsgEvent OnReceiveMsg;
    TTimeOutEvent OnTimeOut;
    // Port errors the user should see (RTS changes). Without a handler they go to the log.
    std::function<void(const QString&)> onPortError;

    // False when the port cannot be opened; lastOpenFailure() says why.
    // Throws ECommsError when already open or when the name is not a serial port.
    bool OpenComm();
    void CloseComm();
    void UpdateDCB();
    // Writes without blocking the event loop: while the adapter takes no more
    // bytes, events keep being dispatched. False when the write fails, stalls
    // (kWriteStallMs without progress), or is overtaken by the reply time
    // running out or the port closing; what was not sent is dropped and the
    // following wait returns 0 at once (or the closing result).
    bool SendCommData(const uint8_t* txstr, uint16_t txstrlen, uint16_t tim);
    int WaitForResult();
    int WaitForResult_T();
    bool PutChar(uint8_t b);
    bool GetNextChar(uint8_t& ch);
    void ClearRxBuffer();
    void Set_RTS();
    void Clear_RTS();
    // Whether the named port exists and is free. Throws ECommsError for a non-serial device.
    static bool CheckPort(const QString& name);
    static bool CheckPort(int p);

    // Receive conditions. The caller owns the set and detaches it before freeing it.
    void AttachCond(TRxCondition* cond) { RxCond = cond; }
    void DetachCond() { RxCond = nullptr; }
    void ClearFlags();
    void CheckCondFlags(uint8_t ch);
    void UpdateRxCharCounts();
    bool CheckReply(uint16_t condnum) const;
    int GetCondition() const;
    void ConditionCheck();
    // Copies the reply of condition condnum out of the ring buffer; buf needs
    // bufsize + 1 bytes (a zero byte follows the copied ones). Returns the count.
    uint16_t GetReply(uint16_t condnum, uint8_t* buf, uint16_t bufsize, int pre, int mid, int post) const;

    bool isOpen() const;
    int RxResult() const { return m_rxResult; }
    QString openPortName() const { return m_openName; }
    TPortOpenFailure lastOpenFailure() const { return m_openFailure; }
    QString lastOpenError() const { return m_openError; }
    uint32_t readIntervalMs() const { return m_readInterval; }
    bool lowLatencyGranted() const { return m_lowLatency; }
    // The open port went away (unplugged); it stays so until CloseComm.
    bool portWasLost() const { return m_lost; }
    uint16_t RxBuffHead() const { return m_rxBuffHead; }
    uint16_t RxBuffTail() const { return m_rxBuffTail; }

    // The frame last built for this connection. It belongs to the connection,
    // not to the program: a read request carries on the two bytes after the
    // header of the frame before it, and two controllers driven at once must
    // not see each other's frames.
    std::vector<uint8_t>& txFrame() { return m_txFrame; }

private:
    enum class RoomWait { Room, Stalled, Ended, Quit, Gone };

    void commWndProcRxData();
    void TimerTick();
    QString portNameToOpen() const;
    void chooseReceiveHandOver();
    bool writeBytes(const uint8_t* data, std::size_t length);
    void abandonWrite(std::size_t done, std::size_t length);
    RoomWait waitForRoom(int stallMs);
    void trace(const char* direction, const uint8_t* bytes, std::size_t length) const;
    void HandleRxChr(const uint8_t* bytes, int n);
    void deliverChunk(const QByteArray& chunk);
    void StopRxThread();
    void portLost();
    void releaseEvents();
    void setPollEvent();
    void setPollTimeoutEvent();
    void wakeWaiters();
    void reportPortError(const QString& text);

    std::unique_ptr<SerialPortHandle> m_port;
    std::shared_ptr<RxChunkQueue> m_queue;
    std::vector<uint8_t> RxBuffer;
    uint16_t m_rxBuffHead = 0;
    uint16_t m_rxBuffTail = 0;
    TRxCondition* RxCond = nullptr;
    QTimer Timer;
    uint16_t CommTimout = 0;
    uint16_t TimerMult = 0;
    int StartEnd_Cond = -1;
    int m_rxResult = -1;
    // The component's three events exist only while the port is open.
    bool m_eventsExist = false;
    bool hPollEvent = false;
    bool hPollTimeoutEvent = false;
    bool hCloseEvent = false;
    std::vector<QEventLoop*> m_waitLoops;
    QElapsedTimer m_openedAt;
    QString m_openName;
    TPortOpenFailure m_openFailure = TPortOpenFailure::None;
    QString m_openError;
    uint32_t m_readInterval = 0;
    const int m_tickMs = replyTickMs(); // the reply timer's tick: CommTimout counts these
    bool m_lowLatency = false;
    bool m_lost = false;
    std::vector<uint8_t> m_txFrame;
};
