#pragma once
// The "Configuration" page: the configuration sub-pages behind tabs with a
// picture and a caption (cfg_PageControl), and the "Retrieve Configuration"
// button beside the tabs.
// The sub-pages edit the open project's record in place; showing a record
// runs every page's steps in a fixed order (Show_Device_Config).

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"
#include "ui/common/TConfigEditorPage.h"

#include <QList>
#include <QWidget>

class QPushButton;
class QTabWidget;
class TAppearancePage;
class TConfigEditorPage;
class TGeneralPage;
class TOccupancyPage;
class TUserInterfacePage;

class TConfigurationPage : public QWidget {
    Q_OBJECT
public:
    // record and images: the open project's record and image handles, which
    // the appearance page previews; both must outlive the page.
    TConfigurationPage(const TDevice_Config_v2& record, const THandleList& images, QWidget* parent = nullptr);
    // A page without images: the appearance page shows a blank screen.
    explicit TConfigurationPage(const TDevice_Config_v2& record, QWidget* parent = nullptr);

    QTabWidget* cfg_PageControl() const { return m_pages; }
    QPushButton* retrieve_cfg_Button() const { return m_retrieve; }
    QWidget* subPage(const QString& objectName) const;
    TGeneralPage* generalPage() const { return m_general; }
    TOccupancyPage* occupancyPage() const { return m_occupancy; }
    TUserInterfacePage* userInterfacePage() const { return m_userInterface; }
    TAppearancePage* appearancePage() const { return m_appearance; }
    // The scheduler page comes from the window that assembles the pages: it
    // becomes the last tab, and its step joins Show_Device_Config where the
    // scheduler's step belongs. Once per page; the page takes ownership.
    void setSchedulerPage(TConfigEditorPage* page);
    // Every sub-page's edits go through editor (the document's edit scope).
    void setRecordEditor(const TConfigEditorPage::RecordEditor& editor);
    // Every sub-page, those added later too, writes `record` in place.
    void editInPlace(TDevice_Config_v2& record);

    void selectFirstSubPage();

    // Shows config in every page, changing nothing in it.
    void Show_Device_Config(const TDevice_Config_v2& config);

signals:
    // A user's change on any sub-page.
    void changed();
    void changeNamed(const QString& text);

private:
    void addEditorPage(TConfigEditorPage* page, int pictureIndex, const QString& name, const QString& caption);
    void addTab(QWidget* page, int pictureIndex, const QString& name, const QString& caption);

    // The scheduler page's step: the scheduler box, the day timelines and
    // the days' starting run states.
    void showScheduler(const TDevice_Config_v2& config);
    // The appearance page's step: the background and logo previews and the
    // colour controls.
    void Show_Appearance(const TDevice_Config_v2& config);

    QTabWidget* m_pages = nullptr;
    QPushButton* m_retrieve = nullptr;
    TGeneralPage* m_general = nullptr;
    TOccupancyPage* m_occupancy = nullptr;
    TUserInterfacePage* m_userInterface = nullptr;
    TAppearancePage* m_appearance = nullptr;
    TConfigEditorPage* m_scheduler = nullptr;
    QList<TConfigEditorPage*> m_editorPages;
    TConfigEditorPage::RecordEditor m_editor;
    TDevice_Config_v2* m_inPlace = nullptr;
};
