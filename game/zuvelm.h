#pragma once
#include "records/ranking.h"

#include <cstdint>

// State shared between the windows for the life of the process.
struct ZuvelM
{
    bool RomajiMode = false;      // kana prompts; also picks the result file
    bool AskNameAtStart = false;  // ask the player's name during start-up
    std::int16_t FinalLevel = 0;  // the level the last game ended at
    bool ReplayRequested = false; // the game-over dialog's answer
    ResultTable Results;          // the ranking's working table
};
