#pragma once
// The "Configuration" page: the configuration sub-pages and the
// "Retrieve Configuration" button beside them. Showing the record and writing
// it back go to every sub-page in tab order.

#include "core/model/DeviceConfigRecords.h"

#include <QList>
#include <QWidget>

class QPushButton;
class QTabWidget;
class TConfigEditorPage;
class TGeneralPage;

class TConfigurationPage : public QWidget {
    Q_OBJECT
public:
    // record: the open project's record; it must outlive the page.
    explicit TConfigurationPage(TDevice_Config_v2& record, QWidget* parent = nullptr);

    QTabWidget* cfg_PageControl() const { return pages; }
    QPushButton* retrieve_cfg_Button() const { return retrieve; }
    QWidget* Sub_Page(const QString& objectName) const;
    TGeneralPage* generalPage() const { return m_general; }

    void Select_First_Sub_Page();

    void Show_Device_Config(const TDevice_Config_v2& config);
    void writeDeviceConfig(TDevice_Config_v2& config) const;

signals:
    // A user's change on any sub-page.
    void changed();

private:
    void addEditorPage(TConfigEditorPage* page, const QString& caption);
    void addPlaceholderPage(const char* objectName, const QString& caption);

    QTabWidget* pages = nullptr;
    QPushButton* retrieve = nullptr;
    TGeneralPage* m_general = nullptr;
    QList<TConfigEditorPage*> m_editorPages;
};
