#pragma once
#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// A shared library looked at as a file before the system loader maps it. The
// loader believes the file's headers: a library cut short is mapped all the
// same, and the first touch of a page past its end kills the process with a
// bus error; another library runs its own start-up code as it loads. So only a
// whole library for this machine that defines the symbol asked for passes.
namespace LibraryFile {

enum class Verdict {
    Usable,
    NotALibrary,  // no ELF shared object: text, an image, an executable...
    OtherMachine, // a library for another processor or word size
    Damaged,      // headers or contents reaching past the file's end
    LacksSymbol,  // a whole library, but not the one asked for
};

// What an ELF header says of the machine a library must be built for.
struct Machine
{
    unsigned char wordSize = 0;  // EI_CLASS
    unsigned char byteOrder = 0; // EI_DATA
    quint16 processor = 0;       // e_machine
};
// This program's own.
Machine running();

// Reads the headers and the dynamic symbol table only, never the code.
Verdict inspect(QIODevice &file, const QByteArray &symbol, const Machine &machine = running());

}
