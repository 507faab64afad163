#include "PageFixture.h"
#include "test_config_editor.h"

#include "ui/config_editor/TGeneralPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QtTest>

#include <cstddef>

namespace {
QPlainTextEdit* memoOf(PageFixture& f)
{
    auto* memo = f.find<QPlainTextEdit>("service_text_Memo");
    f.reveal(memo);
    memo->setFocus();
    return memo;
}

QString countLabel(PageFixture& f)
{
    return f.find<QLabel>("service_text_char_count_Label")->text();
}
} // namespace

void TestGeneralPage::memoBreaksLongLinesAndCounts_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("count");

    const QString hundred = QString(40, 'a') + QString(40, 'b') + QString(20, 'c');
    const QStringList split{QString(40, 'a'), QString(40, 'b'), QString(20, 'c')};
    QTest::newRow("typed 100 characters") << true << hundred << split << "102/120";
    QTest::newRow("pasted 100 characters") << false << hundred << split << "102/120";
    QTest::newRow("exactly 40 stays one line") << true << QString(40, 'x') << QStringList{QString(40, 'x')} << "40/120";
    QTest::newRow("41st character opens a line")
        << true << QString(41, 'x') << QStringList{QString(40, 'x'), "x"} << "42/120";
    // The break falls at character 40 even inside a word.
    QTest::newRow("words are not kept together")
        << false << QString(38, 'x') + " word" << QStringList{QString(38, 'x') + " w", "ord"} << "44/120";
}

void TestGeneralPage::memoBreaksLongLinesAndCounts()
{
    QFETCH(bool, typed);
    QFETCH(QString, input);
    QFETCH(QStringList, lines);
    QFETCH(QString, count);
    PageFixture f;
    f.record.service_info_text[0] = 0;
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    QCOMPARE(countLabel(f), QStringLiteral("0/120"));

    if (typed)
        QTest::keyClicks(memo, input);
    else
        memo->insertPlainText(input);

    QCOMPARE(memo->toPlainText().split('\n'), lines);
    QCOMPARE(countLabel(f), count);
    // The caret is where the typing left it: after the last character.
    QCOMPARE(memo->textCursor().position(), int(memo->toPlainText().size()));
    QVERIFY(f.changes > 0);
}

void TestGeneralPage::caretStaysWithItsCharacter()
{
    // Typing into a full first line pushes its last character down; the
    // caret stays right after what was typed.
    PageFixture f;
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    memo->setPlainText(QString(40, 'a') + "\n" + "bb");
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(10);
    memo->setTextCursor(cursor);

    QTest::keyClicks(memo, "XY");

    // Each overflow becomes a line of its own; lines never merge.
    QCOMPARE(memo->toPlainText(), QString(10, 'a') + "XY" + QString(28, 'a') + "\na\na\nbb");
    QCOMPARE(memo->textCursor().position(), 12);
}

void TestGeneralPage::memoRefusesTypingBeyondItsLimit()
{
    // Three full lines and their two breaks are all the memo takes.
    PageFixture f;
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    memo->clear();
    QTest::keyClicks(memo, QString(120, 'z'));
    QCOMPARE(memo->toPlainText(), QString(40, 'z') + "\n" + QString(40, 'z') + "\n" + QString(40, 'z'));
    QCOMPARE(countLabel(f), QStringLiteral("122/120"));

    QTest::keyClicks(memo, "more");
    QTest::keyClick(memo, Qt::Key_Return);

    QCOMPARE(memo->toPlainText(), QString(40, 'z') + "\n" + QString(40, 'z') + "\n" + QString(40, 'z'));
    QCOMPARE(countLabel(f), QStringLiteral("122/120"));
}

void TestGeneralPage::tooManyLinesFollowsTheLineCount()
{
    PageFixture f;
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    auto* warning = f.find<QLabel>("service_text_toomanylines_Label");
    auto* general = f.page.generalPage();
    QVERIFY(!warning->isVisible());

    memo->clear();
    memo->insertPlainText("one\ntwo\nthree\nfour\nfive");
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(), QStringLiteral("Too many lines"));
    QVERIFY(warning->font().bold() || warning->styleSheet().contains("bold"));
    QVERIFY(general->serviceTextTooManyLines());

    // Deleting the last two lines hides it again.
    QTextCursor cursor = memo->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousBlock, QTextCursor::MoveAnchor, 2);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(memo->toPlainText(), QStringLiteral("one\ntwo\nthree"));
    QVERIFY(!warning->isVisible());
    QVERIFY(!general->serviceTextTooManyLines());

    // A final line break opens no fourth line.
    QTest::keyClick(memo, Qt::Key_Return);
    QVERIFY(!warning->isVisible());
}

