// Judging keys against the prompt and raising the level.
#include "game/typingjudge.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(KeyVerdict)

namespace {

// Plays keys against a prompt the way the window does: CharPos moves on after
// an accepted key; returns how many prompts were completed and what reached
// the hidden text box.
struct Played
{
    int completed = 0;
    QString typed;
};

Played play(const QString &romaji, const QStringList &keys)
{
    Played result;
    int charPos = 1;
    for (const QString &key : keys) {
        const Judgement j = judgeKey(key, romaji, charPos);
        if (j.verdict == KeyVerdict::Advanced) {
            result.typed += j.key;
            ++charPos;
        } else if (j.verdict == KeyVerdict::Completed) {
            ++result.completed;
            result.typed.clear();
            charPos = 1;
        }
    }
    return result;
}

}

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

    void playsPrompt_data()
    {
        QTest::addColumn<QString>("romaji");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("completed");
        QTest::addColumn<QString>("typed");

        QTest::newRow("k a") << u"KA"_qs << QStringList{"k", "a"} << 1 << QString();
        QTest::newRow("K A") << u"KA"_qs << QStringList{"K", "A"} << 1 << QString();
        QTest::newRow("k A") << u"KA"_qs << QStringList{"k", "A"} << 1 << QString();
        QTest::newRow("x swallowed") << u"KA"_qs << QStringList{"x", "k", "x", "a"} << 1 << QString();
        QTest::newRow("half typed") << u"SHI"_qs << QStringList{"s", "h"} << 0 << u"SH"_qs;
        QTest::newRow("wrong order") << u"KA"_qs << QStringList{"a", "k"} << 0 << u"K"_qs;
        QTest::newRow("repeated letters") << u"OOF"_qs << QStringList{"o", "o", "o", "f"} << 1
                                          << QString();
        QTest::newRow("one letter, twice") << u"A"_qs << QStringList{"a", "A"} << 2 << QString();
        QTest::newRow("swallowed keys only") << u"KA"_qs << QStringList{"\b", "\r", " ", "1", "."}
                                             << 0 << QString();
    }

    void playsPrompt()
    {
        QFETCH(QString, romaji);
        QFETCH(QStringList, keys);
        QFETCH(int, completed);
        QFETCH(QString, typed);
        const Played result = play(romaji, keys);
        QCOMPARE(result.completed, completed);
        QCOMPARE(result.typed, typed);
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

    void levelAfterCompletions_data()
    {
        QTest::addColumn<int>("completions");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("many") << 300;
    }

    void levelAfterCompletions()
    {
        QFETCH(int, completions);
        QStringList keys;
        for (int n = 0; n < completions; ++n)
            keys << "k" << "x" << "a";
        std::int16_t level = 1;
        int charPos = 1;
        for (const QString &key : keys) {
            const Judgement j = judgeKey(key, u"KA"_qs, charPos);
            if (j.verdict == KeyVerdict::Advanced) {
                ++charPos;
            } else if (j.verdict == KeyVerdict::Completed) {
                charPos = 1;
                level = raisedLevel(level);
            }
        }
        QCOMPARE(int(level), completions + 1);
    }
};

QTEST_APPLESS_MAIN(TestTypingJudge)
#include "tst_typingjudge.moc"
