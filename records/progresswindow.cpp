#include "records/progresswindow.h"

#include "platform/libraryfile.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace {
ProgressWindow::Factory linkedFactory = nullptr;
constexpr char EntryPoint[] = "kolrinCreateProgressWindow";

QString describe(LibraryFile::Verdict verdict)
{
    switch (verdict) {
    case LibraryFile::Verdict::NotALibrary:
        return QStringLiteral("ライブラリのファイルではありません。");
    case LibraryFile::Verdict::OtherMachine:
        return QStringLiteral("このコンピューターで使える形式のライブラリではありません。");
    case LibraryFile::Verdict::Damaged:
        return QStringLiteral("ファイルが壊れています。");
    case LibraryFile::Verdict::LacksSymbol:
        return QStringLiteral("このゲームの成績の推移のライブラリではありません。");
    case LibraryFile::Verdict::Usable:
        break;
    }
    return {};
}

ProgressWindow::Factory load(const QString &path, const std::function<void()> &beforeLoading,
                             QString *reason)
{
    QFile file;
    if (!TextFile::openForReading(path, file, reason))
        return nullptr;
    const LibraryFile::Verdict verdict = LibraryFile::inspect(file, EntryPoint);
    file.close();
    if (verdict != LibraryFile::Verdict::Usable) {
        *reason = describe(verdict);
        return nullptr;
    }
    if (beforeLoading)
        beforeLoading();
    // Every symbol bound now: a library built against another Qt fails here,
    // told, rather than at its first call, ending the game. Kept for the life
    // of the program.
    void *library = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        *reason = QStringLiteral("ライブラリを読み込めません。 (%1)")
                      .arg(QString::fromLocal8Bit(::dlerror()));
        return nullptr;
    }
    const auto factory = reinterpret_cast<ProgressWindow::Factory>(::dlsym(library, EntryPoint));
    if (!factory)
        *reason = describe(LibraryFile::Verdict::LacksSymbol);
    return factory;
}
}

void ProgressWindow::useFactory(Factory factory)
{
    linkedFactory = factory;
}

ProgressWindow *ProgressWindow::create(const QString &programDir, QWidget *parent, QString *error,
                                       const std::function<void()> &beforeLoading)
{
    if (!linkedFactory) {
        const QString path = programDir + QStringLiteral("plugins/libkolrin_progress.so");
        QString reason;
        linkedFactory = load(path, beforeLoading, &reason);
        if (!linkedFactory) {
            if (error)
                *error = QDir::toNativeSeparators(path) + u'\n' + reason;
            return nullptr;
        }
    }
    return linkedFactory(parent);
}
