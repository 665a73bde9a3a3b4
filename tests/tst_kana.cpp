// Half-width katakana to full-width hiragana, with voiced and semi-voiced marks.
#include "game/kana.h"

#include <QSet>
#include <QTest>

namespace {
const QChar LoneVoiced(0x309B);     // ゛
const QChar LoneSemiVoiced(0x309C); // ゜
}

class TestKana : public QObject
{
    Q_OBJECT

private slots:
    void convertsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("plain kana") << u"ｱｲｳ"_qs << u"あいう"_qs;
        QTest::newRow("small ya") << u"ｷｬ"_qs << u"きゃ"_qs;
        QTest::newRow("small tsu") << u"ｯ"_qs << u"っ"_qs;
        QTest::newRow("small vowels and wo") << u"ｧｨｩｪｫｦ"_qs << u"ぁぃぅぇぉを"_qs;
        QTest::newRow("small yu yo") << u"ｭｮ"_qs << u"ゅょ"_qs;
        QTest::newRow("punctuation") << u"｡｢｣､･"_qs << u"。「」、・"_qs;
        QTest::newRow("ka voiced") << u"ｶﾞ"_qs << u"が"_qs;
        QTest::newRow("ha voiced") << u"ﾊﾞ"_qs << u"ば"_qs;
        QTest::newRow("ha semi-voiced") << u"ﾊﾟ"_qs << u"ぱ"_qs;
        QTest::newRow("ho semi-voiced") << u"ﾎﾟ"_qs << u"ぽ"_qs;
        QTest::newRow("u voiced gives katakana vu") << u"ｳﾞ"_qs << u"ヴ"_qs;
        QTest::newRow("voiced in a word") << u"ｷﾞｬｸﾃﾞｽ"_qs << u"ぎゃくです"_qs;
        QTest::newRow("prolonged mark kept half-width") << u"ｹﾞｰﾑ"_qs << u"げｰむ"_qs;
        QTest::newRow("ka semi-voiced not joined") << u"ｶﾟ"_qs << u"か"_qs + LoneSemiVoiced;
        QTest::newRow("leading semi-voiced mark") << u"ﾟｱ"_qs << LoneSemiVoiced + u"あ"_qs;
        QTest::newRow("leading voiced mark") << u"ﾞｶ"_qs << LoneVoiced + u"か"_qs;
        QTest::newRow("marks alone") << u"ﾞﾟ"_qs << QString(LoneVoiced) + LoneSemiVoiced;
        QTest::newRow("voiced then semi-voiced") << u"ｶﾞﾟ"_qs << u"が"_qs + LoneSemiVoiced;
        QTest::newRow("semi-voiced then voiced") << u"ﾊﾟﾞ"_qs << u"ぱ"_qs + LoneVoiced;
        QTest::newRow("two voiced marks") << u"ｶﾞﾞ"_qs << u"が"_qs + LoneVoiced;
        QTest::newRow("voiced after a") << u"ｱﾞ"_qs << u"あ"_qs + LoneVoiced;
        QTest::newRow("voiced after n") << u"ﾝﾞ"_qs << u"ん"_qs + LoneVoiced;
        QTest::newRow("voiced after full-width katakana") << u"カﾞ"_qs << u"カ"_qs + LoneVoiced;
        QTest::newRow("semi-voiced after full-width katakana") << u"ハﾟ"_qs << u"ハ"_qs + LoneSemiVoiced;
        QTest::newRow("voiced after vu") << u"ｳﾞﾞ"_qs << u"ヴ"_qs + LoneVoiced;
        QTest::newRow("marks in separate words")
            << u"ﾊﾞｶ ﾊﾟﾝ ｶﾞ"_qs << u"ばか ぱん が"_qs;
        QTest::newRow("already full-width hiragana joins") << u"かﾞはﾟ"_qs << u"がぱ"_qs;
        QTest::newRow("others unchanged in place")
            << u"A1漢カ\uFF70ｱz ,"_qs << u"A1漢カ\uFF70あz ,"_qs;
        QTest::newRow("full-width marks untouched") << u"か゛は゜"_qs << u"か゛は゜"_qs;
    }

    void convertsText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString before = text;
        QCOMPARE(HanToZen(text), expected);
        QCOMPARE(text, before);
    }

    void everyHalfWidthCharacterBecomesFullWidth()
    {
        QSet<QChar> seen;
        for (char16_t code = 0xFF61; code <= 0xFF9D; ++code) {
            const QString converted = HanToZen(QString(QChar(code)));
            if (code == 0xFF70) {
                QCOMPARE(converted, QString(QChar(code)));
                continue;
            }
            QCOMPARE(converted.size(), 1);
            const char16_t out = converted[0].unicode();
            const bool hiragana = out >= 0x3041 && out <= 0x3093;
            const bool punctuation = out == 0x3001 || out == 0x3002 || out == 0x300C
                || out == 0x300D || out == 0x30FB;
            QVERIFY2(hiragana || punctuation, qPrintable(QString::number(code, 16)));
            seen.insert(converted[0]);
        }
        // No two half-width characters share a full-width one.
        QCOMPARE(seen.size(), 60);
    }

    void kanaRowsKeepTheirOrder_data()
    {
        // The gojuon order is the same in both widths, so an off-by-one in the
        // width table shows up at the edges of each row.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a row") << u"ｱｲｳｴｵ"_qs << u"あいうえお"_qs;
        QTest::newRow("ka row") << u"ｶｷｸｹｺ"_qs << u"かきくけこ"_qs;
        QTest::newRow("sa row") << u"ｻｼｽｾｿ"_qs << u"さしすせそ"_qs;
        QTest::newRow("ta row") << u"ﾀﾁﾂﾃﾄ"_qs << u"たちつてと"_qs;
        QTest::newRow("na row") << u"ﾅﾆﾇﾈﾉ"_qs << u"なにぬねの"_qs;
        QTest::newRow("ha row") << u"ﾊﾋﾌﾍﾎ"_qs << u"はひふへほ"_qs;
        QTest::newRow("ma row") << u"ﾏﾐﾑﾒﾓ"_qs << u"まみむめも"_qs;
        QTest::newRow("ya wa rows") << u"ﾔﾕﾖﾜﾝ"_qs << u"やゆよわん"_qs;
        QTest::newRow("ra row") << u"ﾗﾘﾙﾚﾛ"_qs << u"らりるれろ"_qs;
        QTest::newRow("voiced rows") << u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"_qs
                                     << u"がぎぐげござじずぜぞだぢづでどばびぶべぼ"_qs;
        QTest::newRow("semi-voiced row") << u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"_qs << u"ぱぴぷぺぽ"_qs;
    }

    void kanaRowsKeepTheirOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(HanToZen(text), expected);
    }
};

QTEST_APPLESS_MAIN(TestKana)
#include "tst_kana.moc"
