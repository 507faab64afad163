#include "ui/app/Tsplash_Form.h"

#include "core/resources/ProgramVersion.h"
#include "ui/common/TDM_images.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

Tsplash_Form::Tsplash_Form(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , product_(new QLabel(Product_Name(), this))
    , version_(new QLabel(QStringLiteral("Version %1").arg(Program_Version()), this))
    , progress_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("splash_Form"));
    // The picture's own alpha shapes the window: rounded corners and a soft shadow.
    setAttribute(Qt::WA_TranslucentBackground);
    const qreal dpr = screen() ? screen()->devicePixelRatio() : 1.0;
    const QSize size(560, 320);
    splash_ = picture(QStringLiteral("SPLASH_PNG"), size * dpr);
    splash_.setDevicePixelRatio(dpr);
    setFixedSize(size);

    product_->setObjectName(QStringLiteral("product_Label"));
    version_->setObjectName(QStringLiteral("version_Label"));
    progress_->setObjectName(QStringLiteral("splash_ProgressBar"));
    QFont big = product_->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    product_->setFont(big);
    product_->setWordWrap(true);
    product_->setFixedWidth(290);
    product_->setStyleSheet(QStringLiteral("color: white;"));
    version_->setStyleSheet(QStringLiteral("color: #D6EAF8;"));
    progress_->setRange(0, kStages);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 90, 40, 40);
    layout->addWidget(product_);
    layout->addWidget(version_);
    layout->addStretch(1);
    layout->addWidget(progress_);

    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void Tsplash_Form::Step()
{
    progress_->setValue(qMin(progress_->value() + 1, progress_->maximum()));
}

void Tsplash_Form::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(rect(), splash_);
}
