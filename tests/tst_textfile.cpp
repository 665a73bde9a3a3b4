// CP932 conversion, whole-file reads and writes, the program folder rule, and
// the look at a library before it is loaded.
#include "platform/cp932.h"
#include "platform/libraryfile.h"
#include "platform/programdir.h"
#include "platform/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QStringDecoder>
#include <QTest>

#include <cstddef>
#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void cp932RoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("half-width katakana are single bytes")
            << u"｡ｱｶﾞﾝﾟ"_qs << QByteArray("\xa1\xb1\xb6\xde\xdd\xdf");
        QTest::newRow("trail byte is a backslash") << u"ソ表"_qs << QByteArray("\x83\x5c\x95\x5c");
        // Where Microsoft's table differs from plain Shift_JIS.
        QTest::newRow("Windows table") << u"～－①\\"_qs << QByteArray("\x81\x60\x81\x7c\x87\x40\x5c");
    }

    void cp932RoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp932::encode(text), bytes);
        QCOMPARE(Cp932::decode(bytes), text);
    }

    // Single-byte text skips the converter; it must read exactly as the
    // converter reads it, alone or among double-byte characters.
    void singleByteTextReadsAsTheConverterReadsIt()
    {
        QStringDecoder converter("windows-31j");
        for (int byte = 0; byte < 256; ++byte) {
            const QByteArray alone(1, char(byte));
            const QByteArray amid = "\xb1" + alone + "\x82\xa0";
            QCOMPARE(Cp932::decode(alone), converter.decode(alone));
            converter.resetState();
            QCOMPARE(Cp932::decode(amid), converter.decode(amid));
            converter.resetState();
            Cp932::Decoder reused;
            QCOMPARE(reused(alone), Cp932::decode(alone));
        }
    }

    void unmappableBecomesOneQuestionMark_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("emoji alone") << u"😀"_qs << QByteArray("?");
        QTest::newRow("accented letter in a name") << u"José"_qs << QByteArray("Jos?");
        QTest::newRow("emoji between kana") << u"ｱ😀ｲ"_qs << QByteArray("\xb1?\xb2");
        QTest::newRow("several") << u"€あ😀😀"_qs << QByteArray("?\x82\xa0??");
        QTest::newRow("lone surrogate") << QString(QChar(0xD83D)) + u"A"_qs << QByteArray("?A");
    }

    void unmappableBecomesOneQuestionMark()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const QByteArray encoded = Cp932::encode(text);
        QCOMPARE(encoded, bytes);
        QVERIFY(!encoded.contains("\xfc\xfc"));
    }

    void existsOnlyForOrdinaryFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir.filePath("Kolrin.hlp"), "x");
        QVERIFY(QDir(dir.path()).mkdir("Romaji.tbl"));
        QVERIFY(TextFile::exists(dir.filePath("Kolrin.hlp")));
        QVERIFY(!TextFile::exists(dir.filePath("Romaji.tbl")));
        QVERIFY(!TextFile::exists(dir.filePath("Kolrin.cfg")));
    }

    void readAllHonoursLimit_data()
    {
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("larger than the file") << qint64(12) << true;
        QTest::newRow("just the file") << qint64(11) << true;
        QTest::newRow("one byte short") << qint64(10) << false;
    }

    void readAllHonoursLimit()
    {
        QFETCH(qint64, maxBytes);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kolrin.cfg");
        writeFile(path, "False\r\nAB\r\n");
        const TextFile::ReadResult result = TextFile::readAll(path, maxBytes);
        QCOMPARE(result.ok(), ok);
        QCOMPARE(result.bytes, ok ? QByteArray("False\r\nAB\r\n") : QByteArray());
    }

    void readAllOfMissingFileFails()
    {
        QTemporaryDir dir;
        const TextFile::ReadResult result = TextFile::readAll(dir.filePath("none"), 100);
        QVERIFY(!result.ok());
        QVERIFY(result.bytes.isEmpty());
    }

    void appendCompletesCutLine_data()
    {
        QTest::addColumn<bool>("existed");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray line("3,\"B\",\"2024/01/02 03:04\"\r\n");
        QTest::newRow("new file") << false << QByteArray() << line;
        QTest::newRow("after whole lines") << true << QByteArray("1,\"A\",\"x\"\r\n")
                                           << QByteArray("1,\"A\",\"x\"\r\n") + line;
        QTest::newRow("empty file") << true << QByteArray() << line;
        QTest::newRow("cut inside a line") << true << QByteArray("1,\"A")
                                           << QByteArray("1,\"A\r\n") + line;
        QTest::newRow("cut between CR and LF") << true << QByteArray("1,\"A\",\"x\"\r")
                                               << QByteArray("1,\"A\",\"x\"\r\n") + line;
        QTest::newRow("after bare LF") << true << QByteArray("1\n") << QByteArray("1\n") + line;
    }

    void appendCompletesCutLine()
    {
        QFETCH(bool, existed);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kolrin.dat");
        if (existed)
            writeFile(path, before);
        QCOMPARE(TextFile::append(path, "3,\"B\",\"2024/01/02 03:04\"\r\n"), QString());
        QCOMPARE(contentOf(path), after);
    }

    // The player may have made the file private; a save keeps it so.
    void replaceWritesWholeContentAndKeepsTheMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("private") << 0600;
        QTest::newRow("group may read") << 0640;
        QTest::newRow("everyone may read") << 0644;
    }
    void replaceWritesWholeContentAndKeepsTheMode()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath("Kolrin.cfg");
        writeFile(path, "True\r\nTrue\r\nA much longer old name\r\n");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        QCOMPARE(TextFile::replace(path, "False\r\nFalse\r\nB\r\n"), QString());
        QCOMPARE(contentOf(path), QByteArray("False\r\nFalse\r\nB\r\n"));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Kolrin.cfg"});
    }

    void replaceRefusesDirectoryInPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Kolrin.cfg");
        QVERIFY(QDir(dir.path()).mkdir("Kolrin.cfg"));
        writeFile(path + "/inside", "kept");
        QVERIFY(!TextFile::replace(path, "False\r\n").isEmpty());
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(contentOf(path + "/inside"), QByteArray("kept"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Kolrin.cfg"});
    }

    // An installed copy's folder takes no new file, but a Kolrin.cfg made
    // writable on purpose must still be saved, and a link must stay a link.
    void replaceWhereTheFolderTakesNoNewFile_data()
    {
        QTest::addColumn<bool>("viaLink");
        QTest::newRow("file in the folder") << false;
        QTest::newRow("link to a file elsewhere") << true;
    }

    void replaceWhereTheFolderTakesNoNewFile()
    {
        QFETCH(bool, viaLink);
        const uid_t nobody = 65534;
        const bool root = ::geteuid() == 0;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString cfg = dir.filePath("Kolrin.cfg");
        const QString file = viaLink ? dir.filePath("own/Kolrin.cfg") : cfg;
        if (viaLink) {
            QVERIFY(QDir(dir.path()).mkdir("own"));
            QVERIFY(QFile::link(file, cfg));
        }
        writeFile(file, "True\r\nTrue\r\nA longer old name\r\n");
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
        if (root) {
            // The test command runs as root, whom no permission stops.
            QVERIFY(::chown(QFile::encodeName(file).constData(), nobody, nobody) == 0);
            if (viaLink)
                QVERIFY(::chown(QFile::encodeName(dir.filePath("own")).constData(), nobody, nobody) == 0);
        }
        const pid_t child = ::fork();
        if (child == 0) {
            if (root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
                ::_exit(2);
            ::_exit(TextFile::replace(cfg, "False\r\nFalse\r\nB\r\n").isEmpty() ? 0 : 1);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(contentOf(cfg), QByteArray("False\r\nFalse\r\nB\r\n"));
        QCOMPARE(QFileInfo(cfg).isSymLink(), viaLink);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void librariesAreLookedAtBeforeLoading_data()
    {
        using V = LibraryFile::Verdict;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<V>("verdict");
        const QByteArray library = contentOf(QStringLiteral(KOLRIN_CHART_LIBRARY));
        ElfW(Ehdr) header;
        QVERIFY(size_t(library.size()) > sizeof header);
        memcpy(&header, library.constData(), sizeof header);
        const auto patched = [&library](size_t at, auto value) {
            QByteArray bytes = library;
            return bytes.replace(qsizetype(at), sizeof value,
                                 QByteArray(reinterpret_cast<const char *>(&value), sizeof value));
        };
        QTest::newRow("the chart's library") << library << V::Usable;
        QTest::newRow("its first 20,000 bytes") << library.left(20000) << V::Damaged;
        QTest::newRow("cut before its section table") << library.left(header.e_shoff) << V::Damaged;
        QTest::newRow("cut inside its header") << library.left(40) << V::Damaged;
        QTest::newRow("its first segment longer than the file")
            << patched(header.e_phoff + offsetof(ElfW(Phdr), p_filesz), ElfW(Xword)(library.size()))
            << V::Damaged;
        QTest::newRow("for another processor")
            << patched(offsetof(ElfW(Ehdr), e_machine), ElfW(Half)(header.e_machine + 1)) << V::OtherMachine;
        QTest::newRow("another word size")
            << patched(EI_CLASS, char(header.e_ident[EI_CLASS] ^ 3)) << V::OtherMachine;
        QTest::newRow("a program") << patched(offsetof(ElfW(Ehdr), e_type), ElfW(Half)(ET_EXEC))
                                   << V::NotALibrary;
        QTest::newRow("another library")
            << contentOf(QLibraryInfo::path(QLibraryInfo::LibrariesPath) + u"/libQt6Core.so.6"_qs)
            << V::LacksSymbol;
        QTest::newRow("text") << QByteArray("\x7f" "EL is no library\n") << V::NotALibrary;
        QTest::newRow("empty") << QByteArray() << V::NotALibrary;
    }

    void librariesAreLookedAtBeforeLoading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(LibraryFile::Verdict, verdict);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(LibraryFile::inspect(buffer, "kolrinCreateProgressWindow"), verdict);
    }

    // Saves cut short by a kill leave ".Kolrin.cfg.Ab12Cd" and the like behind;
    // nothing else in the folder goes, whatever its name.
    void leftoversOfCutSavesAreRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("settings") << ".Kolrin.cfg.Ab12Cd" << "file" << true;
        QTest::newRow("options") << ".Kolrin.ini.zZ09aB" << "file" << true;
        QTest::newRow("five letters") << ".Kolrin.cfg.Ab12C" << "file" << false;
        QTest::newRow("seven letters") << ".Kolrin.cfg.Ab12Cd7" << "file" << false;
        QTest::newRow("not a letter") << ".Kolrin.cfg.Ab-2Cd" << "file" << false;
        QTest::newRow("no dot before") << "Kolrin.cfg.Ab12Cd" << "file" << false;
        QTest::newRow("a file not named") << ".Kolrin.dat.Ab12Cd" << "file" << false;
        QTest::newRow("a link") << ".Kolrin.cfg.Ab12Cd" << "link" << false;
        QTest::newRow("a folder") << ".Kolrin.cfg.Ab12Cd" << "folder" << false;
        QTest::newRow("a FIFO") << ".Kolrin.cfg.Ab12Cd" << "FIFO" << false;
        QTest::newRow("another user's") << ".Kolrin.cfg.Ab12Cd" << "other user" << false;
    }

    void leftoversOfCutSavesAreRemoved()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        if (kind == u"other user" && ::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const QString target = dir.filePath("target");
        writeFile(dir.filePath("Kolrin.cfg"), "False\r\nFalse\r\nP\r\n");
        writeFile(target, "kept");
        if (kind == u"link")
            QVERIFY(QFile::link(target, path));
        else if (kind == u"folder")
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (kind == u"FIFO")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            writeFile(path, "False\r\nTr");
        if (kind == u"other user")
            QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);

        TextFile::removeLeftovers(dir.path() + u'/', {u"Kolrin.cfg"_qs, u"Kolrin.ini"_qs});
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st) != 0, removed);
        QCOMPARE(contentOf(target), QByteArray("kept"));
        QCOMPARE(contentOf(dir.filePath("Kolrin.cfg")), QByteArray("False\r\nFalse\r\nP\r\n"));
    }

    void withTrailingSlash_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain folder") << "/opt/kolrin" << "/opt/kolrin/";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("already ends in slash") << "/a/" << "/a/";
        QTest::newRow("non-ASCII folder") << u"/home/テスト"_qs << u"/home/テスト/"_qs;
    }

    void withTrailingSlash()
    {
        QFETCH(QString, dir);
        QFETCH(QString, expected);
        QCOMPARE(::withTrailingSlash(dir), expected);
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
