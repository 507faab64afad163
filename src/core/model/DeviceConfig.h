#pragma once
// Operations on the device configuration record: validation of a block read
// from a controller, conversion of the older record, new-project defaults,
// the upload block and the service-text field.

#include "core/model/DeviceConfigRecords.h"

#include <QByteArray>
#include <QString>

bool Validate_Device_Configuration(const TDeviceConfiguration& block, TDevice_Config_v2& dest);

// Every field but the checksum is written: frost protection off, padding zero.
void Convert_Config_v1(const TDevice_Config_v1& src, TDevice_Config_v2& dest);

// A new project's record: all bytes zero, then the defaults.
void applyNewProjectDefaults(TDevice_Config_v2& rec);
TDevice_Config_v2 newProjectConfig();

// Stores fresh check bytes in rec and returns the 1408-byte version 2 block.
TDeviceConfiguration buildUploadBlock(TDevice_Config_v2& rec);
// The record's two check bytes inside such a block (as sent); empty when the
// bytes are not a version 2 block.
QByteArray uploadBlockChecksum(const QByteArray& block);

inline constexpr int kServiceTextBytes = 122;
inline const char kNewProjectServiceText[] = "For servicing, please contact your installer.";

// Editor text -> field: line feeds removed, UTF-8, zero-filled, at most 122 bytes.
void writeServiceText(const QString& text, TDevice_Config_v2& rec);
// Field -> editor text: up to the first zero or the whole field, decoded as UTF-8
// when the bytes are UTF-8 (so what the editor wrote reads back unchanged),
// else one character per byte; a line feed inserted after every carriage
// return.
QString readServiceText(const TDevice_Config_v2& rec);

// The controller shows at most this many service text lines; saving and
// uploading refuse more.
inline constexpr int kServiceTextMaxLines = 3;
// Lines of an editor or record text as the editor counts them: CR LF, CR and
// LF each break a line, and a final line break opens no new line.
int serviceTextLineCount(const QString& text);

// The empty-event pattern that a converted record gets in every slot.
TSchedule_Event emptyScheduleEvent();
