#include "PageFixture.h"
#include "UiTestFixtures.h"
#include "test_config_editor.h"

#include "core/storage/DiskIO.h"
#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/TAppearancePage.h"
#include "ui/config_editor/TGeneralPage.h"
#include "ui/config_editor/TOptionGrid.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QtTest>

#include <algorithm>

void TestConfigurationPage::init()
{
    QVERIFY(m_dir.isValid());
}

void TestConfigurationPage::tabsCarryPicturesAndNames()
{
    PageFixture f;
    QTabWidget* tabs = f.page.cfg_PageControl();
    QCOMPARE(tabs->objectName(), QStringLiteral("cfg_PageControl"));
    const QStringList pages{"RC_gen_cfg_TabSheet", "occupancy_cfg_TabSheet", "RC_ui_cfg_TabSheet",
                            "appearance_cfg_TabSheet", "scheduler_cfg_TabSheet"};
    const QStringList names{"General", "Occupancy Strategies", "R/C User Interface", "Appearance", "Scheduler"};
    const QStringList captions{"General", "Occupancy", "User Interface", "Appearance", "Scheduler"};
    QCOMPARE(tabs->count(), pages.size());
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs->tabBar());
    QVERIFY(bar);
    for (int i = 0; i < tabs->count(); ++i) {
        QVERIFY(tabs->widget(i)->isAncestorOf(f.page.subPage(pages[i])));
        QCOMPARE(tabs->tabText(i), captions[i]);
        QVERIFY(!tabs->tabIcon(i).isNull());
        QCOMPARE(tabs->tabToolTip(i), names[i]);
        QCOMPARE(bar->child(i)->text(QAccessible::Name), names[i]);
    }
    QVERIFY(f.page.subPage("scheduler_cfg_TabSheet")
                ->findChild<QLabel*>()
                ->text()
                .contains("Note: The scheduler is only available for the Corvane-RTC"));
}

void TestConfigurationPage::showingARecordChangesNothingInIt()
{
    // Odd values everywhere a box or a list cannot show them as they are.
    PageFixture f;
    TDevice_Config_v2& r = f.record;
    r.controller_type = 7;
    r.show_setpoint_dp = 9;
    r.show_setpoint_value = 4;
    r.frost_protection_enabled = 3;
    r.rc_ctrl_enable[0] = 5;
    r.md_ctrl_enable[2] = 8;
    r.ad_ctrl_enable[6] = 0;
    r.occupancy_strategy_enable = 0xF1;
    r.unoccupied_min_temp = 50;
    r.unoccupied_max_temp = 40;
    r.occupied_settings_enable[3] = 6;
    r.occupied_run = 3;
    r.occupied_mode = 9;
    r.occupied_setpoint = 5000;
    r.occupied_fanspeed = 1;
    r.occupied_airdir = 7;
    std::memset(r.service_info_text, 'w', sizeof r.service_info_text);
    const TDevice_Config_v2 before = r;

    f.show();
    f.show();
    QVERIFY(sameBytes(r, before));
    QCOMPARE(f.find<QLineEdit>("unoccupied_min_Edit")->text(), QStringLiteral("05°C"));
    QCOMPARE(f.find<QLineEdit>("unoccupied_max_Edit")->text(), QStringLiteral("04°C"));
    for (int i = 0; i < f.page.cfg_PageControl()->count(); ++i) {
        f.page.cfg_PageControl()->setCurrentIndex(i);
        QCoreApplication::processEvents();
    }
    QVERIFY(sameBytes(r, before));
}

