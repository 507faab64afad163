#include "core/commissioning/SiteSheetFields.h"

#include "core/model/DeviceConfig.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <cstddef>
#include <cstring>

namespace {

enum class Kind { Number, Colour, Minutes, Flags, Text };

struct Field {
    const char* name;
    Kind kind;
    std::size_t offset;
    int width; // bytes of a number; count of a row of flags
    qint64 min;
    qint64 max;
    qint64 step;
};

#define CORVANE_AT(field) offsetof(TDevice_Config_v2, field)

// Ranges are those the configuration pages keep a project in: a sheet that
// sets a setpoint of 21 (meaning 21 °C, not 2.1) is refused, not sent.
const Field kFields[] = {
    {"theme_colour", Kind::Colour, CORVANE_AT(theme_colour), 4, 0, 0xFFFFFF, 1},
    {"unoccupied_min_temp", Kind::Number, CORVANE_AT(unoccupied_min_temp), 4, 100, 270, 10},
    {"unoccupied_max_temp", Kind::Number, CORVANE_AT(unoccupied_max_temp), 4, 120, 290, 10},
    {"occupied_setpoint", Kind::Number, CORVANE_AT(occupied_setpoint), 4, 180, 290, 10},
    {"controller_type", Kind::Number, CORVANE_AT(controller_type), 1, 0, 1, 1},
    {"show_setpoint_dp", Kind::Number, CORVANE_AT(show_setpoint_dp), 1, 0, 1, 1},
    {"show_setpoint_value", Kind::Number, CORVANE_AT(show_setpoint_value), 1, 0, 1, 1},
    {"theme_background_index", Kind::Number, CORVANE_AT(theme_background_index), 1, 0, 255, 1},
    {"theme_logo_index", Kind::Number, CORVANE_AT(theme_logo_index), 1, 0, 255, 1},
    {"language", Kind::Number, CORVANE_AT(language), 1, 0, 0, 1},
    {"rc_ctrl_enable", Kind::Flags, CORVANE_AT(rc_ctrl_enable), 4, 0, 1, 1},
    {"md_ctrl_enable", Kind::Flags, CORVANE_AT(md_ctrl_enable), 5, 0, 1, 1},
    {"fs_ctrl_enable", Kind::Flags, CORVANE_AT(fs_ctrl_enable), 4, 0, 1, 1},
    {"ad_ctrl_enable", Kind::Flags, CORVANE_AT(ad_ctrl_enable), 7, 0, 1, 1},
    {"occupancy_strategy_enable", Kind::Number, CORVANE_AT(occupancy_strategy_enable), 1, 0, 3, 1},
    {"occupied_settings_enable", Kind::Flags, CORVANE_AT(occupied_settings_enable), 5, 0, 1, 1},
    {"occupied_run", Kind::Number, CORVANE_AT(occupied_run), 1, 0, 1, 1},
    {"occupied_mode", Kind::Number, CORVANE_AT(occupied_mode), 1, 1, 5, 1},
    {"occupied_fanspeed", Kind::Number, CORVANE_AT(occupied_fanspeed), 1, 2, 5, 1},
    {"occupied_airdir", Kind::Number, CORVANE_AT(occupied_airdir), 1, 1, 6, 1},
    {"theme_background_enabled", Kind::Number, CORVANE_AT(theme_background_enabled), 1, 0, 1, 1},
    {"theme_logo_enabled", Kind::Number, CORVANE_AT(theme_logo_enabled), 1, 0, 1, 1},
    {"service_info_text", Kind::Text, CORVANE_AT(service_info_text), kServiceTextBytes, 0, 0, 0},
    {"info_screen_time_to_show", Kind::Number, CORVANE_AT(info_screen_time_to_show), 1, 0, 255, 1},
    {"info_screen_display_time", Kind::Number, CORVANE_AT(info_screen_display_time), 1, 0, 255, 1},
    {"scheduler_enabled", Kind::Number, CORVANE_AT(scheduler_enabled), 1, 0, 1, 1},
    {"frost_protection_enabled", Kind::Number, CORVANE_AT(frost_protection_enabled), 1, 0, 1, 1},
    {"info_scr_slideshow_enabled", Kind::Number, CORVANE_AT(info_scr_slideshow_enabled), 1, 0, 1, 1},
    {"info_scr_slideshow_display_rate", Kind::Number, CORVANE_AT(info_scr_slideshow_display_rate), 2, 0, 65535, 1},
    {"info_scr_slideshow_visible_time", Kind::Number, CORVANE_AT(info_scr_slideshow_visible_time), 2, 0, 65535, 1},
    {"info_scr_slideshow_start_min", Kind::Minutes, CORVANE_AT(info_scr_slideshow_start_min), 2, 0, 1439, 1},
    {"info_scr_slideshow_stop_min", Kind::Minutes, CORVANE_AT(info_scr_slideshow_stop_min), 2, 0, 1439, 1},
};

#undef CORVANE_AT

const Field* findField(const QString& name)
{
    for (const Field& f : kFields) {
        if (name == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

// A whole decimal number without sign or spaces inside, at most 9 digits.
bool decimal(const QString& text, qint64& value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return true;
}

QString rangeText(const Field& f)
{
    if (f.min == f.max)
        return QStringLiteral("only %1").arg(f.min);
    if (f.max - f.min == 1)
        return QStringLiteral("%1 or %2").arg(f.min).arg(f.max);
    if (f.step > 1)
        return QStringLiteral("%1 to %2 in steps of %3").arg(f.min).arg(f.max).arg(f.step);
    return QStringLiteral("%1 to %2").arg(f.min).arg(f.max);
}

QJsonValue numberValue(const Field& f, const QString& cell, QString* why)
{
    qint64 v = 0;
    bool ok = false;
    if (f.kind == Kind::Colour) {
        QString hex = cell;
        if (hex.startsWith(QLatin1Char('#')))
            hex = hex.mid(1);
        else if (hex.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            hex = hex.mid(2);
        else
            hex.clear();
        if (!hex.isEmpty()) {
            ok = hex.size() <= 8 && QRegularExpression(QStringLiteral("^[0-9A-Fa-f]+$")).match(hex).hasMatch();
            if (ok)
                v = hex.toLongLong(nullptr, 16);
        } else {
            ok = decimal(cell, v);
        }
        if (!ok || v > f.max) {
            *why = QStringLiteral("\"%1\" is not a colour: write it as #RRGGBB (or 0xRRGGBB, or a number up to %2)")
                       .arg(cell)
                       .arg(f.max);
            return QJsonValue(QJsonValue::Undefined);
        }
        return QJsonValue(v);
    }
    if (f.kind == Kind::Minutes) {
        static const QRegularExpression kClock(QStringLiteral("^([0-9]{1,2}):([0-9]{2})$"));
        const QRegularExpressionMatch m = kClock.match(cell);
        if (m.hasMatch()) {
            const int h = m.captured(1).toInt();
            const int min = m.captured(2).toInt();
            ok = h < 24 && min < 60;
            v = h * 60 + min;
        } else {
            ok = decimal(cell, v);
        }
        if (!ok || v > f.max) {
            *why = QStringLiteral("\"%1\" is not a time of day: minutes after midnight (0 to 1439) or HH:MM").arg(cell);
            return QJsonValue(QJsonValue::Undefined);
        }
        return QJsonValue(v);
    }
    ok = decimal(cell, v);
    if (!ok || v < f.min || v > f.max || (v - f.min) % f.step != 0) {
        *why = QStringLiteral("\"%1\" is not a value of this field: %2").arg(cell, rangeText(f));
        return QJsonValue(QJsonValue::Undefined);
    }
    return QJsonValue(v);
}

QJsonValue flagsValue(const Field& f, const QString& cell, QString* why)
{
    QString inner = cell;
    if (inner.startsWith(QLatin1Char('[')) && inner.endsWith(QLatin1Char(']')))
        inner = inner.mid(1, inner.size() - 2);
    static const QRegularExpression kGaps(QStringLiteral("[\\s,;]+"));
    const QStringList parts = inner.split(kGaps, Qt::SkipEmptyParts);
    QJsonArray flags;
    for (const QString& p : parts) {
        if (p != QLatin1String("0") && p != QLatin1String("1"))
            break;
        flags.append(p.toInt());
    }
    if (parts.size() != f.width || flags.size() != f.width) {
        *why = QStringLiteral("\"%1\" is not a row of %2 flags: write %2 values 0 or 1, such as \"%3\"")
                   .arg(cell)
                   .arg(f.width)
                   .arg(QStringList(f.width, QStringLiteral("1")).join(QLatin1Char(' ')));
        return QJsonValue(QJsonValue::Undefined);
    }
    return flags;
}

QJsonValue textValue(const QString& cell, QString* why)
{
    QString text = cell;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A spreadsheet may keep the break after the last line: it opens none.
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    for (const QChar c : text) {
        if (c != QLatin1Char('\n') && (c.unicode() < 0x20 || c.unicode() == 0x7F)) {
            *why = QStringLiteral("the service text holds a control character (U+%1)")
                       .arg(c.unicode(), 4, 16, QLatin1Char('0'));
            return QJsonValue(QJsonValue::Undefined);
        }
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > kServiceTextMaxLines) {
        *why = QStringLiteral("the service text has %1 lines; the controller shows at most %2")
                   .arg(lines.size())
                   .arg(kServiceTextMaxLines);
        return QJsonValue(QJsonValue::Undefined);
    }
    for (int i = 0; i < lines.size(); ++i) {
        const qsizetype characters = lines[i].toUcs4().size();
        if (characters > kSiteTextLineCharacters) {
            *why = QStringLiteral("line %1 of the service text has %2 characters; at most %3 fit")
                       .arg(i + 1)
                       .arg(characters)
                       .arg(kSiteTextLineCharacters);
            return QJsonValue(QJsonValue::Undefined);
        }
    }
    // Lines are stored separated by one byte each; characters beyond ASCII
    // take more than one byte, and the field does not grow for them.
    const qsizetype bytes = lines.join(QLatin1Char('\r')).toUtf8().size();
    if (bytes > kServiceTextBytes) {
        *why = QStringLiteral("the service text takes %1 bytes in UTF-8; the field holds %2")
                   .arg(bytes)
                   .arg(kServiceTextBytes);
        return QJsonValue(QJsonValue::Undefined);
    }
    return text;
}

template <typename T> void put(TDevice_Config_v2& rec, std::size_t offset, qint64 value)
{
    const T v = T(value);
    std::memcpy(reinterpret_cast<unsigned char*>(&rec) + offset, &v, sizeof v);
}

} // namespace

bool siteFieldKnown(const QString& name)
{
    return findField(name) != nullptr;
}

QString siteFieldNotSettable(const QString& name)
{
    if (name == QLatin1String("checksum"))
        return QStringLiteral("the checksum is computed for each controller");
    if (name == QLatin1String("daily_schedule"))
        return QStringLiteral("the schedule is set in the project, not per controller");
    if (name == QLatin1String("service_info_text_bytes"))
        return QStringLiteral("give the service text as text in \"service_info_text\"");
    if (name == QLatin1String("_padding1") || name == QLatin1String("_padding2")
        || name == QLatin1String("_padding_end"))
        return QStringLiteral("reserved bytes are not set per controller");
    return {};
}

QStringList siteFieldNames()
{
    QStringList names;
    for (const Field& f : kFields)
        names << QLatin1String(f.name);
    return names;
}

QJsonValue siteFieldValue(const QString& name, const QString& cell, QString* why)
{
    const Field* f = findField(name);
    if (!f) {
        *why = QStringLiteral("not a field of the record");
        return QJsonValue(QJsonValue::Undefined);
    }
    switch (f->kind) {
    case Kind::Text: return textValue(cell, why);
    case Kind::Flags: return flagsValue(*f, cell.trimmed(), why);
    case Kind::Number:
    case Kind::Colour:
    case Kind::Minutes: break;
    }
    return numberValue(*f, cell.trimmed(), why);
}

void applySiteValues(const QJsonObject& values, TDevice_Config_v2& rec)
{
    for (const Field& f : kFields) {
        const QJsonValue v = values.value(QLatin1String(f.name));
        if (v.isUndefined() || v.isNull())
            continue;
        switch (f.kind) {
        case Kind::Text: {
            const QStringList lines = v.toString().split(QLatin1Char('\n'));
            // The record writer takes the editor's text: lines ended by CR LF.
            writeServiceText(lines.join(QStringLiteral("\r\n")), rec);
            break;
        }
        case Kind::Flags: {
            const QJsonArray a = v.toArray();
            for (int i = 0; i < f.width && i < a.size(); ++i)
                put<uint8_t>(rec, f.offset + std::size_t(i), a[i].toInteger() != 0 ? 1 : 0);
            break;
        }
        case Kind::Number:
        case Kind::Colour:
        case Kind::Minutes: {
            const qint64 n = qBound(f.min, v.toInteger(), f.max);
            if (f.width == 4)
                put<uint32_t>(rec, f.offset, n);
            else if (f.width == 2)
                put<uint16_t>(rec, f.offset, n);
            else
                put<uint8_t>(rec, f.offset, n);
            break;
        }
        }
    }
}
