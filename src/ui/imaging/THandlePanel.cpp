#include "ui/imaging/THandlePanel.h"

#include "core/model/ProjectModel.h"
#include "ui/common/Thint_Frame.h"

#include <QGridLayout>
#include <QLabel>

THandlePanel::THandlePanel(QWidget* parent)
    : QWidget(parent)
    , m_heading(new QLabel(this))
    , m_size(new QLabel(this))
    , m_storage(new QLabel(this))
    , m_pixelBytes(new QLabel(this))
{
    setObjectName(QStringLiteral("handle_Panel"));
    m_heading->setObjectName(QStringLiteral("handle_name_Label"));
    m_size->setObjectName(QStringLiteral("handle_size_Label"));
    m_storage->setObjectName(QStringLiteral("handle_storage_Label"));
    m_pixelBytes->setObjectName(QStringLiteral("handle_pixel_bytes_Label"));
    QFont bold = m_heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_heading->setFont(bold);
    m_pixelBytes->hide();

    auto* sizeCaption = new QLabel(QStringLiteral("Size (w x h)"), this);
    auto* storageCaption = new QLabel(QStringLiteral("Storage Required"), this);
    sizeCaption->setBuddy(m_size);
    storageCaption->setBuddy(m_storage);
    m_size->setAccessibleName(sizeCaption->text());
    m_storage->setAccessibleName(storageCaption->text());

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->addWidget(m_heading, 0, 0, 1, 4);
    grid->addWidget(sizeCaption, 1, 0);
    grid->addWidget(m_size, 1, 1);
    grid->addWidget(storageCaption, 1, 2);
    grid->addWidget(m_storage, 1, 3);
    grid->addWidget(m_pixelBytes, 1, 4);
    grid->setColumnStretch(4, 1);
    // Explains the image view below: what to drop there.
    auto* hint = new Thint_Frame(8, this);
    hint->setObjectName(QStringLiteral("image_list_hint_Frame"));
    grid->addWidget(hint, 0, 5, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
}

QString THandlePanel::headingText(const THandle_object& handle)
{
    return QStringLiteral(" %1 (%2)").arg(handle.name).arg(handle.cells.size());
}

void THandlePanel::showHandle(const THandle_object& handle)
{
    m_heading->setText(headingText(handle));
    m_size->setText(QString::asprintf("%d x %d", handle.width, handle.height));
    showStorage(handle);
}

void THandlePanel::showStorage(const THandle_object& handle)
{
    m_storage->setText(QString::asprintf("%d bytes", handle.memory_usage));
    m_pixelBytes->setText(QStringLiteral("%1 bytes").arg(Handle_Pixel_Bytes(handle)));
}

void THandlePanel::clear()
{
    for (QLabel* label : {m_heading, m_size, m_storage, m_pixelBytes})
        label->clear();
}
