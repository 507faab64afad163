#include "ui/app/TProjectCommands.h"

#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "ui/app/ProjectImageDecoding.h"
#include "ui/app/TFileDialogs.h"
#include "ui/app/TImagesPage.h"
#include "ui/app/TProjectTreePanel.h"
#include "ui/app/TUploadDataPage.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/app/gen_lib.h"

#include <QFileInfo>
#include <QLabel>
#include <QStringList>

namespace {
// Service text lives in its editor while being edited; the editor belongs to
// the configuration pages and is found by name.
QObject* Service_Text_Editor(Tbmpgen_Form& form)
{
    return form.findChild<QObject*>(QStringLiteral("service_text_Memo"));
}

// loading_flag is cleared on every way out, so an error while filling the
// window never leaves Set_Modified switched off for good.
class Loading_Scope {
public:
    explicit Loading_Scope(bool& flag) : flag_(flag) { flag_ = true; }
    ~Loading_Scope() { flag_ = false; }
    Loading_Scope(const Loading_Scope&) = delete;
    Loading_Scope& operator=(const Loading_Scope&) = delete;

private:
    bool& flag_;
};
} // namespace

TProjectCommands::TProjectCommands(Tbmpgen_Form& form, TFileDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , form(form)
    , dialogs(dialogs)
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

QString TProjectCommands::With_Project_Extension(const QString& path)
{
    const qsizetype nameStart = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? path.left(dot) : path;
    return stem + QStringLiteral(".cvp");
}

QString TProjectCommands::Project_Name_Of(const QString& path)
{
    return QFileInfo(path).completeBaseName();
}

int TProjectCommands::Text_Line_Count(const QString& text)
{
    if (text.isEmpty())
        return 0;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    int lines = int(t.count(QLatin1Char('\n'))) + 1;
    if (t.endsWith(QLatin1Char('\n')))
        --lines;
    return lines;
}

bool TProjectCommands::Discard_Confirmed()
{
    if (!form.modified)
        return true;
    return Show_Message_Box_Ex(Discard_Question(), TMsgDlgType::mtConfirmation, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No)
        == QMessageBox::Yes;
}

void TProjectCommands::Bind_To(const QString& path)
{
    form.project_fullpath = path;
    form.project_name = Project_Name_Of(path);
    form.Show_Project_Path(path);
    form.Update_Caption();
}

void TProjectCommands::New_Project()
{
    if (!Discard_Confirmed())
        return;
    const QString chosen = dialogs.New_Project_Name(&form);
    if (chosen.isEmpty())
        return;
    Clear_Project();
    Bind_To(With_Project_Extension(chosen));
    Create_Default_Handles(form.Handle_List);
    form.Visible_Handle_Idx = -1;
    form.Project_Device_Config = New_Project_Config();
    form.Show_Project_State(true);
    Show_Project();
    form.Set_Modified(true);
    form.Enable_Project_Commands(true);
    form.Log_Activity(27, form.project_fullpath);
}

void TProjectCommands::Open_Project()
{
    if (!Discard_Confirmed())
        return;
    const QString chosen = dialogs.Open_Project_Name(&form);
    if (chosen.isEmpty())
        return;
    Clear_Project();
    Bind_To(chosen);

    QString failure;
    try {
        if (Load_Project_File(form.project_fullpath, form.Project_Device_Config, form.Handle_List)) {
            Show_Project();
            form.Log_Activity(5, form.project_fullpath);
            form.Enable_Project_Commands(true);
            return;
        }
        failure = Load_Error_Text();
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
        if (failure.isEmpty())
            failure = Load_Error_Text();
    }
    Return_To_No_Project();
    Show_Message_Box(failure, TMsgDlgType::mtError, QMessageBox::Ok);
}

void TProjectCommands::Return_To_No_Project()
{
    Clear_Project();
    form.Show_Project_State(false);
    form.Enable_Project_Commands(false);
    form.project_fullpath.clear();
    form.project_name.clear();
    form.Show_Project_Path(QString());
    form.Update_Caption();
    form.Set_Modified(false);
}

void TProjectCommands::Save_Project_Command()
{
    // Only an open project is ever written; the menu commands are disabled
    // otherwise, and a stray call must not write an empty project.
    if (form.project_fullpath.isEmpty() || form.Handle_List.empty())
        return;
    if (Save_Project(form.project_fullpath))
        form.Log_Activity(6, form.project_fullpath);
}

void TProjectCommands::Save_Project_As()
{
    if (form.Handle_List.empty())
        return;
    const QString chosen = dialogs.Save_Project_Name(&form);
    if (chosen.isEmpty())
        return;
    form.project_fullpath = With_Project_Extension(chosen);
    form.project_name = Project_Name_Of(form.project_fullpath);
    const bool saved = Save_Project(form.project_fullpath);
    form.Show_Project_Path(form.project_fullpath);
    form.Update_Caption();
    if (saved)
        form.Log_Activity(6, form.project_fullpath);
}

bool TProjectCommands::Save_Project(const QString& path)
{
    if (QObject* editor = Service_Text_Editor(form)) {
        const QString text = editor->property("plainText").toString();
        if (Text_Line_Count(text) >= 4) {
            Show_Message_Box(Too_Many_Lines_Text(), TMsgDlgType::mtWarning, QMessageBox::Ok);
            return false;
        }
        // The record separates lines with CR; the editor's own line breaks
        // become CR LF first, as the record's writer expects.
        QString crlf = text;
        crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        Write_Service_Text(crlf, form.Project_Device_Config);
    }
    if (!Write_Project_File(path))
        return false;
    form.Set_Modified(false);
    return true;
}

bool TProjectCommands::Write_Project_File(const QString& path)
{
    // A failed write leaves the previous file in place (the writer replaces it
    // only once the new one is complete); the project stays modified and the
    // error's own message says what went wrong.
    try {
        Save_Project_File(path, form.Project_Device_Config, form.Handle_List);
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
    const QString closedPath = form.project_fullpath;
    form.Show_Project_State(false);
    form.closing_flag = true;
    try {
        Clear_Project();
    } catch (...) {
        form.closing_flag = false;
        throw;
    }
    form.closing_flag = false;
    form.Enable_Project_Commands(false);
    form.Set_Modified(false);
    form.Log_Activity(7, closedPath);
    form.project_fullpath.clear();
    form.project_name.clear();
    form.Show_Project_Path(QString());
    form.Update_Caption();
}

void TProjectCommands::Clear_Project()
{
    // Nodes go before the handles: they point into the cells.
    form.Tree_Panel()->Clear();
    form.Handle_List.clear();
    form.Set_Modified(false);
    form.Images_Page()->Drag_Label()->show();
    form.Visible_Handle_Idx = -1;
}

void TProjectCommands::Show_Project()
{
    QStringList undecodable;
    {
        Loading_Scope loading(form.loading_flag);
        // The tree gives each image its normalised name first, so a picture
        // that cannot be decoded is reported under the name the user sees.
        form.Tree_Panel()->Build(form.Handle_List);
        undecodable = Decode_Project_Images(form.Handle_List);
        form.Show_Device_Config(form.Project_Device_Config);
        form.Show_Project_State(true);
        form.Select_Configuration_Page();
        form.Select_Tree_Top_Node();
    }
    form.Update_Memory_Chart();
    form.Upload_Page()->Tick_Both();
    // The stored bytes of such an image stay as they are and are saved back
    // unchanged; only its picture is missing from the window.
    for (const QString& image : undecodable)
        form.Log_Activity(0, image);
}
