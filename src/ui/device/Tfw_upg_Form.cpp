#include "ui/device/Tfw_upg_Form.h"

#include "core/device/DeviceTexts.h"
#include "core/device/FirmwareWindowInfo.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/resources/CarriedData.h"
#include "ui/common/gen_lib.h"
#include "ui/device/ProgressBarState.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTextOption>
#include <QVBoxLayout>

#include <exception>

Tfw_upg_Form::Tfw_upg_Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_pages(new QTabWidget(this))
    , m_upgradePage(new QWidget)
    , m_modelInfo(new QLabel(m_upgradePage))
    , m_rcFwVer(new QLabel(m_upgradePage))
    , m_availableFwVer(new QLabel(m_upgradePage))
    , m_wrongSoftware(new QLabel(QStringLiteral("Software doesn't match!"), m_upgradePage))
    , m_finished(new QLabel(m_upgradePage))
    , m_progress(new QProgressBar(m_upgradePage))
    , m_upgrade(new QPushButton(QStringLiteral("Upgrade"), m_upgradePage))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("fw_upg_Form"));
    setWindowTitle(QStringLiteral("  Firmware Upgrade..."));
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_upgradePage->setObjectName(QStringLiteral("fw_upg_TabSheet"));
    m_modelInfo->setObjectName(QStringLiteral("model_info_Label"));
    m_rcFwVer->setObjectName(QStringLiteral("rc_fwver_Label"));
    m_availableFwVer->setObjectName(QStringLiteral("available_fwver_Label"));
    m_wrongSoftware->setObjectName(QStringLiteral("wrong_software_Label"));
    m_wrongSoftware->setStyleSheet(QStringLiteral("color: red;"));
    m_wrongSoftware->hide();
    m_finished->setObjectName(QStringLiteral("finished_Label"));
    m_finished->setWordWrap(true);
    m_finished->hide();
    m_progress->setObjectName(QStringLiteral("upgrade_ProgressBar"));
    m_progress->setAccessibleName(QStringLiteral("Upgrade progress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_upgrade->setObjectName(QStringLiteral("upgrade_Button"));
    m_upgrade->setEnabled(false);
    m_cancel->setObjectName(QStringLiteral("cancel_Button"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("R/C Model"), m_modelInfo);
    form->addRow(QStringLiteral("R/C Firmware Version"), m_rcFwVer);
    form->addRow(QStringLiteral("Available Firmware Version"), m_availableFwVer);
    auto* upgradeLayout = new QVBoxLayout(m_upgradePage);
    upgradeLayout->addLayout(form);
    upgradeLayout->addWidget(m_wrongSoftware);
    upgradeLayout->addWidget(m_finished);
    upgradeLayout->addStretch(1);
    upgradeLayout->addWidget(m_progress);
    upgradeLayout->addWidget(m_upgrade, 0, Qt::AlignRight);

    m_pages->addTab(m_upgradePage, QStringLiteral("Upgrade"));
    m_history5813
        = makeHistoryPage("ver_history_5813_TabSheet", QStringLiteral("FW_VER_HISTORY_5813"), m_header1, m_memo1);
    m_history5827
        = makeHistoryPage("ver_history_5827_TabSheet", QStringLiteral("FW_VER_HISTORY_5827"), m_header2, m_memo2);
    m_pages->addTab(m_history5813, QStringLiteral("Version History (Corvane)"));
    m_pages->addTab(m_history5827, QStringLiteral("Version History (Corvane-RTC)"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_upgrade, &QPushButton::clicked, this, &Tfw_upg_Form::upgrade_ButtonClick);
    connect(m_cancel, &QPushButton::clicked, this, &Tfw_upg_Form::cancel_ButtonClick);
    setWindowModality(Qt::WindowModal);
    resize(logicalDpiX() * 640 / 96, logicalDpiY() * 360 / 96);
}

QString Tfw_upg_Form::sameVersionQuestion(const QString& version)
{
    return QStringLiteral("The Corvane R/C already runs firmware %1, the version this program carries.      \r"
                          "Send it again anyway?      ")
        .arg(version);
}

QList<int> Tfw_upg_Form::historyTabStops(int dpi)
{
    return dpi == 96 ? QList<int>{24, 48, 72, 80, 88, 96} : QList<int>{24, 52, 80, 88, 96, 104};
}

QWidget* Tfw_upg_Form::makeHistoryPage(const char* name, const QString& resource, QHeaderView*& header,
                                       QPlainTextEdit*& memo)
{
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    const bool first = resource.endsWith(QLatin1String("5813"));
    auto* model = new QStandardItemModel(0, 3, page);
    model->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Ver"), QStringLiteral("Comments")});
    header = new QHeaderView(Qt::Horizontal, page);
    header->setObjectName(first ? QStringLiteral("HeaderControl1") : QStringLiteral("HeaderControl2"));
    header->setModel(model);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    const int dpi = logicalDpiX();
    const int widths[3] = {97, 48, 440};
    for (int i = 0; i < 3; ++i)
        header->resizeSection(i, widths[i] * dpi / 96);
    header->setFixedHeight(header->sizeHint().height());

    memo = new QPlainTextEdit(page);
    memo->setObjectName(first ? QStringLiteral("Memo1") : QStringLiteral("Memo2"));
    memo->setAccessibleName(first ? QStringLiteral("Version History (Corvane)")
                                  : QStringLiteral("Version History (Corvane-RTC)"));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Dialog units: a quarter of the font's average character width.
    const QFontMetrics fm(memo->font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const qreal unit = fm.horizontalAdvance(alphabet) / 52.0 / 4.0;
    QList<QTextOption::Tab> tabs;
    for (int stop : historyTabStops(dpi))
        tabs << QTextOption::Tab(stop * unit, QTextOption::LeftTab);
    QTextOption option = memo->document()->defaultTextOption();
    option.setTabs(tabs);
    memo->document()->setDefaultTextOption(option);
    QString text;
    try {
        text = QString::fromUtf8(readResourceData(resource));
    } catch (const std::exception&) {
        text.clear();
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo->setPlainText(text);

    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(memo);
    return page;
}

void Tfw_upg_Form::setOperations(TDeviceOperations* operations, TControllerLink* link)
{
    m_ops = operations;
    m_link = link;
}

void Tfw_upg_Form::showHistoryTab(QWidget* page, const QString& caption, int position, bool shown)
{
    const int at = m_pages->indexOf(page);
    if (shown && at < 0)
        m_pages->insertTab(qMin(position, m_pages->count()), page, caption);
    else if (!shown && at >= 0)
        m_pages->removeTab(at);
}

void Tfw_upg_Form::showForController()
{
    if (m_link) {
        const TFirmwareWindowInfo info = prepareFirmwareWindow(*m_link);
        if (!info.known()) {
            m_wrongSoftware->show();
            m_upgrade->setEnabled(false);
        } else {
            m_wrongSoftware->hide();
            m_upgrade->setEnabled(true);
            m_modelInfo->setText(info.modelInfo);
            // The other model's history leaves the tab bar altogether: a tab
            // that is only hidden is still announced to screen readers.
            showHistoryTab(m_history5813, QStringLiteral("Version History (Corvane)"), 1, info.model == 0);
            showHistoryTab(m_history5827, QStringLiteral("Version History (Corvane-RTC)"), 2, info.model == 1);
        }
        upgrade_in_progress = false;
        m_rcFwVer->setText(info.rcFwver);
        m_availableFwVer->setText(info.availableFwver);
    }
    showFinished(false);
    m_pages->setCurrentWidget(m_upgradePage);
    m_closing = false;
    open();
}

void Tfw_upg_Form::transferEnded()
{
    // The whole image sent without an error, and the transfer over: the
    // controller has taken the firmware and the link is being closed.
    // "Upgrade" would only fail on the closed link now, so the window offers
    // to close instead. (A failure turns the bar to its error state; an
    // abort has already cleared upgrade_in_progress.)
    const bool succeeded = upgrade_in_progress && m_progress->maximum() > 1
        && m_progress->value() == m_progress->maximum() && !progressInError(m_progress);
    upgrade_in_progress = false;
    showFinished(succeeded);
    m_upgrade->setEnabled(!succeeded);
}

void Tfw_upg_Form::showFinished(bool shown)
{
    if (shown && m_link)
        m_finished->setText(QStringLiteral("Firmware upgrade finished: the Corvane R/C now runs %1.")
                                .arg(firmwareLabelText(m_link->PC_Cfg_PartNo, m_link->PC_Cfg_FW_Ver)));
    m_finished->setVisible(shown);
    m_cancel->setText(shown ? QStringLiteral("Close") : QStringLiteral("Cancel"));
    if (shown)
        m_cancel->setFocus();
}

bool Tfw_upg_Form::sameVersionConfirmed() const
{
    // Only an application reports its own version; a boot loader reports its own.
    if (!m_link || isBootLoaderPart(m_link->RC_PartNo) || m_link->RC_FW_Ver != m_link->PC_Cfg_FW_Ver)
        return true;
    const QString version = QString::asprintf("v%d.%02d", m_link->RC_FW_Ver / 100, m_link->RC_FW_Ver % 100);
    return Show_Message_Box_Ex(sameVersionQuestion(version), TMsgDlgType::MtConfirmation,
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void Tfw_upg_Form::upgrade_ButtonClick()
{
    if (!sameVersionConfirmed())
        return;
    m_cancel->setFocus();
    m_upgrade->setEnabled(false);
    upgrade_in_progress = true;
    if (m_ops)
        m_ops->startFirmwareUpgrade();
}

void Tfw_upg_Form::cancel_ButtonClick()
{
    if (upgrade_in_progress) {
        if (Show_Message_Box_Ex(DeviceText::abortQuestion(), TMsgDlgType::MtError, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No)
            != QMessageBox::Yes)
            return;
        if (m_ops)
            m_ops->requestUpgradeAbort();
        upgrade_in_progress = false;
    } else if (m_ops) {
        m_ops->closeFirmwareWindow();
    }
    m_closing = true;
    done(QDialog::Rejected);
}

void Tfw_upg_Form::reject()
{
    if (m_closing)
        QDialog::reject();
    else
        cancel_ButtonClick();
}

void Tfw_upg_Form::closeEvent(QCloseEvent* event)
{
    if (m_closing || !isVisible()) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cancel_ButtonClick();
}
