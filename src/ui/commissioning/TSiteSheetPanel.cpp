#include "ui/commissioning/TSiteSheetPanel.h"

#include "core/commissioning/SiteSheetHandover.h"
#include "core/messaging/UntrustedText.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {
template <class W> W* named(W* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}
} // namespace

TSiteSheetPanel::TSiteSheetPanel(QWidget* parent) : QGroupBox(QStringLiteral("Site sheet"), parent)
{
    setObjectName(QStringLiteral("commission_site_GroupBox"));
    setAccessibleName(QStringLiteral("Site sheet"));
    m_askFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Site Sheet"), QString(),
                                            QStringLiteral("Site sheets (*.csv);;All files (*)"));
    };
    m_load = named(new QPushButton(QStringLiteral("Site Sheet..."), this), "commission_site_sheet_Button",
                   QStringLiteral("Site Sheet..."));
    m_clear = named(new QPushButton(QStringLiteral("No Sheet"), this), "commission_site_clear_Button",
                    QStringLiteral("No site sheet"));
    m_only = named(new QCheckBox(QStringLiteral("Only controllers the sheet names"), this),
                   "commission_site_only_CheckBox", QStringLiteral("Only controllers the sheet names"));
    m_only->setToolTip(QStringLiteral("A controller without a row is skipped (it counts as failed) instead of "
                                      "getting the project as it is."));
    m_label = named(new QLabel(QStringLiteral("No site sheet: every controller gets the project as it is."), this),
                    "commission_site_sheet_Label", QStringLiteral("Site sheet in use"));
    m_label->setWordWrap(true);
    m_problems
        = named(new QPlainTextEdit(this), "commission_site_problems_Text", QStringLiteral("Site sheet problems"));
    m_problems->setReadOnly(true);
    m_problems->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_problems->setMaximumHeight(110);
    m_problems->setTabChangesFocus(true);
    m_problems->hide();
    m_next = named(new QLabel(this), "commission_site_next_Label", QStringLiteral("Next row of the site sheet"));

    connect(m_load, &QPushButton::clicked, this, [this] {
        const QString path = m_askFile ? m_askFile() : QString();
        if (!path.isEmpty())
            load(path);
    });
    connect(m_clear, &QPushButton::clicked, this, &TSiteSheetPanel::clear);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_load, 0, 0);
    grid->addWidget(m_clear, 0, 1);
    grid->addWidget(m_only, 0, 2);
    grid->addWidget(m_next, 0, 3);
    grid->addWidget(m_label, 1, 0, 1, 4);
    grid->addWidget(m_problems, 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    clear();
}

TSiteSheetPanel::~TSiteSheetPanel() = default;

bool TSiteSheetPanel::load(const QString& path)
{
    m_path = path;
    const bool ok = m_sheet.read(path);
    if (ok) {
        m_label->setText(QStringLiteral("%1: %2 rows by %3.")
                             .arg(untrustedText(m_sheet.fileName()))
                             .arg(m_sheet.rows().size())
                             .arg(m_sheet.keyColumn()));
        showProblems({});
    } else {
        m_label->setText(QStringLiteral("%1 cannot be used; nothing is sent until it is mended and loaded again, "
                                        "or \"No Sheet\" is chosen:")
                             .arg(untrustedText(QFileInfo(path).fileName())));
        showProblems(m_sheet.problems());
    }
    m_clear->setEnabled(true);
    emit changed();
    return ok;
}

void TSiteSheetPanel::clear()
{
    m_path.clear();
    m_sheet = TSiteSheet();
    m_label->setText(QStringLiteral("No site sheet: every controller gets the project as it is."));
    showProblems({});
    m_clear->setEnabled(false);
    m_next->clear();
    emit changed();
}

void TSiteSheetPanel::showProblems(const QStringList& problems)
{
    QStringList lines;
    for (const QString& p : problems)
        lines << untrustedText(p, 1 << 16);
    m_problems->setPlainText(lines.join(QLatin1Char('\n')));
    m_problems->setVisible(!problems.isEmpty());
}

QString TSiteSheetPanel::rowLabel(const QString& port, const QString& adapterSerial, int order) const
{
    if (!isSet())
        return {};
    const TSiteSheet::Row* row = m_sheet.rowFor(port, adapterSerial, order);
    return row ? untrustedText(row->label) : QString();
}

bool TSiteSheetPanel::addWorkerArguments(const TCommissioningPlan& plan, bool watch, QStringList* args, QString* error)
{
    if (isBad()) {
        *error = QStringLiteral("The site sheet cannot be used: %1").arg(m_sheet.problems().value(0));
        return false;
    }
    if (!isSet())
        return true;
    if (!plan.sendConfig) {
        *error = QStringLiteral("The site sheet sets fields of the configuration: tick Configuration, or choose No "
                                "Sheet.");
        return false;
    }
    QStringList problems = m_sheet.checkAgainst(plan.record);
    if (m_sheet.key() == TSiteSheet::Key::Order && !watch)
        problems << QStringLiteral("%1: column \"order\": the n-th controller is known only when watching one port; "
                                   "key the rows by adapter_serial or port")
                        .arg(m_sheet.name());
    if (!problems.isEmpty()) {
        showProblems(problems);
        *error = QStringLiteral("The site sheet does not fit this run; nothing was sent.");
        return false;
    }
    if (!m_copies || !m_copies->isValid())
        m_copies = std::make_unique<QTemporaryDir>();
    const QStringList more = m_copies->isValid()
        ? siteSheetWorkerArguments(m_sheet, m_copies->path(), m_only->isChecked(), error)
        : QStringList();
    if (more.isEmpty()) {
        if (error->isEmpty())
            *error = QStringLiteral("The site sheet could not be handed to the workers: no private folder.");
        return false;
    }
    *args << more;
    return true;
}

void TSiteSheetPanel::showWatch(bool watching, int index, bool commissioning)
{
    // Only rows kept in order say which controller comes next.
    if (!isSet() || m_sheet.key() != TSiteSheet::Key::Order) {
        m_next->clear();
        return;
    }
    const int order = watching ? (commissioning ? index : index + 1) : 1;
    const QString label = rowLabel(QString(), QString(), order);
    const QString shown = label.isEmpty() ? QStringLiteral("no row (#%1)").arg(order) : label;
    m_next->setText(commissioning ? QStringLiteral("Now: %1").arg(shown) : QStringLiteral("Next: %1").arg(shown));
}
