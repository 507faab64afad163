#include "ui/config_editor/Timg_select_Form.h"

#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImageImport.h"
#include "core/imaging/ImagingError.h"
#include "core/model/ProjectModel.h"
#include "ui/config_editor/Timg_cell_Frame.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int kWindowWidth = 760;

// At the box's own size the picture itself, else a thumbnail made as at import.
QImage fitted(const QImage& source, QSize box)
{
    return source.size() == box ? source : makeThumbnail(source, box);
}

QImage cellPicture(const TCell_object& cell)
{
    try {
        return cellSourceBitmap(cell);
    } catch (const ImagingError&) {
        return {}; // shown as an empty box; the image keeps its place and its name
    }
}
} // namespace

Timg_select_Form::Timg_select_Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("img_select_Form"));
    setWindowTitle(QStringLiteral("Select Image..."));

    m_enabledBox = new QCheckBox(QStringLiteral("Show Image"));
    m_enabledBox->setObjectName(QStringLiteral("img_enabled_CheckBox"));
    connect(m_enabledBox, &QCheckBox::toggled, this, [this] { imgEnabledCheckBoxClick(); });

    m_bgcolPanel = new QWidget;
    m_bgcolPanel->setObjectName(QStringLiteral("bgcol_Panel"));
    auto* bgcolLabel = new QLabel(QStringLiteral("Change gallery background colour"));
    m_bgcolSlider = new QSlider(Qt::Horizontal);
    m_bgcolSlider->setObjectName(QStringLiteral("bgcol_TrackBar"));
    m_bgcolSlider->setRange(0, 1);
    m_bgcolSlider->setPageStep(1);
    m_bgcolSlider->setFixedWidth(40);
    m_bgcolSlider->setAccessibleName(bgcolLabel->text());
    bgcolLabel->setBuddy(m_bgcolSlider);
    connect(m_bgcolSlider, &QSlider::valueChanged, this, [this] { bgcolTrackBarChange(); });
    auto* bgcolLayout = new QHBoxLayout(m_bgcolPanel);
    bgcolLayout->setContentsMargins(0, 0, 0, 0);
    bgcolLayout->addWidget(bgcolLabel);
    bgcolLayout->addWidget(m_bgcolSlider);

    auto* top = new QWidget;
    top->setFixedHeight(kGalleryTop);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(12, 0, 12, 0);
    topLayout->addWidget(m_enabledBox);
    topLayout->addStretch(1);
    topLayout->addWidget(m_bgcolPanel);

    // One row of frames, no wrapping; the gallery scrolls sideways.
    m_flowPanel = new QWidget;
    m_flowPanel->setObjectName(QStringLiteral("img_FlowPanel"));
    auto* row = new QHBoxLayout(m_flowPanel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->setSizeConstraint(QLayout::SetFixedSize);
    m_scrollBox = new QScrollArea;
    m_scrollBox->setObjectName(QStringLiteral("img_ScrollBox"));
    m_scrollBox->setAccessibleName(QStringLiteral("Images"));
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollBox->setWidget(m_flowPanel);
    m_scrollBox->viewport()->setAutoFillBackground(true);
    m_flowPanel->hide();

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("ok_Button"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { done(kOk); });
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("cancel_Button"));
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(kCancel); });
    auto* buttons = new QWidget;
    buttons->setFixedHeight(kButtonPanelHeight);
    auto* buttonLayout = new QHBoxLayout(buttons);
    buttonLayout->setContentsMargins(12, 0, 12, 0);
    // How the gallery is used is not obvious from the pictures alone.
    m_howTo = new QLabel(howToChooseText());
    m_howTo->setObjectName(QStringLiteral("how_to_choose_Label"));
    m_howTo->setWordWrap(true);
    buttonLayout->addWidget(m_howTo, 1);
    buttonLayout->addStretch(0);
    buttonLayout->addWidget(m_ok);
    buttonLayout->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(m_scrollBox, 1);
    layout->addWidget(buttons);
    resize(kWindowWidth, kGalleryTop + kButtonPanelHeight + 120);
}

