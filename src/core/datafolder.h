#pragma once

#include <QString>

namespace marbleway {

// The folder that holds the program's files: the keyword database, the keyword
// lists, the favourites and "ver.txt".
class DataFolder {
public:
    explicit DataFolder(QString path);

    // $MARBLEWAY_HOME when set, else the per-user data folder ("Marbleway" under
    // the platform's generic data location).
    static DataFolder fromEnvironment();

    const QString& path() const { return m_path; }
    QString filePath(const QString& name) const;
    // Creates the folder when it is missing; false when that fails.
    bool ensureExists() const;

    static constexpr const char* EnvironmentVariable = "MARBLEWAY_HOME";

private:
    QString m_path;
};

} // namespace marbleway
