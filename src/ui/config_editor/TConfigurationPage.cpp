#include "ui/config_editor/TConfigurationPage.h"

#include "ui/config_editor/TGeneralPage.h"
#include "ui/scheduler/TSchedulerPage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TConfigurationPage::TConfigurationPage(TDevice_Config_v2& record, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("config_TabSheet"));
    pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("cfg_PageControl"));
    // The sub-pages show pictures on their tabs; until they are drawn, short
    // captions keep the tabs usable.
    m_general = new TGeneralPage;
    addEditorPage(m_general, QStringLiteral("General"));
    addPlaceholderPage("occupancy_cfg_TabSheet", QStringLiteral("Occupancy"));
    addPlaceholderPage("RC_ui_cfg_TabSheet", QStringLiteral("User Interface"));
    addPlaceholderPage("appearance_cfg_TabSheet", QStringLiteral("Appearance"));
    addEditorPage(new TSchedulerPage(record), QStringLiteral("Scheduler"));

    retrieve = new QPushButton(QStringLiteral("Retrieve Configuration"), this);
    retrieve->setObjectName(QStringLiteral("retrieve_cfg_Button"));

    auto* side = new QVBoxLayout;
    side->addWidget(retrieve);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addLayout(side);
}

void TConfigurationPage::addEditorPage(TConfigEditorPage* page, const QString& caption)
{
    pages->addTab(page, caption);
    m_editorPages.append(page);
    connect(page, &TConfigEditorPage::changed, this, &TConfigurationPage::changed);
}

void TConfigurationPage::addPlaceholderPage(const char* objectName, const QString& caption)
{
    auto* page = new QWidget(pages);
    page->setObjectName(QString::fromLatin1(objectName));
    pages->addTab(page, caption);
}

QWidget* TConfigurationPage::Sub_Page(const QString& objectName) const
{
    return pages->findChild<QWidget*>(objectName);
}

void TConfigurationPage::Select_First_Sub_Page()
{
    pages->setCurrentIndex(0);
}

void TConfigurationPage::Show_Device_Config(const TDevice_Config_v2& config)
{
    for (TConfigEditorPage* page : m_editorPages)
        page->Show_Device_Config(config);
}

void TConfigurationPage::writeDeviceConfig(TDevice_Config_v2& config) const
{
    for (const TConfigEditorPage* page : m_editorPages)
        page->writeDeviceConfig(config);
}
