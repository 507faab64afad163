#pragma once
// One serial connection to a controller and everything learnt over it: the
// port (its TVrexComms, whose transmit buffer a read request inherits bytes
// from), the identity the controller reported, the firmware this program
// carries for it and the upload in flight. A program drives as many
// controllers at once as it has links; links share nothing.

#include <QByteArray>
#include <QStringList>

#include <memory>

class TVrexComms;

class TControllerLink {
public:
    // Sets up its own connection, with the serial settings every link uses.
    TControllerLink();
    ~TControllerLink();
    TControllerLink(const TControllerLink&) = delete;
    TControllerLink& operator=(const TControllerLink&) = delete;

    TVrexComms& comms() const { return *m_comms; }

    // Reported by the controller that accepted the connection.
    quint16 RC_PartNo = 0;
    quint16 RC_FW_Ver = 0;
    // The firmware this program carries for it.
    quint16 PC_Cfg_PartNo = 0;
    quint16 PC_Cfg_FW_Ver = 0;
    // The controller answered as its boot loader.
    bool BL_Active_Flag = false;
    // The bytes of the upload in progress and the next one to send.
    QByteArray upload_stream;
    qsizetype streamPos = 0;
    // Ports named on the command line (or the demo controller's), offered
    // before any discovered port.
    QStringList explicitPorts;
    // The user named the ports: they are the only ones tried. A silent named
    // port must not send the operation on to whatever else is plugged in.
    bool namedPortsOnly = false;

private:
    std::unique_ptr<TVrexComms> m_comms;
};
