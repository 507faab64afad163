#include "CliProjectJson.h"

#include <QCryptographicHash>

#include <cmath>

namespace {

QJsonArray bytesArray(const uint8_t* bytes, int count)
{
    QJsonArray a;
    for (int i = 0; i < count; ++i)
        a.append(int(bytes[i]));
    return a;
}

template <std::size_t N> QJsonArray bytesArray(const uint8_t (&bytes)[N])
{
    return bytesArray(bytes, int(N));
}

QJsonObject eventJson(const TSchedule_Event& e)
{
    QJsonObject o;
    o["setpoint"] = qint64(e.setpoint);
    o["minute_of_day"] = int(e.minute_of_day);
    o["settings_enable"] = bytesArray(e.settings_enable);
    o["run"] = int(e.run);
    o["mode"] = int(e.mode);
    o["fanspeed"] = int(e.fanspeed);
    o["airdir"] = int(e.airdir);
    o["reserved1"] = int(e.reserved1);
    o["in_use"] = int(e.in_use);
    o["reserved2"] = bytesArray(e.reserved2);
    return o;
}

// Length of the valid UTF-8 sequence at bytes[i], or 0 when it is not one.
int utf8SequenceLength(const QByteArray& bytes, qsizetype i)
{
    const auto b = [&](qsizetype k) { return k < bytes.size() ? uchar(bytes[k]) : 0; };
    const uchar lead = b(i);
    int length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
    }
    // Overlong forms, surrogates and code points above U+10FFFF are not text.
    const uchar second = b(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

} // namespace

QString cliEscapedText(const QByteArray& bytes)
{
    QString out;
    for (qsizetype i = 0; i < bytes.size() && bytes[i] != '\0';) {
        const int length = utf8SequenceLength(bytes, i);
        if (length == 0) {
            out += QStringLiteral("\\x%1").arg(uchar(bytes[i]), 2, 16, QChar('0'));
            ++i;
            continue;
        }
        const QString piece = QString::fromUtf8(bytes.constData() + i, length);
        out += piece == QLatin1String("\\") ? QStringLiteral("\\\\") : piece;
        i += length;
    }
    return out;
}

QJsonValue cliNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    return value;
}

QString cliHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

QJsonObject cliRecordJson(const TDevice_Config_v2& r)
{
    QJsonObject o;
    o["theme_colour"] = qint64(r.theme_colour);
    o["unoccupied_min_temp"] = qint64(r.unoccupied_min_temp);
    o["unoccupied_max_temp"] = qint64(r.unoccupied_max_temp);
    o["occupied_setpoint"] = qint64(r.occupied_setpoint);
    o["controller_type"] = int(r.controller_type);
    o["show_setpoint_dp"] = int(r.show_setpoint_dp);
    o["show_setpoint_value"] = int(r.show_setpoint_value);
    o["theme_background_index"] = int(r.theme_background_index);
    o["theme_logo_index"] = int(r.theme_logo_index);
    o["language"] = int(r.language);
    o["rc_ctrl_enable"] = bytesArray(r.rc_ctrl_enable);
    o["md_ctrl_enable"] = bytesArray(r.md_ctrl_enable);
    o["fs_ctrl_enable"] = bytesArray(r.fs_ctrl_enable);
    o["ad_ctrl_enable"] = bytesArray(r.ad_ctrl_enable);
    o["occupancy_strategy_enable"] = int(r.occupancy_strategy_enable);
    o["occupied_settings_enable"] = bytesArray(r.occupied_settings_enable);
    o["occupied_run"] = int(r.occupied_run);
    o["occupied_mode"] = int(r.occupied_mode);
    o["occupied_fanspeed"] = int(r.occupied_fanspeed);
    o["occupied_airdir"] = int(r.occupied_airdir);
    o["theme_background_enabled"] = int(r.theme_background_enabled);
    o["theme_logo_enabled"] = int(r.theme_logo_enabled);
    const QByteArray text(reinterpret_cast<const char*>(r.service_info_text), sizeof r.service_info_text);
    o["service_info_text"] = cliEscapedText(text);
    o["service_info_text_bytes"] = cliHex(text);
    o["info_screen_time_to_show"] = int(r.info_screen_time_to_show);
    o["info_screen_display_time"] = int(r.info_screen_display_time);
    o["scheduler_enabled"] = int(r.scheduler_enabled);
    o["_padding1"] = int(r._padding1);
    QJsonArray days;
    for (const TSchedule_Day& day : r.daily_schedule) {
        QJsonArray events;
        for (const TSchedule_Event& e : day.daily_event)
            events.append(eventJson(e));
        QJsonObject d;
        d["event_count"] = qint64(day.event_count);
        d["daily_event"] = events;
        days.append(d);
    }
    o["daily_schedule"] = days;
    o["frost_protection_enabled"] = int(r.frost_protection_enabled);
    o["info_scr_slideshow_enabled"] = int(r.info_scr_slideshow_enabled);
    o["_padding2"] = bytesArray(r._padding2);
    o["info_scr_slideshow_display_rate"] = int(r.info_scr_slideshow_display_rate);
    o["info_scr_slideshow_visible_time"] = int(r.info_scr_slideshow_visible_time);
    o["info_scr_slideshow_start_min"] = int(r.info_scr_slideshow_start_min);
    o["info_scr_slideshow_stop_min"] = int(r.info_scr_slideshow_stop_min);
    o["_padding_end"] = bytesArray(r._padding_end);
    o["checksum"] = bytesArray(r.checksum);
    return o;
}

QJsonObject cliHandleJson(const THandle_object& h, int position)
{
    QJsonObject o;
    o["position"] = position;
    o["id"] = h.id;
    o["name"] = h.name;
    o["width"] = h.width;
    o["height"] = h.height;
    o["compress_images"] = h.compress_images;
    o["raw_jpg_enabled"] = h.raw_jpg_enabled;
    o["compression_format"] = h.compression_format;
    o["display_filter"] = h.display_filter;
    o["memory_usage"] = h.memory_usage;
    o["included"] = h.included;
    o["jpg_display_format"] = h.jpg_display_format;
    o["bg_colour"] = qint64(h.bg_colour);
    QJsonArray cells;
    for (const auto& c : h.cells) {
        QJsonObject co;
        co["name"] = c->name;
        co["image_file_path"] = c->image_file_path;
        co["random_stdev"] = cliNumber(c->dithering.random_stdev);
        co["random_bits"] = c->dithering.random_bits;
        co["handle_id"] = c->handle_id;
        co["fileSize"] = c->fileSize;
        co["imageSize"] = c->imageSize;
        co["included"] = c->included;
        co["image_data_length"] = qint64(c->imgFileData.size());
        co["image_data_sha256"] = cliHex(QCryptographicHash::hash(c->imgFileData, QCryptographicHash::Sha256));
        cells.append(co);
    }
    o["cells"] = cells;
    return o;
}
