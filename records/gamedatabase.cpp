#include "records/gamedatabase.h"

#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <QVariant>

#include <cerrno>
#include <limits>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// SQLite's primary result codes, as Qt's driver hands them on.
enum SqliteCode {
    Perm = 3,
    Busy = 5,
    Locked = 6,
    NoMemory = 7,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Auth = 23,
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

// The games of a mode and player in order, with the figures the chart reads of
// each: a player's 50,000 games are read from the index alone.
#define KOLRIN_GAMES_INDEX                                                                     \
    "CREATE INDEX games_mode_player ON games (mode, player, id, keys, misses, played_ms)"

// Tables a version 1 file lacks, made alike in a new file and in a migrated one.
#define KOLRIN_NEW_TABLES                                                                      \
    "CREATE TABLE lesson_keys (mode TEXT NOT NULL, player TEXT NOT NULL, key TEXT NOT NULL, "    \
    "unlocked_at TEXT NOT NULL, PRIMARY KEY (mode, player, key))",                               \
        "CREATE TABLE class_sent (game_id INTEGER PRIMARY KEY REFERENCES games(id), "            \
        "sent_at TEXT NOT NULL)"

const char *const Schema[] = {
    "CREATE TABLE games " KOLRIN_GAMES_COLUMNS,
    KOLRIN_GAMES_INDEX,
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
    KOLRIN_GAMES_INDEX,
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

// A file of this version made before the index held the figures gets them at
// its first write.
const char *const WidenIndex[] = {
    "DROP INDEX games_mode_player",
    KOLRIN_GAMES_INDEX,
};

// Every game's figures summed per mode, player and key, so that the figures of
// all games cost a few hundred rows rather than millions. Derived from the
// tables above: games past totals_state.through_game (written by another
// program, say) are folded in at the game's next write, and read from the
// stats tables until then. totals_state also keeps how many games the totals
// hold and their sums, so that totals that no longer match the games (a game
// deleted, a total changed, a set-up cut short) are noticed at open, read past
// and made again.
const char *const Totals[] = {
    "CREATE TABLE IF NOT EXISTS key_totals (mode TEXT NOT NULL, player TEXT NOT NULL, "
    "key TEXT NOT NULL, typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, "
    KOLRIN_TIMING_COLUMNS ", PRIMARY KEY (mode, player, key))",
    "CREATE TABLE IF NOT EXISTS kana_totals (mode TEXT NOT NULL, player TEXT NOT NULL, "
    "kana TEXT NOT NULL, typed INTEGER NOT NULL, missed INTEGER NOT NULL, ms INTEGER NOT NULL, "
    KOLRIN_TIMING_COLUMNS ", PRIMARY KEY (mode, player, kana))",
    "CREATE TABLE IF NOT EXISTS totals_state (through_game INTEGER NOT NULL, "
    "folded_games INTEGER NOT NULL DEFAULT 0, key_sum INTEGER NOT NULL DEFAULT 0, "
    "kana_sum INTEGER NOT NULL DEFAULT 0)",
    "INSERT INTO totals_state (through_game) SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM totals_state)",
};

// Totals made afresh from the stats, in one transaction with the fold.
const char *const Rebuild[] = {
    "DROP TABLE IF EXISTS key_totals",
    "DROP TABLE IF EXISTS kana_totals",
    "DROP TABLE IF EXISTS totals_state",
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
    "UPDATE totals_state SET "
    "folded_games = folded_games + (SELECT count(*) FROM games WHERE id > totals_state.through_game), "
    "key_sum = key_sum + (SELECT COALESCE(SUM(s.typed + s.missed + s.ms), 0) FROM key_stats s "
    "JOIN games g ON g.id = s.game_id WHERE s.game_id > totals_state.through_game), "
    "kana_sum = kana_sum + (SELECT COALESCE(SUM(s.typed + s.missed + s.ms), 0) FROM kana_stats s "
    "JOIN games g ON g.id = s.game_id WHERE s.game_id > totals_state.through_game)",
    "UPDATE totals_state SET through_game = (SELECT COALESCE(MAX(id), 0) FROM games)",
};

// Counting the games reads the smallest index, not the rows; the sums of the
// totals are a few hundred rows.
const char *const TotalsAgree =
    "SELECT (SELECT count(*) FROM totals_state) = 1 AND "
    "s.folded_games + (SELECT count(*) FROM games WHERE id > s.through_game) = (SELECT count(*) FROM games) "
    "AND s.key_sum = (SELECT COALESCE(SUM(typed + missed + ms), 0) FROM key_totals) "
    "AND s.kana_sum = (SELECT COALESCE(SUM(typed + missed + ms), 0) FROM kana_totals) "
    "FROM totals_state s";

constexpr int Version = 2;

// Qt binds a null text as NULL, which the columns refuse: a player who never
// gave a name plays under the empty one.
QVariant text(const QString &s)
{
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

}

QString GameDatabase::modeName(bool kanaMode, bool kanaInput)
{
    if (kanaMode && kanaInput)
        return QStringLiteral("kanainput");
    return kanaMode ? QStringLiteral("kana") : QStringLiteral("letters");
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
    // Games the pending file could not take when they came get one more try.
    if (m_keptChanged)
        saveKept();
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

GameDatabase::Failure GameDatabase::failureOf(const QSqlError &error) const
{
    const int code = error.nativeErrorCode().toInt();
    switch (code & 0xff) {
    case NotADatabase:
    case Corrupt:
        return {Fault::Broken, {}};
    case Busy:
    case Locked:
        return {Fault::Locked, QStringLiteral("ほかのプログラムが使用中です。")};
    case Full:
        return {Fault::Failed, TextFile::reason(ENOSPC)};
    case IoError: {
        // A write that found no room comes back from SQLite as an error of the disk.
        struct statvfs fs;
        const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
        const bool full = ::statvfs(folder.constData(), &fs) == 0 && fs.f_bavail == 0;
        return {Fault::Failed, TextFile::reason(full ? ENOSPC : EIO)};
    }
    case ReadOnly:
        return {Fault::Unusable, QStringLiteral("読み取り専用になっていて書き込めません。")};
    case Perm:
    case Auth:
        return {Fault::Unusable, TextFile::reason(EACCES)};
    case CantOpen: {
        // Its folder, where SQLite keeps its log beside it, is the likely cause.
        const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
        if (::access(folder.constData(), m_readOnly ? R_OK | X_OK : R_OK | W_OK | X_OK) != 0)
            return {Fault::Unusable, TextFile::reason(errno)};
        return {Fault::Unusable, QStringLiteral("ファイルを開けません。")};
    }
    case NoMemory:
        return {Fault::Failed, TextFile::reason(ENOMEM)};
    default:
        return {Fault::Unusable, QStringLiteral("Kolrin のゲームの記録として使えません (SQLite のエラー %1)。")
                                     .arg(code)};
    }
}

GameDatabase::Failure GameDatabase::open()
{
    if (m_state == State::Open)
        return {};
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
    } else if (m_readOnly || errno != ENOENT) {
        return {Fault::Unusable, TextFile::reason(errno)};
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyMs));
    if (!m_db.open())
        return failureOf(m_db.lastError());
    return {};
}

GameDatabase::Failure GameDatabase::inTransaction(const std::function<Failure(QSqlQuery &)> &steps)
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failureOf(query.lastError());
    Failure failure = steps(query);
    if (!failure && !query.exec(QStringLiteral("COMMIT")))
        failure = failureOf(query.lastError());
    if (failure)
        query.exec(QStringLiteral("ROLLBACK"));
    return failure;
}

