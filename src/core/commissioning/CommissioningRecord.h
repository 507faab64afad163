#pragma once
// What one attempt to commission one controller left behind: which
// controller (as far as the link can tell), which project and firmware, what
// reached it, and how it ended. One line of the commissioning log.

#include "core/commissioning/FirmwareUpgradeRecord.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

enum class TVerifyResult { NotRun, Passed, Failed };

struct TCommissioningRecord {
    QDateTime time; // when the attempt ended, UTC
    QString port;
    QString adapterSerial; // the USB adapter's serial number, empty when unknown
    std::optional<int> partNumber;
    QString firmware; // "2.01", empty when no controller answered; after an upgrade, the new one
    QString project;  // the project file's path
    QString projectSha256;
    std::optional<QByteArray> configChecksum; // the two check bytes of the uploaded block
    std::optional<qint64> imageBlockBytes;
    QString imageBlockSha256;
    QStringList sent; // what reached the controller completely: "config", "images"
    TVerifyResult verify = TVerifyResult::NotRun;
    double seconds = 0;
    bool ok = false;
    QString message;
    // Controllers commissioned one after the other through one adapter
    // (watch mode) share port and adapter; these tell them apart.
    QString watchSession; // when the watch started, ISO 8601 UTC
    int watchIndex = 0;   // 1, 2, ... within that watch; 0 outside one
    // commission --firmware upgraded (or tried to) before sending.
    std::optional<TFirmwareUpgradeRecord> upgrade;
    // The site sheet of the run (commission --site); all empty without one.
    QString siteSheet;       // its file name
    QString siteSheetSha256; // of its bytes
    QString siteRow;         // the key of the row applied; empty when none was
    QJsonObject siteValues;  // the fields that row set, as the sheet gave them

    QJsonObject toJson() const;
    // Nothing when a field the log always carries is missing or of the wrong
    // type; *why then says which.
    static std::optional<TCommissioningRecord> fromJson(const QJsonObject& o, QString* why = nullptr);

    // Whom the record is about: the adapter's serial number, else the port;
    // in a watch, also the controller's place in it.
    QString controllerKey() const;
};

QString verifyResultText(TVerifyResult r); // "passed", "failed", "not run"
// "3f 9c"
QString checksumText(const QByteArray& bytes);

// One CSV cell (RFC 4180 quoting); a text a spreadsheet would run as a
// formula gets a leading apostrophe.
QString csvCell(QString text);
// The cells quoted, joined by commas, ended by CR LF.
QString csvLine(const QStringList& cells);
