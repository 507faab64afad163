#pragma once
// Puts the window's own uploads and firmware upgrades on record in the
// commissioning log, so every controller the program touched is in one
// place. It is told each operation's result (TDeviceOperations::finished).
// A retrieve writes nothing to a controller and is not recorded; neither is
// an operation that found no controller or stopped before looking for one.

#include "core/commissioning/CommissioningRecord.h"
#include "core/device/DeviceOperationResult.h"

#include <QString>

class TProjectDocument;

class TCommissioningRecorder {
public:
    explicit TCommissioningRecorder(const TProjectDocument& document, QString logPath = {});

    // No log (the default): nothing is recorded.
    void setLogPath(const QString& path) { m_log = path; }
    QString logPath() const { return m_log; }
    // Why the last record could not be written; empty when it was.
    QString lastError() const { return m_error; }

    void record(const DeviceOperationResult& result);

private:
    const TProjectDocument& m_document;
    QString m_log;
    QString m_error;
};

// commissioning.jsonl in the user's data folder.
QString windowCommissioningLog();
