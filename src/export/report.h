#pragma once

#include "core/textfile.h"

#include <QAbstractItemModel>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace marbleway {

// The five lists that export, numbered as their reports always were.
enum class ReportKind : qint16 { Related = 5, AdWords = 6, Resources = 7, Rank = 8, Database = 9 };

enum class ExportFormat { Text, Html, Workbook, Csv };

// The format a file name asks for: .txt, .htm or .html, .xlsx, .csv.
std::optional<ExportFormat> formatOfFile(const QString& path);
// The extension the save dialog offers for a format.
QString extensionOf(ExportFormat format);

// What a list shows, as it is exported: its headers, which columns are hidden
// (skipped by the workbook and CSV), and its rows in the order shown, each
// with its tag (an address, a record) for the text and HTML reports.
struct ExportTable {
    struct Row {
        QStringList cells;
        QString tag;
    };
    QStringList headers;
    std::vector<bool> hidden;
    std::vector<Row> rows;

    // The rows a model shows, top to bottom.
    static ExportTable of(const QAbstractItemModel& model, std::vector<bool> hidden = {});
};

// The report files of the program: text and HTML in GBK as the reports always
// were (a character GBK lacks is "?" in text and a numeric character reference
// in HTML); CSV in UTF-8 with a byte order mark, quoted as RFC 4180 says.
QByteArray textReport(ReportKind kind, const ExportTable& table);
QByteArray htmlReport(ReportKind kind, const ExportTable& table);
QByteArray csvReport(const ExportTable& table);

// An .xlsx workbook of one sheet: the header row bold at 12 pt, hidden columns
// left out, columns as wide as their content, page counts as numbers.
// Nothing when it was written, else the reason.
std::optional<QString> writeWorkbook(const QString& path, ReportKind kind,
                                     const ExportTable& table);

// Writes `table` as `format` to `path`. The file is replaced only once the
// new one is whole: a failed write leaves an existing file as it was.
[[nodiscard]] WriteResult writeReport(const QString& path, ExportFormat format, ReportKind kind,
                                      const ExportTable& table,
                                      const FileWriter& writer = FileWriter::system());

} // namespace marbleway
