#include "core/device/TControllerLink.h"

#include "core/comms/TVrexComms.h"
#include "core/protocol/CommsSetup.h"

TControllerLink::TControllerLink() : m_comms(Initialise_Comms_Vars(nullptr)) { }

TControllerLink::~TControllerLink() = default;
