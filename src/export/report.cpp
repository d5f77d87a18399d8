#include "export/report.h"

#include "core/ansi.h"
#include "core/listroles.h"
#include "lists/resultfilter.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <xlsxwriter.h>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

struct Layout {
    QString textHeader;
    QString title;
    QString headerCells;
};

// Kinds 5 to 9, in order: the text header line, the HTML report's title and
// header cells, as the reports have always read.
const std::array<Layout, 5> layouts = {{
    {u"相关关键词        Google.com收录      Yahoo.com收录     Bing.com收录 "_s,
     u"相关关键词分析报告"_s,
     u"<td width='40%' height='25'>相关关键词</td><td width='20%'>Google.com收录</td><td width='20%'>Yahoo.com收录</td><td width='20%'>Bing.com收录</td></tr>"_s},
    {u"相关关键词    估计广告排名   估计每次点击费用  广告客户竞争度  全球每月搜索量  "_s,
     u"Adwords关键词分析报告"_s,
     u"<td width='20%' height='25'>相关关键词</td><td width='20%'>估计广告排名</td><td width='20%' height='25'>估计每次点击费用</td><td width='20%'>广告客户竞争度</td><td width='20%'>全球每月搜索量</td></tr>"_s},
    {u"资源名称         资源URL      PR     备注&说明"_s, u"外链资源库分析报告"_s,
     u"<td width='30%' height='25'>资源名称</td><td width='30%'>资源URL</td><td width='14%'>PR</td><td width='26%'>备注&说明</td></tr>"_s},
    {u"搜索引擎/网站         关键词/排名      查询日期/收录网址"_s, u"搜索引擎关键词排名分析报告"_s,
     u"<td width='40%' height='25'>搜索引擎/网站</td><td width='30%'>关键词/排名</td><td width='30%'>查询日期/收录网址</td></tr>"_s},
    {u"相关关键词        父关键词        Google.com收录      Yahoo.com收录     Bing.com收录    更新日期  "_s,
     u"关键词数据库分析报告"_s,
     u"<td width='20%' height='25'>相关关键词</td><td width='15%' height='25'>父关键词</td><td width='15%'>Google.com收录</td><td width='15%'>Yahoo.com收录</td><td width='15%'>Bing.com收录</td><td width='20%'>更新日期</td></tr>"_s},
}};

const Layout& layoutOf(ReportKind kind)
{
    return layouts[size_t(qint16(kind) - qint16(ReportKind::Related))];
}

const QString banner =
    u"@@@@@@@@@@@@   txt格式的数据导出显示效果较差，如需较好的效果请导出为Excel或Html格式  @@@@@@@@@@@@ "_s;

// Columns holding page counts, written to a workbook as numbers.
std::vector<int> countColumns(ReportKind kind)
{
    switch (kind) {
    case ReportKind::Related:
        return {1, 2, 3, 4, 5, 6};
    case ReportKind::Database:
        return {2, 3, 4};
    default:
        return {};
    }
}

// A cell whose text would mark a site that links to nobody, shown red.
bool isAlarm(const QString& value)
{
    return value == u"未发现本站链接"_s || value.contains(u"对方网站不可到达"_s);
}

// GBK, with the characters it lacks as numeric character references.
class HtmlEncoder {
public:
    QByteArray encode(QStringView text)
    {
        QByteArray bytes;
        bytes.reserve(text.size() + text.size() / 2);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar ch = text.at(i);
            if (ch.unicode() < 0x80) {
                bytes += char(ch.unicode());
                continue;
            }
            char32_t code = ch.unicode();
            qsizetype units = 1;
            if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                code = QChar::surrogateToUcs4(ch, text.at(i + 1));
                units = 2;
            }
            const QByteArray gbk = units == 1 ? inGbk(ch) : QByteArray();
            bytes += gbk.isEmpty() ? "&#" + QByteArray::number(quint32(code)) + ';' : gbk;
            i += units - 1;
        }
        return bytes;
    }

private:
    // The GBK bytes of a character; empty when GBK lacks it.
    QByteArray inGbk(QChar ch)
    {
        const auto found = m_known.constFind(ch.unicode());
        if (found != m_known.constEnd())
            return *found;
        QByteArray bytes = toAnsi(QStringView(&ch, 1));
        if (bytes == "?")
            bytes.clear();
        m_known.insert(ch.unicode(), bytes);
        return bytes;
    }

    QHash<char16_t, QByteArray> m_known;
};

QString htmlEscaped(const QString& text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(u'\'', u"&#39;"_s);
    return escaped;
}

