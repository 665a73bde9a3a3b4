#pragma once
#include "records/ranking.h"

#include <cstdint>

// State the game shares with its dialogs for the life of the process: the
// game-over dialog reads the level and mode and answers Replay or End, the
// ranking fills the table.
struct ZuvelM
{
    bool RomajiMode = false;      // kana prompts; also picks the result file
    bool KanaInput = false;       // with RomajiMode, typed on the kana keys
    bool AskNameAtStart = false;  // ask the player's name during start-up
    std::int16_t FinalLevel = 0;  // the level the last game ended at
    bool ReplayRequested = false; // the game-over dialog's answer
    ResultTable Results;          // the ranking's working table
};
