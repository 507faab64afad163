#include "core/messaging/StatusCodes.h"

#include <array>

namespace {

struct StatusCode {
    const char* marker;
    const char* text;
};

constexpr std::array<StatusCode, kStatusCodeCount> kCodes{{
    {"!", "Invalid Image File"},
    {"!", "Image Dimensions Not Compatible"},
    {"!", "Not Enough Free Storage Memory"},
    {"*", "Image List Full"},
    {" ", "Image Added Successfully"},
    {" ", "Project Loaded"},
    {" ", "Project Saved"},
    {" ", "Project Closed"},
    {" ", "Configuration Retrieved Successfully"},
    {"!", "Error retrieving configuration"},
    {" ", "Data uploaded successfully"},
    {"!", "Error uploading data"},
    {" ", "Connected to R/C"},
    {" ", "Comms link closed"},
    {"!", "R/C not found"},
    {" ", "Configuration uploaded"},
    {" ", "Images uploaded"},
    {"!", "Error during configuration upload"},
    {"!", "Error during image upload"},
    {" ", "Firmware upgraded"},
    {" ", "Restarting R/C"},
    {" ", "Uploading data..."},
    {" ", "Uploading firmware..."},
    {" ", "Firmware uploaded"},
    {" ", "Writing new firmware"},
    {"!", "Error during upgrade sequence"},
    {"*", "Upload aborted"},
    {" ", "New project created"},
    {" ", "Image deleted"},
    {" ", "Connecting to R/C"},
}};

} // namespace

QString statusCodeMarker(int code)
{
    if (code < 0 || code >= kStatusCodeCount)
        return QStringLiteral("!");
    return QString::fromLatin1(kCodes[code].marker);
}

QString statusCodeText(int code)
{
    if (code < 0 || code >= kStatusCodeCount)
        return QStringLiteral("Unknown status code %1").arg(code);
    return QString::fromLatin1(kCodes[code].text);
}
