#include "test_ui.h"

#include "UiTestFixtures.h"

#include "ui/app/TActivityLogPanel.h"
#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/TConfigurationPage.h"
#include "ui/imaging/TImagesPage.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolTip>
#include <QtTest>

namespace {

// The name a screen reader announces for the control that has the focus. A
// control that hands its focus to an inner part (a spin box to its text
// field) is announced by its own name.
QString announcedName(QWidget* w)
{
    for (QWidget* c = w; c; c = c->parentWidget()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        const QString name = a ? a->text(QAccessible::Name).trimmed() : QString();
        if (!name.isEmpty())
            return name;
        if (!c->parentWidget() || c->parentWidget()->focusProxy() != c)
            break;
    }
    return {};
}

// The controls of the window that a keyboard user should be able to reach
// now: shown, enabled, taking focus from Tab.
QSet<QWidget*> reachableControls(QWidget* window)
{
    QSet<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled() || w->focusProxy() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (w->window() != window)
            continue;
        controls.insert(w);
    }
    return controls;
}

// Pictures on show that a screen reader would announce without a name.
void collectUnnamedPictures(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (!node || depth > 60 || node->state().invisible)
        return;
    if (node->role() == QAccessible::Graphic && node->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << (node->object() ? node->object()->objectName() : QStringLiteral("?"));
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamedPictures(node->child(i), unnamed, depth + 1);
}

QString describe(QWidget* w)
{
    return QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
}

// Presses Tab from the focused control until the focus comes back to where
// it started; returns every control it passed, in order. closed: the focus
// did come back, nothing held it on the way.
QList<QWidget*> tabRound(QWidget* start, bool& closed)
{
    closed = false;
    start->setFocus(Qt::TabFocusReason);
    QList<QWidget*> visited;
    if (!QTest::qWaitFor([start] { return QApplication::focusWidget() == start; }, 5000))
        return visited;
    visited << start;
    for (int i = 0; i < 400; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now)
            break;
        if (now == start) {
            closed = true;
            break;
        }
        visited << now;
    }
    return visited;
}

} // namespace

void TestKeyboardUse::everyControlIsReachedAndNamed_data()
{
    QTest::addColumn<int>("page");    // of the project pages
    QTest::addColumn<int>("subPage"); // of the configuration pages, or -1
    for (int sub = 0; sub < 5; ++sub)
        QTest::addRow("configuration %d", sub) << 0 << sub;
    QTest::newRow("images") << 1 << -1;
    QTest::newRow("upload data") << 2 << -1;
}

void TestKeyboardUse::everyControlIsReachedAndNamed()
{
    QFETCH(int, page);
    QFETCH(int, subPage);
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("keys.cvp")));
    fx.addImage(kBackgroundsIdx, QStringLiteral("HALL"), pngBytes(480, 272, 0xff336699));
    fx.addImage(kBgThumbnailsIdx, QStringLiteral("HALL"), pngBytes(90, 51, 0xff336699));
    f.Show_Project();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.projectPages()->setCurrentIndex(page);
    if (subPage >= 0)
        f.configurationPage()->cfg_PageControl()->setCurrentIndex(subPage);
    const QString shown = f.projectPages()->tabText(page)
        + (subPage >= 0 ? QStringLiteral(" / ") + f.configurationPage()->cfg_PageControl()->tabText(subPage)
                        : QString());

    bool closed = false;
    const QList<QWidget*> round = tabRound(f.projectPages()->tabBar(), closed);
    QVERIFY2(closed, qPrintable(shown + QStringLiteral(": Tab is held at ") + describe(QApplication::focusWidget())));
    const QSet<QWidget*> reached(round.begin(), round.end());
    QStringList missed;
    for (QWidget* w : reachableControls(&f))
        if (!reached.contains(w))
            missed << describe(w);
    QVERIFY2(missed.isEmpty(), qPrintable(shown + QStringLiteral(": not reached by Tab: ") + missed.join(", ")));
    QStringList unnamed;
    for (QWidget* w : round)
        if (announcedName(w).isEmpty())
            unnamed << describe(w);
    QVERIFY2(unnamed.isEmpty(), qPrintable(shown + QStringLiteral(": no accessible name: ") + unnamed.join(", ")));
    // The round passes the log and comes back to its start: nothing traps Tab.
    QVERIFY(reached.contains(f.activityLog()->grid()));

    QStringList pictures;
    collectUnnamedPictures(QAccessible::queryAccessibleInterface(&f), pictures);
    QVERIFY2(pictures.isEmpty(),
             qPrintable(shown + QStringLiteral(": pictures without a name: ") + pictures.join(", ")));
}

void TestKeyboardUse::dropDownsAreNamedByTheirSetting()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("lists.cvp")));
    QStringList wrong;
    const QList<QComboBox*> lists = f.findChildren<QComboBox*>();
    QVERIFY(!lists.isEmpty());
    for (QComboBox* list : lists) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
        const QString name = a->text(QAccessible::Name);
        // The current item is the value, never the name ("Occupied setpoint",
        // not "21").
        if (name.isEmpty() || (!list->currentText().isEmpty() && name == list->currentText())
            || a->text(QAccessible::Value) != list->currentText())
            wrong << QStringLiteral("%1: name \"%2\", value \"%3\"")
                         .arg(list->objectName(), name, a->text(QAccessible::Value));
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    auto* setpoint = f.findChild<QComboBox*>(QStringLiteral("occupied_setpoint_ComboBox"));
    QVERIFY(setpoint);
    QCOMPARE(QAccessible::queryAccessibleInterface(setpoint)->text(QAccessible::Name),
             QStringLiteral("Occupied setpoint"));
}

void TestKeyboardUse::tabLeavesTheLog()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("log.cvp")));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTableWidget* log = f.activityLog()->grid();
    QVERIFY(log->rowCount() > 0);
    log->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), log);
    QTest::keyClick(log, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != log);
    // and back with Shift+Tab, and out again the other way
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), log);
    QTest::keyClick(log, Qt::Key_Backtab);
    QVERIFY(QApplication::focusWidget() != log);
    QCOMPARE(QAccessible::queryAccessibleInterface(log)->text(QAccessible::Name), QStringLiteral("Activity Log"));
}

void TestKeyboardUse::pagesChangeFromTheKeyboard()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("pages.cvp")));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTabBar* pages = f.projectPages()->tabBar();
    pages->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), pages);
    QTest::keyClick(pages, Qt::Key_Right);
    QCOMPARE(f.projectPages()->currentWidget(), f.imagesPage());
    QTabBar* sub = f.configurationPage()->cfg_PageControl()->tabBar();
    QTest::keyClick(pages, Qt::Key_Left);
    sub->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), sub);
    QTest::keyClick(sub, Qt::Key_Right);
    QCOMPARE(f.configurationPage()->cfg_PageControl()->currentIndex(), 1);
}

void TestKeyboardUse::badgeShowsItsTextOnFocus()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(m_dir.filePath(QStringLiteral("badge.cvp")));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    Thint_Frame* badge = nullptr;
    for (Thint_Frame* b : f.findChildren<Thint_Frame*>())
        if (b->isVisible())
            badge = b;
    QVERIFY(badge);
    badge->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains(Thint_Frame::hintText(badge->Tag()).toHtmlEscaped()));
    QTest::keyClick(badge, Qt::Key_Tab);
    QTRY_VERIFY(!QToolTip::isVisible());
    // A click opens it as well, without hovering first.
    QTest::mouseClick(badge, Qt::LeftButton, {}, badge->rect().center());
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains(Thint_Frame::hintTitle(badge->Tag()).toHtmlEscaped()));
}
