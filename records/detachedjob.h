#pragma once
#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

// Work that may hang for as long as a frozen server keeps it: run on a thread
// that nobody ever waits for. The thread deletes itself when the work ends; if
// it never ends, it is left behind when the program closes. The work must own
// everything it touches and reach its owner only through a Mailbox.
class DetachedJob
{
public:
    // Hands answers to an object on its own thread while it lives; once it
    // closed the mailbox (from its destructor) the answers are dropped.
    class Mailbox
    {
    public:
        explicit Mailbox(QObject *owner) : m_owner(owner) {}
        void post(std::function<void()> answer)
        {
            const QMutexLocker lock(&m_mutex);
            // Queued: it runs on the owner's thread, and not at all once the
            // owner is deleted.
            if (m_owner)
                QMetaObject::invokeMethod(m_owner, std::move(answer), Qt::QueuedConnection);
        }
        void close()
        {
            const QMutexLocker lock(&m_mutex);
            m_owner = nullptr;
        }

    private:
        QMutex m_mutex;
        QObject *m_owner;
    };

    static void start(std::function<void()> work, const QString &name)
    {
        QThread *thread = QThread::create(std::move(work));
        thread->setObjectName(name);
        QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        thread->start(QThread::LowPriority);
    }
};
