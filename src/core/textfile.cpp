#include "core/textfile.h"

#include "core/ansi.h"

#include <QFile>
#include <QSaveFile>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

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

QString crlfLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + u"\r\n"_s;
    return text;
}

bool writeAnsiFile(const QString& path, QStringView text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(toGb18030(text));
    return file.commit();
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
