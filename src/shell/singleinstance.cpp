#include "shell/singleinstance.h"

#include <QCoreApplication>

namespace marbleway {

using namespace Qt::StringLiterals;

SingleInstance::SingleInstance(const QString& lockPath)
    : m_lock(lockPath)
{
    // Never by age: a program that has run for days still holds its lock. A lock
    // whose process is gone is stale whatever its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::Result SingleInstance::acquire()
{
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return Result::Acquired;
    // Held means a lock file that names its holder; anything else in its place
    // makes the folder unusable, not the program "already running".
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock.error() == QLockFile::LockFailedError &&
        m_lock.getLockInfo(&pid, &host, &application))
        return Result::HeldByAnother;
    m_unreadable = m_lock.error() == QLockFile::LockFailedError;
    return Result::Unusable;
}

QString SingleInstance::reason() const
{
    switch (m_lock.error()) {
    case QLockFile::PermissionError:
        return QCoreApplication::translate("SingleInstance", "没有写入权限");
    case QLockFile::LockFailedError:
        return m_unreadable ? QCoreApplication::translate("SingleInstance", "锁文件 %1 无法读取")
                                  .arg(QString::fromLatin1(LockName))
                            : QCoreApplication::translate("SingleInstance", "另一个程序正在使用");
    case QLockFile::NoError:
        return {};
    case QLockFile::UnknownError:
        break;
    }
    return QCoreApplication::translate("SingleInstance", "无法创建锁文件");
}

} // namespace marbleway
