#include "records/rating.h"

#include <QtTest>

class TestRating : public QObject
{
    Q_OBJECT

private slots:
    void bandEdgesRateInclusively_data();
    void bandEdgesRateInclusively();
    void levelBelowOneKeepsPreviousWord_data();
    void levelBelowOneKeepsPreviousWord();
};

void TestRating::bandEdgesRateInclusively_data()
{
    QTest::addColumn<bool>("romajiMode");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("word");

    const QString beginner = u"初級者"_qs;
    const QString intermediate = u"中級者"_qs;
    const QString advanced = u"上級者"_qs;
    const QString expert = u"達人"_qs;
    const QString superhuman = u"超人"_qs;

    struct Row
    {
        int level;
        QString word;
    };
    const QList<Row> letters{
        {1, beginner},      {15, beginner},  {16, intermediate}, {24, intermediate},
        {25, advanced},     {30, advanced},  {31, expert},       {35, expert},
        {36, superhuman},   {500, superhuman}, {32767, superhuman},
    };
    const QList<Row> kana{
        {1, beginner},    {20, beginner}, {21, intermediate}, {29, intermediate},
        {30, advanced},   {35, advanced}, {36, expert},       {40, expert},
        {41, superhuman}, {500, superhuman}, {32767, superhuman},
    };
    for (const Row &row : letters)
        QTest::addRow("letters %d", row.level) << false << row.level << row.word;
    for (const Row &row : kana)
        QTest::addRow("kana %d", row.level) << true << row.level << row.word;
}

void TestRating::bandEdgesRateInclusively()
{
    QFETCH(bool, romajiMode);
    QFETCH(int, level);
    QFETCH(QString, word);
    // A previous word that no band yields, so a kept word cannot pass.
    QCOMPARE(RatePlayer(std::int16_t(level), romajiMode, QStringLiteral("previous")), word);
}

void TestRating::levelBelowOneKeepsPreviousWord_data()
{
    QTest::addColumn<bool>("romajiMode");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("previous");

    QTest::newRow("letters 0 after a game") << false << 0 << u"達人"_qs;
    QTest::newRow("letters -5 after a game") << false << -5 << u"中級者"_qs;
    QTest::newRow("kana 0 after a game") << true << 0 << u"超人"_qs;
    QTest::newRow("kana -5 after a game") << true << -5 << u"初級者"_qs;
    QTest::newRow("first showing stays empty") << false << 0 << QString();
    QTest::newRow("lowest level") << true << -32768 << u"上級者"_qs;
}

void TestRating::levelBelowOneKeepsPreviousWord()
{
    QFETCH(bool, romajiMode);
    QFETCH(int, level);
    QFETCH(QString, previous);
    QCOMPARE(RatePlayer(std::int16_t(level), romajiMode, previous), previous);
}

QTEST_APPLESS_MAIN(TestRating)
#include "tst_rating.moc"
