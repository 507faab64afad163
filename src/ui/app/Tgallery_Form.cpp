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

Tgallery_Form::Tgallery_Form(QWidget* parent) : QDialog(parent), thumbs_(new QListWidget(this)), view_(new QLabel(this))
{
    setObjectName(QStringLiteral("gallery_Form"));
    setWindowTitle(QStringLiteral(" Gallery"));
    view_->setObjectName(QStringLiteral("gallery_Image"));
    view_->setFixedSize(kView);
    view_->setAlignment(Qt::AlignCenter);

    thumbs_->setObjectName(QStringLiteral("gallery_ListWidget"));
    thumbs_->setViewMode(QListView::IconMode);
    thumbs_->setFlow(QListView::LeftToRight);
    thumbs_->setWrapping(false);
    thumbs_->setMovement(QListView::Static);
    thumbs_->setIconSize(kThumb);
    thumbs_->setFixedHeight(kThumb.height() + 48);
    const QStringList& names = TDM_imagestore::galleryNames();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(picture(names[i], kThumb))),
                                         QString::fromLatin1(kCaptions[i]), thumbs_);
        item->setData(Qt::UserRole, names[i]);
    }
    connect(thumbs_, &QListWidget::currentRowChanged, this, &Tgallery_Form::showPicture);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 0, Qt::AlignHCenter);
    layout->addWidget(thumbs_);
    layout->addWidget(buttons);
    thumbs_->setCurrentRow(0);
}

int Tgallery_Form::pictureCount() const
{
    return thumbs_->count();
}

QList<TPictureRequest> Tgallery_Form::startUpPictures()
{
    QList<TPictureRequest> requests;
    const QStringList& names = TDM_imagestore::galleryNames();
    for (const QString& name : names)
        requests.append({name, kThumb});
    if (!names.isEmpty())
        requests.append({names.constFirst(), kView * qApp->devicePixelRatio()});
    return requests;
}

void Tgallery_Form::showPicture(int index)
{
    if (index < 0 || index >= thumbs_->count())
        return;
    if (thumbs_->currentRow() != index)
        thumbs_->setCurrentRow(index);
    const QString name = thumbs_->item(index)->data(Qt::UserRole).toString();
    const qreal dpr = devicePixelRatioF();
    QPixmap pix = QPixmap::fromImage(picture(name, kView * dpr));
    pix.setDevicePixelRatio(dpr);
    view_->setPixmap(pix);
}
