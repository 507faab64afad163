#include "CommissionSite.h"

#include "CliCommand.h"

#include "programs/common/QuietMessages.h"

#include "core/commissioning/SiteSheetHandover.h"
#include "core/messaging/UntrustedText.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

void addCommissionSiteOptions(CommandLine& cl)
{
    cl.addOption({"site",
                  "A site sheet (CSV): per controller, the record fields that differ from the project's, in the row "
                  "of its adapter_serial, port or (with --watch) order.",
                  "SHEET"});
    cl.addOption({"site-only", "With --site: skip a controller the sheet has no row for (it counts as failed)."});
    for (const char* name : {kSiteCopyOption, kSiteShaOption, kSiteNameOption}) {
        QCommandLineOption hidden(QString::fromLatin1(name), QString(), QStringLiteral("VALUE"));
        hidden.setFlags(QCommandLineOption::HiddenFromHelp);
        cl.addOption(hidden);
    }
}

TCommissionSiteJob commissionSiteJob(const CommandLine& cl)
{
    TCommissionSiteJob job;
    job.copy = cl.value(kSiteCopyOption);
    job.sha256 = cl.value(kSiteShaOption);
    job.name = cl.value(kSiteNameOption);
    job.only = cl.isSet("site-only");
    return job;
}

CommissionSite::CommissionSite() = default;
CommissionSite::~CommissionSite() = default;

std::optional<int> CommissionSite::prepare(const CommandLine& cl, const TCommissioningPlan& plan, bool watch,
                                           QStringList* workerArguments)
{
    if (!cl.isSet("site")) {
        if (cl.isSet("site-only"))
            return cl.usageError(QStringLiteral("--site-only needs --site SHEET"));
        return std::nullopt;
    }
    // The sheet's fields are the configuration's: an images-only run would
    // log rows it never sent.
    if (!plan.sendConfig)
        return cl.usageError(QStringLiteral("--site sets fields of the configuration: give --config too"));
    const QString path = cl.value("site");
    // Every problem of the sheet, one a line, then the exit of a usage
    // error: the sheet is part of the command.
    auto refuse = [&](const QStringList& problems) {
        QTextStream err(programStderr());
        for (const QString& p : problems)
            err << "corvane-cli commission: " << untrustedText(p, 1 << 20) << '\n';
        err << "corvane-cli commission: the site sheet is not usable; nothing was sent\n";
        return kExitUsage;
    };
    if (!m_sheet.read(path))
        return refuse(m_sheet.problems());
    QStringList problems = m_sheet.checkAgainst(plan.record);
    if (m_sheet.key() == TSiteSheet::Key::Order && !watch)
        problems << QStringLiteral("%1: column \"order\": the n-th controller is known only with --watch; key the rows "
                                   "by adapter_serial or port")
                        .arg(path);
    if (!problems.isEmpty())
        return refuse(problems);

    // The workers read a copy: the run sends what was checked here, however
    // the sheet is edited meanwhile.
    m_dir = std::make_unique<QTemporaryDir>();
    QString error;
    const QStringList args = m_dir->isValid()
        ? siteSheetWorkerArguments(m_sheet, m_dir->path(), cl.isSet("site-only"), &error)
        : QStringList();
    if (args.isEmpty())
        return cliFail(error.isEmpty() ? QStringLiteral("the site sheet could not be handed to the workers: no "
                                                        "private folder")
                                       : error);
    *workerArguments << args;
    return std::nullopt;
}

bool applyCommissionSite(const TCommissionSiteJob& job, const QString& port, const QString& adapterSerial,
                         int watchIndex, TDevice_Config_v2& rec, TCommissioningRecord& record, QString* why)
{
    if (job.copy.isEmpty())
        return true;
    record.siteSheet = job.name;
    record.siteSheetSha256 = job.sha256;
    QFile file(job.copy);
    TSiteSheet sheet;
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(TSiteSheet::kMaxBytes + 1);
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    if (sha != job.sha256 || !sheet.parse(bytes, job.name)) {
        *why = QStringLiteral("%1: the run's site sheet is not the one its parent checked").arg(job.copy);
        return false;
    }
    const TSiteSheet::Row* row = sheet.rowFor(port, adapterSerial, watchIndex);
    if (!row) {
        if (!job.only)
            return true;
        *why = QStringLiteral("skipped: the site sheet has no row for it (%1 %2)")
                   .arg(sheet.keyColumn(),
                        sheet.key() == TSiteSheet::Key::Order ? QString::number(watchIndex)
                            : sheet.key() == TSiteSheet::Key::AdapterSerial
                            ? (adapterSerial.isEmpty() ? QStringLiteral("unknown") : adapterSerial)
                            : port);
        return false;
    }
    record.siteRow = row->key;
    record.siteValues = row->values;
    rec = TSiteSheet::applied(rec, *row);
    return true;
}
