#include "records/gamedatabase.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cerrno>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// SQLite's primary result codes, as Qt's driver hands them on.
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    NotADatabase = 26,
};

#define KOLRIN_GAMES_COLUMNS                                                                   \
    "(id INTEGER PRIMARY KEY AUTOINCREMENT, mode TEXT NOT NULL, player TEXT NOT NULL, "          \
    "started_at TEXT NOT NULL, ended_at TEXT NOT NULL, level INTEGER NOT NULL, "                 \
    "keys INTEGER NOT NULL, misses INTEGER NOT NULL, played_ms INTEGER NOT NULL, "               \
    "other_spellings INTEGER NOT NULL, uid TEXT NOT NULL UNIQUE, lesson INTEGER NOT NULL DEFAULT 0)"
#define KOLRIN_TIMING_COLUMNS                                                                  \
    "first INTEGER NOT NULL DEFAULT 0, first_ms INTEGER NOT NULL DEFAULT 0, "                    \
    "miss_ms INTEGER NOT NULL DEFAULT 0"

// Tables a version 1 file lacks, made alike in a new file and in a migrated one.
#define KOLRIN_NEW_TABLES                                                                      \
    "CREATE TABLE lesson_keys (mode TEXT NOT NULL, player TEXT NOT NULL, key TEXT NOT NULL, "    \
    "unlocked_at TEXT NOT NULL, PRIMARY KEY (mode, player, key))",                               \
        "CREATE TABLE class_sent (game_id INTEGER PRIMARY KEY REFERENCES games(id), "            \
        "sent_at TEXT NOT NULL)"

const char *const Schema[] = {
    "CREATE TABLE games " KOLRIN_GAMES_COLUMNS,
    "CREATE INDEX games_mode_player ON games (mode, player)",
    "CREATE TABLE key_stats (game_id INTEGER NOT NULL REFERENCES games(id), key TEXT NOT NULL, "
    "typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, " KOLRIN_TIMING_COLUMNS ", "
    "PRIMARY KEY (game_id, key))",
    "CREATE TABLE kana_stats (game_id INTEGER NOT NULL REFERENCES games(id), kana TEXT NOT NULL, "
    "typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, " KOLRIN_TIMING_COLUMNS ", "
    "PRIMARY KEY (game_id, kana))",
    KOLRIN_NEW_TABLES,
    "PRAGMA user_version = 2",
};

// Version 1 to 2 in place, in one transaction: games gets ids that are never
// used again (only a new table can have them), a unique id each and the
// lesson mark; the stats their timing columns, zero for the old rows. The
// totals are made afresh from the stats.
const char *const Migration[] = {
    "CREATE TABLE games_v2 " KOLRIN_GAMES_COLUMNS,
    "INSERT INTO games_v2 (id, mode, player, started_at, ended_at, level, keys, misses, played_ms, "
    "other_spellings, uid, lesson) SELECT id, mode, player, started_at, ended_at, level, keys, "
    "misses, played_ms, other_spellings, lower(hex(randomblob(16))), 0 FROM games ORDER BY id",
    "DROP TABLE games",
    "ALTER TABLE games_v2 RENAME TO games",
    "CREATE INDEX games_mode_player ON games (mode, player)",
    "ALTER TABLE key_stats ADD COLUMN first INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE key_stats ADD COLUMN first_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE key_stats ADD COLUMN miss_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE kana_stats ADD COLUMN first INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE kana_stats ADD COLUMN first_ms INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE kana_stats ADD COLUMN miss_ms INTEGER NOT NULL DEFAULT 0",
    "DROP TABLE IF EXISTS key_totals",
    "DROP TABLE IF EXISTS kana_totals",
    "DROP TABLE IF EXISTS totals_state",
    KOLRIN_NEW_TABLES,
    "PRAGMA user_version = 2",
};

