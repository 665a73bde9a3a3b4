// The class server against a real PostgreSQL the test starts, stops, freezes
// and kills: what the server refuses, what a player's role may not do, every
// game arriving once whatever happens on the way, the ranking as the window
// shows it, and the game never waiting for the server.
#include "pgserver.h"
#include "windowtestkit.h"

#include "records/classoutbox.h"
#include "records/classreader.h"
#include "records/classsender.h"
#include "records/classserver.h"
#include "records/frmclassbest.h"
#include "records/gamestore.h"
#include "shell/classserverdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTreeWidget>

namespace {
const QString ClassName = QStringLiteral("3-A");

GameRecord classGame(const QString &player, int level, const QString &endedAt = QStringLiteral("2026-12-07T10:00:30"))
{
    GameRecord game;
    game.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    game.player = player;
    game.startedAt = endedAt.left(17) + QStringLiteral("00");
    game.endedAt = endedAt;
    game.level = level;
    game.keys = 12;
    game.misses = 2;
    game.playedMs = 30000;
    game.keyStats.insert(QStringLiteral("A"), {8, 1, 4000});
    game.keyStats.insert(QStringLiteral("B"), {4, 1, 2500});
    return game;
}

QStringList rows(const QTreeWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        lines << cells.join(u'|');
    }
    return lines;
}
}

class TestClassServer : public QObject
{
    Q_OBJECT

    std::unique_ptr<PgServer> m_pg;

