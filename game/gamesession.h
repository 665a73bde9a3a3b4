#pragma once
#include "game/prompt.h"
#include "game/romajitable.h"
#include "game/typingstats.h"

#include <QObject>
#include <QStringList>
#include <cstdint>
#include <functional>

// One key the judge saw. Letters are capitals after the fold.
struct KeyStroke
{
    QChar pressed;
    QChar expected;   // the guide's letter the player was to type
    int position = 0; // 0-based place of `expected` in the guide
    QString guide;    // the spelling shown when the key came, the one it took for an accepted key
    qint64 atMs = 0;
    // The time since the prompt's previous accepted key, or since the prompt
    // was shown in the game; pauses left out. A key typed while idle has no
    // time before it: 0 for the first. A missed key leaves the clock running.
    qint64 sinceMs = 0;
    bool completes = false;
};

// A game as it ended; times on the clock the session was given.
struct GameSummary
{
    std::int16_t level = 0;
    bool romajiMode = false;
    bool otherSpellings = false;
    bool kanaInput = false;
    bool lesson = false; // prompts of a lesson's letters
    int keys = 0;
    int misses = 0;
    qint64 startedAtMs = 0;
    qint64 endedAtMs = 0;
    qint64 playedMs = 0;
};

// The game itself: the level, the prompt and how far it is typed, the field's
// height, pause, and the figures of the game under way. It knows no window and
// no clock: every step is given the time, in milliseconds from any fixed origin,
// and each new prompt is drawn from a source seeded by `seeds`. What happens is
// told through the signals; the main window draws from them, and anything else
// that wants to know (sounds, the keyboard guide, statistics) listens too.
class GameSession : public QObject
{
    Q_OBJECT
public:
    using Seeds = std::function<std::uint64_t()>;
    explicit GameSession(Seeds seeds, QObject *parent = nullptr);

    void setTable(RomajiTable table) { m_table = std::move(table); }
    bool romajiMode() const { return m_romajiMode; }
    // Mode as loaded from the settings: no new prompt yet.
    void setRomajiMode(bool on) { m_romajiMode = on; }
    void setFlexibleRomaji(bool on) { m_flexible = on; }
    // Kana prompts typed on the kana keys; the prompt on screen starts over
    // from its first key in the new way.
    void setKanaInput(bool on);
    // The prompt is typed on the kana keys: the guide is the keys' kana.
    bool kanaInput() const { return m_kanaGuide; }
    // Prompts drawn from now on favour these keys; none: the uniform draw.
    // The first prompt of the session, drawn before any weights came, is
    // drawn again with them while nothing of it is typed and no game runs.
    void setKeyWeights(KeyWeights weights);
    const KeyWeights &keyWeights() const { return m_weights; }
    // Prompts drawn from now on use only a lesson's letters, or with
    // `kanaKeys` its kana keys; none: every letter. A lesson counts only in
    // the way of typing it is for (kanaKeyLessons()). A lesson of other keys
    // than before, or none, draws the prompt on screen again while none of it
    // is typed.
    void setLessonLetters(const QString &letters, bool kanaKeys = false);
    const QString &lessonLetters() const { return m_lesson; }
    // Kana prompts go on the kana keys: a lesson teaches those keys.
    bool kanaKeyLessons() const { return m_kanaInput && m_romajiMode; }
    const RomajiTable &table() const { return m_table; }
    // Other spellings count for kana prompts only, with the option on.
    bool judgesSpellings() const { return m_flexible && m_romajiMode && !m_kanaGuide; }

    // The game as start-up leaves it: field at rest, level 1, a first prompt.
    void begin();
    // A new prompt in the current mode; the field stays where it is.
    void NextPrompt();
    // Start or F2: the field starts climbing, or a paused game goes on.
    void start(qint64 nowMs);
    // One key as text; returns whether the judge took it.
    bool key(QStringView text, qint64 nowMs);
    // One tick of the climb; true when it ended the game.
    bool tick(qint64 nowMs);
    // How long until the climb's next tick is due. Ticks fall every TickMs of
    // playing time: the first after a pause is what was left of the one it cut
    // short, so a pause costs no playing time, and a late tick delays no other.
    qint64 msToNextTick(qint64 nowMs) const;
    // After a game: level 1, the same prompt from its first letter, field at rest.
    void ResetGame();
    // Also during the count: the game stays paused.
    void pause(qint64 nowMs);
    // A paused game counts down from CountFrom before it goes on; each step is
    // one stepCount(), made by the window's timer. The count is no playing time.
    static constexpr int CountFrom = 3;
    void resume();
    void stepCount(qint64 nowMs);
    // The other mode, with a new prompt at once; a paused game goes on, no count.
    void switchMode(bool romajiMode, qint64 nowMs);
    // The window closes: the climb stops, and no game ends.
    void stop();

