#pragma once
// What the virtual controller leaves behind: its memory regions as binary
// files and every received frame as JSON.

#include "sim/lib/SimFrame.h"

#include <QByteArray>
#include <QString>

#include <vector>

class SimDump {
public:
    // Writes config.bin, firmware.bin, images.bin and frames.json into dir
    // (created if missing). Each file is replaced whole or not at all.
    static bool write(const QString& dir, const std::vector<QByteArray>& regions, const std::vector<SimFrame>& frames,
                      QString* error = nullptr);
};
