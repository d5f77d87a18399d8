#pragma once

#include <QLockFile>
#include <QString>

namespace marbleway {

// Keeps a second copy of the program from running on the same data folder. The
// lock is released when the program ends; a lock left by a crashed program is
// taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath);

    enum class Result { Acquired, HeldByAnother, Unusable };
    // Unusable: the lock file cannot be made at all (a folder that cannot be
    // written); reason() tells why.
    Result acquire();
    QString reason() const;

    static constexpr const char* LockName = "marbleway.lock";

private:
    QLockFile m_lock;
    bool m_unreadable = false;
};

} // namespace marbleway
