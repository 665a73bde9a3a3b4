#pragma once
#include "records/gamereport.h"

#include <QObject>

// The report of the game just ended, as it comes in: this game's figures at
// once, the comparison with earlier games once the database has answered.
// Off, the game-over dialog shows no report.
class GameReportFeed : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    bool isOn() const { return m_on; }
    void setOn(bool on) { m_on = on; }
    const GameReport &report() const { return m_report; }
    void setReport(GameReport report)
    {
        m_report = std::move(report);
        emit changed();
    }

signals:
    void changed();

private:
    bool m_on = false;
    GameReport m_report;
};
