#include "platform/libraryfile.h"

#include <QIODevice>

#include <cstring>
#include <elf.h>
#include <link.h>

// ELF, in this program's own word size and byte order: a header at offset 0;
// program headers (the segments the loader maps) and section headers where the
// header says; the dynamic symbol table and its names in the sections of type
// SHT_DYNSYM and the SHT_STRTAB it links to.

extern "C" const ElfW(Ehdr) __ehdr_start; // set by the linker at our own header

namespace {
using Verdict = LibraryFile::Verdict;

// Larger tables than this belong to no library of the game.
constexpr qint64 MaxTableBytes = 16 << 20;

class Reader
{
public:
    explicit Reader(QIODevice &file) : m_file(file), m_size(file.size()) {}
    qint64 size() const { return m_size; }
    bool inside(quint64 offset, quint64 length) const
    {
        return offset <= quint64(m_size) && length <= quint64(m_size) - offset;
    }
    // False when the range is not wholly in the file or cannot be read.
    bool read(quint64 offset, quint64 length, QByteArray &out)
    {
        if (!inside(offset, length) || length > quint64(MaxTableBytes)
            || !m_file.seek(qint64(offset)))
            return false;
        out = m_file.read(qint64(length));
        return out.size() == qint64(length);
    }
    template <typename T>
    bool read(quint64 offset, T &out)
    {
        QByteArray bytes;
        if (!read(offset, sizeof(T), bytes))
            return false;
        std::memcpy(&out, bytes.constData(), sizeof(T));
        return true;
    }
    template <typename T>
    bool readTable(quint64 offset, quint64 count, QList<T> &out)
    {
        QByteArray bytes;
        if (count > quint64(MaxTableBytes) / sizeof(T) || !read(offset, count * sizeof(T), bytes))
            return false;
        out.resize(qsizetype(count));
        if (count > 0)
            std::memcpy(out.data(), bytes.constData(), size_t(bytes.size()));
        return true;
    }

private:
    QIODevice &m_file;
    qint64 m_size;
};

Verdict checkHeader(Reader &file, const LibraryFile::Machine &machine, ElfW(Ehdr) &header)
{
    QByteArray ident;
    file.read(0, quint64(qMin<qint64>(file.size(), EI_NIDENT)), ident);
    if (!ident.startsWith(ELFMAG))
        return Verdict::NotALibrary;
    if (ident.size() < EI_NIDENT)
        return Verdict::Damaged;
    if (ident[EI_CLASS] != char(machine.wordSize) || ident[EI_DATA] != char(machine.byteOrder))
        return Verdict::OtherMachine;
    if (!file.read(0, header))
        return Verdict::Damaged;
    if (header.e_machine != machine.processor)
        return Verdict::OtherMachine;
    if (header.e_type != ET_DYN)
        return Verdict::NotALibrary;
    if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_shentsize != sizeof(ElfW(Shdr)))
        return Verdict::Damaged;
    return Verdict::Usable;
}

// Every segment the loader would map lies inside the file.
Verdict checkSegments(Reader &file, const ElfW(Ehdr) &header)
{
    QList<ElfW(Phdr)> segments;
    if (!file.readTable(header.e_phoff, header.e_phnum, segments))
        return Verdict::Damaged;
    bool loads = false, dynamic = false;
    for (const ElfW(Phdr) &segment : std::as_const(segments)) {
        if (!file.inside(segment.p_offset, segment.p_filesz))
            return Verdict::Damaged;
        if (segment.p_type == PT_LOAD) {
            if (segment.p_filesz > segment.p_memsz)
                return Verdict::Damaged;
            loads = true;
        }
        dynamic |= segment.p_type == PT_DYNAMIC;
    }
    return loads && dynamic ? Verdict::Usable : Verdict::Damaged;
}

Verdict findSymbol(Reader &file, const ElfW(Ehdr) &header, const QByteArray &symbol)
{
    QList<ElfW(Shdr)> sections;
    if (!file.readTable(header.e_shoff, header.e_shnum, sections))
        return Verdict::Damaged;
    const ElfW(Shdr) *symbols = nullptr;
    for (const ElfW(Shdr) &section : std::as_const(sections)) {
        if (section.sh_type != SHT_NOBITS && !file.inside(section.sh_offset, section.sh_size))
            return Verdict::Damaged;
        if (section.sh_type == SHT_DYNSYM)
            symbols = &section;
    }
    if (!symbols)
        return Verdict::LacksSymbol;
    if (symbols->sh_entsize != sizeof(ElfW(Sym)) || symbols->sh_link >= quint64(sections.size())
        || sections[symbols->sh_link].sh_type != SHT_STRTAB)
        return Verdict::Damaged;
    const ElfW(Shdr) &names = sections[symbols->sh_link];
    QList<ElfW(Sym)> table;
    QByteArray text;
    if (!file.readTable(symbols->sh_offset, symbols->sh_size / sizeof(ElfW(Sym)), table)
        || !file.read(names.sh_offset, names.sh_size, text))
        return Verdict::Damaged;
    for (const ElfW(Sym) &entry : std::as_const(table)) {
        if (entry.st_shndx == SHN_UNDEF || entry.st_name >= quint64(text.size()))
            continue;
        const char *name = text.constData() + entry.st_name;
        const size_t room = size_t(text.size()) - entry.st_name;
        if (qstrnlen(name, room) == size_t(symbol.size()) && symbol == QByteArrayView(name, symbol.size()))
            return Verdict::Usable;
    }
    return Verdict::LacksSymbol;
}
}

LibraryFile::Machine LibraryFile::running()
{
    return {__ehdr_start.e_ident[EI_CLASS], __ehdr_start.e_ident[EI_DATA], __ehdr_start.e_machine};
}

LibraryFile::Verdict LibraryFile::inspect(QIODevice &device, const QByteArray &symbol,
                                          const Machine &machine)
{
    Reader file(device);
    ElfW(Ehdr) header;
    Verdict verdict = checkHeader(file, machine, header);
    if (verdict == Verdict::Usable)
        verdict = checkSegments(file, header);
    if (verdict == Verdict::Usable)
        verdict = findSymbol(file, header, symbol);
    return verdict;
}
