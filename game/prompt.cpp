#include "game/prompt.h"

#include "game/kana.h"
#include "game/romajitable.h"

Prompt NextPrompt(const RomajiTable &table, bool romajiMode, RandomSource &random)
{
    Prompt prompt;
    if (romajiMode) {
        Q_ASSERT(table.hasAcceptedEntry());
        do {
            const int i = int(random.next() * table.RomaCount) + 1;
            prompt.romaji = table.RomaList[i];
            prompt.tableKana = table.KanaList[i];
            prompt.kana = HanToZen(prompt.tableKana);
        } while (!RomajiTable::isAccepted(prompt.romaji));
    } else {
        for (int k = 0; k < 3; ++k)
            prompt.romaji += QChar(u'A' + int(random.next() * 26));
    }
    return prompt;
}
