// Loading the word list: sections, closing field, capacity and refusals.
#include "game/kana.h"
#include "game/romajitable.h"
#include "platform/cp932.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(RomajiTable::Error)

namespace {

QString lines(const QStringList &fields)
{
    return fields.join(u"\r\n"_qs) + u"\r\n"_qs;
}

// Slots 0 to 170, the given ones from slot 1 on, the rest empty.
QStringList tableSlots(const QStringList &from1)
{
    QStringList all(RomajiTable::LastSlot + 1);
    for (int i = 0; i < from1.size(); ++i)
        all[i + 1] = from1[i];
    return all;
}

QStringList repeated(const QString &field, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << field;
    return out;
}

}

class TestRomajiTable : public QObject
{
    Q_OBJECT

private slots:
    void loads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("kana");
        QTest::addColumn<QStringList>("romaji");
        QTest::addColumn<int>("romaCount");

        QTest::newRow("example layout")
            << lines({u"ｱ"_qs, u"ｶ"_qs, u"@"_qs, u"A"_qs, u"KA"_qs, u"@"_qs})
            << QStringList{u"ｱ"_qs, u"ｶ"_qs, u"@"_qs} << QStringList{u"A"_qs, u"KA"_qs, u"@"_qs} << 3;
        QTest::newRow("empty line closes romaji, rest ignored")
            << lines({u"ｱ"_qs, u"ｶ"_qs, u"@"_qs, u"A"_qs, u"KA"_qs, u""_qs, u"SHI"_qs, u"@"_qs})
            << QStringList{u"ｱ"_qs, u"ｶ"_qs, u"@"_qs} << QStringList{u"A"_qs, u"KA"_qs, u""_qs} << 3;
        QTest::newRow("empty line inside romaji ends it")
            << lines({u"ｱ"_qs, u"ｶ"_qs, u"ｼ"_qs, u"@"_qs, u"A"_qs, u""_qs, u"KA"_qs, u"SHI"_qs, u"@"_qs})
            << QStringList{u"ｱ"_qs, u"ｶ"_qs, u"ｼ"_qs, u"@"_qs} << QStringList{u"A"_qs, u""_qs} << 2;
        QTest::newRow("empty kana line stays paired")
            << lines({u"ｱ"_qs, u""_qs, u"ｶ"_qs, u"@"_qs, u"A"_qs, u"I"_qs, u"KA"_qs, u"@"_qs})
            << QStringList{u"ｱ"_qs, u""_qs, u"ｶ"_qs, u"@"_qs}
            << QStringList{u"A"_qs, u"I"_qs, u"KA"_qs, u"@"_qs} << 4;
        QTest::newRow("blanks trimmed, also around separators")
            << lines({u"  ｱ "_qs, u"\tｶ\t"_qs, u"  @  "_qs, u" A"_qs, u"KA  "_qs, u" \t@ "_qs})
            << QStringList{u"ｱ"_qs, u"ｶ"_qs, u"@"_qs} << QStringList{u"A"_qs, u"KA"_qs, u"@"_qs} << 3;
        QTest::newRow("blank-only line closes romaji")
            << lines({u"ｱ"_qs, u"@"_qs, u"A"_qs, u"   "_qs, u"KA"_qs})
            << QStringList{u"ｱ"_qs, u"@"_qs} << QStringList{u"A"_qs, u""_qs} << 2;
        QTest::newRow("comma shifts later kana")
            << lines({u"ｱ,ｲ"_qs, u"ｶ"_qs, u"@"_qs, u"A"_qs, u"KA"_qs, u"@"_qs})
            << QStringList{u"ｱ"_qs, u"ｲ"_qs, u"ｶ"_qs, u"@"_qs}
            << QStringList{u"A"_qs, u"KA"_qs, u"@"_qs} << 3;
        QTest::newRow("comma shifts later romaji")
            << lines({u"ｱ"_qs, u"ｶ"_qs, u"@"_qs, u"A,I"_qs, u"KA"_qs, u"@"_qs})
            << QStringList{u"ｱ"_qs, u"ｶ"_qs, u"@"_qs}
            << QStringList{u"A"_qs, u"I"_qs, u"KA"_qs, u"@"_qs} << 4;
        QTest::newRow("quoted comma stays in the field")
            << lines({u"\"ｱ,ｲ\""_qs, u"@"_qs, u"AI"_qs, u"@"_qs})
            << QStringList{u"ｱ,ｲ"_qs, u"@"_qs} << QStringList{u"AI"_qs, u"@"_qs} << 2;
        QTest::newRow("first field is the separator")
            << lines({u"@"_qs, u"A"_qs, u"KA"_qs, u"@"_qs})
            << QStringList{u"@"_qs} << QStringList{u"A"_qs, u"KA"_qs, u"@"_qs} << 3;
        QTest::newRow("romaji longer than kana")
            << lines({u"ｱ"_qs, u"@"_qs, u"A"_qs, u"KA"_qs, u"SHI"_qs, u"@"_qs})
            << QStringList{u"ｱ"_qs, u"@"_qs} << QStringList{u"A"_qs, u"KA"_qs, u"SHI"_qs, u"@"_qs}
            << 4;
        QTest::newRow("closing field without line end")
            << u"ｱ\r\n@\r\nA\r\n@"_qs << QStringList{u"ｱ"_qs, u"@"_qs} << QStringList{u"A"_qs, u"@"_qs}
            << 2;
        QTest::newRow("169 entries each")
            << lines(repeated(u"ｶ"_qs, 169) + QStringList{u"@"_qs} + repeated(u"KA"_qs, 169)
                     + QStringList{u"@"_qs})
            << repeated(u"ｶ"_qs, 169) + QStringList{u"@"_qs}
            << repeated(u"KA"_qs, 169) + QStringList{u"@"_qs} << 170;
    }

    void loads()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, kana);
        QFETCH(QStringList, romaji);
        QFETCH(int, romaCount);
        RomajiTable::Error error = RomajiTable::Error::NothingToDraw;
        const RomajiTable table = RomajiTable::parse(text, &error);
        QCOMPARE(error, RomajiTable::Error::None);
        QCOMPARE(table.KanaList, tableSlots(kana));
        QCOMPARE(table.RomaList, tableSlots(romaji));
        QCOMPARE(table.RomaCount, romaCount);
    }

    void refuses_data()
    {
        using E = RomajiTable::Error;
        QTest::addColumn<QString>("text");
        QTest::addColumn<E>("expected");

        QTest::newRow("empty file") << QString() << E::EndsBeforeSeparator;
        QTest::newRow("no separator") << lines({u"ｱ"_qs, u"ｶ"_qs}) << E::EndsBeforeSeparator;
        QTest::newRow("nothing after separator") << lines({u"ｱ"_qs, u"@"_qs}) << E::EndsBeforeClosingField;
        QTest::newRow("no closing field")
            << lines({u"ｱ"_qs, u"@"_qs, u"A"_qs}) << E::EndsBeforeClosingField;
        QTest::newRow("170 kana fields")
            << lines(repeated(u"ｶ"_qs, 170) + QStringList{u"@"_qs, u"KA"_qs, u"@"_qs})
            << E::TooManyKana;
        QTest::newRow("170 romaji fields")
            << lines(QStringList{u"ｶ"_qs, u"@"_qs} + repeated(u"KA"_qs, 170) + QStringList{u"@"_qs})
            << E::TooManyRomaji;
        QTest::newRow("only N and KYOU")
            << lines({u"ﾝ"_qs, u"ｷｮｳ"_qs, u"@"_qs, u"N"_qs, u"KYOU"_qs, u"@"_qs}) << E::NothingToDraw;
        QTest::newRow("lower-case vowel")
            << lines({u"ｱ"_qs, u"@"_qs, u"a"_qs, u"@"_qs}) << E::NothingToDraw;
        QTest::newRow("only lower-case or digits")
            << lines({u"ｶ"_qs, u"ｼ"_qs, u"ｶ"_qs, u"@"_qs, u"ka"_qs, u"shi"_qs, u"K1"_qs, u"@"_qs})
            << E::NothingToDraw;
        QTest::newRow("empty romaji section") << lines({u"ｱ"_qs, u"@"_qs, u""_qs}) << E::NothingToDraw;
    }

    void refuses()
    {
        QFETCH(QString, text);
        QFETCH(RomajiTable::Error, expected);
        RomajiTable::Error error = RomajiTable::Error::None;
        const RomajiTable table = RomajiTable::parse(text, &error);
        QCOMPARE(error, expected);
        QCOMPARE(table.RomaCount, 0);
        QCOMPARE(table.KanaList, tableSlots({}));
        QCOMPARE(table.RomaList, tableSlots({}));
        QVERIFY(!RomajiTable::describe(error).isEmpty());
    }

    void shippedTableIsPlayable()
    {
        QFile file(QStringLiteral(KOLRIN_DATA_DIR "/Romaji.tbl"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        RomajiTable::Error error = RomajiTable::Error::NothingToDraw;
        const RomajiTable table = RomajiTable::parse(Cp932::decode(file.readAll()), &error);
        QCOMPARE(error, RomajiTable::Error::None);
        QVERIFY(table.RomaCount >= 2 && table.RomaCount <= RomajiTable::LastSlot);
        QCOMPARE(table.RomaList[table.RomaCount], u"@"_qs);
        // The two sections are of one length: the separator sits beside the closing field.
        QCOMPARE(table.KanaList[table.RomaCount], u"@"_qs);

        for (int i = 1; i < table.RomaCount; ++i) {
            const QString &kana = table.KanaList[i];
            const QString &romaji = table.RomaList[i];
            const QString where = QString::number(i) + u' ' + kana + u' ' + romaji;
            QVERIFY2(RomajiTable::isAccepted(romaji), qPrintable(where));
            for (QChar c : romaji)
                QVERIFY2(c >= u'A' && c <= u'Z', qPrintable(where));
            QVERIFY2(!kana.isEmpty(), qPrintable(where));
            for (QChar c : kana)
                QVERIFY2(c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F, qPrintable(where));
            const QString shown = HanToZen(kana);
            QVERIFY2(shown.size() <= 2, qPrintable(where + u' ' + shown));
            QVERIFY2(!shown.contains(QChar(0x309B)) && !shown.contains(QChar(0x309C)),
                     qPrintable(where + u' ' + shown));
        }
    }
};

QTEST_APPLESS_MAIN(TestRomajiTable)
#include "tst_romajitable.moc"
