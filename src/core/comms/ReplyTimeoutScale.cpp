#include "core/comms/ReplyTimeoutScale.h"

#include <QString>

#include <cmath>

int replyTickMs()
{
    bool ok = false;
    const double scale = qEnvironmentVariable(kReplyTimeoutScaleVariable).toDouble(&ok);
    if (!ok || !(scale >= 0.1 && scale < 1.0))
        return kReplyTickMs;
    return int(std::lround(kReplyTickMs * scale));
}
