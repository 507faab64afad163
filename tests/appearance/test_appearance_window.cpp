#include "UiTestFixtures.h"
#include "test_appearance.h"

#include "core/document/TProjectDocument.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TAppearancePreview.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/config_editor/Timg_select_Form.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

// The page inside the real window: a saved project opened again shows its
// background and logo, unmodified; an edit on the page marks it modified.
void TestAppearanceInWindow::openedProjectShowsItsChoiceAndEditsMarkIt()
{
    QVERIFY(m_dir.isValid());
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("theme.cvp")));
    fx.addImage(kBackgroundsIdx, QStringLiteral("PLAIN"), pngBytes(480, 272, 0xFF000000));
    fx.addImage(kBackgroundsIdx, QStringLiteral("SKY"), pngBytes(480, 272, 0xFF336699));
    fx.addImage(kLogosIdx, QStringLiteral("ACME"), pngBytes(125, 85, 0xFFFFFFFF));
    f.document().fill([](TDevice_Config_v2& record, THandleList&) {
        record.theme_background_enabled = 1;
        record.theme_background_index = 1;
        record.theme_logo_enabled = 1;
        record.theme_colour = 0x00FF8000;
        return true;
    });
    const TDevice_Config_v2& record = f.document().record();
    fx.trigger("save_project_MenuItem");
    const QString path = f.document().projectPath();
    fx.trigger("close_project_MenuItem");
    fx.dialogs().answers.enqueue(path);
    fx.trigger("open_project_MenuItem");
    QCOMPARE(f.document().projectPath(), path);
    QVERIFY(!f.document().isModified());

    TAppearancePage* page = f.configurationPage()->appearancePage();
    QCOMPARE(page->bgrd_preview_Image()->accessibleName(), QStringLiteral("Background: SKY"));
    // 0x33 0x66 0x99 tinted by levels 255, 128, 0.
    QCOMPARE(page->bgrd_preview_Image()->picture().pixel(240, 136), qRgb(0x33, 0x66 * 128 / 255, 0));
    QCOMPARE(page->logo_preview_Image()->picture().pixel(60, 40), qRgb(255, 255, 255));
    QCOMPARE(page->trackBar(1)->value(), 128);

    page->trackBar(2)->setValue(200);
    QVERIFY(f.document().isModified());
    QCOMPARE(record.theme_colour, 0x00FF80C8u);

    // The window's selection window, cancelled, leaves the record as it is.
    const TDevice_Config_v2 before = record;
    QTest::mouseClick(page->logo_preview_Image(), Qt::LeftButton);
    Timg_select_Form* window = page->selectionWindow();
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(window->imgList.size(), 1);
    QTest::mouseClick(window->cancel_Button(), Qt::LeftButton);
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(std::memcmp(&before, &record, sizeof record) == 0);
}
