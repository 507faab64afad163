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
bool hasTransparency(int format)
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
QColor windowsColour(uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// What shows behind a frame's picture: the handle's colour, or for a handle
// that stores transparency a light checkerboard.
QImage frameBackground(const THandle_object& handle)
{
    QImage background;
    if (!hasTransparency(handle.compression_format) || !handle.compress_images) {
        background = QImage(handle.width, handle.height, QImage::Format_ARGB32_Premultiplied);
        background.fill(windowsColour(handle.bg_colour));
    } else {
        makeCheckerBitmap(background, handle.height, handle.width, QColor(0xF7, 0xF7, 0xF7), Qt::white, 5);
    }
    return background;
}

QImage frameVeil(const THandle_object& handle)
{
    QImage veil(handle.width, handle.height, QImage::Format_ARGB32_Premultiplied);
    veil.fill(QColor(0xDA, 0xDA, 0xDA));
    return veil;
}

std::optional<QString> askWithDialog(QWidget* parent, const QString& title, const QString& prompt,
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

QStringList askFilesWithDialog(QWidget* parent, const QString& title, const QString& filter)
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
    , m_nameInput(askWithDialog)
    , m_filesInput(askFilesWithDialog)
{
    TImageFrameAccessible::install();
    setObjectName(QStringLiteral("images_TabSheet"));
    m_treePanel = new TProjectTreePanel;
    m_memoryPanel = new TMemoryUsagePanel;
    auto* left = new QWidget;
    left->setObjectName(QStringLiteral("tree_Panel"));
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_treePanel, 3);
    leftLayout->addWidget(m_memoryPanel, 2);

    m_handlePanel = new THandlePanel;
    m_imageView = new TImageView;
    m_viewPanel = new QWidget;
    m_viewPanel->setObjectName(QStringLiteral("image_view_Panel"));
    auto* rightLayout = new QVBoxLayout(m_viewPanel);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_handlePanel);
    rightLayout->addWidget(m_imageView, 1);
    // The drop area is the only place that could say what it takes; a line
    // under it keeps saying so once pictures cover the "Drag Image Files
    // Here" label.
    m_dropHint = new QLabel;
    m_dropHint->setObjectName(QStringLiteral("drop_hint_Label"));
    m_dropHint->setWordWrap(true);
    m_dropHint->setContentsMargins(4, 2, 4, 2);
    rightLayout->addWidget(m_dropHint);
    m_viewPanel->hide();

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(m_viewPanel);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 600});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    m_importProgress = new QProgressBar;
    m_importProgress->setObjectName(QStringLiteral("import_ProgressBar"));
    m_importProgress->setFormat(QStringLiteral("Importing images: %v of %m"));
    m_importProgress->setAccessibleName(QStringLiteral("Importing images"));
    m_importProgress->setMaximumWidth(260);
    m_importProgress->hide();

    m_dropImport = new TImageDropImport(this);
    m_commands = new TImageLibraryCommands(*this, m_document, this);
    m_treeMenu = new TTreeContextMenu(*m_treePanel, this);
    connect(m_treePanel->addImagesButton(), &QToolButton::clicked, this, &TImagesPage::addImages);

    connect(m_treePanel->Project_TreeView(), &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onSelectionChanged(current); });
    connect(m_imageView, &TImageView::filesDropped, this, &TImagesPage::Drop_Image_Files);
    connect(m_dropImport, &TImageDropImport::prepared, this, &TImagesPage::onPrepared);
    connect(m_dropImport, &TImageDropImport::finished, this, &TImagesPage::onImportFinished);
    connect(m_dropImport, &TImageDropImport::progress, this, &TImagesPage::onImportProgress);
}

TImagesPage::~TImagesPage()
{
    m_dropImport->cancelImport();
    // The status bar that shows the progress bar may outlive the page.
    delete m_importProgress;
}

QLabel* TImagesPage::dragLabel() const
{
    return m_imageView->dragLabel();
}

void TImagesPage::setNameInput(TNameInput input)
{
    m_nameInput = input ? std::move(input) : TNameInput(askWithDialog);
}

void TImagesPage::setImageFilesInput(TImageFilesInput input)
{
    m_filesInput = input ? std::move(input) : TImageFilesInput(askFilesWithDialog);
}

QString TImagesPage::imageFilesFilter()
{
    return QStringLiteral("Pictures (*.bmp *.png *.jpg *.jpeg *.gif);;All files (*)");
}

