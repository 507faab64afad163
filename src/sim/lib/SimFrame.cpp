#include "sim/lib/SimFrame.h"

QJsonObject SimFrame::toJson() const
{
    return QJsonObject{
        {"index", index},     {"time_ms", timeMs},
        {"command", command}, {"address", static_cast<qint64>(address)},
        {"length", length},   {"header_ok", headerOk},
        {"data_ok", dataOk},  {"complete", complete},
        {"reply", reply},     {"bytes", QString::fromLatin1(bytes.toHex())},
    };
}
