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