// A cell on one line of the text report.
QString oneLine(QString text)
{
    text.replace(u"\r\n"_s, u" "_s);
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

std::vector<int> shownColumns(const ReportRows& rows)
{
    std::vector<int> columns;
    for (int column = 0; column < rows.headers.size(); ++column) {
        if (size_t(column) >= rows.hidden.size() || !rows.hidden[size_t(column)])
            columns.push_back(column);
    }
    return columns;
}

// Shown columns past those the report's fixed header names (the Baidu figures
// of the related list), headed by their own titles.
std::vector<int> extraColumns(ReportKind kind, const std::vector<int>& shown)
{
    const auto named = layoutOf(kind).headerCells.count(u"<td"_s);
    return shown.size() > size_t(named) ? std::vector<int>(shown.begin() + named, shown.end())
                                        : std::vector<int>();
}

// Writes what `add` produces in pieces of about 64 KiB: a large report never
// sits whole in memory.
class Chunks {
public:
    explicit Chunks(QIODevice& file)
        : m_file(&file)
    {}
    void add(const QByteArray& bytes)
    {
        m_buffer += bytes;
        if (m_buffer.size() >= 65536)
            flush();
    }
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    void flush()
    {
        if (m_ok && !m_buffer.isEmpty())
            m_ok = m_file->write(m_buffer) == m_buffer.size();
        m_buffer.clear();
    }

    QIODevice* m_file;
    QByteArray m_buffer;
    bool m_ok = true;
};

QByteArray toBytes(const std::function<bool(QIODevice&)>& write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return bytes;
}

// Columns a person reads as wide (CJK) count twice.
double displayWidth(const QString& text)
{
    double width = 0;
    for (const QChar ch : text)
        width += ch.unicode() >= 0x2E80 ? 2 : 1;
    return width;
}

} // namespace

std::optional<ExportFormat> formatOfFile(const QString& path)
{
    const QString suffix = path.section(u'.', -1).toLower();
    if (!path.contains(u'.'))
        return std::nullopt;
    if (suffix == u"txt"_s)
        return ExportFormat::Text;
    if (suffix == u"htm"_s || suffix == u"html"_s)
        return ExportFormat::Html;
    if (suffix == u"xlsx"_s)
        return ExportFormat::Workbook;
    if (suffix == u"csv"_s)
        return ExportFormat::Csv;
    return std::nullopt;
}

QString extensionOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Text:
        return u"txt"_s;
    case ExportFormat::Html:
        return u"htm"_s;
    case ExportFormat::Workbook:
        return u"xlsx"_s;
    case ExportFormat::Csv:
        return u"csv"_s;
    }
    return {};
}

ModelRows::ModelRows(const QAbstractItemModel& model, std::vector<bool> hiddenColumns)
    : m_model(&model)
{
    for (int column = 0; column < model.columnCount(); ++column) {
        // Exported files name columns in the source language, whatever the window shows.
        const QVariant source = model.headerData(column, Qt::Horizontal, SourceHeaderRole);
        headers
            << (source.isValid() ? source : model.headerData(column, Qt::Horizontal)).toString();
    }
    hidden = std::move(hiddenColumns);
}

QString ModelRows::cell(int row, int column) const
{
    // As held, not as the window's language shows it: files keep their words.
    return m_model->index(row, column).data(Qt::EditRole).toString();
}

QString ModelRows::tag(int row) const
{
    return m_model->index(row, 0).data(TagRole).toString();
}

bool writeTextReport(QIODevice& file, ReportKind kind, const ReportRows& rows)
{
    Chunks out(file);
    const std::vector<int> columns = shownColumns(rows);
    QString header = layoutOf(kind).textHeader;
    for (const int column : extraColumns(kind, columns))
        header += rows.headers.value(column) + u"     "_s;
    out.add(toAnsi(QString(banner + u"\r\n\r\n"_s + header)));
    QString line;
    for (int row = 0; row < rows.rowCount(); ++row) {
        line = u"\r\n"_s + oneLine(rows.cell(row, 0)) + u"    "_s;
        for (size_t i = 1; i < columns.size(); ++i)
            line += oneLine(rows.cell(row, columns[i])) + u"     "_s;
        line += oneLine(rows.tag(row));
        out.add(toAnsi(line));
    }
    out.add("\r\n");
    return out.finish();
}

bool writeHtmlReport(QIODevice& file, ReportKind kind, const ReportRows& rows)
{
    const Layout& layout = layoutOf(kind);
    const std::vector<int> columns = shownColumns(rows);
    QString headerCells = layout.headerCells;
    headerCells.chop(5); // "</tr>"
    for (const int column : extraColumns(kind, columns))
        headerCells += u"<td>"_s + htmlEscaped(rows.headers.value(column)) + u"</td>"_s;
    headerCells += u"</tr>"_s;
    HtmlEncoder encoder;
    Chunks out(file);
    out.add(
        encoder.encode(QString(u"<html><title>"_s + layout.title +
                               u"</title><meta http-equiv=\"Content-Type\" content=\"text/html; "
                               "charset=gb2312\" /><body>"_s +
                               u"<table width='100%' border='0' style='font-size:12px'>"_s +
                               u"<tr align=center style='font-weight:bold'>"_s + headerCells)));
    QString html;
    for (int row = 0; row < rows.rowCount(); ++row) {
        html = u"<tr align='center'><td>"_s + htmlEscaped(rows.cell(row, 0)) + u"</td>"_s;
        for (size_t i = 1; i + 1 < columns.size(); ++i)
            html += u"<td>"_s + htmlEscaped(rows.cell(row, columns[i])) + u"</td>"_s;
        if (columns.size() > 1) {
            const QString last = rows.cell(row, columns.back());
            html += isAlarm(last)
                        ? u"<td><font color =red>"_s + htmlEscaped(last) + u"</font></td></tr>"_s
                        : u"<td>"_s + htmlEscaped(last) + u"</td></tr>"_s;
        } else {
            html += u"</tr>"_s;
        }
        out.add(encoder.encode(html));
    }
    out.add("</table></body></html>\r\n");
    return out.finish();
}

