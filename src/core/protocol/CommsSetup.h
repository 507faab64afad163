#pragma once
// The serial-port component as the device operations use it.

class QObject;
class TVrexComms;

// 230400 bit/s, 8N1, read interval from the speed, 1024-byte receive buffer.
void applyCommsSettings(TVrexComms& comms);
// Creates the component owned by owner with those settings and sizes the
// protocol's transmit buffer.
TVrexComms* Initialise_Comms_Vars(QObject* owner);
