#pragma once
// Wire records shared with the controller's firmware, the project file and the
// upload. They are copied whole as bytes, so every offset and size is pinned
// below and a big-endian host refuses to build.

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the controller records are little-endian and are copied as raw bytes");

#pragma pack(push, 1)

struct TSchedule_Event {
    uint32_t setpoint;          // tenths of a degree
    uint16_t minute_of_day;     // 0..1439
    uint8_t settings_enable[5]; // run, mode, setpoint, fan speed, air direction
    uint8_t run;
    uint8_t mode;
    uint8_t fanspeed;
    uint8_t airdir;
    uint8_t reserved1;
    uint8_t in_use;
    uint8_t reserved2[3];
};

struct TSchedule_Day {
    uint32_t event_count;
    TSchedule_Event daily_event[8];
};

// Fields 0..177 shared by both record versions.
#define CORVANE_CONFIG_COMMON_FIELDS                                                                                   \
    uint32_t theme_colour;                                                                                             \
    uint32_t unoccupied_min_temp;                                                                                      \
    uint32_t unoccupied_max_temp;                                                                                      \
    uint32_t occupied_setpoint;                                                                                        \
    uint8_t controller_type;                                                                                           \
    uint8_t show_setpoint_dp;                                                                                          \
    uint8_t show_setpoint_value;                                                                                       \
    uint8_t theme_background_index;                                                                                    \
    uint8_t theme_logo_index;                                                                                          \
    uint8_t language;                                                                                                  \
    uint8_t rc_ctrl_enable[4];                                                                                         \
    uint8_t md_ctrl_enable[5];                                                                                         \
    uint8_t fs_ctrl_enable[4];                                                                                         \
    uint8_t ad_ctrl_enable[7];                                                                                         \
    uint8_t occupancy_strategy_enable;                                                                                 \
    uint8_t occupied_settings_enable[5];                                                                               \
    uint8_t occupied_run;                                                                                              \
    uint8_t occupied_mode;                                                                                             \
    uint8_t occupied_fanspeed;                                                                                         \
    uint8_t occupied_airdir;                                                                                           \
    uint8_t theme_background_enabled;                                                                                  \
    uint8_t theme_logo_enabled;                                                                                        \
    uint8_t service_info_text[122];                                                                                    \
    uint8_t info_screen_time_to_show;                                                                                  \
    uint8_t info_screen_display_time;

struct TDevice_Config_v1 {
    CORVANE_CONFIG_COMMON_FIELDS
    uint8_t checksum[2];
};

struct TDevice_Config_v2 {
    CORVANE_CONFIG_COMMON_FIELDS
    uint8_t scheduler_enabled;
    uint8_t _padding1;
    TSchedule_Day daily_schedule[7];
    uint8_t frost_protection_enabled;
    uint8_t info_scr_slideshow_enabled;
    uint8_t _padding2[2];
    uint16_t info_scr_slideshow_display_rate;
    uint16_t info_scr_slideshow_visible_time;
    uint16_t info_scr_slideshow_start_min;
    uint16_t info_scr_slideshow_stop_min;
    uint8_t _padding_end[2];
    uint8_t checksum[2];
};

#undef CORVANE_CONFIG_COMMON_FIELDS

struct TDeviceConfiguration {
    union {
        struct {
            uint16_t cfg_ver;
            union {
                TDevice_Config_v1 cfg_rec_v1;
                TDevice_Config_v2 cfg_rec_v2;
                uint8_t cfg_rec[1406];
            };
        };
        uint8_t raw_bytes[1408];
    };
};

#pragma pack(pop)

inline constexpr std::size_t kConfigV1Size = 180;
inline constexpr std::size_t kConfigV2Size = 1344;
inline constexpr std::size_t kConfigBlockSize = 1408;

static_assert(sizeof(TSchedule_Event) == 20);
static_assert(offsetof(TSchedule_Event, minute_of_day) == 4);
static_assert(offsetof(TSchedule_Event, settings_enable) == 6);
static_assert(offsetof(TSchedule_Event, run) == 11);
static_assert(offsetof(TSchedule_Event, mode) == 12);
static_assert(offsetof(TSchedule_Event, fanspeed) == 13);
static_assert(offsetof(TSchedule_Event, airdir) == 14);
static_assert(offsetof(TSchedule_Event, in_use) == 16);
static_assert(sizeof(TSchedule_Day) == 164);
static_assert(offsetof(TSchedule_Day, daily_event) == 4);

