#include "ui/device/TDeviceScanPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TDeviceScanPanel::TDeviceScanPanel(QWidget* parent)
    : QFrame(parent)
    , m_label(new QLabel(QStringLiteral("Searching for Corvane R/C....."), this))
    , m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("device_scan_Panel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_label->setObjectName(QStringLiteral("device_scan_Label"));
    m_bar->setObjectName(QStringLiteral("device_scan_ProgressBar"));
    m_bar->setAccessibleName(m_label->text());
    m_bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    setMinimumWidth(260);
    adjustSize();
    hide();
}

void TDeviceScanPanel::setProgress(int position, int maximum)
{
    m_bar->setRange(0, qMax(1, maximum));
    m_bar->setValue(qBound(0, position, qMax(1, maximum)));
}
