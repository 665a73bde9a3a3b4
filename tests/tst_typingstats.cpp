// The status bar's figures: keys, misses, accuracy and speed of one game.
#include "game/typingstats.h"
#include "sessionscript.h"

#include <QTest>

namespace {
// "start@0 key*3 miss pause@1000 resume@5000 stop@9000": what the window tells
// the figures, with its clock in milliseconds.
TypingStats replay(const QString &script)
{
    TypingStats stats;
    forEachStep(script, [&stats](const QString &verb, qint64 at) {
        if (verb == u"start")
            stats.start(at);
        else if (verb == u"stop")
            stats.stop(at, 9);
        else if (verb == u"pause")
            stats.pause(at);
        else if (verb == u"resume")
            stats.resume(at);
        else if (verb == u"key")
            stats.accepted();
        else if (verb == u"miss")
            stats.missed();
        else
            qFatal("unknown step %s", qPrintable(verb));
    });
    return stats;
}
}

class TestTypingStats : public QObject
{
    Q_OBJECT

private slots:
    void countsAGame_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<qint64>("now");
        QTest::addColumn<QString>("status"); // at level 5 if a game runs

        QTest::newRow("before any game") << "key*3 miss" << qint64(5000)
                                         << "Level 5　打鍵 0　ミス 0　正確さ —　速さ — 打/分";
        QTest::newRow("just started") << "start@1000" << qint64(1000)
                                      << "Level 5　打鍵 0　ミス 0　正確さ —　速さ — 打/分";
        QTest::newRow("misses only") << "start@0 miss*2" << qint64(1000)
                                     << "Level 5　打鍵 0　ミス 2　正確さ 0.0%　速さ — 打/分";
        QTest::newRow("three keys in a second") << "start@0 key*3" << qint64(1000)
                                                << "Level 5　打鍵 3　ミス 0　正確さ 100.0%　速さ 180 打/分";
        QTest::newRow("the example") << "start@0 key*123 miss*4" << qint64(60000)
                                     << "Level 5　打鍵 123　ミス 4　正確さ 96.9%　速さ 123 打/分";
        QTest::newRow("a minute of pause left out")
            << "start@0 key*10 pause@30000 resume@90000" << qint64(90000)
            << "Level 5　打鍵 10　ミス 0　正確さ 100.0%　速さ 20 打/分";
        QTest::newRow("keys while paused not counted")
            << "start@0 key*10 pause@30000 key*50 miss*50" << qint64(200000)
            << "Level 5　打鍵 10　ミス 0　正確さ 100.0%　速さ 20 打/分";
        QTest::newRow("two pauses") << "start@0 key*20 pause@10000 resume@20000 pause@30000 resume@70000"
                                    << qint64(80000)
                                    << "Level 5　打鍵 20　ミス 0　正確さ 100.0%　速さ 40 打/分";
        QTest::newRow("a second pause call changes nothing")
            << "start@0 key*10 pause@30000 pause@60000 resume@90000" << qint64(90000)
            << "Level 5　打鍵 10　ミス 0　正確さ 100.0%　速さ 20 打/分";
        QTest::newRow("ended game keeps its figures and level")
            << "start@0 key*30 miss stop@60000 key*5 miss*5" << qint64(600000)
            << "Level 9　打鍵 30　ミス 1　正確さ 96.8%　速さ 30 打/分";
        QTest::newRow("ended while paused") << "start@0 key*30 pause@30000 stop@90000" << qint64(120000)
                                            << "Level 9　打鍵 30　ミス 0　正確さ 100.0%　速さ 60 打/分";
        QTest::newRow("next game starts afresh") << "start@0 key*30 stop@1000 start@2000 key" << qint64(3000)
                                                 << "Level 5　打鍵 1　ミス 0　正確さ 100.0%　速さ 60 打/分";
    }
    void countsAGame()
    {
        QFETCH(QString, script);
        QFETCH(qint64, now);
        QFETCH(QString, status);
        QCOMPARE(replay(script).statusText(5, now), status);
    }
};

QTEST_APPLESS_MAIN(TestTypingStats)
#include "tst_typingstats.moc"
