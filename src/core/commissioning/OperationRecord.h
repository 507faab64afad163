#pragma once
// A device operation's result as a line of the commissioning log: which
// controller answered, what reached it completely, what the read-back found
// and how the attempt ended.

#include "core/commissioning/CommissioningRecord.h"
#include "core/device/DeviceOperationResult.h"

// Fills the fields the result knows; time, project, hash and the watch are
// the caller's. The record's ok and message are the result's.
void recordOperationResult(TCommissioningRecord& record, const DeviceOperationResult& result);

// "passed", "not run", and "failed" for every way the check could go wrong.
TVerifyResult recordVerify(TVerifyOutcome outcome);
