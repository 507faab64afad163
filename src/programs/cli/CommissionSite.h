#pragma once
// commission --site: the site sheet of a run. The parent reads and checks the
// whole sheet before any port is opened, then hands each worker a private
// copy of its bytes with their SHA-256; the worker checks the copy is the
// parent's, finds its own row (by its adapter's serial number, its port or
// its place in a watch) and sends the project's record with that row
// applied. Nothing of a cell reaches a command line.

#include "programs/common/CommandLine.h"

#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/CommissioningRecord.h"
#include "core/commissioning/TSiteSheet.h"
#include "core/model/DeviceConfigRecords.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QTemporaryDir;

// What a worker is told about the sheet.
struct TCommissionSiteJob {
    QString copy;   // the private copy of the sheet's bytes
    QString sha256; // of those bytes
    QString name;   // the sheet's file name, for the log
    bool only = false;
};

// Adds --site and --site-only, and the worker's hidden options.
void addCommissionSiteOptions(CommandLine& cl);
// The worker's options as given by its parent.
TCommissionSiteJob commissionSiteJob(const CommandLine& cl);

// The parent's side.
class CommissionSite {
public:
    CommissionSite();
    ~CommissionSite();

    // Without --site: nothing (and --site-only is a usage error). Otherwise
    // reads and checks the sheet against the project's record and the run's
    // kind: an exit status when the run must stop (every problem printed),
    // else nothing, with the workers' arguments in *workerArguments.
    std::optional<int> prepare(const CommandLine& cl, const TCommissioningPlan& plan, bool watch,
                               QStringList* workerArguments);
    bool isSet() const { return m_sheet.isValid(); }
    const TSiteSheet& sheet() const { return m_sheet; }

private:
    TSiteSheet m_sheet;
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The worker's side: puts the sheet on record and applies the controller's
// row to rec. False with the reason when the controller is not to be
// touched (the copy is not the parent's, or --site-only and no row).
bool applyCommissionSite(const TCommissionSiteJob& job, const QString& port, const QString& adapterSerial,
                         int watchIndex, TDevice_Config_v2& rec, TCommissioningRecord& record, QString* why);
