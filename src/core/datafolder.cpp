#include "core/datafolder.h"

#include <QDir>
#include <QStandardPaths>

namespace marbleway {

using namespace Qt::StringLiterals;

DataFolder::DataFolder(QString path, std::shared_ptr<const FileWriter> writer)
    : m_path(QDir::cleanPath(path))
    , m_writer(std::move(writer))
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

const FileWriter& DataFolder::writer() const
{
    return m_writer ? *m_writer : FileWriter::system();
}

WriteResult DataFolder::write(const QString& name, QStringView text) const
{
    return writeAnsiFile(filePath(name), text, writer());
}

bool DataFolder::ensureExists() const
{
    return QDir().mkpath(m_path);
}

} // namespace marbleway
