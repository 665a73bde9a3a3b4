#include "records/gamestore.h"

#include <QThread>

GameStore::GameStore(const QString &path, QObject *parent) : QObject(parent), m_path(path)
{
}

GameStore::~GameStore()
{
    if (!m_thread)
        return;
    // A connection belongs to the thread that opened it.
    post([this] { m_db.reset(); });
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

// The thread starts with the first request: a game that never ends a round
// never opens the file.
void GameStore::post(std::function<void()> job)
{
    if (!m_thread) {
        m_thread = new QThread(this);
        m_thread->setObjectName(QStringLiteral("GameStore"));
        m_worker = new QObject;
        m_worker->moveToThread(m_thread);
        m_thread->start(QThread::LowPriority);
    }
    m_pending.ref();
    QMetaObject::invokeMethod(m_worker, [this, job = std::move(job)] {
        job();
        m_pending.deref();
    }, Qt::QueuedConnection);
}

GameDatabase &GameStore::database()
{
    if (!m_db)
        m_db = std::make_unique<GameDatabase>(m_path, false);
    return *m_db;
}

void GameStore::add(const GameRecord &game, const QDateTime &now)
{
    post([this, game, now] {
        const GameDatabase::Outcome outcome = database().add(game, now);
        if (!outcome.message.isEmpty())
            emit problem(outcome.message);
        if (outcome.written)
            emit added();
    });
}

void GameStore::run(std::function<void(GameDatabase &)> job)
{
    post([this, job = std::move(job)] { job(database()); });
}

void GameStore::askWeights(bool kanaMode, const QString &player)
{
    post([this, kanaMode, player] {
        const KeyTallies tallies = database().tallies(
            GameDatabase::Stats::Keys, {kanaMode, player, WeakKeys::WeightGames});
        emit weightsFound(kanaMode, player, WeakKeys::weights(tallies));
    });
}
