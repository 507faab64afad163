#pragma once
// The "Upload Data" page: what to send and the button that sends it.

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

    // Both boxes ticked, as every project starts.
    void Tick_Both();

public slots:
    // "Upload Data" is only offered while there is something to upload.
    void send_Config_CheckBoxClick();

private:
    QCheckBox* sendConfig = nullptr;
    QCheckBox* sendImage = nullptr;
    QPushButton* uploadButton = nullptr;
    QProgressBar* configProgress = nullptr;
    QProgressBar* imageProgress = nullptr;
};
