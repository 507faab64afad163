#include "core/document/ChangeText.h"

#include <QStringList>

#include <cstddef>
#include <cstring>

namespace {

struct Field {
    std::size_t offset;
    std::size_t size;
    const char* name;
    bool merges; // typed or dragged: a burst of edits is one step
};

#define CORVANE_FIELD(member, name, merges)                                                                            \
    Field                                                                                                              \
    {                                                                                                                  \
        offsetof(TDevice_Config_v2, member), sizeof(TDevice_Config_v2::member), name, merges                           \
    }

// In record order; neighbouring fields that one control writes share a name.
const Field kFields[] = {
    CORVANE_FIELD(theme_colour, "Theme Colour", true),
    CORVANE_FIELD(unoccupied_min_temp, "Unoccupied Minimum", true),
    CORVANE_FIELD(unoccupied_max_temp, "Unoccupied Maximum", true),
    CORVANE_FIELD(occupied_setpoint, "Occupied Setpoint", false),
    CORVANE_FIELD(controller_type, "Master Controller", false),
    CORVANE_FIELD(show_setpoint_dp, "Show Setpoint As XX.X", false),
    CORVANE_FIELD(show_setpoint_value, "Setpoint Display", false),
    CORVANE_FIELD(theme_background_index, "Background", false),
    CORVANE_FIELD(theme_logo_index, "Logo", false),
    CORVANE_FIELD(language, "Language", false),
    CORVANE_FIELD(rc_ctrl_enable, "Controls Offered", false),
    CORVANE_FIELD(md_ctrl_enable, "Mode Options", false),
    CORVANE_FIELD(fs_ctrl_enable, "Fan Speed Options", false),
    CORVANE_FIELD(ad_ctrl_enable, "Air Direction Options", false),
    CORVANE_FIELD(occupancy_strategy_enable, "Occupancy Strategies", false),
    CORVANE_FIELD(occupied_settings_enable, "Occupied Settings", false),
    CORVANE_FIELD(occupied_run, "Occupied Run", false),
    CORVANE_FIELD(occupied_mode, "Occupied Mode", false),
    CORVANE_FIELD(occupied_fanspeed, "Occupied Fan Speed", false),
    CORVANE_FIELD(occupied_airdir, "Occupied Air Direction", false),
    CORVANE_FIELD(theme_background_enabled, "Background", false),
    CORVANE_FIELD(theme_logo_enabled, "Logo", false),
    CORVANE_FIELD(service_info_text, "Service Text", true),
    CORVANE_FIELD(info_screen_time_to_show, "Information Screens", false),
    CORVANE_FIELD(info_screen_display_time, "Information Screens", false),
    CORVANE_FIELD(scheduler_enabled, "Scheduler", false),
    CORVANE_FIELD(frost_protection_enabled, "Frost Protection", false),
    CORVANE_FIELD(info_scr_slideshow_enabled, "Slideshow", false),
    CORVANE_FIELD(info_scr_slideshow_display_rate, "Slideshow", false),
    CORVANE_FIELD(info_scr_slideshow_visible_time, "Slideshow", false),
    CORVANE_FIELD(info_scr_slideshow_start_min, "Slideshow", false),
    CORVANE_FIELD(info_scr_slideshow_stop_min, "Slideshow", false),
};
#undef CORVANE_FIELD

// Merge keys: fields by their place in kFields; images never merge.
bool fieldDiffers(const Field& f, const TDevice_Config_v2& a, const TDevice_Config_v2& b)
{
    const auto* pa = reinterpret_cast<const char*>(&a) + f.offset;
    const auto* pb = reinterpret_cast<const char*>(&b) + f.offset;
    return std::memcmp(pa, pb, f.size) != 0;
}

bool sameDay(const TSchedule_Day& a, const TSchedule_Day& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TChangeText describeSchedule(const TDevice_Config_v2& before, const TDevice_Config_v2& after)
{
    QList<int> changed;
    for (int d = 0; d < 7; ++d)
        if (!sameDay(before.daily_schedule[d], after.daily_schedule[d]))
            changed << d;
    if (changed.isEmpty())
        return {};
    // A copy leaves every changed day equal to a day it did not change.
    for (int source = 0; source < 7; ++source) {
        if (changed.contains(source))
            continue;
        bool all = true;
        for (int d : changed)
            all = all && sameDay(after.daily_schedule[d], after.daily_schedule[source]);
        if (all)
            return {QStringLiteral("Copy %1 to %2 %3")
                        .arg(scheduleDayName(source + 1))
                        .arg(changed.size())
                        .arg(changed.size() == 1 ? QStringLiteral("day") : QStringLiteral("days")),
                    -1};
    }
    if (changed.size() == 1)
        return {QStringLiteral("Edit %1 Events").arg(scheduleDayName(changed.front() + 1)), -1};
    return {QStringLiteral("Edit Events of %1 Days").arg(changed.size()), -1};
}

TChangeText describeRecord(const TDevice_Config_v2& before, const TDevice_Config_v2& after)
{
    if (sameRecordBytes(before, after))
        return {};
    const TChangeText schedule = describeSchedule(before, after);
    QStringList kNames;
    int key = -1;
    constexpr int count = int(sizeof kFields / sizeof kFields[0]);
    for (int i = 0; i < count; ++i) {
        if (!fieldDiffers(kFields[i], before, after))
            continue;
        const QString name = QString::fromLatin1(kFields[i].name);
        if (!kNames.contains(name))
            kNames << name;
        key = kFields[i].merges ? i : -1;
    }
    if (!schedule.text.isEmpty()) {
        if (kNames.isEmpty())
            return schedule;
        kNames << QStringLiteral("Scheduled Events");
    }
    if (kNames.size() == 1)
        return {QStringLiteral("Change ") + kNames.front(), key};
    if (kNames.isEmpty())
        return {QStringLiteral("Change Configuration"), -1};
    return {QStringLiteral("Change ") + kNames.mid(0, kNames.size() - 1).join(QStringLiteral(", "))
                + QStringLiteral(" and ") + kNames.back(),
            -1};
}

// Which image of a list changed, told by name; a handle's images in order.
QString imageText(const THandle_object& before, const THandle_object& after)
{
    const auto& b = before.cells;
    const auto& a = after.cells;
    if (a.size() > b.size()) {
        const auto added = qsizetype(a.size() - b.size());
        return QStringLiteral("Import %1 %2 into %3")
            .arg(added)
            .arg(added == 1 ? QStringLiteral("Image") : QStringLiteral("Images"))
            .arg(after.name);
    }
    if (a.size() < b.size()) {
        for (size_t i = 0; i < b.size(); ++i)
            if (i >= a.size() || !sameCell(*b[i], *a[i]))
                return QStringLiteral("Delete Image ") + b[i]->name;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const TCell_object& x = *b[i];
        const TCell_object& y = *a[i];
        if (sameCell(x, y))
            continue;
        TCell_object renamed = x;
        renamed.name = y.name;
        if (sameCell(renamed, y))
            return QStringLiteral("Rename Image %1 to %2").arg(x.name, y.name);
        TCell_object flipped = x;
        flipped.included = y.included;
        if (sameCell(flipped, y))
            return (y.included ? QStringLiteral("Include Image ") : QStringLiteral("Exclude Image ")) + y.name;
        return QStringLiteral("Move Image ") + y.name;
    }
    return QStringLiteral("Change %1 Settings").arg(after.name);
}

QString describeImages(const THandleList& before, const THandleList& after)
{
    if (before.size() != after.size())
        return QStringLiteral("Change Images");
    // A thumbnail group changes with its picture group; the picture names it.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < after.size(); ++i) {
            const bool thumbnails = i == kBgThumbnailsIdx || i == kLogoThumbnailsIdx;
            if (thumbnails != (pass == 1))
                continue;
            if (!sameHandle(*before[i], *after[i]))
                return imageText(*before[i], *after[i]);
        }
    }
    return QStringLiteral("Change Images");
}

} // namespace

QString scheduleDayName(int day)
{
    static const char* const kNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return day >= 1 && day <= 7 ? QString::fromLatin1(kNames[day - 1]) : QString();
}

TChangeText describeChange(const TProjectState& before, const TProjectState& after)
{
    const bool imagesChanged
        = before.images != after.images && before.images && after.images && !sameImages(*before.images, *after.images);
    if (imagesChanged) {
        // An edit of the images may move the record's choice of background
        // or logo with it; the images name the step.
        return {describeImages(*before.images, *after.images), -1};
    }
    return describeRecord(before.record, after.record);
}
