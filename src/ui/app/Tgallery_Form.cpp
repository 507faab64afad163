#include "ui/app/Tgallery_Form.h"

#include "ui/common/TDM_images.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
const QSize kView(690, 362);
const QSize kThumb(138, 72);
const char* const kCaptions[] = {"Home screen", "Weekly schedule", "Information screen", "Clock (RTC model)"};
} // namespace

TgalleryForm::TgalleryForm(QWidget* parent) : QDialog(parent), m_thumbs(new QListWidget(this)), m_view(new QLabel(this))
{
    setObjectName(QStringLiteral("gallery_Form"));
    setWindowTitle(QStringLiteral(" Gallery"));
    m_view->setObjectName(QStringLiteral("gallery_Image"));
    m_view->setFixedSize(kView);
    m_view->setAlignment(Qt::AlignCenter);

    m_thumbs->setObjectName(QStringLiteral("gallery_ListWidget"));
    m_thumbs->setViewMode(QListView::IconMode);
    m_thumbs->setFlow(QListView::LeftToRight);
    m_thumbs->setWrapping(false);
    m_thumbs->setMovement(QListView::Static);
    m_thumbs->setIconSize(kThumb);
    m_thumbs->setFixedHeight(kThumb.height() + 48);
    const QStringList& names = TDM_imagestore::galleryNames();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(picture(names[i], kThumb))),
                                         QString::fromLatin1(kCaptions[i]), m_thumbs);
        item->setData(Qt::UserRole, names[i]);
    }
    connect(m_thumbs, &QListWidget::currentRowChanged, this, &TgalleryForm::showPicture);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 0, Qt::AlignHCenter);
    layout->addWidget(m_thumbs);
    layout->addWidget(buttons);
    m_thumbs->setCurrentRow(0);
}

int TgalleryForm::pictureCount() const
{
    return m_thumbs->count();
}

QList<TPictureRequest> TgalleryForm::startUpPictures()
{
    QList<TPictureRequest> requests;
    const QStringList& names = TDM_imagestore::galleryNames();
    for (const QString& name : names)
        requests.append({name, kThumb});
    if (!names.isEmpty())
        requests.append({names.constFirst(), kView * qApp->devicePixelRatio()});
    return requests;
}

void TgalleryForm::showPicture(int index)
{
    if (index < 0 || index >= m_thumbs->count())
        return;
    if (m_thumbs->currentRow() != index)
        m_thumbs->setCurrentRow(index);
    const QString name = m_thumbs->item(index)->data(Qt::UserRole).toString();
    const qreal dpr = devicePixelRatioF();
    QPixmap pix = QPixmap::fromImage(picture(name, kView * dpr));
    pix.setDevicePixelRatio(dpr);
    m_view->setPixmap(pix);
}