static_assert(sizeof(TDevice_Config_v1) == kConfigV1Size);
static_assert(sizeof(TDevice_Config_v2) == kConfigV2Size);
static_assert(offsetof(TDevice_Config_v2, theme_colour) == 0);
static_assert(offsetof(TDevice_Config_v2, unoccupied_min_temp) == 4);
static_assert(offsetof(TDevice_Config_v2, unoccupied_max_temp) == 8);
static_assert(offsetof(TDevice_Config_v2, occupied_setpoint) == 12);
static_assert(offsetof(TDevice_Config_v2, controller_type) == 16);
static_assert(offsetof(TDevice_Config_v2, show_setpoint_dp) == 17);
static_assert(offsetof(TDevice_Config_v2, show_setpoint_value) == 18);
static_assert(offsetof(TDevice_Config_v2, theme_background_index) == 19);
static_assert(offsetof(TDevice_Config_v2, theme_logo_index) == 20);
static_assert(offsetof(TDevice_Config_v2, language) == 21);
static_assert(offsetof(TDevice_Config_v2, rc_ctrl_enable) == 22);
static_assert(offsetof(TDevice_Config_v2, md_ctrl_enable) == 26);
static_assert(offsetof(TDevice_Config_v2, fs_ctrl_enable) == 31);
static_assert(offsetof(TDevice_Config_v2, ad_ctrl_enable) == 35);
static_assert(offsetof(TDevice_Config_v2, occupancy_strategy_enable) == 42);
static_assert(offsetof(TDevice_Config_v2, occupied_settings_enable) == 43);
static_assert(offsetof(TDevice_Config_v2, occupied_run) == 48);
static_assert(offsetof(TDevice_Config_v2, occupied_mode) == 49);
static_assert(offsetof(TDevice_Config_v2, occupied_fanspeed) == 50);
static_assert(offsetof(TDevice_Config_v2, occupied_airdir) == 51);
static_assert(offsetof(TDevice_Config_v2, theme_background_enabled) == 52);
static_assert(offsetof(TDevice_Config_v2, theme_logo_enabled) == 53);
static_assert(offsetof(TDevice_Config_v2, service_info_text) == 54);
static_assert(offsetof(TDevice_Config_v2, info_screen_time_to_show) == 176);
static_assert(offsetof(TDevice_Config_v2, info_screen_display_time) == 177);
static_assert(offsetof(TDevice_Config_v1, checksum) == 178);
static_assert(offsetof(TDevice_Config_v2, scheduler_enabled) == 178);
static_assert(offsetof(TDevice_Config_v2, _padding1) == 179);
static_assert(offsetof(TDevice_Config_v2, daily_schedule) == 180);
static_assert(offsetof(TDevice_Config_v2, frost_protection_enabled) == 1328);
static_assert(offsetof(TDevice_Config_v2, info_scr_slideshow_enabled) == 1329);
static_assert(offsetof(TDevice_Config_v2, _padding2) == 1330);
static_assert(offsetof(TDevice_Config_v2, info_scr_slideshow_display_rate) == 1332);
static_assert(offsetof(TDevice_Config_v2, info_scr_slideshow_visible_time) == 1334);
static_assert(offsetof(TDevice_Config_v2, info_scr_slideshow_start_min) == 1336);
static_assert(offsetof(TDevice_Config_v2, info_scr_slideshow_stop_min) == 1338);
static_assert(offsetof(TDevice_Config_v2, _padding_end) == 1340);
static_assert(offsetof(TDevice_Config_v2, checksum) == 1342);

static_assert(sizeof(TDeviceConfiguration) == kConfigBlockSize);
static_assert(offsetof(TDeviceConfiguration, cfg_ver) == 0);
static_assert(offsetof(TDeviceConfiguration, cfg_rec) == 2);
static_assert(offsetof(TDeviceConfiguration, cfg_rec_v2) == 2);