// Every game's figures summed per mode, player and key, so that the figures of
// all games cost a few hundred rows rather than millions. Derived from the
// tables above: games past totals_state.through_game (written by another
// program, say) are folded in at the game's next write, and read from the
// stats tables until then.
const char *const Totals[] = {
    "CREATE TABLE IF NOT EXISTS key_totals (mode TEXT NOT NULL, player TEXT NOT NULL, "
    "key TEXT NOT NULL, typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, "
    KOLRIN_TIMING_COLUMNS ", PRIMARY KEY (mode, player, key))",
    "CREATE TABLE IF NOT EXISTS kana_totals (mode TEXT NOT NULL, player TEXT NOT NULL, "
    "kana TEXT NOT NULL, typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, "
    KOLRIN_TIMING_COLUMNS ", PRIMARY KEY (mode, player, kana))",
    "CREATE TABLE IF NOT EXISTS totals_state (through_game INTEGER NOT NULL)",
    "INSERT INTO totals_state (through_game) SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM totals_state)",
};

// Folds the games past through_game into the totals, in the writer's transaction.
const char *const Fold[] = {
    "INSERT INTO key_totals (mode, player, key, typed, missed, ms, first, first_ms, miss_ms) "
    "SELECT g.mode, g.player, s.key, SUM(s.typed), SUM(s.missed), SUM(s.ms), SUM(s.first), "
    "SUM(s.first_ms), SUM(s.miss_ms) "
    "FROM key_stats s JOIN games g ON g.id = s.game_id "
    "WHERE s.game_id > (SELECT through_game FROM totals_state) GROUP BY g.mode, g.player, s.key "
    "ON CONFLICT (mode, player, key) DO UPDATE SET typed = key_totals.typed + excluded.typed, "
    "missed = key_totals.missed + excluded.missed, ms = key_totals.ms + excluded.ms, "
    "first = key_totals.first + excluded.first, first_ms = key_totals.first_ms + excluded.first_ms, "
    "miss_ms = key_totals.miss_ms + excluded.miss_ms",
    "INSERT INTO kana_totals (mode, player, kana, typed, missed, ms, first, first_ms, miss_ms) "
    "SELECT g.mode, g.player, s.kana, SUM(s.typed), SUM(s.missed), SUM(s.ms), SUM(s.first), "
    "SUM(s.first_ms), SUM(s.miss_ms) "
    "FROM kana_stats s JOIN games g ON g.id = s.game_id "
    "WHERE s.game_id > (SELECT through_game FROM totals_state) GROUP BY g.mode, g.player, s.kana "
    "ON CONFLICT (mode, player, kana) DO UPDATE SET typed = kana_totals.typed + excluded.typed, "
    "missed = kana_totals.missed + excluded.missed, ms = kana_totals.ms + excluded.ms, "
    "first = kana_totals.first + excluded.first, first_ms = kana_totals.first_ms + excluded.first_ms, "
    "miss_ms = kana_totals.miss_ms + excluded.miss_ms",
    "UPDATE totals_state SET through_game = (SELECT COALESCE(MAX(id), 0) FROM games)",
};
constexpr int Version = 2;

QString modeName(bool kanaMode)
{
    return kanaMode ? QStringLiteral("kana") : QStringLiteral("letters");
}

// Qt binds a null text as NULL, which the columns refuse: a player who never
// gave a name plays under the empty one.
QVariant text(const QString &s)
{
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

}

GameDatabase::GameDatabase(const QString &path, bool readOnly)
    : m_path(path), m_readOnly(readOnly),
      // Unique in the process: the chart's library keeps copies of this code,
      // and Qt's list of connections is one for all of them.
      m_connection(QStringLiteral("kolrin-db-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

GameDatabase::~GameDatabase()
{
    close();
}

void GameDatabase::close()
{
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
    if (m_state == State::Open)
        m_state = State::Closed;
}

GameDatabase::Failure GameDatabase::failureOf(const QSqlError &error)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case NotADatabase:
    case Corrupt:
        return {Fault::Broken, {}};
    case Busy:
    case Locked:
        return {Fault::Locked, QStringLiteral("ほかのプログラムが使用中です。")};
    case Full:
        return {Fault::Failed, TextFile::reason(ENOSPC)};
    case IoError:
        return {Fault::Failed, TextFile::reason(EIO)};
    default:
        return {Fault::Unusable, error.databaseText()};
    }
}

