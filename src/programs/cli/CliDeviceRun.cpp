#include "CliDeviceRun.h"

#include "CliDeviceHost.h"

#include "core/device/DevicePauseScale.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/TMsgList.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/resources/CarriedData.h"

#include <QCoreApplication>

#include <exception>

#include <memory>
#include <unistd.h>

CliDeviceOutcome runDeviceOperation(TProjectDocument& document, const CliDeviceJob& job)
{
    TControllerLink link;
    // What the window reads at start-up: the carried firmware's version and part number.
    try {
        link.PC_Cfg_PartNo = Read_Resource_Word(QStringLiteral("FW_PARTNO"));
        link.PC_Cfg_FW_Ver = Read_Resource_Word(QStringLiteral("FW_VER"));
    } catch (const std::exception&) {
        // Both are always carried; without them no firmware step is reached.
    }
    TMsgList queue;
    TDeviceOperations* ops = nullptr;
    CliDeviceHost host(document, link, ops);
    host.sendConfig = job.sendConfig;
    host.sendImages = job.sendImages;
    host.beforeFirmware = job.beforeFirmware;
    host.showProgress = !job.quiet && (job.verbose || ::isatty(STDOUT_FILENO));
    host.quiet = job.quiet;
    host.onProgress = job.onProgress;
    TDeviceOperations operations(document, link, queue, host);
    ops = &operations;
    applyPauseScale(operations);
    link.explicitPorts = job.ports;
    link.namedPortsOnly = true;
    operations.setVerifyUpload(job.verify);
    if (!job.imageBlock.isNull())
        operations.setImageBlock(job.imageBlock);
    operations.allowPlaceholderFirmwareEverywhere(job.allowPlaceholder);

    bool started = true;
    if (job.purpose == kPurposeRetrieve)
        operations.retrieve_cfg_ButtonClick();
    else if (job.purpose == kPurposeUpload)
        started = operations.upload_data_BitBtnClick();
    else
        operations.fw_upg_ButtonClick();
    if (started && !host.ended)
        QCoreApplication::exec();

    CliDeviceOutcome out;
    out.result = operations.operationResult();
    out.ok = started && out.result.ok();
    if (!out.ok) {
        if (!host.firmwareRefusal.isEmpty())
            out.error = host.firmwareRefusal;
        else if (!out.result.message.isEmpty())
            out.error = out.result.message;
        else
            out.error = QStringLiteral("the operation did not finish");
    }
    return out;
}
