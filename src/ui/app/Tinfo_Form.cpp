#include "ui/app/Tinfo_Form.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

TinfoForm::TinfoForm(QWidget* parent) : QDialog(parent), m_text(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("info_Form"));
    setWindowTitle(QStringLiteral(" Useful Information"));
    resize(620, 560);

    m_text->setObjectName(QStringLiteral("info_TextBrowser"));
    m_text->setOpenExternalLinks(false);
    QFile file(QStringLiteral(":/texts/useful_information.html"));
    if (file.open(QIODevice::ReadOnly))
        m_text->setHtml(QString::fromUtf8(file.readAll()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
}
