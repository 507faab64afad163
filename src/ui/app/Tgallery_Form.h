#pragma once

#include "ui/common/TDM_images.h"

#include <QDialog>

class QLabel;
class QListWidget;

// Preview pictures of the controller, chosen from a strip of thumbnails.
class Tgallery_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tgallery_Form(QWidget* parent = nullptr);

    int pictureCount() const;
    void showPicture(int index);
    // What the constructor renders: every thumbnail and the first picture.
    static QList<TPictureRequest> startUpPictures();

private:
    QListWidget* thumbs_;
    QLabel* view_;
};
