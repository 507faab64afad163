#include "test_shell.h"

#include "core/document/TProjectDocument.h"

#include <QSignalSpy>
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
    document.modified = before;
    document.loading_flag = loading;
    QSignalSpy spy(&document, &TProjectDocument::modifiedChanged);

    document.Set_Modified(value);

    QCOMPARE(document.modified, after);
    QCOMPARE(spy.size(), notified ? 1 : 0);
    if (notified)
        QCOMPARE(spy.constFirst().constFirst().toBool(), value);
}
