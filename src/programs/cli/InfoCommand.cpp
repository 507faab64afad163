// corvane-cli info: the project's record and images, as text or as a full
// JSON dump.
#include "CliCommand.h"
#include "CliProject.h"
#include "CliProjectJson.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImagingError.h"
#include "core/messaging/UntrustedText.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <limits>
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
    f.emplace_back("theme_colour", "0x" + QString("%1").arg(r.theme_colour, 8, 16, QChar('0')).toUpper());
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
    f.emplace_back("service_info_text", readServiceText(r).remove('\n'));
    f.emplace_back("info_screen_time_to_show", int(r.info_screen_time_to_show));
    f.emplace_back("info_screen_display_time", int(r.info_screen_display_time));
    f.emplace_back("scheduler_enabled", int(r.scheduler_enabled));

    QJsonObject week;
    static const char* const kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
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
        week[kDays[d]] = events;
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

// Control characters would move the terminal's cursor (a CR of the service
// text would overwrite the start of its line): shown as escapes instead, as
// in every message, but whole: this is where a user inspects the file.
QString printable(const QString& text)
{
    return untrustedText(text, std::numeric_limits<int>::max());
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

// The stored size of each handle's included images, computed from the images
// as an upload stores them: the file's memory_usage may be stale.
struct Estimate {
    int64_t bytes = -1; // -1: could not be computed
    QString error;
};

Estimate estimateStorage(const THandle_object& handle)
{
    Estimate e;
    int64_t sum = 0;
    try {
        for (const auto& c : handle.cells) {
            if (c->included)
                sum += Cell_Storage_Size(*c);
        }
        e.bytes = sum;
    } catch (const ImagingError& error) {
        e.error = error.message();
    }
    return e;
}

void printText(const QString& path, const TDevice_Config_v2& rec, const THandleList& handles,
               const std::vector<Estimate>& estimates)
{
    cliOut("Project: " + printable(path));
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
    int64_t used = 0;
    bool known = true;
    for (size_t i = 0; i < handles.size(); ++i) {
        const THandle_object& h = *handles[i];
        const Estimate& e = estimates[i];
        QString size;
        if (e.bytes < 0) {
            known = false;
            // An upload refuses such a picture: say so, not merely that its size is unknown.
            size = QString("damaged: %1 (the file says %2 bytes; an upload would refuse it)")
                       .arg(printable(e.error))
                       .arg(h.memory_usage);
        } else {
            used += e.bytes;
            size = QString("%1 bytes").arg(e.bytes);
            if (e.bytes != h.memory_usage)
                size += QString(" (the file says %1)").arg(h.memory_usage);
        }
        cliOut(QString("  %1 %2x%3, format %4, %5, %6 image(s), %7%8")
                   .arg(printable(h.name).leftJustified(16))
                   .arg(h.width)
                   .arg(h.height)
                   .arg(h.compression_format)
                   .arg(h.compress_images ? "packed+zlib" : "JPEG")
                   .arg(h.cells.size())
                   .arg(size)
                   .arg(h.included ? "" : " (not uploaded)"));
        for (const auto& c : h.cells)
            cliOut(QString("    %1 %2 bytes%3")
                       .arg(printable(c->name).leftJustified(24))
                       .arg(c->imageSize)
                       .arg(c->included ? "" : " (not uploaded)"));
    }
    const int64_t stored = projectStorageUsed(handles);
    if (!known) {
        cliOut(QString("\nStorage: unknown (an image cannot be converted); the file says %1 of %2 bytes used")
                   .arg(stored)
                   .arg(kImageStoreBytes));
        return;
    }
    cliOut(QString("\nStorage: %1 of %2 bytes used, %3 %4%5")
               .arg(used)
               .arg(kImageStoreBytes)
               .arg(std::abs(kImageStoreBytes - used))
               .arg(used > kImageStoreBytes ? "too many: the images do not fit the controller" : "free")
               .arg(used != stored ? QString(" (the file says %1 used)").arg(stored) : QString()));
}

void printJson(const QString& path, const TDevice_Config_v2& rec, const THandleList& handles,
               const std::vector<Estimate>& estimates)
{
    QJsonArray hs;
    int64_t estimated = 0;
    bool known = true;
    for (size_t i = 0; i < handles.size(); ++i) {
        QJsonObject h = cliHandleJson(*handles[i], int(i));
        if (estimates[i].bytes >= 0) {
            h["estimated_storage"] = qint64(estimates[i].bytes);
            estimated += estimates[i].bytes;
        } else {
            h["estimated_storage"] = QJsonValue::Null;
            h["estimate_error"] = estimates[i].error;
            h["damaged"] = true;
            known = false;
        }
        hs.append(h);
    }
    QJsonObject root;
    root["dump_version"] = kProjectJsonVersion;
    root["file"] = path;
    root["configuration"] = cliRecordJson(rec);
    root["handles"] = hs;
    root["image_store_bytes"] = qint64(kImageStoreBytes);
    root["storage_used"] = qint64(projectStorageUsed(handles));
    root["storage_free"] = qint64(projectStorageFree(handles));
    root["storage_estimated"] = known ? QJsonValue(qint64(estimated)) : QJsonValue(QJsonValue::Null);
    cliOut(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
}

int runInfo(const QStringList& args)
{
    CommandLine cl
        = cliCommandLine("info",
                         "Each group's storage is computed from its images as an upload stores them; the figure the\n"
                         "file holds is shown beside it when they differ. --json prints every field of the record\n"
                         "and of every group and image (the shape is described in the README).");
    cl.addPositional("FILE", "The project file (.cvp).");
    cl.addOption({"json", "Print the whole project as one JSON object."});
    if (const auto status = cl.parse(args, 1, 1))
        return *status;
    const QString path = cl.positional()[0];
    TDevice_Config_v2 rec{};
    THandleList handles;
    QString error;
    if (!cliLoadProject(path, rec, handles, &error))
        return cliFail(error);

    std::vector<Estimate> estimates;
    for (const auto& h : handles)
        estimates.push_back(estimateStorage(*h));
    if (cl.isSet("json"))
        printJson(path, rec, handles, estimates);
    else
        printText(path, rec, handles, estimates);
    return 0;
}

const CliRegistration kInfoCommand{
    {"info", "FILE [--json]", "print a project's configuration record and images", runInfo}};

} // namespace
