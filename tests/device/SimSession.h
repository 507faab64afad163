#pragma once
// A virtual controller with the real serial-port component opened on it,
// set up the way the device operations use it.

#include "core/comms/TVrexComms.h"
#include "core/device/CommsSetup.h"
#include "sim/lib/VirtualController.h"

#include <memory>

struct SimSession {
    explicit SimSession(const SimOptions& options = {}) : sim(options)
    {
        QString error;
        started = sim.start(&error);
        Apply_Comms_Settings(comms);
        comms.PortName = sim.portName();
        opened = started && comms.OpenComm();
    }
    bool ok() const { return started && opened; }

    VirtualController sim;
    TVrexComms comms;
    bool started = false;
    bool opened = false;
};
