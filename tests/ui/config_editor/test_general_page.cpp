#include "PageFixture.h"
#include "test_config_editor.h"

#include "ui/config_editor/TGeneralPage.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
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
    // A word that does not fit moves to the next line whole; the space
    // before it becomes the break.
    QTest::newRow("a word is kept together")
        << false << QString(38, 'x') + " word" << QStringList{QString(38, 'x'), "word"} << "43/120";
    QTest::newRow("typed words flow") << true << QStringLiteral("For servicing, please contact your installer.")
                                      << QStringList{"For servicing, please contact your", "installer."} << "45/120";
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
    // Typing into a full first line pushes its end down into the rest of
    // its paragraph; the caret stays right after what was typed, and the
    // lines do not multiply.
    PageFixture f;
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    memo->setPlainText(QString(40, 'a') + "\n" + "bb");
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(10);
    memo->setTextCursor(cursor);

    QTest::keyClicks(memo, "XY");

    QCOMPARE(memo->toPlainText(), QString(10, 'a') + "XY" + QString(28, 'a') + "\naa\nbb");
    QCOMPARE(memo->textCursor().position(), 12);
}

void TestGeneralPage::editsFlowTheLines_data()
{
    QTest::addColumn<QByteArray>("stored"); // the record's text, shown first
    QTest::addColumn<QString>("typed");     // then typed into the box
    QTest::addColumn<int>("line");          // where the caret is put
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys"); // \b Backspace, \x7f Delete, \n Enter
    QTest::addColumn<QString>("paste");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<int>("caretColumn");
    QTest::addColumn<QString>("message");

    // Three lines: the first two full to the last word, the third short.
    const QString words = QStringLiteral("aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd eeeeeeeee fffffffff ggggggggg "
                                         "hhhhhhhhh iiiii");
    const QString l1 = QStringLiteral("aaaaaaaaa bbbbbbbbb ccccccccc ddddddddd");
    const QString l2 = QStringLiteral("eeeeeeeee fffffffff ggggggggg hhhhhhhhh");
    const QString l3 = QStringLiteral("iiiii");
    const QString full = QStringLiteral("The service text is full (3 lines of 40 characters): nothing was added.");
    auto row = [&](const char* name, int line, int column, const QString& keys, const QStringList& lines, int caretLine,
                   int caretColumn, const QString& message = QString()) {
        QTest::newRow(name) << QByteArray() << words << line << column << keys << QString() << lines << caretLine
                            << caretColumn << message;
    };
    row("start of line 1", 0, 0, "XY",
        {"XYaaaaaaaaa bbbbbbbbb ccccccccc", "ddddddddd eeeeeeeee fffffffff ggggggggg", "hhhhhhhhh iiiii"}, 0, 2);
    row("middle of line 1", 0, 20, "XY",
        {"aaaaaaaaa bbbbbbbbb XYccccccccc", "ddddddddd eeeeeeeee fffffffff ggggggggg", "hhhhhhhhh iiiii"}, 0, 22);
    row("end of line 1", 0, 39, "XY",
        {"aaaaaaaaa bbbbbbbbb ccccccccc", "dddddddddXY eeeeeeeee fffffffff", "ggggggggg hhhhhhhhh iiiii"}, 1, 11);
    row("start of line 2", 1, 0, "XY", {l1, "XYeeeeeeeee fffffffff ggggggggg", "hhhhhhhhh iiiii"}, 1, 2);
    row("middle of line 2", 1, 20, "XY", {l1, "eeeeeeeee fffffffff XYggggggggg", "hhhhhhhhh iiiii"}, 1, 22);
    row("end of line 2", 1, 39, "XY", {l1, "eeeeeeeee fffffffff ggggggggg", "hhhhhhhhhXY iiiii"}, 2, 11);
    row("start of line 3", 2, 0, "XY", {l1, l2, "XYiiiii"}, 2, 2);
    row("middle of line 3", 2, 2, "XY", {l1, l2, "iiXYiii"}, 2, 4);
    row("end of line 3", 2, 5, "XY", {l1, l2, "iiiiiXY"}, 2, 7);
    // The break at a wrap is the space it replaced.
    row("backspace at the start of a wrapped line", 1, 0, "\b",
        {"aaaaaaaaa bbbbbbbbb ccccccccc", "dddddddddeeeeeeeee fffffffff ggggggggg", "hhhhhhhhh iiiii"}, 1, 9);
    row("delete at the end of a wrapped line", 0, 39, "\x7f",
        {"aaaaaaaaa bbbbbbbbb ccccccccc", "dddddddddeeeeeeeee fffffffff ggggggggg", "hhhhhhhhh iiiii"}, 1, 9);
    row("delete at the end of line 2", 1, 39, "\x7f", {l1, "eeeeeeeee fffffffff ggggggggg", "hhhhhhhhhiiiii"}, 2, 9);
    row("typed and taken back flows back", 0, 0, "XY\b\b", {l1, l2, l3}, 0, 0);
    row("enter in a line", 0, 20, "\n",
        {"aaaaaaaaa bbbbbbbbb ", "ccccccccc ddddddddd eeeeeeeee fffffffff", "ggggggggg hhhhhhhhh iiiii"}, 1, 0);
    row("enter that would open a fourth line", 2, 2, "\n", {l1, l2, l3}, 2, 2, full);

    // A word longer than a line breaks at 40; that break stands for nothing.
    const QString x45(45, 'x');
    QTest::newRow("backspace after a break inside a word")
        << QByteArray() << x45 << 1 << 0 << "\b" << QString() << QStringList{QString(40, 'x'), QString(4, 'x')} << 0
        << 39 << QString();
    QTest::newRow("delete before a break inside a word")
        << QByteArray() << x45 << 0 << 40 << "\x7f" << QString() << QStringList{QString(40, 'x'), QString(4, 'x')} << 0
        << 40 << QString();

    // 41 words of three letters: 164 characters, of which 120 fit.
    const QString ten = QStringLiteral("abc abc abc abc abc abc abc abc abc abc");
    QTest::newRow("paste longer than the limit")
        << QByteArray() << QString() << 0 << 0 << QString() << QString(QStringLiteral("abc ")).repeated(41)
        << QStringList{ten, ten, ten + " "} << 2 << 40
        << QStringLiteral("The service text is full (3 lines of 40 characters): the last 44 characters of what "
                          "was pasted were left out.");

    QTest::newRow("typed at the start of a new project's text")
        << QByteArray(kNewProjectServiceText) << QString() << 0 << 0 << "ABCDE" << QString()
        << QStringList{"ABCDEFor servicing, please contact your", "installer."} << 0 << 5 << QString();

    const QByteArray stored = QByteArray(40, 'A') + '\r' + QByteArray(40, 'B') + '\r' + QByteArray(40, 'C');
    const QStringList shown{QString(40, 'A'), QString(40, 'B'), QString(40, 'C')};
    QTest::newRow("a loaded 3 x 40 text takes no more")
        << stored << QString() << 1 << 10 << "Z" << QString() << shown << 1 << 10 << full;
    QTest::newRow("a loaded 3 x 40 text, backspace")
        << stored << QString() << 2 << 40 << "\b" << QString()
        << QStringList{QString(40, 'A'), QString(40, 'B'), QString(39, 'C')} << 2 << 39 << QString();
}

