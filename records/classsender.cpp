#include "records/classsender.h"

#include "records/classoutbox.h"
#include "records/classserver.h"
#include "records/gamestore.h"

#include <QDateTime>

struct ClassSender::Batch
{
    quint64 generation = 0;
    ClassSettings settings;
    QList<ClassOutbox::Outgoing> games;
};

ClassSender::ClassSender(GameStore &store, QObject *parent)
    : QObject(parent), m_store(store), m_mailbox(std::make_shared<DetachedJob::Mailbox>(this))
{
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &ClassSender::sendWaiting);
    m_limit.setSingleShot(true);
    m_limit.setInterval(BatchLimitMs);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        // Hung on a frozen server: leave that thread behind. What it still
        // sends, the server keeps once; what it acknowledges is still noted.
        ++m_generation;
        m_busy = false;
        sendWaiting();
    });
}

ClassSender::~ClassSender()
{
    // Never waits: a thread still talking to the server finds nobody to answer.
    m_mailbox->close();
}

void ClassSender::setSettings(const ClassSettings &settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    m_toldLogin = false;
    ++m_generation; // a batch for the old server no longer counts
    m_busy = false;
    m_limit.stop();
    if (!m_settings.isSet()) {
        m_retry.stop();
        return;
    }
    m_retry.start();
    sendWaiting();
}

void ClassSender::sendWaiting()
{
    if (!m_settings.isSet())
        return;
    if (m_busy) {
        m_again = true;
        return;
    }
    m_busy = true;
    m_again = false;
    m_limit.start();
    auto batch = std::make_shared<Batch>();
    batch->generation = m_generation;
    batch->settings = m_settings;
    std::shared_ptr<DetachedJob::Mailbox> mailbox = m_mailbox;
    m_store.run([this, batch, mailbox](GameDatabase &database) {
        batch->games = ClassOutbox(database).waiting(BatchGames);
        mailbox->post([this, batch] { sendBatch(batch); });
    });
}

void ClassSender::sendBatch(const std::shared_ptr<Batch> &batch)
{
    if (batch->generation != m_generation)
        return;
    if (batch->games.isEmpty()) {
        batchDone(batch->generation, 0, false, int(ClassServer::Status::Ok), {});
        return;
    }
    std::shared_ptr<DetachedJob::Mailbox> mailbox = m_mailbox;
    DetachedJob::start([this, batch, mailbox] {
        ClassServer server(batch->settings);
        int count = 0;
        ClassServer::Answer answer;
        for (const ClassOutbox::Outgoing &out : std::as_const(batch->games)) {
            answer = server.send(out.game);
            // A row the server will never take is not sent again and again:
            // it is noted like one it took, and the others go on.
            if (!answer.ok() && answer.status != ClassServer::Status::Refused)
                break;
            ++count;
            const QList<qint64> ids{out.id};
            mailbox->post([this, ids] { acknowledged(ids); });
        }
        const bool full = batch->games.size() == BatchGames && count == batch->games.size();
        const int status = int(answer.status == ClassServer::Status::Refused ? ClassServer::Status::Ok
                                                                            : answer.status);
        const QString reason = answer.reason;
        const quint64 generation = batch->generation;
        mailbox->post([this, generation, count, full, status, reason] {
            batchDone(generation, count, full, status, reason);
        });
    }, QStringLiteral("ClassSender"));
}

void ClassSender::acknowledged(const QList<qint64> &ids)
{
    const QString at = QDateTime::currentDateTime().toString(Qt::ISODate);
    m_store.run([ids, at](GameDatabase &database) { ClassOutbox(database).markSent(ids, at); });
}

void ClassSender::batchDone(quint64 generation, int count, bool full, int status,
                            const QString &reason)
{
    if (generation != m_generation)
        return;
    m_busy = false;
    m_limit.stop();
    if (count > 0)
        emit sent(count);
    switch (ClassServer::Status(status)) {
    case ClassServer::Status::LoginRefused:
        if (!m_toldLogin) {
            m_toldLogin = true;
            emit loginRefused(reason);
        }
        return;
    case ClassServer::Status::Unreachable:
        emit unreachable(reason);
        return;
    default:
        break;
    }
    if (full || m_again) {
        sendWaiting();
        return;
    }
    // The marks go through the store's queue before this question does.
    if (count == 0)
        emit allSent();
    else
        sendWaiting();
}
