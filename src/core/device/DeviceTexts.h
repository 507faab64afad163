#pragma once
// The texts of the device operations' message boxes and log entries. Box
// lines end in six blanks and are separated by carriage returns.

#include <QString>
#include <QStringList>

namespace DeviceText {
inline QString notFound()
{
    return QStringLiteral(
        "Unable to connect to a Corvane R/C device.      \rPlease check connections and that driver is "
        "correctly installed before retrying.      ");
}
// The box of a scan that found nothing, with every port tried and why it was
// passed over (a reason carries its fix where there is one).
inline QString notFoundWithPorts(const QStringList& reasons)
{
    QString text = notFound() + QStringLiteral("\r");
    if (reasons.isEmpty())
        return text + QStringLiteral("\rNo serial port of an FTDI adapter was found.      ");
    text += QStringLiteral("\rPorts tried:      ");
    for (const QString& reason : reasons)
        text += QStringLiteral("\r  ") + reason + QStringLiteral("      ");
    return text;
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
// A write that failed because the link itself has gone (adapter unplugged,
// controller switched off): retrying on the same link cannot help, and the
// controller may keep what arrived before the loss.
// what: what the controller may now hold only part of; empty for a command.
inline QString linkLost(const QString& failureText, const QString& port, const QString& what)
{
    const QString lost
        = QStringLiteral("\r\rThe connection to the Corvane R/C on %1 was lost: the controller or its cable is "
                         "gone.      \r")
              .arg(port);
    if (what.isEmpty())
        return failureText + lost + QStringLiteral("Reconnect it and try again.      ");
    return failureText + lost
        + QStringLiteral("The Corvane R/C may now hold a partial %1; reconnect it and upload again.      ").arg(what);
}
inline QString linkLostLog()
{
    return QStringLiteral("connection lost; the controller may hold a partial upload");
}
// A retrieve whose block fails its checks: almost always a controller that
// was never configured.
inline QString retrieveCorrupt()
{
    return QStringLiteral(
        "The configuration read from the Corvane R/C is not valid (Config data corrupt).      \rA controller "
        "that has never been configured holds no configuration: upload a project to it first.      \rThe "
        "project was not changed.      ");
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
