#pragma once
#include "records/gamereportfeed.h"

#include <QMutex>
#include <QObject>
#include <memory>

class GameHistory;
struct GameRecord;

// The report of each game for the game-over dialog, with the option on: the
// game's own figures from its record at once, and the player's recent games
// from the game database, asked on the database's thread and shown when they
// come.
class SummaryLink : public QObject
{
    Q_OBJECT
public:
    explicit SummaryLink(GameHistory &history, QObject *parent = nullptr);
    ~SummaryLink() override;

    void setOn(bool on) { m_feed.setOn(on); }
    GameReportFeed &feed() { return m_feed; }

private:
    void report(const GameRecord &game);
    void compare(const QString &uid, const GameReport::Average &average);

    // The database's thread answers through it, and finds it empty once the
    // link is gone.
    struct Mailbox
    {
        QMutex mutex;
        SummaryLink *link = nullptr;
    };

    GameHistory &m_history;
    GameReportFeed m_feed;
    QString m_uid; // the game reported
    std::shared_ptr<Mailbox> m_mailbox;
};
