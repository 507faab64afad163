#include "ui/imaging/TImageView.h"

#include "ui/common/ProjectFileDrop.h"
#include "ui/common/TDM_images.h"
#include "ui/imaging/TFlowLayout.h"
#include "ui/imaging/TImageFrame.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

QStringList localFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

QWidget* makeVeil(QWidget* parent)
{
    auto* veil = new QWidget(parent);
    veil->setObjectName(QStringLiteral("notinc_veil_Panel"));
    veil->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* picture = new QLabel(veil);
    picture->setObjectName(QStringLiteral("notinc_veil_Image"));
    picture->setAlignment(Qt::AlignCenter);
    if (hasPicture(QStringLiteral("NOT_INCLUDED_PNG")))
        picture->setPixmap(QPixmap::fromImage(::picture(QStringLiteral("NOT_INCLUDED_PNG"), QSize(200, 200))));
    auto* text = new QLabel(QStringLiteral("Not Included"), veil);
    text->setObjectName(QStringLiteral("notinc_veil_Label"));
    text->setAlignment(Qt::AlignCenter);
    text->setStyleSheet(QStringLiteral("color: red; font-size: 20pt; font-weight: bold;"));
    auto* layout = new QVBoxLayout(veil);
    layout->addStretch(1);
    layout->addWidget(picture);
    layout->addWidget(text);
    layout->addStretch(1);
    veil->hide();
    return veil;
}

} // namespace

TImageView::TImageView(QWidget* parent)
    : QScrollArea(parent)
    , m_flowPanel(new QWidget)
    , m_flow(new TFlowLayout(m_flowPanel))
    , m_dragLabel(new QLabel(QStringLiteral("Drag Image Files Here")))
    , m_highlight(new QWidget)
    , m_veil(nullptr)
{
    setObjectName(QStringLiteral("ScrollBox1"));
    setAccessibleName(QStringLiteral("Images"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setAcceptDrops(true);
    m_flowPanel->setObjectName(QStringLiteral("cell_FlowPanel"));
    m_flowPanel->setAccessibleName(QStringLiteral("Images"));
    setWidget(m_flowPanel);

    m_dragLabel->setParent(viewport());
    m_dragLabel->setObjectName(QStringLiteral("drag_images_Label"));
    m_dragLabel->setAlignment(Qt::AlignCenter);
    m_dragLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont big = m_dragLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    m_dragLabel->setFont(big);
    m_dragLabel->setStyleSheet(QStringLiteral("color: grey;"));

    m_veil = makeVeil(viewport());

    m_highlight->setParent(viewport());
    m_highlight->setObjectName(QStringLiteral("DragDropHighlight_Shape"));
    m_highlight->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_highlight->setStyleSheet(QStringLiteral("#DragDropHighlight_Shape { border: 3px dashed #2E86C1; }"));
    m_highlight->setAttribute(Qt::WA_StyledBackground);
    m_highlight->hide();
    showDragLabel(true);
}

void TImageView::clearFrames()
{
    m_flowPanel->hide();
    qDeleteAll(m_frames);
    m_frames.clear();
    verticalScrollBar()->setValue(0);
    m_flowPanel->move(0, 0);
    layOutFrames();
}

void TImageView::appendFrame(TImageFrame* frame)
{
    frame->setParent(m_flowPanel);
    m_flow->addWidget(frame);
    m_frames.append(frame);
    frame->show();
}

void TImageView::removeFrame(int index)
{
    if (index < 0 || index >= m_frames.size())
        return;
    delete m_frames.takeAt(index); // the layout forgets a deleted widget
    layOutFrames();
}

void TImageView::moveFrame(int from, int to)
{
    if (from < 0 || from >= m_frames.size() || to < 0 || to >= m_frames.size())
        return;
    m_frames.move(from, to);
    m_flow->moveItem(from, to);
    layOutFrames();
}

void TImageView::showDragLabel(bool show)
{
    m_dragLabel->setVisible(show);
    if (show) {
        m_flowPanel->resize(viewport()->width(), 0);
        m_dragLabel->raise();
    } else {
        m_flowPanel->show();
    }
    placeOverlays();
}

void TImageView::showNotIncluded(bool show)
{
    m_veil->setVisible(show);
    if (show)
        m_veil->raise();
    m_highlight->raise();
}

void TImageView::layOutFrames()
{
    const int width = viewport()->width();
    const int height = m_frames.isEmpty() ? 0 : m_flow->heightForWidth(width);
    m_flowPanel->resize(width, height);
    m_flow->setGeometry(QRect(0, 0, width, height));
}

void TImageView::setDropsEnabled(bool enabled)
{
    m_dropsEnabled = enabled;
    if (!enabled)
        m_highlight->hide();
}

bool TImageView::insideClientArea(const QPointF& pos) const
{
    return viewport()->rect().contains(pos.toPoint());
}

void TImageView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TImageView::dragMoveEvent(QDragMoveEvent* event)
{
    // A drag of project files belongs to the window, which opens the project.
    const bool take = m_dropsEnabled && insideClientArea(event->position()) && event->mimeData()->hasUrls()
        && !onlyProjectFiles(event->mimeData());
    m_highlight->setVisible(take);
    if (take) {
        m_highlight->raise();
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TImageView::dragLeaveEvent(QDragLeaveEvent* event)
{
    // The highlight would otherwise stay up after a drag passes over the view
    // and goes elsewhere.
    m_highlight->hide();
    event->accept();
}

void TImageView::dropEvent(QDropEvent* event)
{
    if (onlyProjectFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const bool inside = insideClientArea(event->position());
    m_highlight->hide();
    if (!m_dropsEnabled || !inside)
        return;
    const QStringList paths = localFiles(event->mimeData());
    if (!paths.isEmpty())
        emit filesDropped(paths);
}

void TImageView::wheelEvent(QWheelEvent* event)
{
    // One pixel per unit of the wheel's delta, as the view has always moved.
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() - event->angleDelta().y());
    event->accept();
}

void TImageView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    layOutFrames();
    placeOverlays();
}

void TImageView::placeOverlays()
{
    const QRect area = viewport()->rect();
    m_dragLabel->setGeometry(area);
    m_veil->setGeometry(area);
    m_highlight->setGeometry(area);
}
