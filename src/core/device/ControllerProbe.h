#pragma once
// Opens one port and asks whatever is behind it to identify itself.

#include "core/comms/PortOpenFailure.h"

#include <QString>

#include <cstdint>

class TVrexComms;

struct TProbeResult {
    QString port;
    bool opened = false;
    TPortOpenFailure failure = TPortOpenFailure::None;
    QString failureText;   // one line, empty when the port opened
    QString failureFix;    // what fixes it, when known
    bool answered = false; // a good identification reply arrived
    bool badReply = false; // a reply arrived but failed its length or check-sum test
    uint16_t partNo = 0;
    uint16_t fwVersion = 0;
    uint16_t blPartNo = 0;
    uint16_t blVersion = 0;
    int model = -1; // Model_Index of part_no

    bool isController() const { return model >= 0; }
};

// Why a probed port is not the controller, one line naming the port:
// missing, busy, permission denied (with the fix), no answer, a bad answer or
// a part number of something else. Empty for a controller.
QString probeFailureText(const TProbeResult& r);

// Leaves the port open when a known controller answered (the caller goes on
// with it) and closed otherwise.
TProbeResult probeController(TVrexComms& comms, const QString& port);
