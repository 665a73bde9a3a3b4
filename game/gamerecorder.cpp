#include "game/gamerecorder.h"

#include "game/kana.h"
#include "game/kanakeys.h"
#include "game/romajispelling.h"
#include "platform/cp932.h"
#include "records/resultrecord.h"

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
        if (m_session.typedLength() > 0 || m_session.currentRomaji() != m_session.firstGuide())
            return;
        m_unit = {};
        m_missMs = 0;
        if (!m_inGame)
            m_idle = {};
    });
    // A pause stops the climb, but the game goes on.
    connect(&session, &GameSession::runningChanged, this, [this](bool running) {
        if (!running || m_inGame)
            return;
        m_inGame = true;
        m_game = std::exchange(m_carried, {});
        // A wrong key before Start counted from another clock.
        m_missMs = 0;
    });
    connect(&session, &GameSession::gameOver, this, [this] { m_inGame = false; });
}

void GameRecorder::count(const KeyStroke &stroke, bool accepted)
{
    Tally &tally = m_inGame ? m_game : m_idle;
    if (tally.firstAtMs < 0)
        tally.firstAtMs = stroke.atMs;
    KeyTally &key = tally.keys[QString(stroke.expected)];
    // The time up to the last wrong key went on missing; what is left of a
    // prompt's first key went on reading it.
    qint64 missMs = 0;
    if (accepted) {
        missMs = std::min(std::exchange(m_missMs, 0), stroke.sinceMs);
        ++key.typed;
        key.ms += stroke.sinceMs;
        key.missMs += missMs;
        if (stroke.position == 0) {
            ++key.first;
            key.firstMs += stroke.sinceMs - missMs;
        }
    } else {
        ++key.missed;
        ++tally.confusions[{stroke.expected, stroke.pressed}];
        m_missMs = stroke.sinceMs;
    }
    if (m_session.prompt().tableKana.isEmpty())
        return;

    const Unit unit = unitAt(stroke.guide, stroke.position);
    if (!accepted) {
        ++tally.kana[unit.kana].missed;
        return;
    }
    m_unit.ms += stroke.sinceMs;
    m_unit.missMs += missMs;
    m_unit.first = m_unit.first || stroke.position == 0;
    if (unit.endsHere) {
        const UnitTime time = std::exchange(m_unit, {});
        KeyTally &kana = tally.kana[unit.kana];
        ++kana.typed;
        kana.ms += time.ms;
        kana.missMs += time.missMs;
        if (time.first) {
            ++kana.first;
            kana.firstMs += time.ms - time.missMs;
        }
    }
}

GameRecorder::Unit GameRecorder::unitAt(const QString &guide, int position)
{
    const QString &kana = m_session.prompt().tableKana;
    const QString key = kana + u'\n' + guide;
    if (key != m_spansOf) {
        m_spansOf = key;
        m_spans.clear();
        if (m_session.kanaInput()) {
            // One kana a unit, its mark key included.
            for (const KanaKeys::Unit &unit : KanaKeys::units(HanToZen(kana)))
                m_spans.append({unit.kana, unit.strokes});
        } else {
            for (const RomajiSpelling::UnitSpan &span : RomajiSpelling::unitSpans(kana, guide))
                m_spans.append({HanToZen(span.kana), span.letters});
        }
    }
    int end = 0;
    for (const auto &[unit, letters] : std::as_const(m_spans)) {
        end += letters;
        if (position < end)
            return {unit, position == end - 1};
    }
    return {HanToZen(kana), true};
}

QString GameRecorder::storedName(const QString &player)
{
    return Cp932::decode(Cp932::encode(ResultFile::storableName(player)));
}

GameRecord GameRecorder::record(const GameSummary &summary, const QString &player,
                                const QDateTime &endedAt) const
{
    GameRecord game;
    game.kanaMode = summary.romajiMode;
    game.player = storedName(player);
    game.level = summary.level;
    game.otherSpellings = summary.otherSpellings;
    game.kanaInput = summary.kanaInput;
    game.lesson = summary.lesson;
    // The keys of the prompt that started the game count from its first key.
    const qint64 started = m_game.firstAtMs >= 0 ? std::min(m_game.firstAtMs, summary.startedAtMs)
                                                 : summary.startedAtMs;
    game.playedMs = summary.playedMs + summary.startedAtMs - started;
    game.startedAt = localTime(endedAt.addMSecs(started - summary.endedAtMs));
    game.endedAt = localTime(endedAt);
    game.keyStats = m_game.keys;
    game.kanaStats = m_game.kana;
    game.confusions = m_game.confusions;
    for (const KeyTally &tally : std::as_const(game.keyStats)) {
        game.keys += tally.typed;
        game.misses += tally.missed;
    }
    return game;
}
