#pragma once
#include <QString>

class GameSession;
class ProgressLink;
class QKeyEvent;
struct ZuvelM;

// Kana input between the window and the game: the option reaches the session,
// the result file and the chart, and each key press becomes the kana of the
// key the player pressed, by its place on the keyboard where the platform
// tells it, so a Latin layout needs no switching.
class KanaInputLink
{
public:
    KanaInputLink(GameSession &session, ZuvelM &shared, ProgressLink &progress)
        : m_session(session), m_shared(shared), m_progress(progress)
    {
    }

    void apply(bool on);
    // What the judge is given for the key: its kana while kana input is on,
    // else the key's own text.
    QString keyText(const QKeyEvent *event) const;

private:
    GameSession &m_session;
    ZuvelM &m_shared;
    ProgressLink &m_progress;
};
