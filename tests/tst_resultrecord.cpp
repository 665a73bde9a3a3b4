#include "records/resultrecord.h"

#include <QtTest>

class TestResultRecord : public QObject
{
    Q_OBJECT

private slots:
    void lineHoldsLevelQuotedNameAndPaddedDate_data();
    void lineHoldsLevelQuotedNameAndPaddedDate();
    void nameCannotBreakItsRecord_data();
    void nameCannotBreakItsRecord();
    void writtenLineReadsBack_data();
    void writtenLineReadsBack();
    void malformedLineIsNoRecord_data();
    void malformedLineIsNoRecord();
    void looseButValidLevelIsRead_data();
    void looseButValidLevelIsRead();
};

namespace {
QDateTime at(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// What the reader is handed: one line, its line end already split off.
QByteArray withoutLineEnd(const QByteArray &line)
{
    return line.endsWith("\r\n") ? line.chopped(2) : line;
}
}

void TestResultRecord::lineHoldsLevelQuotedNameAndPaddedDate_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("example game") << 17 << "player1" << at(2001, 12, 2, 21, 5)
                                  << QByteArray("17,\"player1\",\"2001/12/02 21:05\"\r\n");
    QTest::newRow("padded, seconds dropped") << 9 << "p" << at(2002, 1, 3, 9, 5, 59)
                                             << QByteArray("9,\"p\",\"2002/01/03 09:05\"\r\n");
    QTest::newRow("three digits") << 123 << "p" << at(2001, 12, 2, 21, 5)
                                  << QByteArray("123,\"p\",\"2001/12/02 21:05\"\r\n");
    QTest::newRow("negative") << -4 << "p" << at(2001, 12, 2, 21, 5)
                              << QByteArray("-4,\"p\",\"2001/12/02 21:05\"\r\n");
    QTest::newRow("empty name") << 1 << "" << at(2001, 12, 2, 21, 5)
                                << QByteArray("1,\"\",\"2001/12/02 21:05\"\r\n");
    QTest::newRow("kanji in cp932") << 30 << u"山田太郎"_qs << at(2001, 12, 2, 21, 5)
                                    << QByteArray("30,\"\x8e\x52\x93\x63\x91\xbe\x98\x59\","
                                                  "\"2001/12/02 21:05\"\r\n");
    QTest::newRow("half-width kana single bytes") << 30 << u"ｶﾅ"_qs << at(2001, 12, 2, 21, 5)
                                                  << QByteArray("30,\"\xb6\xc5\",\"2001/12/02 21:05\"\r\n");
}

void TestResultRecord::lineHoldsLevelQuotedNameAndPaddedDate()
{
    QFETCH(int, level);
    QFETCH(QString, name);
    QFETCH(QDateTime, when);
    QFETCH(QByteArray, expected);
    QCOMPARE(ResultFile::formatLine(std::int16_t(level), name, when), expected);
}

void TestResultRecord::nameCannotBreakItsRecord_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expectedLine");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("quote") << "say \"hi\""
                           << QByteArray("8,\"say \x81\x68hi\x81\x68\",\"2001/12/02 21:05\"\r\n")
                           << u"say ”hi”"_qs;
    QTest::newRow("line ends") << "a\r\nb\nc\r"
                               << QByteArray("8,\"a  b c \",\"2001/12/02 21:05\"\r\n")
                               << "a  b c ";
}

void TestResultRecord::nameCannotBreakItsRecord()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, expectedLine);
    QFETCH(QString, readBack);

    const QByteArray line = ResultFile::formatLine(8, name, at(2001, 12, 2, 21, 5));
    QCOMPARE(line, expectedLine);
    const auto entry = ResultFile::parseLine(withoutLineEnd(line));
    QVERIFY(entry);
    QCOMPARE(entry->Level, std::int16_t(8));
    QCOMPARE(entry->Name, readBack);
    QCOMPARE(entry->DateTime, u"2001/12/02 21:05"_qs);
}