void TestGeneralPage::editsFlowTheLines()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, typed);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(QString, paste);
    QFETCH(QStringList, lines);
    QFETCH(int, caretLine);
    QFETCH(int, caretColumn);
    QFETCH(QString, message);
    PageFixture f;
    std::memset(f.record.service_info_text, 0, sizeof f.record.service_info_text);
    std::memcpy(f.record.service_info_text, stored.constData(), size_t(stored.size()));
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    QTest::keyClicks(memo, typed);
    QTextCursor cursor(memo->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    memo->setTextCursor(cursor);

    for (const QChar key : keys) {
        if (key == QLatin1Char('\b'))
            QTest::keyClick(memo, Qt::Key_Backspace);
        else if (key == QChar(0x7f))
            QTest::keyClick(memo, Qt::Key_Delete);
        else if (key == QLatin1Char('\n'))
            QTest::keyClick(memo, Qt::Key_Return);
        else
            QTest::keyClicks(memo, QString(key));
    }
    if (!paste.isEmpty()) {
        QGuiApplication::clipboard()->setText(paste);
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    }

    QCOMPARE(memo->toPlainText().split(QLatin1Char('\n')), lines);
    QCOMPARE(memo->textCursor().blockNumber(), caretLine);
    QCOMPARE(memo->textCursor().positionInBlock(), caretColumn);
    auto* overflow = f.find<QLabel>("service_text_overflow_Label");
    QCOMPARE(overflow->isVisible(), !message.isEmpty());
    if (!message.isEmpty())
        QCOMPARE(overflow->text(), message);
    // The record holds the lines shown, a carriage return between them.
    const QByteArray field = lines.join(QLatin1Char('\r')).toUtf8();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.record.service_info_text), field.size()), field);
    for (int i = int(field.size()); i < 122; ++i)
        QCOMPARE(f.record.service_info_text[i], uint8_t(0));
}

