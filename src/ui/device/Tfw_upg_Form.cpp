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
    , pages(new QTabWidget(this))
    , upgradePage(new QWidget)
    , modelInfo(new QLabel(upgradePage))
    , rcFwVer(new QLabel(upgradePage))
    , availableFwVer(new QLabel(upgradePage))
    , wrongSoftware(new QLabel(QStringLiteral("Software doesn't match!"), upgradePage))
    , finished(new QLabel(upgradePage))
    , progress(new QProgressBar(upgradePage))
    , upgrade(new QPushButton(QStringLiteral("Upgrade"), upgradePage))
    , cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("fw_upg_Form"));
    setWindowTitle(QStringLiteral("  Firmware Upgrade..."));
    pages->setObjectName(QStringLiteral("PageControl1"));
    upgradePage->setObjectName(QStringLiteral("fw_upg_TabSheet"));
    modelInfo->setObjectName(QStringLiteral("model_info_Label"));
    rcFwVer->setObjectName(QStringLiteral("rc_fwver_Label"));
    availableFwVer->setObjectName(QStringLiteral("available_fwver_Label"));
    wrongSoftware->setObjectName(QStringLiteral("wrong_software_Label"));
    wrongSoftware->setStyleSheet(QStringLiteral("color: red;"));
    wrongSoftware->hide();
    finished->setObjectName(QStringLiteral("finished_Label"));
    finished->setWordWrap(true);
    finished->hide();
    progress->setObjectName(QStringLiteral("upgrade_ProgressBar"));
    progress->setAccessibleName(QStringLiteral("Upgrade progress"));
    progress->setRange(0, 1);
    progress->setValue(0);
    upgrade->setObjectName(QStringLiteral("upgrade_Button"));
    upgrade->setEnabled(false);
    cancel->setObjectName(QStringLiteral("cancel_Button"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("R/C Model"), modelInfo);
    form->addRow(QStringLiteral("R/C Firmware Version"), rcFwVer);
    form->addRow(QStringLiteral("Available Firmware Version"), availableFwVer);
    auto* upgradeLayout = new QVBoxLayout(upgradePage);
    upgradeLayout->addLayout(form);
    upgradeLayout->addWidget(wrongSoftware);
    upgradeLayout->addWidget(finished);
    upgradeLayout->addStretch(1);
    upgradeLayout->addWidget(progress);
    upgradeLayout->addWidget(upgrade, 0, Qt::AlignRight);

    pages->addTab(upgradePage, QStringLiteral("Upgrade"));
    history5813 = makeHistoryPage("ver_history_5813_TabSheet", QStringLiteral("FW_VER_HISTORY_5813"), header1, memo1);
    history5827 = makeHistoryPage("ver_history_5827_TabSheet", QStringLiteral("FW_VER_HISTORY_5827"), header2, memo2);
    pages->addTab(history5813, QStringLiteral("Version History (Corvane)"));
    pages->addTab(history5827, QStringLiteral("Version History (Corvane-RTC)"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    connect(upgrade, &QPushButton::clicked, this, &Tfw_upg_Form::upgrade_ButtonClick);
    connect(cancel, &QPushButton::clicked, this, &Tfw_upg_Form::cancel_ButtonClick);
    setWindowModality(Qt::WindowModal);
    resize(logicalDpiX() * 640 / 96, logicalDpiY() * 360 / 96);
}

QString Tfw_upg_Form::Same_Version_Question(const QString& version)
{
    return QStringLiteral("The Corvane R/C already runs firmware %1, the version this program carries.      \r"
                          "Send it again anyway?      ")
        .arg(version);
}

QList<int> Tfw_upg_Form::History_Tab_Stops(int dpi)
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
    for (int stop : History_Tab_Stops(dpi))
        tabs << QTextOption::Tab(stop * unit, QTextOption::LeftTab);
    QTextOption option = memo->document()->defaultTextOption();
    option.setTabs(tabs);
    memo->document()->setDefaultTextOption(option);
    QString text;
    try {
        text = QString::fromUtf8(Read_Resource_Data(resource));
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

void Tfw_upg_Form::Set_Operations(TDeviceOperations* operations, TControllerLink* link)
{
    m_ops = operations;
    m_link = link;
}

void Tfw_upg_Form::Show_History_Tab(QWidget* page, const QString& caption, int position, bool shown)
{
    const int at = pages->indexOf(page);
    if (shown && at < 0)
        pages->insertTab(qMin(position, pages->count()), page, caption);
    else if (!shown && at >= 0)
        pages->removeTab(at);
}

void Tfw_upg_Form::Show_For_Controller()
{
    if (m_link) {
        const TFirmwareWindowInfo info = Prepare_Firmware_Window(*m_link);
        if (!info.known()) {
            wrongSoftware->show();
            upgrade->setEnabled(false);
        } else {
            wrongSoftware->hide();
            upgrade->setEnabled(true);
            modelInfo->setText(info.model_info);
            // The other model's history leaves the tab bar altogether: a tab
            // that is only hidden is still announced to screen readers.
            Show_History_Tab(history5813, QStringLiteral("Version History (Corvane)"), 1, info.model == 0);
            Show_History_Tab(history5827, QStringLiteral("Version History (Corvane-RTC)"), 2, info.model == 1);
        }
        upgrade_in_progress = false;
        rcFwVer->setText(info.rc_fwver);
        availableFwVer->setText(info.available_fwver);
    }
    Show_Finished(false);
    pages->setCurrentWidget(upgradePage);
    m_closing = false;
    open();
}

void Tfw_upg_Form::Transfer_Ended()
{
    // The whole image sent without an error, and the transfer over: the
    // controller has taken the firmware and the link is being closed.
    // "Upgrade" would only fail on the closed link now, so the window offers
    // to close instead. (A failure turns the bar to its error state; an
    // abort has already cleared upgrade_in_progress.)
    const bool succeeded = upgrade_in_progress && progress->maximum() > 1 && progress->value() == progress->maximum()
        && !Progress_In_Error(progress);
    upgrade_in_progress = false;
    Show_Finished(succeeded);
    upgrade->setEnabled(!succeeded);
}

void Tfw_upg_Form::Show_Finished(bool shown)
{
    if (shown && m_link)
        finished->setText(QStringLiteral("Firmware upgrade finished: the Corvane R/C now runs %1.")
                              .arg(Firmware_Label_Text(m_link->PC_Cfg_PartNo, m_link->PC_Cfg_FW_Ver)));
    finished->setVisible(shown);
    cancel->setText(shown ? QStringLiteral("Close") : QStringLiteral("Cancel"));
    if (shown)
        cancel->setFocus();
}

bool Tfw_upg_Form::Same_Version_Confirmed() const
{
    // Only an application reports its own version; a boot loader reports its own.
    if (!m_link || Is_Boot_Loader_Part(m_link->RC_PartNo) || m_link->RC_FW_Ver != m_link->PC_Cfg_FW_Ver)
        return true;
    const QString version = QString::asprintf("v%d.%02d", m_link->RC_FW_Ver / 100, m_link->RC_FW_Ver % 100);
    return Show_Message_Box_Ex(Same_Version_Question(version), TMsgDlgType::mtConfirmation,
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void Tfw_upg_Form::upgrade_ButtonClick()
{
    if (!Same_Version_Confirmed())
        return;
    cancel->setFocus();
    upgrade->setEnabled(false);
    upgrade_in_progress = true;
    if (m_ops)
        m_ops->Start_Firmware_Upgrade();
}

void Tfw_upg_Form::cancel_ButtonClick()
{
    if (upgrade_in_progress) {
        if (Show_Message_Box_Ex(DeviceText::abortQuestion(), TMsgDlgType::mtError, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No)
            != QMessageBox::Yes)
            return;
        if (m_ops)
            m_ops->Request_Upgrade_Abort();
        upgrade_in_progress = false;
    } else if (m_ops) {
        m_ops->Close_Firmware_Window();
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
