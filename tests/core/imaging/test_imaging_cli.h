#pragma once
#include <QObject>
#include <QTemporaryDir>

// corvane-cli's preview and image-block commands, run as the installer runs them.
class TestImagingCli : public QObject {
    Q_OBJECT
private slots:
    void imageBlockMatchesTheUploadBlock();
    void imageBlockRefusesABrokenProject();
    void previewWritesPictureAndPackedBytes();
    void previewRefusesBadArguments_data();
    void previewRefusesBadArguments();

private:
    QTemporaryDir m_dir;
};
