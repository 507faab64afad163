#include "ui/device/TDeviceScanPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TDeviceScanPanel::TDeviceScanPanel(QWidget* parent)
    : QFrame(parent)
    , label(new QLabel(QStringLiteral("Searching for Corvane R/C....."), this))
    , bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("device_scan_Panel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    label->setObjectName(QStringLiteral("device_scan_Label"));
    bar->setObjectName(QStringLiteral("device_scan_ProgressBar"));
    bar->setAccessibleName(label->text());
    bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(bar);
    setMinimumWidth(260);
    adjustSize();
    hide();
}

void TDeviceScanPanel::Set_Progress(int position, int maximum)
{
    bar->setRange(0, qMax(1, maximum));
    bar->setValue(qBound(0, position, qMax(1, maximum)));
}
