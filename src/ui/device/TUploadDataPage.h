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

    QCheckBox* send_Config_CheckBox() const { return m_sendConfig; }
    QCheckBox* send_Image_CheckBox() const { return m_sendImage; }
    QPushButton* upload_data_BitBtn() const { return m_uploadButton; }
    // Opens the commissioning window: this project to many controllers.
    QPushButton* commissionButton() const { return m_commissionButton; }
    QProgressBar* upload_config_ProgressBar() const { return m_configProgress; }
    QProgressBar* upload_img_ProgressBar() const { return m_imageProgress; }

    // Both boxes ticked, as every project starts.
    void tickBoth();
    // The device buttons' state: "Upload Data" then also needs a ticked box.
    void enableUploadButton(bool deviceButtonsEnabled);
    void enableBoxes(bool enabled);

public slots:
    // "Upload Data" is only offered while there is something to upload.
    void send_Config_CheckBoxClick();

private:
    QCheckBox* m_sendConfig = nullptr;
    QCheckBox* m_sendImage = nullptr;
    QPushButton* m_uploadButton = nullptr;
    QPushButton* m_commissionButton = nullptr;
    QProgressBar* m_configProgress = nullptr;
    QProgressBar* m_imageProgress = nullptr;
    bool m_deviceButtonsEnabled = true;
};
