#include "core/protocol/CommsSetup.h"

#include "core/comms/TVrexComms.h"
#include "core/protocol/BLcomms.h"

void applyCommsSettings(TVrexComms& comms)
{
    comms.BaudRate = 230400;
    comms.Parity = TParity::None;
    comms.DataBits = 8;
    comms.StopBits = TStopBits::OneStopBit;
    comms.InterCharTimeOut = 0;
    comms.RxBufferSize = 1024;
}

TVrexComms* Initialise_Comms_Vars(QObject* owner)
{
    auto* comms = new TVrexComms(owner);
    applyCommsSettings(*comms);
    BL_InitBuffers(*comms, BL::kTxBufferSize);
    return comms;
}
