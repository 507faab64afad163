#pragma once
// The device operations as step machines: discovery and connection,
// configuration retrieve, configuration upload, image upload and firmware
// upgrade. Each step is a window message (1027..1031) queued on the
// posted-message queue; a step runs at most one transaction and posts its
// successor only after that transaction has returned. Everything the user
// sees goes through the host (TDeviceHost), so the main window, corvane-cli
// and the tests drive the very same steps.
//
// The messages come back to this object (handleMessage); the steps reach
// their surroundings only through TDeviceStepContext.

#include "core/device/TDeviceStepContext.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class TConfigUploadSteps;
class TConnectSteps;
class TControllerLink;
class TDeviceHost;
class TProjectDocument;
class TFirmwareSteps;
class TImageUploadSteps;
class TMsgList;
class TRetrieveSteps;

class TDeviceOperations : public QObject, private TDeviceStepContext {
    Q_OBJECT
public:
    using TTimings = TDeviceTimings;
    using TPortLister = std::function<QStringList()>;

    TDeviceOperations(TProjectDocument& document, TControllerLink& link, TMsgList& queue, TDeviceHost& host,
                      QObject* parent = nullptr);
    ~TDeviceOperations() override;

    void setTimings(const TTimings& timings) { m_timings = timings; }
    const TTimings& timings() const override { return m_timings; }
    // The ports to probe, in order. Default: the link's named ports alone
    // when the user named them (TControllerLink::namedPortsOnly), else the
    // named ports, then the adapters' ports.
    void setPortLister(TPortLister lister) { m_portLister = std::move(lister); }
    // The adapters the system lists (default: the FTDI adapters' ports).
    void setAdapterLister(TPortLister lister) { m_adapterLister = std::move(lister); }
    QStringList listPorts() const override;
    // The carried firmware is a placeholder unless the build embeds real
    // images; it is only ever sent to the ports allowed here (the virtual
    // controller's), or to any port when everywhere is set.
    void allowPlaceholderFirmwareOn(const QStringList& ports) { m_placeholderPorts = ports; }
    void allowPlaceholderFirmwareEverywhere(bool allowed) { m_placeholderEverywhere = allowed; }
    bool placeholderFirmwareAllowed(const QString& port) const override;
    QStringList placeholderFirmwarePorts() const { return m_placeholderPorts; }
    // A configuration upload reads the block back and compares it before the
    // controller is restarted.
    void setVerifyUpload(bool verify);
    // Send this image data block (built and checked by the caller before any
    // port was opened) instead of building one from the project.
    void setImageBlock(const QByteArray& block) { m_imageBlock = block; }

    // How the last operation ended, or, while one runs, what it has done so
    // far. finished() delivers the same value once the operation is over.
    const DeviceOperationResult& operationResult() const { return m_result; }

    // --- the device buttons ---
    void retrieve_cfg_ButtonClick();
    void fw_upg_ButtonClick();
    // False when the upload did not start (too many service-text lines, an
    // unsaved project the user would not upload).
    bool upload_data_BitBtnClick();

    // --- the firmware window's buttons ---
    // Starts the transfer of the image for the connected controller's model.
    void startFirmwareUpgrade();
    // "Cancel" answered Yes during a transfer: the next block step ends it.
    void requestUpgradeAbort();
    // "Cancel" while no transfer runs: closes the connection.
    void closeFirmwareWindow();

    // One handler per message number, branching on the step it carries.
    void handleMessage(int msg, quint32 wParam, quint32 lParam);
    // Ends a device operation: enables the controls again, closes the port, logs 13.
    void Close_Connection() override;
    // True from a device button until the connection closes or the scan
    // ends without a controller.
    bool isBusy() const { return m_busy; }

    TProjectDocument& document() const override { return m_document; }
    TControllerLink& link() const override { return m_link; }
    TDeviceHost& host() const override { return m_host; }

signals:
    // Every operation started by a device button ends with exactly one.
    void finished(const DeviceOperationResult& result);

protected:
    bool event(QEvent* event) override;

private:
    TVrexComms& comms() const override;
    void post(int msg, quint32 wParam, quint32 lParam) override;
    void postDirect(int msg, quint32 wParam, quint32 lParam);
    void setBusy(bool busy) override { m_busy = busy; }
    DeviceOperationResult& result() override { return m_result; }
    void operationFinished() override;
    const QByteArray* preparedImageBlock() const override { return m_imageBlock ? &*m_imageBlock : nullptr; }
    void begin(TDeviceOperationKind kind);

    TProjectDocument& m_document;
    TControllerLink& m_link;
    TMsgList& m_queue;
    TDeviceHost& m_host;
    TTimings m_timings;
    TPortLister m_portLister;
    TPortLister m_adapterLister;
    QStringList m_placeholderPorts;
    bool m_placeholderEverywhere = false;
    bool m_busy = false;
    std::optional<QByteArray> m_imageBlock;
    DeviceOperationResult m_result;
    bool m_running = false; // an operation's result is still to be delivered
    QElapsedTimer m_clock;
    std::unique_ptr<TConnectSteps> m_connect;
    std::unique_ptr<TRetrieveSteps> m_retrieve;
    std::unique_ptr<TConfigUploadSteps> m_configUpload;
    std::unique_ptr<TImageUploadSteps> m_imageUpload;
    std::unique_ptr<TFirmwareSteps> m_firmware;
};
