#include "SimCommandLine.h"

#include "core/model/DeviceConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>

namespace {
bool toInt(const CommandLine& p, const QString& name, int min, int max, int& out, QString& error)
{
    if (!p.isSet(name))
        return true;
    // Decimal, or hexadecimal with 0x; a leading zero is not octal (part
    // numbers are printed with four digits).
    const QString text = p.value(name).trimmed();
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    bool ok = false;
    const int v = (hex ? text.mid(2) : text).toInt(&ok, hex ? 16 : 10);
    if (!ok || v < min || v > max) {
        error = QStringLiteral("--%1 wants a number from %2 to %3, not \"%4\"")
                    .arg(name)
                    .arg(min)
                    .arg(max)
                    .arg(p.value(name));
        return false;
    }
    out = v;
    return true;
}

// The dump is written when the simulator stops: a folder that cannot take it
// must be found out now, not after the session's frames are lost.
QString dumpDirProblem(const QString& dir)
{
    if (!QDir().mkpath(dir))
        return QStringLiteral("--dump-dir %1: the folder cannot be created").arg(dir);
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".corvane-rc-sim-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("--dump-dir %1: cannot write in this folder (%2)").arg(dir, probe.errorString());
    return {};
}

QString linkProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isSymLink())
        return QStringLiteral("--link %1: exists and is not a symbolic link").arg(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("--link %1: the folder %2 does not exist").arg(path, folder.filePath());
    if (!folder.isWritable())
        return QStringLiteral("--link %1: cannot write in the folder %2").arg(path, folder.filePath());
    return {};
}
} // namespace

