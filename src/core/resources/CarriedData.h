#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Data the program carries inside itself, read by name: "FW_VER",
// "FW_PARTNO", "FIRMWARE_BINARY_5813", "FIRMWARE_BINARY_5827",
// "FW_VER_HISTORY_5813", "FW_VER_HISTORY_5827".

// The whole resource. Throws std::runtime_error naming the resource when the
// program does not carry it.
QByteArray readResourceData(const QString& name);

// The first two bytes of the resource, little-endian. Throws
// std::runtime_error when the resource is missing or shorter than two bytes.
quint16 Read_Resource_Word(const QString& name);

// True when the firmware images are the build's placeholders rather than
// real images embedded with CORVANE_FIRMWARE_DIR.
bool carriedFirmwareIsPlaceholder();