void TestGeneralPage::editedTextIsStoredAsUtf8()
{
    // A byte shown as its character is stored as UTF-8 once the user edits.
    PageFixture f;
    std::memset(f.record.service_info_text, 0, sizeof f.record.service_info_text);
    std::memcpy(f.record.service_info_text, "Caf\xE9", 4);
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "!");
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.record.service_info_text)), QByteArray("Caf\xC3\xA9!"));
    QCOMPARE(f.changes, 1);
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

    auto* count = f.find<QLabel>("service_text_char_count_Label");
    QCOMPARE(count->palette().color(QPalette::WindowText), QColor(Qt::red));
    auto* overflow = f.find<QLabel>("service_text_overflow_Label");
    QVERIFY(!overflow->isVisible());

    QTest::keyClicks(memo, "more");
    QTest::keyClick(memo, Qt::Key_Return);

    QCOMPARE(memo->toPlainText(), QString(40, 'z') + "\n" + QString(40, 'z') + "\n" + QString(40, 'z'));
    QCOMPARE(countLabel(f), QStringLiteral("122/120"));
    QVERIFY(overflow->isVisible());
    QCOMPARE(overflow->text(),
             QStringLiteral("The service text is full (3 lines of 40 characters): nothing was added."));
    // Room again: the count goes back to its colour and the message away.
    QTest::keyClick(memo, Qt::Key_Backspace);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QCOMPARE(countLabel(f), QStringLiteral("119/120"));
    QVERIFY(count->palette().color(QPalette::WindowText) != QColor(Qt::red));
    QVERIFY(!overflow->isVisible());
}

void TestGeneralPage::tooManyLinesFollowsTheLineCount()
{
    PageFixture f;
    f.show();
    QPlainTextEdit* memo = memoOf(f);
    auto* warning = f.find<QLabel>("service_text_toomanylines_Label");
    auto* general = f.page.generalPage();
    QVERIFY(!warning->isVisible());

    // No edit makes more than three lines; a stored text can hold more.
    writeServiceText(QStringLiteral("one\rtwo\rthree\rfour\rfive"), f.record);
    f.show();
    QCOMPARE(memo->toPlainText(), QStringLiteral("one\ntwo\nthree\nfour\nfive"));
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
    QCOMPARE(memo->toPlainText(), QStringLiteral("one\ntwo\nthree\n"));
    QVERIFY(!warning->isVisible());
    // A pasted fourth line does not come in.
    memo->insertPlainText(QStringLiteral("four"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("one\ntwo\nthree\n"));
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
    // Shown as the character; stored as it was until the user edits it.
    QTest::newRow("a lone byte 0xE9 is the character e-acute")
        << QByteArray("Caf\xE9") << QString::fromUtf8("Caf\xC3\xA9") << QByteArray("Caf\xE9");
    QTest::newRow("UTF-8 reads back as written")
        << QByteArray("Caf\xC3\xA9\r20\xC2\xB0") << QString::fromUtf8("Caf\xC3\xA9\n20\xC2\xB0")
        << QByteArray("Caf\xC3\xA9\r20\xC2\xB0");
    QTest::newRow("a line longer than the box is shown as stored")
        << QByteArray(50, 'y') << QString(50, 'y') << QByteArray(50, 'y');
    QTest::newRow("four lines are shown as stored")
        << QByteArray("a\rb\rc\rd") << QStringLiteral("a\nb\nc\nd") << QByteArray("a\rb\rc\rd");
}

void TestGeneralPage::serviceTextBetweenRecordAndMemo()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, memo);
    QFETCH(QByteArray, storedBack);
    PageFixture f;
    std::memset(f.record.service_info_text, 0, sizeof f.record.service_info_text);
    std::memcpy(f.record.service_info_text, field.constData(), size_t(qMin<qsizetype>(field.size(), 122)));
    const TDevice_Config_v2 before = f.record;
    f.show();
    QCOMPARE(f.page.generalPage()->serviceText(), memo);
    QVERIFY(sameBytes(f.record, before));

    // What a save writes.
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.record.service_info_text), storedBack.size()), storedBack);
    for (int i = int(storedBack.size()); i < 122; ++i)
        QCOMPARE(f.record.service_info_text[i], uint8_t(0));
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
