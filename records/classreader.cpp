#include "records/classreader.h"

QString ClassReader::since(Period period, const QDateTime &now)
{
    const QDate today = now.date();
    QDate first;
    switch (period) {
    case Period::Week:
        first = today.addDays(1 - today.dayOfWeek());
        break;
    case Period::Month:
        first = QDate(today.year(), today.month(), 1);
        break;
    case Period::All:
        return {};
    }
    return first.toString(Qt::ISODate) + QStringLiteral("T00:00:00");
}

QString ClassReader::unreachableText(const QString &reason)
{
    return QStringLiteral("サーバーにつながりません") + (reason.isEmpty() ? QString() : u'\n' + reason);
}

ClassReader::ClassReader(QObject *parent)
    : QObject(parent), m_mailbox(std::make_shared<DetachedJob::Mailbox>(this))
{
}

ClassReader::~ClassReader()
{
    m_mailbox->close();
}

void ClassReader::check(const ClassSettings &settings)
{
    const quint64 number = ++m_checks;
    std::shared_ptr<DetachedJob::Mailbox> mailbox = m_mailbox;
    DetachedJob::start([this, number, settings, mailbox] {
        const ClassServer::Answer answer = ClassServer(settings).check();
        const QString message = answer.ok() ? QString() : unreachableText(answer.reason);
        mailbox->post([this, number, message] {
            if (number == m_checks)
                emit checked(message);
        });
    }, QStringLiteral("ClassCheck"));
}

void ClassReader::readRanking(const ClassSettings &settings, const QString &mode, const QString &since)
{
    const quint64 number = ++m_readings;
    std::shared_ptr<DetachedJob::Mailbox> mailbox = m_mailbox;
    DetachedJob::start([this, number, settings, mode, since, mailbox] {
        ClassServer::Ranking ranking;
        const ClassServer::Answer answer = ClassServer(settings).ranking(mode, since, &ranking);
        const QString message = answer.ok() ? QString() : unreachableText(answer.reason);
        mailbox->post([this, number, ranking, message] {
            if (number == m_readings)
                emit rankingRead(ranking, message);
        });
    }, QStringLiteral("ClassRanking"));
}
