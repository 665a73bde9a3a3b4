#include "records/classserver.h"

#include "records/gamedatabase.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
QAtomicInteger<quint64> connections;

const QString Driver = QStringLiteral("QPSQL");

// Words of libpq and the server when it will not let the role in; the server
// sends them before any SQLSTATE reaches Qt's driver.
bool isLoginRefusal(const QString &text)
{
    static const char *const words[] = {"password authentication failed", "no password supplied",
                                        "authentication failed", "does not exist",
                                        "permission denied", "pg_hba.conf"};
    for (const char *word : words)
        if (text.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

QString shown(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}
}

ClassServer::ClassServer(const ClassSettings &settings)
    : m_settings(settings),
      m_connection(QStringLiteral("kolrin-class-%1").arg(connections.fetchAndAddRelaxed(1)))
{
}

ClassServer::~ClassServer()
{
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

QString ClassServer::modeName(const GameRecord &game)
{
    return GameDatabase::modeName(game.kanaMode, game.kanaInput);
}

ClassServer::Answer ClassServer::failed(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    QString reason = error.databaseText().trimmed();
    if (reason.isEmpty())
        reason = error.text().trimmed();
    Answer answer{Status::Unreachable, reason};
    if (code.startsWith(QLatin1String("28")) || code == QLatin1String("42501")
        || code == QLatin1String("42P01") || code == QLatin1String("3D000"))
        answer.status = Status::LoginRefused;
    else if (code.startsWith(QLatin1String("23")) || code.startsWith(QLatin1String("22")))
        answer.status = Status::Refused;
    else if (code.isEmpty() && error.type() == QSqlError::ConnectionError && isLoginRefusal(reason))
        answer.status = Status::LoginRefused;
    if (answer.status == Status::Unreachable && m_db.isOpen())
        m_db.close(); // a broken connection is made afresh next time
    return answer;
}

ClassServer::Answer ClassServer::open()
{
    if (m_db.isOpen())
        return {};
    if (!m_db.isValid()) {
        if (!QSqlDatabase::isDriverAvailable(Driver))
            return {Status::Unreachable,
                    QStringLiteral("Qt SQL の PostgreSQL ドライバー (QPSQL) がありません。")};
        m_db = QSqlDatabase::addDatabase(Driver, m_connection);
        if (!m_settings.host.isEmpty())
            m_db.setHostName(m_settings.host);
        if (m_settings.port > 0)
            m_db.setPort(m_settings.port);
        if (!m_settings.database.isEmpty())
            m_db.setDatabaseName(m_settings.database);
        if (!m_settings.user.isEmpty())
            m_db.setUserName(m_settings.user);
        // Qt's driver joins these with blanks into libpq's connection string.
        QStringList options{QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutS),
                            QStringLiteral("sslmode=prefer"),
                            QStringLiteral("application_name=kolrin"),
                            QStringLiteral("options=-cstatement_timeout=%1").arg(StatementTimeoutMs)};
        if (!m_settings.service.isEmpty())
            options.prepend(QStringLiteral("service=") + m_settings.service);
        m_db.setConnectOptions(options.join(u';'));
    }
    if (!m_db.open())
        return failed(m_db.lastError());
    return {};
}

ClassServer::Answer ClassServer::check()
{
    if (Answer answer = open(); !answer.ok())
        return answer;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM class_results WHERE false")))
        return failed(query.lastError());
    return {};
}

ClassServer::Answer ClassServer::send(const GameRecord &game, bool *added)
{
    if (added)
        *added = false;
    if (Answer answer = open(); !answer.ok())
        return answer;
    if (!m_db.transaction())
        return failed(m_db.lastError());
    const auto rollBack = [this](const QSqlError &error) {
        const Answer answer = failed(error);
        if (m_db.isOpen())
            m_db.rollback();
        return answer;
    };
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral(
        "INSERT INTO games (uid, class, mode, player, started_at, ended_at, level, keys, misses,"
        " played_ms, other_spellings, lesson) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
        " ON CONFLICT DO NOTHING"));
    query.addBindValue(game.uid);
    query.addBindValue(m_settings.className);
    query.addBindValue(modeName(game));
    query.addBindValue(game.player.left(MaxNameLength));
    query.addBindValue(game.startedAt);
    query.addBindValue(game.endedAt);
    query.addBindValue(game.level);
    query.addBindValue(game.keys);
    query.addBindValue(game.misses);
    query.addBindValue(game.playedMs);
    query.addBindValue(game.otherSpellings);
    query.addBindValue(game.lesson);
    if (!query.exec())
        return rollBack(query.lastError());
    // Already there: its rows came with it the first time.
    const bool isNew = query.numRowsAffected() == 1;
    if (isNew) {
        for (const auto &[table, column, stats] :
             {std::tuple{"key_stats", "key", &game.keyStats},
              std::tuple{"kana_stats", "kana", &game.kanaStats}}) {
            if (stats->isEmpty())
                continue;
            QSqlQuery row(m_db);
            row.prepare(QStringLiteral("INSERT INTO %1 (game_uid, %2, typed, missed, ms, first,"
                                       " first_ms, miss_ms) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
                                       " ON CONFLICT DO NOTHING")
                            .arg(QLatin1String(table), QLatin1String(column)));
            for (auto it = stats->cbegin(); it != stats->cend(); ++it) {
                row.addBindValue(game.uid);
                row.addBindValue(it.key());
                row.addBindValue(it->typed);
                row.addBindValue(it->missed);
                row.addBindValue(it->ms);
                row.addBindValue(it->first);
                row.addBindValue(it->firstMs);
                row.addBindValue(it->missMs);
                if (!row.exec())
                    return rollBack(row.lastError());
            }
        }
    }
    if (!m_db.commit())
        return rollBack(m_db.lastError());
    if (added)
        *added = isNew;
    return {};
}

