#include "core/messaging/TWindowMessageEvent.h"

const QEvent::Type TWindowMessageEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

TWindowMessageEvent::TWindowMessageEvent(int message, quint32 wParamValue, quint32 lParamValue)
    : QEvent(kType)
    , msg(message)
    , wParam(wParamValue)
    , lParam(lParamValue)
{
}
