#include "core/textfile.h"

#include "core/ansi.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// The data has to be on the disk before the rename: after a crash the renamed
// file must not turn out empty.
bool syncToDisk(QSaveFile& file)
{
    const int handle = file.handle();
    if (handle < 0)
        return true;
#if defined(Q_OS_WIN)
    return _commit(handle) == 0;
#elif defined(Q_OS_LINUX)
    // What QSaveFile::commit() does too, but it ignores the outcome.
    return fdatasync(handle) == 0;
#else
    return fsync(handle) == 0;
#endif
}

std::optional<QByteArray> readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

FileWriter::~FileWriter() = default;

std::unique_ptr<QSaveFile> FileWriter::open(const QString& path) const
{
    return std::make_unique<QSaveFile>(path);
}

bool FileWriter::commit(QSaveFile& file) const
{
    return file.commit();
}

const FileWriter& FileWriter::system()
{
    static const FileWriter writer;
    return writer;
}

QString crlfLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + u"\r\n"_s;
    return text;
}

WriteResult writeAnsiFile(const QString& path, QStringView text, const FileWriter& writer)
{
    return writeWholeFile(path, toGb18030(text), writer);
}

WriteResult writeWholeFile(const QString& path, const QByteArray& bytes, const FileWriter& writer)
{
    return writeFileWith(
        path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); }, writer);
}

WriteResult writeFileWith(const QString& path, const std::function<bool(QIODevice&)>& produce,
                          const FileWriter& writer)
{
    const std::unique_ptr<QSaveFile> file = writer.open(path);
    // Writing in place would empty the old file first; there is no fallback to it.
    file->setDirectWriteFallback(false);
    if (!file->open(QIODevice::WriteOnly))
        return {file->errorString()};
    // QSaveFile::commit() does not see an error of the flush it makes itself,
    // and renames a file the full disk left empty: flush and check first.
    if (!produce(*file) || !file->flush()) {
        const QString error = file->error() == QFileDevice::NoError
                                  ? u"only part of the file was written"_s
                                  : file->errorString();
        file->cancelWriting();
        return {error};
    }
    if (!syncToDisk(*file)) {
        const QString error = QString::fromLocal8Bit(strerror(errno));
        file->cancelWriting();
        return {error};
    }
    if (!writer.commit(*file))
        return {file->errorString()};
    return {};
}

std::optional<QString> readAnsiFile(const QString& path)
{
    const auto bytes = readBytes(path);
    if (!bytes)
        return std::nullopt;
    return fromAnsi(*bytes);
}

std::optional<QString> readImportedTextFile(const QString& path)
{
    const auto bytes = readBytes(path);
    if (!bytes)
        return std::nullopt;
    return decodeGuessed(*bytes);
}

void removeStaleTemporaries(const QString& folder, const std::function<bool(QStringView)>& isTarget)
{
    // QSaveFile names its temporary file after the target plus "." and six letters.
    static const QRegularExpression temporary(u"^(.+)\\.[A-Za-z0-9]{6}$"_s);
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QDir dir(folder);
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = temporary.match(file.fileName());
        if (match.hasMatch() && isTarget(match.capturedView(1)) &&
            file.lastModified().toUTC() < stale)
            QFile::remove(file.filePath());
    }
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    for (const QStringView line : text.split(u'\n'))
        lines << (line.endsWith(u'\r') ? line.chopped(1) : line).toString();
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace marbleway
