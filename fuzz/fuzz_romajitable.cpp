// Any bytes as Romaji.tbl: either refused with a reason or a table from which
// prompts can always be drawn.
#include "game/prompt.h"
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
    return 0;
}