void TestGeneralPage::boxesWriteTheirFields_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("shownTicked");
    QTest::addColumn<int>("afterFirstClick");
    QTest::addColumn<int>("afterSecondClick");
    const int type = int(offsetof(TDevice_Config_v2, controller_type));
    const int dp = int(offsetof(TDevice_Config_v2, show_setpoint_dp));
    const int frost = int(offsetof(TDevice_Config_v2, frost_protection_enabled));
    QTest::newRow("master, unknown type 7") << "master_ctrl_CheckBox" << type << 7 << false << 0 << 1;
    QTest::newRow("master, is master") << "master_ctrl_CheckBox" << type << 0 << true << 1 << 0;
    QTest::newRow("decimal point, stored 5") << "show_sp_dp_CheckBox" << dp << 5 << true << 0 << 1;
    QTest::newRow("decimal point, off") << "show_sp_dp_CheckBox" << dp << 0 << false << 1 << 0;
    QTest::newRow("frost, stored 2") << "frost_protection_CheckBox" << frost << 2 << true << 0 << 1;
    QTest::newRow("frost, off") << "frost_protection_CheckBox" << frost << 0 << false << 1 << 0;
}

void TestGeneralPage::boxesWriteTheirFields()
{
    QFETCH(QString, box);
    QFETCH(int, offset);
    QFETCH(int, stored);
    QFETCH(bool, shownTicked);
    QFETCH(int, afterFirstClick);
    QFETCH(int, afterSecondClick);
    PageFixture f;
    uint8_t* field = reinterpret_cast<uint8_t*>(&f.record) + offset;
    *field = uint8_t(stored);
    f.show();
    auto* check = f.find<QCheckBox>(qPrintable(box));
    QCOMPARE(check->isChecked(), shownTicked);
    QCOMPARE(int(*field), stored);

    f.click(qPrintable(box));
    QCOMPARE(int(*field), afterFirstClick);
    f.click(qPrintable(box));
    QCOMPARE(int(*field), afterSecondClick);
    QCOMPARE(f.changes, 2);
}

void TestGeneralPage::serviceTextBetweenRecordAndMemo_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QByteArray>("storedBack");

    QByteArray full(122, 'x');
    full[40] = '\r';
    full[81] = '\r';
    QTest::newRow("122 bytes without a zero: read whole")
        << full << QString(40, 'x') + "\n" + QString(40, 'x') + "\n" + QString(40, 'x') << full;
    QTest::newRow("a lone byte 0xE9 is the character e-acute")
        << QByteArray("Caf\xE9") << QString::fromUtf8("Caf\xC3\xA9") << QByteArray("Caf\xC3\xA9");
    QTest::newRow("UTF-8 reads back as written")
        << QByteArray("Caf\xC3\xA9\r20\xC2\xB0") << QString::fromUtf8("Caf\xC3\xA9\n20\xC2\xB0")
        << QByteArray("Caf\xC3\xA9\r20\xC2\xB0");
    QTest::newRow("one long line is broken for display")
        << QByteArray(50, 'y') << QString(40, 'y') + "\n" + QString(10, 'y')
        << QByteArray(40, 'y') + '\r' + QByteArray(10, 'y');
}

void TestGeneralPage::serviceTextBetweenRecordAndMemo()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, memo);
    QFETCH(QByteArray, storedBack);
    PageFixture f;
    std::memset(f.record.service_info_text, 0, sizeof f.record.service_info_text);
    std::memcpy(f.record.service_info_text, field.constData(), size_t(qMin<qsizetype>(field.size(), 122)));
    f.show();
    QCOMPARE(f.page.generalPage()->serviceText(), memo);

    TDevice_Config_v2 written = f.record;
    f.page.writeDeviceConfig(written);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(written.service_info_text), storedBack.size()), storedBack);
    for (int i = int(storedBack.size()); i < 122; ++i)
        QCOMPARE(written.service_info_text[i], uint8_t(0));
}

void TestGeneralPage::serviceTextLooksDisabledWhileDisabled()
{
    PageFixture f;
    f.show();
    auto* memo = f.find<QPlainTextEdit>("service_text_Memo");
    const QColor tip = memo->palette().color(QPalette::Active, QPalette::ToolTipBase);
    auto ground = [memo] {
        const QImage shot = memo->viewport()->grab().toImage();
        return shot.pixelColor(shot.width() - 4, shot.height() - 4);
    };
    QCOMPARE(ground(), tip);
    // A device operation disables the project area around it: the memo
    // then looks like every other disabled control.
    f.page.setEnabled(false);
    QCOMPARE(ground(), memo->palette().color(QPalette::Disabled, QPalette::Base));
    QVERIFY(ground() != tip);
    f.page.setEnabled(true);
    QCOMPARE(ground(), tip);
}
