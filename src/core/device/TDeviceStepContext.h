#pragma once
// What a step of a device operation may touch: the link it talks over, the
// project it reads or fills, the host that shows what happens, and the
// queue its successor goes on. The step classes see nothing else of the
// operations that own them.

#include "core/device/DeviceOperationResult.h"

#include <QString>
#include <QStringList>

class TControllerLink;
class TDeviceHost;
class TProjectDocument;
class TVrexComms;

struct TDeviceTimings {
    int scanDelayMs = 500; // before the ports are listed
    int pauseMs = 1500;    // between connecting and uploading or showing the firmware window
};

class TDeviceStepContext {
public:
    virtual TControllerLink& link() const = 0;
    virtual TVrexComms& comms() const = 0;
    virtual TProjectDocument& document() const = 0;
    virtual TDeviceHost& host() const = 0;

    // Queues the next step (a window message) behind the queue's tick.
    virtual void post(int msg, quint32 wParam, quint32 lParam) = 0;
    // Ends the operation: enables the controls again, closes the port, logs 13.
    virtual void Close_Connection() = 0;
    // The result of the operation under way; each step fills in what it learnt.
    virtual DeviceOperationResult& result() = 0;
    // An operation that ends without Close_Connection (a scan that found
    // nothing) delivers its result here.
    virtual void operationFinished() = 0;

    // --- for discovery ---
    virtual QStringList listPorts() const = 0;
    virtual const TDeviceTimings& timings() const = 0;
    virtual void setBusy(bool busy) = 0;
    // --- for the image upload ---
    // A block built and checked before the operation began, sent as it is
    // instead of being built from the project; null when there is none.
    virtual const QByteArray* preparedImageBlock() const = 0;
    // --- for the firmware upgrade ---
    virtual bool placeholderFirmwareAllowed(const QString& port) const = 0;

protected:
    ~TDeviceStepContext() = default;
};
