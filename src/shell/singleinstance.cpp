#include "shell/singleinstance.h"

namespace marbleway {

SingleInstance::SingleInstance(const QString& lockPath)
    : m_lock(lockPath)
{
    // Never by age: a program that has run for days still holds its lock. A lock
    // whose process is gone is stale whatever its age.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

} // namespace marbleway
