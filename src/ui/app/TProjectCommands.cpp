#include "ui/app/TProjectCommands.h"

#include "core/document/TProjectDocument.h"
#include "core/imaging/ImageImport.h"
#include "core/messaging/UntrustedText.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "core/storage/ProjectFileLock.h"
#include "ui/app/TFileDialogs.h"
#include "ui/common/TProjectView.h"
#include "ui/common/gen_lib.h"
#include "ui/imaging/ProjectImageDecoding.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

TProjectCommands::TProjectCommands(TProjectDocument& document, TProjectView& view, TFileDialogs& dialogs,
                                   QObject* parent)
    : QObject(parent)
    , m_document(document)
    , m_view(view)
    , m_dialogs(dialogs)
{
}

QString TProjectCommands::discardQuestion()
{
    return QStringLiteral("The current project has been modified.      \rOK to discard changes?      ");
}

QString TProjectCommands::loadErrorText()
{
    return QStringLiteral("Error loading project file.      \rPlease try another file.      ");
}

QString TProjectCommands::tooManyLinesText()
{
    return QStringLiteral("The service text contains too many lines.      \rUnable to save the project.      ");
}

QString TProjectCommands::changedOnDiskQuestion(const QString& path)
{
    return QStringLiteral("%1 was changed by another program since it was opened here.      \r"
                          "Overwrite those changes with this project?      ")
        .arg(untrustedText(QFileInfo(path).fileName()));
}

QString TProjectCommands::withProjectExtension(const QString& path)
{
    const qsizetype nameStart = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? path.left(dot) : path;
    return stem + QStringLiteral(".cvp");
}

bool TProjectCommands::discardConfirmed()
{
    return changesSettled(discardQuestion());
}

