#include "records/keyhistory.h"

#include "platform/textfile.h"

#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cerrno>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A player's games come from the (mode, player, id, ...) index alone in the
// order they ended; everyone's come in that order from the table itself, where
// the index would have them all sorted.
QString whereOf(const GameDatabase::Games &games)
{
    return games.player ? QStringLiteral("g.mode = ? AND g.player = ?") : QStringLiteral("+g.mode = ?");
}

// What whereOf() asks, in its order.
QStringList valuesOf(const GameDatabase::Games &games)
{
    QStringList values{GameDatabase::modeName(games.kanaMode, games.kanaInput)};
    if (games.player)
        values << (games.player->isNull() ? QStringLiteral("") : *games.player);
    return values;
}

void bindGames(QSqlQuery &query, const GameDatabase::Games &games)
{
    for (const QString &value : valuesOf(games))
        query.addBindValue(value);
}

// SQLite's primary result codes, as Qt's driver hands them on.
QString reasonOf(const QSqlError &error)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5:  // busy
    case 6:  // locked
        return QStringLiteral("ほかのプログラムが使用中です。");
    case 11: // corrupt
    case 26: // not a database
        return QStringLiteral("ファイルが壊れているか、データベースではありません。");
    case 1:  // no such table or column
        return QStringLiteral("Kolrin のゲームの記録ではありません。");
    case 14: // cannot open
    case 23: // no permission
        return TextFile::reason(EACCES);
    case 10:
        return TextFile::reason(EIO);
    default:
        return QStringLiteral("ゲームの記録を読み込めませんでした。");
    }
}

}

KeyHistory::KeyHistory(GameDatabase &db) : m_db(db) {}

KeyProgress KeyHistory::progress(GameDatabase::Stats stats, const GameDatabase::Games &games,
                                 const QString &key)
{
    KeyProgressBuilder builder(key);
    QSqlDatabase connection = m_db.connection();
    if (!connection.isOpen())
        return builder.result();
    const bool keys = stats == GameDatabase::Stats::Keys;
    // Each game's row of the key found by its primary key.
    QSqlQuery query(connection);
    query.setForwardOnly(true);
    // A file of the first version, read as it is, has no times kept apart.
    for (const QString &timing : {QStringLiteral("s.first, s.first_ms, s.miss_ms"), QStringLiteral("0, 0, 0")}) {
        query.prepare(QStringLiteral("SELECT g.ended_at, s.typed, s.missed, s.ms, %1 "
                                     "FROM games g JOIN %2 s ON s.game_id = g.id AND s.%3 = ? "
                                     "WHERE %4 ORDER BY g.id")
                          .arg(timing, keys ? QStringLiteral("key_stats") : QStringLiteral("kana_stats"),
                               keys ? QStringLiteral("key") : QStringLiteral("kana"), whereOf(games)));
        query.addBindValue(key);
        bindGames(query, games);
        if (query.exec())
            break;
    }
    if (!query.isActive())
        return builder.result();
    while (query.next()) {
        KeyTally tally;
        tally.typed = query.value(1).toLongLong();
        tally.missed = query.value(2).toLongLong();
        tally.ms = query.value(3).toLongLong();
        tally.first = query.value(4).toLongLong();
        tally.firstMs = query.value(5).toLongLong();
        tally.missMs = query.value(6).toLongLong();
        builder.addGame(query.value(0).toString(), tally);
    }
    return builder.result();
}

// Straight through SQLite: a player's 50,000 games are read in half the time
// Qt's cached rows of variants take.
bool KeyHistory::forEachGame(const GameDatabase::Games &games, const GameFigures &onGame,
                             const QStringList &named, const std::function<bool()> &stop)
{
    QSqlDatabase connection = m_db.connection();
    if (!connection.isOpen())
        return false;
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *const db = *static_cast<sqlite3 *const *>(handle.constData());
    // The index of the game's player in `named`, or -1.
    QString which = QStringLiteral("-1");
    QStringList values;
    if (!games.player && !named.isEmpty()) {
        which = QStringLiteral("CASE g.player");
        for (qsizetype i = 0; i < named.size(); ++i)
            which += QStringLiteral(" WHEN ? THEN %1").arg(i);
        which += QStringLiteral(" ELSE -1 END");
        values = named;
    }
    values << valuesOf(games);
    const QByteArray sql = QStringLiteral("SELECT %1, g.keys, g.misses, g.played_ms FROM games g WHERE %2 ORDER BY g.id")
                               .arg(which, whereOf(games))
                               .toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (!db || sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        return false;
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> finish(statement, sqlite3_finalize);
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray text = values[i].toUtf8();
        if (sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
            return false;
    }
    const QString none;
    const QString &chosen = games.player ? *games.player : none;
    int step;
    for (unsigned rows = 1; (step = sqlite3_step(statement)) == SQLITE_ROW; ++rows) {
        if (rows % 4096 == 0 && stop && stop())
            return false;
        const int index = sqlite3_column_int(statement, 0);
        onGame(index >= 0 && index < named.size() ? named[index] : chosen, sqlite3_column_int64(statement, 1),
               sqlite3_column_int64(statement, 2), sqlite3_column_int64(statement, 3));
    }
    return step == SQLITE_DONE;
}

KeyHistory::Verdict KeyHistory::check(const QString &path, const GameDatabase::Games &games)
{
    Verdict verdict;
    if (path.isEmpty())
        return verdict;
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0) {
        if (errno != ENOENT)
            verdict = {false, 0, TextFile::reason(errno)};
        return verdict;
    }
    if (!S_ISREG(st.st_mode))
        return {false, 0, TextFile::reason(S_ISDIR(st.st_mode) ? EISDIR : TextFile::NotAFile)};
    if (::access(native.constData(), R_OK) != 0)
        return {false, 0, TextFile::reason(errno)};

    // A connection of its own that can change nothing, for a file the reader
    // of the tabs could not use.
    const QString name = QStringLiteral("kolrin-check-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1")
                                 .arg(GameDatabase::BusyTimeoutMs));
        if (!db.open()) {
            verdict = {false, 0, reasonOf(db.lastError())};
        } else if (QSqlQuery tables(db); !tables.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))
                   || !tables.next()) {
            verdict = {false, 0, reasonOf(tables.lastError())};
        } else if (tables.value(0).toLongLong() == 0) {
            // An empty file is what the game makes its database in.
        } else {
            QSqlQuery query(db);
            query.prepare(games.player ? QStringLiteral("SELECT count(*) FROM games g WHERE g.mode = ? AND g.player = ?")
                                       : QStringLiteral("SELECT count(*) FROM games g WHERE g.mode = ?"));
            bindGames(query, games);
            if (query.exec() && query.next())
                verdict.games = query.value(0).toLongLong();
            else
                verdict = {false, 0, reasonOf(query.lastError())};
        }
    }
    QSqlDatabase::removeDatabase(name);
    return verdict;
}