bool writeCsv(QIODevice& file, const ReportRows& rows)
{
    const std::vector<int> columns = shownColumns(rows);
    Chunks out(file);
    out.add("\xEF\xBB\xBF");
    QString line;
    const auto add = [&](const std::function<QString(int)>& cell) {
        line.clear();
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                line += u',';
            line += csvField(cell(columns[i]));
        }
        line += u"\r\n"_s;
        out.add(line.toUtf8());
    };
    add([&rows](int column) { return rows.headers.value(column); });
    for (int row = 0; row < rows.rowCount(); ++row)
        add([&rows, row](int column) { return rows.cell(row, column); });
    return out.finish();
}

QByteArray textReport(ReportKind kind, const ReportRows& rows)
{
    return toBytes([&](QIODevice& file) { return writeTextReport(file, kind, rows); });
}

QByteArray htmlReport(ReportKind kind, const ReportRows& rows)
{
    return toBytes([&](QIODevice& file) { return writeHtmlReport(file, kind, rows); });
}

QByteArray csvReport(const ReportRows& rows)
{
    return toBytes([&](QIODevice& file) { return writeCsv(file, rows); });
}

std::optional<QString> writeWorkbook(const QString& path, ReportKind kind, const ReportRows& rows)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go out as they are written
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* workbook = workbook_new_opt(file.constData(), &options);
    if (!workbook)
        return u"the workbook cannot be created"_s;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* header = workbook_add_format(workbook);
    format_set_bold(header);
    format_set_font_size(header, 12);

    const std::vector<int> columns = shownColumns(rows);
    const std::vector<int> counts = countColumns(kind);
    std::vector<double> widths(columns.size(), 8);
    for (size_t i = 0; i < columns.size(); ++i)
        widths[i] = std::max(widths[i], displayWidth(rows.headers.value(columns[i])) * 1.2);
    for (int row = 0; row < rows.rowCount(); ++row) {
        for (size_t i = 0; i < columns.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(rows.cell(row, columns[i])));
    }
    // Widths go before the first row in constant-memory mode.
    for (size_t i = 0; i < columns.size(); ++i)
        worksheet_set_column(sheet, lxw_col_t(i), lxw_col_t(i), std::min(widths[i] + 2, 100.0),
                             nullptr);
    worksheet_set_row(sheet, 0, LXW_DEF_ROW_HEIGHT, header);
    for (size_t i = 0; i < columns.size(); ++i)
        worksheet_write_string(sheet, 0, lxw_col_t(i),
                               rows.headers.value(columns[i]).toUtf8().constData(), header);
    lxw_row_t sheetRow = 1;
    for (int row = 0; row < rows.rowCount(); ++row) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const QString cell = rows.cell(row, columns[i]);
            const bool count = std::find(counts.begin(), counts.end(), columns[i]) != counts.end();
            const std::optional<qint64> number = count ? countValue(cell) : std::nullopt;
            if (number)
                worksheet_write_number(sheet, sheetRow, lxw_col_t(i), double(*number), nullptr);
            else if (!cell.isEmpty())
                worksheet_write_string(sheet, sheetRow, lxw_col_t(i), cell.toUtf8().constData(),
                                       nullptr);
        }
        ++sheetRow;
    }
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR)
        return QString::fromUtf8(lxw_strerror(error));
    return std::nullopt;
}

WriteResult writeReport(const QString& path, ExportFormat format, ReportKind kind,
                        const ReportRows& rows, const FileWriter& writer)
{
    switch (format) {
    case ExportFormat::Text:
        return writeFileWith(
            path, [&](QIODevice& file) { return writeTextReport(file, kind, rows); }, writer);
    case ExportFormat::Html:
        return writeFileWith(
            path, [&](QIODevice& file) { return writeHtmlReport(file, kind, rows); }, writer);
    case ExportFormat::Csv:
        return writeFileWith(
            path, [&](QIODevice& file) { return writeCsv(file, rows); }, writer);
    case ExportFormat::Workbook: {
        // The library writes a file of its own; it goes in place like any other.
        QTemporaryDir scratch;
        if (!scratch.isValid())
            return {scratch.errorString()};
        const QString built = scratch.filePath(u"book.xlsx"_s);
        if (const auto error = writeWorkbook(built, kind, rows))
            return {*error};
        QFile book(built);
        if (!book.open(QIODevice::ReadOnly))
            return {book.errorString()};
        return writeFileWith(
            path,
            [&book](QIODevice& file) {
                while (!book.atEnd()) {
                    const QByteArray part = book.read(1 << 20);
                    if (part.isEmpty() || file.write(part) != part.size())
                        return false;
                }
                return true;
            },
            writer);
    }
    }
    return {u"unknown format"_s};
}

} // namespace marbleway
