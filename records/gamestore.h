#pragma once
#include "records/gamedatabase.h"
#include "records/weakkeys.h"

#include <QAtomicInt>
#include <QObject>
#include <functional>
#include <memory>

class QThread;

// The game database on a thread of its own: a slow disk, or another program
// holding the file for two seconds, never keeps the game waiting. Each request
// is answered by a signal on the owner's thread, in the order asked.
class GameStore : public QObject
{
    Q_OBJECT
public:
    explicit GameStore(const QString &path, QObject *parent = nullptr);
    // Finishes what was asked first.
    ~GameStore() override;

    // `now` names a damaged file set aside.
    void add(const GameRecord &game, const QDateTime &now);
    // The weights of the keys of the player's recent games in the mode.
    void askWeights(bool kanaMode, const QString &player);
    // `job` on the store's thread, in order with the other requests: a
    // feature's own SQL, through GameDatabase::connection().
    void run(std::function<void(GameDatabase &)> job);
    // Requests not yet answered.
    bool isBusy() const { return m_pending.loadRelaxed() > 0; }

signals:
    void added();
    void weightsFound(bool kanaMode, const QString &player, const KeyWeights &weights);
    // Something for the player about the file.
    void problem(const QString &message);

private:
    void post(std::function<void()> job);
    GameDatabase &database();

    QString m_path;
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;         // lives on m_thread
    std::unique_ptr<GameDatabase> m_db; // used on m_thread only
    QAtomicInt m_pending;
};
