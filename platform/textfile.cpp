#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using TextFile::NotAFile;
// Kept in memory to put a file back if rewriting it in place fails.
constexpr qint64 MaxRestorableBytes = 16 << 20;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    // Closes now, reporting what close reports (a late write error, say).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// O_NONBLOCK: opening a FIFO must never wait for the other end.
int openPath(const QString &path, int flags, mode_t mode = 0666)
{
    int fd;
    do {
        fd = ::open(native(path).constData(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    // A FIFO nobody reads, or a socket, refuses with ENXIO.
    if (fd < 0 && errno == ENXIO)
        errno = NotAFile;
    return fd;
}

// The kind check that follows every open; false with errno set.
bool isUsable(int fd, bool deviceAllowed, struct stat *st)
{
    if (::fstat(fd, st) != 0)
        return false;
    if (S_ISREG(st->st_mode) || (deviceAllowed && S_ISCHR(st->st_mode)))
        return true;
    errno = S_ISDIR(st->st_mode) ? EISDIR : NotAFile;
    return false;
}

bool writeAll(int fd, const QByteArray &bytes, off_t at = -1)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = at < 0 ? ::write(fd, data, size_t(left)) : ::pwrite(fd, data, size_t(left), at);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= n;
        if (at >= 0)
            at += n;
    }
    return true;
}

// Reads at most `limit` bytes; a device with nothing ready counts as ended.
bool readUpTo(int fd, qint64 limit, QByteArray &out)
{
    out.clear();
    char buffer[1 << 16];
    while (out.size() < limit) {
        const ssize_t n = ::read(fd, buffer, size_t(qMin<qint64>(sizeof buffer, limit - out.size())));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno == EAGAIN;
        }
        if (n == 0)
            break;
        out.append(buffer, n);
    }
    return true;
}

constexpr char TempSuffix[] = ".XXXXXX";

QByteArray tempPattern(const QString &target)
{
    const QFileInfo info(target);
    return native(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                  + QLatin1String(TempSuffix));
}

