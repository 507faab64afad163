#include "ui/app/Tinfo_Form.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

Tinfo_Form::Tinfo_Form(QWidget* parent) : QDialog(parent), text_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("info_Form"));
    setWindowTitle(QStringLiteral(" Useful Information"));
    resize(620, 560);

    text_->setObjectName(QStringLiteral("info_TextBrowser"));
    text_->setOpenExternalLinks(false);
    QFile file(QStringLiteral(":/texts/useful_information.html"));
    if (file.open(QIODevice::ReadOnly))
        text_->setHtml(QString::fromUtf8(file.readAll()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
}
