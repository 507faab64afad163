#include "test_shell.h"

#include "core/resources/ProgramVersion.h"
#include "ui/app/Tabout_Form.h"
#include "ui/app/Tgallery_Form.h"
#include "ui/app/Tinfo_Form.h"
#include "ui/app/Tsettings_Form.h"
#include "ui/app/Tsplash_Form.h"
#include "ui/config_editor/Timg_select_Form.h"
#include "ui/device/Tfw_upg_Form.h"
#include "ui/scheduler/Tcopy_events_Form.h"
#include "ui/scheduler/Tscheduled_events_form.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

void TestAuxWindows::splashIsBorderlessOnTopAndSteps()
{
    TsplashForm splash;
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(splash.testAttribute(Qt::WA_TranslucentBackground));
    QStringList texts;
    for (QLabel* l : splash.findChildren<QLabel*>())
        texts << l->text();
    QVERIFY(texts.contains(productName()));
    QVERIFY(texts.join(' ').contains(programVersion()));

    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    // The picture's corners are transparent, its middle is not.
    const QImage shot = splash.grab().toImage();
    QVERIFY(qAlpha(shot.pixel(1, 1)) < 40);
    QCOMPARE(qAlpha(shot.pixel(shot.width() / 2, shot.height() / 2)), 255);

    QProgressBar* bar = splash.progressBar();
    QCOMPARE(bar->value(), 0);
    for (int i = 1; i <= TsplashForm::kStages; ++i) {
        splash.advance();
        QCOMPARE(bar->value(), i);
    }
    splash.advance(); // an extra step stays at the end
    QCOMPARE(bar->value(), bar->maximum());
}

void TestAuxWindows::galleryShowsEveryPreview()
{
    TgalleryForm gallery;
    QCOMPARE(gallery.pictureCount(), 4);
    auto* view = gallery.findChild<QLabel*>("gallery_Image");
    QVERIFY(view && !view->pixmap().isNull());
    const QImage first = view->pixmap().toImage();
    gallery.showPicture(2);
    QCOMPARE(gallery.findChild<QListWidget*>()->currentRow(), 2);
    QVERIFY(view->pixmap().toImage() != first);
    gallery.showPicture(99); // out of range: nothing changes
    QCOMPARE(gallery.findChild<QListWidget*>()->currentRow(), 2);
}

void TestAuxWindows::aboutShowsTheVersion()
{
    TaboutForm about;
    auto* version = about.findChild<QLabel*>("version_Label");
    QVERIFY(version);
    QCOMPARE(version->text(), "Version " + programVersion());
}

void TestAuxWindows::infoCarriesItsText()
{
    TinfoForm info;
    const QString text = info.browser()->toPlainText();
    QVERIFY(text.startsWith("Useful Information"));
    QVERIFY(text.contains("480 × 272"));
}

void TestAuxWindows::settingsOffersOkAndCancelOnly()
{
    TsettingsForm settings;
    auto* box = settings.findChild<QDialogButtonBox*>();
    QVERIFY(box);
    QCOMPARE(box->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(settings.findChildren<QPushButton*>().size(), 2);
    box->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(settings.result(), int(QDialog::Rejected));
}

void TestAuxWindows::placeholdersConstruct()
{
    Tfw_upg_Form fw;
    Tscheduled_events_form events;
    Tcopy_events_Form copy;
    Timg_select_Form select;
    QCOMPARE(fw.windowTitle(), QString("  Firmware Upgrade..."));
    QCOMPARE(events.windowTitle(), QString(" Scheduled Events"));
    QCOMPARE(copy.windowTitle(), QString(" Copy Scheduled Event List..."));
    QCOMPARE(select.windowTitle(), QString("Select Image..."));
}
