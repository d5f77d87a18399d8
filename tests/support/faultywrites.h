#pragma once

#include "core/textfile.h"

#include <QSettings>
#include <QTemporaryDir>

#include <optional>

namespace marbleway::test {

// How a write fails on a full disk: the bytes stop half way, or the finished
// file cannot take the old one's place.
enum class WriteFault { Write, Commit };
inline constexpr WriteFault AllWriteFaults[] = {WriteFault::Write, WriteFault::Commit};

// Writes files as the system does until given a fault.
class FaultyWriter final : public FileWriter {
public:
    void setFault(std::optional<WriteFault> fault) { m_fault = fault; }
    std::unique_ptr<QSaveFile> open(const QString& path) const override;
    bool commit(QSaveFile& file) const override;

private:
    std::optional<WriteFault> m_fault;
};

// Settings in `path` whose every sync fails with `fault`.
std::unique_ptr<QSettings> faultySettings(const QString& path, WriteFault fault);

// A real disk that can be filled: a 64 KiB tmpfs mounted while the object lives.
// Needs root and mount; reason() says why there is none.
class SmallDisk {
public:
    SmallDisk();
    ~SmallDisk();
    const QString& reason() const { return m_reason; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    void fill() const;
    void free() const;

private:
    QTemporaryDir m_dir;
    QString m_reason;
};

} // namespace marbleway::test
