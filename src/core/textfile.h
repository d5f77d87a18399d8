#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;
class QSaveFile;

namespace marbleway {

// The program's text files are GB18030 (GBK for every character GBK has) with
// CR LF line ends.

// What became of a write: nothing in `error` when the file was replaced.
struct WriteResult {
    QString error;
    explicit operator bool() const { return error.isEmpty(); }
};

// How files are replaced: bytes go to a temporary file beside the target and
// commit() renames it over the old one. Tests hand in one whose writes or
// commits fail, as a full disk makes them.
class FileWriter {
public:
    virtual ~FileWriter();
    virtual std::unique_ptr<QSaveFile> open(const QString& path) const;
    // Puts the written temporary file in place; false leaves the old file.
    virtual bool commit(QSaveFile& file) const;

    static const FileWriter& system();
};

// Each line followed by CR LF.
QString crlfLines(const QStringList& lines);

// Replaces the file whole with `text` in GB18030. Every byte reaches the disk
// before the new file takes the old one's place, so a failed write (a full disk
// among others) leaves the old file as it was and says why.
[[nodiscard]] WriteResult writeAnsiFile(const QString& path, QStringView text,
                                        const FileWriter& writer = FileWriter::system());

// Replaces the file whole with `bytes`, as writeAnsiFile() does.
[[nodiscard]] WriteResult writeWholeFile(const QString& path, const QByteArray& bytes,
                                         const FileWriter& writer = FileWriter::system());

// Replaces the file whole with what `produce` writes into it (false when a
// write failed), as writeAnsiFile() does: for files too large to build in
// memory first.
[[nodiscard]] WriteResult writeFileWith(const QString& path,
                                        const std::function<bool(QIODevice&)>& produce,
                                        const FileWriter& writer = FileWriter::system());

// The text of one of the program's own files (see fromAnsi()), or nullopt when
// it is missing or cannot be read.
std::optional<QString> readAnsiFile(const QString& path);

// The text of a file the user picked to import, in whatever encoding it came
// (see decodeGuessed()); nullopt when it cannot be read.
std::optional<QString> readImportedTextFile(const QString& path);

// Removes the temporary files that writes killed before their rename left in
// `folder`, for the files whose names `isTarget` accepts. Temporaries younger
// than a minute may belong to a write still running and stay.
void removeStaleTemporaries(const QString& folder,
                            const std::function<bool(QStringView)>& isTarget);

// The lines of a text, with CR LF or LF ends; no empty last line for a final break.
QStringList splitLines(QStringView text);

} // namespace marbleway
