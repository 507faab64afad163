#pragma once
#include <QObject>

class TestWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void everyPageFitsTheWindow();
    void imagesAndUploadPagesCarryTheirBadges();
};