QString TImagesPage::addImagesTitle(const THandle_object& handle)
{
    return QStringLiteral("Add Images to %1 (%2 x %3)").arg(handle.name).arg(handle.width).arg(handle.height);
}

QString TImagesPage::dropHintText(const THandle_object& handle)
{
    return QStringLiteral("Drop BMP, PNG, JPEG or GIF pictures of exactly %1 x %2 pixels here, or use %3")
        .arg(handle.width)
        .arg(handle.height)
        .arg(TProjectTreePanel::addImagesText());
}

const THandle_object* TImagesPage::receivingHandle() const
{
    const QTreeWidgetItem* node = m_treePanel->Project_TreeView()->currentItem();
    if (!node)
        return nullptr;
    const THandle_object* handle = m_treePanel->handleOf(node->parent() ? node->parent() : node);
    const int position = handlePosition(handle);
    if (position < 0 || (thumbnailHandleIndex(position) < 0 && position != kInfoScreensIdx))
        return nullptr;
    return handle;
}

bool TImagesPage::addImagesEnabled() const
{
    return !m_dropImport->isRunning() && receivingHandle() != nullptr;
}

void TImagesPage::addImages()
{
    if (!addImagesEnabled())
        return;
    const THandle_object& handle = *receivingHandle();
    const QStringList paths = m_filesInput(window(), addImagesTitle(handle), imageFilesFilter());
    // The dialog keeps the window's events running; the project may have
    // been closed or an import started meanwhile.
    if (paths.isEmpty() || receivingHandle() != &handle || m_dropImport->isRunning())
        return;
    Drop_Image_Files(paths);
}

std::optional<QString> TImagesPage::askName(const QString& title, const QString& prompt, const QString& current)
{
    return m_nameInput(this, title, prompt, current);
}

int TImagesPage::handlePosition(const THandle_object* handle) const
{
    const THandleList& images = m_document.images();
    for (size_t i = 0; i < images.size(); ++i)
        if (images[i].get() == handle)
            return int(i);
    return -1;
}

void TImagesPage::rebuildTree(const THandleList& list)
{
    m_treePanel->build(list);
}

void TImagesPage::clear()
{
    m_dropImport->cancelImport();
    if (m_importProgress)
        m_importProgress->hide();
    m_imageView->setDropsEnabled(false);
    m_imageView->clearFrames();
    m_imageView->showNotIncluded(false);
    m_imageView->showDragLabel(true);
    m_handlePanel->clear();
    m_dropHint->clear();
    m_treePanel->clear();
    m_treePanel->disableTreeButtons();
    m_viewPanel->hide();
    Visible_Handle_Idx = -1;
}

void TImagesPage::showDragLabel()
{
    m_imageView->showDragLabel(true);
}

