#pragma once
// Identification of a controller: the identification transaction, the two
// known models and the firmware compatibility table.

#include <QString>

#include <array>
#include <cstdint>

class TVrexComms;

struct TRC_Model {
    uint16_t app_part_no;
    uint16_t bl_part_no;
};

// Index 0: the first model; index 1: the RTC model.
inline constexpr std::array<TRC_Model, 2> RC_Model_Table{{{5813, 5819}, {5827, 5831}}};

struct TFW_Compat {
    uint16_t fw_version; // major * 100 + minor
    uint8_t cfg_format;
    uint8_t data_format;
};

using TFW_Compat_List = std::array<TFW_Compat, 15>;
inline constexpr TFW_Compat_List kFwCompatEntries{{
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
inline constexpr std::array<TFW_Compat_List, 2> FW_Compat_Table{{kFwCompatEntries, kFwCompatEntries}};

// An upload needs configuration format 2 and data format 4.
inline constexpr uint8_t kUploadCfgFormat = 2;
inline constexpr uint8_t kUploadDataFormat = 4;

// Identification transaction (command 10, 8 bytes, timeout 30). True with the
// four words on a good reply; false and four zeros otherwise: no reply, or a
// reply that fails its length or check-sum test (then *badReply is set).
bool GetAppInfo(TVrexComms& comms, uint16_t& app_part_no, uint16_t& app_version, uint16_t& bl_part_no,
                uint16_t& bl_version, bool* badReply = nullptr);

// First model whose application or boot-loader part number matches, else -1.
int Model_Index(uint16_t part_no);
// First entry of the first model's table with this version, else -1.
int FW_Compat_Index(uint16_t fw_version);
// True when the part number is a model's boot-loader part number.
bool Is_Boot_Loader_Part(uint16_t part_no);

// "Firmware: 5813 v2.01", as the activity log writes it.
QString Firmware_Text(uint16_t part_no, uint16_t fw_version);
// "first model", "RTC model", or "unknown".
QString Model_Name(int model_index);

// What discovery does with a controller for each purpose of a connection
// (1 retrieve, 2 upload, 3 firmware upgrade), decided in the order discovery
// applies its rules: a running boot loader allows only the firmware upgrade; a
// version missing from the compatibility table allows nothing; an upload needs
// configuration format 2 and data format 4.
enum class TConnect_Verdict { Yes, Needs_Application_Firmware, Needs_Firmware_Upgrade, Not_Compatible };
inline constexpr int kPurposeRetrieve = 1;
inline constexpr int kPurposeUpload = 2;
inline constexpr int kPurposeFirmwareUpgrade = 3;
TConnect_Verdict Connect_Verdict(uint16_t part_no, uint16_t fw_version, int purpose);
// "yes", "needs application firmware", "needs firmware upgrade",
// "no (firmware version unknown to this program)".
QString Connect_Verdict_Text(TConnect_Verdict verdict);
