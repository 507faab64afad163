#include "core/commissioning/OperationRecord.h"

TVerifyResult recordVerify(TVerifyOutcome outcome)
{
    switch (outcome) {
    case TVerifyOutcome::NotRun: return TVerifyResult::NotRun;
    case TVerifyOutcome::Passed: return TVerifyResult::Passed;
    case TVerifyOutcome::Differs:
    case TVerifyOutcome::NoReply:
    case TVerifyOutcome::BadReply:
    case TVerifyOutcome::Refused: return TVerifyResult::Failed;
    }
    return TVerifyResult::NotRun;
}

void recordOperationResult(TCommissioningRecord& record, const DeviceOperationResult& result)
{
    if (result.identified) {
        if (!result.port.isEmpty())
            record.port = result.port;
        record.partNumber = result.partNumber;
        record.firmware = QString::asprintf("%d.%02d", result.firmware / 100, result.firmware % 100);
    }
    record.sent = result.sentParts();
    if (result.configSent)
        record.configChecksum = result.configChecksum;
    else
        record.configChecksum.reset();
    if (result.imagesSent && result.imageBlockBytes >= 0) {
        record.imageBlockBytes = result.imageBlockBytes;
        record.imageBlockSha256 = result.imageBlockSha256;
    } else {
        record.imageBlockBytes.reset();
        record.imageBlockSha256.clear();
    }
    record.verify = recordVerify(result.verify);
    record.ok = result.ok();
    record.message = result.message;
}