void TestConfigurationPage::everyControlHasAnAccessibleName()
{
    PageFixture f;
    f.show();
    f.record.occupancy_strategy_enable = 3;
    f.show();
    QStringList unnamed;
    for (QWidget* w : f.page.findChildren<QWidget*>()) {
        const bool operable = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || w->inherits("TOptionGrid")
            || w->inherits("Thint_Frame");
        if (!operable || w->parent()->inherits("QComboBox") || w->inherits("QTabBar"))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
}

void TestConfigurationPage::hintBadges_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1 << "Unoccupied Strategy"
                       << "Will keep the room within the temperature range specified, while unoccupied.";
    QTest::newRow("3") << 3 << "Service Text"
                       << "Will be displayed with the error code description.";
    QTest::newRow("4") << 4 << "Image Error"
                       << "Selected image does not exist in this project.";
    QTest::newRow("5") << 5 << "Appearance"
                       << "Click on the background or logo area to change the image.";
    QTest::newRow("6") << 6 << "Background Colour"
                       << "Adjust the RGB levels of the background image.";
    QTest::newRow("7") << 7 << "R/C User Interface"
                       << "Select which control options are available to the user.";
    QTest::newRow("8") << 8 << "Image List"
                       << "Drag and drop images of the correct resolution onto the panel below.";
    QTest::newRow("9") << 9 << "Upload Data"
                       << "Select which data to upload and click the button";
    QTest::newRow("0") << 0 << "Undefined"
                       << "Undefined";
    QTest::newRow("10") << 10 << "Undefined"
                        << "Undefined";
    QTest::newRow("-1") << -1 << "Undefined"
                        << "Undefined";
}

void TestConfigurationPage::hintBadges()
{
    QFETCH(int, tag);
    QFETCH(QString, title);
    QFETCH(QString, text);
    Thint_Frame badge(tag);
    QCOMPARE(Thint_Frame::hintTitle(tag), title);
    QCOMPARE(Thint_Frame::hintText(tag), text);
    QCOMPARE(badge.size(), QSize(36, 36));
    QVERIFY(badge.mask().contains(QPoint(18, 18)));
    QVERIFY(!badge.mask().contains(QPoint(1, 1)));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&badge);
    QCOMPARE(iface->text(QAccessible::Name), title);
    QCOMPARE(iface->text(QAccessible::Description), text);

    // The pages carry their badges.
    PageFixture f;
    QList<int> tags;
    for (Thint_Frame* b : f.page.findChildren<Thint_Frame*>())
        tags << b->Tag();
    std::sort(tags.begin(), tags.end());
    QCOMPARE(tags, (QList<int>{1, 2, 3, 4, 4, 5, 6, 7}));
}

void TestConfigurationPage::hintBalloonFollowsThePointer()
{
    PageFixture f;
    auto* badge = f.find<Thint_Frame>("service_text_hint_Frame");
    f.reveal(badge);
    QTest::mouseMove(badge, QPoint(18, 18));
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
    QVERIFY(QToolTip::text().contains(QStringLiteral("Service Text")));
    QVERIFY(QToolTip::text().contains(QStringLiteral("Will be displayed with the error code description.")));

    QTest::mouseMove(f.page.cfg_PageControl(), QPoint(5, f.page.cfg_PageControl()->height() - 5));
    QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 5000);
}

void TestConfigurationPage::openingNeverModifiesShowingARetrievedRecordDoes()
{
    const QString path = m_dir.filePath(QStringLiteral("shown.cvp"));
    TDevice_Config_v2 rec = newProjectConfig();
    rec.controller_type = 7;
    rec.occupied_airdir = 7;
    rec.unoccupied_min_temp = 250;
    rec.unoccupied_max_temp = 240;
    THandleList handles;
    createDefaultHandles(handles);
    Save_Project_File(path, rec, handles);

    TFormFixture fx;
    Tbmpgen_Form& form = fx.form();
    fx.dialogs().answers.enqueue(path);
    fx.trigger("open_project_MenuItem");
    QVERIFY(!form.document().isModified());
    QVERIFY(sameBytes(form.document().record(), rec));

    // A retrieve replaces the record and shows it without the loading flag.
    TDevice_Config_v2 retrieved = newProjectConfig();
    retrieved.frost_protection_enabled = 1;
    form.document().replaceRecord(retrieved);
    form.Show_Device_Config(form.document().record());
    QVERIFY(form.document().isModified());
    QVERIFY(sameBytes(form.document().record(), retrieved));
    QVERIFY(form.findChild<QAbstractButton*>(QStringLiteral("frost_protection_CheckBox"))->isChecked());
}

