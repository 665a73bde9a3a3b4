#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Keeps a second copy of the game from running in the same program folder.
// The lock belongs to the process: a killed holder leaves a stale lock that the
// next start takes over.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &dir);
    ~InstanceLock();
    // False only when another running copy holds the lock. A folder where no
    // lock can be made at all does not stop the game.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
