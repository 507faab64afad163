#pragma once
// The record fields a site sheet may set, under the names `corvane-cli info
// --json` gives them: a cell's text checked against what the field can hold
// and turned into its JSON value (the value the log keeps), and such a value
// written into a record.

#include "core/model/DeviceConfigRecords.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// The service text: at most three lines of at most 40 characters.
inline constexpr int kSiteTextLineCharacters = 40;

// True when name is a record field a sheet may set.
bool siteFieldKnown(const QString& name);
// Why a field info --json shows cannot be set from a sheet (reserved bytes,
// the checksum, the schedule); empty when it is not such a field.
QString siteFieldNotSettable(const QString& name);
// Every field a sheet may set, in record order.
QStringList siteFieldNames();

// The cell's value for the field, or an undefined value with *why saying what
// the field takes. The cell is not empty.
QJsonValue siteFieldValue(const QString& name, const QString& cell, QString* why);

// Writes the values (as siteFieldValue gives them) into the record; other
// fields stay as they are.
void applySiteValues(const QJsonObject& values, TDevice_Config_v2& rec);
