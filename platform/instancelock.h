#pragma once
#include <QString>

// Keeps a second copy of the game from running in the same program folder:
// an exclusive lock on Kolrin.lock that the system drops when its holder ends,
// however it ends, so no lock ever outlives a copy that was killed.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &dir);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // False only when another running copy holds the lock. A lock file that
    // cannot serve at all (a folder, a device, a link, no permission) does not
    // stop the game: it runs without the guard.
    bool acquire();
    // Whether this copy holds the lock: acquire() lets the game run without it.
    bool held() const { return m_fd >= 0; }

private:
    QString m_path;
    int m_fd = -1;
};
