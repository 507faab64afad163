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
QString Announced_Name(QWidget* w)
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
QSet<QWidget*> Reachable_Controls(QWidget* window)
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
void Collect_Unnamed_Pictures(QAccessibleInterface* node, QStringList& unnamed, int depth = 0)
{
    if (!node || depth > 60 || node->state().invisible)
        return;
    if (node->role() == QAccessible::Graphic && node->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << (node->object() ? node->object()->objectName() : QStringLiteral("?"));
    for (int i = 0; i < node->childCount(); ++i)
        Collect_Unnamed_Pictures(node->child(i), unnamed, depth + 1);
}

QString Describe(QWidget* w)
{
    return QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
}

// Presses Tab from the focused control until the focus comes back to where
// it started; returns every control it passed, in order. closed: the focus
// did come back, nothing held it on the way.
QList<QWidget*> Tab_Round(QWidget* start, bool& closed)
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
    fx.newProject(dir.filePath(QStringLiteral("keys.cvp")));
    fx.addImage(BACKGROUNDS_IDX, QStringLiteral("HALL"), Png_Bytes(480, 272, 0xff336699));
    fx.addImage(BG_THUMBNAILS_IDX, QStringLiteral("HALL"), Png_Bytes(90, 51, 0xff336699));
    f.Show_Project();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Project_Pages()->setCurrentIndex(page);
    if (subPage >= 0)
        f.Configuration_Page()->cfg_PageControl()->setCurrentIndex(subPage);
    const QString shown = f.Project_Pages()->tabText(page)
        + (subPage >= 0 ? QStringLiteral(" / ") + f.Configuration_Page()->cfg_PageControl()->tabText(subPage)
                        : QString());

    bool closed = false;
    const QList<QWidget*> round = Tab_Round(f.Project_Pages()->tabBar(), closed);
    QVERIFY2(closed, qPrintable(shown + QStringLiteral(": Tab is held at ") + Describe(QApplication::focusWidget())));
    const QSet<QWidget*> reached(round.begin(), round.end());
    QStringList missed;
    for (QWidget* w : Reachable_Controls(&f))
        if (!reached.contains(w))
            missed << Describe(w);
    QVERIFY2(missed.isEmpty(), qPrintable(shown + QStringLiteral(": not reached by Tab: ") + missed.join(", ")));
    QStringList unnamed;
    for (QWidget* w : round)
        if (Announced_Name(w).isEmpty())
            unnamed << Describe(w);
    QVERIFY2(unnamed.isEmpty(), qPrintable(shown + QStringLiteral(": no accessible name: ") + unnamed.join(", ")));
    // The round passes the log and comes back to its start: nothing traps Tab.
    QVERIFY(reached.contains(f.Activity_Log()->grid()));

    QStringList pictures;
    Collect_Unnamed_Pictures(QAccessible::queryAccessibleInterface(&f), pictures);
    QVERIFY2(pictures.isEmpty(),
             qPrintable(shown + QStringLiteral(": pictures without a name: ") + pictures.join(", ")));
}

void TestKeyboardUse::dropDownsAreNamedByTheirSetting()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(dir.filePath(QStringLiteral("lists.cvp")));
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
    fx.newProject(dir.filePath(QStringLiteral("log.cvp")));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTableWidget* log = f.Activity_Log()->grid();
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
    fx.newProject(dir.filePath(QStringLiteral("pages.cvp")));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTabBar* pages = f.Project_Pages()->tabBar();
    pages->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), pages);
    QTest::keyClick(pages, Qt::Key_Right);
    QCOMPARE(f.Project_Pages()->currentWidget(), f.Images_Page());
    QTabBar* sub = f.Configuration_Page()->cfg_PageControl()->tabBar();
    QTest::keyClick(pages, Qt::Key_Left);
    sub->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), sub);
    QTest::keyClick(sub, Qt::Key_Right);
    QCOMPARE(f.Configuration_Page()->cfg_PageControl()->currentIndex(), 1);
}

void TestKeyboardUse::badgeShowsItsTextOnFocus()
{
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    fx.newProject(dir.filePath(QStringLiteral("badge.cvp")));
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
