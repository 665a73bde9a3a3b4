#include "records/ranking.h"

#include <QBuffer>
#include <QtTest>

class TestRanking : public QObject
{
    Q_OBJECT

private slots:
    void tableKeepsThirtyBestInExchangeOrder_data();
    void tableKeepsThirtyBestInExchangeOrder();
    void listAndClipboardShowEntriesUpToFirstEmpty_data();
    void listAndClipboardShowEntriesUpToFirstEmpty();
    void brokenLinesAreSkippedWithoutShiftingLaterRecords_data();
    void brokenLinesAreSkippedWithoutShiftingLaterRecords();
    void lineEndsDoNotChangeTheRanking_data();
    void lineEndsDoNotChangeTheRanking();
    void fileBeyondSixteenBitCountStillRanks();
};

namespace {
const QDateTime When(QDate(2001, 12, 2), QTime(21, 5));

// Record n (1-based, in file order) is named "r<n>" so the table shows where
// each one went.
QByteArrayList resultLines(const QList<int> &levels)
{
    QByteArrayList lines;
    for (int n = 1; n <= levels.size(); ++n)
        lines << ResultFile::formatLine(std::int16_t(levels[n - 1]), QStringLiteral("r%1").arg(n), When);
    return lines;
}

QByteArray resultFile(const QList<int> &levels)
{
    return resultLines(levels).join();
}

RankingBuilder rankBytes(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    RankingBuilder builder;
    builder.addAll(buffer);
    return builder;
}

// Names of the entries as the ranking window lists them.
QStringList listedNames(const ResultTable &table)
{
    QStringList names;
    for (const QString &line : rankingListLines(table, false))
        names << line.section(u'\t', 1, 1);
    return names;
}

// Names of the entries as the ranking window copies them, blanks trimmed.
QStringList copiedNames(const ResultTable &table)
{
    QStringList names;
    const QStringList lines = rankingClipboardText(table, false).split(QStringLiteral("\r\n"));
    for (const QString &line : lines.mid(0, lines.size() - 1))
        names << line.section(u'\t', 1, 1).trimmed();
    return names;
}
}

void TestRanking::tableKeepsThirtyBestInExchangeOrder_data()
{
    QTest::addColumn<QList<int>>("levels");
    QTest::addColumn<QList<int>>("listed"); // record numbers in file order

    QTest::newRow("one record") << QList<int>{4} << QList<int>{1};
    QTest::newRow("higher later") << QList<int>{3, 7} << QList<int>{2, 1};
    QTest::newRow("two equal") << QList<int>{5, 5} << QList<int>{2, 1};
    QTest::newRow("three equal") << QList<int>{5, 5, 5} << QList<int>{1, 3, 2};
    QTest::newRow("equal around a lower")
        << QList<int>{5, 5, 5, 5, 3, 5} << QList<int>{4, 1, 3, 2, 6, 5};
    QTest::newRow("level 0 stops the listing") << QList<int>{5, 0, 3} << QList<int>{1, 3};
    QTest::newRow("only level 0") << QList<int>{0} << QList<int>{};

    // Only a full table shows that the inner loop stops at entry 29: record 30
    // stays last, and it is the one a higher 31st record pushes out.
    const QList<int> ones(30, 1);
    const QList<int> fullOrder{15, 8, 16, 1, 17, 9, 18, 5, 19, 10, 20, 3, 21, 11, 22,
                               6, 23, 12, 24, 2, 25, 13, 26, 7, 27, 14, 28, 4, 29, 30};
    QTest::newRow("thirty equal") << ones << fullOrder;
    QTest::newRow("31st equal dropped") << (ones + QList<int>{1}) << fullOrder;
    QTest::newRow("31st higher at top, one level 1 leaves")
        << (ones + QList<int>{2}) << (QList<int>{31} + fullOrder.mid(1, 28) + QList<int>{15});

    // Beyond the thirtieth record the table is sorted through a cache of
    // orders. Sorting a sorted table still turns each tied block over by one
    // (its first entry moves to its end), all but the lowest block; an
    // entering record then goes before the first lower block, and every block
    // from there down gives its first entry to the next, the last to entry 30.
    QTest::newRow("tied records entering at the top")
        << (ones + QList<int>(5, 2))
        << (QList<int>{33, 32, 34, 31, 35} + fullOrder.mid(5, 24) + QList<int>{17});
    QList<int> tiedTopOverFalling(3, 100), thirdToTwentyNinth;
    for (int n = 4; n <= 29; ++n) {
        tiedTopOverFalling << 103 - n;
        thirdToTwentyNinth << n;
    }
    QTest::newRow("records staying last still turn the tied top over")
        << (tiedTopOverFalling + QList<int>{1, 2, 3, 4, 5, 6})
        << (QList<int>{2, 1, 3} + thirdToTwentyNinth + QList<int>{35});
    QTest::newRow("records tied with a middle block")
        << (QList<int>{5, 5, 5, 4, 4, 4} + QList<int>(24, 3) + QList<int>{4, 4, 4})
        << QList<int>{1, 3, 2, 4, 31, 6, 32, 5, 33, 13, 20, 10, 21, 14, 22, 7, 23, 15, 24, 11,
                      25, 16, 26, 9, 27, 17, 28, 12, 29, 19};
    QTest::newRow("negative levels below a full table")
        << (QList<int>(29, 1) + QList<int>{-3, -2}) << (fullOrder.mid(0, 29) + QList<int>{31});
}

