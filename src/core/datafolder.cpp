#include "core/datafolder.h"

#include <QDir>
#include <QStandardPaths>

namespace marbleway {

using namespace Qt::StringLiterals;

DataFolder::DataFolder(QString path)
    : m_path(QDir::cleanPath(path))
{}

DataFolder DataFolder::fromEnvironment()
{
    const QString home = qEnvironmentVariable(EnvironmentVariable);
    if (!home.isEmpty())
        return DataFolder(home);
    return DataFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      u"/Marbleway"_s);
}

QString DataFolder::filePath(const QString& name) const
{
    return m_path + u'/' + name;
}

bool DataFolder::ensureExists() const
{
    return QDir().mkpath(m_path);
}

} // namespace marbleway
