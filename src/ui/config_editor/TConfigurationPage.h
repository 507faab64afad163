#pragma once
// The "Configuration" page: the configuration sub-pages behind picture tabs
// (cfg_PageControl) and the "Retrieve Configuration" button beside them.
// The sub-pages edit the open project's record in place; showing a record
// runs every page's steps in a fixed order (Show_Device_Config).

#include "core/model/DeviceConfigRecords.h"

#include <QList>
#include <QWidget>

class QPushButton;
class QTabWidget;
class TConfigEditorPage;
class TGeneralPage;
class TOccupancyPage;
class TSchedulerPage;
class TUserInterfacePage;

class TConfigurationPage : public QWidget {
    Q_OBJECT
public:
    // record: the open project's record; it must outlive the page.
    explicit TConfigurationPage(TDevice_Config_v2& record, QWidget* parent = nullptr);

    QTabWidget* cfg_PageControl() const { return pages; }
    QPushButton* retrieve_cfg_Button() const { return retrieve; }
    QWidget* Sub_Page(const QString& objectName) const;
    TGeneralPage* generalPage() const { return m_general; }
    TOccupancyPage* occupancyPage() const { return m_occupancy; }
    TUserInterfacePage* userInterfacePage() const { return m_userInterface; }
    TSchedulerPage* schedulerPage() const { return m_scheduler; }

    void Select_First_Sub_Page();

    // Shows config in every page, changing nothing in it.
    void Show_Device_Config(const TDevice_Config_v2& config);
    void writeDeviceConfig(TDevice_Config_v2& config) const;

signals:
    // A user's change on any sub-page.
    void changed();

private:
    void addEditorPage(TConfigEditorPage* page, int pictureIndex, const QString& name);
    void addPlaceholderPage(const char* objectName, int pictureIndex, const QString& name, const QString& note);
    void addTab(QWidget* page, int pictureIndex, const QString& name);

    // The scheduler page's step: the scheduler box, the day timelines and
    // the days' starting run states.
    void Show_Scheduler(const TDevice_Config_v2& config);
    // The appearance page's step: Show_Appearance with the background and
    // logo previews. The appearance page is not built yet.
    void Show_Appearance(const TDevice_Config_v2& config);

    QTabWidget* pages = nullptr;
    QPushButton* retrieve = nullptr;
    TGeneralPage* m_general = nullptr;
    TOccupancyPage* m_occupancy = nullptr;
    TUserInterfacePage* m_userInterface = nullptr;
    TSchedulerPage* m_scheduler = nullptr;
    QList<TConfigEditorPage*> m_editorPages;
};
