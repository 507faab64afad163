#pragma once
// The status codes of the activity log: each code's severity marker and
// description. The window's log and corvane-cli print them alike.

#include <QString>

inline constexpr int kStatusCodeCount = 30;

// The codes as the log stores them; the values are fixed, hosts and saved
// logs compare them as numbers.
enum class TActivityStatus : int {
    Invalid_Image_File = 0,
    Image_Dimensions_Not_Compatible = 1,
    Not_Enough_Free_Storage_Memory = 2,
    Image_List_Full = 3,
    Image_Added_Successfully = 4,
    Project_Loaded = 5,
    Project_Saved = 6,
    Project_Closed = 7,
    Configuration_Retrieved = 8,
    Retrieve_Error = 9,
    Data_Uploaded = 10,
    Upload_Error = 11,
    Connected = 12,
    Comms_Link_Closed = 13,
    RC_Not_Found = 14,
    Configuration_Uploaded = 15,
    Images_Uploaded = 16,
    Configuration_Upload_Error = 17,
    Image_Upload_Error = 18,
    Firmware_Upgraded = 19,
    Restarting_RC = 20,
    Uploading_Data = 21,
    Uploading_Firmware = 22,
    Firmware_Uploaded = 23,
    Writing_Firmware = 24,
    Upgrade_Error = 25,
    Upload_Aborted = 26,
    New_Project_Created = 27,
    Image_Deleted = 28,
    Connecting = 29,
};

// " " information, "*" warning, "!" error. A code outside 0..29 is reported
// as an error.
QString Status_Code_Marker(int code);
QString Status_Code_Text(int code);
