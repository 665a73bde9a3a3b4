#include "game/summarylink.h"

#include "game/gamehistory.h"
#include "records/recentgames.h"

SummaryLink::SummaryLink(GameHistory &history, QObject *parent)
    : QObject(parent), m_history(history), m_mailbox(std::make_shared<Mailbox>())
{
    m_mailbox->link = this;
    connect(&history, &GameHistory::recorded, this, &SummaryLink::report);
}

SummaryLink::~SummaryLink()
{
    QMutexLocker lock(&m_mailbox->mutex);
    m_mailbox->link = nullptr;
}

void SummaryLink::report(const GameRecord &game)
{
    if (!m_feed.isOn())
        return;
    m_uid = game.uid;
    m_feed.setReport(GameReport::of(game));
    GameStore *store = m_history.store();
    if (!store)
        return;
    // Runs after the game is written, and leaves it out.
    store->run([mailbox = m_mailbox, mode = GameDatabase::modeName(game.kanaMode, game.kanaInput),
                player = game.player,
                uid = game.uid](GameDatabase &database) {
        const GameReport::Average average = GameReport::averageOf(
            RecentGames(database).before(mode, player, uid, GameReport::AverageGames));
        QMutexLocker lock(&mailbox->mutex);
        if (SummaryLink *link = mailbox->link) {
            QMetaObject::invokeMethod(link, [link, uid, average] { link->compare(uid, average); },
                                      Qt::QueuedConnection);
        }
    });
}

void SummaryLink::compare(const QString &uid, const GameReport::Average &average)
{
    // An answer about a game reported before this one.
    if (uid != m_uid)
        return;
    GameReport report = m_feed.report();
    report.average = average;
    m_feed.setReport(report);
}
