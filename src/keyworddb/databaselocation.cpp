#include "keyworddb/databaselocation.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

namespace marbleway {

using namespace Qt::StringLiterals;

DatabaseLocation DatabaseLocation::sqliteFile(const QString& path)
{
    DatabaseLocation location;
    location.file = path;
    return location;
}

std::optional<DatabaseLocation> DatabaseLocation::parse(const QString& text,
                                                        const DataFolder& folder, QString* error)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return sqliteFile(folder.filePath(QString::fromLatin1(DefaultFileName)));
    const qsizetype schemeEnd = trimmed.indexOf(u"://"_s);
    if (schemeEnd < 0) {
        return sqliteFile(QDir::isAbsolutePath(trimmed) ? trimmed : folder.filePath(trimmed));
    }
    const QString scheme = trimmed.first(schemeEnd).toLower();
    if (scheme != u"postgresql" && scheme != u"postgres") {
        *error = u"unknown kind of database \"%1\" (postgresql:// or a file)"_s.arg(scheme);
        return std::nullopt;
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    // QUrl's own message repeats the address, password and all.
    if (!url.isValid()) {
        *error = u"not a database address: its host, port or user cannot be read"_s;
        return std::nullopt;
    }
    DatabaseLocation location;
    location.kind = Kind::PostgreSQL;
    location.host = url.host(QUrl::FullyDecoded);
    location.port = url.port();
    location.user = url.userName(QUrl::FullyDecoded);
    location.password = url.password(QUrl::FullyDecoded);
    location.name = url.path(QUrl::FullyDecoded).mid(1);
    if (location.name.contains(u'/')) {
        *error = u"a database name holds no \"/\": %1"_s.arg(location.name);
        return std::nullopt;
    }
    QStringList options;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        // The client library reads "key=value" pairs; a space or quote would
        // run into the next one.
        if (key.isEmpty() || key.contains(u' ') || value.contains(u' ') || value.contains(u'\'') ||
            key.contains(u';') || value.contains(u';')) {
            *error = u"a database option cannot be read: %1=%2"_s.arg(key, value);
            return std::nullopt;
        }
        options << key + u'=' + value;
    }
    location.options = options.join(u';');
    return location;
}

QString DatabaseLocation::shown() const
{
    if (kind == Kind::SQLite)
        return file;
    QString shown = u"postgresql://"_s;
    if (!user.isEmpty())
        shown += user + u'@';
    shown += host;
    if (port > 0)
        shown += u':' + QString::number(port);
    return shown + u'/' + name;
}

std::optional<DatabaseLocation> configuredDatabase(const QSettings& settings,
                                                   const DataFolder& folder, QString* error)
{
    const QString fromEnvironment = qEnvironmentVariable(DatabaseEnvironmentVariable);
    const bool environment = !fromEnvironment.trimmed().isEmpty();
    const QString text = environment
                             ? fromEnvironment
                             : settings.value(QString::fromLatin1(DatabaseSettingKey)).toString();
    auto location = DatabaseLocation::parse(text, folder, error);
    if (!location) {
        *error =
            u"%1 (%2)"_s.arg(*error, environment ? QString::fromLatin1(DatabaseEnvironmentVariable)
                                                 : QString::fromLatin1(DatabaseSettingKey));
    }
    return location;
}

} // namespace marbleway