// A new file gets the schema and a file of the version before is brought up
// to this one; one of another program, or of a later version of the game, is
// left as it is, though a reader reads what it can of it, and a file of the
// version before as it is.
GameDatabase::Failure GameDatabase::setUp()
{
    QSqlQuery query(m_db);
    // Nothing a file brings (a view's or trigger's functions) runs here.
    query.exec(QStringLiteral("PRAGMA trusted_schema = OFF"));
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failureOf(query.lastError());
    m_version = query.value(0).toInt();
    // A statement left open keeps its tables from being changed.
    query.finish();
    if (m_version > Version) {
        m_totals = false;
        if (m_readOnly)
            return {};
        return {Fault::Unusable, QStringLiteral("新しい版の Kolrin が作ったファイルです。")};
    }
    if (m_version == 1 && !m_readOnly) {
        // Nothing of another program's may run while its tables are rebuilt.
        if (Failure failure = foreignSchema(false))
            return failure;
        if (Failure failure = inTransaction([this](QSqlQuery &q) { return run(q, {Migration, Totals, Fold}); }))
            return failure;
        m_version = Version;
    }
    if (m_version == Version || m_version == 1) {
        if (!m_readOnly) {
            if (Failure failure = foreignSchema(true))
                return failure;
            if (Failure failure = widenIndex())
                return failure;
        }
        return setUpTotals();
    }
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
        return failureOf(query.lastError());
    const bool empty = query.value(0).toInt() == 0;
    query.finish();
    if (!empty || m_readOnly)
        return {Fault::Unusable, QStringLiteral("Kolrin のゲームの記録ではありません。")};
    // Readers never keep the writer waiting, nor the writer them.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")))
        return failureOf(query.lastError());
    query.finish();
    // All of it or nothing: a set-up cut short leaves an empty file.
    if (Failure failure = inTransaction([this](QSqlQuery &q) { return run(q, {Schema, Totals, Fold}); }))
        return failure;
    m_version = Version;
    return setUpTotals();
}

