#pragma once
#include <cstdint>

// The field climbs Level pixels a tick from its rest position; the tick that
// leaves its top at 1 pixel or less ends the game.
namespace FieldMotion {

constexpr float RestTop = 222;
constexpr float TopThreshold = 1;
constexpr int TickMs = 150;

constexpr float risen(float top, std::int16_t level) { return top - float(level); }
constexpr bool reachedTop(float top) { return top <= TopThreshold; }

// Ticks from rest to the end of a game with no completed prompt.
int ticksToTop(std::int16_t level);

}
