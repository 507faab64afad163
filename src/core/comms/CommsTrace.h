#pragma once
// Serial traffic for support: with the rule "corvane.comms.debug=true"
// (QT_LOGGING_RULES or a qtlogging.ini) every frame sent and every chunk
// received is logged in hex, stamped with the time since the port opened.
// Off by default; warnings and above are always shown.

#include <QLoggingCategory>
#include <QString>

#include <cstddef>
#include <cstdint>

Q_DECLARE_LOGGING_CATEGORY(lcComms)

// "12.3 ms /dev/ttyUSB0 tx 10: 01 0c 00 00 00 00 00 00 96 5c"
QString commsTraceLine(double msSinceOpen, const QString& port, const char* direction, const uint8_t* bytes,
                       std::size_t length);
