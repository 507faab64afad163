#include "core/device/TRetrieveSteps.h"

#include "core/device/DeviceTexts.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceStepContext.h"
#include "core/device/TStreamWriter.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/WindowMessages.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/BLcomms.h"

#include <cstring>
#include <utility>

namespace {
constexpr quint32 kBlockBytes = 128;
constexpr quint32 kConfigBytes = sizeof(TDeviceConfiguration);
} // namespace

void TRetrieveSteps::failed(const QString& info)
{
    DeviceOperationResult& result = m_ops.result();
    result.failedPhase = TDevicePhase::Retrieve;
    result.message = statusCodeText(int(TActivityStatus::RetrieveError)) + QStringLiteral(": ") + info;
}

void TRetrieveSteps::handle(quint32 wParam, quint32 step)
{
    TProjectDocument& document = m_ops.document();
    TDeviceHost& host = m_ops.host();
    switch (step) {
    case kStart:
        m_ops.result().phase = TDevicePhase::Retrieve;
        // A block whose reply fails its tests is not copied; what stood there
        // from an earlier retrieve must not pass for this controller's data.
        std::memset(&RC_DeviceConfiguration, 0, sizeof RC_DeviceConfiguration);
        m_ops.post(WM_RC_RETRIEVE, 0, kRead);
        break;
    case kRead: {
        const quint32 a = wParam;
        if (a + kBlockBytes > kConfigBytes) {
            m_ops.post(WM_RC_RETRIEVE, 0, kCommsError);
            break;
        }
        auto* raw = reinterpret_cast<uint8_t*>(&RC_DeviceConfiguration);
        const int r = BL_ReadBlock(m_ops.comms(), BL::kCmdReadMemory, a, nullptr, 0, raw, int(a), kBlockBytes, 30);
        if (r != BL::kAccepted) {
            m_ops.result().fault = transferFault(m_ops.comms(), r);
            m_ops.post(WM_RC_RETRIEVE, 0, kCommsError);
        } else if (a + kBlockBytes < kConfigBytes)
            m_ops.post(WM_RC_RETRIEVE, a + kBlockBytes, kRead);
        else
            m_ops.post(WM_RC_RETRIEVE, 0, kValidate);
        break;
    }
    case kValidate: {
        TDevice_Config_v2 record = document.record();
        if (Validate_Device_Configuration(RC_DeviceConfiguration, record)) {
            {
                // The pages showing the record are not edits of it: the
                // retrieve as a whole is one step the user can take back.
                const auto showing = document.loadingScope();
                document.replaceRecord(record);
                host.Show_Device_Config(document.record());
            }
            // The project now differs from its file: closing it must ask first.
            document.nameNextChange(QStringLiteral("Retrieve Configuration"));
            document.Set_Modified(true);
            host.Log_Activity(TActivityStatus::ConfigurationRetrieved);
            m_ops.result().outcome = TOperationOutcome::Ok;
            m_ops.result().message = statusCodeText(int(TActivityStatus::ConfigurationRetrieved));
        } else {
            host.Log_Activity(TActivityStatus::RetrieveError, QStringLiteral("Config data corrupt"));
            // A log row alone leaves the user guessing whether the link failed.
            host.Show_Message_Box(DeviceText::retrieveCorrupt(), TDeviceBoxKind::Warning, TDeviceButtons::Ok,
                                  TDeviceAnswer::Ok);
            failed(QStringLiteral("Config data corrupt"));
        }
        m_ops.Close_Connection();
        break;
    }
    case kCommsError:
        host.Log_Activity(TActivityStatus::RetrieveError, QStringLiteral("Comms error"));
        failed(QStringLiteral("Comms error"));
        m_ops.Close_Connection();
        break;
    default: break;
    }
}
