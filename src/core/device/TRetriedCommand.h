#pragma once
// The tail the uploads and the firmware upgrade share: a command without
// data (the restart, the firmware write) that the controller may miss while
// it is busy. Each attempt is a step of its own; after the last one the user
// chooses between trying again and giving up.

#include <QString>

#include <cstdint>

class TDeviceStepContext;

struct TRetriedCommand {
    int msg = 0;             // the operation's window message
    quint32 step = 0;        // the step that runs the command
    quint32 failedStep = 0;  // where Cancel goes
    quint32 failureCode = 0; // the wParam it goes there with
    uint8_t command = 0;
    quint32 address = 0;
    QString errorText; // the box after the last attempt
    int attempts = 5;
};

// Runs attempt number `attempt` (0-based; the step's wParam). True when the
// controller acknowledged; the caller posts what follows. Otherwise the next
// attempt, the repeat the user asked for or the failure has been posted.
bool runRetriedCommand(TDeviceStepContext& ops, const TRetriedCommand& c, quint32 attempt);
