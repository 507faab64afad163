#pragma once
// A virtual controller with the real serial-port component opened on it,
// set up the way the device operations use it.

#include "SimFixtures.h"
#include "core/comms/TVrexComms.h"
#include "core/protocol/CommsSetup.h"

#include <memory>

struct SimSession {
    explicit SimSession(const SimOptions& options = {}) : sim(startVirtualController(options))
    {
        started = sim != nullptr;
        applyCommsSettings(comms);
        if (started)
            comms.portName = sim->portName();
        opened = started && comms.OpenComm();
    }
    bool ok() const { return started && opened; }

    std::unique_ptr<VirtualController> sim;
    TVrexComms comms;
    bool started = false;
    bool opened = false;
};