    std::int16_t level() const { return m_level; }
    int charPos() const { return m_charPos; }
    // The spelling shown: the table's, or the other one the player has started.
    const QString &currentRomaji() const { return m_currentRomaji; }
    // The prompt drawn; its romaji is the table's.
    const Prompt &prompt() const { return m_prompt; }
    // The letters of the guide typed so far, shown green.
    int typedLength() const { return m_charPos - 1; }
    // The guide a new prompt starts with: the table's romaji, a lesson's
    // spelling of it, or the kana keys.
    const QString &firstGuide() const { return m_firstGuide; }
    // What the field shows: the guide, or with kana input the kana; and the
    // part of it the first `length` keys of the guide have typed.
    QString fieldText() const;
    QString fieldTyped(int length) const;
    // The next letter to type, null while paused or counting.
    QChar nextKey() const;
    float fieldTop() const { return m_fieldTop; }
    // The field climbs.
    bool isRunning() const { return m_state == State::Running; }
    bool isPaused() const { return m_state == State::Paused; }
    bool isCounting() const { return m_state == State::Counting; }
    // 3, 2, 1 while counting, else 0.
    int count() const { return m_count; }
    // Running, paused or counting: a game is under way.
    bool inGame() const { return m_state != State::Idle; }
    // With a lesson, how many of its keys it has: "キー 9/26".
    QString statusText(qint64 nowMs) const;

signals:
    // The prompt or its guide changed, or comes back after a pause: draw the
    // guide, its first typedLength() letters green.
    void promptChanged();
    void fieldMoved(float top);
    void keyAccepted(const KeyStroke &stroke);
    void keyMissed(const KeyStroke &stroke);
    void promptCompleted(const QString &romaji, qint64 atMs);
    void levelChanged(std::int16_t level);
    // The climb starts or stops: the window's timer follows.
    void runningChanged(bool running);
    void pausedChanged(bool paused);
    // The count shows a new number; 0 when it is over or gave way to a pause.
    void countChanged(int count);
    void gameOver(const GameSummary &summary);
    // The prompt draw favours other keys from now on (none: the uniform draw).
    void keyWeightsChanged(const KeyWeights &weights);

private:
    enum class State { Idle, Running, Paused, Counting };
    void setState(State state);
    void setCount(int count);
    void goOn(qint64 nowMs);
    void moveField(float top);
    void startGame(qint64 nowMs);
    void takeGuide();
    // The lesson's keys if it is for the way prompts are typed now.
    QString lesson() const { return m_lessonKanaKeys == kanaKeyLessons() ? m_lesson : QString(); }

    Seeds m_seeds;
    RomajiTable m_table;
    bool m_romajiMode = false;
    bool m_flexible = false;
    bool m_kanaInput = false; // the option; m_kanaGuide: this prompt follows it
    bool m_kanaGuide = false;
    KeyWeights m_weights;
    QString m_lesson;
    bool m_lessonKanaKeys = false;

    State m_state = State::Idle;
    std::int16_t m_level = 1;
    Prompt m_prompt;
    QString m_currentRomaji;
    QString m_firstGuide;
    QStringList m_spellings; // every spelling of the prompt, the table's first
    int m_charPos = 1;
    bool m_firstUnweighted = false; // the session's first prompt, drawn uniformly
    int m_count = 0;
    float m_fieldTop = 0;
    TypingStats m_stats;
    qint64 m_startedAt = 0;
    int m_ticks = 0; // of the game under way
    qint64 m_keyClock = -1; // where sinceMs counts from; -1 until a key or a game starts it
    qint64 m_pausedAt = 0;
};
