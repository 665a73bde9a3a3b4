#pragma once
#include "game/gamesession.h"
#include "game/lessons.h"

#include <QObject>

// A lesson as the game goes: the letters the player has, how each fares in
// this game and the recent ones, and when the next one comes. It listens to
// the session, hands it the letters to draw prompts from, and looks at the
// rule after every completed prompt and every game, so a letter can come in
// the middle of a game.
class LessonTracker : public QObject
{
    Q_OBJECT
public:
    explicit LessonTracker(GameSession &session, QObject *parent = nullptr);

    // Lessons on, the player's figures not read yet: the home row, and no
    // letter comes until start(). With `kanaKeys`, the lesson is one of kana
    // keys (Lessons::KanaCourse), for kana typed on the kana keys.
    void await(bool kanaKeys = false);
    // The letters kept for the player and mode, and their recent games, newest
    // first (on the kana keys, tallies of legends or of keys alike). A player with none kept starts with the home row and every letter
    // the games already master; those are told by keep() to be kept.
    void start(const QString &kept, const QList<KeyTallies> &games);
    // Lessons off: prompts of every letter again.
    void stop();

    bool isOn() const { return !m_letters.isEmpty(); }
    bool kanaKeys() const { return m_kanaKeys; }
    const Lessons::Course &course() const
    {
        return m_kanaKeys ? Lessons::KanaCourse : Lessons::LetterCourse;
    }
    // In the order they come.
    const QString &letters() const { return m_letters; }
    // The letter that came last; none while the player has the home row only.
    QChar newest() const;
    // With the game under way.
    Lessons::Progress progressOf(QChar letter) const;

signals:
    void lettersChanged();
    // Letters to keep for the player: the first ones, or those just unlocked.
    void keep(const QString &letters);
    // Letters the rule just unlocked, after keep().
    void unlocked(const QString &letters);

private:
    void stroke(const KeyStroke &stroke, bool accepted);
    void gameOver();
    void check();
    void setLetters(const QString &letters);
    QList<KeyTallies> games() const;
    QString practised(const QString &letters) const;

    GameSession &m_session;
    QString m_letters;
    bool m_kanaKeys = false;
    bool m_started = false;
    QList<KeyTallies> m_games; // newest first
    KeyTallies m_game;         // every key since the last game ended
    qint64 m_missedAt = -1;    // the latest miss of the letter expected now
};
