// Damaged files, full disks, huge names: nothing crashes, every failure is
// told, and nothing already stored is lost.
#include "game/frmzuvel.h"
#include "records/zuvelm.h"
#include "records/frmbest.h"
#include "records/frmreplay.h"
#include "records/gamedatabase.h"
#include "platform/textfile.h"
#include "windowtestkit.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QListWidget>
#include <QPushButton>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlQuery>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray garbage(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

const QByteArray MegaLine = QByteArray(1 << 20, 'X');

// Times mean something only without the sanitizers' and a debug build's cost.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
constexpr bool OptimisedBuild = true;
#else
constexpr bool OptimisedBuild = false;
#endif

// Puts something other than an ordinary file where the game expects one.
bool standIn(const ProgramFolder &folder, const char *name, const QString &kind)
{
    const QString path = folder.file(name);
    const QByteArray native = QFile::encodeName(path);
    QFile::remove(path);
    if (kind == u"FIFO")
        return ::mkfifo(native.constData(), 0666) == 0;
    if (kind == u"socket") {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, native.constData(), sizeof address.sun_path);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    if (kind == u"directory")
        return QDir().mkdir(path);
    if (kind == u"device")
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (kind == u"dangling link")
        return QFile::link(folder.file("elsewhere"), path);
    if (kind == u"link loop")
        return ::symlink(name, native.constData()) == 0;
    if (kind == u"no permission") {
        folder.write(name, "unreadable\r\n");
        return ::chmod(native.constData(), 0) == 0;
    }
    return false;
}

// A game database with one game in it, as the game leaves it.
QByteArray databaseBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(GameDatabase::fileName());
    GameRecord game;
    game.player = QStringLiteral("Old");
    game.keyStats.insert(QStringLiteral("A"), {3, 1, 900});
    GameDatabase(path, false).add(game, QDateTime());
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 gamesIn(const QString &path)
{
    qint64 games = 0;
    GameDatabase db(path, true);
    for (bool kana : {false, true})
        db.forEachGame({kana, std::nullopt, 0}, [&games](qint64, qint64, qint64) { ++games; });
    return games;
}

// Key rows of no game, or a game without its keys: a game written in part.
qint64 orphanRows(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
    db.setDatabaseName(path);
    qint64 rows = -1;
    if (db.open()) {
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("SELECT (SELECT count(*) FROM key_stats WHERE game_id NOT IN "
                                      "(SELECT id FROM games)) + (SELECT count(*) FROM games WHERE id "
                                      "NOT IN (SELECT game_id FROM key_stats))"))
            && query.next())
            rows = query.value(0).toLongLong();
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return rows;
}

// Another program that holds the database for writing until it is killed.
pid_t holdDatabase(const QString &path)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(ready[0]);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        db.setDatabaseName(path);
        const bool held = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
        if (::write(ready[1], held ? "y" : "n", 1) != 1 || !held)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    const bool held = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    if (!held) {
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        return -1;
    }
    return holder;
}

struct Outcome
{
    bool finished = false;
    QString report; // "loaded"/"refused", then the first line of every box
    qint64 slowestMs = 0;
};

