#include "core/model/DeviceConfig.h"

#include "core/model/Fletcher.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {
const uint8_t* bytesOf(const void* p)
{
    return static_cast<const uint8_t*>(p);
}

void setSlideshowTiming(TDevice_Config_v2& rec, uint16_t visibleTime)
{
    rec.info_scr_slideshow_enabled = 0;
    rec._padding2[0] = rec._padding2[1] = 0;
    rec.info_scr_slideshow_display_rate = 10;
    rec.info_scr_slideshow_visible_time = visibleTime;
    rec.info_scr_slideshow_start_min = 0;
    rec.info_scr_slideshow_stop_min = 1439;
}
} // namespace

bool Validate_Device_Configuration(const TDeviceConfiguration& block, TDevice_Config_v2& dest)
{
    switch (block.cfg_ver) {
    case 2:
        if (Fletcher_Sum(block.cfg_rec, 0, kConfigV2Size) != 0)
            return false;
        std::memcpy(&dest, block.cfg_rec, kConfigV2Size);
        return true;
    case 1: {
        if (Fletcher_Sum(block.cfg_rec, 0, kConfigV1Size) != 0)
            return false;
        TDevice_Config_v1 v1;
        std::memcpy(&v1, block.cfg_rec, kConfigV1Size);
        Convert_Config_v1(v1, dest);
        return true;
    }
    default: return false;
    }
}

TSchedule_Event emptyScheduleEvent()
{
    TSchedule_Event e;
    std::memset(&e, 0, sizeof e);
    e.setpoint = 180;
    e.mode = 5;
    e.fanspeed = 5;
    e.airdir = 1;
    return e;
}

void Convert_Config_v1(const TDevice_Config_v1& src, TDevice_Config_v2& dest)
{
    std::memcpy(&dest, &src, 178);
    dest.scheduler_enabled = 0;
    dest._padding1 = 0;
    const TSchedule_Event empty = emptyScheduleEvent();
    for (TSchedule_Day& day : dest.daily_schedule) {
        day.event_count = 0;
        for (TSchedule_Event& slot : day.daily_event)
            slot = empty;
    }
    setSlideshowTiming(dest, 1);
    // A version 1 controller has no frost protection: whatever the record
    // held before must not switch it on in the converted one.
    dest.frost_protection_enabled = 0;
    dest._padding_end[0] = dest._padding_end[1] = 0;
}

void applyNewProjectDefaults(TDevice_Config_v2& rec)
{
    std::memset(&rec, 0, sizeof rec);
    rec.theme_colour = 0x00FFFFFF;
    rec.unoccupied_min_temp = 100;
    rec.unoccupied_max_temp = 290;
    rec.occupied_setpoint = 210;
    rec.controller_type = 0;
    rec.show_setpoint_dp = 1;
    rec.show_setpoint_value = 1;
    std::fill(std::begin(rec.rc_ctrl_enable), std::end(rec.rc_ctrl_enable), 1);
    std::fill(std::begin(rec.md_ctrl_enable), std::end(rec.md_ctrl_enable), 1);
    std::fill(std::begin(rec.fs_ctrl_enable), std::end(rec.fs_ctrl_enable), 1);
    std::fill(std::begin(rec.ad_ctrl_enable), std::end(rec.ad_ctrl_enable), 1);
    rec.occupancy_strategy_enable = 0;
    std::fill(std::begin(rec.occupied_settings_enable), std::end(rec.occupied_settings_enable), 1);
    rec.occupied_run = 0;
    rec.occupied_mode = 5;
    rec.occupied_fanspeed = 5;
    rec.occupied_airdir = 1;
    std::memcpy(rec.service_info_text, kNewProjectServiceText, sizeof kNewProjectServiceText - 1);
    rec.info_screen_time_to_show = 20;
    rec.info_screen_display_time = 20;
    setSlideshowTiming(rec, 60);
}

TDevice_Config_v2 newProjectConfig()
{
    TDevice_Config_v2 rec;
    applyNewProjectDefaults(rec);
    return rec;
}

TDeviceConfiguration buildUploadBlock(TDevice_Config_v2& rec)
{
    TDeviceConfiguration block;
    std::memset(&block, 0, sizeof block);
    block.cfg_ver = 2;
    Fletcher_Check_Bytes(reinterpret_cast<uint8_t*>(&rec), 0, kConfigV2Size - 2);
    std::memcpy(block.cfg_rec, &rec, kConfigV2Size);
    return block;
}

int serviceTextLineCount(const QString& text)
{
    if (text.isEmpty())
        return 0;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    int lines = int(t.count(QLatin1Char('\n'))) + 1;
    if (t.endsWith(QLatin1Char('\n')))
        --lines;
    return lines;
}

void writeServiceText(const QString& text, TDevice_Config_v2& rec)
{
    QString t = text;
    t.remove(QChar('\n'));
    const QByteArray utf8 = t.toUtf8();
    std::memset(rec.service_info_text, 0, kServiceTextBytes);
    std::memcpy(rec.service_info_text, utf8.constData(), std::min<std::size_t>(utf8.size(), kServiceTextBytes));
}

namespace {
// The bytes as UTF-8 when they are UTF-8 (what the editor writes), else one
// character per byte. A multi-byte character cut off by the field's end
// (cut) still leaves the rest of the text UTF-8.
QString decodeServiceText(const QByteArray& bytes, bool cut)
{
    auto strict = [](const QByteArray& b, QString& out) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        out = decoder.decode(b);
        return !decoder.hasError();
    };
    QString out;
    if (strict(bytes, out))
        return out;
    qsizetype lead = bytes.size() - 1;
    while (lead >= 0 && bytes.size() - lead <= 3 && (uchar(bytes[lead]) & 0xC0) == 0x80)
        --lead;
    if (cut && lead >= 0 && bytes.size() - lead <= 3) {
        const uchar first = uchar(bytes[lead]);
        const qsizetype needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        if (needed > bytes.size() - lead && strict(bytes.left(lead), out))
            return out;
    }
    return QString::fromLatin1(bytes);
}
} // namespace

QString readServiceText(const TDevice_Config_v2& rec)
{
    const uint8_t* p = bytesOf(rec.service_info_text);
    int length = 0;
    // Three full lines fill the field with no zero after them: read it whole,
    // or the last character is lost at the next save.
    while (length < kServiceTextBytes && p[length] != 0)
        ++length;
    QString out = decodeServiceText(QByteArray(reinterpret_cast<const char*>(p), length), length == kServiceTextBytes);
    out.replace(QStringLiteral("\r"), QStringLiteral("\r\n"));
    return out;
}

QByteArray uploadBlockChecksum(const QByteArray& block)
{
    constexpr qsizetype at = offsetof(TDeviceConfiguration, cfg_rec_v2) + offsetof(TDevice_Config_v2, checksum);
    if (block.size() != qsizetype(sizeof(TDeviceConfiguration)) || block.at(0) != char(2))
        return {};
    return block.mid(at, 2);
}
