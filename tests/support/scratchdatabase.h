#pragma once

#include "keyworddb/databaselocation.h"

#include <QTemporaryDir>

namespace marbleway::test {

// The database a store test runs against: a new SQLite file, or, when the test
// runs against the throwaway PostgreSQL server (tests/support/pgcluster, its
// address in the file MARBLEWAY_TEST_POSTGRESQL names), a new database there,
// dropped again at the end.
class ScratchDatabase {
public:
    ScratchDatabase();
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    static bool isPostgreSQL();
    // Empty when the database could not be made (error() says why).
    const DatabaseLocation& location() const { return m_location; }
    const QString& error() const { return m_error; }
    // A statement run as the server's administrator (PostgreSQL only).
    bool administer(const QString& sql);

private:
    QTemporaryDir m_folder;
    DatabaseLocation m_location;
    QString m_error;
};

} // namespace marbleway::test
