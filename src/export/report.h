#pragma once

#include "core/textfile.h"

#include <QAbstractItemModel>
#include <QIODevice>
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
// with its tag (an address, a record) for the text and HTML reports. Rows are
// read as the file is written, so that a large list is never copied.
class ReportRows {
public:
    virtual ~ReportRows() = default;
    virtual int rowCount() const = 0;
    virtual QString cell(int row, int column) const = 0;
    virtual QString tag(int row) const = 0;

    QStringList headers;
    std::vector<bool> hidden;
};

// The rows a model shows, top to bottom, read from it while the file is written.
class ModelRows final : public ReportRows {
public:
    explicit ModelRows(const QAbstractItemModel& model, std::vector<bool> hidden = {});
    int rowCount() const override { return m_model->rowCount(); }
    QString cell(int row, int column) const override;
    QString tag(int row) const override;

private:
    const QAbstractItemModel* m_model;
};

// Rows held as they are (the command line's results).
class ExportTable final : public ReportRows {
public:
    struct Row {
        QStringList cells;
        QString tag;
    };
    std::vector<Row> rows;

    int rowCount() const override { return int(rows.size()); }
    QString cell(int row, int column) const override
    {
        return rows[size_t(row)].cells.value(column);
    }
    QString tag(int row) const override { return rows[size_t(row)].tag; }
};

// The report files of the program: text and HTML in GBK as the reports always
// were (a character GBK lacks is "?" in text and a numeric character reference
// in HTML); CSV in UTF-8 with a byte order mark, quoted as RFC 4180 says.
bool writeTextReport(QIODevice& file, ReportKind kind, const ReportRows& rows);
bool writeHtmlReport(QIODevice& file, ReportKind kind, const ReportRows& rows);
bool writeCsv(QIODevice& file, const ReportRows& rows);
// The same, as bytes.
QByteArray textReport(ReportKind kind, const ReportRows& rows);
QByteArray htmlReport(ReportKind kind, const ReportRows& rows);
QByteArray csvReport(const ReportRows& rows);

// An .xlsx workbook of one sheet: the header row bold at 12 pt, hidden columns
// left out, columns as wide as their content, page counts as numbers.
// Nothing when it was written, else the reason.
std::optional<QString> writeWorkbook(const QString& path, ReportKind kind, const ReportRows& rows);

// Writes the rows as `format` to `path`. The file is replaced only once the
// new one is whole: a failed write leaves an existing file as it was.
[[nodiscard]] WriteResult writeReport(const QString& path, ExportFormat format, ReportKind kind,
                                      const ReportRows& rows,
                                      const FileWriter& writer = FileWriter::system());

} // namespace marbleway