// Only the index as the game made it before; one another program changed is
// left as it is. A reader reads either.
GameDatabase::Failure GameDatabase::widenIndex()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM pragma_index_info('games_mode_player')")) || !query.next())
        return failureOf(query.lastError());
    const bool narrow = query.value(0).toInt() == 2;
    query.finish();
    if (!narrow)
        return {};
    return inTransaction([this](QSqlQuery &q) { return run(q, {WidenIndex}); });
}

GameDatabase::Failure GameDatabase::run(QSqlQuery &query, std::initializer_list<std::span<const char *const>> steps)
{
    for (const std::span<const char *const> &step : steps) {
        for (const char *statement : step) {
            if (!query.exec(QString::fromLatin1(statement)))
                return failureOf(query.lastError());
        }
    }
    return {};
}

namespace {
// Each table, index, view and trigger, and each column of a table, as a line.
QStringList describe(const QSqlDatabase &db, bool *ok)
{
    QStringList lines;
    QSqlQuery objects(db);
    *ok = objects.exec(QStringLiteral("SELECT type, name, tbl_name FROM sqlite_master "
                                      "WHERE name NOT LIKE 'sqlite_stat%' ORDER BY name"));
    QSqlQuery columns(db);
    while (*ok && objects.next()) {
        const QString type = objects.value(0).toString();
        const QString name = objects.value(1).toString();
        lines << type + u'\t' + name + u'\t' + objects.value(2).toString();
        if (type != u"table")
            continue;
        columns.prepare(QStringLiteral("SELECT name, type, \"notnull\", pk, COALESCE(dflt_value, '') "
                                       "FROM pragma_table_info(?)"));
        columns.addBindValue(name);
        *ok = columns.exec();
        while (*ok && columns.next()) {
            lines << QStringLiteral("column\t%1.%2\t%3 %4 %5 %6")
                         .arg(name, columns.value(0).toString(), columns.value(1).toString(),
                              columns.value(2).toString(), columns.value(3).toString(),
                              columns.value(4).toString());
        }
    }
    return lines;
}

QString named(const QString &line)
{
    const QStringList parts = line.split(u'\t');
    const QString kind = parts[0];
    const QString name = parts.value(1);
    if (kind == u"column")
        return QStringLiteral("列「%1」").arg(name);
    if (kind == u"trigger")
        return QStringLiteral("トリガー「%1」").arg(name);
    if (kind == u"view")
        return QStringLiteral("ビュー「%1」").arg(name);
    if (kind == u"index")
        return QStringLiteral("索引「%1」").arg(name);
    return QStringLiteral("表「%1」").arg(name);
}
}

