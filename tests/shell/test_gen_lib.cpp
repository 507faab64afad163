#include "test_shell.h"

#include "TScriptedPrompter.h"
#include "core/device/DeviceTexts.h"
#include "ui/common/gen_lib.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using SB = QMessageBox::StandardButton;
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)

void TestGenLib::scriptedPrompterRecordsAndAnswers()
{
    TScriptedPrompter prompter;
    prompter.enqueue(QMessageBox::Yes);
    prompter.enqueue(QMessageBox::Retry);
    const QString quit = "The current project has been modified.      \rQuit without saving?      ";
    QCOMPARE(
        Show_Message_Box_Ex(quit, TMsgDlgType::MtConfirmation, QMessageBox::Yes | QMessageBox::No, QMessageBox::No),
        QMessageBox::Yes);
    QCOMPARE(Show_Message_Box("Comms error      ", TMsgDlgType::MtError, QMessageBox::Retry | QMessageBox::Cancel),
             QMessageBox::Retry);
    QCOMPARE(prompter.pendingAnswers(), 0);
    QCOMPARE(prompter.questions().size(), 2);
    const auto& q0 = prompter.questions()[0];
    QCOMPARE(q0.text, quit); // exact text, blanks and '\r' included
    QCOMPARE(q0.kind, TMsgDlgType::MtConfirmation);
    QCOMPARE(q0.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(q0.defaultButton, QMessageBox::No);
    QCOMPARE(prompter.questions()[1].kind, TMsgDlgType::MtError);
    QCOMPARE(prompter.questions()[1].defaultButton, QMessageBox::NoButton);
}

void TestGenLib::unscriptedQuestionsNeverBlock_data()
{
    QTest::addColumn<QMessageBox::StandardButtons>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("answer");
    QTest::newRow("default wins") << (QMessageBox::Yes | QMessageBox::No) << int(SB::Yes) << int(SB::Yes);
    QTest::newRow("retry declined") << (QMessageBox::Retry | QMessageBox::Cancel) << int(SB::NoButton)
                                    << int(SB::Cancel);
    QTest::newRow("yes/no declined") << (QMessageBox::Yes | QMessageBox::No) << int(SB::NoButton) << int(SB::No);
    QTest::newRow("ok only") << QMessageBox::StandardButtons(QMessageBox::Ok) << int(SB::NoButton) << int(SB::Ok);
}

void TestGenLib::unscriptedQuestionsNeverBlock()
{
    QFETCH(QMessageBox::StandardButtons, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, answer);
    TScriptedPrompter prompter;
    QCOMPARE(int(Show_Message_Box_Ex("?", TMsgDlgType::MtWarning, buttons, SB(defaultButton))), answer);
}

void TestGenLib::prompterIsRemovedWithIt()
{
    {
        TScriptedPrompter prompter;
        QCOMPARE(currentPrompter(), &prompter);
    }
    QCOMPARE(currentPrompter(), nullptr);
}

void TestGenLib::realDialogShowsTheTextAndDefault()
{
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QApplication::setActiveWindow(&owner);

    QString title, text;
    QAbstractButton* defaultButton = nullptr;
    bool wrapped = true;
    bool toolFrame = false;
    QPoint offCentre;
    // Answers the dialog as soon as it is up, however long that takes.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        // A picture of the box for a person to judge (its icon, its lines).
        const QString folder = qEnvironmentVariable("CORVANE_SCREENSHOTS");
        if (!folder.isEmpty())
            box->grab().save(folder + QStringLiteral("/message_box.png"));
        title = box->windowTitle();
        text = box->text();
        defaultButton = box->defaultButton();
        toolFrame = (box->windowFlags() & Qt::Tool) == Qt::Tool;
        offCentre = box->frameGeometry().center() - owner.frameGeometry().center();
        wrapped = false;
        for (QLabel* l : box->findChildren<QLabel*>())
            wrapped |= l->wordWrap();
        if (defaultButton)
            defaultButton = box->button(QMessageBox::No) == defaultButton ? defaultButton : nullptr;
        box->button(QMessageBox::Yes)->click();
    });
    poll.start();
    const SB answer = Show_Message_Box_Ex("Line one      \rLine two      ", TMsgDlgType::MtConfirmation,
                                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    QCOMPARE(answer, QMessageBox::Yes);
    QCOMPARE(title, QString(" Confirm"));
    QCOMPARE(text, QString("Line one      \nLine two      "));
    QVERIFY2(defaultButton, "No is the default button");
    QVERIFY(!wrapped);
    QVERIFY(toolFrame);
    QVERIFY2(offCentre.manhattanLength() <= 2, "centred on its owner");
}

