#pragma once
// One sub-page of the "Configuration" page. A page shows the configuration
// record, writes into it what it holds back (most pages write each change at
// once and have nothing left to write), and reports every change the user
// makes so the project is marked modified.

#include "core/model/DeviceConfigRecords.h"

#include <QWidget>

class TConfigEditorPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void Show_Device_Config(const TDevice_Config_v2& config) = 0;
    virtual void writeDeviceConfig(TDevice_Config_v2& config) const = 0;

signals:
    void changed();
    // The name of the undo step of the change that follows, where the change
    // itself cannot tell it (a copy names its source day).
    void changeNamed(const QString& text);
};
