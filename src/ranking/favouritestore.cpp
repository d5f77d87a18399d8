#include "ranking/favouritestore.h"

#include "core/clock.h"
#include "core/textfile.h"
#include "ranking/ranktext.h"

#include <QDir>
#include <QFileInfo>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// A day file's name: "yyyy-MM-dd.txt" of a real date.
bool isDayFileName(QStringView name)
{
    return name.size() == 14 && name.endsWith(u".txt") &&
           parseIsoDate(name.first(10).toString()).isValid();
}

} // namespace

FavouriteStore::FavouriteStore(const DataFolder& dataFolder)
    : m_data(dataFolder)
    , m_folder(dataFolder.filePath(u"myfav"_s))
{}

QString FavouriteStore::pathOf(const QString& descriptor) const
{
    return m_folder + u'/' + descriptor;
}

QStringList FavouriteStore::descriptors() const
{
    return QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

bool FavouriteStore::IsSaves(const QString& descriptor) const
{
    // Compared with the listing, not by path: the name must match exactly.
    return isValidName(descriptor) && descriptors().contains(descriptor);
}

bool FavouriteStore::isValidName(const QString& descriptor)
{
    if (descriptor.isEmpty() || descriptor == u"."_s || descriptor == u".."_s)
        return false;
    if (descriptor.contains(u'/') || descriptor.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    for (const QChar ch : u"\\:*?\"<>|")
        if (descriptor.contains(ch))
            return false;
    if (descriptor.endsWith(u'.') || descriptor.endsWith(u' '))
        return false;
#endif
    return descriptor.toUtf8().size() <= 255;
}

FavouriteStore::Created FavouriteStore::create(const QString& descriptor) const
{
    if (!isValidName(descriptor))
        return Created::InvalidName;
    if (QFileInfo(pathOf(descriptor)).isDir())
        return Created::Exists;
    return QDir().mkpath(pathOf(descriptor)) ? Created::Created : Created::Failed;
}

WriteResult FavouriteStore::writeDay(const QString& descriptor, QDate day,
                                     const QStringList& lines) const
{
    if (!isValidName(descriptor))
        return {u"not a folder name: %1"_s.arg(descriptor)};
    removeStaleTemporaries(pathOf(descriptor), isDayFileName);
    const QString file = pathOf(descriptor) + u'/' + isoDate(day) + u".txt"_s;
    const auto earlier = readAnsiFile(file);
    const QStringList kept = earlier ? keepReadLines(splitLines(*earlier), lines) : lines;
    return writeAnsiFile(file, crlfLines(kept), m_data.writer());
}

QList<HistoryDay> FavouriteStore::days(const QString& descriptor) const
{
    QList<HistoryDay> days;
    if (!isValidName(descriptor))
        return days;
    const QDir folder(pathOf(descriptor));
    for (const QString& file : folder.entryList(QDir::Files, QDir::Name)) {
        if (!isDayFileName(file))
            continue;
        HistoryDay day;
        day.date = file.first(10);
        const auto text = readAnsiFile(folder.filePath(file));
        day.readable = text.has_value();
        if (text)
            day.lines = splitLines(*text);
        days << day;
    }
    return days;
}

WriteResult FavouriteStore::remove(const QStringList& descriptors) const
{
    const QString index = m_folder + u"/list.txt"_s;
    const auto listed = readAnsiFile(index);
    for (const QString& descriptor : descriptors) {
        if (isValidName(descriptor))
            QDir(pathOf(descriptor)).removeRecursively();
    }
    if (!listed)
        return {};
    QString kept = *listed;
    for (const QString& descriptor : descriptors)
        kept.remove(descriptor + u"\r\n"_s);
    return writeAnsiFile(index, kept, m_data.writer());
}

} // namespace marbleway
