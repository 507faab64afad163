#pragma once

#include <QEvent>
#include <QtGlobal>

// A window message released by the posted-message queue (or posted straight
// to a window with QCoreApplication::postEvent). The receiving window handles
// it in event() / customEvent() by testing type() == TWindowMessageEvent::kType.
class TWindowMessageEvent : public QEvent {
public:
    static const QEvent::Type kType;

    TWindowMessageEvent(int msg, quint32 wParam, quint32 lParam);

    int msg;
    quint32 wParam;
    quint32 lParam;
};
