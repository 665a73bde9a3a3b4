#include "game/lessontracker.h"

#include <algorithm>
#include <utility>

LessonTracker::LessonTracker(GameSession &session, QObject *parent)
    : QObject(parent), m_session(session)
{
    connect(&session, &GameSession::keyAccepted, this,
            [this](const KeyStroke &s) { stroke(s, true); });
    connect(&session, &GameSession::keyMissed, this,
            [this](const KeyStroke &s) { stroke(s, false); });
    // Before the next prompt is drawn, so that it may use the new letter.
    connect(&session, &GameSession::promptCompleted, this, &LessonTracker::check);
    connect(&session, &GameSession::gameOver, this, &LessonTracker::gameOver);
}

void LessonTracker::await(bool kanaKeys)
{
    m_started = false;
    m_games.clear();
    m_game.clear();
    m_kanaKeys = kanaKeys;
    setLetters(course().homeRow());
}

void LessonTracker::start(const QString &kept, const QList<KeyTallies> &games)
{
    m_games = games.mid(0, Lessons::RecentGames);
    // The database keeps kana keys' tallies by the legend typed.
    if (m_kanaKeys) {
        for (KeyTallies &game : m_games)
            game = Lessons::byKanaKey(game);
    }
    m_started = true;
    if (kept.isEmpty()) {
        const QString first = Lessons::unlockedAfter(course().homeRow(), this->games(),
                                                     [this](const QString &l) { return practised(l); },
                                                     course());
        setLetters(first);
        emit keep(first);
    } else {
        // Rows the player's file lacks never take a letter away.
        setLetters(course().sorted(kept + course().homeRow()));
    }
}

void LessonTracker::stop()
{
    m_started = false;
    m_games.clear();
    m_game.clear();
    setLetters({});
}

QChar LessonTracker::newest() const
{
    return m_letters.size() > course().homeRowSize ? m_letters.back() : QChar();
}

Lessons::Progress LessonTracker::progressOf(QChar letter) const
{
    return Lessons::progressOf(letter, games());
}

void LessonTracker::stroke(const KeyStroke &s, bool accepted)
{
    const QChar key = m_kanaKeys ? Lessons::kanaKeyOf(s.expected) : s.expected;
    if (!isOn() || key.isNull())
        return;
    KeyTally &tally = m_game[QString(key)];
    if (!accepted) {
        ++tally.missed;
        m_missedAt = s.atMs;
        return;
    }
    ++tally.typed;
    tally.ms += s.sinceMs;
    if (s.position == 0) {
        // The time to read the prompt, not to type the letter.
        ++tally.first;
        tally.firstMs += s.sinceMs;
    } else if (m_missedAt >= 0) {
        tally.missMs += std::clamp<qint64>(m_missedAt - (s.atMs - s.sinceMs), 0, s.sinceMs);
    }
    m_missedAt = -1;
}

void LessonTracker::gameOver()
{
    if (!isOn())
        return;
    m_games.prepend(std::exchange(m_game, {}));
    m_games = m_games.mid(0, Lessons::RecentGames);
    m_missedAt = -1;
    check();
}

void LessonTracker::check()
{
    if (!m_started)
        return;
    const QString after = Lessons::unlockedAfter(m_letters, games(),
                                                 [this](const QString &l) { return practised(l); },
                                                 course());
    if (after == m_letters)
        return;
    QString added;
    for (QChar c : after) {
        if (!m_letters.contains(c))
            added += c;
    }
    setLetters(after);
    emit keep(added);
    emit unlocked(added);
}

void LessonTracker::setLetters(const QString &letters)
{
    const bool changed = letters != m_letters;
    m_letters = letters;
    // Also when only the kind of lesson changed: the session may draw anew.
    m_session.setLessonLetters(letters, m_kanaKeys);
    if (changed)
        emit lettersChanged();
}

QList<KeyTallies> LessonTracker::games() const
{
    QList<KeyTallies> all = m_games;
    if (!m_game.isEmpty())
        all.prepend(m_game);
    return all.mid(0, Lessons::RecentGames);
}

QString LessonTracker::practised(const QString &letters) const
{
    if (m_kanaKeys)
        return Lessons::kanaKeysAsked(m_session.table(), letters);
    return m_session.romajiMode()
               ? Lessons::kanaLetters(m_session.table(), letters, m_session.judgesSpellings())
               : letters;
}