void TestConfigurationPage::nonAsciiServiceTextSurvivesSaveAndReopen()
{
    const QString path = m_dir.filePath(QStringLiteral("accents.cvp"));
    const QString text = QString::fromUtf8("Caf\xC3\xA9 du Parc\nMax 24\xC2\xB0"
                                           "C, appelez le 0100");
    TFormFixture fx;
    Tbmpgen_Form& form = fx.form();
    fx.newProject(path);
    auto* memo = form.findChild<QPlainTextEdit*>(QStringLiteral("service_text_Memo"));
    memo->setPlainText(text);

    for (int cycle = 0; cycle < 3; ++cycle) {
        fx.trigger("save_project_MenuItem");
        QVERIFY(!form.document().isModified());
        fx.trigger("close_project_MenuItem");
        fx.dialogs().answers.enqueue(path);
        fx.trigger("open_project_MenuItem");
        QCOMPARE(memo->toPlainText(), text);
        QVERIFY(!form.document().isModified());
    }
    TDevice_Config_v2 saved{};
    THandleList handles;
    QVERIFY(Load_Project_File(path, saved, handles));
    const QByteArray expected = text.toUtf8().replace('\n', '\r');
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(saved.service_info_text), expected.size()), expected);
    QCOMPARE(saved.service_info_text[expected.size()], uint8_t(0));
}

void TestConfigurationPage::everyEditGoesThroughTheEditScope_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("action");
    for (const char* box :
         {"master_ctrl_CheckBox", "show_sp_dp_CheckBox", "frost_protection_CheckBox", "unoccupied_enable_CheckBox",
          "occupied_enable_CheckBox", "md_ui_CheckBox", "scheduler_enable_CheckBox"})
        QTest::newRow(box) << QString::fromLatin1(box) << "click";
    QTest::newRow("mode_DrawGrid") << "mode_DrawGrid"
                                   << "cell 0";
    QTest::newRow("sp_DrawGrid") << "sp_DrawGrid"
                                 << "cell 1";
    QTest::newRow("service_text_Memo") << "service_text_Memo"
                                       << "type";
    QTest::newRow("red track bar") << QString() << "slide";
}

void TestConfigurationPage::everyEditGoesThroughTheEditScope()
{
    // With an edit scope that keeps what it is given to itself, no control
    // can change the record: each edit reaches the scope, none goes past it.
    QFETCH(QString, control);
    QFETCH(QString, action);
    PageFixture f;
    f.show();
    const TDevice_Config_v2 before = f.record;
    QList<TDevice_Config_v2> edits;
    f.page.setRecordEditor([&](const TConfigEditorPage::RecordChange& change) {
        TDevice_Config_v2 copy = f.record;
        change(copy);
        edits << copy;
    });

    if (action == QStringLiteral("click")) {
        f.click(qPrintable(control));
    } else if (action.startsWith(QStringLiteral("cell"))) {
        auto* grid = f.find<TOptionGrid>(qPrintable(control));
        f.reveal(grid);
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(action.back().digitValue()).center());
    } else if (action == QStringLiteral("type")) {
        auto* memo = f.find<QPlainTextEdit>(qPrintable(control));
        f.reveal(memo);
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral("X"));
    } else {
        f.page.appearancePage()->trackBar(0)->setValue(f.page.appearancePage()->trackBar(0)->value() - 40);
    }

    QVERIFY(std::any_of(edits.cbegin(), edits.cend(), [&](const auto& e) { return !sameBytes(e, before); }));
    QVERIFY(sameBytes(f.record, before));
    QCOMPARE(f.changes, 0);
}