void TestGenLib::realDialogKeepsEveryLineWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    // Boxes whose long lines a narrower box would break.
    QTest::newRow("configuration write error") << DeviceText::configWriteError() << int(TMsgDlgType::MtError);
    QTest::newRow("firmware too old to upload") << DeviceText::needsUpgrade() << int(TMsgDlgType::MtWarning);
    QTest::newRow("controller not found") << DeviceText::notFound() << int(TMsgDlgType::MtError);
    QTest::newRow("unsaved project before upload") << DeviceText::unsavedUpload() << int(TMsgDlgType::MtConfirmation);
}

void TestGenLib::realDialogKeepsEveryLineWhole()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QApplication::setActiveWindow(&owner);

    QStringList problems;
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        seen = true;
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const QFontMetrics metrics(label->font());
        for (const QString& line : box->text().split(QLatin1Char('\n')))
            if (metrics.horizontalAdvance(line) > label->width())
                problems << QStringLiteral("\"%1\" wider than the label (%2)").arg(line).arg(label->width());
        // As tall as its lines: none of them broke in two.
        const int lines = int(box->text().count(QLatin1Char('\n'))) + 1;
        const int shown = label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        if (shown > lines * metrics.lineSpacing() + 2)
            problems << QStringLiteral("%1 lines shown %2 pixels high").arg(lines).arg(shown);
        // The program's own icon, drawn for the box's pixel density.
        const int side = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
        const QPixmap icon = box->iconPixmap();
        if (icon.isNull() || icon.size() != (QSizeF(side, side) * box->devicePixelRatioF()).toSize())
            problems << QStringLiteral("icon of %1x%2").arg(icon.width()).arg(icon.height());
        box->buttons().constFirst()->click();
    });
    poll.start();
    Show_Message_Box(text, TMsgDlgType(kind),
                     TMsgDlgType(kind) == TMsgDlgType::MtConfirmation ? QMessageBox::Yes | QMessageBox::No
                                                                      : QMessageBox::Ok);
    QVERIFY(seen);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

void TestGenLib::delayKeepsTheEventLoopRunning()
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    Delay_With_Messages(30);
    QVERIFY(ran);
    bool early = false;
    QTimer::singleShot(0, [&] { early = true; });
    Delay_With_Messages(0); // returns at once
    QVERIFY(!early);
    QCoreApplication::processEvents();
    QVERIFY(early);
}

void TestGenLib::enableChildrenCopiesTheOwnState()
{
    QWidget top;
    auto* group = new QGroupBox(&top);
    auto* inner = new QWidget(group);
    auto* leaf = new QCheckBox(inner);
    auto* sibling = new QPushButton(group);

    leaf->setEnabled(false);
    Enable_Children(group); // group enabled: every descendant becomes enabled
    QVERIFY(leaf->isEnabled() && sibling->isEnabled() && inner->isEnabled());

    group->setEnabled(false);
    Enable_Children(group);
    QVERIFY(leaf->testAttribute(Qt::WA_ForceDisabled));
    QVERIFY(sibling->testAttribute(Qt::WA_ForceDisabled));
    group->setEnabled(true);
    QVERIFY2(!leaf->isEnabled(), "children keep their own disabled state");
    Enable_Children(group);
    QVERIFY(leaf->isEnabled());

    // The control's own state counts, not the one it inherits from its parent.
    top.setEnabled(false);
    Enable_Children(group);
    top.setEnabled(true);
    QVERIFY(leaf->isEnabled());
    Enable_Children(nullptr); // harmless
}

void TestGenLib::checkerBitmap_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("cell");
    QTest::newRow("square cells") << 40 << 60 << 10;
    QTest::newRow("partial cells at the edges") << 25 << 33 << 8;
    QTest::newRow("one-pixel cells") << 4 << 5 << 1;
    QTest::newRow("cell of 0 is treated as 1") << 3 << 3 << 0;
}

void TestGenLib::checkerBitmap()
{
    QFETCH(int, height);
    QFETCH(int, width);
    QFETCH(int, cell);
    const QColor c1(Qt::white), c2(0xC0, 0xC0, 0xC0);
    QImage bmp(5, 5, QImage::Format_RGB32);
    makeCheckerBitmap(bmp, height, width, c1, c2, cell);
    QCOMPARE(bmp.size(), QSize(width, height));
    const int side = qMax(cell, 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QColor expected = ((x / side + y / side) % 2 == 0) ? c1 : c2;
            if (bmp.pixelColor(x, y).rgb() != expected.rgb())
                QFAIL(qPrintable(QString("wrong colour at %1,%2").arg(x).arg(y)));
        }
}
