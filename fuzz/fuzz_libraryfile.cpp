// Any bytes as the chart's library: the look before loading reads only inside
// the file, whatever its headers claim, and a library it passes lies whole
// inside the file as far as the loader maps it.
#include "platform/libraryfile.h"

#include <QBuffer>

#include <cstdlib>
#include <cstring>
#include <elf.h>
#include <link.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (LibraryFile::inspect(buffer, "kolrinCreateProgressWindow") != LibraryFile::Verdict::Usable)
        return 0;
    ElfW(Ehdr) header;
    std::memcpy(&header, data, sizeof header);
    for (int i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        std::memcpy(&segment, data + header.e_phoff + size_t(i) * sizeof segment, sizeof segment);
        if (segment.p_offset > size || segment.p_filesz > size - segment.p_offset)
            std::abort();
    }
    return 0;
}
