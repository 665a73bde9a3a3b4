#include "platform/instancelock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

InstanceLock::InstanceLock(const QString &dir) : m_path(dir + QStringLiteral("Kolrin.lock")) {}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it would let a copy that opened it just before
    // and one that creates a new file both hold "the" lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::acquire()
{
    const QByteArray path = QFile::encodeName(m_path);
    // Never follows a link and never waits on a FIFO.
    constexpr int Flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | Flags, 0644);
    // A lock left by someone else is locked just as well through reading.
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd = ::open(path.constData(), O_RDONLY | Flags);
    if (fd < 0)
        return true;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_fd = fd;
        return true;
    }
    const int error = errno;
    ::close(fd);
    return error != EWOULDBLOCK;
}
