#pragma once
#include <QString>
#include <cstdint>

// The rating word for a final level, from the thresholds of the mode played.
// A level below 1 matches no row: the previous word is kept.
QString RatePlayer(std::int16_t finalLevel, bool romajiMode, const QString &previous);
