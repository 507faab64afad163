#include "test_layout.h"

#include "UiTestFixtures.h"

#include "core/model/ProjectModel.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/device/TUploadDataPage.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QAbstractScrollArea>
#include <QDir>
#include <QLayout>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

// The window an installer gets on a small laptop: 1024 x 720 at scale 1, or
// 1366 x 768 device pixels at scale 1.5 (run by the test's scaled copy).
QSize deviceSize(qreal ratio)
{
    return ratio > 1.0 ? QSize(1366, 768) : QSize(1024, 720);
}

QString describe(const QWidget* w)
{
    return QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
}

bool laidOutBy(const QLayout* layout, const QWidget* w)
{
    for (int i = 0; layout && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w || laidOutBy(item->layout(), w))
            return true;
    }
    return false;
}

// What a user cannot see on the page: a widget reaching outside its parent
// or the page, or squeezed below the size it needs to show itself whole.
QStringList cutWidgets(QWidget* page)
{
    QStringList cut;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(page) || w->isWindow())
            continue;
        const QRect inPage(w->mapTo(page, QPoint(0, 0)), w->size());
        const QWidget* parent = w->parentWidget();
        if (!page->rect().contains(inPage) || !parent->rect().contains(w->geometry()))
            cut << describe(w)
                    + QStringLiteral(" outside at %1,%2 %3x%4")
                          .arg(inPage.x())
                          .arg(inPage.y())
                          .arg(inPage.width())
                          .arg(inPage.height());
        // Scroll areas and item views show part of what they hold by design;
        // a widget placed by its parent's own code sizes it as it needs.
        if (qobject_cast<QAbstractScrollArea*>(w) || !laidOutBy(parent->layout(), w))
            continue;
        // A minimum set on the widget overrides the one it suggests.
        QSize needed = w->minimumSizeHint();
        if (w->minimumWidth() > 0)
            needed.setWidth(w->minimumWidth());
        if (w->minimumHeight() > 0)
            needed.setHeight(w->minimumHeight());
        if (needed.isValid() && (w->width() < needed.width() || w->height() < needed.height()))
            cut << describe(w)
                    + QStringLiteral(" squeezed to %1x%2, needs %3x%4")
                          .arg(w->width())
                          .arg(w->height())
                          .arg(needed.width())
                          .arg(needed.height());
    }
    for (QTabBar* bar : page->findChildren<QTabBar*>())
        if (bar->isVisibleTo(page) && bar->width() < bar->sizeHint().width())
            cut << describe(bar) + QStringLiteral(" has tabs out of view");
    return cut;
}

// The service text keeps the vertical scroll bar it always shows.
QStringList visibleScrollBars(QWidget* window)
{
    QStringList shown;
    for (QScrollBar* bar : window->findChildren<QScrollBar*>()) {
        if (!bar->isVisibleTo(window))
            continue;
        const QWidget* owner = bar->parentWidget() ? bar->parentWidget()->parentWidget() : nullptr;
        if (owner && owner->objectName() == QLatin1String("service_text_Memo") && bar->orientation() == Qt::Vertical)
            continue;
        shown << (owner ? describe(owner) : describe(bar));
    }
    return shown;
}

} // namespace

void TestWindowLayout::everyPageFitsTheWindow()
{
    QTemporaryDir dir;
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    const qreal ratio = f.devicePixelRatioF();
    const QSize device = deviceSize(ratio);
    const QSize size(int(device.width() / ratio), int(device.height() / ratio));
    f.resize(size);
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTRY_COMPARE(f.size(), size);

    // Optional pictures of every page, for a person to judge.
    const QString shots = qEnvironmentVariable("CORVANE_LAYOUT_SHOTS");
    int shot = 0;
    auto check = [&](const QString& name, QWidget* page) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(f.size(), size);
        if (!shots.isEmpty())
            f.grab().save(QDir(shots).filePath(QStringLiteral("%1x%2-%3-%4.png")
                                                   .arg(device.width())
                                                   .arg(device.height())
                                                   .arg(++shot, 2, 10, QLatin1Char('0'))
                                                   .arg(name)));
        const QStringList bars = visibleScrollBars(&f);
        QVERIFY2(bars.isEmpty(), qPrintable(name + QStringLiteral(": scroll bars on ") + bars.join(", ")));
        const QStringList cut = cutWidgets(page);
        QVERIFY2(cut.isEmpty(), qPrintable(name + QStringLiteral(": ") + cut.join("; ")));
    };

    check(QStringLiteral("no-project"), f.noProjectView());
    if (QTest::currentTestFailed())
        return;

    // A project as an installer has it: opened from its file, two logos in it.
    const QString path = dir.filePath(QStringLiteral("layout.cvp"));
    fx.newProject(path);
    fx.addImage(kLogosIdx, QStringLiteral("ACME"), pngBytes(125, 85, 0xff2050a0));
    fx.addImage(kLogosIdx, QStringLiteral("LOBBY"), pngBytes(125, 85, 0xffa05020));
    fx.addImage(kLogoThumbnailsIdx, QStringLiteral("ACME"), pngBytes(90, 61, 0xff2050a0));
    fx.addImage(kLogoThumbnailsIdx, QStringLiteral("LOBBY"), pngBytes(90, 61, 0xffa05020));
    fx.trigger("save_project_MenuItem");
    fx.trigger("close_project_MenuItem");
    fx.dialogs().answers.enqueue(path);
    fx.trigger("open_project_MenuItem");

    QTabWidget* pages = f.projectPages();
    QTabWidget* sub = f.configurationPage()->cfg_PageControl();
    pages->setCurrentWidget(f.configurationPage());
    for (int i = 0; i < sub->count(); ++i) {
        sub->setCurrentIndex(i);
        check(QStringLiteral("configuration-") + sub->tabText(i).toLower().replace(QLatin1Char(' '), QLatin1Char('-')),
              f.configurationPage());
        if (QTest::currentTestFailed())
            return;
    }

    pages->setCurrentWidget(f.imagesPage());
    QTreeWidget* tree = f.treePanel()->Project_TreeView();
    tree->setCurrentItem(tree->topLevelItem(kLogosIdx)->child(0));
    check(QStringLiteral("images-logos"), f.imagesPage());
    if (QTest::currentTestFailed())
        return;

    pages->setCurrentWidget(f.uploadPage());
    check(QStringLiteral("upload-data"), pages->currentWidget());
}

void TestWindowLayout::imagesAndUploadPagesCarryTheirBadges()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    auto tags = [](const QWidget* page) {
        QList<int> found;
        for (const Thint_Frame* badge : page->findChildren<Thint_Frame*>())
            found << badge->Tag();
        return found;
    };
    QCOMPARE(tags(f.imagesPage()), QList<int>{8});
    QCOMPARE(tags(f.uploadPage()), QList<int>{9});
    // "Image List" explains the image view: it stands in the handle panel
    // over it.
    const Thint_Frame* imageList = f.imagesPage()->findChild<Thint_Frame*>();
    const QWidget* view = f.imagesPage()->findChild<QWidget*>(QStringLiteral("image_view_Panel"));
    QVERIFY(view && view->isAncestorOf(imageList));
}