void TestRanking::tableKeepsThirtyBestInExchangeOrder()
{
    QFETCH(QList<int>, levels);
    QFETCH(QList<int>, listed);

    const RankingBuilder builder = rankBytes(resultFile(levels));
    QCOMPARE(builder.recordCount(), qint64(levels.size()));
    QStringList expected;
    for (int n : listed)
        expected << QStringLiteral("r%1").arg(n);
    QCOMPARE(listedNames(builder.result()), expected);
    QCOMPARE(copiedNames(builder.result()), expected);
}

void TestRanking::listAndClipboardShowEntriesUpToFirstEmpty_data()
{
    QTest::addColumn<QList<int>>("levels");
    QTest::addColumn<QStringList>("entryNames");
    QTest::addColumn<bool>("romajiMode");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("clipboard");

    const QString d = QStringLiteral("2001/12/02 21:05");
    QTest::newRow("ten characters cut in clipboard only")
        << QList<int>{9} << QStringList{"abcdefghij"} << false
        << QStringList{"Level 9a\tabcdefghij\t" + d} << "Level 9a\tabcdefg\t\t" + d + "\r\n";
    QTest::newRow("seven characters no blank")
        << QList<int>{9} << QStringList{"abcdefg"} << false
        << QStringList{"Level 9a\tabcdefg\t" + d} << "Level 9a\tabcdefg\t\t" + d + "\r\n";
    QTest::newRow("stops at first empty entry") << QList<int>{12, 0, 11} << QStringList{"a", "b", "c"}
                                                << false << QStringList{"Level 12a\ta\t" + d}
                                                << "Level 12a\ta      \t\t" + d + "\r\n";
    QList<int> thirty;
    QStringList names, list, clipboard;
    for (int n = 1; n <= ResultTable::Size; ++n) {
        thirty << 41 - n;
        names << QStringLiteral("p%1").arg(n);
        list << QStringLiteral("Level %1r\tp%2\t").arg(41 - n).arg(n) + d;
        clipboard << QStringLiteral("Level %1r\t%2\t\t").arg(41 - n).arg(names.last().leftJustified(7)) + d;
    }
    QTest::newRow("all thirty of a full table") << thirty << names << true << list
                                                << clipboard.join(QStringLiteral("\r\n")) + "\r\n";
}

