#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>

// The verdict on one key against the prompt, at the 1-based position charPos.
enum class KeyVerdict {
    Rejected,  // swallowed; nothing changes
    Advanced,  // typed part grows; the key reaches the hidden box as a capital
    Completed, // the last character: the prompt is done
};

struct Judgement
{
    KeyVerdict verdict = KeyVerdict::Rejected;
    QChar key;        // the key after folding a-z to capitals
};

// a-z become capitals; every other character stays as it is.
QChar foldedKey(QChar key);

// A key is one character of text; anything else (a function key, several
// characters from one key press) never matches.
Judgement judgeKey(QStringView keyText, QStringView romaji, int charPos);

// The level is a 16-bit number in the result files; it stops at its top.
std::int16_t raisedLevel(std::int16_t level);
