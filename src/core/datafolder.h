#pragma once

#include "core/textfile.h"

#include <QString>

#include <memory>

namespace marbleway {

// The folder that holds the program's files: the keyword database, the keyword
// lists, the favourites and "ver.txt".
class DataFolder {
public:
    // Files are written through `writer`; the system's when none is given.
    explicit DataFolder(QString path, std::shared_ptr<const FileWriter> writer = {});

    // $MARBLEWAY_HOME when set, else the per-user data folder ("Marbleway" under
    // the platform's generic data location).
    static DataFolder fromEnvironment();

    const QString& path() const { return m_path; }
    QString filePath(const QString& name) const;
    const FileWriter& writer() const;
    // Replaces the text file `name` (a path below the folder); see writeAnsiFile().
    [[nodiscard]] WriteResult write(const QString& name, QStringView text) const;
    // Creates the folder when it is missing; false when that fails.
    bool ensureExists() const;

    static constexpr const char* EnvironmentVariable = "MARBLEWAY_HOME";

private:
    QString m_path;
    std::shared_ptr<const FileWriter> m_writer;
};

} // namespace marbleway