bool TProjectCommands::changesSettled(const QString& question)
{
    if (!m_document.isModified())
        return true;
    // Saving is offered where the changes would be lost; Cancel, the safe
    // answer, is the default, so a stray Enter loses nothing.
    switch (Show_Message_Box_Ex(question, TMsgDlgType::MtConfirmation,
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Discard: return true;
    case QMessageBox::Save: return saveCurrent();
    default: return false;
    }
}

bool TProjectCommands::saveCurrent()
{
    if (m_document.projectPath().isEmpty() || m_document.images().empty())
        return false;
    if (!Save_Project(m_document.projectPath()))
        return false;
    m_view.Log_Activity(TActivityStatus::ProjectSaved, m_document.projectPath());
    emit projectFileUsed(m_document.projectPath());
    return true;
}

QString TProjectCommands::dialogFolder() const
{
    if (!m_document.projectPath().isEmpty())
        return QFileInfo(m_document.projectPath()).absolutePath();
    if (!m_lastFolder.isEmpty())
        return m_lastFolder;
    // Nothing worked on yet: the user's documents, not whatever folder the
    // program was started from.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

void TProjectCommands::setLastFolder(const QString& folder)
{
    m_lastFolder = folder;
}

void TProjectCommands::bindTo(const QString& path)
{
    // The next file dialog starts where this project is, even after it is
    // closed; a folder that does not exist (a mistyped new name) is not kept.
    const QFileInfo info(path);
    if (info.absoluteDir().exists())
        m_lastFolder = info.absolutePath();
    m_document.setPath(path);
    m_view.Show_Project_Path(path);
    m_view.updateCaption();
}

void TProjectCommands::newProject()
{
    if (!discardConfirmed())
        return;
    const QString chosen = m_dialogs.newProjectName(m_view.dialogParent(), dialogFolder());
    if (chosen.isEmpty())
        return;
    Clear_Project();
    bindTo(withProjectExtension(chosen));
    m_document.fill([](TDevice_Config_v2& record, THandleList& images) {
        createDefaultHandles(images);
        record = newProjectConfig();
        return true;
    });
    m_view.showProjectState(true);
    Show_Project();
    m_document.Set_Modified(true);
    m_view.enableProjectCommands(true);
    m_view.Log_Activity(TActivityStatus::NewProjectCreated, m_document.projectPath());
}

void TProjectCommands::openProject()
{
    if (!discardConfirmed())
        return;
    const QString chosen = m_dialogs.openProjectName(m_view.dialogParent(), dialogFolder());
    if (chosen.isEmpty())
        return;
    loadProject(chosen);
}

void TProjectCommands::openProjectPath(const QString& path)
{
    if (!discardConfirmed())
        return;
    loadProject(path);
}

void TProjectCommands::loadProject(const QString& path)
{
    Clear_Project();
    bindTo(path);

    QString reason;
    try {
        const QString& file = m_document.projectPath();
        if (m_document.fill([&](TDevice_Config_v2& record, THandleList& images) {
                return Load_Project_File(file, record, images);
            })) {
            rememberFile(m_document.projectPath());
            Show_Project();
            m_view.Log_Activity(TActivityStatus::ProjectLoaded, m_document.projectPath());
            m_view.enableProjectCommands(true);
            emit projectFileUsed(m_document.projectPath());
            return;
        }
        reason = unreadableLayoutReason();
    } catch (const std::exception& error) {
        reason = QString::fromUtf8(error.what());
    }
    returnToNoProject();
    // The file and the reason, in the box and in the log: "try another file"
    // alone does not say which file failed or what is wrong with it.
    m_view.logError(loadFailureLogText(), reason.contains(path) ? reason : path + QStringLiteral(": ") + reason);
    Show_Message_Box(loadFailureText(path, reason), TMsgDlgType::MtError, QMessageBox::Ok);
}

QString TProjectCommands::unreadableLayoutReason()
{
    return QStringLiteral("not a project file this program can read (unknown version, or a configuration record "
                          "cut short)");
}

QString TProjectCommands::loadFailureLogText()
{
    return QStringLiteral("Error loading project file");
}

QString TProjectCommands::loadFailureText(const QString& path, const QString& reason)
{
    const QString end = QStringLiteral("      ");
    return loadErrorText() + QStringLiteral("\r\rFile: ") + QDir::toNativeSeparators(path) + end
        + QStringLiteral("\rReason: ") + (reason.isEmpty() ? QStringLiteral("unknown") : reason) + end;
}

void TProjectCommands::rememberFile(const QString& path)
{
    m_knownPath = path;
    m_knownStamp = path.isEmpty() ? ProjectFileStamp() : ProjectFileStamp::of(path);
}

bool TProjectCommands::overwriteConfirmed(const QString& path)
{
    // Save As to another file has asked its own question about replacing it.
    if (path != m_knownPath || ProjectFileStamp::of(path) == m_knownStamp)
        return true;
    return Show_Message_Box_Ex(changedOnDiskQuestion(path), TMsgDlgType::MtWarning, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No)
        == QMessageBox::Yes;
}

void TProjectCommands::returnToNoProject()
{
    rememberFile(QString());
    Clear_Project();
    m_view.showProjectState(false);
    m_view.enableProjectCommands(false);
    m_document.setPath(QString());
    m_view.Show_Project_Path(QString());
    m_view.updateCaption();
    m_document.Set_Modified(false);
}

void TProjectCommands::saveProjectCommand()
{
    // Only an open project is ever written; the menu commands are disabled
    // otherwise, and a stray call must not write an empty project.
    saveCurrent();
}

void TProjectCommands::saveProjectAs()
{
    if (m_document.images().empty())
        return;
    const QString chosen = m_dialogs.saveProjectName(m_view.dialogParent(), m_document.projectPath());
    if (chosen.isEmpty())
        return;
    m_document.setPath(withProjectExtension(chosen));
    m_lastFolder = QFileInfo(m_document.projectPath()).absolutePath();
    const bool saved = Save_Project(m_document.projectPath());
    m_view.Show_Project_Path(m_document.projectPath());
    m_view.updateCaption();
    if (saved) {
        m_view.Log_Activity(TActivityStatus::ProjectSaved, m_document.projectPath());
        emit projectFileUsed(m_document.projectPath());
    }
}

bool TProjectCommands::Save_Project(const QString& path)
{
    if (serviceTextLineCount(m_view.serviceText()) > kServiceTextMaxLines) {
        Show_Message_Box(tooManyLinesText(), TMsgDlgType::MtWarning, QMessageBox::Ok);
        return false;
    }
    if (!overwriteConfirmed(path))
        return false;
    if (!writeProjectFile(path))
        return false;
    m_document.Set_Modified(false);
    return true;
}

bool TProjectCommands::writeProjectFile(const QString& path)
{
    // A failed write leaves the previous file in place (the writer replaces it
    // only once the new one is complete); the project stays modified and the
    // error's own message says what went wrong.
    // A command-line program changing the file right now finishes first
    // (or the save is refused), so neither change silently replaces the other.
    ProjectFileLock lock;
    QString busy;
    if (!lock.acquire(path, ProjectFileLock::kDefaultWaitMs, &busy)) {
        Show_Message_Box(untrustedText(busy, 1 << 20) + QStringLiteral("      "), TMsgDlgType::MtError,
                         QMessageBox::Ok);
        return false;
    }
    try {
        Save_Project_File(path, m_document.record(), m_document.images());
        rememberFile(path);
        return true;
    } catch (const std::exception& error) {
        Show_Message_Box(QString::fromUtf8(error.what()), TMsgDlgType::MtError, QMessageBox::Ok);
        return false;
    }
}

void TProjectCommands::closeProject()
{
    if (!discardConfirmed())
        return;
    const QString closedPath = m_document.projectPath();
    m_view.showProjectState(false);
    {
        const auto closing = m_document.closingScope();
        Clear_Project();
    }
    m_view.enableProjectCommands(false);
    m_document.Set_Modified(false);
    m_view.Log_Activity(TActivityStatus::ProjectClosed, closedPath);
    rememberFile(QString());
    m_document.setPath(QString());
    m_view.Show_Project_Path(QString());
    m_view.updateCaption();
}

void TProjectCommands::Clear_Project()
{
    // Nodes go before the handles: they point into the cells.
    m_view.clearTree();
    m_document.fill([](TDevice_Config_v2&, THandleList& images) {
        images.clear();
        return true;
    });
    m_document.Set_Modified(false);
    m_view.showDragLabel();
    m_document.resetHistory();
}

void TProjectCommands::Show_Project()
{
    QStringList undecodable;
    {
        const auto loading = m_document.loadingScope();
        // Each image gets its normalised name first, so a picture that
        // cannot be decoded is reported under the name the user sees.
        m_document.fill([&](TDevice_Config_v2&, THandleList& images) {
            for (const auto& handle : images)
                for (const auto& cell : handle->cells)
                    cell->name = imageDisplayName(cell->name);
            undecodable = decodeProjectImages(images);
            return true;
        });
        m_view.buildTree(m_document.images());
        m_view.Show_Device_Config(m_document.record());
        m_view.showProjectState(true);
        m_view.selectConfigurationPage();
        m_view.selectTreeTopNode();
    }
    m_view.Update_Memory_Chart();
    m_view.tickUploadBoxes();
    // The stored bytes of such an image stay as they are and are saved back
    // unchanged; only its picture is missing from the window.
    for (const QString& image : undecodable)
        m_view.Log_Activity(TActivityStatus::InvalidImageFile, image);
    // Undo starts from the project as shown.
    m_document.resetHistory();
}
