// corvane-cli ports: the ports discovery would probe, with their manufacturer.
#include "CliCommand.h"

#include "core/device/CommPortList.h"

namespace {
int runPorts(const QStringList& args)
{
    CommandLine cl = cliCommandLine("ports", "Prints one line per port: its name, a tab, its manufacturer.");
    cl.addOption({"all", "List every serial port, not only those of FTDI adapters."});
    if (const auto status = cl.parse(args, 0, 0))
        return *status;
    const bool all = cl.isSet("all");
    const std::vector<TCandidatePort> ports = getCommPortCandidates(all ? QString() : QStringLiteral("FTDI"));
    if (ports.empty()) {
        cliOut(all ? QStringLiteral("no serial ports")
                   : QStringLiteral("no serial ports of an adapter whose manufacturer contains \"FTDI\""));
        return 0;
    }
    for (const TCandidatePort& p : ports)
        cliOut(QStringLiteral("%1\t%2").arg(p.name, p.manufacturer.isEmpty() ? QStringLiteral("-") : p.manufacturer));
    return 0;
}

const CliRegistration kPortsCommand{
    {"ports", "[--all]", "list the serial ports of FTDI adapters (--all: every serial port) with their manufacturer",
     runPorts}};
} // namespace
