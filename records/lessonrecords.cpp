#include "records/lessonrecords.h"

#include "records/gamedatabase.h"

#include <QSqlQuery>

namespace {
// Qt binds a null text as NULL, which the columns refuse.
QVariant text(const QString &s)
{
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}
}

LessonRecords::Lesson LessonRecords::read(bool kanaMode, const QString &player, int games, bool kanaInput)
{
    const QString mode = GameDatabase::modeName(kanaMode, kanaInput);
    Lesson lesson;
    QSqlDatabase db = m_db.connection();
    if (!db.isOpen())
        return lesson;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT key FROM lesson_keys WHERE mode = ? AND player = ?"));
    query.addBindValue(mode);
    query.addBindValue(text(player));
    if (!query.exec())
        return lesson;
    while (query.next())
        lesson.kept += query.value(0).toString();
    query.prepare(QStringLiteral(
        "SELECT game_id, key, typed, missed, ms, first, first_ms, miss_ms FROM key_stats "
        "WHERE game_id IN (SELECT id FROM games WHERE mode = ? AND player = ? "
        "ORDER BY id DESC LIMIT %1) ORDER BY game_id DESC").arg(games));
    query.addBindValue(mode);
    query.addBindValue(text(player));
    if (!query.exec())
        return lesson;
    qint64 game = -1;
    while (query.next()) {
        if (query.value(0).toLongLong() != game) {
            game = query.value(0).toLongLong();
            lesson.games.append(KeyTallies());
        }
        KeyTally &t = lesson.games.last()[query.value(1).toString()];
        t.typed = query.value(2).toLongLong();
        t.missed = query.value(3).toLongLong();
        t.ms = query.value(4).toLongLong();
        t.first = query.value(5).toLongLong();
        t.firstMs = query.value(6).toLongLong();
        t.missMs = query.value(7).toLongLong();
    }
    lesson.read = true;
    return lesson;
}

bool LessonRecords::keep(bool kanaMode, const QString &player, const QString &letters,
                         const QDateTime &now, bool kanaInput)
{
    const QString mode = GameDatabase::modeName(kanaMode, kanaInput);
    QSqlDatabase db = m_db.connection();
    if (!db.isOpen() || !db.transaction())
        return false;
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "INSERT INTO lesson_keys (mode, player, key, unlocked_at) VALUES (?, ?, ?, ?) "
        "ON CONFLICT (mode, player, key) DO NOTHING"));
    for (QChar c : letters) {
        query.addBindValue(mode);
        query.addBindValue(text(player));
        query.addBindValue(QString(c));
        query.addBindValue(now.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
        if (!query.exec()) {
            db.rollback();
            return false;
        }
    }
    return db.commit();
}