SimCommandLine SimCommandLine::parse(const QStringList& arguments)
{
    SimCommandLine c;
    CommandLine p(QStringLiteral("corvane-rc-sim"), QString(), QStringLiteral("[options]"),
                  "Virtual Corvane R/C controller on a pseudo-terminal.\n"
                  "Prints \"PORT <terminal path>\" as its first line, then answers the device protocol\n"
                  "until it is stopped (SIGINT/SIGTERM/SIGHUP; dumps are written then) or a fault makes it vanish.\n"
                  "Frame numbers count every received request from 1; write numbers count write requests.\n"
                  "Exit status: 0 stopped by a signal, 1 the terminal or the dump failed, 2 usage error or an\n"
                  "unusable --config, --link or --dump-dir (checked before the terminal is offered).");
    p.addVersionOption();
    for (const QCommandLineOption& option : std::initializer_list<QCommandLineOption>{
             {"model", "Controller model: first (part 5813, boot loader 5819) or rtc (5827, 5831).", "first|rtc",
              "first"},
             {"fw-version",
              "Application firmware version as major*100+minor (default 201 = v2.01); a 'firmware write' installs the "
              "version it names.",
              "n", "201"},
             {"bootloader", "The boot loader runs: identify with the boot loader's part number and version."},
             {"bl-version", "Boot-loader version as major*100+minor (default 100).", "n", "100"},
             {"part-number", "Report this part number instead (an unknown device).", "n"},
             {"config", "Start with this 1408-byte configuration block at address 0.", "file"},
             {"new-project-config",
              "Start with the configuration block of a new project, as if one had been uploaded "
              "(without it, and without --config, the configuration memory is blank)."},
             {"link", "Also make a symbolic link to the terminal at this path.", "path"},
             {"ready-fd",
              "Once the terminal (and the link) can be opened, write the PORT line to this open file "
              "descriptor too and close it, so whoever started the simulator knows when to connect.",
              "n"},
             {"daemon",
              "Wait until the terminal (and the link) can be opened, print the PORT line and \"PID <n>\", "
              "and return (exit status 0) while the simulator goes on in the background until it is "
              "stopped (kill <n>). A script can connect at once."},
             {"dump-dir", "On exit write config.bin, firmware.bin, images.bin and frames.json here.", "dir"},
             {"line-rate",
              "Emulate the 230400 bit/s line (10 bits per byte): requests and replies take their line time."},
             {"nak-write", "Answer the n-th write with NAK.", "n"},
             {"silent-after", "Answer nothing after the n-th frame.", "n"},
             {"stray-before", "Send a stray 0x01 before the answer to the n-th frame.", "n"},
             {"stray-every", "Send a stray 0x01 before every answer."},
             {"ignore-resets", "Leave the first k reset commands unanswered.", "k"},
             {"vanish-after", "Close the terminal and exit on receiving the n-th frame.", "n"},
             {"extra-reply-bytes", "Append k bytes to every read reply frame.", "k"},
             {"corrupt-reads", "Spoil the data check bytes of every read reply."},
             {"corrupt-reads-after", "Spoil the data check bytes of the read replies after the n-th frame.", "n"},
         })
        p.addOption(option);
    if (const auto status = p.parse(arguments.mid(1), 0, 0)) {
        c.exitStatus = *status;
        return c;
    }

    SimOptions& o = c.options;
    const QString model = p.value("model");
    if (model == "first" || model == "0")
        o.model = 0;
    else if (model == "rtc" || model == "1")
        o.model = 1;
    else {
        c.error = QStringLiteral("--model wants first or rtc, not \"%1\"").arg(model);
        return c;
    }
    o.bootLoader = p.isSet("bootloader");
    o.lineRate = p.isSet("line-rate");
    o.strayEvery = p.isSet("stray-every");
    o.corruptReadReplies = p.isSet("corrupt-reads");
    int fw = o.fwVersion, bl = o.blVersion;
    if (!toInt(p, "fw-version", 0, 9999, fw, c.error) || !toInt(p, "bl-version", 0, 9999, bl, c.error)
        || !toInt(p, "part-number", 0, 65535, o.partNumberOverride, c.error)
        || !toInt(p, "nak-write", 0, 1 << 30, o.nakWrite, c.error)
        || !toInt(p, "silent-after", 0, 1 << 30, o.silentAfter, c.error)
        || !toInt(p, "corrupt-reads-after", 0, 1 << 30, o.corruptReadsAfter, c.error)
        || !toInt(p, "stray-before", 0, 1 << 30, o.strayBefore, c.error)
        || !toInt(p, "ignore-resets", 0, 1 << 30, o.ignoreResets, c.error)
        || !toInt(p, "vanish-after", 0, 1 << 30, o.vanishAfter, c.error)
        || !toInt(p, "extra-reply-bytes", 0, 4096, o.readReplyExtraBytes, c.error))
        return c;
    o.fwVersion = static_cast<uint16_t>(fw);
    o.blVersion = static_cast<uint16_t>(bl);
    if (p.isSet("config")) {
        QFile f(p.value("config"));
        if (!f.open(QIODevice::ReadOnly)) {
            c.error = QStringLiteral("cannot read %1: %2").arg(f.fileName(), f.errorString());
            return c;
        }
        // One byte more than a block is enough to tell a wrong file, also an endless one.
        o.initialConfig = f.read(1409);
        if (o.initialConfig.size() != 1408) {
            QString size = QString::number(f.isSequential() ? o.initialConfig.size() : f.size());
            if (f.isSequential() && o.initialConfig.size() > 1408)
                size = QStringLiteral("more than 1408");
            c.error = QStringLiteral("%1 has %2 bytes; a configuration block has 1408").arg(f.fileName(), size);
            return c;
        }
    }
    if (p.isSet("new-project-config")) {
        if (p.isSet("config")) {
            c.error = QStringLiteral("--config and --new-project-config both name the starting configuration");
            return c;
        }
        TDevice_Config_v2 record = newProjectConfig();
        const TDeviceConfiguration block = buildUploadBlock(record);
        o.initialConfig = QByteArray(reinterpret_cast<const char*>(&block), sizeof block);
    }
    c.daemon = p.isSet("daemon");
    if (p.isSet("ready-fd")) {
        if (c.daemon) {
            c.error = QStringLiteral("--daemon tells its caller itself; give --ready-fd or --daemon, not both");
            return c;
        }
        if (!toInt(p, "ready-fd", 0, 1 << 20, c.readyFd, c.error))
            return c;
        if (::fcntl(c.readyFd, F_GETFD) == -1) {
            c.error = QStringLiteral("--ready-fd %1: no such open file descriptor").arg(c.readyFd);
            return c;
        }
    }
    c.linkPath = p.value("link");
    c.dumpDir = p.value("dump-dir");
    if (!c.linkPath.isEmpty())
        c.error = linkProblem(c.linkPath);
    if (c.error.isEmpty() && !c.dumpDir.isEmpty())
        c.error = dumpDirProblem(c.dumpDir);
    return c;
}
