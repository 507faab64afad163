#include "ui/app/TProjectRecovery.h"

#include "core/document/TProjectDocument.h"
#include "core/messaging/StatusCodes.h"
#include "core/storage/DiskIO.h"
#include "core/storage/RecoveryFile.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TSessionLock.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/common/gen_lib.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
const QString kSuffix = QStringLiteral(".cvr");
const QString kLockSuffix = QStringLiteral(".lock");

QString Lock_Path(const QString& recoveryFile)
{
    return recoveryFile.left(recoveryFile.size() - kSuffix.size()) + kLockSuffix;
}
} // namespace

TProjectRecovery::TProjectRecovery(Tbmpgen_Form& window, const QString& folder, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_folder(folder.isEmpty() ? Default_Folder() : folder)
    , m_lock(std::make_unique<TSessionLock>())
{
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
    QDir().mkpath(m_folder);
    m_session
        = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    m_filePath = QDir(m_folder).filePath(m_session + kSuffix);
    m_lock->Acquire(QDir(m_folder).filePath(m_session + kLockSuffix));

    m_period.setInterval(kPeriodMs);
    connect(&m_period, &QTimer::timeout, this, &TProjectRecovery::Write_If_Changed);
    m_period.start();
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(kThrottleMs);
    connect(&m_throttle, &QTimer::timeout, this, &TProjectRecovery::Write_If_Changed);

    TProjectDocument& document = m_window.Document();
    // Every change, a keystroke gathered into the step on top included.
    connect(&document, &TProjectDocument::contentChanged, this, &TProjectRecovery::Changed);
    connect(&document, &TProjectDocument::modifiedChanged, this, &TProjectRecovery::Modified_Changed);
}

TProjectRecovery::~TProjectRecovery()
{
    // A normal end: nothing is left to recover.
    Remove_File();
    if (m_lock) {
        m_lock->Release();
        QFile::remove(QDir(m_folder).filePath(m_session + kLockSuffix));
    }
}

QString TProjectRecovery::Default_Folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recovery"));
}

void TProjectRecovery::Changed()
{
    m_lastChange = QDateTime::currentDateTimeUtc();
    if (m_window.Document().isModified() && !m_throttle.isActive())
        m_throttle.start();
}

void TProjectRecovery::Modified_Changed(bool modified)
{
    if (!modified) {
        m_throttle.stop();
        Remove_File();
        return;
    }
    if (!m_lastChange.isValid())
        m_lastChange = QDateTime::currentDateTimeUtc();
    if (!m_throttle.isActive() && !QFile::exists(m_filePath))
        m_throttle.start();
}

void TProjectRecovery::Start_Write()
{
    TProjectDocument& document = m_window.Document();
    if (!document.isModified() || document.images().empty() || document.projectPath().isEmpty())
        return;
    if (m_writing.isRunning()) {
        m_again = true;
        return;
    }
    // Taken here, on the window thread: a record and shared pictures. The
    // bytes are made and written on a worker thread.
    const TProjectState state = document.Current_State();
    m_writtenRevision = document.Revision();
    m_fileCurrent = true;
    TRecoveryRecord meta;
    meta.projectPath = document.projectPath();
    meta.projectName = document.projectName();
    meta.lastChange = m_lastChange.isValid() ? m_lastChange : QDateTime::currentDateTimeUtc();
    meta.pid = QCoreApplication::applicationPid();
    const QString path = m_filePath;
    m_writing = QtConcurrent::run(&m_pool, [state, meta, path] {
        try {
            Write_Recovery_File(path, meta, state.record, *state.images);
        } catch (const std::exception& error) {
            // The project itself is untouched; the next write tries again.
            std::fprintf(stderr, "corvane-configurator: %s\n", error.what());
        }
    });
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher] {
        watcher->deleteLater();
        Write_Finished();
    });
    watcher->setFuture(m_writing);
}

void TProjectRecovery::Write_Finished()
{
    if (!m_window.Document().isModified()) {
        // Saved or closed while the write was under way.
        QFile::remove(m_filePath);
        m_again = false;
        m_fileCurrent = false;
        return;
    }
    emit written();
    if (std::exchange(m_again, false))
        Start_Write();
}

void TProjectRecovery::Write_In_Background()
{
    m_throttle.stop();
    Start_Write();
}

bool TProjectRecovery::Write_If_Changed()
{
    const TProjectDocument& document = m_window.Document();
    // An idle project that is already on disk is not written again: an
    // unsaved project of many megabytes would otherwise be rewritten every
    // period for as long as the window stays open.
    if (!document.isModified() || (m_fileCurrent && document.Revision() == m_writtenRevision))
        return false;
    Start_Write();
    return m_fileCurrent && document.Revision() == m_writtenRevision;
}

void TProjectRecovery::Write_Now()
{
    m_throttle.stop();
    Start_Write();
    Wait_For_Write();
}

void TProjectRecovery::Wait_For_Write()
{
    m_writing.waitForFinished();
    if (m_again) {
        m_again = false;
        Start_Write();
        m_writing.waitForFinished();
    }
}