    ClassSettings settings(const QString &user = QStringLiteral("alice"),
                           const QString &className = ClassName) const
    {
        ClassSettings s;
        s.host = m_pg->socketDir();
        s.port = m_pg->port();
        s.database = m_pg->database();
        s.user = user;
        s.className = className;
        return s;
    }
    int serverCount(const QString &table = QStringLiteral("games"))
    {
        return m_pg->value(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
    }
    // Games added to a Kolrin.db through its store, as the game adds them.
    static void addGames(GameStore &store, const QList<GameRecord> &games)
    {
        QSignalSpy added(&store, &GameStore::added);
        for (const GameRecord &game : games)
            store.add(game, QDateTime::currentDateTime());
        QTRY_COMPARE_WITH_TIMEOUT(added.count(), games.size(), 10000);
    }
    static qint64 waitingIn(GameStore &store)
    {
        std::atomic<qint64> waiting = -2;
        store.run([&waiting](GameDatabase &db) { waiting = ClassOutbox(db).waitingCount(); });
        for (int i = 0; i < 2000 && waiting == -2; ++i)
            QTest::qWait(5);
        return waiting;
    }

private slots:
    void initTestCase()
    {
        useDesignFont();
        if (const QString missing = PgServer::missing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        m_pg = std::make_unique<PgServer>();
        QVERIFY2(m_pg->setUp(QStringLiteral(KOLRIN_SOURCE_DIR "/server/kolrin-class.sql")),
                 qPrintable(m_pg->error()));
        QVERIFY(m_pg->addRole(QStringLiteral("alice"), QStringLiteral("a1ice-pw"), QStringLiteral("kolrin_player")));
        QVERIFY(m_pg->addRole(QStringLiteral("bob"), QStringLiteral("b0b-pw"), QStringLiteral("kolrin_player")));
        QVERIFY(m_pg->addRole(QStringLiteral("carol"), QStringLiteral("car0l-pw"), QStringLiteral("kolrin_player")));
        QVERIFY(m_pg->addRole(QStringLiteral("teacher"), QStringLiteral("t3acher-pw"), QStringLiteral("kolrin_teacher")));
        // Where libpq finds the passwords, as it would in ~/.pgpass; carol's is
        // wrong and dave has no role.
        const QString passFile = m_pg->writePassFile({{u"alice"_qs, u"a1ice-pw"_qs}, {u"bob"_qs, u"b0b-pw"_qs},
                                                      {u"carol"_qs, u"wrong"_qs}, {u"teacher"_qs, u"t3acher-pw"_qs},
                                                      {u"dave"_qs, u"whatever"_qs}});
        qputenv("PGPASSFILE", QFile::encodeName(passFile));
    }

    void cleanupTestCase() { m_pg.reset(); }

    void init()
    {
        if (!m_pg->isRunning())
            QVERIFY2(m_pg->start(), qPrintable(m_pg->error()));
        m_pg->thaw();
        QVERIFY(m_pg->sql(QStringLiteral("TRUNCATE games, key_stats, kana_stats")));
    }

    void serverRefusesWhatItShouldNotTake_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("nameLength");
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("misses");
        QTest::addColumn<bool>("taken");
        QTest::newRow("level 1, name of 64") << 1 << 64 << 0 << 0 << true;
        QTest::newRow("level 32767") << 32767 << 5 << 3 << 0 << true;
        QTest::newRow("level 0") << 0 << 5 << 3 << 0 << false;
        QTest::newRow("level 32768") << 32768 << 5 << 3 << 0 << false;
        QTest::newRow("negative keys") << 5 << 5 << -1 << 0 << false;
        QTest::newRow("negative misses") << 5 << 5 << 3 << -1 << false;
    }
    void serverRefusesWhatItShouldNotTake()
    {
        QFETCH(int, level);
        QFETCH(int, nameLength);
        QFETCH(int, keys);
        QFETCH(int, misses);
        QFETCH(bool, taken);
        GameRecord game = classGame(QString(nameLength, QChar(0x3042)), level);
        game.keys = keys;
        game.misses = misses;
        ClassServer server(settings());
        bool added = false;
        const ClassServer::Answer answer = server.send(game, &added);
        QCOMPARE(answer.ok(), taken);
        QCOMPARE(added, taken);
        QCOMPARE(answer.status, taken ? ClassServer::Status::Ok : ClassServer::Status::Refused);
        QCOMPARE(serverCount(), taken ? 1 : 0);
        QCOMPARE(serverCount(QStringLiteral("key_stats")), taken ? 2 : 0);
    }

    // A name longer than the server takes is cut, never refused for ever.
    void longNameIsCutToTheServersLength()
    {
        ClassServer server(settings());
        QVERIFY(server.send(classGame(QString(100, u'x'), 3)).ok());
        QCOMPARE(m_pg->value(QStringLiteral("SELECT player FROM games")), QString(64, u'x'));
    }

    void rolesDoOnlyWhatTheyMay_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        const QString player = QStringLiteral("alice");
        QTest::newRow("player updates a game") << player << u"UPDATE games SET level = 999"_qs << false;
        QTest::newRow("player deletes games") << player << u"DELETE FROM games"_qs << false;
        QTest::newRow("player deletes keys") << player << u"DELETE FROM key_stats"_qs << false;
        QTest::newRow("player empties the table") << player << u"TRUNCATE games"_qs << false;
        QTest::newRow("player reads the games table") << player << u"SELECT * FROM games"_qs << false;
        QTest::newRow("player reads keys") << player << u"SELECT * FROM key_stats"_qs << false;
        QTest::newRow("player poses as another sender")
            << player
            << u"INSERT INTO games (uid, class, mode, player, started_at, ended_at, level, keys, misses,"
               " played_ms, other_spellings, sent_by) VALUES (gen_random_uuid(), 'x', 'kana', 'p',"
               " now(), now(), 1, 0, 0, 0, false, 'teacher')"_qs
            << false;
        QTest::newRow("player makes a table") << player << u"CREATE TABLE mine (x int)"_qs << false;
        QTest::newRow("player reads the ranking") << player << u"SELECT * FROM class_results"_qs << true;
        QTest::newRow("teacher reads everything") << u"teacher"_qs
                                                  << u"SELECT g.sent_by, k.ms FROM games g JOIN key_stats k ON k.game_uid = g.uid"_qs
                                                  << true;
        QTest::newRow("teacher deletes") << u"teacher"_qs << u"DELETE FROM games"_qs << false;
    }
    void rolesDoOnlyWhatTheyMay()
    {
        QFETCH(QString, user);
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        QVERIFY(ClassServer(settings(QStringLiteral("bob"))).send(classGame(QStringLiteral("bob"), 9)).ok());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("role"));
        db.setHostName(m_pg->socketDir());
        db.setPort(m_pg->port());
        db.setDatabaseName(m_pg->database());
        db.setUserName(user);
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        {
            QSqlQuery query(db);
            const bool ran = query.exec(statement);
            QCOMPARE(ran, allowed);
            if (!allowed)
                QCOMPARE(query.lastError().nativeErrorCode(), u"42501"_qs);
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("role"));
        QCOMPARE(m_pg->value(QStringLiteral("SELECT level FROM games")), u"9"_qs);
        QCOMPARE(serverCount(QStringLiteral("key_stats")), 2);
    }

    void loginRefusalIsToldOnceASession_data()
    {
        QTest::addColumn<QString>("user");
        QTest::newRow("wrong password") << u"carol"_qs;
        QTest::newRow("unknown role") << u"dave"_qs;
    }
    void loginRefusalIsToldOnceASession()
    {
        QFETCH(QString, user);
        const ClassServer::Answer answer = ClassServer(settings(user)).check();
        QCOMPARE(answer.status, ClassServer::Status::LoginRefused);
        QVERIFY2(answer.reason.contains(user), qPrintable(answer.reason));

        QTemporaryDir dir;
        GameStore store(dir.filePath(GameDatabase::fileName()));
        addGames(store, {classGame(user, 4)});
        ClassSender sender(store);
        QSignalSpy refused(&sender, &ClassSender::loginRefused);
        sender.setSettings(settings(user));
        QTRY_COMPARE_WITH_TIMEOUT(refused.count(), 1, 10000);
        sender.sendWaiting();
        QTRY_VERIFY_WITH_TIMEOUT(!sender.isSending(), 10000);
        QCOMPARE(refused.count(), 1);
        QCOMPARE(waitingIn(store), 1);
        QCOMPARE(serverCount(), 0);
    }

    // Each row: what happens to the server while games wait in Kolrin.db. In
    // the end every game is on the server once and Kolrin.db knows it.
    void everyGameArrivesOnce_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("none") << u"none"_qs;
        QTest::newRow("server stopped before the games end") << u"stopped"_qs;
        QTest::newRow("client killed between insert and mark") << u"unmarked"_qs;
        QTest::newRow("server frozen, the game closes") << u"frozen"_qs;
    }
    void everyGameArrivesOnce()
    {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString path = dir.filePath(GameDatabase::fileName());
        QList<GameRecord> games{classGame(u"alice"_qs, 5), classGame(u"alice"_qs, 8),
                                classGame(u"alice"_qs, 6)};
        // One typed on the kana keys: the server keeps its mode apart.
        games[2].kanaMode = games[2].kanaInput = true;
        {
            GameStore store(path);
            if (fault == u"stopped")
                m_pg->stop();
            addGames(store, games);
            if (fault == u"unmarked") {
                // The server took the first two; the client died before noting it.
                QVERIFY(ClassServer(settings()).send(games[0]).ok());
                QVERIFY(ClassServer(settings()).send(games[1]).ok());
            }
            if (fault == u"frozen") {
                m_pg->freeze();
                auto sender = std::make_unique<ClassSender>(store);
                QElapsedTimer clock;
                clock.start();
                sender->setSettings(settings());
                QVERIFY(clock.elapsed() < 100);
                // The window's thread stays free while the sender waits on the server.
                qint64 worst = 0;
                for (int i = 0; i < 30; ++i) {
                    clock.restart();
                    QTest::qWait(10);
                    worst = qMax(worst, clock.elapsed());
                }
                QVERIFY2(worst < 100, qPrintable(QString::number(worst)));
                QVERIFY(sender->isSending());
                clock.restart();
                sender.reset(); // closing
                QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
                m_pg->thaw();
            } else {
                ClassSender sender(store);
                QSignalSpy done(&sender, &ClassSender::allSent);
                QSignalSpy unreachable(&sender, &ClassSender::unreachable);
                sender.setSettings(settings());
                if (fault == u"stopped") {
                    QTRY_COMPARE_WITH_TIMEOUT(unreachable.count(), 1, 10000);
                    QCOMPARE(waitingIn(store), 3);
                    QVERIFY2(m_pg->start(), qPrintable(m_pg->error()));
                    QCOMPARE(serverCount(), 0);
                    sender.sendWaiting(); // as the next game or the timer would
                }
                QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 15000);
                QCOMPARE(waitingIn(store), 0);
            }
        }
        // The next session sends what the last one could not note.
        {
            GameStore store(path);
            ClassSender sender(store);
            QSignalSpy done(&sender, &ClassSender::allSent);
            sender.setSettings(settings());
            QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 15000);
            QCOMPARE(waitingIn(store), 0);
        }
        QCOMPARE(serverCount(), 3);
        QCOMPARE(serverCount(QStringLiteral("key_stats")), 6);
        QCOMPARE(m_pg->value(u"SELECT string_agg(level::text || mode, ',' ORDER BY level) FROM games"_qs),
                 u"5letters,6kanainput,8letters"_qs);
    }

    void withoutAServerNothingConnects()
    {
        QTemporaryDir dir;
        GameStore store(dir.filePath(GameDatabase::fileName()));
        addGames(store, {classGame(u"alice"_qs, 5)});
        ClassSender sender(store);
        ClassSettings none = settings();
        none.host.clear();
        sender.setSettings(none);
        sender.sendWaiting();
        QVERIFY(!sender.isSending());
        QCOMPARE(m_pg->value(u"SELECT count(*) FROM pg_stat_activity WHERE application_name = 'kolrin'"_qs), u"0"_qs);
    }

    void periodsStartOnMondayAndTheFirst_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("since");
        const QDateTime sunday(QDate(2026, 12, 6), QTime(23, 59));
        QTest::newRow("week, Sunday night") << sunday << int(ClassReader::Period::Week) << u"2026-11-30T00:00:00"_qs;
        QTest::newRow("week, Monday") << sunday.addSecs(60) << int(ClassReader::Period::Week) << u"2026-12-07T00:00:00"_qs;
        QTest::newRow("month") << sunday << int(ClassReader::Period::Month) << u"2026-12-01T00:00:00"_qs;
        QTest::newRow("all") << sunday << int(ClassReader::Period::All) << QString();
    }
    void periodsStartOnMondayAndTheFirst()
    {
        QFETCH(QDateTime, now);
        QFETCH(int, period);
        QFETCH(QString, since);
        QCOMPARE(ClassReader::since(ClassReader::Period(period), now), since);
    }

    // Two players, another class and the other mode, as the window lists them.
    void rankingWindowShowsTheClass()
    {
        ClassServer alice(settings(u"alice"_qs));
        ClassServer bob(settings(u"bob"_qs));
        QVERIFY(alice.send(classGame(u"alice"_qs, 12, u"2026-12-07T09:00:00"_qs)).ok());
        QVERIFY(alice.send(classGame(u"alice"_qs, 30, u"2026-11-02T09:00:00"_qs)).ok());
        QVERIFY(bob.send(classGame(u"bob"_qs, 20, u"2026-12-08T08:00:00"_qs)).ok());
        QVERIFY(bob.send(classGame(u"bob"_qs, 12, u"2026-12-08T08:30:00"_qs)).ok());
        QVERIFY(ClassServer(settings(u"bob"_qs, u"3-B"_qs)).send(classGame(u"bob"_qs, 50)).ok());
        GameRecord kana = classGame(u"alice"_qs, 40);
        kana.kanaMode = true;
        QVERIFY(alice.send(kana).ok());

        frmClassBest window(settings(), u"letters"_qs);
        const QDateTime now(QDate(2026, 12, 8), QTime(12, 0));
        window.load(ClassReader::Period::All, now);
        QTRY_COMPARE_WITH_TIMEOUT(window.best()->topLevelItemCount(), 4, 10000);
        QCOMPARE(rows(window.best()), (QStringList{u"1|30|alice|2026/11/02 09:00"_qs, u"2|20|bob|2026/12/08 08:00"_qs,
                                                   u"3|12|alice|2026/12/07 09:00"_qs, u"3|12|bob|2026/12/08 08:30"_qs}));
        QCOMPARE(rows(window.players()), (QStringList{u"1|30|alice|2026/11/02 09:00"_qs, u"2|20|bob|2026/12/08 08:00"_qs}));
        QCOMPARE(window.status()->text(), QString());

        window.load(ClassReader::Period::Week, now);
        QTRY_COMPARE_WITH_TIMEOUT(rows(window.players()),
                                  (QStringList{u"1|20|bob|2026/12/08 08:00"_qs, u"2|12|alice|2026/12/07 09:00"_qs}),
                                  10000);
        QCOMPARE(rows(window.best()), (QStringList{u"1|20|bob|2026/12/08 08:00"_qs, u"2|12|alice|2026/12/07 09:00"_qs,
                                                   u"2|12|bob|2026/12/08 08:30"_qs}));
        QVERIFY(window.periodButton(ClassReader::Period::Week)->isChecked());

        m_pg->stop();
        window.load(ClassReader::Period::All, now);
        QTRY_VERIFY_WITH_TIMEOUT(window.status()->text().startsWith(u"サーバーにつながりません\n"_qs), 10000);
        QVERIFY(window.status()->text().size() > 20); // with libpq's reason
        QCOMPARE(window.best()->topLevelItemCount(), 0);
    }

    void checkAnswersWithinFiveSeconds_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("answer");
        QTest::newRow("reachable") << u"running"_qs << u"alice"_qs << u"つながりました。"_qs;
        QTest::newRow("wrong password") << u"running"_qs << u"carol"_qs << u"サーバーにつながりません\n"_qs;
        QTest::newRow("stopped") << u"stopped"_qs << u"alice"_qs << u"サーバーにつながりません\n"_qs;
        // Told by libpq's connect timeout or by the dialog's own limit, whichever comes first.
        QTest::newRow("frozen") << u"frozen"_qs << u"alice"_qs << u"サーバーにつながりません\n"_qs;
    }
    void checkAnswersWithinFiveSeconds()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, answer);
        if (server == u"stopped")
            m_pg->stop();
        if (server == u"frozen")
            m_pg->freeze();
        ClassServerDialog dialog(settings(user));
        ClassReader reader;
        connect(&dialog, &ClassServerDialog::checkRequested, &reader, &ClassReader::check);
        connect(&reader, &ClassReader::checked, &dialog, &ClassServerDialog::showCheckResult);
        QElapsedTimer clock;
        clock.start();
        dialog.checkButton()->click();
        QVERIFY(clock.elapsed() < 100);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.checkResult()->text().startsWith(answer), 6000);
        QVERIFY2(clock.elapsed() <= ClassServerDialog::CheckLimitMs + 300, qPrintable(QString::number(clock.elapsed())));
        m_pg->thaw();
    }

    // The settings as the dialog shows and gives them, and as Kolrin.ini keeps
    // them beside the options.
    void settingsGoThroughTheDialogAndTheIni()
    {
        const QByteArray previous = "[Options]\nStatusBar=true\n";
        ClassSettings s = settings();
        s.service.clear();
        ClassServerDialog dialog(s);
        QCOMPARE(dialog.host()->text(), m_pg->socketDir());
        QCOMPARE(dialog.port()->value(), m_pg->port());
        dialog.className()->setText(u"2-B"_qs);
        dialog.user()->setText(u"bob"_qs);
        const QByteArray ini = dialog.settings().toIni(previous);
        QVERIFY(ini.contains("StatusBar=true"));
        QVERIFY(ini.contains("[ClassServer]"));
        const ClassSettings back = ClassSettings::fromIni(ini);
        QCOMPARE(back.className, u"2-B"_qs);
        QCOMPARE(back.user, u"bob"_qs);
        QCOMPARE(back.host, m_pg->socketDir());
        QVERIFY(back.isSet());
        QVERIFY(!ClassSettings::fromIni(previous).isSet());
        dialog.className()->clear();
        QVERIFY(!dialog.checkButton()->isEnabled());
    }

    // A role the server will not let in: one box in the session, after the
    // game, however many games try again; the games wait in Kolrin.db.
    void refusedLoginIsOneBoxASession()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\ncarol\r\n");
        folder.write("Kolrin.ini", settings(u"carol"_qs).toIni({}));
        Session session(folder);
        QVERIFY(session.loaded);
        for (int game = 0; game < 2; ++game) {
            session.playToTheEnd();
            session.settle();
            QTRY_VERIFY_WITH_TIMEOUT(!session.window->classLink().sender()->isSending(), 10000);
            QTest::qWait(50);
        }
        QTRY_COMPARE_WITH_TIMEOUT(session.desktop.boxes.size(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!session.window->classLink().sender()->isSending(), 10000);
        QTest::qWait(200);
        QStringList told;
        for (const FakeDesktop::Box &box : std::as_const(session.desktop.boxes))
            told << box.text;
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().startsWith(u"クラスのサーバーに入れません。"_qs), qPrintable(told.first()));
        QVERIFY2(told.first().contains(u"carol"_qs), qPrintable(told.first()));
        QCOMPARE(serverCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(waitingIn(*session.window->history().store()), 2, 5000);
    }

    // The whole game with a frozen server: games go on, and closing takes no
    // longer than closing a game that has no server (which saves and flushes
    // the settings to disk).
    void frozenServerKeepsPlayAndClosePrompt()
    {
        const auto closeTime = [](Session &session) {
            session.window->mnuStart_Click();
            QElapsedTimer clock;
            clock.start();
            session.window->close();
            session.window.reset();
            return clock.elapsed();
        };
        qint64 alone = 0;
        {
            ProgramFolder folder;
            folder.write("Kolrin.cfg", "False\r\nFalse\r\nalice\r\n");
            Session session(folder);
            session.playToTheEnd();
            session.settle();
            alone = closeTime(session);
        }
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nalice\r\n");
        folder.write("Kolrin.ini", settings().toIni({}));
        auto session = std::make_unique<Session>(folder);
        QVERIFY(session->loaded);
        session->playToTheEnd();
        session->settle();
        QTRY_COMPARE_WITH_TIMEOUT(serverCount(), 1, 10000);
        m_pg->freeze();
        QElapsedTimer clock;
        clock.start();
        session->playToTheEnd();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        session->settle();
        // The sender is now waiting on the frozen server; the window's thread is not.
        qint64 worst = 0;
        for (int i = 0; i < 30; ++i) {
            clock.restart();
            QTest::qWait(10);
            worst = qMax(worst, clock.elapsed());
        }
        QVERIFY2(worst < 100, qPrintable(QString::number(worst)));
        const qint64 frozen = closeTime(*session);
        session.reset();
        qInfo("closing with the server frozen %lld ms, without a server %lld ms", frozen, alone);
        QVERIFY2(frozen < alone + 100, qPrintable(QStringLiteral("%1 against %2").arg(frozen).arg(alone)));
        m_pg->thaw();
        // The game that waited arrives at the next start, once.
        session = std::make_unique<Session>(folder);
        QTRY_COMPARE_WITH_TIMEOUT(serverCount(), 2, 15000);
        session->settle();
        QTest::qWait(500);
        QCOMPARE(serverCount(), 2);
    }
};

QTEST_MAIN(TestClassServer)
#include "tst_classserver.moc"
