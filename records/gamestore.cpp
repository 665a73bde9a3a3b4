#include "records/gamestore.h"

#include "records/keyweightsquery.h"

#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <utility>

GameStore::GameStore(const QString &path, QObject *parent) : QObject(parent), m_path(path)
{
}

GameStore::~GameStore()
{
    // Requests still held go with the window that never showed: games kept
    // stay in their file for the next start.
    if (!m_thread)
        return;
    // A connection and a timer belong to the thread that made them. Games
    // still kept stay in their file for the next start.
    post([this] {
        delete m_retry;
        m_retry = nullptr;
        m_db.reset();
    });
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

// The thread starts with the first request: a game that never ends a round
// never opens the file.
void GameStore::post(std::function<void()> job)
{
    if (m_held) {
        m_pending.ref();
        m_heldJobs.append(std::move(job));
        return;
    }
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

void GameStore::release()
{
    if (!m_held)
        return;
    m_held = false;
    const QList<std::function<void()>> jobs = std::exchange(m_heldJobs, {});
    for (const std::function<void()> &job : jobs) {
        m_pending.deref();
        post(job);
    }
}

GameDatabase &GameStore::database()
{
    if (!m_db)
        m_db = std::make_unique<GameDatabase>(m_path, false);
    return *m_db;
}

// On the store's thread.
void GameStore::answer(const GameDatabase::Outcome &outcome)
{
    if (!outcome.message.isEmpty())
        emit problem(outcome.message);
    if (outcome.written)
        emit added();
    // A lock or a full disk goes by itself: try again without waiting for a game.
    if (outcome.retrySoon) {
        if (!m_retry) {
            m_retry = new QTimer;
            m_retry->setSingleShot(true);
            connect(m_retry, &QTimer::timeout, m_retry, [this] { retry(); });
        }
        m_retry->start(RetryMs);
    } else if (m_retry) {
        m_retry->stop();
    }
}

void GameStore::retry()
{
    if (m_db)
        answer(m_db->addKept(QDateTime::currentDateTime()));
}

void GameStore::add(const GameRecord &game, const QDateTime &now)
{
    post([this, game, now] { answer(database().add(game, now)); });
}

void GameStore::addKept(const QDateTime &now)
{
    if (!QFileInfo::exists(GameDatabase::keptPath(m_path)))
        return;
    post([this, now] { answer(database().addKept(now)); });
}

void GameStore::run(std::function<void(GameDatabase &)> job)
{
    post([this, job = std::move(job)] { job(database()); });
}

void GameStore::askWeights(bool kanaMode, const QString &player, bool kanaInput)
{
    post([this, kanaMode, player, kanaInput] {
        // Each game on its own: a key's last attempts tell whether it is mastered.
        const QList<KeyTallies> games =
            KeyWeightsQuery(database()).lastGames(kanaMode, player, WeakKeys::WeightGames, kanaInput);
        emit weightsFound(kanaMode, player, WeakKeys::weights(games), kanaInput);
    });
}
