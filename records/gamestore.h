#pragma once
#include "records/gamedatabase.h"
#include "records/weakkeys.h"

#include <QAtomicInt>
#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class QThread;
class QTimer;

// The game database on a thread of its own: a slow disk, or another program
// holding the file for two seconds, never keeps the game waiting. Each request
// is answered by a signal on the owner's thread, in the order asked. Games the
// file could not take are kept and written as soon as it can: at the next
// game, at the next start, and, while another program holds the file or the
// disk is full, every few seconds in between.
class GameStore : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryMs = 5000;

    explicit GameStore(const QString &path, QObject *parent = nullptr);
    // Finishes what was asked first.
    ~GameStore() override;

    // `now` names a damaged file set aside.
    void add(const GameRecord &game, const QDateTime &now);
    // Writes the games an earlier session kept, if any: a start costs nothing
    // when there are none.
    void addKept(const QDateTime &now);
    // The weights of the keys of the player's recent games in the mode.
    void askWeights(bool kanaMode, const QString &player, bool kanaInput = false);
    // `job` on the store's thread, in order with the other requests: a
    // feature's own SQL, through GameDatabase::connection().
    void run(std::function<void(GameDatabase &)> job);
    // Requests not yet answered, those held included.
    bool isBusy() const { return m_pending.loadRelaxed() > 0; }
    // Requests wait until release(), in order: the driver and the file are
    // not loaded beside a window that is still being put on the screen.
    void hold() { m_held = true; }
    void release();

signals:
    void added();
    void weightsFound(bool kanaMode, const QString &player, const KeyWeights &weights,
                      bool kanaInput);
    // Something for the player about the file.
    void problem(const QString &message);

private:
    void post(std::function<void()> job);
    GameDatabase &database();
    void answer(const GameDatabase::Outcome &outcome);
    void retry();

    QString m_path;
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;         // lives on m_thread
    QTimer *m_retry = nullptr;           // lives on m_thread
    std::unique_ptr<GameDatabase> m_db; // used on m_thread only
    QAtomicInt m_pending;
    bool m_held = false;
    QList<std::function<void()>> m_heldJobs;
};
