#include "TScriptedDeviceHost.h"

#include "core/device/FirmwareWindowInfo.h"
#include "core/device/TDeviceOperations.h"

TDeviceAnswer TScriptedDeviceHost::Show_Message_Box(const QString& text, TDeviceBoxKind kind, TDeviceButtons buttons,
                                                    TDeviceAnswer)
{
    boxes << Box{text, kind, buttons};
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (buttons) {
    case TDeviceButtons::RetryCancel: return TDeviceAnswer::Cancel;
    case TDeviceButtons::YesNo: return TDeviceAnswer::No;
    case TDeviceButtons::Ok: break;
    }
    return TDeviceAnswer::Ok;
}

void TScriptedDeviceHost::setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool error)
{
    progress[int(bar)] = Progress{position, maximum, error};
    if (onProgress)
        onProgress(bar, position);
}

void TScriptedDeviceHost::showFirmwareWindow()
{
    firmwareWindowShown = true;
    ++firmwareWindowShows;
    if (upgradeOnShow) {
        prepareFirmwareWindow(upgradeOnShow->link());
        upgradeOnShow->startFirmwareUpgrade();
    }
}

QList<int> TScriptedDeviceHost::codes() const
{
    QList<int> out;
    for (const Entry& e : log)
        out << e.code;
    return out;
}

int TScriptedDeviceHost::count(int code) const
{
    return int(codes().count(code));
}

QString TScriptedDeviceHost::infoOf(int code) const
{
    for (auto it = log.crbegin(); it != log.crend(); ++it)
        if (it->code == code)
            return it->info;
    return {};
}