// The file's schema against what this version makes, built from the same
// statements in a database of memory. `whole`: every object and column must
// be known; otherwise only no view or trigger may be there (a file of an
// earlier version, before it is brought up to date).
GameDatabase::Failure GameDatabase::foreignSchema(bool whole)
{
    bool ok = false;
    const QStringList found = describe(m_db, &ok);
    if (!ok)
        return {Fault::Unusable, QStringLiteral("Kolrin のゲームの記録ではありません。")};
    QStringList model;
    if (whole) {
        const QString name = m_connection + QStringLiteral("-model");
        {
            QSqlDatabase memory = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            memory.setDatabaseName(QStringLiteral(":memory:"));
            if (memory.open()) {
                QSqlQuery query(memory);
                for (const char *statement : Schema)
                    query.exec(QString::fromLatin1(statement));
                for (const char *statement : Totals)
                    query.exec(QString::fromLatin1(statement));
                model = describe(memory, &ok);
            }
        }
        QSqlDatabase::removeDatabase(name);
    }
    QStringList unknown;
    for (const QString &line : found) {
        const bool strange = whole ? !model.contains(line)
                                   : line.startsWith(u"view\t") || line.startsWith(u"trigger\t");
        if (strange)
            unknown << named(line);
    }
    if (unknown.isEmpty())
        return {};
    unknown.removeDuplicates();
    return {Fault::Unusable, QStringLiteral("Kolrin が作らないものがあるため、書き込みません: %1")
                                 .arg(unknown.mid(0, 5).join(QStringLiteral("、")))};
}

bool GameDatabase::totalsAgree(Failure *damage)
{
    QSqlQuery query(m_db);
    if (query.exec(QString::fromLatin1(TotalsAgree)) && query.next())
        return query.value(0).toInt() == 1;
    // Counting the games reads their index: a damaged one is no reason to
    // write anything.
    const Failure failure = failureOf(query.lastError());
    if (failure.fault == Fault::Broken)
        *damage = failure;
    return false;
}

// A reader uses the totals where they agree with the games; a writer makes
// them again where they do not, or are missing (a file of another program, a
// set-up cut short), all in one transaction.
GameDatabase::Failure GameDatabase::setUpTotals()
{
    Failure damage;
    m_totals = totalsAgree(&damage);
    if (damage && !m_readOnly)
        return damage;
    if (m_totals || m_readOnly)
        return {};
    if (Failure failure = inTransaction([this](QSqlQuery &query) { return run(query, {Rebuild, Totals, Fold}); }))
        return failure;
    m_totals = true;
    return {};
}

GameDatabase::Failure GameDatabase::write(const GameRecord &game)
{
    if (Failure failure = open())
        return failure;
    return inTransaction([this, &game](QSqlQuery &query) -> Failure {
        // A game kept and written twice (its first commit told as failed, say)
        // is there once: its uid names it.
        query.prepare(QStringLiteral(
            "INSERT INTO games (mode, player, started_at, ended_at, level, keys, misses, played_ms, "
            "other_spellings, uid, lesson) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
            "ON CONFLICT (uid) DO NOTHING"));
        const QString uid =
            game.uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : game.uid;
        for (const QVariant &value :
             {QVariant(modeName(game.kanaMode, game.kanaInput)), text(game.player), text(game.startedAt),
              text(game.endedAt), QVariant(game.level), QVariant(game.keys), QVariant(game.misses),
              QVariant(game.playedMs), QVariant(int(game.otherSpellings)), QVariant(uid),
              QVariant(int(game.lesson))})
            query.addBindValue(value);
        if (!query.exec())
            return failureOf(query.lastError());
        if (query.numRowsAffected() == 0)
            return Failure{};
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
                    return failureOf(query.lastError());
            }
        }
        for (const char *statement : Fold) {
            if (!query.exec(QString::fromLatin1(statement)))
                return failureOf(query.lastError());
        }
        return {};
    });
}

GameDatabase::Outcome GameDatabase::add(const GameRecord &game, const QDateTime &now)
{
    readKept();
    m_kept.append(game);
    m_keptChanged = true;
    return writeKept(now);
}

GameDatabase::Outcome GameDatabase::addKept(const QDateTime &now)
{
    readKept();
    if (m_kept.isEmpty())
        return {};
    // Waiting on a lock is for a game just played, not for a retry.
    m_busyMs = 0;
    if (m_db.isOpen())
        QSqlQuery(m_db).exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    Outcome outcome = writeKept(now);
    m_busyMs = BusyTimeoutMs;
    if (m_db.isOpen())
        QSqlQuery(m_db).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(BusyTimeoutMs));
    return outcome;
}

qsizetype GameDatabase::keptGames()
{
    readKept();
    return m_kept.size();
}

