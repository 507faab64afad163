#include "ui/app/Tsplash_Form.h"

#include "core/resources/ProgramVersion.h"
#include "ui/common/TDM_images.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

TsplashForm::TsplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_product(new QLabel(productName(), this))
    , m_version(new QLabel(QStringLiteral("Version %1").arg(programVersion()), this))
    , m_progress(new QProgressBar(this))
{
    setObjectName(QStringLiteral("splash_Form"));
    // The picture's own alpha shapes the window: rounded corners and a soft shadow.
    setAttribute(Qt::WA_TranslucentBackground);
    const qreal dpr = screen() ? screen()->devicePixelRatio() : 1.0;
    const QSize size(560, 320);
    m_splash = picture(QStringLiteral("SPLASH_PNG"), size * dpr);
    m_splash.setDevicePixelRatio(dpr);
    setFixedSize(size);

    m_product->setObjectName(QStringLiteral("product_Label"));
    m_version->setObjectName(QStringLiteral("version_Label"));
    m_progress->setObjectName(QStringLiteral("splash_ProgressBar"));
    QFont big = m_product->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    m_product->setFont(big);
    m_product->setWordWrap(true);
    m_product->setFixedWidth(290);
    m_product->setStyleSheet(QStringLiteral("color: white;"));
    m_version->setStyleSheet(QStringLiteral("color: #D6EAF8;"));
    m_progress->setRange(0, kStages);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 90, 40, 40);
    layout->addWidget(m_product);
    layout->addWidget(m_version);
    layout->addStretch(1);
    layout->addWidget(m_progress);

    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void TsplashForm::advance()
{
    m_progress->setValue(qMin(m_progress->value() + 1, m_progress->maximum()));
}

void TsplashForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(rect(), m_splash);
}
