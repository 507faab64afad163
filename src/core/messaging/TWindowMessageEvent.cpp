#include "core/messaging/TWindowMessageEvent.h"

const QEvent::Type TWindowMessageEvent::Type = static_cast<QEvent::Type>(QEvent::registerEventType());

TWindowMessageEvent::TWindowMessageEvent(int msg_, quint32 wParam_, quint32 lParam_)
    : QEvent(Type)
    , msg(msg_)
    , wParam(wParam_)
    , lParam(lParam_)
{
}