QSize Timg_select_Form::scaledSize(qreal pixelsPerInch) const
{
    if (!handle_obj)
        return {};
    const QSize base(handle_obj->width * img_scale_pct / 100, handle_obj->height * img_scale_pct / 100);
    return QSize(int(std::lround(base.width() * pixelsPerInch / 96.0)),
                 int(std::lround(base.height() * pixelsPerInch / 96.0)));
}

QSize Timg_select_Form::cellPixelSize() const
{
    return scaledSize(logicalDpiX() * devicePixelRatioF());
}

void Timg_select_Form::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    formShow();
}

void Timg_select_Form::formShow()
{
    scrollbox_color = palette().color(QPalette::Window);
    m_bgcolSlider->setValue(0);
    destroyFrames();
    m_flowPanel->hide();

    const int count = handle_obj ? int(handle_obj->cells.size()) : 0;
    if (count > 0) {
        // Window coordinates already follow the screen's pixel ratio; what the
        // logical dots per inch add beyond 96 is scaled here.
        const QSize logical = scaledSize(logicalDpiX());
        const QSize pixels = cellPixelSize();
        for (int i = 0; i < count; ++i)
            addFrame(i, logical, pixels);
        const QSize frame = imgList.first()->size();
        m_flowPanel->adjustSize();
        m_flowPanel->resize(frame.width() * count, frame.height());
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        resize(width(), frame.height() + kGalleryTop + kButtonPanelHeight + 2 * scrollBar);
        m_flowPanel->show();
    }

    // The box shows what the window will hand back: a handle without images
    // has nothing to show.
    m_enabledBox->setChecked(imgEnabled && count > 0);
    imgEnabled = m_enabledBox->isChecked();
    imgEnabledCheckBoxClick();
}

Timg_cell_Frame* Timg_select_Form::addFrame(int position, QSize logicalSize, QSize pixelSize)
{
    const TCell_object& cell = *handle_obj->cells[std::size_t(position)];
    auto* frame = new Timg_cell_Frame;
    frame->setObjectName(QStringLiteral("ImageFrame%1").arg(frame_counter++));
    frame->idx = position;
    frame->setAccessibleName(cell.name);
    frame->setAccessibleDescription(QStringLiteral("Image %1 of %2").arg(position + 1).arg(handle_obj->cells.size()));
    frame->setToolTip(cell.name);
    frame->setPicture(fitted(cellPicture(cell), pixelSize), logicalSize);
    frame->setVeiled(!imgEnabled);
    frame->img_cb_fn = [this](int idx) { done(kClicked + idx); };
    m_flowPanel->layout()->addWidget(frame);
    imgList.append(frame);
    return frame;
}

void Timg_select_Form::destroyFrames()
{
    // Later, not now: the click that closes the window comes from a frame.
    for (Timg_cell_Frame* frame : std::as_const(imgList)) {
        frame->hide();
        frame->img_cb_fn = nullptr;
        m_flowPanel->layout()->removeWidget(frame);
        frame->deleteLater();
    }
    imgList.clear();
}

void Timg_select_Form::imgEnabledCheckBoxClick()
{
    imgEnabled = m_enabledBox->isChecked();
    colourGallery();
    for (Timg_cell_Frame* frame : std::as_const(imgList))
        frame->setVeiled(!imgEnabled);
}

void Timg_select_Form::bgcolTrackBarChange()
{
    scrollbox_color = m_bgcolSlider->value() == 0 ? palette().color(QPalette::Window) : QColor(kSilver);
    if (imgEnabled)
        colourGallery();
}

void Timg_select_Form::colourGallery()
{
    m_scrollBox->setEnabled(imgEnabled);
    QPalette p = m_scrollBox->viewport()->palette();
    const QColor ground = imgEnabled ? scrollbox_color : palette().color(QPalette::Button);
    p.setColor(QPalette::Window, ground);
    m_scrollBox->viewport()->setPalette(p);
    QPalette panel = m_flowPanel->palette();
    panel.setColor(QPalette::Window, ground);
    m_flowPanel->setPalette(panel);
    m_flowPanel->setAutoFillBackground(true);
}

void Timg_select_Form::done(int result)
{
    QDialog::done(result);
    destroyFrames();
    m_flowPanel->hide();
}
