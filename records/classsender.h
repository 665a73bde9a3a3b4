#pragma once
#include "records/detachedjob.h"
#include "shell/classsettings.h"

#include <QObject>
#include <QTimer>
#include <memory>

class GameStore;

// Sends Kolrin.db's finished games to the class server, oldest first, each
// until the server acknowledged it: at start, after every game, and every few
// minutes while some wait. The server's work runs on a thread of its own that
// nothing ever waits for, so a server that is down, slow or frozen costs the
// window nothing, closing included; a game whose acknowledgement was lost is
// simply sent again, and the server keeps it once.
class ClassSender : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryMs = 3 * 60 * 1000;
    // A batch still running after this is left to itself and a new one may start.
    static constexpr int BatchLimitMs = 60 * 1000;
    static constexpr int BatchGames = 100;

    ClassSender(GameStore &store, QObject *parent = nullptr);
    ~ClassSender() override;

    // Without a server set nothing is ever sent, nor any thread started.
    void setSettings(const ClassSettings &settings);
    // Now, or right after the batch under way.
    void sendWaiting();
    bool isSending() const { return m_busy; }
    int retryInterval() const { return m_retry.interval(); }
    void setRetryInterval(int ms) { m_retry.setInterval(ms); }

signals:
    // Games the server took (or had already) in one batch.
    void sent(int count);
    // Nothing left to send.
    void allSent();
    // The server answered but will not let this role in: once a session.
    void loginRefused(const QString &reason);
    // The server could not be reached; the games wait.
    void unreachable(const QString &reason);

private:
    struct Batch;
    void sendBatch(const std::shared_ptr<Batch> &batch);
    void batchDone(quint64 generation, int count, bool full, int status, const QString &reason);
    void acknowledged(const QList<qint64> &ids);

    GameStore &m_store;
    ClassSettings m_settings;
    std::shared_ptr<DetachedJob::Mailbox> m_mailbox;
    QTimer m_retry;
    QTimer m_limit;
    quint64 m_generation = 0;
    bool m_busy = false;
    bool m_again = false;
    bool m_toldLogin = false;
};