void TProjectRecovery::Remove_File()
{
    m_writing.waitForFinished();
    m_again = false;
    m_fileCurrent = false;
    QFile::remove(m_filePath);
}

QString TProjectRecovery::Offer_Text(const QString& name, const QString& path, const QDateTime& lastChange)
{
    return QStringLiteral("The project \"%1\" was not saved when the configurator ended.      \r"
                          "Path: %2      \r"
                          "Last change: %3      \r"
                          "Restore it now? No keeps it for later, Discard deletes it.      ")
        .arg(name, QDir::toNativeSeparators(path),
             lastChange.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

QString TProjectRecovery::Unreadable_Text(const QString& file, const QString& why, const QString& aside)
{
    return QStringLiteral("The recovery file %1 cannot be read (%2); it was kept as %3.      ")
        .arg(QDir::toNativeSeparators(file), why, QDir::toNativeSeparators(aside));
}

void TProjectRecovery::Offer_Recovered()
{
    struct Candidate {
        QString file;
        TRecoveryRecord record;
        std::unique_ptr<TSessionLock> lock;
    };
    std::vector<Candidate> found;
    const QDir dir(m_folder);
    // Locks of configurators that ended without a file to recover (a crash
    // with nothing unsaved) are of no further use.
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*") + kLockSuffix}, QDir::Files)) {
        const QString base = info.absoluteFilePath().chopped(kLockSuffix.size());
        TSessionLock lock;
        if (QFile::exists(base + kSuffix) || !lock.Acquire(info.absoluteFilePath()))
            continue;
        lock.Release();
        QFile::remove(info.absoluteFilePath());
    }
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files)) {
        const QString file = info.absoluteFilePath();
        if (file == QFileInfo(m_filePath).absoluteFilePath())
            continue;
        // Held: its configurator still runs, with the project open.
        auto lock = std::make_unique<TSessionLock>();
        if (!lock->Acquire(Lock_Path(file)))
            continue;
        TRecoveryRecord record;
        QString why;
        if (!Read_Recovery_File(file, record, &why)) {
            QString aside = file + QStringLiteral(".unreadable");
            for (int n = 2; QFile::exists(aside); ++n)
                aside = file + QStringLiteral(".unreadable%1").arg(n);
            QFile::rename(file, aside);
            lock->Release();
            QFile::remove(Lock_Path(file));
            Show_Message_Box(Unreadable_Text(file, why, aside), TMsgDlgType::mtWarning, QMessageBox::Ok);
            continue;
        }
        found.push_back({file, std::move(record), std::move(lock)});
    }
    std::sort(found.begin(), found.end(),
              [](const Candidate& a, const Candidate& b) { return a.record.lastChange > b.record.lastChange; });
    for (Candidate& candidate : found) {
        const QMessageBox::StandardButton answer = Show_Message_Box_Ex(
            Offer_Text(candidate.record.projectName, candidate.record.projectPath, candidate.record.lastChange),
            TMsgDlgType::mtConfirmation, QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard, QMessageBox::No);
        if (answer == QMessageBox::Discard) {
            QFile::remove(candidate.file);
        } else if (answer == QMessageBox::Yes && Restore(candidate.file)) {
            QFile::remove(candidate.file);
            candidate.lock->Release();
            QFile::remove(Lock_Path(candidate.file));
            // One project at a time; the others stay for a later start.
            break;
        }
        candidate.lock->Release();
        if (!QFile::exists(candidate.file))
            QFile::remove(Lock_Path(candidate.file));
    }
}

bool TProjectRecovery::Restore(const QString& file)
{
    TRecoveryRecord record;
    QString why;
    if (!Read_Recovery_File(file, record, &why))
        return false;
    TProjectDocument& document = m_window.Document();
    TProjectCommands* commands = m_window.Commands();
    commands->Clear_Project();
    document.Set_Path(record.projectPath);
    m_window.Show_Project_Path(record.projectPath);
    m_window.updateCaption();
    const auto* bytes = reinterpret_cast<const uint8_t*>(record.projectBytes.constData());
    bool loaded = false;
    try {
        loaded = document.fill([&](TDevice_Config_v2& config, THandle_List& images) {
            return Load_Project_Bytes(bytes, record.projectBytes.size(), config, images);
        });
    } catch (const std::exception&) {
        loaded = false;
    }
    if (!loaded) {
        // Read a moment ago; the file stays for another try.
        commands->Clear_Project();
        document.Set_Path(QString());
        m_window.Show_Project_Path(QString());
        m_window.updateCaption();
        return false;
    }
    m_window.showProjectState(true);
    commands->Show_Project();
    m_window.enableProjectCommands(true);
    // Bound to its own file, which does not hold these changes.
    document.Set_Modified(true);
    m_window.Log_Activity(int(TActivityStatus::Project_Loaded), record.projectPath + QStringLiteral(" (recovered)"));
    m_lastChange = record.lastChange;
    // On disk as this configurator's own before the old file goes.
    Write_Now();
    return true;
}
