#include "ui/config_editor/TGeneralPage.h"

#include "core/model/DeviceConfig.h"
#include "ui/config_editor/ServiceTextLayout.h"
#include "ui/common/Thint_Frame.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {
QCheckBox* namedBox(const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}
} // namespace

TGeneralPage::TGeneralPage(TDevice_Config_v2& record, QWidget* parent) : TConfigEditorPage(parent), m_record(record)
{
    setObjectName(QStringLiteral("RC_gen_cfg_TabSheet"));
    m_master = namedBox("master_ctrl_CheckBox", QStringLiteral("Master Controller"));
    m_showDp = namedBox("show_sp_dp_CheckBox", QStringLiteral("Show Setpoint As XX.X"));
    m_frost = namedBox("frost_protection_CheckBox", QStringLiteral("Frost Protection (Corvane-RTC only)"));
    // clicked, not toggled: showing a record sets the boxes without writing.
    connect(m_master, &QCheckBox::clicked, this, &TGeneralPage::master_ctrl_CheckBoxClick);
    connect(m_showDp, &QCheckBox::clicked, this, &TGeneralPage::show_sp_dp_CheckBoxClick);
    connect(m_frost, &QCheckBox::clicked, this, &TGeneralPage::frost_protection_CheckBoxClick);

    auto* options = new QGroupBox(QStringLiteral(" Options "));
    options->setObjectName(QStringLiteral("general_options_GroupBox"));
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(m_master);
    optionsLayout->addWidget(m_showDp);
    optionsLayout->addWidget(m_frost);

    // Side by side, so that the page fits a low window.
    auto* row = new QHBoxLayout;
    row->addWidget(options, 0, Qt::AlignTop);
    row->addWidget(buildServiceGroup(), 0, Qt::AlignTop);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(row);
    layout->addStretch(1);
}

QGroupBox* TGeneralPage::buildServiceGroup()
{
    auto* group = new QGroupBox(QStringLiteral(" Service Text (Max. 3 lines / 120 chars) "));
    group->setObjectName(QStringLiteral("service_text_GroupBox"));

    m_serviceText = new QPlainTextEdit;
    m_serviceText->setObjectName(QStringLiteral("service_text_Memo"));
    m_serviceText->setAccessibleName(QStringLiteral("Service Text"));
    m_serviceText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_serviceText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_serviceText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_serviceText->setTabChangesFocus(true);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(16);
    font.setBold(true);
    m_serviceText->setFont(font);
    // The info-tip colours while it can be edited; disabled (while a device
    // operation runs) it looks as disabled as every other control.
    QPalette memoPalette = m_serviceText->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        memoPalette.setColor(group, QPalette::Base, memoPalette.color(group, QPalette::ToolTipBase));
        memoPalette.setColor(group, QPalette::Text, memoPalette.color(group, QPalette::ToolTipText));
    }
    m_serviceText->setPalette(memoPalette);
    // A full 40-character line fits beside the scroll bar; a fourth line
    // shows below the three so that "Too many lines" has something to point at.
    const QFontMetrics metrics(font);
    const int frame = 2 * m_serviceText->frameWidth() + 2 * int(m_serviceText->document()->documentMargin());
    m_serviceText->setFixedWidth(41 * metrics.horizontalAdvance(QLatin1Char('W')) + frame
                                 + m_serviceText->verticalScrollBar()->sizeHint().width());
    m_serviceText->setFixedHeight(4 * metrics.lineSpacing() + frame);
    connect(m_serviceText, &QPlainTextEdit::textChanged, this, &TGeneralPage::service_text_MemoChange);

    m_charCount = new QLabel(QStringLiteral("(0/120)"));
    m_charCount->setObjectName(QStringLiteral("service_text_char_count_Label"));
    m_tooManyLines = new QLabel(QStringLiteral("Too many lines"));
    m_tooManyLines->setObjectName(QStringLiteral("service_text_toomanylines_Label"));
    m_tooManyLines->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    m_tooManyLines->hide();
    m_serviceHint = new Thint_Frame(3);
    m_serviceHint->setObjectName(QStringLiteral("service_text_hint_Frame"));

    auto* status = new QHBoxLayout;
    status->addWidget(m_charCount);
    status->addSpacing(16);
    status->addWidget(m_tooManyLines);
    status->addStretch(1);

    auto* editorColumn = new QVBoxLayout;
    editorColumn->addWidget(m_serviceText);
    editorColumn->addLayout(status);
    auto* row = new QHBoxLayout(group);
    row->addLayout(editorColumn);
    row->addWidget(m_serviceHint, 0, Qt::AlignTop);
    row->addStretch(1);
    return group;
}

void TGeneralPage::Show_Device_Config(const TDevice_Config_v2& config)
{
    showGeneralOptions(config);
    showFrostProtection(config);
    showServiceText(config);
}

void TGeneralPage::showGeneralOptions(const TDevice_Config_v2& config)
{
    m_master->setChecked(config.controller_type == 0);
    m_showDp->setChecked(config.show_setpoint_dp != 0);
}

void TGeneralPage::showFrostProtection(const TDevice_Config_v2& config)
{
    m_frost->setChecked(config.frost_protection_enabled != 0);
}

void TGeneralPage::showServiceText(const TDevice_Config_v2& config)
{
    QString text = Read_Service_Text(config);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The record's text is shown whole even where it is longer than a user
    // could type; only the line breaking applies to it.
    m_showingRecord = true;
    m_serviceText->setPlainText(text);
    m_showingRecord = false;
}

void TGeneralPage::writeDeviceConfig(TDevice_Config_v2& config) const
{
    // The record separates lines with CR alone.
    QString text = serviceText();
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    Write_Service_Text(text, config);
}

QString TGeneralPage::serviceText() const
{
    return m_serviceText->toPlainText();
}

bool TGeneralPage::serviceTextTooManyLines() const
{
    return ServiceTextLayout::lineCount(serviceText()) > ServiceTextLayout::kMaxLines;
}

void TGeneralPage::master_ctrl_CheckBoxClick()
{
    m_record.controller_type = m_master->isChecked() ? 0 : 1;
    emit changed();
}

void TGeneralPage::show_sp_dp_CheckBoxClick()
{
    m_record.show_setpoint_dp = m_showDp->isChecked() ? 1 : 0;
    emit changed();
}

void TGeneralPage::frost_protection_CheckBoxClick()
{
    m_record.frost_protection_enabled = m_frost->isChecked() ? 1 : 0;
    emit changed();
}

void TGeneralPage::service_text_MemoChange()
{
    // Rewriting the text below is itself a change; its rules have already run.
    if (m_inMemoChange)
        return;
    m_inMemoChange = true;
    const QString text = m_serviceText->toPlainText();
    const int caret = m_serviceText->textCursor().position();
    const ServiceTextLayout::Result laid
        = m_showingRecord ? ServiceTextLayout::wrap(text, caret) : ServiceTextLayout::limit(text, caret);
    if (laid.text != text) {
        QTextCursor cursor(m_serviceText->document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(laid.text);
        cursor.endEditBlock();
    }
    if (laid.text != text || caret != laid.caret) {
        QTextCursor restored = m_serviceText->textCursor();
        restored.setPosition(qBound(0, laid.caret, int(laid.text.size())));
        m_serviceText->setTextCursor(restored);
    }
    m_charCount->setText(QStringLiteral("%1/120").arg(ServiceTextLayout::characterCount(laid.text)));
    m_tooManyLines->setVisible(ServiceTextLayout::lineCount(laid.text) > ServiceTextLayout::kMaxLines);
    m_inMemoChange = false;
    emit changed();
}