void TestResultRecord::writtenLineReadsBack_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("plain") << 17 << "player1" << "player1";
    QTest::newRow("commas") << 22 << "Suzuki, Ichiro,Jr" << "Suzuki, Ichiro,Jr";
    QTest::newRow("empty") << 3 << "" << "";
    QTest::newRow("blanks kept inside quotes") << 3 << "  Taro  " << "  Taro  ";
    QTest::newRow("kanji") << 41 << u"山田太郎"_qs << u"山田太郎"_qs;
    QTest::newRow("half-width kana") << 12 << u"ｶﾅ ﾀﾛｳ"_qs << u"ｶﾅ ﾀﾛｳ"_qs;
    // Trail bytes such as 0x5C must not be mistaken for anything.
    QTest::newRow("kanji with backslash trail byte") << 12 << u"ソ表能"_qs << u"ソ表能"_qs;
    QTest::newRow("outside cp932") << 7 << u"A한B"_qs << "A?B";
    QTest::newRow("outside cp932, surrogate pair") << 7 << u"A😀B"_qs << "A?B";
    QTest::newRow("top of range") << 32767 << "p" << "p";
    QTest::newRow("bottom of range") << -32768 << "p" << "p";
}

void TestResultRecord::writtenLineReadsBack()
{
    QFETCH(int, level);
    QFETCH(QString, name);
    QFETCH(QString, readBack);

    const QByteArray line = ResultFile::formatLine(std::int16_t(level), name, at(2002, 1, 3, 9, 5));
    const auto entry = ResultFile::parseLine(withoutLineEnd(line));
    QVERIFY(entry);
    QCOMPARE(entry->Level, std::int16_t(level));
    QCOMPARE(entry->Name, readBack);
    QCOMPARE(entry->DateTime, u"2002/01/03 09:05"_qs);
    QCOMPARE(ResultFile::parseLevel(withoutLineEnd(line)), std::optional<std::int16_t>(level));
    // The reader also copes with the line end still attached.
    QVERIFY(ResultFile::parseLine(line));
}

void TestResultRecord::malformedLineIsNoRecord_data()
{
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("empty line") << QByteArray("");
    QTest::newRow("blank line") << QByteArray("   ");
    QTest::newRow("two fields") << QByteArray("17,\"player1\"");
    QTest::newRow("four fields") << QByteArray("17,\"player1\",\"2001/12/02 21:05\",\"x\"");
    QTest::newRow("level not a number") << QByteArray("abc,\"player1\",\"2001/12/02 21:05\"");
    QTest::newRow("level empty") << QByteArray(",\"player1\",\"2001/12/02 21:05\"");
    QTest::newRow("level just above 16 bits") << QByteArray("32768,\"p\",\"2001/12/02 21:05\"");
    QTest::newRow("level far above 16 bits") << QByteArray("40000,\"p\",\"2001/12/02 21:05\"");
    QTest::newRow("level below 16 bits") << QByteArray("-32769,\"p\",\"2001/12/02 21:05\"");
}

void TestResultRecord::malformedLineIsNoRecord()
{
    QFETCH(QByteArray, line);
    QVERIFY(!ResultFile::parseLine(line));
    QVERIFY(!ResultFile::parseLevel(line));
}

void TestResultRecord::looseButValidLevelIsRead_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("level");

    QTest::newRow("leading blanks") << QByteArray("  7,\"p\",\"2001/12/02 21:05\"") << 7;
    QTest::newRow("zero") << QByteArray("0,\"p\",\"2001/12/02 21:05\"") << 0;
    QTest::newRow("negative") << QByteArray("-3,\"p\",\"2001/12/02 21:05\"") << -3;
}

void TestResultRecord::looseButValidLevelIsRead()
{
    QFETCH(QByteArray, line);
    QFETCH(int, level);

    const auto entry = ResultFile::parseLine(line);
    QVERIFY(entry);
    QCOMPARE(int(entry->Level), level);
    QCOMPARE(entry->Name, u"p"_qs);
    QCOMPARE(entry->DateTime, u"2001/12/02 21:05"_qs);
    QCOMPARE(ResultFile::parseLevel(line), std::optional<std::int16_t>(level));
}

QTEST_APPLESS_MAIN(TestResultRecord)
#include "tst_resultrecord.moc"
