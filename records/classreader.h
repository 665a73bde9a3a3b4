#pragma once
#include "records/classserver.h"
#include "records/detachedjob.h"

#include <QDateTime>
#include <QObject>
#include <memory>

// Questions to the class server, each on a thread of its own that nothing
// waits for; only the answer to the latest question of a kind is given.
class ClassReader : public QObject
{
    Q_OBJECT
public:
    enum class Period { Week, Month, All };
    // The first moment of the period that holds `now` (weeks start on
    // Monday), local time YYYY-MM-DDTHH:MM:SS; empty for All.
    static QString since(Period period, const QDateTime &now);
    // "サーバーにつながりません" and the reason.
    static QString unreachableText(const QString &reason);

    explicit ClassReader(QObject *parent = nullptr);
    ~ClassReader() override;

    void check(const ClassSettings &settings);
    void readRanking(const ClassSettings &settings, const QString &mode, const QString &since);

signals:
    // Empty when the role got in and could read the ranking.
    void checked(const QString &message);
    // `message` is empty when the ranking was read.
    void rankingRead(const ClassServer::Ranking &ranking, const QString &message);

private:
    std::shared_ptr<DetachedJob::Mailbox> m_mailbox;
    quint64 m_checks = 0;
    quint64 m_readings = 0;
};
