// Any bytes as Kolrin.cfg: the flags survive a save and load, and a second
// save writes the very same bytes as the first. The same bytes as Kolrin.ini:
// options written over them read back as written.
#include "platform/cp932.h"
#include "shell/options.h"
#include "shell/settings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Settings loaded;
    loaded.applyFile(Cp932::decode(bytes));

    Settings again;
    const QByteArray first = loaded.toFile();
    again.applyFile(Cp932::decode(first));
    if (again.askNameAtStart != loaded.askNameAtStart || again.romajiMode != loaded.romajiMode)
        std::abort();
    Settings third;
    third.applyFile(Cp932::decode(again.toFile()));
    if (third.toFile() != again.toFile())
        std::abort();

    Options options = Options::fromIni(bytes);
    options.flexibleRomaji = !options.flexibleRomaji;
    options.statusBar = size % 2;
    QByteArray ini;
    if (!options.toIni(bytes, &ini, nullptr))
        return 0; // no scratch folder: nothing to check
    const Options back = Options::fromIni(ini);
    if (back.flexibleRomaji != options.flexibleRomaji || back.statusBar != options.statusBar
        || back.pauseWhenInactive != options.pauseWhenInactive)
        std::abort();
    return 0;
}
