// Kana input: which keys type a kana, and which kana a key press typed.
#include "game/kana.h"
#include "game/kanakeys.h"
#include "game/romajitable.h"

#include <QTest>

class TestKanaKeys : public QObject
{
    Q_OBJECT

private slots:
    void kanaTakeTheirKeys_data()
    {
        QTest::addColumn<QString>("kana");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("half"); // the field after all keys but the last
        QTest::newRow("plain") << u"か"_qs << u"か"_qs << u""_qs;
        QTest::newRow("voiced: base, then the mark") << u"が"_qs << u"か゛"_qs << u"か"_qs;
        QTest::newRow("semi-voiced") << u"ぱ"_qs << u"は゜"_qs << u"は"_qs;
        QTest::newRow("katakana vu") << u"ヴ"_qs << u"う゛"_qs << u"う"_qs;
        QTest::newRow("small kana on their own keys") << u"きゃ"_qs << u"きゃ"_qs << u"き"_qs;
        QTest::newRow("voiced before a small kana") << u"ぎょ"_qs << u"き゛ょ"_qs << u"ぎ"_qs;
        QTest::newRow("voiced last") << u"えび"_qs << u"えひ゛"_qs << u"えひ"_qs;
        QTest::newRow("small tsu, wo, long mark")
            << u"っをー"_qs << u"っをー"_qs << u"っを"_qs;
        QTest::newRow("signs") << u"「、。・」"_qs << u"「、。・」"_qs << u"「、。・"_qs;
        QTest::newRow("a kana without a key") << u"ゐ"_qs << QString() << QString();
        QTest::newRow("a letter") << u"かA"_qs << QString() << QString();
    }
    void kanaTakeTheirKeys()
    {
        QFETCH(QString, kana);
        QFETCH(QString, keys);
        QFETCH(QString, half);
        QCOMPARE(KanaKeys::strokesOf(kana), keys);
        if (!keys.isEmpty())
            QCOMPARE(KanaKeys::typedPart(kana, int(keys.size()) - 1), half);
        QCOMPARE(KanaKeys::typedPart(kana, int(keys.size())), KanaKeys::hiragana(keys.isEmpty() ? QString() : kana));
    }

    void everyShippedWordHasKeys()
    {
        RomajiTable::Loaded loaded = RomajiTable::load(QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"), QString());
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        const RomajiTable &table = loaded.table;
        int words = 0;
        for (int i = 1; i <= table.RomaCount; ++i) {
            if (!RomajiTable::isAccepted(table.RomaList[i]))
                continue;
            const QString kana = HanToZen(table.KanaList[i]);
            const QString keys = KanaKeys::strokesOf(kana);
            QVERIFY2(!keys.isEmpty(), qPrintable(kana));
            int strokes = 0;
            for (const KanaKeys::Unit &unit : KanaKeys::units(kana))
                strokes += unit.strokes;
            QCOMPARE(strokes, keys.size());
            ++words;
        }
        QVERIFY(words > 150);
    }

    // X11 key codes are the keys' places, whatever the layout makes of them.
    void keyPressTypesTheKanaOfItsKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("code");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("kana");
        QTest::newRow("Q on a US layout") << u"q"_qs << 24u << false << u"た"_qs;
        QTest::newRow("US [ is the voiced mark's key") << u"["_qs << 34u << false << u"゛"_qs;
        QTest::newRow("JIS @ likewise") << u"@"_qs << 34u << false << u"゛"_qs;
        QTest::newRow("US ] is the semi-voiced mark's") << u"]"_qs << 35u << false << u"゜"_qs;
        QTest::newRow("US quote is け") << u"'"_qs << 48u << false << u"け"_qs;
        QTest::newRow("JIS colon is け") << u":"_qs << 48u << false << u"け"_qs;
        QTest::newRow("US backslash is む") << u"\\"_qs << 51u << false << u"む"_qs;
        QTest::newRow("JIS ろ key") << u"\\"_qs << 97u << false << u"ろ"_qs;
        QTest::newRow("JIS yen key") << u"\u00a5"_qs << 132u << false << u"ー"_qs;
        QTest::newRow("Shift 3 on US") << u"#"_qs << 12u << true << u"ぁ"_qs;
        QTest::newRow("Shift 0 on JIS types nothing but を") << QString() << 19u << true << u"を"_qs;
        QTest::newRow("Shift Z") << u"Z"_qs << 52u << true << u"っ"_qs;
        QTest::newRow("Shift comma") << u"<"_qs << 59u << true << u"、"_qs;
        QTest::newRow("Shift on a key with one kana") << u"A"_qs << 38u << true << u"ち"_qs;
        QTest::newRow("no code: JIS letters") << u"t"_qs << 0u << false << u"か"_qs;
        QTest::newRow("no code: JIS @") << u"@"_qs << 0u << false << u"゛"_qs;
        QTest::newRow("no code: a shifted sign is Shift") << u"#"_qs << 0u << false << u"ぁ"_qs;
        QTest::newRow("kana lock: half-width") << u"ｶ"_qs << 20u << false << u"か"_qs;
        QTest::newRow("kana lock: half-width mark") << u"ﾞ"_qs << 0u << false << u"゛"_qs;
        QTest::newRow("kana lock: small a") << u"ｧ"_qs << 0u << true << u"ぁ"_qs;
        QTest::newRow("kana lock: long mark") << u"ｰ"_qs << 0u << false << u"ー"_qs;
        QTest::newRow("kana lock: full stop") << u"｡"_qs << 0u << true << u"。"_qs;
        QTest::newRow("katakana") << u"カ"_qs << 0u << false << u"か"_qs;
        QTest::newRow("a voiced kana at once is no key") << u"が"_qs << 0u << false << QString();
        QTest::newRow("Return") << u"\r"_qs << 36u << false << QString();
        QTest::newRow("space") << u" "_qs << 65u << false << QString();
        QTest::newRow("Backspace without a code") << u"\b"_qs << 0u << false << QString();
    }
    void keyPressTypesTheKanaOfItsKey()
    {
        QFETCH(QString, text);
        QFETCH(uint, code);
        QFETCH(bool, shift);
        QFETCH(QString, kana);
        const QChar key = KanaKeys::typedKey(text, code, shift);
        QCOMPARE(key.isNull() ? QString() : QString(key), kana);
    }
};

QTEST_APPLESS_MAIN(TestKanaKeys)
#include "tst_kanakeys.moc"
