#include "ui/app/Tsettings_Form.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

TsettingsForm::TsettingsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("settings_Form"));
    setWindowTitle(QStringLiteral(" Settings"));
    resize(360, 240);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(buttons);
}
