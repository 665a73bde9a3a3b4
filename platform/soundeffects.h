#pragma once
#include <QByteArray>

// The game's sounds, made in the program: no sound file is read.
enum class SoundEffect { Click, Buzz, Chime, Fall, Unlock };

namespace SoundEffects {

constexpr int SampleRate = 48000;
constexpr int Count = 5;

// Mono signed 16-bit samples in the machine's byte order, at SampleRate:
//   Click  a soft tick for an accepted key, short enough for fast typing
//   Buzz   a short low buzz for a miss
//   Chime  two bright bell notes for a completed prompt
//   Fall   a short phrase falling a fifth at the end of a game
//   Unlock a rising arpeggio of four bell notes for a lesson's new letter
QByteArray samples(SoundEffect effect);

}
