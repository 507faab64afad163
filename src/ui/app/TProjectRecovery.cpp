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

QString lockPath(const QString& recoveryFile)
{
    return recoveryFile.left(recoveryFile.size() - kSuffix.size()) + kLockSuffix;
}
} // namespace

TProjectRecovery::TProjectRecovery(Tbmpgen_Form& window, const QString& folder, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_folder(folder.isEmpty() ? defaultFolder() : folder)
    , m_lock(std::make_unique<TSessionLock>())
{
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
    QDir().mkpath(m_folder);
    m_session
        = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    m_filePath = QDir(m_folder).filePath(m_session + kSuffix);
    m_lock->acquire(QDir(m_folder).filePath(m_session + kLockSuffix));

    m_period.setInterval(kPeriodMs);
    connect(&m_period, &QTimer::timeout, this, &TProjectRecovery::writeIfChanged);
    m_period.start();
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(kThrottleMs);
    connect(&m_throttle, &QTimer::timeout, this, &TProjectRecovery::writeIfChanged);

    TProjectDocument& document = m_window.document();
    // Every change, a keystroke gathered into the step on top included.
    connect(&document, &TProjectDocument::contentChanged, this, &TProjectRecovery::changed);
    connect(&document, &TProjectDocument::modifiedChanged, this, &TProjectRecovery::modifiedChanged);
}

TProjectRecovery::~TProjectRecovery()
{
    // A normal end: nothing is left to recover.
    removeFile();
    if (m_lock) {
        m_lock->release();
        QFile::remove(QDir(m_folder).filePath(m_session + kLockSuffix));
    }
}

QString TProjectRecovery::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recovery"));
}

void TProjectRecovery::changed()
{
    m_lastChange = QDateTime::currentDateTimeUtc();
    if (m_window.document().isModified() && !m_throttle.isActive())
        m_throttle.start();
}

void TProjectRecovery::modifiedChanged(bool modified)
{
    if (!modified) {
        m_throttle.stop();
        removeFile();
        return;
    }
    if (!m_lastChange.isValid())
        m_lastChange = QDateTime::currentDateTimeUtc();
    if (!m_throttle.isActive() && !QFile::exists(m_filePath))
        m_throttle.start();
}

void TProjectRecovery::startWrite()
{
    TProjectDocument& document = m_window.document();
    if (!document.isModified() || document.images().empty() || document.projectPath().isEmpty())
        return;
    if (m_writing.isRunning()) {
        m_again = true;
        return;
    }
    // Taken here, on the window thread: a record and shared pictures. The
    // bytes are made and written on a worker thread.
    const TProjectState state = document.currentState();
    m_writtenRevision = document.revision();
    m_fileCurrent = true;
    TRecoveryRecord meta;
    meta.projectPath = document.projectPath();
    meta.projectName = document.projectName();
    meta.lastChange = m_lastChange.isValid() ? m_lastChange : QDateTime::currentDateTimeUtc();
    meta.pid = QCoreApplication::applicationPid();
    const QString path = m_filePath;
    m_writing = QtConcurrent::run(&m_pool, [state, meta, path] {
        try {
            writeRecoveryFile(path, meta, state.record, *state.images);
        } catch (const std::exception& error) {
            // The project itself is untouched; the next write tries again.
            std::fprintf(stderr, "corvane-configurator: %s\n", error.what());
        }
    });
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher] {
        watcher->deleteLater();
        writeFinished();
    });
    watcher->setFuture(m_writing);
}

void TProjectRecovery::writeFinished()
{
    if (!m_window.document().isModified()) {
        // Saved or closed while the write was under way.
        QFile::remove(m_filePath);
        m_again = false;
        m_fileCurrent = false;
        return;
    }
    emit written();
    if (std::exchange(m_again, false))
        startWrite();
}

void TProjectRecovery::writeInBackground()
{
    m_throttle.stop();
    startWrite();
}

bool TProjectRecovery::writeIfChanged()
{
    const TProjectDocument& document = m_window.document();
    // An idle project that is already on disk is not written again: an
    // unsaved project of many megabytes would otherwise be rewritten every
    // period for as long as the window stays open.
    if (!document.isModified() || (m_fileCurrent && document.revision() == m_writtenRevision))
        return false;
    startWrite();
    return m_fileCurrent && document.revision() == m_writtenRevision;
}

void TProjectRecovery::writeNow()
{
    m_throttle.stop();
    startWrite();
    waitForWrite();
}

