#include "ui/config_editor/TGeneralPage.h"

#include "core/model/DeviceConfig.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TGeneralPage::TGeneralPage(QWidget* parent) : TConfigEditorPage(parent)
{
    setObjectName(QStringLiteral("RC_gen_cfg_TabSheet"));
    m_serviceText = new QPlainTextEdit(this);
    m_serviceText->setObjectName(QStringLiteral("service_text_Memo"));
    connect(m_serviceText, &QPlainTextEdit::textChanged, this, &TConfigEditorPage::changed);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_serviceText);
    layout->addStretch(1);
}

void TGeneralPage::Show_Device_Config(const TDevice_Config_v2& config)
{
    QString text = Read_Service_Text(config);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_serviceText->setPlainText(text);
}

void TGeneralPage::writeDeviceConfig(TDevice_Config_v2& config) const
{
    // The record separates lines with CR; the editor's own line breaks
    // become CR LF first, as the record's writer expects.
    QString crlf = serviceText();
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    Write_Service_Text(crlf, config);
}

QString TGeneralPage::serviceText() const
{
    return m_serviceText->toPlainText();
}
