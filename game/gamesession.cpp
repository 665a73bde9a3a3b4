#include "game/gamesession.h"

#include "game/fieldmotion.h"
#include "game/kanakeys.h"
#include "game/lessons.h"
#include "game/romajispelling.h"
#include "game/typingjudge.h"

#include <algorithm>

GameSession::GameSession(Seeds seeds, QObject *parent) : QObject(parent), m_seeds(std::move(seeds))
{
}

void GameSession::begin()
{
    moveField(FieldMotion::RestTop);
    m_level = 1;
    NextPrompt();
    m_charPos = 1;
    m_firstUnweighted = m_weights.isEmpty();
    emit promptChanged();
}

void GameSession::setKeyWeights(KeyWeights weights)
{
    m_weights = std::move(weights);
    emit keyWeightsChanged(m_weights);
    if (m_firstUnweighted && !m_weights.isEmpty() && !inGame() && m_charPos == 1) {
        m_firstUnweighted = false;
        NextPrompt();
        emit promptChanged();
    }
}

void GameSession::NextPrompt()
{
    RandomSource random(m_seeds());
    m_prompt = ::NextPrompt(m_table, m_romajiMode, random, m_weights, m_kanaInput,
                            {lesson(), judgesSpellings(), m_lessonKanaKeys});
    takeGuide();
}

// The prompt's first guide and every spelling the judge may take.
void GameSession::takeGuide()
{
    const QString keys = m_kanaInput && m_romajiMode ? KanaKeys::strokesOf(m_prompt.kana) : QString();
    // A word list without a kana that has keys leaves the romaji to type.
    m_kanaGuide = !keys.isEmpty();
    m_firstGuide = m_kanaGuide ? keys : m_prompt.romaji;
    m_currentRomaji = m_firstGuide;
    m_spellings = m_romajiMode && !m_kanaGuide
                      ? RomajiSpelling::spellingsOf(m_prompt.tableKana, m_prompt.romaji)
                      : QStringList{m_firstGuide};
    // A lesson shows a spelling of its letters where there is one.
    if (!m_lesson.isEmpty() && !m_lessonKanaKeys && judgesSpellings()) {
        m_spellings.move(Lessons::shownSpelling(m_spellings, m_lesson), 0);
        m_firstGuide = m_currentRomaji = m_spellings.first();
    }
}

void GameSession::setLessonLetters(const QString &letters, bool kanaKeys)
{
    const bool otherKeys = kanaKeys != m_lessonKanaKeys || letters.isEmpty() != m_lesson.isEmpty();
    m_lesson = letters;
    m_lessonKanaKeys = kanaKeys;
    // Kana input just turned on leaves a prompt of the letters' lesson, keys
    // the new lesson may not have yet.
    if (otherKeys && !m_prompt.romaji.isEmpty() && m_charPos == 1 && !isPaused() && !isCounting()) {
        NextPrompt();
        emit promptChanged();
    }
}

void GameSession::setKanaInput(bool on)
{
    if (on == m_kanaInput)
        return;
    m_kanaInput = on;
    if (m_prompt.romaji.isEmpty())
        return; // no prompt yet: the first one follows the option
    takeGuide();
    m_charPos = 1;
    emit promptChanged();
}

QString GameSession::fieldText() const
{
    return m_kanaGuide ? KanaKeys::hiragana(m_prompt.kana) : m_currentRomaji;
}

QString GameSession::fieldTyped(int length) const
{
    return m_kanaGuide ? KanaKeys::typedPart(m_prompt.kana, length) : m_currentRomaji.left(length);
}

QString GameSession::statusText(qint64 nowMs) const
{
    const QString figures = m_stats.statusText(m_level, nowMs);
    if (lesson().isEmpty())
        return figures;
    const Lessons::Course &course = m_lessonKanaKeys ? Lessons::KanaCourse : Lessons::LetterCourse;
    return figures + QStringLiteral("　キー %1/%2").arg(m_lesson.size()).arg(course.size());
}

void GameSession::start(qint64 nowMs)
{
    // Starting a climb under way again would shift its beat.
    if (isPaused())
        resume();
    else if (!inGame())
        startGame(nowMs);
}

// A game begins: the field climbs and the figures count from now.
void GameSession::startGame(qint64 nowMs)
{
    m_firstUnweighted = false;
    m_stats.start(nowMs);
    m_startedAt = nowMs;
    m_ticks = 0;
    m_keyClock = nowMs;
    setState(State::Running);
}

QChar GameSession::nextKey() const
{
    if (isPaused() || isCounting() || m_charPos < 1 || m_charPos > m_currentRomaji.size())
        return {};
    return m_currentRomaji[m_charPos - 1];
}

