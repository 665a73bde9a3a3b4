#pragma once
#include <QByteArray>

// The game's four sounds, made in the program: no sound file is read.
enum class SoundEffect { Click, Buzz, Chime, Fall };

namespace SoundEffects {

constexpr int SampleRate = 48000;

// Mono signed 16-bit samples in the machine's byte order, at SampleRate:
//   Click  a soft tick for an accepted key, short enough for fast typing
//   Buzz   a short low buzz for a miss
//   Chime  two bright bell notes for a completed prompt
//   Fall   a short phrase falling a fifth at the end of a game
QByteArray samples(SoundEffect effect);

}
