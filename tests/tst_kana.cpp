// Half-width katakana to full-width hiragana, with voiced and semi-voiced marks.
#include "game/kana.h"

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

    void everyHalfWidthCharacterBecomesFullWidth_data()
    {
        QTest::addColumn<QString>("after");
        QTest::newRow("alone") << QString();
        QTest::newRow("before a voiced mark") << u"ﾞ"_qs;
        QTest::newRow("before a semi-voiced mark") << u"ﾟ"_qs;
    }

    // Checked against Unicode's own width folding, which maps each
    // half-width character to its full-width katakana; composing the marks
    // after the shift to hiragana joins exactly the kana that have a voiced
    // or semi-voiced letter.
    void everyHalfWidthCharacterBecomesFullWidth()
    {
        QFETCH(QString, after);
        for (char16_t code = 0xFF61; code <= 0xFF9F; ++code) {
            if (code == 0xFF70)
                continue; // the prolonged mark stays half-width
            const QString text = QChar(code) + after;
            QString expected;
            for (QChar c : text) {
                const QChar wide = QString(c).normalized(QString::NormalizationForm_KC).at(0);
                const bool katakana = wide.unicode() >= 0x30A1 && wide.unicode() <= 0x30F3;
                expected += katakana ? QChar(wide.unicode() - 0x60) : wide;
            }
            expected = expected.normalized(QString::NormalizationForm_C)
                           .replace(QChar(0x3094), QChar(0x30F4)) // vu stays katakana
                           .replace(QChar(0x3099), LoneVoiced)
                           .replace(QChar(0x309A), LoneSemiVoiced);
            QVERIFY2(HanToZen(text) == expected, qPrintable(text + u" → "_qs + HanToZen(text)));
        }
    }
};

QTEST_APPLESS_MAIN(TestKana)
#include "tst_kana.moc"
