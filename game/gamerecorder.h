#pragma once
#include "game/gamesession.h"
#include "records/gamerecord.h"

#include <QDateTime>
#include <QObject>

// Listens to a game session and keeps, for the game under way, how each key
// and each kana unit fared: the rows the game database stores for it, and what
// was pressed instead of each key missed. A game started by completing a
// prompt while idle counts that prompt's keys too.
class GameRecorder : public QObject
{
    Q_OBJECT
public:
    explicit GameRecorder(GameSession &session, QObject *parent = nullptr);

    // The game that just ended; `endedAt` is the wall-clock time it ended at.
    GameRecord record(const GameSummary &summary, const QString &player,
                      const QDateTime &endedAt) const;

    // The name as the result file and Kolrin.cfg hold it: the chart lists the
    // result file's names and must find every game of each.
    static QString storedName(const QString &player);

private:
    struct Tally
    {
        KeyTallies keys, kana;
        Confusions confusions;
        qint64 firstAtMs = -1;
    };
    // The kana unit under way so far.
    struct UnitTime
    {
        qint64 ms = 0;
        qint64 missMs = 0;
        bool first = false; // it begins the prompt
    };
    struct Unit
    {
        QString kana; // full-width
        bool endsHere = false;
    };
    void count(const KeyStroke &stroke, bool accepted);
    Unit unitAt(const QString &guide, int position);

    GameSession &m_session;
    bool m_inGame = false;
    Tally m_game;
    Tally m_idle;    // the prompt under way while no game runs
    Tally m_carried; // that prompt, completed: the game starts with it
    UnitTime m_unit;
    qint64 m_missMs = 0; // wrong keys since the last right one, up to the last
    QString m_spansOf;   // the kana and guide m_spans are for
    QList<std::pair<QString, int>> m_spans; // unit and its letters in the guide
};
