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

QString TProjectCommands::Discard_Question()
{
    return QStringLiteral("The current project has been modified.      \rOK to discard changes?      ");
}

QString TProjectCommands::Load_Error_Text()
{
    return QStringLiteral("Error loading project file.      \rPlease try another file.      ");
}

QString TProjectCommands::Too_Many_Lines_Text()
{
    return QStringLiteral("The service text contains too many lines.      \rUnable to save the project.      ");
}

QString TProjectCommands::Changed_On_Disk_Question(const QString& path)
{
    return QStringLiteral("%1 was changed by another program since it was opened here.      \r"
                          "Overwrite those changes with this project?      ")
        .arg(Untrusted_Text(QFileInfo(path).fileName()));
}

QString TProjectCommands::With_Project_Extension(const QString& path)
{
    const qsizetype nameStart = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? path.left(dot) : path;
    return stem + QStringLiteral(".cvp");
}

bool TProjectCommands::Discard_Confirmed()
{
    return Changes_Settled(Discard_Question());
}

bool TProjectCommands::Changes_Settled(const QString& question)
{
    if (!m_document.isModified())
        return true;
    // Saving is offered where the changes would be lost; Cancel, the safe
    // answer, is the default, so a stray Enter loses nothing.
    switch (Show_Message_Box_Ex(question, TMsgDlgType::mtConfirmation,
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Discard: return true;
    case QMessageBox::Save: return Save_Current();
    default: return false;
    }
}

bool TProjectCommands::Save_Current()
{
    if (m_document.projectPath().isEmpty() || m_document.images().empty())
        return false;
    if (!Save_Project(m_document.projectPath()))
        return false;
    m_view.Log_Activity(TActivityStatus::Project_Saved, m_document.projectPath());
    emit projectFileUsed(m_document.projectPath());
    return true;
}

QString TProjectCommands::Dialog_Folder() const
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

void TProjectCommands::Set_Last_Folder(const QString& folder)
{
    m_lastFolder = folder;
}

void TProjectCommands::Bind_To(const QString& path)
{
    // The next file dialog starts where this project is, even after it is
    // closed; a folder that does not exist (a mistyped new name) is not kept.
    const QFileInfo info(path);
    if (info.absoluteDir().exists())
        m_lastFolder = info.absolutePath();
    m_document.Set_Path(path);
    m_view.Show_Project_Path(path);
    m_view.updateCaption();
}

void TProjectCommands::New_Project()
{
    if (!Discard_Confirmed())
        return;
    const QString chosen = m_dialogs.New_Project_Name(m_view.dialogParent(), Dialog_Folder());
    if (chosen.isEmpty())
        return;
    Clear_Project();
    Bind_To(With_Project_Extension(chosen));
    m_document.fill([](TDevice_Config_v2& record, THandle_List& images) {
        Create_Default_Handles(images);
        record = New_Project_Config();
        return true;
    });
    m_view.showProjectState(true);
    Show_Project();
    m_document.Set_Modified(true);
    m_view.enableProjectCommands(true);
    m_view.Log_Activity(TActivityStatus::New_Project_Created, m_document.projectPath());
}

void TProjectCommands::Open_Project()
{
    if (!Discard_Confirmed())
        return;
    const QString chosen = m_dialogs.Open_Project_Name(m_view.dialogParent(), Dialog_Folder());
    if (chosen.isEmpty())
        return;
    Load_Project(chosen);
}

void TProjectCommands::Open_Project_Path(const QString& path)
{
    if (!Discard_Confirmed())
        return;
    Load_Project(path);
}

void TProjectCommands::Load_Project(const QString& path)
{
    Clear_Project();
    Bind_To(path);

    QString reason;
    try {
        const QString& file = m_document.projectPath();
        if (m_document.fill([&](TDevice_Config_v2& record, THandle_List& images) {
                return Load_Project_File(file, record, images);
            })) {
            Remember_File(m_document.projectPath());
            Show_Project();
            m_view.Log_Activity(TActivityStatus::Project_Loaded, m_document.projectPath());
            m_view.enableProjectCommands(true);
            emit projectFileUsed(m_document.projectPath());
            return;
        }
        reason = Unreadable_Layout_Reason();
    } catch (const std::exception& error) {
        reason = QString::fromUtf8(error.what());
    }
    Return_To_No_Project();
    // The file and the reason, in the box and in the log: "try another file"
    // alone does not say which file failed or what is wrong with it.
    m_view.logError(Load_Failure_Log_Text(), reason.contains(path) ? reason : path + QStringLiteral(": ") + reason);
    Show_Message_Box(Load_Failure_Text(path, reason), TMsgDlgType::mtError, QMessageBox::Ok);
}

QString TProjectCommands::Unreadable_Layout_Reason()
{
    return QStringLiteral("not a project file this program can read (unknown version, or a configuration record "
                          "cut short)");
}

QString TProjectCommands::Load_Failure_Log_Text()
{
    return QStringLiteral("Error loading project file");
}

QString TProjectCommands::Load_Failure_Text(const QString& path, const QString& reason)
{
    const QString end = QStringLiteral("      ");
    return Load_Error_Text() + QStringLiteral("\r\rFile: ") + QDir::toNativeSeparators(path) + end
        + QStringLiteral("\rReason: ") + (reason.isEmpty() ? QStringLiteral("unknown") : reason) + end;
}

void TProjectCommands::Remember_File(const QString& path)
{
    m_knownPath = path;
    m_knownStamp = path.isEmpty() ? ProjectFileStamp() : ProjectFileStamp::of(path);
}

bool TProjectCommands::Overwrite_Confirmed(const QString& path)
{
    // Save As to another file has asked its own question about replacing it.
    if (path != m_knownPath || ProjectFileStamp::of(path) == m_knownStamp)
        return true;
    return Show_Message_Box_Ex(Changed_On_Disk_Question(path), TMsgDlgType::mtWarning,
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void TProjectCommands::Return_To_No_Project()
{
    Remember_File(QString());
    Clear_Project();
    m_view.showProjectState(false);
    m_view.enableProjectCommands(false);
    m_document.Set_Path(QString());
    m_view.Show_Project_Path(QString());
    m_view.updateCaption();
    m_document.Set_Modified(false);
}

void TProjectCommands::Save_Project_Command()
{
    // Only an open project is ever written; the menu commands are disabled
    // otherwise, and a stray call must not write an empty project.
    Save_Current();
}

void TProjectCommands::Save_Project_As()
{
    if (m_document.images().empty())
        return;
    const QString chosen = m_dialogs.Save_Project_Name(m_view.dialogParent(), m_document.projectPath());
    if (chosen.isEmpty())
        return;
    m_document.Set_Path(With_Project_Extension(chosen));
    m_lastFolder = QFileInfo(m_document.projectPath()).absolutePath();
    const bool saved = Save_Project(m_document.projectPath());
    m_view.Show_Project_Path(m_document.projectPath());
    m_view.updateCaption();
    if (saved) {
        m_view.Log_Activity(TActivityStatus::Project_Saved, m_document.projectPath());
        emit projectFileUsed(m_document.projectPath());
    }
}

bool TProjectCommands::Save_Project(const QString& path)
{
    if (Service_Text_Line_Count(m_view.serviceText()) > kServiceTextMaxLines) {
        Show_Message_Box(Too_Many_Lines_Text(), TMsgDlgType::mtWarning, QMessageBox::Ok);
        return false;
    }
    if (!Overwrite_Confirmed(path))
        return false;
    if (!Write_Project_File(path))
        return false;
    m_document.Set_Modified(false);
    return true;
}

bool TProjectCommands::Write_Project_File(const QString& path)
{
    // A failed write leaves the previous file in place (the writer replaces it
    // only once the new one is complete); the project stays modified and the
    // error's own message says what went wrong.
    // A command-line program changing the file right now finishes first
    // (or the save is refused), so neither change silently replaces the other.
    ProjectFileLock lock;
    QString busy;
    if (!lock.acquire(path, ProjectFileLock::kDefaultWaitMs, &busy)) {
        Show_Message_Box(Untrusted_Text(busy, 1 << 20) + QStringLiteral("      "), TMsgDlgType::mtError,
                         QMessageBox::Ok);
        return false;
    }
    try {
        Save_Project_File(path, m_document.record(), m_document.images());
        Remember_File(path);
        return true;
    } catch (const std::exception& error) {
        Show_Message_Box(QString::fromUtf8(error.what()), TMsgDlgType::mtError, QMessageBox::Ok);
        return false;
    }
}

void TProjectCommands::Close_Project()
{
    if (!Discard_Confirmed())
        return;
    const QString closedPath = m_document.projectPath();
    m_view.showProjectState(false);
    {
        const auto closing = m_document.closingScope();
        Clear_Project();
    }
    m_view.enableProjectCommands(false);
    m_document.Set_Modified(false);
    m_view.Log_Activity(TActivityStatus::Project_Closed, closedPath);
    Remember_File(QString());
    m_document.Set_Path(QString());
    m_view.Show_Project_Path(QString());
    m_view.updateCaption();
}

void TProjectCommands::Clear_Project()
{
    // Nodes go before the handles: they point into the cells.
    m_view.clearTree();
    m_document.fill([](TDevice_Config_v2&, THandle_List& images) {
        images.clear();
        return true;
    });
    m_document.Set_Modified(false);
    m_view.showDragLabel();
    m_document.Reset_History();
}

void TProjectCommands::Show_Project()
{
    QStringList undecodable;
    {
        const auto loading = m_document.loadingScope();
        // Each image gets its normalised name first, so a picture that
        // cannot be decoded is reported under the name the user sees.
        m_document.fill([&](TDevice_Config_v2&, THandle_List& images) {
            for (const auto& handle : images)
                for (const auto& cell : handle->cells)
                    cell->name = Image_Display_Name(cell->name);
            undecodable = Decode_Project_Images(images);
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
        m_view.Log_Activity(TActivityStatus::Invalid_Image_File, image);
    // Undo starts from the project as shown.
    m_document.Reset_History();
}
