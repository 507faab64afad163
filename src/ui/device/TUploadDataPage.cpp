#include "ui/device/TUploadDataPage.h"

#include "ui/common/Thint_Frame.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TUploadDataPage::TUploadDataPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("upload_TabSheet"));
    m_sendConfig = new QCheckBox(QStringLiteral("Upload Configuration"), this);
    m_sendConfig->setObjectName(QStringLiteral("send_Config_CheckBox"));
    m_sendImage = new QCheckBox(QStringLiteral("Upload Images"), this);
    m_sendImage->setObjectName(QStringLiteral("send_Image_CheckBox"));
    m_uploadButton = new QPushButton(QStringLiteral("Upload Data"), this);
    m_uploadButton->setObjectName(QStringLiteral("upload_data_BitBtn"));
    m_commissionButton = new QPushButton(QStringLiteral("Commission..."), this);
    m_commissionButton->setObjectName(QStringLiteral("commission_Button"));
    m_commissionButton->setAccessibleName(QStringLiteral("Commission..."));
    m_configProgress = new QProgressBar(this);
    m_configProgress->setObjectName(QStringLiteral("upload_config_ProgressBar"));
    m_configProgress->setAccessibleName(QStringLiteral("Upload Configuration progress"));
    m_imageProgress = new QProgressBar(this);
    m_imageProgress->setObjectName(QStringLiteral("upload_img_ProgressBar"));
    m_imageProgress->setAccessibleName(QStringLiteral("Upload Images progress"));
    for (QProgressBar* bar : {m_configProgress, m_imageProgress}) {
        bar->setRange(0, 1);
        bar->setValue(0);
    }

    connect(m_sendConfig, &QCheckBox::clicked, this, &TUploadDataPage::send_Config_CheckBoxClick);
    connect(m_sendImage, &QCheckBox::clicked, this, &TUploadDataPage::send_Config_CheckBoxClick);

    auto* progress = new QFormLayout;
    progress->addRow(m_sendConfig, m_configProgress);
    progress->addRow(m_sendImage, m_imageProgress);
    auto* layout = new QVBoxLayout(this);
    auto* hint = new Thint_Frame(9, this);
    hint->setObjectName(QStringLiteral("upload_data_hint_Frame"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_uploadButton);
    buttonRow->addWidget(hint);
    buttonRow->addWidget(m_commissionButton);
    buttonRow->addStretch(1);
    layout->addLayout(progress);
    layout->addLayout(buttonRow);
    layout->addStretch(1);
    send_Config_CheckBoxClick();
}

void TUploadDataPage::tickBoth()
{
    m_sendConfig->setChecked(true);
    m_sendImage->setChecked(true);
    send_Config_CheckBoxClick();
}

void TUploadDataPage::send_Config_CheckBoxClick()
{
    m_uploadButton->setEnabled(m_deviceButtonsEnabled && (m_sendConfig->isChecked() || m_sendImage->isChecked()));
}

void TUploadDataPage::enableUploadButton(bool deviceButtonsEnabled)
{
    m_deviceButtonsEnabled = deviceButtonsEnabled;
    send_Config_CheckBoxClick();
}

void TUploadDataPage::enableBoxes(bool enabled)
{
    m_sendConfig->setEnabled(enabled);
    m_sendImage->setEnabled(enabled);
}
