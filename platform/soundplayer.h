#pragma once
#include "platform/soundeffects.h"

#include <QObject>

// The game's sounds as the windows see them. The player itself lives in a
// library of its own, plugins/libkolrin_sound.so in the program folder, loaded
// the first time sounds are switched on: Qt Multimedia and the audio libraries
// it brings stay out of every game that plays no sound.
class SoundPlayer : public QObject
{
public:
    using QObject::QObject;

    // Returns at once. Without an audio device nothing is heard and nothing
    // is said.
    virtual void play(SoundEffect effect) = 0;

    // The game closes: the player lets go of the audio server, waiting for it
    // at most `waitMs`. False when the server hangs (a frozen PulseAudio): the
    // player's thread, stuck in a call to it that nothing cuts short, is left
    // running and never freed.
    virtual bool finish(int waitMs)
    {
        Q_UNUSED(waitMs);
        return true;
    }
    // finish() for the game, which remembers a player left running: the
    // process must then end without the audio library's own teardown, which
    // would free what that thread still uses, or wait on the server as well.
    static void finishWithin(SoundPlayer *player, int waitMs);
    static bool anyLeftRunning();

    using Factory = SoundPlayer *(*)(QObject *parent);
    // The player from the library in the program folder; null, with the
    // reason, when the library cannot be loaded.
    static SoundPlayer *create(QObject *parent, QString *error);
    // For a program that links the library itself, or a stand-in (the tests).
    static void useFactory(Factory factory);
};

// What the library exports.
extern "C" SoundPlayer *kolrinCreateSoundPlayer(QObject *parent);