void TProjectRecovery::waitForWrite()
{
    m_writing.waitForFinished();
    if (m_again) {
        m_again = false;
        startWrite();
        m_writing.waitForFinished();
    }
}

void TProjectRecovery::removeFile()
{
    m_writing.waitForFinished();
    m_again = false;
    m_fileCurrent = false;
    QFile::remove(m_filePath);
}

QString TProjectRecovery::offerText(const QString& name, const QString& path, const QDateTime& lastChange)
{
    return QStringLiteral("The project \"%1\" was not saved when the configurator ended.      \r"
                          "Path: %2      \r"
                          "Last change: %3      \r"
                          "Restore it now? No keeps it for later, Discard deletes it.      ")
        .arg(name, QDir::toNativeSeparators(path),
             lastChange.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

QString TProjectRecovery::unreadableText(const QString& file, const QString& why, const QString& aside)
{
    return QStringLiteral("The recovery file %1 cannot be read (%2); it was kept as %3.      ")
        .arg(QDir::toNativeSeparators(file), why, QDir::toNativeSeparators(aside));
}

void TProjectRecovery::offerRecovered()
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
        if (QFile::exists(base + kSuffix) || !lock.acquire(info.absoluteFilePath()))
            continue;
        lock.release();
        QFile::remove(info.absoluteFilePath());
    }
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files)) {
        const QString file = info.absoluteFilePath();
        if (file == QFileInfo(m_filePath).absoluteFilePath())
            continue;
        // Held: its configurator still runs, with the project open.
        auto lock = std::make_unique<TSessionLock>();
        if (!lock->acquire(lockPath(file)))
            continue;
        TRecoveryRecord record;
        QString why;
        if (!readRecoveryFile(file, record, &why)) {
            QString aside = file + QStringLiteral(".unreadable");
            for (int n = 2; QFile::exists(aside); ++n)
                aside = file + QStringLiteral(".unreadable%1").arg(n);
            QFile::rename(file, aside);
            lock->release();
            QFile::remove(lockPath(file));
            Show_Message_Box(unreadableText(file, why, aside), TMsgDlgType::MtWarning, QMessageBox::Ok);
            continue;
        }
        found.push_back({file, std::move(record), std::move(lock)});
    }
    std::sort(found.begin(), found.end(),
              [](const Candidate& a, const Candidate& b) { return a.record.lastChange > b.record.lastChange; });
    for (Candidate& candidate : found) {
        const QMessageBox::StandardButton answer = Show_Message_Box_Ex(
            offerText(candidate.record.projectName, candidate.record.projectPath, candidate.record.lastChange),
            TMsgDlgType::MtConfirmation, QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard, QMessageBox::No);
        if (answer == QMessageBox::Discard) {
            QFile::remove(candidate.file);
        } else if (answer == QMessageBox::Yes && restore(candidate.file)) {
            QFile::remove(candidate.file);
            candidate.lock->release();
            QFile::remove(lockPath(candidate.file));
            // One project at a time; the others stay for a later start.
            break;
        }
        candidate.lock->release();
        if (!QFile::exists(candidate.file))
            QFile::remove(lockPath(candidate.file));
    }
}

bool TProjectRecovery::restore(const QString& file)
{
    TRecoveryRecord record;
    QString why;
    if (!readRecoveryFile(file, record, &why))
        return false;
    TProjectDocument& document = m_window.document();
    TProjectCommands* commands = m_window.commands();
    commands->Clear_Project();
    document.setPath(record.projectPath);
    m_window.Show_Project_Path(record.projectPath);
    m_window.updateCaption();
    const auto* bytes = reinterpret_cast<const uint8_t*>(record.projectBytes.constData());
    bool loaded = false;
    try {
        loaded = document.fill([&](TDevice_Config_v2& config, THandleList& images) {
            return loadProjectBytes(bytes, record.projectBytes.size(), config, images);
        });
    } catch (const std::exception&) {
        loaded = false;
    }
    if (!loaded) {
        // Read a moment ago; the file stays for another try.
        commands->Clear_Project();
        document.setPath(QString());
        m_window.Show_Project_Path(QString());
        m_window.updateCaption();
        return false;
    }
    m_window.showProjectState(true);
    commands->Show_Project();
    m_window.enableProjectCommands(true);
    // Bound to its own file, which does not hold these changes.
    document.Set_Modified(true);
    m_window.Log_Activity(int(TActivityStatus::ProjectLoaded), record.projectPath + QStringLiteral(" (recovered)"));
    m_lastChange = record.lastChange;
    // On disk as this configurator's own before the old file goes.
    writeNow();
    return true;
}
