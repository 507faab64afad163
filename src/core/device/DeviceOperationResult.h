#pragma once
// How one device operation ended, as one value: what it was, whether it
// succeeded, what reached the controller, what the read-back check found,
// which controller answered and which ports were tried. Everything that
// reports an operation (corvane-cli's exit status, commissioning, the
// window's record) reads this, never the activity log's numbers or a
// message's wording.

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

enum class TDeviceOperationKind { None, Retrieve, Upload, FirmwareUpgrade };
enum class TOperationOutcome { Ok, Failed, Cancelled };
// The configuration read back after writing it: not asked for, identical,
// different, or not readable for the reason given.
enum class TVerifyOutcome { NotRun, Passed, Differs, NoReply, BadReply, Refused };
// Where a failed operation stopped.
enum class TDevicePhase {
    None,
    Preparation,    // refused before any port was opened
    Discovery,      // no port had a controller
    Identification, // a controller answered, its firmware does not suit the purpose
    Retrieve,       // reading the configuration
    ConfigWrite,
    ConfigVerify,
    ImageBuild, // the image data block could not be built: nothing of it sent
    ImageWrite,
    Reset,
    FirmwareRefused, // the carried firmware may not go to this port
    FirmwareWrite,
    FirmwareCommand,
};
// Why a write or read got no acceptance.
enum class TTransferFault { None, NoAnswer, Refused, PortGone };

struct TPortTried {
    QString port;
    QString reason; // why it was passed over; empty for the port that was used
};

struct DeviceOperationResult {
    TDeviceOperationKind operation = TDeviceOperationKind::None;
    TOperationOutcome outcome = TOperationOutcome::Failed;
    // Where the operation is (while it runs) or was when it ended.
    TDevicePhase phase = TDevicePhase::None;
    // Where it stopped when it failed; None when it did not.
    TDevicePhase failedPhase = TDevicePhase::None;
    TTransferFault fault = TTransferFault::None;

    // What reached the controller completely, every block acknowledged.
    bool configSent = false;
    bool imagesSent = false;
    bool firmwareSent = false;
    TVerifyOutcome verify = TVerifyOutcome::NotRun;
    // The check bytes of the configuration block sent (empty: none sent).
    QByteArray configChecksum;
    // The image data block that was sent or being sent (-1: none).
    qint64 imageBlockBytes = -1;
    QString imageBlockSha256;

    // The controller that accepted the connection.
    bool identified = false;
    QString port;
    quint16 partNumber = 0;
    quint16 firmware = 0; // major * 100 + minor
    QList<TPortTried> portsTried;

    // One line: how it ended ("Error uploading data: (1) Image data: no answer").
    QString message;
    double seconds = 0;

    bool ok() const { return outcome == TOperationOutcome::Ok; }
    // What was sent, in order: "config", "images", "firmware".
    QStringList sentParts() const;
};

Q_DECLARE_METATYPE(DeviceOperationResult)

QString verifyOutcomeText(TVerifyOutcome v); // "passed", "differs", "no reply", ...
QString transferFaultText(TTransferFault f); // "no answer", "refused", "port gone"
// A box's '\r'-separated lines as one line.
QString oneLine(const QString& boxText);