GameDatabase::Outcome GameDatabase::writeKept(const QDateTime &now)
{
    Outcome outcome;
    QStringList told;
    Failure failure;
    while (!m_kept.isEmpty()) {
        failure = write(m_kept.first());
        if (failure.fault == Fault::Broken) {
            close();
            const QString aside = setAside(now);
            if (aside.isEmpty()) {
                failure = {Fault::Unusable, QStringLiteral("壊れたファイルの名前を変えられません。")};
            } else {
                const qint64 saved = salvage(aside);
                told << QStringLiteral("ゲームの記録が壊れていたので、名前を変えて残し、新しく始めました。\n%1\n%2")
                            .arg(saved > 0 ? QStringLiteral("読み出せた %1 ゲームを新しい記録に移しました。").arg(saved)
                                           : QStringLiteral("読み出せたゲームはありませんでした。"),
                                 QDir::toNativeSeparators(aside));
                failure = write(m_kept.first());
                if (failure.fault == Fault::Broken)
                    failure.fault = Fault::Unusable;
            }
        }
        if (failure)
            break;
        m_kept.removeFirst();
        m_keptChanged = true;
        outcome.written = true;
    }
    if (m_keptChanged)
        saveKept();
    if (!failure) {
        m_told = false;
    } else {
        close();
        outcome.retrySoon = failure.fault == Fault::Locked || failure.fault == Fault::Failed;
        if (!m_told) {
            m_told = true;
            QString text = outcome.retrySoon
                ? QStringLiteral("このゲームはまだ記録できません。ゲームは失わずに取っておき、記録できるようになったら記録します。")
                : QStringLiteral("ゲームの記録に書き込めません。ゲームは失わずに取っておき、書き込めるようになったら記録します。");
            text += QStringLiteral("\n%1\n%2").arg(QDir::toNativeSeparators(m_path), failure.reason);
            if (!m_keptError.isEmpty()) {
                text += QStringLiteral("\n\n取っておくファイルにも書き込めないため、終了までに記録できなければ失われます。\n%1\n%2")
                            .arg(QDir::toNativeSeparators(keptPath(m_path)), m_keptError);
            }
            told << text;
        }
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

// Copies every row of the damaged file that can still be read into the new
// one: each table read without its indexes, in the order of its rows, and
// past a part that cannot be read by seeking ever further ahead. The damaged
// file is only read. Returns the games saved.
qint64 GameDatabase::salvage(const QString &aside)
{
    if (open())
        return 0;
    const QString name = m_connection + QStringLiteral("-damaged");
    // Reading it may make SQLite's files beside it; only those go again.
    QStringList made;
    for (const char *side : {"-wal", "-shm"}) {
        if (!QFileInfo::exists(aside + QLatin1String(side)))
            made << aside + QLatin1String(side);
    }
    qint64 saved = 0;
    {
        QSqlDatabase damaged = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        damaged.setDatabaseName(aside);
        damaged.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (damaged.open()) {
            QSqlQuery(damaged).exec(QStringLiteral("PRAGMA trusted_schema = OFF"));
            const auto copy = [&](const QString &table) -> qint64 {
                // The columns both files have, by name.
                QSqlQuery columns(m_db);
                columns.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
                columns.addBindValue(table);
                columns.exec();
                QStringList mine;
                while (columns.next())
                    mine << columns.value(0).toString();
                QSqlQuery theirs(damaged);
                theirs.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
                theirs.addBindValue(table);
                QStringList both;
                if (theirs.exec()) {
                    while (theirs.next()) {
                        if (mine.contains(theirs.value(0).toString()))
                            both << u'"' + theirs.value(0).toString() + u'"';
                    }
                }
                if (both.isEmpty())
                    return 0;
                const QString list = both.join(u',');
                // Games of a file of the version before get the unique id they lack.
                const bool newUid = mine.contains(QStringLiteral("uid")) && !both.contains(QStringLiteral("\"uid\""));
                QSqlQuery insert(m_db);
                insert.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (%2%4) VALUES (%3%5)")
                                   .arg(table, list, QStringList(both.size(), QStringLiteral("?")).join(u','),
                                        newUid ? QStringLiteral(",uid") : QString(),
                                        newUid ? QStringLiteral(",?") : QString()));
                const QString select = QStringLiteral("SELECT rowid, %1 FROM %2 NOT INDEXED WHERE rowid %3");
                QSqlQuery rows(damaged), one(damaged);
                rows.setForwardOnly(true);
                if (!rows.prepare(select.arg(list, table, QStringLiteral("> ? ORDER BY rowid")))
                    || !one.prepare(select.arg(list, table, QStringLiteral("= ?"))))
                    return 0;
                qint64 copied = 0;
                const auto keep = [&](const QSqlQuery &row) {
                    for (int i = 0; i < both.size(); ++i)
                        insert.bindValue(i, row.value(i + 1));
                    if (newUid)
                        insert.bindValue(int(both.size()), QUuid::createUuid().toString(QUuid::WithoutBraces));
                    if (insert.exec() && insert.numRowsAffected() > 0)
                        ++copied;
                };
                // Past a part that cannot be read, the rows after it are sought
                // ever further ahead; those between are then looked up one by one.
                constexpr qint64 Lookups = 4096;
                qint64 after = std::numeric_limits<qint64>::min();
                qint64 skip = 1;
                bool inGap = false;
                qint64 gapFrom = 0;
                for (int misses = 0; misses < 64;) {
                    rows.bindValue(0, after);
                    // The first row is read with the statement: it may fail as well.
                    while (rows.isActive() ? rows.next() : rows.exec() && rows.next()) {
                        const qint64 rowid = rows.value(0).toLongLong();
                        if (inGap) {
                            for (qint64 id = std::max(gapFrom, rowid - Lookups) + 1; id < rowid; ++id) {
                                one.bindValue(0, id);
                                if (one.exec() && one.next())
                                    keep(one);
                                one.finish();
                            }
                            inGap = false;
                        }
                        keep(rows);
                        after = rowid;
                        skip = 1;
                        misses = 0;
                    }
                    const bool failed = rows.lastError().isValid();
                    rows.finish();
                    if (!failed)
                        break; // the end of the table
                    if (!inGap) {
                        inGap = true;
                        gapFrom = after;
                    }
                    ++misses;
                    if (after > std::numeric_limits<qint64>::max() - skip)
                        break;
                    after += skip;
                    if (skip <= std::numeric_limits<qint64>::max() / 2)
                        skip *= 2;
                }
                return copied;
            };
            qint64 lastId = 0;
            QSqlQuery sequence(damaged);
            if (sequence.exec(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'games'")) && sequence.next())
                lastId = sequence.value(0).toLongLong();
            sequence.finish();
            inTransaction([&](QSqlQuery &query) -> Failure {
                saved = copy(QStringLiteral("games"));
                for (const char *table : {"key_stats", "kana_stats", "class_sent", "lesson_keys"})
                    copy(QString::fromLatin1(table));
                // Rows whose game was not saved: a game of the same id is never another.
                for (const char *table : {"key_stats", "kana_stats", "class_sent"}) {
                    query.exec(QStringLiteral("DELETE FROM %1 WHERE game_id NOT IN (SELECT id FROM games)")
                                   .arg(QString::fromLatin1(table)));
                }
                // Ids past the saved games' stay unused: the lost ones may be named elsewhere.
                query.exec(QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, %1) WHERE name = 'games'")
                               .arg(lastId));
                return run(query, {Fold});
            });
        }
    }
    QSqlDatabase::removeDatabase(name);
    for (const QString &side : std::as_const(made))
        QFile::remove(side);
    return saved;
}

// The pending file, beside the database: the games it could not take yet, as
// JSON, oldest first:
//   {"games": [{"mode": "letters", "player": "...", "started_at": "...",
//     "ended_at": "...", "level": 7, "keys": 40, "misses": 2,
//     "played_ms": 38500, "other_spellings": 0, "uid": "...", "lesson": 0,
//     "key_stats": [["A", typed, missed, ms, first, first_ms, miss_ms], ...],
//     "kana_stats": [...]}]}
// with the columns of the database's tables. It is replaced whole, never
// written in place, and removed once every game is in the database.
namespace {
QJsonArray tallyRows(const KeyTallies &tallies)
{
    QJsonArray rows;
    for (auto it = tallies.cbegin(); it != tallies.cend(); ++it)
        rows.append(QJsonArray{it.key(), it->typed, it->missed, it->ms, it->first, it->firstMs, it->missMs});
    return rows;
}

KeyTallies tallyRows(const QJsonArray &rows)
{
    KeyTallies tallies;
    for (const QJsonValue &value : rows) {
        const QJsonArray row = value.toArray();
        KeyTally tally{row.at(1).toInteger(), row.at(2).toInteger(), row.at(3).toInteger()};
        tally.first = row.at(4).toInteger();
        tally.firstMs = row.at(5).toInteger();
        tally.missMs = row.at(6).toInteger();
        tallies.insert(row.at(0).toString(), tally);
    }
    return tallies;
}
}

void GameDatabase::readKept()
{
    if (m_keptRead)
        return;
    m_keptRead = true;
    const QString path = keptPath(m_path);
    if (!TextFile::exists(path))
        return;
    const TextFile::ReadResult read = TextFile::readAll(path, 64 << 20);
    const QJsonDocument document = QJsonDocument::fromJson(read.bytes);
    if (!read.ok() || !document.isObject()) {
        // Never dropped: a file that cannot be read keeps its bytes aside.
        QFile::rename(path, path + QStringLiteral(".broken-")
                                + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
        return;
    }
    for (const QJsonValue &value : document.object().value(QStringLiteral("games")).toArray()) {
        const QJsonObject o = value.toObject();
        GameRecord game;
        const QString mode = o.value(QStringLiteral("mode")).toString();
        game.kanaInput = mode == u"kanainput";
        game.kanaMode = game.kanaInput || mode == u"kana";
        game.player = o.value(QStringLiteral("player")).toString();
        game.startedAt = o.value(QStringLiteral("started_at")).toString();
        game.endedAt = o.value(QStringLiteral("ended_at")).toString();
        game.level = o.value(QStringLiteral("level")).toInt();
        game.keys = o.value(QStringLiteral("keys")).toInteger();
        game.misses = o.value(QStringLiteral("misses")).toInteger();
        game.playedMs = o.value(QStringLiteral("played_ms")).toInteger();
        game.otherSpellings = o.value(QStringLiteral("other_spellings")).toInt() != 0;
        game.uid = o.value(QStringLiteral("uid")).toString();
        game.lesson = o.value(QStringLiteral("lesson")).toInt() != 0;
        game.keyStats = tallyRows(o.value(QStringLiteral("key_stats")).toArray());
        game.kanaStats = tallyRows(o.value(QStringLiteral("kana_stats")).toArray());
        m_kept.append(game);
    }
}

void GameDatabase::saveKept()
{
    const QString path = keptPath(m_path);
    if (m_kept.isEmpty()) {
        m_keptError.clear();
        m_keptChanged = !(QFile::remove(path) || !TextFile::exists(path));
        return;
    }
    QJsonArray games;
    for (const GameRecord &game : std::as_const(m_kept)) {
        games.append(QJsonObject{
            {QStringLiteral("mode"), modeName(game.kanaMode, game.kanaInput)},
            {QStringLiteral("player"), game.player},
            {QStringLiteral("started_at"), game.startedAt},
            {QStringLiteral("ended_at"), game.endedAt},
            {QStringLiteral("level"), game.level},
            {QStringLiteral("keys"), game.keys},
            {QStringLiteral("misses"), game.misses},
            {QStringLiteral("played_ms"), game.playedMs},
            {QStringLiteral("other_spellings"), int(game.otherSpellings)},
            {QStringLiteral("uid"), game.uid},
            {QStringLiteral("lesson"), int(game.lesson)},
            {QStringLiteral("key_stats"), tallyRows(game.keyStats)},
            {QStringLiteral("kana_stats"), tallyRows(game.kanaStats)},
        });
    }
    m_keptError = TextFile::replace(path, QJsonDocument(QJsonObject{{QStringLiteral("games"), games}})
                                              .toJson(QJsonDocument::Indented));
    m_keptChanged = !m_keptError.isEmpty();
}

QSqlQuery GameDatabase::select(const QString &sql, const Games &games) const
{
    // Everyone's last games come from the table's end, a few rows read: through
    // the (mode, player) index SQLite would sort every game of the mode first.
    QString ids = !games.player && games.last > 0 ? QStringLiteral("SELECT id FROM games WHERE +mode = ?")
                                                  : QStringLiteral("SELECT id FROM games WHERE mode = ?");
    if (games.player)
        ids += QStringLiteral(" AND player = ?");
    if (games.last > 0)
        ids += QStringLiteral(" ORDER BY id DESC LIMIT %1").arg(games.last);
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(sql.arg(ids));
    query.addBindValue(modeName(games.kanaMode, games.kanaInput));
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
            query.addBindValue(modeName(games.kanaMode, games.kanaInput));
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
    if (open())
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
