#pragma once
// The end of corvane-cli commission: the table of every controller's record
// and the one line a watch prints per controller.

#include "core/commissioning/CommissioningRecord.h"

#include <QString>

#include <vector>

// The summary table, one row per record.
QString commissionTable(const std::vector<TCommissioningRecord>& records);
// "/dev/ttyUSB0  5813 v2.01  sent config, images  verify passed  41.2 s  ok"
QString commissionResultLine(const TCommissioningRecord& r);