ClassServer::Answer ClassServer::ranking(const QString &mode, const QString &since, Ranking *ranking)
{
    *ranking = {};
    Answer answer = best(mode, since, &ranking->best);
    if (answer.ok())
        answer = players(mode, since, &ranking->players);
    return answer;
}

ClassServer::Answer ClassServer::read(QSqlQuery &query, QList<Row> *rows)
{
    if (!query.exec())
        return failed(query.lastError());
    while (query.next())
        rows->append({query.value(0).toInt(), query.value(1).toString(), shown(query.value(2).toDateTime())});
    return {};
}

ClassServer::Answer ClassServer::best(const QString &mode, const QString &since, QList<Row> *rows)
{
    rows->clear();
    if (Answer answer = open(); !answer.ok())
        return answer;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT level, player, ended_at FROM class_results"
                                 " WHERE class = ? AND mode = ? AND ended_at >= ?"
                                 " ORDER BY level DESC, ended_at LIMIT 30"));
    query.addBindValue(m_settings.className);
    query.addBindValue(mode);
    query.addBindValue(since.isEmpty() ? QStringLiteral("-infinity") : since);
    return read(query, rows);
}

ClassServer::Answer ClassServer::players(const QString &mode, const QString &since, QList<Row> *rows)
{
    rows->clear();
    if (Answer answer = open(); !answer.ok())
        return answer;
    // The players one after another down the index, then each one's best of
    // the period from the top of their games: a few index pages a player
    // rather than a pass over every game of the period.
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "WITH RECURSIVE names AS ("
        " (SELECT player FROM class_results WHERE class = ? AND mode = ? ORDER BY player LIMIT 1)"
        " UNION ALL"
        " SELECT (SELECT r.player FROM class_results r WHERE r.class = ? AND r.mode = ?"
        "         AND r.player > names.player ORDER BY r.player LIMIT 1)"
        " FROM names WHERE names.player IS NOT NULL)"
        " SELECT b.level, b.player, b.ended_at FROM names, LATERAL"
        " (SELECT level, player, ended_at FROM class_results r WHERE r.class = ? AND r.mode = ?"
        "  AND r.player = names.player AND r.ended_at >= ?"
        "  ORDER BY level DESC, ended_at LIMIT 1) b"
        " ORDER BY b.level DESC, b.ended_at, b.player"));
    for (int i = 0; i < 3; ++i) {
        query.addBindValue(m_settings.className);
        query.addBindValue(mode);
    }
    query.addBindValue(since.isEmpty() ? QStringLiteral("-infinity") : since);
    return read(query, rows);
}
