#include "ui/config_editor/TGeneralPage.h"

#include "core/model/DeviceConfig.h"
#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/ServiceTextLayout.h"
#include "ui/config_editor/TServiceTextMemo.h"

#include <QCheckBox>
#include <QColor>
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

TGeneralPage::TGeneralPage(const TDevice_Config_v2& record, QWidget* parent) : TConfigEditorPage(record, parent)
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

    m_serviceText = new TServiceTextMemo;
    m_serviceText->setObjectName(QStringLiteral("service_text_Memo"));
    m_serviceText->setAccessibleName(QStringLiteral("Service Text"));
    // Edited lines are flowed to 40 columns and the box is wider than that, so
    // the box's own wrap only shows a stored line longer than 40 (a new
    // project's text is one line of 45) whole, without changing its bytes.
    m_serviceText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
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
    connect(m_serviceText, &TServiceTextMemo::edited, this, &TGeneralPage::service_text_MemoChange);

    m_charCount = new QLabel(QStringLiteral("(0/120)"));
    m_charCount->setObjectName(QStringLiteral("service_text_char_count_Label"));
    m_tooManyLines = new QLabel(QStringLiteral("Too many lines"));
    m_tooManyLines->setObjectName(QStringLiteral("service_text_toomanylines_Label"));
    m_tooManyLines->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    m_tooManyLines->hide();
    m_overflow = new QLabel;
    m_overflow->setObjectName(QStringLiteral("service_text_overflow_Label"));
    m_overflow->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
    m_overflow->setWordWrap(true);
    m_overflow->hide();
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
    editorColumn->addWidget(m_overflow);
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
    QString text = readServiceText(config);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // As stored, even where it is longer than a user could type: nothing of
    // it changes until the user edits it.
    m_serviceText->showStored(text);
    m_overflow->hide();
    showServiceTextState();
}

QString TGeneralPage::serviceText() const
{
    return m_serviceText->toPlainText();
}

QPlainTextEdit* TGeneralPage::service_text_Memo() const
{
    return m_serviceText;
}

bool TGeneralPage::serviceTextTooManyLines() const
{
    return ServiceTextLayout::lineCount(serviceText()) > ServiceTextLayout::kMaxLines;
}

void TGeneralPage::master_ctrl_CheckBoxClick()
{
    const uint8_t type = m_master->isChecked() ? 0 : 1;
    editRecord([type](TDevice_Config_v2& r) { r.controller_type = type; });
}

void TGeneralPage::show_sp_dp_CheckBoxClick()
{
    const uint8_t dp = m_showDp->isChecked() ? 1 : 0;
    editRecord([dp](TDevice_Config_v2& r) { r.show_setpoint_dp = dp; });
}

void TGeneralPage::frost_protection_CheckBoxClick()
{
    const uint8_t frost = m_frost->isChecked() ? 1 : 0;
    editRecord([frost](TDevice_Config_v2& r) { r.frost_protection_enabled = frost; });
}

void TGeneralPage::service_text_MemoChange(ServiceTextLayout::Outcome outcome, int leftOut)
{
    showOverflow(outcome, leftOut);
    if (outcome == ServiceTextLayout::Outcome::Refused)
        return;
    // The lines shown are the lines stored, separated by carriage returns.
    QString lines = m_serviceText->shownText();
    lines.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    editRecord([lines](TDevice_Config_v2& r) { writeServiceText(lines, r); });
    showServiceTextState();
}

void TGeneralPage::showServiceTextState()
{
    const QString lines = m_serviceText->shownText();
    const int count = ServiceTextLayout::characterCount(lines);
    m_charCount->setText(QStringLiteral("%1/120").arg(count));
    const bool atLimit = count >= ServiceTextLayout::kCountedMaximum || !ServiceTextLayout::fits(lines);
    QPalette palette = m_charCount->palette();
    palette.setColor(QPalette::WindowText, atLimit ? QColor(Qt::red) : this->palette().color(QPalette::WindowText));
    m_charCount->setPalette(palette);
    m_tooManyLines->setVisible(ServiceTextLayout::lineCount(lines) > ServiceTextLayout::kMaxLines);
}

void TGeneralPage::showOverflow(ServiceTextLayout::Outcome outcome, int leftOut)
{
    // Said where the user looks, until the next edit that fits.
    switch (outcome) {
    case ServiceTextLayout::Outcome::Whole: m_overflow->hide(); return;
    case ServiceTextLayout::Outcome::Refused:
        m_overflow->setText(QStringLiteral("The service text is full (3 lines of 40 characters): nothing was added."));
        break;
    case ServiceTextLayout::Outcome::Cut:
        m_overflow->setText(QStringLiteral("The service text is full (3 lines of 40 characters): the last %1 "
                                           "characters of what was pasted were left out.")
                                .arg(leftOut));
        break;
    }
    m_overflow->show();
}
