#pragma once
// The candidate ports of discovery: ports named explicitly first (not
// filtered), then the serial ports whose manufacturer text contains mfg_str,
// in the platform's enumeration order.

#include <QString>
#include <QStringList>

#include <vector>

struct TCandidatePort {
    QString name;         // the platform's port name, e.g. /dev/ttyUSB0 or COM3
    QString manufacturer; // empty for an explicitly named port the system does not list
    bool named = false;   // given explicitly (--port, --demo)
    QString serialNumber; // the USB adapter's serial number, empty when unknown
};

// mfg_str empty: every serial port. The match is case-sensitive, as the
// adapters' driver reports it ("FTDI"). A port named explicitly is not listed again.
std::vector<TCandidatePort> getCommPortCandidates(const QString& mfg_str, const QStringList& named = {});
// The names of the candidates, in probe order.
QStringList Get_CommPort_List(const QString& mfg_str, const QStringList& named = {});
// named, then those of listed that do not lead to a named port.
QStringList namedPortsFirst(const QStringList& named, const QStringList& listed);
