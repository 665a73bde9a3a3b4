// Judging keys against the prompt and raising the level.
#include "game/typingjudge.h"
#include "game/romajispelling.h"
#include "game/romajitable.h"
#include "platform/cp932.h"

#include <QFile>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(KeyVerdict)

class TestTypingJudge : public QObject
{
    Q_OBJECT

private slots:
    void judgesOneKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("romaji");
        QTest::addColumn<int>("charPos");
        QTest::addColumn<KeyVerdict>("verdict");

        QTest::newRow("lower-case first letter") << u"k"_qs << u"KA"_qs << 1 << KeyVerdict::Advanced;
        QTest::newRow("capital first letter") << u"K"_qs << u"KA"_qs << 1 << KeyVerdict::Advanced;
        QTest::newRow("lower-case last letter") << u"a"_qs << u"KA"_qs << 2 << KeyVerdict::Completed;
        QTest::newRow("capital last letter") << u"A"_qs << u"KA"_qs << 2 << KeyVerdict::Completed;
        QTest::newRow("middle of three") << u"h"_qs << u"SHI"_qs << 2 << KeyVerdict::Advanced;
        QTest::newRow("one-letter prompt") << u"a"_qs << u"A"_qs << 1 << KeyVerdict::Completed;
        QTest::newRow("z folds too") << u"z"_qs << u"ZU"_qs << 1 << KeyVerdict::Advanced;
        QTest::newRow("wrong letter") << u"x"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("right letter, wrong place") << u"a"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("backspace") << u"\b"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("enter") << u"\r"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("space") << u" "_qs << u"KA"_qs << 2 << KeyVerdict::Rejected;
        QTest::newRow("digit") << u"1"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("punctuation") << u"-"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("at sign") << u"@"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        // Neighbours of the folded range must not fold.
        QTest::newRow("backquote before a") << u"`"_qs << u"@"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("brace after z") << u"{"_qs << u"["_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("no text") << QString() << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("two characters") << u"ka"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("two characters, one-letter prompt") << u"aa"_qs << u"A"_qs << 1
                                                           << KeyVerdict::Rejected;
        QTest::newRow("hiragana") << u"か"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("full-width letter") << u"ｋ"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("Cyrillic letter") << u"К"_qs << u"KA"_qs << 1 << KeyVerdict::Rejected;
        QTest::newRow("dotless i") << u"ı"_qs << u"SHI"_qs << 3 << KeyVerdict::Rejected;
    }

    void judgesOneKey()
    {
        QFETCH(QString, key);
        QFETCH(QString, romaji);
        QFETCH(int, charPos);
        QFETCH(KeyVerdict, verdict);
        const Judgement j = judgeKey(key, romaji, charPos);
        QCOMPARE(j.verdict, verdict);
        if (verdict != KeyVerdict::Rejected)
            QCOMPARE(j.key, romaji[charPos - 1]);
    }

    void levelRisesByOne_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("raised");
        QTest::newRow("first prompt") << 1 << 2;
        QTest::newRow("past the one-tick speed") << 221 << 222;
        QTest::newRow("just below the top") << 32766 << 32767;
        QTest::newRow("at the top") << 32767 << 32767;
    }

    void levelRisesByOne()
    {
        QFETCH(int, level);
        QFETCH(int, raised);
        QCOMPARE(int(raisedLevel(std::int16_t(level))), raised);
    }

    // Per key: '+' accepted, '=' completes the prompt, '-' swallowed; then the guide.
    void flexibleSpellingsJudgeKeyByKey_data()
    {
        QTest::addColumn<QString>("kana");
        QTest::addColumn<QString>("tableRomaji");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("outcomes");

        QTest::newRow("shi by SHI") << u"ｼ"_qs << u"SHI"_qs << u"shi"_qs << u"+SHI +SHI =SHI"_qs;
        QTest::newRow("shi by SI") << u"ｼ"_qs << u"SHI"_qs << u"si"_qs << u"+SHI =SI"_qs;
        QTest::newRow("shi by CI, wrong key between") << u"ｼ"_qs << u"SHI"_qs << u"cXi"_qs
                                                      << u"+CI -CI =CI"_qs;
        QTest::newRow("chi by TI") << u"ﾁ"_qs << u"CHI"_qs << u"TI"_qs << u"+TI =TI"_qs;
        QTest::newRow("tsu by TU") << u"ﾂ"_qs << u"TSU"_qs << u"tu"_qs << u"+TSU =TU"_qs;
        QTest::newRow("fu by HU") << u"ﾌ"_qs << u"FU"_qs << u"hu"_qs << u"+HU =HU"_qs;
        QTest::newRow("ji by ZI") << u"ｼﾞ"_qs << u"JI"_qs << u"zi"_qs << u"+ZI =ZI"_qs;
        QTest::newRow("di by DI") << u"ﾁﾞ"_qs << u"JI"_qs << u"di"_qs << u"+DI =DI"_qs;
        QTest::newRow("du by DU") << u"ﾂﾞ"_qs << u"ZU"_qs << u"du"_qs << u"+DU =DU"_qs;
        QTest::newRow("ku by QU") << u"ｸ"_qs << u"KU"_qs << u"qu"_qs << u"+QU =QU"_qs;
        QTest::newRow("wo: O alone swallowed") << u"ｦ"_qs << u"WO"_qs << u"owo"_qs << u"-WO +WO =WO"_qs;
        QTest::newRow("n before a vowel") << u"ﾝｱ"_qs << u"NNA"_qs << u"na'a"_qs << u"+NNA -NNA +N'A =N'A"_qs;
        QTest::newRow("n before Y") << u"ﾝﾔ"_qs << u"NNYA"_qs << u"ny"_qs << u"+NNYA -NNYA"_qs;
        QTest::newRow("n before a consonant") << u"ﾝｶ"_qs << u"NNKA"_qs << u"nka"_qs << u"+NNKA +NKA =NKA"_qs;
        QTest::newRow("n at the end by NN") << u"ﾝ"_qs << u"NN"_qs << u"nn"_qs << u"+NN =NN"_qs;
        QTest::newRow("n at the end by XN") << u"ﾝ"_qs << u"NN"_qs << u"xn"_qs << u"+XN =XN"_qs;
        QTest::newRow("n at the end by N'") << u"ｴﾝ"_qs << u"ENN"_qs << u"en'"_qs << u"+ENN +ENN =EN'"_qs;
        QTest::newRow("small tsu by doubling") << u"ｯｶ"_qs << u"KKA"_qs << u"cca"_qs << u"+CCA +CCA =CCA"_qs;
        QTest::newRow("small tsu by LTU") << u"ｯ"_qs << u"XTU"_qs << u"ltu"_qs << u"+LTU +LTU =LTU"_qs;
        QTest::newRow("small tsu by XTU") << u"ｯ"_qs << u"XTU"_qs << u"xtu"_qs << u"+XTU +XTU =XTU"_qs;
        QTest::newRow("small tsu never doubles a vowel") << u"ｯｱ"_qs << u"XTUA"_qs << u"a"_qs << u"-XTUA"_qs;
        QTest::newRow("small tsu never doubles N") << u"ｯﾅ"_qs << u"XTUNA"_qs << u"n"_qs << u"-XTUNA"_qs;
        QTest::newRow("sha by SYA") << u"ｼｬ"_qs << u"SHA"_qs << u"sya"_qs << u"+SHA +SYA =SYA"_qs;
        QTest::newRow("cha by TYA") << u"ﾁｬ"_qs << u"CHA"_qs << u"tya"_qs << u"+TYA +TYA =TYA"_qs;
        QTest::newRow("cha by CYA") << u"ﾁｬ"_qs << u"CHA"_qs << u"cya"_qs << u"+CHA +CYA =CYA"_qs;
        QTest::newRow("ja by ZYA") << u"ｼﾞｬ"_qs << u"JA"_qs << u"zya"_qs << u"+ZYA +ZYA =ZYA"_qs;
        QTest::newRow("ja by JYA") << u"ｼﾞｬ"_qs << u"JA"_qs << u"jya"_qs << u"+JA +JYA =JYA"_qs;
        QTest::newRow("wi by its small i alone") << u"ｳｨ"_qs << u"WI"_qs << u"uli"_qs << u"+UXI +ULI =ULI"_qs;
        QTest::newRow("kanji: table romaji only") << u"漢"_qs << u"KAN"_qs << u"ckan"_qs
                                                  << u"-KAN +KAN +KAN =KAN"_qs;
        QTest::newRow("four letters never offered") << u"ｯﾁ"_qs << u"TTI"_qs << u"ctti"_qs
                                                    << u"-TTI +TTI +TTI =TTI"_qs;
    }

    void flexibleSpellingsJudgeKeyByKey()
    {
        QFETCH(QString, kana);
        QFETCH(QString, tableRomaji);
        QFETCH(QString, keys);
        QFETCH(QString, outcomes);
        const QStringList spellings = RomajiSpelling::spellingsOf(kana, tableRomaji);
        QString typed;
        QStringList seen;
        for (QChar key : keys) {
            const RomajiSpelling::Judgement j = RomajiSpelling::judgeKey(QString(key), typed, spellings);
            const char mark = j.verdict == KeyVerdict::Completed ? '='
                            : j.verdict == KeyVerdict::Advanced  ? '+'
                                                                 : '-';
            seen << mark + j.guide;
            if (j.verdict != KeyVerdict::Rejected)
                typed += j.key;
        }
        QCOMPARE(seen.join(u' '), outcomes);
    }

    void flexibleSpellingsInOrder_data()
    {
        QTest::addColumn<QString>("kana");
        QTest::addColumn<QString>("tableRomaji");
        QTest::addColumn<QStringList>("spellings");
        QTest::newRow("table romaji first") << u"ｼ"_qs << u"SI"_qs << QStringList{"SI", "SHI", "CI"};
        QTest::newRow("table romaji no unit spells") << u"ｶ"_qs << u"GA"_qs << QStringList{"GA", "KA", "CA"};
        QTest::newRow("n at the end") << u"ｴﾝ"_qs << u"ENN"_qs << QStringList{"ENN", "EXN", "EN'"};
        QTest::newRow("two vowels") << u"ｱｲ"_qs << u"AI"_qs << QStringList{"AI", "AYI"};
        QTest::newRow("four units") << u"ｱｲｳｴ"_qs << u"AIUE"_qs << QStringList{"AIUE"};
        QTest::newRow("long mark") << u"ｶｰ"_qs << u"KAA"_qs << QStringList{"KAA"};
        QTest::newRow("lone voiced mark") << u"ﾞ"_qs << u"A"_qs << QStringList{"A"};
        QTest::newRow("empty kana") << QString() << u"KA"_qs << QStringList{"KA"};
    }

    void flexibleSpellingsInOrder()
    {
        QFETCH(QString, kana);
        QFETCH(QString, tableRomaji);
        QFETCH(QStringList, spellings);
        QCOMPARE(RomajiSpelling::spellingsOf(kana, tableRomaji), spellings);
    }

    void everyShippedEntrySpellsItsOwnRomaji()
    {
        QFile file(QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const RomajiTable table = RomajiTable::parse(Cp932::decode(file.readAll()), nullptr);
        QVERIFY(table.RomaCount > 1);
        for (int i = 1; i < table.RomaCount; ++i) {
            // Without a table romaji to fall back on, only the units can spell it.
            QVERIFY2(RomajiSpelling::spellingsOf(table.KanaList[i], QString()).contains(table.RomaList[i]),
                     qPrintable(table.KanaList[i] + u' ' + table.RomaList[i]));
        }
    }
};

QTEST_APPLESS_MAIN(TestTypingJudge)
#include "tst_typingjudge.moc"
