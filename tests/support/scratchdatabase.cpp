#include "scratchdatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace marbleway::test {

using namespace Qt::StringLiterals;

namespace {

const QString adminConnection = u"test-administrator"_s;

QString serverAddress()
{
    QFile file(qEnvironmentVariable("MARBLEWAY_TEST_POSTGRESQL"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

} // namespace

bool ScratchDatabase::isPostgreSQL()
{
    return !qEnvironmentVariableIsEmpty("MARBLEWAY_TEST_POSTGRESQL");
}

ScratchDatabase::ScratchDatabase()
{
    const DataFolder folder(m_folder.path());
    if (!isPostgreSQL()) {
        m_location = DatabaseLocation::sqliteFile(folder.filePath(u"db.sqlite"_s));
        return;
    }
    const auto server = DatabaseLocation::parse(serverAddress(), folder, &m_error);
    if (!server || server->kind != DatabaseLocation::Kind::PostgreSQL) {
        m_error = u"no PostgreSQL server for the test: %1"_s.arg(m_error);
        return;
    }
    if (!QSqlDatabase::contains(adminConnection)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, adminConnection);
        db.setHostName(server->host);
        db.setPort(server->port);
        db.setUserName(server->user);
        db.setDatabaseName(server->name);
        if (!db.open()) {
            m_error = db.lastError().text();
            return;
        }
    }
    static int counter = 0;
    const QString name =
        u"marbleway_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++counter);
    if (!administer(u"create database "_s + name))
        return;
    m_location = *server;
    m_location.name = name;
}

ScratchDatabase::~ScratchDatabase()
{
    if (m_location.kind == DatabaseLocation::Kind::PostgreSQL && !m_location.name.isEmpty())
        administer(u"drop database if exists %1 with (force)"_s.arg(m_location.name));
}

bool ScratchDatabase::administer(const QString& sql)
{
    QSqlQuery query(QSqlDatabase::database(adminConnection));
    if (query.exec(sql))
        return true;
    m_error = query.lastError().text();
    return false;
}

} // namespace marbleway::test
