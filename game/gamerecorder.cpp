#include "game/gamerecorder.h"

#include "game/kana.h"
#include "game/romajispelling.h"

namespace {
QString localTime(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}
}

GameRecorder::GameRecorder(GameSession &session, QObject *parent)
    : QObject(parent), m_session(session)
{
    connect(&session, &GameSession::keyAccepted, this,
            [this](const KeyStroke &stroke) { count(stroke, true); });
    connect(&session, &GameSession::keyMissed, this,
            [this](const KeyStroke &stroke) { count(stroke, false); });
    connect(&session, &GameSession::promptCompleted, this, [this] {
        if (!m_inGame)
            m_carried = std::exchange(m_idle, {});
    });
    connect(&session, &GameSession::promptChanged, this, [this] {
        // The guide changed to another spelling, or a pause ended: the same prompt.
        if (m_session.typedLength() > 0 || m_session.currentRomaji() != m_session.firstSpelling())
            return;
        m_unitMs = 0;
        if (!m_inGame)
            m_idle = {};
    });
    // A pause stops the climb, but the game goes on.
    connect(&session, &GameSession::runningChanged, this, [this](bool running) {
        if (!running || m_inGame)
            return;
        m_inGame = true;
        m_game = std::exchange(m_carried, {});
    });
    connect(&session, &GameSession::gameOver, this, [this] { m_inGame = false; });
}

void GameRecorder::count(const KeyStroke &stroke, bool accepted)
{
    Tally &tally = m_inGame ? m_game : m_idle;
    if (tally.firstAtMs < 0)
        tally.firstAtMs = stroke.atMs;
    KeyTally &key = tally.keys[QString(stroke.expected)];
    accepted ? (++key.typed, key.ms += stroke.sinceMs) : ++key.missed;
    if (m_session.prompt().tableKana.isEmpty())
        return;

    const Unit unit = unitAt(stroke.guide, stroke.position);
    if (!accepted) {
        ++tally.kana[unit.kana].missed;
        return;
    }
    m_unitMs += stroke.sinceMs;
    if (unit.endsHere) {
        KeyTally &kana = tally.kana[unit.kana];
        ++kana.typed;
        kana.ms += std::exchange(m_unitMs, 0);
    }
}

GameRecorder::Unit GameRecorder::unitAt(const QString &guide, int position)
{
    const QString &kana = m_session.prompt().tableKana;
    const QString key = kana + u'\n' + guide;
    if (key != m_spansOf) {
        m_spansOf = key;
        m_spans.clear();
        for (const RomajiSpelling::UnitSpan &span : RomajiSpelling::unitSpans(kana, guide))
            m_spans.append({HanToZen(span.kana), span.letters});
    }
    int end = 0;
    for (const auto &[unit, letters] : std::as_const(m_spans)) {
        end += letters;
        if (position < end)
            return {unit, position == end - 1};
    }
    return {HanToZen(kana), true};
}

GameRecord GameRecorder::record(const GameSummary &summary, const QString &player,
                                const QDateTime &endedAt) const
{
    GameRecord game;
    game.kanaMode = summary.romajiMode;
    game.player = player;
    game.level = summary.level;
    game.otherSpellings = summary.otherSpellings;
    game.lesson = summary.lesson;
    // The keys of the prompt that started the game count from its first key.
    const qint64 started = m_game.firstAtMs >= 0 ? std::min(m_game.firstAtMs, summary.startedAtMs)
                                                 : summary.startedAtMs;
    game.playedMs = summary.playedMs + summary.startedAtMs - started;
    game.startedAt = localTime(endedAt.addMSecs(started - summary.endedAtMs));
    game.endedAt = localTime(endedAt);
    game.keyStats = m_game.keys;
    game.kanaStats = m_game.kana;
    for (const KeyTally &tally : std::as_const(game.keyStats)) {
        game.keys += tally.typed;
        game.misses += tally.missed;
    }
    return game;
}
