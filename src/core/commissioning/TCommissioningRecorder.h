#pragma once
// Puts the window's own uploads and firmware upgrades on record in the
// commissioning log, so every controller the program touched is in one
// place. It stands between the device operations and their host: every call
// is passed on unchanged, and the activity log's entries tell it what
// happened. A retrieve writes nothing to a controller and is not recorded; a
// scan that found no controller touched none.

#include "core/commissioning/CommissioningRecord.h"
#include "core/device/TDeviceHost.h"

#include <QElapsedTimer>
#include <QString>

class TControllerLink;
class TProjectDocument;

class TCommissioningRecorder : public TDeviceHost {
public:
    TCommissioningRecorder(TDeviceHost& host, const TProjectDocument& document, const TControllerLink& link,
                           QString logPath = {});

    // No log (the default): nothing is recorded.
    void setLogPath(const QString& path) { m_log = path; }
    QString logPath() const { return m_log; }
    // Why the last record could not be written; empty when it was.
    QString lastError() const { return m_error; }

    void Log_Activity(int code, const QString& info) override;
    TDeviceAnswer Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                   TDeviceAnswer defaultAnswer) override;
    void Show_Scan_Panel(bool visible) override { m_host.Show_Scan_Panel(visible); }
    void Set_Scan_Progress(int position, int maximum) override { m_host.Set_Scan_Progress(position, maximum); }
    void Set_Progress(TDeviceBar bar, qint64 position, qint64 maximum, bool error) override
    {
        m_host.Set_Progress(bar, position, maximum, error);
    }
    void Enable_Project_Area(bool enabled) override { m_host.Enable_Project_Area(enabled); }
    void Enable_Device_Buttons(bool enabled) override { m_host.Enable_Device_Buttons(enabled); }
    void Enable_Upload_Boxes(bool enabled) override { m_host.Enable_Upload_Boxes(enabled); }
    bool Upload_Config_Ticked() const override { return m_host.Upload_Config_Ticked(); }
    bool Upload_Images_Ticked() const override { return m_host.Upload_Images_Ticked(); }
    QString Service_Text() const override { return m_host.Service_Text(); }
    void Show_Device_Config(const TDevice_Config_v2& config) override { m_host.Show_Device_Config(config); }
    void Show_Firmware_Window() override { m_host.Show_Firmware_Window(); }
    bool Firmware_Window_Showing() const override { return m_host.Firmware_Window_Showing(); }
    void Firmware_Transfer_Ended() override { m_host.Firmware_Transfer_Ended(); }
    void Operation_Ended() override { m_host.Operation_Ended(); }

private:
    enum class Kind { None, Upload, Firmware };
    void write();

    TDeviceHost& m_host;
    const TProjectDocument& m_document;
    const TControllerLink& m_link;
    QString m_log;
    QString m_error;
    Kind m_kind = Kind::None;
    bool m_connected = false;
    QList<int> m_codes;
    QString m_failure;
    QString m_box;
    TCommissioningRecord m_record;
    QElapsedTimer m_clock;
};

// commissioning.jsonl in the user's data folder.
QString Window_Commissioning_Log();