bool GameSession::key(QStringView text, qint64 nowMs)
{
    // The prompt is hidden: nothing typed counts.
    if (text.isEmpty() || isPaused() || isCounting())
        return false;

    KeyStroke stroke;
    stroke.pressed = foldedKey(text[0]);
    stroke.expected = nextKey();
    stroke.position = m_charPos - 1;
    stroke.atMs = nowMs;
    KeyVerdict verdict;
    if (judgesSpellings()) {
        const RomajiSpelling::Judgement judgement =
            RomajiSpelling::judgeKey(text, m_currentRomaji.left(m_charPos - 1), m_spellings);
        verdict = judgement.verdict;
        if (verdict != KeyVerdict::Rejected && judgement.guide != m_currentRomaji) {
            // The player left the shown spelling: show the one being typed,
            // where the field stands.
            m_currentRomaji = judgement.guide;
            emit promptChanged();
        }
    } else {
        verdict = judgeKey(text, m_currentRomaji, m_charPos).verdict;
    }
    stroke.guide = m_currentRomaji;
    stroke.sinceMs = m_keyClock < 0 ? 0 : nowMs - m_keyClock;
    if (verdict == KeyVerdict::Rejected) {
        m_stats.missed();
        emit keyMissed(stroke);
        return false;
    }

    m_stats.accepted();
    m_keyClock = nowMs;
    stroke.expected = stroke.pressed;
    stroke.completes = verdict == KeyVerdict::Completed;
    // Listeners see where the guide now stands: nextKey() is the next letter.
    if (!stroke.completes)
        ++m_charPos;
    emit keyAccepted(stroke);
    if (!stroke.completes)
        return true;
    const QString completed = m_currentRomaji;
    m_charPos = 1;
    emit promptCompleted(completed, nowMs);
    NextPrompt();
    moveField(FieldMotion::RestTop);
    emit promptChanged();
    m_level = raisedLevel(m_level);
    emit levelChanged(m_level);
    // Completed while idle: the game starts here, counting from now.
    if (!isRunning())
        startGame(nowMs);
    return true;
}

bool GameSession::tick(qint64 nowMs)
{
    if (!isRunning())
        return false;
    ++m_ticks;
    moveField(FieldMotion::risen(m_fieldTop, m_level));
    if (!FieldMotion::reachedTop(m_fieldTop))
        return false;

    m_stats.stop(nowMs, m_level);
    setState(State::Idle);
    GameSummary summary;
    summary.level = m_level;
    summary.romajiMode = m_romajiMode;
    summary.otherSpellings = judgesSpellings();
    summary.kanaInput = m_kanaInput && m_romajiMode;
    summary.lesson = !lesson().isEmpty();
    summary.keys = m_stats.keys();
    summary.misses = m_stats.misses();
    summary.startedAtMs = m_startedAt;
    summary.endedAtMs = nowMs;
    summary.playedMs = m_stats.playedMs(nowMs);
    emit gameOver(summary);
    return true;
}

qint64 GameSession::msToNextTick(qint64 nowMs) const
{
    // Behind, the tick is due at once.
    const qint64 due = qint64(m_ticks + 1) * FieldMotion::TickMs - m_stats.playedMs(nowMs);
    return std::clamp<qint64>(due, 0, FieldMotion::TickMs);
}

void GameSession::ResetGame()
{
    m_level = 1;
    m_charPos = 1;
    m_keyClock = -1;
    // A spelling the player had switched to gives way to the table's again.
    m_currentRomaji = m_firstGuide;
    moveField(FieldMotion::RestTop);
    emit promptChanged();
    emit levelChanged(m_level);
}

void GameSession::pause(qint64 nowMs)
{
    if (isRunning()) {
        m_stats.pause(nowMs);
        m_pausedAt = nowMs;
    } else if (!isCounting()) {
        return;
    }
    setCount(0);
    setState(State::Paused);
}

void GameSession::resume()
{
    if (!isPaused())
        return;
    setState(State::Counting);
    setCount(CountFrom);
}

void GameSession::stepCount(qint64 nowMs)
{
    if (!isCounting())
        return;
    setCount(m_count - 1);
    if (m_count == 0)
        goOn(nowMs);
}

// The prompt comes back with its typed part green, and the field climbs on.
void GameSession::goOn(qint64 nowMs)
{
    if (!isPaused() && !isCounting())
        return;
    setCount(0);
    m_stats.resume(nowMs);
    if (m_keyClock >= 0)
        m_keyClock += nowMs - m_pausedAt;
    setState(State::Running);
    emit promptChanged();
}

void GameSession::switchMode(bool romajiMode, qint64 nowMs)
{
    goOn(nowMs);
    m_romajiMode = romajiMode;
    NextPrompt();
    m_charPos = 1;
    m_keyClock = isRunning() ? nowMs : -1;
    moveField(FieldMotion::RestTop);
    emit promptChanged();
}

void GameSession::stop()
{
    m_count = 0;
    setState(State::Idle);
}

void GameSession::setState(State state)
{
    if (state == m_state)
        return;
    const bool wasRunning = isRunning();
    const bool wasPaused = isPaused();
    m_state = state;
    if (wasPaused != isPaused())
        emit pausedChanged(isPaused());
    if (wasRunning != isRunning())
        emit runningChanged(isRunning());
}

void GameSession::setCount(int count)
{
    if (count == m_count)
        return;
    m_count = count;
    emit countChanged(count);
}

void GameSession::moveField(float top)
{
    m_fieldTop = top;
    emit fieldMoved(top);
}
