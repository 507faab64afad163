#include "ui/imaging/TImagesPage.h"

#include "core/document/TProjectDocument.h"
#include "core/imaging/ImageImport.h"
#include "ui/common/gen_lib.h"
#include "ui/imaging/THandlePanel.h"
#include "ui/imaging/TImageDropImport.h"
#include "ui/imaging/TImageFrame.h"
#include "ui/imaging/TImageFrameAccessible.h"
#include "ui/imaging/TImageLibraryCommands.h"
#include "ui/imaging/TImageView.h"
#include "ui/imaging/TMemoryUsagePanel.h"
#include "ui/imaging/TProjectTreePanel.h"
#include "ui/imaging/TTreeContextMenu.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Formats whose pixels carry no transparency: a checkerboard behind them
// would never show.
bool Has_Transparency(int format)
{
    switch (format) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 7:
    case 17: return false;
    default: return true;
    }
}

// bg_colour is kept as the Windows colour value 0x00BBGGRR.
QColor Windows_Colour(uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// What shows behind a frame's picture: the handle's colour, or for a handle
// that stores transparency a light checkerboard.
QImage Frame_Background(const THandle_object& handle)
{
    QImage background;
    if (!Has_Transparency(handle.compression_format) || !handle.compress_images) {
        background = QImage(handle.width, handle.height, QImage::Format_ARGB32_Premultiplied);
        background.fill(Windows_Colour(handle.bg_colour));
    } else {
        Make_Checker_Bitmap(background, handle.height, handle.width, QColor(0xF7, 0xF7, 0xF7), Qt::white, 5);
    }
    return background;
}

QImage Frame_Veil(const THandle_object& handle)
{
    QImage veil(handle.width, handle.height, QImage::Format_ARGB32_Premultiplied);
    veil.fill(QColor(0xDA, 0xDA, 0xDA));
    return veil;
}

std::optional<QString> Ask_With_Dialog(QWidget* parent, const QString& title, const QString& prompt,
                                       const QString& current)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("rename_Dialog"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(current);
    // Wide enough for the title bar's text and a long name, whatever the
    // style would choose on its own.
    const QFontMetrics metrics(dialog.font());
    const int room
        = qMax(metrics.horizontalAdvance(title), metrics.horizontalAdvance(current + QStringLiteral("WWWW")));
    dialog.setMinimumWidth(
        qMax(dialog.logicalDpiX() * 320 / 96, room + metrics.horizontalAdvance(QStringLiteral("WWWWWW"))));
    // Names are kept in capitals: the field shows them so as they are typed.
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
            const QString upper = text.toUpper();
            if (upper == text)
                return;
            const int cursor = edit->cursorPosition();
            edit->setText(upper);
            edit->setCursorPosition(cursor);
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QStringList Ask_Files_With_Dialog(QWidget* parent, const QString& title, const QString& filter)
{
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setObjectName(QStringLiteral("add_images_Dialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

TImagesPage::TImagesPage(TProjectDocument& document, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_nameInput(Ask_With_Dialog)
    , m_filesInput(Ask_Files_With_Dialog)
{
    TImageFrameAccessible::Install();
    setObjectName(QStringLiteral("images_TabSheet"));
    treePanel = new TProjectTreePanel;
    memoryPanel = new TMemoryUsagePanel;
    auto* left = new QWidget;
    left->setObjectName(QStringLiteral("tree_Panel"));
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(treePanel, 3);
    leftLayout->addWidget(memoryPanel, 2);

    handlePanel = new THandlePanel;
    imageView = new TImageView;
    viewPanel = new QWidget;
    viewPanel->setObjectName(QStringLiteral("image_view_Panel"));
    auto* rightLayout = new QVBoxLayout(viewPanel);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(handlePanel);
    rightLayout->addWidget(imageView, 1);
    // The drop area is the only place that could say what it takes; a line
    // under it keeps saying so once pictures cover the "Drag Image Files
    // Here" label.
    dropHint = new QLabel;
    dropHint->setObjectName(QStringLiteral("drop_hint_Label"));
    dropHint->setWordWrap(true);
    dropHint->setContentsMargins(4, 2, 4, 2);
    rightLayout->addWidget(dropHint);
    viewPanel->hide();

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(viewPanel);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 600});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    importProgress = new QProgressBar;
    importProgress->setObjectName(QStringLiteral("import_ProgressBar"));
    importProgress->setFormat(QStringLiteral("Importing images: %v of %m"));
    importProgress->setAccessibleName(QStringLiteral("Importing images"));
    importProgress->setMaximumWidth(260);
    importProgress->hide();

    dropImport = new TImageDropImport(this);
    commands = new TImageLibraryCommands(*this, m_document, this);
    treeMenu = new TTreeContextMenu(*treePanel, this);
    connect(treePanel->Add_Images_Button(), &QToolButton::clicked, this, &TImagesPage::Add_Images);

    connect(treePanel->Project_TreeView(), &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { On_Selection_Changed(current); });
    connect(imageView, &TImageView::filesDropped, this, &TImagesPage::Drop_Image_Files);
    connect(dropImport, &TImageDropImport::prepared, this, &TImagesPage::On_Prepared);
    connect(dropImport, &TImageDropImport::finished, this, &TImagesPage::On_Import_Finished);
    connect(dropImport, &TImageDropImport::progress, this, &TImagesPage::On_Import_Progress);
}

TImagesPage::~TImagesPage()
{
    dropImport->Cancel();
    // The status bar that shows the progress bar may outlive the page.
    delete importProgress;
}

QLabel* TImagesPage::Drag_Label() const
{
    return imageView->Drag_Label();
}

void TImagesPage::Set_Name_Input(TNameInput input)
{
    m_nameInput = input ? std::move(input) : TNameInput(Ask_With_Dialog);
}

void TImagesPage::Set_Image_Files_Input(TImageFilesInput input)
{
    m_filesInput = input ? std::move(input) : TImageFilesInput(Ask_Files_With_Dialog);
}

QString TImagesPage::Image_Files_Filter()
{
    return QStringLiteral("Pictures (*.bmp *.png *.jpg *.jpeg *.gif);;All files (*)");
}

QString TImagesPage::Add_Images_Title(const THandle_object& handle)
{
    return QStringLiteral("Add Images to %1 (%2 x %3)").arg(handle.name).arg(handle.width).arg(handle.height);
}

QString TImagesPage::Drop_Hint_Text(const THandle_object& handle)
{
    return QStringLiteral("Drop BMP, PNG, JPEG or GIF pictures of exactly %1 x %2 pixels here, or use %3")
        .arg(handle.width)
        .arg(handle.height)
        .arg(TProjectTreePanel::Add_Images_Text());
}

const THandle_object* TImagesPage::Receiving_Handle() const
{
    const QTreeWidgetItem* node = treePanel->Project_TreeView()->currentItem();
    if (!node)
        return nullptr;
    const THandle_object* handle = treePanel->Handle_Of(node->parent() ? node->parent() : node);
    const int position = Handle_Position(handle);
    if (position < 0 || (Thumbnail_Handle_Index(position) < 0 && position != INFO_SCREENS_IDX))
        return nullptr;
    return handle;
}

bool TImagesPage::Add_Images_Enabled() const
{
    return !dropImport->Running() && Receiving_Handle() != nullptr;
}

void TImagesPage::Add_Images()
{
    if (!Add_Images_Enabled())
        return;
    const THandle_object& handle = *Receiving_Handle();
    const QStringList paths = m_filesInput(window(), Add_Images_Title(handle), Image_Files_Filter());
    // The dialog keeps the window's events running; the project may have
    // been closed or an import started meanwhile.
    if (paths.isEmpty() || Receiving_Handle() != &handle || dropImport->Running())
        return;
    Drop_Image_Files(paths);
}

std::optional<QString> TImagesPage::Ask_Name(const QString& title, const QString& prompt, const QString& current)
{
    return m_nameInput(this, title, prompt, current);
}

int TImagesPage::Handle_Position(const THandle_object* handle) const
{
    const THandle_List& images = m_document.images();
    for (size_t i = 0; i < images.size(); ++i)
        if (images[i].get() == handle)
            return int(i);
    return -1;
}

void TImagesPage::Build_Tree(const THandle_List& list)
{
    treePanel->Build(list);
}

void TImagesPage::Clear()
{
    dropImport->Cancel();
    if (importProgress)
        importProgress->hide();
    imageView->Set_Drops_Enabled(false);
    imageView->Clear_Frames();
    imageView->Show_Not_Included(false);
    imageView->Show_Drag_Label(true);
    handlePanel->Clear();
    dropHint->clear();
    treePanel->Clear();
    treePanel->Disable_Tree_Buttons();
    viewPanel->hide();
    Visible_Handle_Idx = -1;
}

void TImagesPage::Show_Drag_Label()
{
    imageView->Show_Drag_Label(true);
}

void TImagesPage::On_Selection_Changed(QTreeWidgetItem* current)
{
    if (m_document.isClosing())
        return;
    viewPanel->show();
    if (current) {
        const THandle_object* handle = treePanel->Handle_Of(current->parent() ? current->parent() : current);
        const int position = Handle_Position(handle);
        if (handle && position != Visible_Handle_Idx) {
            Visible_Handle_Idx = position;
            Show_Handle(*handle);
        }
    }
    Update_Tree_Buttons(current);
}

void TImagesPage::Update_Tree_Buttons(const QTreeWidgetItem* node)
{
    // The commands would change the handle under an import that is still
    // adding to it.
    if (dropImport->Running())
        treePanel->Disable_Tree_Buttons();
    else
        treePanel->Update_Tree_Buttons(node);
}

void TImagesPage::Show_Handle(const THandle_object& handle)
{
    handlePanel->Show(handle);
    dropHint->setText(Drop_Hint_Text(handle));
    Build_Cell_View(handle);
    imageView->Show_Not_Included(!handle.included);
    imageView->Set_Drops_Enabled(!dropImport->Running()
                                 && !TProjectTreePanel::Is_Hidden_Root(Handle_Position(&handle)));
}

void TImagesPage::Build_Cell_View(const THandle_object& handle)
{
    imageView->Clear_Frames();
    if (handle.cells.empty()) {
        imageView->Show_Drag_Label(true);
        return;
    }
    const QImage background = Frame_Background(handle);
    const QImage veil = Frame_Veil(handle);
    imageView->Show_Drag_Label(false);
    for (const auto& cell : handle.cells) {
        auto* frame = new TImageFrame(*cell, background, veil);
        frame->setObjectName(QStringLiteral("ImgFrame%1").arg(cell_frame_counter++));
        imageView->Append_Frame(frame);
    }
    imageView->Lay_Out_Frames();
}

void TImagesPage::Append_Frame(const TCell_object& cell)
{
    const THandle_object& handle = *cell.pHandle;
    if (imageView->CellView_List().size() + 1 != qsizetype(handle.cells.size()))
        return; // the view is not in step; the handle is shown afresh at the end
    auto* frame = new TImageFrame(cell, Frame_Background(handle), Frame_Veil(handle));
    frame->setObjectName(QStringLiteral("ImgFrame%1").arg(cell_frame_counter++));
    imageView->Show_Drag_Label(false);
    imageView->Append_Frame(frame);
    imageView->Lay_Out_Frames();
}

bool TImagesPage::View_In_Step(const THandle_object& handle) const
{
    const QList<TImageFrame*>& frames = imageView->CellView_List();
    if (frames.size() != qsizetype(handle.cells.size()))
        return false;
    for (qsizetype i = 0; i < frames.size(); ++i)
        if (frames[i]->pictureId() != handle.cells[size_t(i)]->pictureId)
            return false;
    return true;
}

void TImagesPage::Show_Handle_Memory(const THandle_object& handle, bool showLabels)
{
    if (showLabels && Handle_Position(&handle) == Visible_Handle_Idx)
        handlePanel->Show_Storage(handle);
    Update_Memory_Chart();
}

void TImagesPage::Update_Memory_Chart()
{
    memoryPanel->Update_Memory_Chart(m_document.images());
}

void TImagesPage::Drop_Image_Files(const QStringList& paths)
{
    if (dropImport->Running() || paths.isEmpty())
        return;
    const THandle_object* handle = Receiving_Handle();
    if (!handle)
        return;
    const int position = Handle_Position(handle);
    imageView->Set_Drops_Enabled(false);
    treePanel->Disable_Tree_Buttons();
    On_Import_Progress(0, int(paths.size()));
    if (importProgress)
        importProgress->show();
    const bool full = handle->cells.size() > size_t(kMaxImagesPerHandle - 1);
    // However many files it adds, one import is one undo step.
    m_document.Begin_Edit_Group();
    m_summary.Clear();
    dropImport->Start(paths, TImport_Target::of(m_document.images(), position), full);
}

void TImagesPage::On_Prepared(const TImport_Target& target, TPrepared_Image* image)
{
    const QString path = image->path;
    const QString reason = image->reason;
    TImport_Result result;
    // Inside the import's edit group: the step is made when it ends.
    m_document.editImages(QString(), [&](THandle_List& images) {
        result = Apply_Import(images, target, std::move(*image));
        return result.cell != nullptr;
    });
    if (result.cell) {
        treePanel->Add_Cell_Node(target.handleIdx, result.cell);
        if (result.thumbnail)
            treePanel->Add_Cell_Node(target.thumbnailIdx, result.thumbnail);
        // The frame is made now, a few milliseconds per image, rather than
        // all of them at the end in one long stretch.
        if (target.handleIdx == Visible_Handle_Idx)
            Append_Frame(*result.cell);
    }
    emit logActivity(result.status, path);
    m_summary.Add(path, result.status, reason);
}

void TImagesPage::On_Import_Progress(int done, int total)
{
    if (!importProgress)
        return;
    importProgress->setRange(0, total);
    importProgress->setValue(done);
}

void TImagesPage::On_Import_Finished(const TImport_Target& target)
{
    m_document.End_Edit_Group();
    if (importProgress)
        importProgress->hide();
    if (target.handleIdx == Visible_Handle_Idx) {
        const THandle_object& handle = *m_document.images().at(size_t(target.handleIdx));
        // The frames were added as the images came; when the view shows
        // exactly the handle's images, only the panel needs showing again.
        if (View_In_Step(handle)) {
            handlePanel->Show(handle);
            imageView->Show_Not_Included(!handle.included);
            imageView->Set_Drops_Enabled(true);
        } else {
            Show_Handle(handle);
        }
    } else if (Visible_Handle_Idx >= 0) {
        imageView->Set_Drops_Enabled(true);
    }
    Update_Memory_Chart();
    Update_Tree_Buttons(treePanel->Project_TreeView()->currentItem());
    // Refusals are told once, together, rather than only as log rows the
    // user may not be looking at; a drop that added everything speaks for
    // itself in the view.
    if (m_summary.Refused() > 0)
        Show_Message_Box(m_summary.Text(), TMsgDlgType::mtWarning, QMessageBox::Ok);
}
