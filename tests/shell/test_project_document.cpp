#include "test_shell.h"

#include "core/document/TProjectDocument.h"

#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

void TestProjectDocument::setModified_data()
{
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("loading");
    QTest::addColumn<bool>("value");
    QTest::addColumn<bool>("after");
    QTest::addColumn<bool>("notified");
    QTest::newRow("marks modified") << false << false << true << true << true;
    QTest::newRow("clears modified") << true << false << false << false << true;
    // The status bar follows every call, so a display out of step is put
    // right by the next one.
    QTest::newRow("unchanged still notifies") << false << false << false << false << true;
    // Filling the pages of a project being shown runs their change handlers.
    QTest::newRow("ignored while loading") << false << true << true << false << false;
    QTest::newRow("not cleared while loading") << true << true << false << true << false;
}

void TestProjectDocument::setModified()
{
    QFETCH(bool, before);
    QFETCH(bool, loading);
    QFETCH(bool, value);
    QFETCH(bool, after);
    QFETCH(bool, notified);
    TProjectDocument document;
    if (before)
        document.Set_Modified(true);
    document.setLoading(loading);
    QSignalSpy spy(&document, &TProjectDocument::modifiedChanged);

    document.Set_Modified(value);

    QCOMPARE(document.isModified(), after);
    QCOMPARE(spy.size(), notified ? 1 : 0);
    if (notified)
        QCOMPARE(spy.constFirst().constFirst().toBool(), value);
}

void TestProjectDocument::undoKeepsItsLimit()
{
    // Past the limit the oldest steps go; the saved state went with them, so
    // no undo can make the project look saved.
    TProjectDocument document;
    document.resetHistory();
    document.Set_Modified(false);
    const int steps = TProjectDocument::kUndoLimit + 20;
    for (int i = 1; i <= steps; ++i)
        document.edit(QStringLiteral("Step %1").arg(i), [i](TDevice_Config_v2& r) { r.theme_colour = quint32(i); });
    QCOMPARE(document.undoStack().count(), TProjectDocument::kUndoLimit);
    QCOMPARE(document.undoStack().undoText(), QStringLiteral("Step %1").arg(steps));

    while (document.undoStack().canUndo())
        document.undoStack().undo();

    QCOMPARE(document.record().theme_colour, quint32(steps - TProjectDocument::kUndoLimit));
    QVERIFY(document.isModified());
}

void TestProjectDocument::revisionCountsEveryChange()
{
    // A change gathered into the step on top (typing, a drag) is a change
    // too, though the stack's index stays; a call that changes nothing is not.
    TProjectDocument document;
    document.resetHistory();
    document.Set_Modified(false);
    quint64 last = document.revision();
    auto changed = [&] {
        const bool moved = document.revision() != last;
        last = document.revision();
        return moved;
    };

    document.edit({}, [](TDevice_Config_v2& r) { r.theme_colour = 1; });
    QVERIFY(changed());
    document.edit({}, [](TDevice_Config_v2& r) { r.theme_colour = 2; });
    QCOMPARE(document.undoStack().count(), 1);
    QVERIFY(changed());
    document.edit({}, [](TDevice_Config_v2&) {});
    QVERIFY(!changed());
    document.undoStack().undo();
    QVERIFY(changed());
    document.undoStack().redo();
    QVERIFY(changed());
    QCOMPARE(document.record().theme_colour, 2u);
}
