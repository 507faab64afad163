#include "ui/app/Tabout_Form.h"

#include "core/resources/ProgramVersion.h"
#include "ui/common/TDM_images.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

TaboutForm::TaboutForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("about_Form"));
    setWindowTitle(QStringLiteral(" About"));

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(picture(QStringLiteral("APP_ICON_PNG"), QSize(96, 96))));
    auto* product = new QLabel(productName(), this);
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    product->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(programVersion()), this);
    version->setObjectName(QStringLiteral("version_Label"));
    auto* details = new QLabel(QStringLiteral("Configuration, image and firmware tool\nfor the Corvane R/C wall "
                                              "controller.\n\nBuilt with Qt %1.")
                                   .arg(QString::fromLatin1(qVersion())),
                               this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(details, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
