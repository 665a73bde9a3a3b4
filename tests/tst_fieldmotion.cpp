// How long the field takes to climb from rest to the top at each level.
#include "game/fieldmotion.h"

#include <QTest>

class TestFieldMotion : public QObject
{
    Q_OBJECT

private slots:
    void ticksToTop_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("ticks");
        QTest::newRow("1") << 1 << 221;
        QTest::newRow("2") << 2 << 111;
        QTest::newRow("5") << 5 << 45;
        QTest::newRow("10") << 10 << 23;
        QTest::newRow("13 lands on 1 exactly") << 13 << 17;
        QTest::newRow("17 lands on 1 exactly") << 17 << 13;
        QTest::newRow("20") << 20 << 12;
        QTest::newRow("50") << 50 << 5;
        QTest::newRow("100") << 100 << 3;
        QTest::newRow("110 one short of two ticks") << 110 << 3;
        QTest::newRow("111") << 111 << 2;
        QTest::newRow("220") << 220 << 2;
        QTest::newRow("221") << 221 << 1;
        QTest::newRow("32767") << 32767 << 1;
    }

    void ticksToTop()
    {
        QFETCH(int, level);
        QFETCH(int, ticks);
        QCOMPARE(FieldMotion::ticksToTop(std::int16_t(level)), ticks);
    }

    void everyLevelEndsAfter221OverLevelRoundedUp()
    {
        for (int level = 1; level <= 32767; ++level) {
            const int expected = (221 + level - 1) / level;
            if (FieldMotion::ticksToTop(std::int16_t(level)) != expected)
                QFAIL(qPrintable(QStringLiteral("level %1").arg(level)));
        }
    }
};

QTEST_APPLESS_MAIN(TestFieldMotion)
#include "tst_fieldmotion.moc"
