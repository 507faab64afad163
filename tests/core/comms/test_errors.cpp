#include "test_comms.h"

#include "core/comms/ECommsError.h"
#include "core/imaging/ImagingError.h"
#include "core/storage/ProjectFileError.h"

#include <QtTest>

namespace {
enum class Subsystem { Comms, Storage, Imaging };

void raise(Subsystem s, const QString& text)
{
    switch (s) {
    case Subsystem::Comms: throw ECommsError(text);
    case Subsystem::Storage: throw ProjectFileError(text);
    case Subsystem::Imaging: throw ImagingError(text);
    }
}
} // namespace

// The error classes of the subsystems share one base: a caller can catch
// them all at once, and each keeps its text exactly (what() in UTF-8).
void TestErrors::oneBaseKeepsTheText_data()
{
    QTest::addColumn<int>("subsystem");
    QTest::newRow("serial port") << int(Subsystem::Comms);
    QTest::newRow("project file") << int(Subsystem::Storage);
    QTest::newRow("imaging") << int(Subsystem::Imaging);
}

void TestErrors::oneBaseKeepsTheText()
{
    QFETCH(int, subsystem);
    const QString text = QStringLiteral("K\u00fchlraum \u201cS\u00fcd\u201d \u20ac: part 5813");
    try {
        raise(static_cast<Subsystem>(subsystem), text);
        QFAIL("nothing was thrown");
    } catch (const CorvaneError& e) {
        QCOMPARE(e.message(), text);
        QCOMPARE(QString::fromUtf8(e.what()), text);
    }
}
