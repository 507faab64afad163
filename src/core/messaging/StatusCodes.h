#pragma once
// The status codes of the activity log: each code's severity marker and
// description. The window's log and corvane-cli print them alike.

#include <QString>

inline constexpr int kStatusCodeCount = 30;

// The codes as the log stores them; the values are fixed, hosts and saved
// logs compare them as numbers.
enum class TActivityStatus : int {
    InvalidImageFile = 0,
    ImageDimensionsNotCompatible = 1,
    NotEnoughFreeStorageMemory = 2,
    ImageListFull = 3,
    ImageAddedSuccessfully = 4,
    ProjectLoaded = 5,
    ProjectSaved = 6,
    ProjectClosed = 7,
    ConfigurationRetrieved = 8,
    RetrieveError = 9,
    DataUploaded = 10,
    UploadError = 11,
    Connected = 12,
    CommsLinkClosed = 13,
    RcNotFound = 14,
    ConfigurationUploaded = 15,
    ImagesUploaded = 16,
    ConfigurationUploadError = 17,
    ImageUploadError = 18,
    FirmwareUpgraded = 19,
    RestartingRc = 20,
    UploadingData = 21,
    UploadingFirmware = 22,
    FirmwareUploaded = 23,
    WritingFirmware = 24,
    UpgradeError = 25,
    UploadAborted = 26,
    NewProjectCreated = 27,
    ImageDeleted = 28,
    Connecting = 29,
};

// " " information, "*" warning, "!" error. A code outside 0..29 is reported
// as an error.
QString statusCodeMarker(int code);
QString statusCodeText(int code);
