// Field-by-field reading of CP932 text, on decoded text and on the raw bytes.
#include "platform/cp932.h"
#include "platform/fieldreader.h"

#include <QTest>

namespace {

// Every field up to the end, as the loaders read them.
template <typename Reader, typename Decode>
QStringList readAll(Reader &reader, Decode decode)
{
    QStringList fields;
    while (!reader.atEnd() && fields.size() < 100)
        fields << decode(reader.next());
    return fields;
}

QStringList fieldsOfText(const QByteArray &bytes)
{
    const QString text = Cp932::decode(bytes);
    FieldReader reader(text);
    return readAll(reader, [](QStringView f) { return f.toString(); });
}

QStringList fieldsOfBytes(const QByteArray &bytes)
{
    ByteFieldReader reader(bytes);
    return readAll(reader, [](QByteArrayView f) { return Cp932::decode(f.toByteArray()); });
}

}

class TestFieldReader : public QObject
{
    Q_OBJECT

private slots:
    void readsFields_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");

        // ｱ ｲ ｳ, あ, ソ and 表 (both with a backslash as trail byte).
        QTest::newRow("one field a line")
            << QByteArray("\xb1\r\n\xb2\r\n@\r\n") << QStringList{u"ｱ"_qs, u"ｲ"_qs, u"@"_qs};
        QTest::newRow("blanks before a field skipped")
            << QByteArray("  \xb1\r\n\t \x82\xa0,  KA\r\n") << QStringList{u"ｱ"_qs, u"あ"_qs, u"KA"_qs};
        QTest::newRow("trail byte is a backslash")
            << QByteArray("\x83\x5c,\x95\x5c\r\n") << QStringList{u"ソ"_qs, u"表"_qs};
        QTest::newRow("quoted field keeps commas and blanks")
            << QByteArray("\"\xb1, \xb2\",\xb3\r\n") << QStringList{u"ｱ, ｲ"_qs, u"ｳ"_qs};
        QTest::newRow("quoted field of a record")
            << QByteArray("12,\"\x83\x5c\x83\x5c\",\"2024/01/02 03:04\"\r\n")
            << QStringList{u"12"_qs, u"ソソ"_qs, u"2024/01/02 03:04"_qs};
        QTest::newRow("text after closing quote skipped")
            << QByteArray("\"\xb1\"\xb2\xb3,\xb4\r\n") << QStringList{u"ｱ"_qs, u"ｴ"_qs};
        QTest::newRow("text after closing quote up to line end skipped")
            << QByteArray("\"\xb1\" x\r\n\xb2\r\n") << QStringList{u"ｱ"_qs, u"ｲ"_qs};
        QTest::newRow("unclosed quote stops at line end")
            << QByteArray("\"\xb1,\xb2\r\n\xb3\r\n") << QStringList{u"ｱ,ｲ"_qs, u"ｳ"_qs};
        QTest::newRow("empty quoted field") << QByteArray("\"\",\xb1\r\n") << QStringList{u""_qs, u"ｱ"_qs};
        QTest::newRow("empty line is one empty field")
            << QByteArray("\xb1\r\n\r\n\xb2\r\n") << QStringList{u"ｱ"_qs, u""_qs, u"ｲ"_qs};
        QTest::newRow("blank line is one empty field")
            << QByteArray("\xb1\r\n  \r\n\xb2\r\n") << QStringList{u"ｱ"_qs, u""_qs, u"ｲ"_qs};
        QTest::newRow("bare LF line ends")
            << QByteArray("\xb1\n\n\xb2\n") << QStringList{u"ｱ"_qs, u""_qs, u"ｲ"_qs};
        QTest::newRow("lone CR line ends")
            << QByteArray("\xb1\r\r\xb2\r") << QStringList{u"ｱ"_qs, u""_qs, u"ｲ"_qs};
        QTest::newRow("mixed line ends")
            << QByteArray("\xb1\r\xb2\n\xb3\r\n\xb4") << QStringList{u"ｱ"_qs, u"ｲ"_qs, u"ｳ"_qs, u"ｴ"_qs};
        QTest::newRow("comma at line end gives an empty field")
            << QByteArray("\xb1,\r\n\xb2\r\n") << QStringList{u"ｱ"_qs, u""_qs, u"ｲ"_qs};
        QTest::newRow("two commas give an empty field")
            << QByteArray("\xb1,,\xb2") << QStringList{u"ｱ"_qs, u""_qs, u"ｲ"_qs};
        QTest::newRow("no line end after the last field")
            << QByteArray("\xb1\r\n\xb2") << QStringList{u"ｱ"_qs, u"ｲ"_qs};
        QTest::newRow("empty input") << QByteArray() << QStringList{};
    }

    void readsFields()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        QCOMPARE(fieldsOfText(bytes), fields);
        QCOMPARE(fieldsOfBytes(bytes), fields);
    }

    void readingPastEndGivesEmptyField_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("fieldCount");
        QTest::newRow("empty input") << QByteArray() << 0;
        QTest::newRow("after last line end") << QByteArray("\xb1\r\n\xb2\r\n") << 2;
        QTest::newRow("after field without line end") << QByteArray("\xb1,\x82\xa0") << 2;
    }

    void readingPastEndGivesEmptyField()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, fieldCount);
        const QString text = Cp932::decode(bytes);
        FieldReader reader(text);
        ByteFieldReader byteReader(bytes);
        for (int n = 0; n < fieldCount; ++n) {
            QVERIFY(!reader.atEnd());
            QVERIFY(!reader.next().isEmpty());
            QVERIFY(!byteReader.next().isEmpty());
        }
        QVERIFY(reader.atEnd());
        QVERIFY(byteReader.atEnd());
        QVERIFY(!reader.readPastEnd());
        QVERIFY(!byteReader.readPastEnd());

        QVERIFY(reader.next().isEmpty());
        QVERIFY(byteReader.next().isEmpty());
        QVERIFY(reader.readPastEnd());
        QVERIFY(byteReader.readPastEnd());
    }

    void emptyLastLineIsStillAField()
    {
        // A trailing empty line is a field of its own, not the end.
        const QByteArray bytes("\xb1\r\n\r\n");
        ByteFieldReader reader(bytes);
        QCOMPARE(reader.next(), QByteArrayView("\xb1"));
        QVERIFY(!reader.atEnd());
        QVERIFY(reader.next().isEmpty());
        QVERIFY(reader.atEnd());
        QVERIFY(!reader.readPastEnd());
    }
};

QTEST_APPLESS_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
