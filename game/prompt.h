#pragma once
#include "records/weakkeys.h"

#include <QString>
#include <cstdint>
#include <random>

class RomajiTable;

// A uniform source of values in [0, 1). The window seeds a fresh one from a
// fine clock for every prompt; tests seed it with a fixed number.
class RandomSource
{
public:
    explicit RandomSource(std::uint64_t seed) : m_engine(seed) {}
    // 53 random bits, the same on every platform for the same seed.
    double next() { return double(m_engine() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 m_engine;
};

struct Prompt
{
    QString romaji;    // what the player types
    QString kana;      // what the large label shows; empty in letters mode
    QString tableKana; // the entry's kana as the word list writes it
};

// Letters mode: three independent capitals. Kana mode: an entry drawn until its
// romaji is accepted, its kana turned into hiragana. The table must hold an
// accepted entry (the loader refuses one that does not).
// With weights, each capital is drawn with its key's weight, and an entry with
// the weight of its heaviest letter; without, every draw is the uniform one.
// With kana input, only entries whose kana all have keys are drawn (any, when
// none has), weighed by their kana keys. With a lesson's letters, the
// capitals are drawn from those alone and romaji entries from
// Lessons::kanaEntries; with a lesson's kana keys, entries on the kana keys
// from Lessons::kanaKeyEntries; without, from all as always.
struct LessonLetters
{
    QString letters; // empty: no lesson
    bool otherSpellings = false;
    bool kanaKeys = false; // `letters` are kana keys, for kana input only
};
Prompt NextPrompt(const RomajiTable &table, bool romajiMode, RandomSource &random,
                  const KeyWeights &weights = {}, bool kanaInput = false,
                  const LessonLetters &lesson = {});