void TImagesPage::onSelectionChanged(QTreeWidgetItem* current)
{
    if (m_document.isClosing())
        return;
    m_viewPanel->show();
    if (current) {
        const THandle_object* handle = m_treePanel->handleOf(current->parent() ? current->parent() : current);
        const int position = handlePosition(handle);
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
    if (m_dropImport->isRunning())
        m_treePanel->disableTreeButtons();
    else
        m_treePanel->Update_Tree_Buttons(node);
}

void TImagesPage::Show_Handle(const THandle_object& handle)
{
    m_handlePanel->showHandle(handle);
    m_dropHint->setText(dropHintText(handle));
    Build_Cell_View(handle);
    m_imageView->showNotIncluded(!handle.included);
    m_imageView->setDropsEnabled(!m_dropImport->isRunning()
                                 && !TProjectTreePanel::isHiddenRoot(handlePosition(&handle)));
}

void TImagesPage::Build_Cell_View(const THandle_object& handle)
{
    m_imageView->clearFrames();
    if (handle.cells.empty()) {
        m_imageView->showDragLabel(true);
        return;
    }
    const QImage background = frameBackground(handle);
    const QImage veil = frameVeil(handle);
    m_imageView->showDragLabel(false);
    for (const auto& cell : handle.cells) {
        auto* frame = new TImageFrame(*cell, background, veil);
        frame->setObjectName(QStringLiteral("ImgFrame%1").arg(cell_frame_counter++));
        m_imageView->appendFrame(frame);
    }
    m_imageView->layOutFrames();
}

void TImagesPage::appendFrame(const TCell_object& cell)
{
    const THandle_object& handle = *cell.pHandle;
    if (m_imageView->CellView_List().size() + 1 != qsizetype(handle.cells.size()))
        return; // the view is not in step; the handle is shown afresh at the end
    auto* frame = new TImageFrame(cell, frameBackground(handle), frameVeil(handle));
    frame->setObjectName(QStringLiteral("ImgFrame%1").arg(cell_frame_counter++));
    m_imageView->showDragLabel(false);
    m_imageView->appendFrame(frame);
    m_imageView->layOutFrames();
}

bool TImagesPage::viewInStep(const THandle_object& handle) const
{
    const QList<TImageFrame*>& frames = m_imageView->CellView_List();
    if (frames.size() != qsizetype(handle.cells.size()))
        return false;
    for (qsizetype i = 0; i < frames.size(); ++i)
        if (frames[i]->pictureId() != handle.cells[size_t(i)]->pictureId)
            return false;
    return true;
}

void TImagesPage::showHandleMemory(const THandle_object& handle, bool showLabels)
{
    if (showLabels && handlePosition(&handle) == Visible_Handle_Idx)
        m_handlePanel->showStorage(handle);
    Update_Memory_Chart();
}

void TImagesPage::Update_Memory_Chart()
{
    m_memoryPanel->Update_Memory_Chart(m_document.images());
}

void TImagesPage::Drop_Image_Files(const QStringList& paths)
{
    if (m_dropImport->isRunning() || paths.isEmpty())
        return;
    const THandle_object* handle = receivingHandle();
    if (!handle)
        return;
    const int position = handlePosition(handle);
    m_imageView->setDropsEnabled(false);
    m_treePanel->disableTreeButtons();
    onImportProgress(0, int(paths.size()));
    if (m_importProgress)
        m_importProgress->show();
    const bool full = handle->cells.size() > size_t(kMaxImagesPerHandle - 1);
    // However many files it adds, one import is one undo step.
    m_document.beginEditGroup();
    m_summary.clear();
    m_dropImport->start(paths, TImportTarget::of(m_document.images(), position), full);
}

void TImagesPage::onPrepared(const TImportTarget& target, TPreparedImage* image)
{
    const QString path = image->path;
    const QString reason = image->reason;
    TImportResult result;
    // Inside the import's edit group: the step is made when it ends.
    m_document.editImages(QString(), [&](THandleList& images) {
        result = applyImport(images, target, std::move(*image));
        return result.cell != nullptr;
    });
    if (result.cell) {
        m_treePanel->addCellNode(target.handleIdx, result.cell);
        if (result.thumbnail)
            m_treePanel->addCellNode(target.thumbnailIdx, result.thumbnail);
        // The frame is made now, a few milliseconds per image, rather than
        // all of them at the end in one long stretch.
        if (target.handleIdx == Visible_Handle_Idx)
            appendFrame(*result.cell);
    }
    emit logActivity(result.status, path);
    m_summary.add(path, result.status, reason);
}

void TImagesPage::onImportProgress(int done, int total)
{
    if (!m_importProgress)
        return;
    m_importProgress->setRange(0, total);
    m_importProgress->setValue(done);
}

void TImagesPage::onImportFinished(const TImportTarget& target)
{
    m_document.endEditGroup();
    if (m_importProgress)
        m_importProgress->hide();
    if (target.handleIdx == Visible_Handle_Idx) {
        const THandle_object& handle = *m_document.images().at(size_t(target.handleIdx));
        // The frames were added as the images came; when the view shows
        // exactly the handle's images, only the panel needs showing again.
        if (viewInStep(handle)) {
            m_handlePanel->showHandle(handle);
            m_imageView->showNotIncluded(!handle.included);
            m_imageView->setDropsEnabled(true);
        } else {
            Show_Handle(handle);
        }
    } else if (Visible_Handle_Idx >= 0) {
        m_imageView->setDropsEnabled(true);
    }
    Update_Memory_Chart();
    Update_Tree_Buttons(m_treePanel->Project_TreeView()->currentItem());
    // Refusals are told once, together, rather than only as log rows the
    // user may not be looking at; a drop that added everything speaks for
    // itself in the view.
    if (m_summary.refused() > 0)
        Show_Message_Box(m_summary.text(), TMsgDlgType::MtWarning, QMessageBox::Ok);
}