GameDatabase::Failure GameDatabase::open()
{
    if (m_state == State::Open)
        return {};
    if (m_state == State::Unusable)
        return {Fault::Unusable, {}};
    Failure failure = openFile();
    if (!failure)
        failure = setUp();
    if (failure)
        close();
    else
        m_state = State::Open;
    return failure;
}

GameDatabase::Failure GameDatabase::openFile()
{
    const QByteArray native = QFile::encodeName(m_path);
    struct stat st;
    if (::stat(native.constData(), &st) == 0) {
        // SQLite would wait on a FIFO and take a folder for a missing file.
        if (!S_ISREG(st.st_mode))
            return {Fault::Unusable, TextFile::reason(S_ISDIR(st.st_mode) ? EISDIR : TextFile::NotAFile)};
        if (::access(native.constData(), m_readOnly ? R_OK : R_OK | W_OK) != 0)
            return {Fault::Unusable, TextFile::reason(errno)};
    } else if (m_readOnly) {
        return {Fault::Unusable, TextFile::reason(ENOENT)};
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!m_db.open())
        return {Fault::Unusable, m_db.lastError().databaseText()};
    return {};
}

// Statements of one step of the set-up, all or none.
GameDatabase::Failure GameDatabase::transaction(QSqlQuery &query, std::initializer_list<std::span<const char *const>> steps)
{
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failureOf(query.lastError());
    for (const std::span<const char *const> &step : steps) {
        for (const char *statement : step) {
            if (!query.exec(QString::fromLatin1(statement))) {
                const Failure failure = failureOf(query.lastError());
                query.exec(QStringLiteral("ROLLBACK"));
                return failure;
            }
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const Failure failure = failureOf(query.lastError());
        query.exec(QStringLiteral("ROLLBACK"));
        return failure;
    }
    return {};
}

// A new file gets the schema and a file of the version before is brought up
// to this one; one of another program, or of a later version of the game, is
// left as it is. A reader reads a file of the version before as it is.
GameDatabase::Failure GameDatabase::setUp()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failureOf(query.lastError());
    m_version = query.value(0).toInt();
    if (m_version == Version)
        return setUpTotals();
    if (m_version > Version)
        return {Fault::Unusable, QStringLiteral("新しい版の Kolrin が作ったファイルです。")};
    if (m_version == 1) {
        if (m_readOnly)
            return setUpTotals();
        if (Failure failure = transaction(query, {Migration, Totals, Fold}))
            return failure;
        m_version = Version;
        return setUpTotals();
    }
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
        return failureOf(query.lastError());
    if (query.value(0).toInt() != 0 || m_readOnly)
        return {Fault::Unusable, QStringLiteral("Kolrin のゲームの記録ではありません。")};
    // Readers never keep the writer waiting, nor the writer them.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")))
        return failureOf(query.lastError());
    if (Failure failure = transaction(query, {Schema}))
        return failure;
    m_version = Version;
    return setUpTotals();
}

// A reader uses the totals where the writer made them; a writer makes them in
// a file that lacks them (one made by another program).
GameDatabase::Failure GameDatabase::setUpTotals()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'totals_state'"))
        || !query.next())
        return failureOf(query.lastError());
    m_totals = query.value(0).toInt() == 1;
    if (m_totals || m_readOnly)
        return {};
    for (const char *statement : Totals) {
        if (!query.exec(QString::fromLatin1(statement)))
            return failureOf(query.lastError());
    }
    m_totals = true;
    return {};
}