void TestRanking::listAndClipboardShowEntriesUpToFirstEmpty()
{
    QFETCH(QList<int>, levels);
    QFETCH(QStringList, entryNames);
    QFETCH(bool, romajiMode);
    QFETCH(QStringList, list);
    QFETCH(QString, clipboard);

    ResultTable table;
    for (int n = 1; n <= levels.size(); ++n)
        table[n] = ResultEntry{std::int16_t(levels[n - 1]), entryNames[n - 1], "2001/12/02 21:05"};
    QCOMPARE(rankingListLines(table, romajiMode), list);
    QCOMPARE(rankingClipboardText(table, romajiMode), clipboard);
}

void TestRanking::brokenLinesAreSkippedWithoutShiftingLaterRecords_data()
{
    QTest::addColumn<QByteArray>("broken");

    QTest::newRow("garbage text") << QByteArray("this is no record\r\n");
    QTest::newRow("five megabytes without line end")
        << QByteArray(5 << 20, 'x').replace(1000, 3, ",\"a").append("\r\n");
    QTest::newRow("binary bytes")
        << QByteArray("\x00\x01\x02\xff\xfe\x81\x22\x2c\x0d\x7f\x00\r\n", 13);
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n");
}

void TestRanking::brokenLinesAreSkippedWithoutShiftingLaterRecords()
{
    QFETCH(QByteArray, broken);

    // Equal levels end up in an order that depends on each record's position,
    // so a skipped line counted as a record would reorder them.
    const QList<int> levels{5, 5, 5, 5, 3, 5};
    QByteArrayList lines = resultLines(levels);
    lines.insert(2, broken);
    const RankingBuilder builder = rankBytes(lines.join());
    QCOMPARE(builder.recordCount(), qint64(levels.size()));
    const ResultTable table = builder.result();
    QCOMPARE(listedNames(table), (QStringList{"r4", "r1", "r3", "r2", "r6", "r5"}));
    QCOMPARE(table[1].DateTime, u"2001/12/02 21:05"_qs);
}

void TestRanking::lineEndsDoNotChangeTheRanking_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<bool>("lastLineEnded");

    QTest::newRow("CR LF") << QByteArray("\r\n") << true;
    QTest::newRow("LF") << QByteArray("\n") << true;
    QTest::newRow("CR LF, last line open") << QByteArray("\r\n") << false;
    QTest::newRow("LF, last line open") << QByteArray("\n") << false;
}

void TestRanking::lineEndsDoNotChangeTheRanking()
{
    QFETCH(QByteArray, lineEnd);
    QFETCH(bool, lastLineEnded);

    QByteArray bytes = resultFile({3, 9, 4, 12});
    bytes.replace("\r\n", lineEnd);
    if (!lastLineEnded)
        bytes.chop(lineEnd.size());
    const ResultTable table = rankBytes(bytes).result();
    QCOMPARE(listedNames(table), (QStringList{"r4", "r2", "r3", "r1"}));
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(table[n].DateTime, u"2001/12/02 21:05"_qs);
}

void TestRanking::fileBeyondSixteenBitCountStillRanks()
{
    constexpr int Count = 40000;
    constexpr int Best = Count - ResultTable::Size + 1;
    QByteArray bytes;
    // Read in many chunks; kanji names check that records cut at a chunk edge
    // still decode whole.
    for (int n = 1; n <= Count; ++n) {
        const int level = n >= Best ? 100 + (n - Best) : 1 + n % 50;
        bytes += ResultFile::formatLine(std::int16_t(level), u"山田%1"_qs.arg(n), When);
    }
    const RankingBuilder builder = rankBytes(bytes);
    QCOMPARE(builder.recordCount(), qint64(Count));
    const ResultTable table = builder.result();
    for (int n = 1; n <= ResultTable::Size; ++n) {
        QCOMPARE(int(table[n].Level), 100 + ResultTable::Size - n);
        QCOMPARE(table[n].Name, u"山田%1"_qs.arg(Count + 1 - n));
        QCOMPARE(table[n].DateTime, u"2001/12/02 21:05"_qs);
    }
}

QTEST_APPLESS_MAIN(TestRanking)
#include "tst_ranking.moc"
