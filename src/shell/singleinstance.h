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

    // False when another running program holds the lock.
    bool acquire();

    static constexpr const char* LockName = "marbleway.lock";

private:
    QLockFile m_lock;
};

} // namespace marbleway
