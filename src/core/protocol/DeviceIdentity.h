#pragma once
// Identification of a controller: the identification transaction, the two
// known models and the firmware compatibility table.

#include <QString>

#include <array>
#include <cstdint>

class TVrexComms;

struct TrcModel {
    uint16_t appPartNo;
    uint16_t blPartNo;
};

// Index 0: the first model; index 1: the RTC model.
inline constexpr std::array<TrcModel, 2> RC_Model_Table{{{5813, 5819}, {5827, 5831}}};

struct TfwCompat {
    uint16_t fwVersion; // major * 100 + minor
    uint8_t cfgFormat;
    uint8_t dataFormat;
};

using TfwCompatList = std::array<TfwCompat, 15>;
inline constexpr TfwCompatList kFwCompatEntries{{
    {101, 1, 4},
    {102, 1, 4},
    {103, 1, 4},
    {104, 1, 4},
    {105, 2, 4},
    {106, 2, 4},
    {107, 2, 4},
    {108, 2, 4},
    {109, 2, 4},
    {110, 2, 4},
    {111, 2, 4},
    {112, 2, 4},
    {113, 2, 4},
    {200, 2, 4},
    {201, 2, 4},
}};
// One table per model; both hold the same entries.
inline constexpr std::array<TfwCompatList, 2> FW_Compat_Table{{kFwCompatEntries, kFwCompatEntries}};

// An upload needs configuration format 2 and data format 4.
inline constexpr uint8_t kUploadCfgFormat = 2;
inline constexpr uint8_t kUploadDataFormat = 4;

// Identification transaction (command 10, 8 bytes, timeout 30). True with the
// four words on a good reply; false and four zeros otherwise: no reply, or a
// reply that fails its length or check-sum test (then *badReply is set).
bool GetAppInfo(TVrexComms& comms, uint16_t& appPartNo, uint16_t& appVersion, uint16_t& blPartNo, uint16_t& blVersion,
                bool* badReply = nullptr);

// First model whose application or boot-loader part number matches, else -1.
int Model_Index(uint16_t partNo);
// First entry of the first model's table with this version, else -1.
int FW_Compat_Index(uint16_t fwVersion);
// True when the part number is a model's boot-loader part number.
bool isBootLoaderPart(uint16_t partNo);

// "Firmware: 5813 v2.01", as the activity log writes it.
QString firmwareVersionText(uint16_t partNo, uint16_t fwVersion);
// "first model", "RTC model", or "unknown".
QString modelName(int modelIndex);

// What discovery does with a controller for each purpose of a connection
// (1 retrieve, 2 upload, 3 firmware upgrade), decided in the order discovery
// applies its rules: a running boot loader allows only the firmware upgrade; a
// version missing from the compatibility table allows nothing; an upload needs
// configuration format 2 and data format 4.
enum class TConnectVerdict { Yes, NeedsApplicationFirmware, NeedsFirmwareUpgrade, NotCompatible };
inline constexpr int kPurposeRetrieve = 1;
inline constexpr int kPurposeUpload = 2;
inline constexpr int kPurposeFirmwareUpgrade = 3;
TConnectVerdict connectVerdict(uint16_t partNo, uint16_t fwVersion, int purpose);
// "yes", "needs application firmware", "needs firmware upgrade",
// "no (firmware version unknown to this program)".
QString connectVerdictText(TConnectVerdict verdict);
