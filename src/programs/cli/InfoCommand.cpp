#include "CliCommand.h"

#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>
#include <vector>

namespace {

QString celsius(uint32_t tenths)
{
    return QString::number(tenths / 10.0, 'f', 1) + " °C";
}
QString clock(unsigned minutes)
{
    return QString("%1:%2").arg(minutes / 60, 2, 10, QChar('0')).arg(minutes % 60, 2, 10, QChar('0'));
}

QJsonArray flags(const uint8_t* bytes, int count)
{
    QJsonArray a;
    for (int i = 0; i < count; ++i)
        a.append(int(bytes[i]));
    return a;
}

// The record as (field, value) pairs in record order, values in their units.
std::vector<std::pair<QString, QJsonValue>> recordFields(const TDevice_Config_v2& r)
{
    std::vector<std::pair<QString, QJsonValue>> f;
    f.emplace_back("theme_colour", QString("#%1").arg(r.theme_colour & 0xFFFFFF, 6, 16, QChar('0')).toUpper());
    f.emplace_back("unoccupied_min_temp", celsius(r.unoccupied_min_temp));
    f.emplace_back("unoccupied_max_temp", celsius(r.unoccupied_max_temp));
    f.emplace_back("occupied_setpoint", celsius(r.occupied_setpoint));
    f.emplace_back("controller_type", int(r.controller_type));
    f.emplace_back("show_setpoint_dp", int(r.show_setpoint_dp));
    f.emplace_back("show_setpoint_value", int(r.show_setpoint_value));
    f.emplace_back("theme_background_index", int(r.theme_background_index));
    f.emplace_back("theme_logo_index", int(r.theme_logo_index));
    f.emplace_back("language", int(r.language));
    f.emplace_back("rc_ctrl_enable", flags(r.rc_ctrl_enable, 4));
    f.emplace_back("md_ctrl_enable", flags(r.md_ctrl_enable, 5));
    f.emplace_back("fs_ctrl_enable", flags(r.fs_ctrl_enable, 4));
    f.emplace_back("ad_ctrl_enable", flags(r.ad_ctrl_enable, 7));
    f.emplace_back("occupancy_strategy_enable", int(r.occupancy_strategy_enable));
    f.emplace_back("occupied_settings_enable", flags(r.occupied_settings_enable, 5));
    f.emplace_back("occupied_run", int(r.occupied_run));
    f.emplace_back("occupied_mode", int(r.occupied_mode));
    f.emplace_back("occupied_fanspeed", int(r.occupied_fanspeed));
    f.emplace_back("occupied_airdir", int(r.occupied_airdir));
    f.emplace_back("theme_background_enabled", int(r.theme_background_enabled));
    f.emplace_back("theme_logo_enabled", int(r.theme_logo_enabled));
    f.emplace_back("service_info_text", Read_Service_Text(r).remove('\n'));
    f.emplace_back("info_screen_time_to_show", int(r.info_screen_time_to_show));
    f.emplace_back("info_screen_display_time", int(r.info_screen_display_time));
    f.emplace_back("scheduler_enabled", int(r.scheduler_enabled));

    QJsonObject week;
    static const char* const days[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int d = 0; d < 7; ++d) {
        QJsonArray events;
        for (int s = 0; s < 8; ++s) {
            const TSchedule_Event& e = r.daily_schedule[d].daily_event[s];
            if (e.in_use != 1)
                continue;
            QJsonObject ev;
            ev["slot"] = s;
            ev["time"] = clock(e.minute_of_day);
            ev["settings_enable"] = flags(e.settings_enable, 5);
            ev["run"] = int(e.run);
            ev["mode"] = int(e.mode);
            ev["setpoint"] = celsius(e.setpoint);
            ev["fanspeed"] = int(e.fanspeed);
            ev["airdir"] = int(e.airdir);
            events.append(ev);
        }
        week[days[d]] = events;
    }
    f.emplace_back("daily_schedule", week);
    f.emplace_back("frost_protection_enabled", int(r.frost_protection_enabled));
    f.emplace_back("info_scr_slideshow_enabled", int(r.info_scr_slideshow_enabled));
    f.emplace_back("info_scr_slideshow_display_rate", int(r.info_scr_slideshow_display_rate));
    f.emplace_back("info_scr_slideshow_visible_time", int(r.info_scr_slideshow_visible_time));
    f.emplace_back("info_scr_slideshow_start_min", clock(r.info_scr_slideshow_start_min));
    f.emplace_back("info_scr_slideshow_stop_min", clock(r.info_scr_slideshow_stop_min));
    return f;
}

QJsonObject handleJson(const THandle_object& h)
{
    QJsonObject o;
    o["id"] = h.id;
    o["name"] = h.name;
    o["width"] = h.width;
    o["height"] = h.height;
    o["compress_images"] = h.compress_images;
    o["compression_format"] = h.compression_format;
    o["included"] = h.included;
    o["memory_usage"] = h.memory_usage;
    QJsonArray cells;
    for (const auto& c : h.cells) {
        QJsonObject co;
        co["name"] = c->name;
        co["imageSize"] = c->imageSize;
        co["fileSize"] = c->fileSize;
        co["included"] = c->included;
        co["random_stdev"] = c->dithering.random_stdev;
        co["random_bits"] = c->dithering.random_bits;
        cells.append(co);
    }
    o["cells"] = cells;
    return o;
}

// Control characters would move the terminal's cursor (a CR of the service
// text would overwrite the start of its line): shown as escapes instead.
QString printable(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QChar('\r'))
            out += "\\r";
        else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            out += QString("\\x%1").arg(c.unicode(), 2, 16, QChar('0'));
        else
            out += c;
    }
    return out;
}