GameDatabase::Failure GameDatabase::write(const GameRecord &game)
{
    if (Failure failure = open())
        return failure;
    QSqlQuery query(m_db);
    const auto failed = [&query](const QSqlError &error) {
        const Failure failure = failureOf(error);
        query.exec(QStringLiteral("ROLLBACK"));
        return failure;
    };
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failureOf(query.lastError());
    query.prepare(QStringLiteral(
        "INSERT INTO games (mode, player, started_at, ended_at, level, keys, misses, played_ms, "
        "other_spellings, uid, lesson) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QString uid =
        game.uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : game.uid;
    for (const QVariant &value :
         {QVariant(modeName(game.kanaMode)), text(game.player), text(game.startedAt),
          text(game.endedAt), QVariant(game.level), QVariant(game.keys), QVariant(game.misses),
          QVariant(game.playedMs), QVariant(int(game.otherSpellings)), QVariant(uid),
          QVariant(int(game.lesson))})
        query.addBindValue(value);
    if (!query.exec())
        return failed(query.lastError());
    const qint64 id = query.lastInsertId().toLongLong();
    const struct
    {
        const char *insert;
        const KeyTallies &tallies;
    } tables[] = {
        {"INSERT INTO key_stats (game_id, key, typed, missed, ms, first, first_ms, miss_ms) "
         "VALUES (?, ?, ?, ?, ?, ?, ?, ?)", game.keyStats},
        {"INSERT INTO kana_stats (game_id, kana, typed, missed, ms, first, first_ms, miss_ms) "
         "VALUES (?, ?, ?, ?, ?, ?, ?, ?)", game.kanaStats},
    };
    for (const auto &table : tables) {
        if (table.tallies.isEmpty())
            continue;
        query.prepare(QString::fromLatin1(table.insert));
        for (auto it = table.tallies.cbegin(); it != table.tallies.cend(); ++it) {
            query.addBindValue(id);
            query.addBindValue(it.key());
            query.addBindValue(it->typed);
            query.addBindValue(it->missed);
            query.addBindValue(it->ms);
            query.addBindValue(it->first);
            query.addBindValue(it->firstMs);
            query.addBindValue(it->missMs);
            if (!query.exec())
                return failed(query.lastError());
        }
    }
    for (const char *statement : Fold) {
        if (!query.exec(QString::fromLatin1(statement)))
            return failed(query.lastError());
    }
    if (!query.exec(QStringLiteral("COMMIT")))
        return failed(query.lastError());
    return {};
}

GameDatabase::Outcome GameDatabase::add(const GameRecord &game, const QDateTime &now)
{
    Outcome outcome;
    if (m_state == State::Unusable)
        return outcome;
    Failure failure = write(game);
    QString renamed;
    if (failure.fault == Fault::Broken) {
        close();
        renamed = setAside(now);
        failure = renamed.isEmpty() ? Failure{Fault::Unusable, QStringLiteral("名前を変えられません。")}
                                    : write(game);
        if (failure.fault == Fault::Broken)
            failure.fault = Fault::Unusable;
    }
    QStringList told;
    if (!renamed.isEmpty()) {
        told << QStringLiteral("ゲームの記録が壊れていたので、名前を変えて残し、新しく始めました。\n%1")
                    .arg(QDir::toNativeSeparators(renamed));
    }
    const QString path = QDir::toNativeSeparators(m_path);
    switch (failure.fault) {
    case Fault::None:
        outcome.written = true;
        break;
    case Fault::Unusable:
    case Fault::Broken:
        close();
        m_state = State::Unusable;
        told << QStringLiteral("ゲームの記録を保存できません。今回はゲームを記録しません。\n%1\n%2")
                    .arg(path, failure.reason);
        break;
    case Fault::Locked:
    case Fault::Failed:
        told << QStringLiteral("このゲームを記録できませんでした。\n%1\n%2").arg(path, failure.reason);
        break;
    }
    outcome.message = told.join(QStringLiteral("\n\n"));
    return outcome;
}

// The damaged file keeps its contents under a name of its own, with whatever
// SQLite kept beside it, so that a new file at the old name starts clean.
QString GameDatabase::setAside(const QDateTime &now)
{
    const QString base = m_path + QStringLiteral(".broken-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = base;
    for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
        aside = base + u'-' + QString::number(n);
    if (!QFile::rename(m_path, aside))
        return {};
    for (const char *side : {"-wal", "-shm", "-journal"}) {
        const QString sidePath = m_path + QLatin1String(side);
        if (QFileInfo::exists(sidePath))
            QFile::rename(sidePath, aside + QLatin1String(side));
    }
    return aside;
}

QSqlQuery GameDatabase::select(const QString &sql, const Games &games) const
{
    QString ids = QStringLiteral("SELECT id FROM games WHERE mode = ?");
    if (games.player)
        ids += QStringLiteral(" AND player = ?");
    if (games.last > 0)
        ids += QStringLiteral(" ORDER BY id DESC LIMIT %1").arg(games.last);
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(sql.arg(ids));
    query.addBindValue(modeName(games.kanaMode));
    if (games.player)
        query.addBindValue(text(*games.player));
    query.exec();
    return query;
}

KeyTallies GameDatabase::tallies(Stats stats, const Games &games)
{
    KeyTallies tallies;
    if (open())
        return tallies;
    const QString column = stats == Stats::Keys ? QStringLiteral("key") : QStringLiteral("kana");
    // A version 1 file, read as it is, has no timing columns.
    const QString timing = m_version >= 2 ? QStringLiteral("first, first_ms, miss_ms")
                                          : QStringLiteral("0 AS first, 0 AS first_ms, 0 AS miss_ms");
    const QString sums = QStringLiteral("SUM(typed), SUM(missed), SUM(ms), SUM(first), SUM(first_ms), SUM(miss_ms)");
    QSqlQuery query;
    if (games.last == 0 && m_totals) {
        // All games: the totals, and the stats of games not folded into them
        // yet, found from the stats' end (CROSS JOIN keeps SQLite from going
        // through every game of the mode instead).
        QString where = QStringLiteral("mode = ?");
        if (games.player)
            where += QStringLiteral(" AND player = ?");
        const QString sql = QStringLiteral(
            "SELECT %1, %5 FROM ("
            "SELECT %1, typed, missed, ms, %6 FROM %2_totals WHERE %3 UNION ALL "
            "SELECT s.%1, s.typed, s.missed, s.ms, %7 FROM %2_stats s CROSS JOIN games g "
            "WHERE s.game_id > (SELECT through_game FROM totals_state) AND g.id = s.game_id AND g.%4) t "
            "GROUP BY %1")
            .arg(column, column, where, QString(where).replace(QStringLiteral(" AND "), QStringLiteral(" AND g.")),
                 sums, timing,
                 m_version >= 2 ? QStringLiteral("s.first, s.first_ms, s.miss_ms") : timing);
        query = QSqlQuery(m_db);
        query.setForwardOnly(true);
        query.prepare(sql);
        for (int twice = 0; twice < 2; ++twice) {
            query.addBindValue(modeName(games.kanaMode));
            if (games.player)
                query.addBindValue(text(*games.player));
        }
        query.exec();
    } else {
        query = select(QStringLiteral("SELECT %1, %2 FROM (SELECT %1, typed, missed, ms, %3 FROM %1_stats "
                                      "WHERE game_id IN (%4)) t GROUP BY %1")
                           .arg(column, sums, timing, QStringLiteral("%1")),
                       games);
    }
    while (query.next()) {
        KeyTally tally{query.value(1).toLongLong(), query.value(2).toLongLong(),
                       query.value(3).toLongLong()};
        tally.first = query.value(4).toLongLong();
        tally.firstMs = query.value(5).toLongLong();
        tally.missMs = query.value(6).toLongLong();
        tallies.insert(query.value(0).toString(), tally);
    }
    return tallies;
}

QSqlDatabase GameDatabase::connection()
{
    if (m_state == State::Unusable || open())
        return {};
    return m_db;
}

bool GameDatabase::forEachGame(const Games &games, const GameFigures &onGame)
{
    if (open())
        return false;
    QSqlQuery query = select(QStringLiteral("SELECT keys, misses, played_ms FROM games "
                                            "WHERE id IN (%1) ORDER BY id"), games);
    if (!query.isActive())
        return false;
    while (query.next())
        onGame(query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toLongLong());
    return true;
}
