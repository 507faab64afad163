#include "ui/config_editor/TConfigurationPage.h"

#include "ui/common/PictureIcon.h"
#include "ui/common/TConfigEditorPage.h"
#include "ui/common/TDM_images.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TGeneralPage.h"
#include "ui/config_editor/TOccupancyPage.h"
#include "ui/config_editor/TUserInterfacePage.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
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
constexpr int kTabPicture = 20;

QIcon tabIcon(int pictureIndex)
{
    return pictureIcon(TDM_imagestore::cfgItemNames().value(pictureIndex));
}

const THandleList& noImages()
{
    static const THandleList kNone;
    return kNone;
}
} // namespace

TConfigurationPage::TConfigurationPage(const TDevice_Config_v2& record, QWidget* parent)
    : TConfigurationPage(record, noImages(), parent)
{
}

TConfigurationPage::TConfigurationPage(const TDevice_Config_v2& record, const THandleList& images, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("config_TabSheet"));
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("cfg_PageControl"));
    m_pages->setIconSize(QSize(kTabPicture, kTabPicture));
    m_pages->setDocumentMode(false);

    m_general = new TGeneralPage(record);
    m_occupancy = new TOccupancyPage(record);
    m_userInterface = new TUserInterfacePage(record);
    m_appearance = new TAppearancePage(record, images);
    addEditorPage(m_general, kGeneralPicture, QStringLiteral("General"), QStringLiteral("General"));
    addEditorPage(m_occupancy, kOccupancyPicture, QStringLiteral("Occupancy Strategies"), QStringLiteral("Occupancy"));
    addEditorPage(m_userInterface, kUiPicture, QStringLiteral("R/C User Interface"), QStringLiteral("User Interface"));
    addEditorPage(m_appearance, kAppearancePicture, QStringLiteral("Appearance"), QStringLiteral("Appearance"));

    m_retrieve = new QPushButton(QStringLiteral("Retrieve Configuration"), this);
    m_retrieve->setObjectName(QStringLiteral("retrieve_cfg_Button"));
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_retrieve);
    m_retrieve->setIconSize(QSize(side, side));
    // Beside the tabs, where it takes no room from the pages below them.
    m_pages->setCornerWidget(m_retrieve, Qt::TopRightCorner);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pages, 1);
}

void TConfigurationPage::setSchedulerPage(TConfigEditorPage* page)
{
    Q_ASSERT(!m_scheduler && page);
    m_scheduler = page;
    addEditorPage(page, kSchedulerPicture, QStringLiteral("Scheduler"), QStringLiteral("Scheduler"));
}

void TConfigurationPage::addTab(QWidget* page, int pictureIndex, const QString& name, const QString& caption)
{
    // Picture and a short caption on the tab; the full name is there for the
    // tool tip and for screen readers.
    // A page fits the window at the sizes the window is made for; in a
    // window made smaller still it scrolls rather than being cut.
    auto* scroller = new QScrollArea;
    scroller->setObjectName(page->objectName() + QStringLiteral("_ScrollBox"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(page);
    scroller->setAccessibleName(name);
    const int index = m_pages->addTab(scroller, tabIcon(pictureIndex), caption);
    m_pages->setTabToolTip(index, name);
    m_pages->tabBar()->setAccessibleTabName(index, name);
}

void TConfigurationPage::addEditorPage(TConfigEditorPage* page, int pictureIndex, const QString& name,
                                       const QString& caption)
{
    if (m_inPlace)
        page->editInPlace(*m_inPlace);
    else if (m_editor)
        page->setRecordEditor(m_editor);
    addTab(page, pictureIndex, name, caption);
    m_editorPages.append(page);
    connect(page, &TConfigEditorPage::changeNamed, this, &TConfigurationPage::changeNamed);
    connect(page, &TConfigEditorPage::changed, this, &TConfigurationPage::changed);
}

QWidget* TConfigurationPage::subPage(const QString& objectName) const
{
    return m_pages->findChild<QWidget*>(objectName);
}

void TConfigurationPage::selectFirstSubPage()
{
    m_pages->setCurrentIndex(0);
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

void TConfigurationPage::editInPlace(TDevice_Config_v2& record)
{
    m_inPlace = &record;
    for (TConfigEditorPage* page : m_editorPages)
        page->editInPlace(record);
}

void TConfigurationPage::setRecordEditor(const TConfigEditorPage::RecordEditor& editor)
{
    m_inPlace = nullptr;
    m_editor = editor;
    for (TConfigEditorPage* page : m_editorPages)
        page->setRecordEditor(editor);
}
