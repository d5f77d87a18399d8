#include "core/ansi.h"
#include "core/jobstatus.h"
#include "export/exportlist.h"
#include "lists/rowmodel.h"
#include "testsupport.h"

#include <QProcess>

using namespace marbleway;
using namespace marbleway::test;
using namespace Qt::StringLiterals;

namespace {

// Two rows of a list of `columns` columns, with what reports must take care of:
// Chinese, markup characters, a character GBK lacks, a line break, a tag, and
// the last cell that marks a missing link red.
ExportTable sampleTable(int columns)
{
    ExportTable table;
    for (int column = 0; column < columns; ++column)
        table.headers << u"列%1"_s.arg(column);
    QStringList first = {u"seo <tools> & \"more\""_s};
    QStringList second = {u"关键词 🙂"_s};
    for (int column = 1; column < columns; ++column) {
        first << QString::number(1000 * column);
        second << (column == columns - 1 ? u"未发现本站链接"_s : u"line\r\nbreak"_s);
    }
    table.rows = {{first, u"http://a.example/?q=1&r=2"_s}, {second, QString()}};
    return table;
}

const std::array<ReportKind, 5> allKinds = {ReportKind::Related, ReportKind::AdWords,
                                            ReportKind::Resources, ReportKind::Rank,
                                            ReportKind::Database};
const std::array<int, 5> columnsOfKind = {4, 5, 4, 3, 6};
const QString exportDone = u"confirm:提示:导出完成，是否打开文件?"_s;

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textAndHtmlReports_data();
    void textAndHtmlReports();
    void csvAndWorkbook();
    void exportSteps_data();
    void exportSteps();
};

void TestExport::textAndHtmlReports_data()
{
    QTest::addColumn<ReportKind>("kind");
    QTest::addColumn<int>("columns");
    for (size_t i = 0; i < allKinds.size(); ++i)
        QTest::addRow("%d", int(allKinds[i])) << allKinds[i] << columnsOfKind[i];
}

// Byte for byte as the reports have always been, in GBK.
void TestExport::textAndHtmlReports()
{
    QFETCH(ReportKind, kind);
    QFETCH(int, columns);
    const ExportTable table = sampleTable(columns);
    const QString golden = QStringLiteral(GOLDEN "/kind%1.").arg(int(kind));
    QCOMPARE(textReport(kind, table), fileBytes(golden + u"txt"_s));
    QCOMPARE(htmlReport(kind, table), fileBytes(golden + u"htm"_s));

    // Columns the list hides stay out; shown ones past the fixed header (the
    // related list's Baidu figures) come with their own titles.
    ExportTable wider = table;
    wider.headers << u"额外"_s;
    for (ExportTable::Row& row : wider.rows)
        row.cells << u"9.5"_s;
    wider.hidden.assign(size_t(columns + 1), false);
    wider.hidden.back() = true;
    QCOMPARE(textReport(kind, wider), fileBytes(golden + u"txt"_s));
    QCOMPARE(htmlReport(kind, wider), fileBytes(golden + u"htm"_s));
    wider.hidden.back() = false;
    QVERIFY(textReport(kind, wider).contains(toAnsi(u"额外"_s)));
    QVERIFY(htmlReport(kind, wider).contains(toAnsi(u"<td>额外</td></tr>"_s)));
    QVERIFY(htmlReport(kind, wider).contains("<td>9.5</td></tr>"));
}

