#include "ui/imaging/TImageFrame.h"

#include "core/model/ProjectModel.h"
#include "ui/imaging/TImageFrameAccessible.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr int kPadding = 8;
constexpr int kSmallestContent = 50;
constexpr int kVeilOpacity = 205;
} // namespace

TFrameGeometry TImageFrame::frameGeometry(QSize image, QSize caption)
{
    const int contentWidth = qMax(qMax(image.width(), caption.width() + 2), kSmallestContent);
    const int contentHeight = qMax(image.height() + caption.height() + 4, kSmallestContent);
    const int above = contentHeight - caption.height();
    TFrameGeometry g;
    g.frame = QSize(contentWidth + 2 * kPadding, contentHeight + 2 * kPadding);
    g.image = QRect(kPadding + (contentWidth - image.width()) / 2, kPadding + (above - image.height()) / 2,
                    image.width(), image.height());
    g.caption = QRect(kPadding, kPadding + above, contentWidth, caption.height());
    return g;
}

TImageFrame::TImageFrame(const TCell_object& cell, const QImage& background, const QImage& veil, QWidget* parent)
    : QWidget(parent)
    , m_pictureId(cell.pictureId)
    , m_name(cell.name)
    , m_included(cell.included)
    , m_imageSize(cell.pHandle ? QSize(cell.pHandle->width, cell.pHandle->height) : cell.bmp.size())
    , m_backdrop(new QLabel(this))
    , m_image(new QLabel(this))
    , m_notIncluded(new QLabel(QStringLiteral("Not Included"), this))
    , m_caption(new QLabel(this))
{
    m_backdrop->setObjectName(QStringLiteral("Image1"));
    m_image->setObjectName(QStringLiteral("Cell_Image"));
    m_notIncluded->setObjectName(QStringLiteral("NotInc_Label"));
    m_caption->setObjectName(QStringLiteral("Label1"));
    // The frame speaks for its parts: one accessible object per image.
    for (QLabel* part : {m_backdrop, m_image, m_caption})
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_backdrop->setPixmap(QPixmap::fromImage(background));
    m_backdrop->setAccessibleName(QStringLiteral("Image background"));

    QImage shown(m_imageSize, QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    {
        QPainter painter(&shown);
        if (!cell.bmp.isNull())
            painter.drawImage(QRect(QPoint(0, 0), m_imageSize), cell.bmp);
        if (!cell.included) {
            painter.setOpacity(kVeilOpacity / 255.0);
            painter.drawImage(QRect(QPoint(0, 0), m_imageSize), veil);
        }
    }
    m_image->setPixmap(QPixmap::fromImage(shown));

    m_notIncluded->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    m_notIncluded->setAlignment(Qt::AlignCenter);
    m_notIncluded->setVisible(!cell.included);
    m_notIncluded->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_caption->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    showName(cell.name);
}

void TImageFrame::showName(const QString& name)
{
    m_name = name;
    m_caption->setText(name);
    setAccessibleName(name);
    // Tools that walk the widgets rather than the frame's accessible object
    // meet the picture under its image's name.
    m_image->setAccessibleName(name);
    layOut();
    updateGeometry();
}

void TImageFrame::layOut()
{
    const QFontMetrics metrics = m_caption->fontMetrics();
    const QSize caption(metrics.horizontalAdvance(m_caption->text()), metrics.height());
    m_geometry = frameGeometry(m_imageSize, caption);
    setFixedSize(m_geometry.frame);
    m_backdrop->setGeometry(m_geometry.image);
    m_image->setGeometry(m_geometry.image);
    m_notIncluded->setGeometry(m_geometry.image);
    m_caption->setGeometry(m_geometry.caption);
}

void TImageFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
}