QString plain(const QJsonValue& v)
{
    if (v.isString())
        return printable(v.toString());
    if (v.isDouble())
        return QString::number(v.toDouble());
    if (v.isBool())
        return v.toBool() ? "true" : "false";
    return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
}

void printText(const QString& path, const TDevice_Config_v2& rec, const THandle_List& handles)
{
    cliOut("Project: " + path);
    cliOut("\nConfiguration record");
    for (const auto& [name, value] : recordFields(rec)) {
        if (name != "daily_schedule") {
            cliOut(QString("  %1 %2").arg(name.leftJustified(34), plain(value)));
            continue;
        }
        cliOut("  daily_schedule");
        const QJsonObject week = value.toObject();
        for (const char* day : {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}) {
            const QJsonArray events = week[day].toArray();
            cliOut(QString("    %1 %2 event(s)").arg(QString(day).leftJustified(10)).arg(events.size()));
            for (const QJsonValue& e : events) {
                const QJsonObject ev = e.toObject();
                cliOut(QString("      slot %1 at %2: run %3, mode %4, setpoint %5, fan %6, air %7, sets %8")
                           .arg(ev["slot"].toInt())
                           .arg(ev["time"].toString())
                           .arg(ev["run"].toInt())
                           .arg(ev["mode"].toInt())
                           .arg(ev["setpoint"].toString())
                           .arg(ev["fanspeed"].toInt())
                           .arg(ev["airdir"].toInt())
                           .arg(plain(ev["settings_enable"])));
            }
        }
    }
    cliOut("\nImages");
    for (const auto& h : handles) {
        cliOut(QString("  %1 %2x%3, format %4, %5, %6 image(s), %7 bytes%8")
                   .arg(printable(h->name).leftJustified(16))
                   .arg(h->width)
                   .arg(h->height)
                   .arg(h->compression_format)
                   .arg(h->compress_images ? "packed+zlib" : "JPEG")
                   .arg(h->cells.size())
                   .arg(h->memory_usage)
                   .arg(h->included ? "" : " (not uploaded)"));
        for (const auto& c : h->cells)
            cliOut(QString("    %1 %2 bytes%3")
                       .arg(printable(c->name).leftJustified(24))
                       .arg(c->imageSize)
                       .arg(c->included ? "" : " (not uploaded)"));
    }
    const int64_t used = Project_Storage_Used(handles);
    cliOut(QString("\nStorage: %1 of %2 bytes used, %3 free")
               .arg(used)
               .arg(kImageStoreBytes)
               .arg(kImageStoreBytes - used));
}

int runInfo(const QStringList& args)
{
    const QStringList files = cliPositional(args, {});
    if (files.size() != 1)
        return cliFail("usage: corvane-cli info FILE [--json]");
    TDevice_Config_v2 rec = New_Project_Config();
    THandle_List handles;
    try {
        if (!Load_Project_File(files[0], rec, handles))
            return cliFail(QString("%1: not a project file this program can read (unknown "
                                   "version, or a configuration record cut short)")
                               .arg(files[0]));
    } catch (const ProjectFileError& e) {
        return cliFail(e.message());
    }

    if (!cliFlag(args, "--json")) {
        printText(files[0], rec, handles);
        return 0;
    }
    QJsonObject record;
    for (const auto& [name, value] : recordFields(rec))
        record[name] = value;
    QJsonArray hs;
    for (const auto& h : handles)
        hs.append(handleJson(*h));
    QJsonObject root;
    root["file"] = files[0];
    root["configuration"] = record;
    root["handles"] = hs;
    root["storage_used"] = qint64(Project_Storage_Used(handles));
    root["storage_free"] = qint64(Project_Storage_Free(handles));
    cliOut(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

const CliRegistration reg{{"info", "info FILE [--json]", "print a project's configuration record and images", runInfo}};

} // namespace
