#include "records/keyhistory.h"

#include "platform/textfile.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cerrno>
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

void bindGames(QSqlQuery &query, const GameDatabase::Games &games)
{
    query.addBindValue(GameDatabase::modeName(games.kanaMode, games.kanaInput));
    if (games.player)
        query.addBindValue(games.player->isNull() ? QStringLiteral("") : *games.player);
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

bool KeyHistory::forEachGame(const GameDatabase::Games &games, const GameFigures &onGame,
                             const QStringList &named)
{
    QSqlDatabase connection = m_db.connection();
    if (!connection.isOpen())
        return false;
    // The index of the game's player in `named`, or -1.
    QString which = QStringLiteral("-1");
    if (!games.player && !named.isEmpty()) {
        which = QStringLiteral("CASE g.player");
        for (qsizetype i = 0; i < named.size(); ++i)
            which += QStringLiteral(" WHEN ? THEN %1").arg(i);
        which += QStringLiteral(" ELSE -1 END");
    }
    QSqlQuery query(connection);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1, g.keys, g.misses, g.played_ms FROM games g WHERE %2 ORDER BY g.id")
                      .arg(which, whereOf(games)));
    if (!games.player)
        for (const QString &name : named)
            query.addBindValue(name);
    bindGames(query, games);
    if (!query.exec())
        return false;
    const QString none;
    const QString &chosen = games.player ? *games.player : none;
    while (query.next()) {
        const int index = query.value(0).toInt();
        onGame(index >= 0 ? named[index] : chosen, query.value(1).toLongLong(), query.value(2).toLongLong(),
               query.value(3).toLongLong());
    }
    return true;
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
