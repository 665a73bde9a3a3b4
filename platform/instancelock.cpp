#include "platform/instancelock.h"

#include <QLockFile>

InstanceLock::InstanceLock(const QString &dir)
    : m_lock(std::make_unique<QLockFile>(dir + QStringLiteral("Kolrin.lock")))
{
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::acquire()
{
    if (m_lock->tryLock(0))
        return true;
    return m_lock->error() != QLockFile::LockFailedError;
}
