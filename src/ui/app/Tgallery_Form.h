#pragma once

#include "ui/common/TDM_images.h"

#include <QDialog>

class QLabel;
class QListWidget;

// Preview pictures of the controller, chosen from a strip of thumbnails.
class TgalleryForm : public QDialog {
    Q_OBJECT
public:
    explicit TgalleryForm(QWidget* parent = nullptr);

    int pictureCount() const;
    void showPicture(int index);
    // What the constructor renders: every thumbnail and the first picture.
    static QList<TPictureRequest> startUpPictures();

private:
    QListWidget* m_thumbs;
    QLabel* m_view;
};
