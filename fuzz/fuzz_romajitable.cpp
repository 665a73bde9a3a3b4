// Any bytes as Romaji.tbl: either refused with a reason or a table from which
// prompts can always be drawn, each entry typable in every spelling offered
// for it, the table's own first.
#include "game/prompt.h"
#include "game/romajispelling.h"
#include "game/romajitable.h"
#include "platform/cp932.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    RomajiTable::Error error = RomajiTable::Error::None;
    const RomajiTable table = RomajiTable::parse(Cp932::decode(bytes), &error);
    if (error != RomajiTable::Error::None) {
        if (RomajiTable::describe(error).isEmpty())
            std::abort();
        return 0;
    }
    if (table.RomaCount < 1 || table.RomaCount > RomajiTable::LastSlot || !table.hasAcceptedEntry())
        std::abort();
    RandomSource random(size);
    for (int i = 0; i < 4; ++i) {
        const Prompt prompt = NextPrompt(table, true, random);
        if (!RomajiTable::isAccepted(prompt.romaji))
            std::abort();
    }
    for (int i = 1; i <= table.RomaCount; ++i) {
        if (!RomajiTable::isAccepted(table.RomaList[i]))
            continue;
        const QStringList spellings = RomajiSpelling::spellingsOf(table.KanaList[i], table.RomaList[i]);
        if (spellings.value(0) != table.RomaList[i] || QStringList(spellings).removeDuplicates() != 0)
            std::abort();
        for (const QString &spelling : spellings) {
            if (spelling.size() > 3)
                std::abort();
            QString typed;
            for (qsizetype k = 0; k < spelling.size(); ++k) {
                const RomajiSpelling::Judgement j =
                    RomajiSpelling::judgeKey(spelling.mid(k, 1).toLower(), typed, spellings);
                typed += j.key;
                // A spelling that begins with a shorter one ends where that one does.
                if (j.verdict == KeyVerdict::Completed) {
                    if (!spellings.contains(typed))
                        std::abort();
                    break;
                }
                if (j.verdict != KeyVerdict::Advanced || k + 1 == spelling.size()
                    || !j.guide.startsWith(typed))
                    std::abort();
            }
        }
    }
    return 0;
}
