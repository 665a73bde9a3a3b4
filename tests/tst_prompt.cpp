// Drawing prompts: which entries qualify, both modes, and repeatable draws.
#include "game/prompt.h"
#include "game/romajitable.h"

#include <QSet>
#include <QTest>

namespace {

RomajiTable table(const QString &text)
{
    RomajiTable::Error error = RomajiTable::Error::None;
    RomajiTable t = RomajiTable::parse(text, &error);
    if (error != RomajiTable::Error::None)
        qFatal("test table refused: %s", qPrintable(RomajiTable::describe(error)));
    return t;
}

const QString Mixed = u"ｱ\r\nｶ\r\nｼ\r\nﾝ\r\nｷｮｳ\r\nﾊﾞ\r\n@\r\nA\r\nKA\r\nSHI\r\nN\r\nKYOU\r\nBA\r\n@\r\n"_qs;

}

class TestPrompt : public QObject
{
    Q_OBJECT

private slots:
    void acceptsOnlyDrawableRomaji_data()
    {
        QTest::addColumn<QString>("romaji");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("vowel A") << u"A"_qs << true;
        QTest::newRow("vowel O") << u"O"_qs << true;
        QTest::newRow("two letters") << u"KA"_qs << true;
        QTest::newRow("three letters") << u"SHI"_qs << true;
        QTest::newRow("consonant alone") << u"N"_qs << false;
        QTest::newRow("four letters") << u"KYOU"_qs << false;
        QTest::newRow("closing field") << u"@"_qs << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("lower-case vowel") << u"a"_qs << false;
        QTest::newRow("full-width vowel") << u"Ａ"_qs << false;
        QTest::newRow("two lower-case letters") << u"ka"_qs << false;
        QTest::newRow("mixed case") << u"Shi"_qs << false;
        QTest::newRow("letter and digit") << u"K1"_qs << false;
        QTest::newRow("full-width capitals") << u"ＫＡ"_qs << false;
    }

    void acceptsOnlyDrawableRomaji()
    {
        QFETCH(QString, romaji);
        QFETCH(bool, accepted);
        QCOMPARE(RomajiTable::isAccepted(romaji), accepted);
    }

