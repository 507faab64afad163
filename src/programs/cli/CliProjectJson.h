#pragma once
// The project as JSON, lossless: every field of the record and of every handle
// and image, as `info --json` prints it and `diff` compares it. Its shape is
// documented in the README; add fields, never rename or drop one.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// Version of the shape below; raised only when a field changes meaning.
inline constexpr int kProjectJsonVersion = 1;

// Every field of the record under its own name, raw values (tenths of a degree,
// minutes after midnight, the 32-bit colour), reserved bytes included.
QJsonObject cliRecordJson(const TDevice_Config_v2& rec);

// Every field of the handle and of its images (without the picture bytes:
// their length and SHA-256). estimate: the stored size computed from the
// images, or null when not computed; estimateError says why it could not be.
QJsonObject cliHandleJson(const THandle_object& handle, int position);

// Text bytes up to the first zero as UTF-8, each byte that is not part of a
// valid sequence written \xNN and a backslash written \\, so the bytes can be
// recovered exactly.
QString cliEscapedText(const QByteArray& bytes);

// A double as JSON: a number when finite, else "NaN", "Infinity" or "-Infinity".
QJsonValue cliNumber(double value);

// Hex digits of the bytes, lower case.
QString cliHex(const QByteArray& bytes);
