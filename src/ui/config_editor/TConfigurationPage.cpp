#include "ui/config_editor/TConfigurationPage.h"

#include "core/resources/TDM_images.h"
#include "ui/common/TConfigEditorPage.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TGeneralPage.h"
#include "ui/config_editor/TOccupancyPage.h"
#include "ui/config_editor/TUserInterfacePage.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// Pictures of the configuration tabs, by their place in the item list.
enum : int {
    kGeneralPicture = 0,
    kOccupancyPicture = 1,
    kUiPicture = 2,
    kAppearancePicture = 3,
    kSchedulerPicture = 4
};
constexpr int kTabPicture = 36;

QIcon tabIcon(int pictureIndex)
{
    const QString name = TDM_imagestore::cfgItemNames().value(pictureIndex);
    QIcon icon;
    if (!Has_Picture(name))
        return icon;
    // Rendered for ordinary and for dense screens, so the tabs stay sharp.
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        QPixmap pixmap = QPixmap::fromImage(picture(name, QSize(kTabPicture, kTabPicture) * ratio));
        pixmap.setDevicePixelRatio(ratio);
        icon.addPixmap(pixmap);
    }
    return icon;
}

const THandle_List& noImages()
{
    static const THandle_List none;
    return none;
}
} // namespace

TConfigurationPage::TConfigurationPage(TDevice_Config_v2& record, QWidget* parent)
    : TConfigurationPage(record, noImages(), parent)
{
}

TConfigurationPage::TConfigurationPage(TDevice_Config_v2& record, const THandle_List& images, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("config_TabSheet"));
    pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("cfg_PageControl"));
    pages->setIconSize(QSize(kTabPicture, kTabPicture));
    pages->setDocumentMode(false);

    m_general = new TGeneralPage(record);
    m_occupancy = new TOccupancyPage(record);
    m_userInterface = new TUserInterfacePage(record);
    m_appearance = new TAppearancePage(record, images);
    addEditorPage(m_general, kGeneralPicture, QStringLiteral("General"));
    addEditorPage(m_occupancy, kOccupancyPicture, QStringLiteral("Occupancy Strategies"));
    addEditorPage(m_userInterface, kUiPicture, QStringLiteral("R/C User Interface"));
    addEditorPage(m_appearance, kAppearancePicture, QStringLiteral("Appearance"));

    retrieve = new QPushButton(QStringLiteral("Retrieve Configuration"), this);
    retrieve->setObjectName(QStringLiteral("retrieve_cfg_Button"));

    auto* side = new QVBoxLayout;
    side->addWidget(retrieve);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addLayout(side);
}

void TConfigurationPage::setSchedulerPage(TConfigEditorPage* page)
{
    Q_ASSERT(!m_scheduler && page);
    m_scheduler = page;
    addEditorPage(page, kSchedulerPicture, QStringLiteral("Scheduler"));
}

void TConfigurationPage::addTab(QWidget* page, int pictureIndex, const QString& name)
{
    // Picture tabs without captions; the name is there for the tool tip and
    // for screen readers.
    // A page scrolls rather than holding the window at its full height.
    auto* scroller = new QScrollArea;
    scroller->setObjectName(page->objectName() + QStringLiteral("_ScrollBox"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(page);
    scroller->setAccessibleName(name);
    const int index = pages->addTab(scroller, tabIcon(pictureIndex), QString());
    pages->setTabToolTip(index, name);
    pages->tabBar()->setAccessibleTabName(index, name);
}

void TConfigurationPage::addEditorPage(TConfigEditorPage* page, int pictureIndex, const QString& name)
{
    addTab(page, pictureIndex, name);
    m_editorPages.append(page);
    connect(page, &TConfigEditorPage::changeNamed, this, &TConfigurationPage::changeNamed);
    connect(page, &TConfigEditorPage::changed, this, &TConfigurationPage::changed);
}

QWidget* TConfigurationPage::subPage(const QString& objectName) const
{
    return pages->findChild<QWidget*>(objectName);
}

void TConfigurationPage::selectFirstSubPage()
{
    pages->setCurrentIndex(0);
}

void TConfigurationPage::Show_Device_Config(const TDevice_Config_v2& config)
{
    // The order matters to the later pages: the scheduler's step marks the
    // project modified in any case, and the service text comes last.
    m_general->showGeneralOptions(config);
    m_occupancy->Show_Device_Config(config);
    m_userInterface->Show_Device_Config(config);
    showScheduler(config);
    m_general->showFrostProtection(config);
    Show_Appearance(config);
    m_general->showServiceText(config);
}

void TConfigurationPage::showScheduler(const TDevice_Config_v2& config)
{
    if (m_scheduler)
        m_scheduler->Show_Device_Config(config);
}

void TConfigurationPage::Show_Appearance(const TDevice_Config_v2& config)
{
    m_appearance->Show_Appearance(config);
}

void TConfigurationPage::writeDeviceConfig(TDevice_Config_v2& config) const
{
    for (const TConfigEditorPage* page : m_editorPages)
        page->writeDeviceConfig(config);
}
