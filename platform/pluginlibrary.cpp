#include "platform/pluginlibrary.h"

#include "platform/libraryfile.h"
#include "platform/textfile.h"

#include <QFile>

#include <dlfcn.h>

void *loadPluginSymbol(const QString &path, const char *symbol, const QString &notOurs,
                       const std::function<void()> &beforeLoading, QString *reason)
{
    QFile file;
    if (!TextFile::openForReading(path, file, reason))
        return nullptr;
    const LibraryFile::Verdict verdict = LibraryFile::inspect(file, symbol);
    file.close();
    switch (verdict) {
    case LibraryFile::Verdict::Usable:
        break;
    case LibraryFile::Verdict::NotALibrary:
        *reason = QStringLiteral("ライブラリのファイルではありません。");
        return nullptr;
    case LibraryFile::Verdict::OtherMachine:
        *reason = QStringLiteral("このコンピューターで使える形式のライブラリではありません。");
        return nullptr;
    case LibraryFile::Verdict::Damaged:
        *reason = QStringLiteral("ファイルが壊れています。");
        return nullptr;
    case LibraryFile::Verdict::LacksSymbol:
        *reason = notOurs;
        return nullptr;
    }
    if (beforeLoading)
        beforeLoading();
    // Every symbol bound now: a library built against another Qt fails here,
    // told, rather than at its first call, ending the game.
    void *library = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        *reason = QStringLiteral("ライブラリを読み込めません。 (%1)")
                      .arg(QString::fromLocal8Bit(::dlerror()));
        return nullptr;
    }
    void *address = ::dlsym(library, symbol);
    if (!address)
        *reason = notOurs;
    return address;
}
