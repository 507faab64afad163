#include "ui/app/TConfigurationPage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TConfigurationPage::TConfigurationPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("config_TabSheet"));
    pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("cfg_PageControl"));
    // The sub-pages show pictures on their tabs; until the editor brings
    // them, short captions keep the tabs usable.
    const struct {
        const char* name;
        const char* caption;
    } subPages[] = {
        {"RC_gen_cfg_TabSheet", "General"},       {"occupancy_cfg_TabSheet", "Occupancy"},
        {"RC_ui_cfg_TabSheet", "User Interface"}, {"appearance_cfg_TabSheet", "Appearance"},
        {"scheduler_cfg_TabSheet", "Scheduler"},
    };
    for (const auto& p : subPages) {
        auto* page = new QWidget(pages);
        page->setObjectName(QString::fromLatin1(p.name));
        pages->addTab(page, QString::fromLatin1(p.caption));
    }

    retrieve = new QPushButton(QStringLiteral("Retrieve Configuration"), this);
    retrieve->setObjectName(QStringLiteral("retrieve_cfg_Button"));

    auto* side = new QVBoxLayout;
    side->addWidget(retrieve);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addLayout(side);
}

QWidget* TConfigurationPage::Sub_Page(const QString& objectName) const
{
    return pages->findChild<QWidget*>(objectName);
}

void TConfigurationPage::Select_First_Sub_Page()
{
    pages->setCurrentIndex(0);
}
