#pragma once
// The "Upload Data" page: what to send, the button that sends it and a
// progress bar for each part.

#include <QWidget>

class QCheckBox;
class QProgressBar;
class QPushButton;

class TUploadDataPage : public QWidget {
    Q_OBJECT
public:
    explicit TUploadDataPage(QWidget* parent = nullptr);

    QCheckBox* send_Config_CheckBox() const { return sendConfig; }
    QCheckBox* send_Image_CheckBox() const { return sendImage; }
    QPushButton* upload_data_BitBtn() const { return uploadButton; }
    // Opens the commissioning window: this project to many controllers.
    QPushButton* commission_Button() const { return commissionButton; }
    QProgressBar* upload_config_ProgressBar() const { return configProgress; }
    QProgressBar* upload_img_ProgressBar() const { return imageProgress; }

    // Both boxes ticked, as every project starts.
    void Tick_Both();
    // The device buttons' state: "Upload Data" then also needs a ticked box.
    void Enable_Upload_Button(bool deviceButtonsEnabled);
    void Enable_Boxes(bool enabled);

public slots:
    // "Upload Data" is only offered while there is something to upload.
    void send_Config_CheckBoxClick();

private:
    QCheckBox* sendConfig = nullptr;
    QCheckBox* sendImage = nullptr;
    QPushButton* uploadButton = nullptr;
    QPushButton* commissionButton = nullptr;
    QProgressBar* configProgress = nullptr;
    QProgressBar* imageProgress = nullptr;
    bool m_deviceButtonsEnabled = true;
};
