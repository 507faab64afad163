#pragma once
// The configuration pages on their own, editing a record of the test's, with
// a count of the changes they report.

#include "core/model/DeviceConfig.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/scheduler/TSchedulerPage.h"

#include <QObject>
#include <QTabWidget>
#include <QTest>

#include <cstring>

struct PageFixture {
    TDevice_Config_v2 record = newProjectConfig();
    TConfigurationPage page{record};
    int changes = 0;

    PageFixture()
    {
        page.editInPlace(record);
        page.setSchedulerPage(new TSchedulerPage(record));
        QObject::connect(&page, &TConfigurationPage::changed, [this] { ++changes; });
        page.resize(900, 620);
        page.show();
        if (!QTest::qWaitForWindowExposed(&page))
            qFatal("configuration page never shown");
    }

    // Shows the record as the window does after opening a project. Showing
    // reports a change (the service text is replaced), which the window
    // ignores while it loads; the count starts after it.
    void show()
    {
        page.Show_Device_Config(record);
        changes = 0;
    }

    template <typename T = QWidget> T* find(const char* name) const
    {
        auto* w = page.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    // Brings the sub-page holding the control to the front, as a user would.
    void reveal(QWidget* control)
    {
        QTabWidget* tabs = page.cfg_PageControl();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(control))
                tabs->setCurrentIndex(i);
    }

    void click(const char* name)
    {
        auto* w = find(name);
        reveal(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
    }
};

inline bool sameBytes(const TDevice_Config_v2& a, const TDevice_Config_v2& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
