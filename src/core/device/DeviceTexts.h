#pragma once
// The texts of the device operations' message boxes and log entries. Box
// lines end in six blanks and are separated by carriage returns.

#include <QString>

namespace DeviceText {
inline QString notFound()
{
    return QStringLiteral(
        "Unable to connect to a Corvane R/C device.      \rPlease check connections and that driver is "
        "correctly installed before retrying.      ");
}
inline QString needsApplication()
{
    return QStringLiteral("The Corvane R/C must be running valid application firmware.      \rUpgrade the firmware and "
                          "try again.      ");
}
inline QString notCompatible()
{
    return QStringLiteral("This software may not be compatible with the Corvane R/C.      \rPlease download the latest "
                          "Corvane Configurator software and try again.      ");
}
inline QString needsUpgrade()
{
    return QStringLiteral(
        "The Corvane R/C will need upgrading before any data can be uploaded to it.      \r\rPlease "
        "Note:\rRetrieve configuration before upgrading, as existing configuration may be deleted.       ");
}
inline QString tooManyLines()
{
    return QStringLiteral("The service text contains too many lines.      \rUnable to upload data.      ");
}
inline QString unsavedUpload()
{
    return QStringLiteral(
        "The current project has been modified but not saved.      \rOK to continue with upload?      ");
}
inline QString configWriteError()
{
    return QStringLiteral("Error sending configuration data.      \rEnsure the Corvane R/C is in 'Configuration Mode' "
                          "before retrying.      ");
}
inline QString imageWriteError()
{
    return QStringLiteral("Error sending image data.      \rEnsure the Corvane R/C is in 'Configuration Mode' before "
                          "retrying.      ");
}
inline QString resetError()
{
    return QStringLiteral(
        "Error sending 'Reset' command.      \rEnsure the Corvane R/C is in 'Configuration Mode' before "
        "retrying.      ");
}
inline QString firmwareWriteError()
{
    return QStringLiteral("Error sending 'firmware write' command.      ");
}
inline QString abortQuestion()
{
    return QStringLiteral("Ok to abort the upgrade?");
}
// The build's firmware images are stand-ins: sending one to a real
// controller would leave it without working firmware.
inline QString placeholderFirmware()
{
    return QStringLiteral("This build carries no real firmware for this model; nothing was sent.      \rBuild the "
                          "configurator with the vendor's firmware files (CORVANE_FIRMWARE_DIR) to upgrade a real "
                          "Corvane R/C.      ");
}
inline QString placeholderFirmwareLog()
{
    return QStringLiteral("No real firmware in this build");
}
inline QString firmwareBlockError()
{
    return QStringLiteral("Ensure R/C is in Config mode!");
}
} // namespace DeviceText
