#pragma once
#include "game/gamesession.h"
#include "platform/soundeffects.h"
#include "shell/options.h"

#include <QObject>

class KeyboardView;
class QMainWindow;
class SoundPlayer;

// What the player sees and hears of the game besides the field, each behind
// its option: the keyboard guide below the client area (the next key, the
// keys the prompt draw favours, a miss) and the sounds. Both only listen to
// the session.
class Feedback : public QObject
{
    Q_OBJECT
public:
    Feedback(const GameSession &session, QMainWindow &window);
    // Waits for the audio server 0.3 s at most.
    ~Feedback() override;

    void apply(const Options &options)
    {
        showKeyboard(options.keyboard);
        playSounds(options.sound);
    }

    // Off, nothing is made: the window stays as it always was.
    void showKeyboard(bool on);
    // The player is loaded on first use; null when it could not be.
    void playSounds(bool on);

    KeyboardView *keyboard() const { return m_keyboard; }
    SoundPlayer *soundPlayer() const { return m_player; }

private:
    void showNextKey();
    void showFavouredKeys();
    void play(SoundEffect effect);

    const GameSession &m_session;
    QMainWindow &m_window;
    KeyboardView *m_keyboard = nullptr;
    SoundPlayer *m_player = nullptr;
    bool m_playerTried = false;
    bool m_sound = false;
};
