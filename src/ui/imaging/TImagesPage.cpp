#include "ui/imaging/TImagesPage.h"

#include "ui/imaging/TProjectTreePanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSplitter>

TImagesPage::TImagesPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("images_TabSheet"));
    treePanel = new TProjectTreePanel(this);

    imageView = new QScrollArea(this);
    imageView->setObjectName(QStringLiteral("image_view_ScrollBox"));
    imageView->setWidgetResizable(true);
    dragLabel = new QLabel(QStringLiteral("Drag Image Files Here"));
    dragLabel->setObjectName(QStringLiteral("drag_images_Label"));
    dragLabel->setAlignment(Qt::AlignCenter);
    imageView->setWidget(dragLabel);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(treePanel);
    split->addWidget(imageView);
    split->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);
}

void TImagesPage::Update_Memory_Chart(const THandle_List& list)
{
    // The display itself is not built yet; it will read every handle's
    // memory_usage from list.
    Q_UNUSED(list);
}
