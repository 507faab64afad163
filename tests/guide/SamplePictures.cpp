#include "SamplePictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

QImage sampleBackground(int width, int height, QColor sky)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, sky);
    gradient.setColorAt(1, QColor(250, 235, 200));
    p.fillRect(image.rect(), gradient);
    QRadialGradient sun(width * 0.75, height * 0.3, height * 0.18);
    sun.setColorAt(0, QColor(255, 240, 150));
    sun.setColorAt(1, QColor(255, 190, 60));
    p.setBrush(sun);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(width * 0.75, height * 0.3), height * 0.15, height * 0.15);
    p.setBrush(QColor(70, 130, 70));
    p.drawEllipse(QRectF(-width * 0.2, height * 0.65, width * 0.9, height * 0.8));
    p.setBrush(QColor(50, 105, 60));
    p.drawEllipse(QRectF(width * 0.35, height * 0.7, width * 0.9, height * 0.7));
    return image;
}

QImage sampleLogo(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(20, 70, 140));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, width - 8, height - 8), 12, 12);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(height / 3);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("ACME"));
    return image;
}

QImage sampleNotice(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(245, 245, 240));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, width, height / 5), QColor(20, 70, 140));
    QFont font = p.font();
    font.setPixelSize(height / 9);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, width, height / 5), Qt::AlignCenter, QStringLiteral("Meeting room 4"));
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(0, height / 5, width, height * 4 / 5), Qt::AlignCenter,
               QStringLiteral("Service: call 0123 456 789\nAsk at the front desk"));
    return image;
}