void TestExport::csvAndWorkbook()
{
    RowModel rows({u"关键词"_s, u"父关键词"_s, u"Google.com收录"_s});
    Row row = textRow({u"seo, \"tools\""_s, u"hidden"_s, u"1,200"_s});
    row.tag = u"tag"_s;
    rows.append(std::move(row));
    rows.append(textRow({u"line\nbreak"_s, u"hidden"_s, u"-"_s}));
    const ModelRows table(rows, {false, true, false});
    QCOMPARE(table.tag(0), u"tag"_s);
    QCOMPARE(
        csvReport(table),
        "\xEF\xBB\xBF"
        "关键词,Google.com收录\r\n\"seo, \"\"tools\"\"\",\"1,200\"\r\n\"line\nbreak\",-\r\n"_ba);

    // The workbook, read back: hidden column left out, counts as numbers.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"列表 导出.xlsx"_s);
    QVERIFY(writeReport(path, ExportFormat::Workbook, ReportKind::Database, table));
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, path, u"xl/worksheets/sheet1.xml"_s});
    QVERIFY(unzip.waitForFinished());
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    QVERIFY2(sheet.contains(u"<c r=\"A1\" s=\"1\" t=\"inlineStr\"><is><t>关键词</t>"_s),
             qPrintable(sheet));
    QVERIFY(sheet.contains(u"<c r=\"B1\" s=\"1\" t=\"inlineStr\"><is><t>Google.com收录</t>"_s));
    QVERIFY(sheet.contains(u"<c r=\"B2\"><v>1200</v></c>"_s));
    QVERIFY(sheet.contains(u"<c r=\"B3\" t=\"inlineStr\"><is><t>-</t>"_s));
    QVERIFY(!sheet.contains(u"hidden"_s));
}

void TestExport::exportSteps_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QList<bool>>("answers"); // overwrite?, open?
    QTest::addColumn<bool>("failingDisk");
    QTest::addColumn<QStringList>("shown"); // written when the last asks to open the file

    const QString saveAs = u"save:Save   Export   File:Txt  (*.txt)"_s;
    const QString overwrite = u"confirm:提示:该文件已经存在，是否覆盖?"_s;
    QTest::newRow("a job runs") << true << false << QList<bool>{} << false << QStringList{};
    QTest::newRow("written, opened")
        << false << false << QList<bool>{true} << false << QStringList{saveAs, exportDone};
    QTest::newRow("existing file kept on cancel")
        << false << true << QList<bool>{false} << false << QStringList{saveAs, overwrite};
    QTest::newRow("existing file replaced") << false << true << QList<bool>{true, false} << false
                                            << QStringList{saveAs, overwrite, exportDone};
    QTest::newRow("full disk") << false << true << QList<bool>{true} << true
                               << QStringList{saveAs, overwrite,
                                              u"message:导出失败:导出失败，原因如下："_s};
}

// Busy, empty, the dialogs in their order, overwrite and a failed write.
void TestExport::exportSteps()
{
    QFETCH(bool, busy);
    QFETCH(bool, exists);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, failingDisk);
    QFETCH(QStringList, shown);
    const bool written = shown.endsWith(exportDone);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"排名 结果.txt"_s);
    QVERIFY(!exists || writeBytes(path, "old"));
    ScriptedPrompts prompts;
    prompts.answerText(path);
    for (const bool answer : answers)
        prompts.answerConfirm(answer);
    StatusPanels panels;
    panels.setText(1, busy ? StatusPanels::Running : StatusPanels::Ready);
    FaultyWriter writer;
    if (failingDisk)
        writer.setFault(WriteFault::Commit);
    QStringList opened;
    RowModel list({u"a"_s, u"b"_s, u"c"_s});
    for (int row = 0; row < 2; ++row)
        list.append(textRow({u"site"_s, QString::number(row), u"2026-01-02"_s}));
    await(ExportList(ExportServices{prompts, panels,
                                    [&opened](const QString& file) { opened << file; }, &writer},
                     list, u"Txt"_s, ExportFormat::Text, ReportKind::Rank));

    QStringList seen;
    for (const ScriptedPrompts::Shown& each : prompts.shown())
        seen << each.kind + u':' + each.title + u':' + each.text.section(u'\r', 0, 0);
    QCOMPARE(seen, shown);
    const QByteArray now = fileBytes(path);
    if (written)
        QCOMPARE(now, textReport(ReportKind::Rank, ModelRows(list)));
    else
        QCOMPARE(now, exists ? "old"_ba : QByteArray());
    QCOMPARE(opened, written && answers.last() ? QStringList{path} : QStringList{});
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