// The stem, a dot and what mkstemp puts in place of the X's.
bool isTempName(QByteArrayView name, const QByteArray &stem)
{
    if (name.size() != stem.size() + qsizetype(sizeof TempSuffix) - 1 || !name.startsWith(stem)
        || name[stem.size()] != '.')
        return false;
    return std::all_of(name.begin() + stem.size() + 1, name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// Follows links to the file they name, so that a link stays a link.
bool resolveLinks(QString &path)
{
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            return true;
        path = info.symLinkTarget();
    }
    errno = ELOOP;
    return false;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

struct Pending
{
    QString path;   // as the caller named it, for messages
    QString target; // the file itself, links followed
    QByteArray content;
    QString temp;   // written beside the target, waiting to take its place
    bool inPlace = false;
    bool device = false;
    QByteArray old; // an in-place file's content, to put back on failure
};

bool prepare(Pending &p)
{
    p.target = p.path;
    if (!resolveLinks(p.target))
        return false;
    struct stat st;
    const bool exists = ::stat(native(p.target).constData(), &st) == 0;
    if (exists) {
        if (S_ISCHR(st.st_mode)) {
            // Swapping a file in would replace the device node itself.
            p.inPlace = p.device = true;
            return true;
        }
        if (!S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : NotAFile;
            return false;
        }
    }
    QByteArray name = tempPattern(p.target);
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        // A folder that takes no new file (installed read-only, say) around a
        // file that may be written: rewrite the file itself.
        if (exists && (error == EACCES || error == EPERM)
            && ::access(native(p.target).constData(), W_OK) == 0) {
            const TextFile::ReadResult old = TextFile::readAll(p.target, MaxRestorableBytes);
            if (!old.ok()) {
                errno = error;
                return false;
            }
            p.old = old.bytes;
            p.inPlace = true;
            return true;
        }
        errno = error;
        return false;
    }
    p.temp = QFile::decodeName(name);
    Descriptor file(fd);
    const bool written = ::fchmod(fd, exists ? st.st_mode & 07777 : newFileMode()) == 0
        && writeAll(fd, p.content) && ::fsync(fd) == 0 && file.close();
    if (!written) {
        const int error = errno;
        ::unlink(name.constData());
        p.temp.clear();
        errno = error;
    }
    return written;
}

// A device takes the content as it comes; a file is overwritten from its start.
bool rewrite(const QString &target, const QByteArray &content)
{
    const int fd = openPath(target, O_WRONLY);
    if (fd < 0)
        return false;
    Descriptor file(fd);
    struct stat st;
    if (!isUsable(fd, true, &st))
        return false;
    if (S_ISCHR(st.st_mode))
        return writeAll(fd, content) && file.close();
    return writeAll(fd, content, 0) && ::ftruncate(fd, content.size()) == 0 && ::fsync(fd) == 0
        && file.close();
}

void putBack(const Pending &p)
{
    if (p.inPlace && !p.device)
        rewrite(p.target, p.old);
}

void syncFolder(const QString &file)
{
    const int fd = openPath(QFileInfo(file).absolutePath(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
}

QString TextFile::reason(int errorNumber)
{
    QString words;
    switch (errorNumber) {
    case NotAFile:
        return QStringLiteral("通常のファイルではありません。");
    case ENOSPC:
        words = QStringLiteral("ディスクに空きがありません。");
        break;
    case EDQUOT:
        words = QStringLiteral("ディスクの使用量の上限に達しています。");
        break;
    case EACCES:
    case EPERM:
        words = QStringLiteral("アクセスする権限がありません。");
        break;
    case EROFS:
        words = QStringLiteral("読み取り専用の場所です。");
        break;
    case EISDIR:
        words = QStringLiteral("ファイルではなくフォルダーです。");
        break;
    case ENOENT:
    case ENOTDIR:
        words = QStringLiteral("ファイルまたはフォルダーが見つかりません。");
        break;
    case ELOOP:
        words = QStringLiteral("シンボリックリンクが循環しています。");
        break;
    case EIO:
        words = QStringLiteral("ディスクの読み書きに失敗しました。");
        break;
    case EFBIG:
        words = QStringLiteral("ファイルが大きすぎます。");
        break;
    default:
        break;
    }
    const QString system = qt_error_string(errorNumber);
    return words.isEmpty() ? system : words + QStringLiteral(" (") + system + u')';
}

bool TextFile::exists(const QString &path)
{
    return QFileInfo(path).isFile();
}

TextFile::ReadResult TextFile::readAll(const QString &path, qint64 maxBytes)
{
    ReadResult result;
    const int fd = openPath(path, O_RDONLY);
    struct stat st;
    if (fd < 0) {
        result.error = reason(errno);
        return result;
    }
    Descriptor file(fd);
    if (!isUsable(fd, true, &st) || !readUpTo(fd, maxBytes + 1, result.bytes))
        result.error = reason(errno);
    else if (result.bytes.size() > maxBytes)
        result.error = QStringLiteral("ファイルが大きすぎます。");
    if (!result.ok())
        result.bytes.clear();
    return result;
}

bool TextFile::openForReading(const QString &path, QFile &file, QString *error)
{
    const int fd = openPath(path, O_RDONLY);
    struct stat st;
    if (fd >= 0 && isUsable(fd, false, &st)
        && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    const int number = errno;
    if (fd >= 0 && !file.isOpen())
        ::close(fd);
    if (error)
        *error = reason(number);
    return false;
}

void TextFile::forEachLine(QIODevice &device, qsizetype maxLineBytes,
                           const std::function<void(QByteArrayView)> &onLine, const std::function<bool()> &stop)
{
    constexpr qint64 ChunkBytes = 1 << 18;
    QByteArray pending;
    bool skipping = false; // inside a line too long to be a record
    QByteArray chunk;
    for (;;) {
        if (stop && stop())
            return;
        chunk = device.read(ChunkBytes);
        if (chunk.isEmpty())
            break;
        qsizetype start = 0;
        for (;;) {
            const qsizetype nl = chunk.indexOf('\n', start);
            if (nl < 0)
                break;
            const QByteArrayView piece = QByteArrayView(chunk).sliced(start, nl - start);
            if (!skipping) {
                if (pending.isEmpty()) {
                    onLine(piece);
                } else {
                    pending += piece;
                    onLine(pending);
                    pending.clear();
                }
            }
            skipping = false;
            start = nl + 1;
        }
        if (!skipping) {
            pending += QByteArrayView(chunk).sliced(start);
            if (pending.size() > maxLineBytes) {
                pending.clear();
                pending.squeeze();
                skipping = true;
            }
        }
    }
    if (!skipping && !pending.isEmpty())
        onLine(pending);
}

QString TextFile::append(const QString &path, const QByteArray &lines)
{
    // Read access only serves the check of the last byte.
    int fd = openPath(path, O_RDWR | O_APPEND | O_CREAT);
    const bool readable = fd >= 0;
    if (fd < 0 && errno == EACCES)
        fd = openPath(path, O_WRONLY | O_APPEND | O_CREAT);
    if (fd < 0)
        return reason(errno);
    Descriptor file(fd);
    struct stat st;
    if (!isUsable(fd, true, &st))
        return reason(errno);
    if (S_ISCHR(st.st_mode))
        return writeAll(fd, lines) && file.close() ? QString() : reason(errno);

    const off_t before = st.st_size;
    QByteArray out;
    char last = 0;
    if (readable && before > 0 && ::pread(fd, &last, 1, before - 1) == 1 && last != '\n') {
        // A write cut between CR and LF only lacks the LF: a second CR would
        // end that record in CR CR LF, which no longer reads as one line.
        out = last == '\r' ? "\n" : "\r\n";
    }
    out += lines;
    if (writeAll(fd, out) && ::fsync(fd) == 0)
        return file.close() ? QString() : reason(errno);
    const int error = errno;
    // No partial record may stay behind.
    if (::ftruncate(fd, before) == 0)
        ::fsync(fd);
    return reason(error);
}

void TextFile::removeLeftovers(const QString &folder, const QStringList &names)
{
    DIR *dir = ::opendir(native(folder).constData());
    if (!dir)
        return;
    QByteArrayList stems;
    for (const QString &name : names)
        stems << '.' + native(name);
    const uid_t user = ::geteuid();
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        const bool ours = std::any_of(stems.cbegin(), stems.cend(), [name](const QByteArray &stem) {
            return isTempName(name, stem);
        });
        struct stat st;
        if (ours && ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(st.st_mode) && st.st_uid == user)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

QString TextFile::replaceAll(const QList<Replacement> &files, QString *failedPath)
{
    QList<Pending> pending;
    for (const Replacement &file : files)
        pending.append(Pending{file.path, {}, file.content, {}, false, false, {}});

    const auto fail = [&](const Pending &at, int error) {
        for (const Pending &p : pending) {
            if (!p.temp.isEmpty())
                ::unlink(native(p.temp).constData());
        }
        if (failedPath)
            *failedPath = at.path;
        return reason(error);
    };

    for (Pending &p : pending) {
        if (!prepare(p))
            return fail(p, errno);
    }
    // Every new content is on disk; now the old ones give way. In-place
    // rewrites go first, since only they can still fail for lack of space.
    for (qsizetype i = 0; i < pending.size(); ++i) {
        Pending &p = pending[i];
        if (!p.inPlace)
            continue;
        if (!rewrite(p.target, p.content)) {
            const int error = errno;
            for (qsizetype k = 0; k <= i; ++k)
                putBack(pending[k]);
            return fail(p, error);
        }
    }
    for (Pending &p : pending) {
        if (p.temp.isEmpty())
            continue;
        if (::rename(native(p.temp).constData(), native(p.target).constData()) != 0) {
            const int error = errno;
            for (const Pending &q : pending)
                putBack(q);
            return fail(p, error);
        }
        p.temp.clear();
        syncFolder(p.target);
    }
    return {};
}
