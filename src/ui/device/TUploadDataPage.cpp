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
    sendConfig = new QCheckBox(QStringLiteral("Upload Configuration"), this);
    sendConfig->setObjectName(QStringLiteral("send_Config_CheckBox"));
    sendImage = new QCheckBox(QStringLiteral("Upload Images"), this);
    sendImage->setObjectName(QStringLiteral("send_Image_CheckBox"));
    uploadButton = new QPushButton(QStringLiteral("Upload Data"), this);
    uploadButton->setObjectName(QStringLiteral("upload_data_BitBtn"));
    commissionButton = new QPushButton(QStringLiteral("Commission..."), this);
    commissionButton->setObjectName(QStringLiteral("commission_Button"));
    commissionButton->setAccessibleName(QStringLiteral("Commission..."));
    configProgress = new QProgressBar(this);
    configProgress->setObjectName(QStringLiteral("upload_config_ProgressBar"));
    configProgress->setAccessibleName(QStringLiteral("Upload Configuration progress"));
    imageProgress = new QProgressBar(this);
    imageProgress->setObjectName(QStringLiteral("upload_img_ProgressBar"));
    imageProgress->setAccessibleName(QStringLiteral("Upload Images progress"));
    for (QProgressBar* bar : {configProgress, imageProgress}) {
        bar->setRange(0, 1);
        bar->setValue(0);
    }

    connect(sendConfig, &QCheckBox::clicked, this, &TUploadDataPage::send_Config_CheckBoxClick);
    connect(sendImage, &QCheckBox::clicked, this, &TUploadDataPage::send_Config_CheckBoxClick);

    auto* progress = new QFormLayout;
    progress->addRow(sendConfig, configProgress);
    progress->addRow(sendImage, imageProgress);
    auto* layout = new QVBoxLayout(this);
    auto* hint = new Thint_Frame(9, this);
    hint->setObjectName(QStringLiteral("upload_data_hint_Frame"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(uploadButton);
    buttonRow->addWidget(hint);
    buttonRow->addWidget(commissionButton);
    buttonRow->addStretch(1);
    layout->addLayout(progress);
    layout->addLayout(buttonRow);
    layout->addStretch(1);
    send_Config_CheckBoxClick();
}

void TUploadDataPage::Tick_Both()
{
    sendConfig->setChecked(true);
    sendImage->setChecked(true);
    send_Config_CheckBoxClick();
}

void TUploadDataPage::send_Config_CheckBoxClick()
{
    uploadButton->setEnabled(m_deviceButtonsEnabled && (sendConfig->isChecked() || sendImage->isChecked()));
}

void TUploadDataPage::Enable_Upload_Button(bool deviceButtonsEnabled)
{
    m_deviceButtonsEnabled = deviceButtonsEnabled;
    send_Config_CheckBoxClick();
}

void TUploadDataPage::Enable_Boxes(bool enabled)
{
    sendConfig->setEnabled(enabled);
    sendImage->setEnabled(enabled);
}
