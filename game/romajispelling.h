#pragma once
#include "game/typingjudge.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// Kana prompts typed the way Japanese input methods take them: SI or CI for
// SHI, TU for TSU, XN or N' for NN, and so on.
namespace RomajiSpelling {

// Every complete spelling a kana prompt accepts: the table's own romaji first,
// then the others in the order of the unit table, none longer than three
// letters. Kana that does not split into known units gives the table's only.
QStringList spellingsOf(const QString &halfWidthKana, const QString &tableRomaji);

// A unit of a kana prompt and how many letters of a spelling spell it.
struct UnitSpan
{
    QString kana; // half-width, as the word list writes it
    int letters = 0;
    bool operator==(const UnitSpan &) const = default;
};
// The units one spelling of the prompt spells, in order. A spelling that does
// not split into the kana's units (a word list's own romaji) spells the whole
// kana as one.
QList<UnitSpan> unitSpans(const QString &halfWidthKana, const QString &spelling);

struct Judgement
{
    KeyVerdict verdict = KeyVerdict::Rejected;
    QChar key;     // the key after folding a-z to capitals
    QString guide; // the spelling the field shows after this key
};

// typed: the capitals accepted so far for this prompt; spellings: from spellingsOf.
// A rejected key leaves the guide at what fits typed.
Judgement judgeKey(QStringView keyText, const QString &typed, const QStringList &spellings);

}