    void onlyAcceptableEntryIsAlwaysDrawn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("among refused ones")
            << u"ﾝ\r\nｶ\r\nｷｮｳ\r\n\r\nｱ\r\n@\r\nN\r\nKA\r\nKYOU\r\nK\r\na\r\n@\r\n"_qs;
        QTest::newRow("last before the closing field")
            << u"ﾝ\r\nﾝ\r\nｶ\r\n@\r\nN\r\nN\r\nKA\r\n\r\n"_qs;
        QTest::newRow("first of a long section")
            << u"ｶ\r\n@\r\nKA\r\n"_qs + u"N\r\n"_qs.repeated(150) + u"@\r\n"_qs;
        QTest::newRow("beside its lower-case twin")
            << u"ｶ\r\nｶ\r\nｼ\r\n@\r\nka\r\nKA\r\nsHI\r\n@\r\n"_qs;
    }

    void onlyAcceptableEntryIsAlwaysDrawn()
    {
        QFETCH(QString, text);
        const RomajiTable t = table(text);
        for (std::uint64_t seed = 0; seed < 200; ++seed) {
            RandomSource random(seed);
            const Prompt prompt = NextPrompt(t, true, random);
            QCOMPARE(prompt.romaji, u"KA"_qs);
            QCOMPARE(prompt.kana, u"か"_qs);
        }
    }

    void lettersModeDrawsThreeCapitals()
    {
        const RomajiTable t = table(Mixed);
        QSet<QChar> letters;
        for (std::uint64_t seed = 0; seed < 300; ++seed) {
            RandomSource random(seed);
            const Prompt prompt = NextPrompt(t, false, random);
            QCOMPARE(prompt.romaji.size(), 3);
            QVERIFY(prompt.kana.isEmpty());
            for (QChar c : prompt.romaji) {
                QVERIFY2(c >= u'A' && c <= u'Z', qPrintable(prompt.romaji));
                letters.insert(c);
            }
        }
        QVERIFY(letters.contains(u'A'));
        QVERIFY(letters.contains(u'Z'));
        QCOMPARE(letters.size(), 26);
    }

    void seededDrawsAreRepeatable_data()
    {
        QTest::addColumn<bool>("romajiMode");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("kana mode")
            << true
            << QStringList{u"SHI し"_qs, u"SHI し"_qs, u"KA か"_qs, u"A あ"_qs,
                           u"KA か"_qs, u"A あ"_qs, u"A あ"_qs, u"SHI し"_qs};
        QTest::newRow("letters mode")
            << false << QStringList{u"JKR "_qs, u"OOF "_qs, u"ARM "_qs, u"FAA "_qs, u"KQX "_qs};
    }

    void seededDrawsAreRepeatable()
    {
        QFETCH(bool, romajiMode);
        QFETCH(QStringList, expected);
        const RomajiTable t = table(Mixed);
        RandomSource random(12345);
        QStringList drawn;
        for (qsizetype k = 0; k < expected.size(); ++k) {
            const Prompt prompt = NextPrompt(t, romajiMode, random);
            drawn << prompt.romaji + u' ' + prompt.kana;
        }
        QCOMPARE(drawn, expected);
    }

    // 10,000 seeded draws: the weak key's share near its weight's, and every
    // prompt still drawn. Letters: each of the three letters on its own; kana:
    // an entry weighs what its heaviest letter does.
    void weakKeysAreDrawnMoreOften_data()
    {
        QTest::addColumn<bool>("romajiMode");
        QTest::addColumn<QString>("weights"); // letter=weight
        QTest::addColumn<QString>("favoured");
        QTest::addColumn<double>("share"); // of letters, or of prompts
        QTest::addColumn<int>("different"); // prompts or letters ever drawn
        QTest::addColumn<bool>("kanaInput");
        QTest::newRow("letters: Q weighs 10") << false << "Q=10" << "Q" << 10.0 / 35 << 26 << false;
        QTest::newRow("letters: two weak keys") << false << "Q=10 Z=5.5" << "Z" << 5.5 / 40.5 << 26 << false;
        QTest::newRow("kana: KA by its K") << true << "K=10" << "KA" << 10.0 / 13 << 4 << false;
        QTest::newRow("kana: SHI by its heaviest letter") << true << "S=2 H=4" << "SHI" << 4.0 / 7 << 4 << false;
        QTest::newRow("kana: a weight for no drawable entry") << true << "N=10" << "A" << 1.0 / 4 << 4 << false;
        QTest::newRow("kana input: ば by its mark's key") << true << "゛=10" << "BA" << 10.0 / 13 << 4 << true;
        QTest::newRow("kana input: a letter's weight counts for nothing") << true << "K=10" << "KA" << 1.0 / 4 << 4
                                                                         << true;
    }
    void weakKeysAreDrawnMoreOften()
    {
        QFETCH(bool, romajiMode);
        QFETCH(QString, weights);
        QFETCH(QString, favoured);
        QFETCH(double, share);
        QFETCH(int, different);
        QFETCH(bool, kanaInput);
        KeyWeights w;
        for (const QString &item : weights.split(u' '))
            w.insert(item[0], item.mid(2).toDouble());
        const RomajiTable t = table(Mixed);
        RandomSource random(2024);
        constexpr int Draws = 10000;
        int hits = 0;
        int units = 0;
        QSet<QString> seen;
        for (int n = 0; n < Draws; ++n) {
            const Prompt prompt = NextPrompt(t, romajiMode, random, w, kanaInput);
            if (romajiMode) {
                hits += prompt.romaji == favoured;
                ++units;
                seen.insert(prompt.romaji);
            } else {
                for (QChar c : prompt.romaji) {
                    hits += c == favoured[0];
                    ++units;
                    seen.insert(c);
                }
            }
        }
        const double drawn = double(hits) / units;
        QVERIFY2(qAbs(drawn - share) < 0.02, qPrintable(QStringLiteral("%1 against %2").arg(drawn).arg(share)));
        QCOMPARE(seen.size(), different);
    }

    // A kana with no key cannot be typed on the kana keys; a list with no
    // word that can is drawn as ever.
    void kanaInputDrawsWordsWithKeys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("drawn");
        QTest::newRow("a letter for kana") << u"ｶ\r\nX\r\n@\r\nKA\r\nKI\r\n@\r\n"_qs << "KA";
        QTest::newRow("an empty kana slot") << u"\r\nｼ\r\n@\r\nKA\r\nSHI\r\n@\r\n"_qs << "SHI";
        QTest::newRow("none with keys") << u"X\r\n@\r\nKI\r\n@\r\n"_qs << "KI";
    }
    void kanaInputDrawsWordsWithKeys()
    {
        QFETCH(QString, text);
        QFETCH(QString, drawn);
        const RomajiTable t = table(text);
        for (std::uint64_t seed = 0; seed < 100; ++seed) {
            RandomSource random(seed);
            QCOMPARE(NextPrompt(t, true, random, {}, true).romaji, drawn);
        }
    }

    // 10,000 seeded draws with a lesson's letters: nothing else is ever
    // drawn, everything of them is, and the favoured one about as often as it
    // should be. Kana rows draw from the shipped word list.
    void lessonDrawsOnlyItsLetters_data()
    {
        QTest::addColumn<bool>("romajiMode");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QString>("weights"); // letter=weight
        QTest::addColumn<QString>("drawn");   // every letter or entry drawn
        QTest::addColumn<QString>("favoured");
        QTest::addColumn<double>("share");
        QTest::newRow("letters: the home row") << false << "FJDKSLA" << "" << "A D F J K L S" << "F" << 1.0 / 7;
        QTest::newRow("letters: with the weak keys' weights")
            << false << "FJDKSLAQ" << "Q=10 Z=10" << "A D F J K L Q S" << "Q" << 10.0 / 17;
        QTest::newRow("kana: entries of the home row")
            << true << "FJDKSLA" << "" << "A AKA ASA DA JA KA SA" << "A" << 1.0 / 7;
        QTest::newRow("kana: with the weak keys' weights")
            << true << "FJDKSLA" << "S=10" << "A AKA ASA DA JA KA SA" << "SA" << 10.0 / 25;
        QTest::newRow("kana keys: entries of the home row")
            << true << "はましのとりちれ" << "" << "CHI HA MA NO RE RI SHI TO" << "HA" << 1.0 / 8;
        QTest::newRow("kana keys: a new key brings the entries it unlocks")
            << true << "はましのとりちれ゛" << ""
            << "BA CHI DO HA JI MA NO RE RI SHI TO" << "HA" << 1.0 / 12;
    }
    void lessonDrawsOnlyItsLetters()
    {
        QFETCH(bool, romajiMode);
        QFETCH(QString, letters);
        QFETCH(QString, weights);
        QFETCH(QString, drawn);
        QFETCH(QString, favoured);
        QFETCH(double, share);
        KeyWeights w;
        for (const QString &item : weights.split(u' ', Qt::SkipEmptyParts))
            w.insert(item[0], item.mid(2).toDouble());
        RomajiTable::Loaded shipped = RomajiTable::load(QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"),
                                                        QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"));
        QVERIFY(shipped.error.isEmpty());
        RandomSource random(2027);
        int hits = 0;
        int units = 0;
        QSet<QString> seen;
        // Enough for every entry to come and the share to settle; a lesson
        // of the kana keys works out each entry's keys at every draw, which
        // under the sanitizers took three minutes for 10,000 draws a row.
        for (int n = 0; n < 3000; ++n) {
            // Kana for a lesson of the kana keys.
            const bool kanaKeys = letters[0] > u'Z';
            const Prompt prompt = NextPrompt(shipped.table, romajiMode, random, w, kanaKeys, {letters, false, kanaKeys});
            const QStringList parts = romajiMode ? QStringList{prompt.romaji} : prompt.romaji.split(QString(), Qt::SkipEmptyParts);
            for (const QString &part : parts) {
                hits += part == favoured;
                ++units;
                seen.insert(part);
            }
        }
        QStringList all(seen.cbegin(), seen.cend());
        all.sort();
        QCOMPARE(all.join(u' '), drawn);
        const double got = double(hits) / units;
        QVERIFY2(qAbs(got - share) < 0.02, qPrintable(QStringLiteral("%1 against %2").arg(got).arg(share)));
    }

    void everyIndexCanBeDrawn()
    {
        // Filled by hand so that even slot RomaCount holds a drawable entry.
        RomajiTable t;
        const QStringList kana{u"ｱ"_qs, u"ｶ"_qs, u"ｼ"_qs, u"ﾊﾞ"_qs, u"ﾋﾟ"_qs};
        const QStringList romaji{u"A"_qs, u"KA"_qs, u"SHI"_qs, u"BA"_qs, u"PI"_qs};
        t.RomaCount = int(romaji.size());
        for (int i = 1; i <= t.RomaCount; ++i) {
            t.KanaList[i] = kana[i - 1];
            t.RomaList[i] = romaji[i - 1];
        }
        QHash<QString, QString> drawn;
        for (std::uint64_t seed = 0; seed < 500; ++seed) {
            RandomSource random(seed);
            const Prompt prompt = NextPrompt(t, true, random);
            QVERIFY2(romaji.contains(prompt.romaji), qPrintable(prompt.romaji));
            drawn.insert(prompt.romaji, prompt.kana);
        }
        QCOMPARE(drawn.size(), romaji.size());
        QCOMPARE(drawn.value(u"PI"_qs), u"ぴ"_qs);
        QCOMPARE(drawn.value(u"A"_qs), u"あ"_qs);
    }

    void emptyKanaSlotDrawsEmptyCaption()
    {
        const RomajiTable t = table(u"\r\nﾝ\r\n@\r\nKA\r\nN\r\n@\r\n"_qs);
        RandomSource random(7);
        const Prompt prompt = NextPrompt(t, true, random);
        QCOMPARE(prompt.romaji, u"KA"_qs);
        QVERIFY(prompt.kana.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestPrompt)
#include "tst_prompt.moc"