// Starts the game over the folder, plays games to their end and closes it,
// in a child process (as an ordinary user when run as root, whom no permission
// stops), so that a hang is cut off after five seconds instead of stalling
// every test after it. The game database is waited for after each game, and
// that wait is no step of the game's.
Outcome playInChild(const ProgramFolder &folder, int games = 1, int patienceMs = 5000)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        QElapsedTimer clock;
        qint64 slowest = 0;
        const auto lap = [&] { slowest = qMax(slowest, clock.restart()); };
        clock.start();
        Session s(folder, {QStringLiteral("N")});
        lap();
        QStringList report{s.loaded ? QStringLiteral("loaded") : QStringLiteral("refused")};
        for (int game = 0; game < games && s.loaded; ++game) {
            s.window->mnuStart_Click();
            whenModal([](QWidget *modal) { modal->close(); });
            while (s.window->isPlaying())
                s.window->tmrUp_Timer();
            lap();
            s.settle();
            clock.restart();
        }
        if (s.loaded) {
            if (folder.has("plugins"))
                s.window->mnuProgress_Click();
            lap();
            s.window->close();
            lap();
        }
        for (const FakeDesktop::Box &box : std::as_const(s.desktop.boxes))
            report << box.text.section(u'\n', 0, 0);
        report << QString::number(slowest);
        const QByteArray bytes = report.join(u'|').toUtf8();
        ::_exit(::write(ends[1], bytes.constData(), size_t(bytes.size())) == bytes.size() ? 0 : 4);
    }
    ::close(ends[1]);
    Outcome outcome;
    QByteArray bytes;
    pollfd watch{ends[0], POLLIN, 0};
    QElapsedTimer deadline;
    deadline.start();
    while (deadline.elapsed() < patienceMs
           && ::poll(&watch, 1, int(patienceMs - deadline.elapsed())) > 0) {
        char buffer[4096];
        const ssize_t n = ::read(ends[0], buffer, sizeof buffer);
        if (n <= 0) {
            outcome.finished = true;
            break;
        }
        bytes.append(buffer, n);
    }
    ::close(ends[0]);
    if (!outcome.finished)
        ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QStringList report = QString::fromUtf8(bytes).split(u'|');
    outcome.slowestMs = report.takeLast().toLongLong();
    outcome.report = report.join(u'|');
    return outcome;
}
}

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useDesignFont(); }

    // An empty content puts a folder in the file's place. The chart is opened
    // for the rows that say what its box tells after the library's path.
    void damagedFilesAreRefusedOrRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QString>("chartTold");
        QTest::addColumn<QString>("told"); // after a game
        QTest::newRow("table: garbage") << QByteArray("Romaji.tbl") << garbage(4096, 1) << false << QString() << QString();
        QTest::newRow("table: megabyte kana line")
            << QByteArray("Romaji.tbl") << (MegaLine + "\r\n\xb6\r\n@\r\nXYZW\r\nKA\r\n@\r\n") << true
            << QString() << QString();
        QTest::newRow("table: megabyte romaji line")
            << QByteArray("Romaji.tbl") << ("\xb6\r\n\xb1\r\n@\r\n" + MegaLine + "\r\nA\r\n@\r\n") << true
            << QString() << QString();
        QTest::newRow("table: directory") << QByteArray("Romaji.tbl") << QByteArray() << false << QString() << QString();
        // The player's own list in the data folder: the box names it in full.
        QTest::newRow("own table: garbage") << QByteArray("own Romaji.tbl") << garbage(4096, 4) << false
                                            << QString() << QString();
        QTest::newRow("own table: nothing to draw")
            << QByteArray("own Romaji.tbl") << QByteArray("\xdd\r\n@\r\nN\r\n@\r\n") << false << QString() << QString();
        QTest::newRow("settings: garbage") << QByteArray("Kolrin.cfg") << garbage(4096, 2) << true << QString() << QString();
        QTest::newRow("settings: megabyte name")
            << QByteArray("Kolrin.cfg") << ("False\r\nTrue\r\n" + MegaLine + "\r\n") << true << QString() << QString();
        QTest::newRow("settings: directory") << QByteArray("Kolrin.cfg") << QByteArray() << true << QString() << QString();
        QTest::newRow("help: garbage") << QByteArray("Kolrin.hlp") << garbage(4096, 3) << true << QString() << QString();
        QTest::newRow("help: directory") << QByteArray("Kolrin.hlp") << QByteArray() << false << QString() << QString();

        const QByteArray library("plugins/libkolrin_progress.so");
        QFile chart(QStringLiteral(KOLRIN_CHART_LIBRARY));
        QVERIFY(chart.open(QIODevice::ReadOnly));
        QTest::newRow("chart: its library cut to 20,000 bytes")
            << library << chart.read(20000) << true << u"ファイルが壊れています。"_qs << QString();
        QFile other(QLibraryInfo::path(QLibraryInfo::LibrariesPath) + u"/libQt6Core.so.6"_qs);
        QVERIFY(other.open(QIODevice::ReadOnly));
        QTest::newRow("chart: another library")
            << library << other.readAll() << true << u"このゲームの成績の推移のライブラリではありません。"_qs << QString();
        QTest::newRow("chart: text") << library << QByteArray("not a library\n") << true
                                     << u"ライブラリのファイルではありません。"_qs << QString();
        QTest::newRow("chart: directory") << library << QByteArray() << true << TextFile::reason(EISDIR) << QString();
        QTest::newRow("chart: empty plugins folder")
            << QByteArray("plugins") << QByteArray() << true << TextFile::reason(ENOENT) << QString();
        // Set aside under a name of its own, and the game goes to a new file.
        const QString setAside = u"ゲームの記録が壊れていたので、名前を変えて残し、新しく始めました。"_qs;
        QTest::newRow("database: no database")
            << QByteArray("Kolrin.db") << garbage(8192, 4) << true << QString() << setAside;
        QByteArray damaged = databaseBytes();
        damaged.replace(4096, 4096, garbage(4096, 5));
        QTest::newRow("database: damaged") << QByteArray("Kolrin.db") << damaged << true << QString() << setAside;
        QTest::newRow("database: sound")
            << QByteArray("Kolrin.db") << databaseBytes() << true << QString() << QString();
    }
    void damagedFilesAreRefusedOrRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, starts);
        QFETCH(QString, chartTold);
        QFETCH(QString, told);
        ProgramFolder folder;
        if (file != "Kolrin.cfg")
            folder.write("Kolrin.cfg", "False\r\nTrue\r\n\r\n");
        Folders folders = Folders::single(folder.path());
        QTemporaryDir data;
        if (file.startsWith("own ")) {
            folders.data = data.path() + u'/';
            folders.table = folders.data + QStringLiteral("Romaji.tbl");
            QFile own(folders.table);
            QVERIFY(own.open(QIODevice::WriteOnly));
            own.write(content);
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(folder.file(file.constData())).path()));
            QFile::remove(folder.file(file.constData()));
            if (content.isEmpty())
                QVERIFY(QDir().mkdir(folder.file(file.constData())));
            else
                folder.write(file.constData(), content);
        }
        Session s(folders, {QStringLiteral("N")});
        QCOMPARE(s.loaded, starts);
        if (!starts) {
            QCOMPARE(s.desktop.boxes.size(), 1);
            QCOMPARE(s.desktop.boxes[0].kind, QStringLiteral("critical"));
            if (file.startsWith("own "))
                QVERIFY2(s.desktop.boxes[0].text.contains(QDir::toNativeSeparators(folders.table)),
                         qPrintable(s.desktop.boxes[0].text));
            return;
        }
        QVERIFY(s.desktop.boxes.isEmpty());
        QVERIFY(!s.window->currentRomaji().isEmpty());
        QVERIFY(s.window->currentRomaji().size() <= 3);
        s.playToTheEnd();
        s.settle();
        QStringList shown;
        for (const FakeDesktop::Box &box : std::as_const(s.desktop.boxes))
            shown << box.text.section(u'\n', 0, 0);
        QCOMPARE(shown.join(u'|'), told);
        const QList<FakeDesktop::Box> afterGame = std::exchange(s.desktop.boxes, {});
        s.window->mnuMokuji_Click();
        if (!chartTold.isEmpty()) {
            s.window->mnuRoma()->trigger(); // a change the failed chart must not lose
            s.window->mnuProgress_Click();
            QCOMPARE(s.desktop.boxes.size(), 1);
            QCOMPARE(s.desktop.boxes.takeFirst().text,
                     u"成績の推移を表示できません。\n"_qs + folder.file("plugins/libkolrin_progress.so")
                         + u'\n' + chartTold);
        }
        s.window->close();
        // Only a folder standing where the settings go stops the save, and says so.
        const bool blocked = file == "Kolrin.cfg" && content.isEmpty();
        QCOMPARE(s.desktop.boxes.size(), blocked ? 1 : 0);
        if (!chartTold.isEmpty())
            QCOMPARE(folder.read("Kolrin.cfg"), QByteArray("False\r\nFalse\r\n\r\n"));
        if (file != "Kolrin.db")
            return;
        // Never deleted: what was there keeps its bytes under the name told.
        const QStringList aside = QDir(folder.path()).entryList({u"Kolrin.db.broken-*"_qs});
        QCOMPARE(aside.size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            QVERIFY(afterGame[0].text.endsWith(QDir::toNativeSeparators(folder.file(aside[0].toUtf8()))));
            QVERIFY(QRegularExpression(u"^Kolrin\\.db\\.broken-\\d{8}-\\d{6}$"_qs).match(aside[0]).hasMatch());
            QCOMPARE(folder.read(aside[0].toUtf8()), content);
        }
        QCOMPARE(gamesIn(folder.file("Kolrin.db")), told.isEmpty() ? 2 : 1);
    }

    // A FIFO, a socket, a folder, a device, a link to nowhere or to itself, or
    // a file the player may not read, standing where a file of the game
    // belongs: the game never waits on it, says what it says for a file it
    // cannot use, and goes on where it can.
    void oddFilesNeverHang_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("outcome");
        const QString kinds[] = {u"FIFO"_qs, u"socket"_qs, u"directory"_qs, u"device"_qs,
                                 u"dangling link"_qs, u"link loop"_qs, u"no permission"_qs};
        const QString settingsLost = u"loaded|設定を保存できませんでした。"_qs;
        const QString settingsKept = u"loaded|設定ファイルを読み込めません。今回は設定を保存しません。"_qs;
        const QString resultLost = u"loaded|成績を保存できませんでした。"_qs;
        const QString noHelp = u"refused|Kolrin.hlpが見つかりません"_qs;
        const QString noTable = u"refused|ローマ字テーブル Romaji.tbl　が見つかりません。"_qs;
        const QString noChart = u"loaded|成績の推移を表示できません。"_qs;
        // Told once, though two games are played.
        const QString noDatabase = u"loaded|ゲームの記録を保存できません。今回はゲームを記録しません。"_qs;
        const struct
        {
            const char *file;
            QString outcomes[7]; // in the order of kinds
        } rows[] = {
            {"Kolrin.cfg", {settingsLost, settingsLost, settingsLost, u"loaded"_qs, u"loaded"_qs,
                            settingsLost, settingsKept}},
            {"Kolrin.dat", {resultLost, resultLost, resultLost, u"loaded"_qs, u"loaded"_qs, resultLost,
                            resultLost}},
            {"Kolrin.lock", {u"loaded"_qs, u"loaded"_qs, u"loaded"_qs, u"loaded"_qs, u"loaded"_qs,
                             u"loaded"_qs, u"loaded"_qs}},
            {"Kolrin.ini", {u"loaded"_qs, u"loaded"_qs, u"loaded"_qs, u"loaded"_qs, u"loaded"_qs,
                            u"loaded"_qs, settingsKept}},
            {"Kolrin.hlp", {noHelp, noHelp, noHelp, noHelp, noHelp, noHelp, u"loaded"_qs}},
            {"Romaji.tbl", {noTable, noTable, noTable, noTable, noTable, noTable,
                            u"refused|ローマ字テーブル Romaji.tbl　を読み込めません。"_qs}},
            {"plugins/libkolrin_progress.so", {noChart, noChart, noChart, noChart, noChart, noChart,
                                               noChart}},
            {"Kolrin.db", {noDatabase, noDatabase, noDatabase, noDatabase, u"loaded"_qs, noDatabase,
                           noDatabase}},
        };
        for (const auto &row : rows) {
            for (int k = 0; k < 7; ++k)
                QTest::addRow("%s: %s", row.file, qPrintable(kinds[k]))
                    << QByteArray(row.file) << kinds[k] << row.outcomes[k];
        }
        QTest::newRow("Kolrin.db: read-only") << QByteArray("Kolrin.db") << u"read-only"_qs << noDatabase;
        // Each game waits two seconds for it, then goes without.
        const QString skipped = u"このゲームを記録できませんでした。"_qs;
        QTest::newRow("Kolrin.db: held by another program")
            << QByteArray("Kolrin.db") << u"held"_qs << u"loaded|"_qs + skipped + u'|' + skipped;
    }
    void oddFilesNeverHang()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, kind);
        QFETCH(QString, outcome);
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0777) == 0);
        if (file.startsWith("plugins/"))
            QVERIFY(QDir().mkdir(folder.file("plugins")));
        pid_t holder = -1;
        if (kind == u"read-only" || kind == u"held") {
            folder.write(file.constData(), databaseBytes());
            QVERIFY(::chmod(QFile::encodeName(folder.file(file.constData())).constData(),
                            kind == u"held" ? 0666 : 0444) == 0);
            if (kind == u"held")
                QVERIFY((holder = holdDatabase(folder.file(file.constData()))) > 0);
        } else {
            QVERIFY(standIn(folder, file.constData(), kind));
        }
        // Left by a save cut short; removed at start-up only by a copy that
        // holds the lock, which none does when something odd stands in its place.
        const char *leftover = ".Kolrin.cfg.Ab12Cd";
        folder.write(leftover, "False\r\nTr");
        if (::geteuid() == 0)
            QVERIFY(::chown(QFile::encodeName(folder.file(leftover)).constData(), 65534, 65534) == 0);
        const Outcome played = playInChild(folder, file == "Kolrin.db" ? 2 : 1, holder > 0 ? 9000 : 5000);
        if (holder > 0) {
            ::kill(holder, SIGKILL);
            ::waitpid(holder, nullptr, 0);
        }
        QVERIFY2(played.finished, "the game hung");
        QCOMPARE(played.report, outcome);
        QVERIFY2(played.slowestMs < 1000, qPrintable(QString::number(played.slowestMs)));
        QCOMPARE(folder.has(leftover), file == "Kolrin.lock");
        if (file == "Kolrin.db" && kind != u"dangling link")
            QVERIFY(QDir(folder.path()).entryList({u"Kolrin.db.broken-*"_qs}).isEmpty());
        if (kind == u"held")
            QCOMPARE(gamesIn(folder.file("Kolrin.db")), 1);
        // What the player cannot read may still hold what they saved.
        if (kind == u"no permission")
            QCOMPARE(folder.read(file.constData()), QByteArray("unreadable\r\n"));
    }

    // Every write stopped after N bytes, as a full disk or a quota stops it
    // (here by a limit on file size): the old files stay byte for byte, or the
    // result file is cut back to where it was, and the player is told. The
    // game database, stopped as well, keeps each game whole or not at all, and
    // says so once the game is over.
    void writesStoppedHalfWayLoseNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("budget");
        QTest::addColumn<bool>("fits");
        // The new Kolrin.cfg is 24 bytes and Kolrin.ini 69 (QSettings also
        // writes a lock file of its own); the record is 33.
        for (int n = 0; n <= 24; ++n)
            QTest::addRow("settings, %d bytes", n) << u"settings"_qs << n << (n == 24);
        for (int n = 0; n <= 69; ++n)
            QTest::addRow("settings and options, %d bytes", n) << u"options"_qs << n << false;
        QTest::newRow("settings and options, room enough") << u"options"_qs << 4096 << true;
        for (int n = 0; n <= 33; ++n)
            QTest::addRow("result, %d bytes", n) << u"result"_qs << n << (n == 33);
        // Past the end of its log, which the game before left open: a page
        // takes 4,120 bytes there, and a game nine (its row, its place in the
        // two indexes, the last id given, its keys, theirs, the keys' totals,
        // theirs, and how far the totals reach): 37,080 bytes.
        for (int n = 0; n <= 40; n += 2)
            QTest::addRow("database, %d KB", n) << u"database"_qs << (n << 10) << (n >= 38);
        QTest::newRow("database, room enough") << u"database"_qs << (1 << 20) << true;
    }
    void writesStoppedHalfWayLoseNothing()
    {
        QFETCH(QString, what);
        QFETCH(int, budget);
        QFETCH(bool, fits);
        const bool result = what == u"result";
        const bool database = what == u"database";
        ProgramFolder folder;
        const QByteArray cfg("False\r\nFalse\r\nOld\r\n");
        const QByteArray ini("[Options]\nStatusBar=true\n");
        const QByteArray records("1,\"Old\",\"2001/12/02 21:05\"\r\n");
        folder.write("Kolrin.cfg", cfg);
        if (what == u"options")
            folder.write("Kolrin.ini", ini);
        folder.write("Kolrin.dat", records);
        Session s(folder, {QStringLiteral("New name")});
        QVERIFY(s.loaded);
        s.window->mnuName_Click();
        // A prompt typed, and a key missed: the game has rows of keys.
        const auto playWithKeys = [&s] {
            QTest::keyClicks(s.window->txtType(), s.window->currentRomaji().toLower() + u'#');
            s.playToTheEnd();
            s.settle();
        };
        qint64 logBytes = 0;
        if (database) {
            playWithKeys();
            logBytes = QFileInfo(folder.file("Kolrin.db-wal")).size();
            QVERIFY(logBytes > 0 && s.desktop.boxes.isEmpty());
        }
        if (what == u"options")
            s.window->mnuFlexible()->trigger();

        rlimit saved;
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto sigxfsz = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = rlim_t(budget + (database ? logBytes : result ? records.size() : 0));
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        if (result || database)
            playWithKeys();
        else
            s.window->close();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::signal(SIGXFSZ, sigxfsz);

        QStringList shown;
        for (const FakeDesktop::Box &box : std::as_const(s.desktop.boxes))
            shown << box.text.section(u'\n', 0, 0);
        const QString dbLost = u"このゲームを記録できませんでした。"_qs;
        if (database) {
            // Whole or not at all, and told when not.
            QCOMPARE(shown, fits ? QStringList() : QStringList{dbLost});
            QCOMPARE(gamesIn(folder.file("Kolrin.db")), fits ? 2 : 1);
            QCOMPARE(orphanRows(folder.file("Kolrin.db")), 0);
            QCOMPARE(folder.read("Kolrin.dat").size(), records.size() + 2 * 33);
            return;
        }
        QStringList told;
        if (!fits)
            told << (result ? u"成績を保存できませんでした。"_qs : u"設定を保存できませんでした。"_qs);
        // No room for the database's file either.
        if (result)
            told << dbLost;
        QCOMPARE(shown, told);
        if (fits) {
            QVERIFY(result ? folder.read("Kolrin.dat").size() == records.size() + 33
                           : folder.read("Kolrin.cfg") == "False\r\nFalse\r\nNew name\r\n");
        } else {
            QCOMPARE(folder.read("Kolrin.dat"), records);
            QCOMPARE(folder.read("Kolrin.cfg"), cfg);
            if (what == u"options")
                QCOMPARE(folder.read("Kolrin.ini"), ini);
        }
        QVERIFY(!folder.has("Kolrin.ini") || what == u"options");
        QCOMPARE(QDir(folder.path()).entryList(QDir::Hidden | QDir::Files).filter(u".Kolrin"_qs), QStringList());
    }

    void corruptedResultLinesAreSkipped()
    {
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        folder.write("Kolrin.dat", "12,\"a\",\"2001/12/02 21:05\"\r\n" + garbage(3000, 4) + "\r\n"
                                       + MegaLine + "\r\n20,\"b\",\"2001/12/02 21:06\"\r\n7,\"cut");
        Session s(folder);
        s.playToTheEnd();
        const QStringList lines = s.ranking();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("Level 20a\tb\t")));
        QVERIFY(lines[1].startsWith(QStringLiteral("Level 12a\ta\t")));
        QVERIFY(lines[2].startsWith(QStringLiteral("Level 1a\tP\t")));
        // The cut-short last record stays as it was; the new one has its own line.
        const QByteArray file = folder.read("Kolrin.dat");
        QVERIFY(file.contains("7,\"cut\r\n1,\"P\",\""));
    }

    void fullDiskIsToldAndTheDeviceIsLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("result") << QByteArray("Kolrin.dat") << "成績を保存できませんでした。";
        QTest::newRow("settings") << QByteArray("Kolrin.cfg") << "設定を保存できませんでした。";
    }
    void fullDiskIsToldAndTheDeviceIsLeftAlone()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        if (!QFileInfo(QStringLiteral("/dev/full")).exists())
            QSKIP("this system has no /dev/full");
        ProgramFolder folder;
        folder.write("Kolrin.cfg", "False\r\nFalse\r\nP\r\n");
        Session s(folder);
        QFile::remove(folder.file(file.constData()));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), folder.file(file.constData())));
        if (file == "Kolrin.dat")
            s.playToTheEnd();
        QSignalSpy unloaded(s.window.get(), &frmZuvel::unloaded);
        s.window->close();
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!s.desktop.boxes.isEmpty());
        QVERIFY2(s.desktop.boxes[0].text.startsWith(message), qPrintable(s.desktop.boxes[0].text));
        QVERIFY(s.desktop.boxes[0].text.size() > message.size()); // says why
        QVERIFY(QFileInfo(folder.file(file.constData())).isSymLink());
        QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
    }

    void hugeNameIsKeptEverywhere()
    {
        const QString name = QString(100000, QChar(u'名'));
        ProgramFolder folder;
        {
            Session s(folder, {name});
            QCOMPARE(s.window->playerName(), name);
            s.playToTheEnd();
            const QStringList lines = s.ranking();
            QCOMPARE(lines.size(), 1);
            QVERIFY(lines[0].contains(name));
            QCOMPARE(s.desktop.clipboard.size(), 1);
            QVERIFY(s.desktop.clipboard[0].startsWith(QStringLiteral("Level 1a\t名名名名名名名\t\t")));
            s.window->close();
        }
        QVERIFY(folder.read("Kolrin.dat").size() > 200000);
        Session again(folder, {});
        QCOMPARE(again.desktop.inputs.size(), 1);
        QCOMPARE(again.desktop.inputs[0].defaultText, name);

        // A ranking full of such names still opens at once.
        QByteArray lines;
        for (int i = 0; i < 30; ++i)
            lines += QByteArray::number(i + 1) + ",\"" + QByteArray(800000, 'N') + "\",\"2001/12/02 21:05\"\r\n";
        folder.write("Kolrin.dat", lines);
        QElapsedTimer clock;
        clock.start();
        again.window->show();
        QCOMPARE(again.ranking().size(), 30);
        // Seconds in any build before, a few hundred milliseconds once optimised now.
        if (OptimisedBuild)
            QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
