#include "keyworddb/keyworddatabaselist.h"

#include "core/version.h"
#include "web/textutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>

#include <limits>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// Rows read per statement, and how long the window may wait for one step.
constexpr int pageRows = 5000;
constexpr qint64 stepMs = 30;

// One copy of each text that many rows share (parents, dates, "-"): a large
// table costs far less memory.
class SharedTexts {
public:
    QString take(QString text)
    {
        const auto found = m_texts.constFind(text);
        if (found != m_texts.constEnd())
            return *found;
        if (m_texts.size() < 100000)
            m_texts.insert(text, text);
        return text;
    }

    // Counts are mostly distinct numbers: only "-" is worth sharing.
    QString count(QString text) const { return text == m_noCount ? m_noCount : text; }

private:
    QHash<QString, QString> m_texts;
    QString m_noCount = QStringLiteral("-");
};

} // namespace

const QStringList KeywordDatabaseList::Columns = {
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "关键词")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "父关键词")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Google.com收录")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Yahoo.com收录")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Bing.com收录")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "更新日期"))};

KeywordDatabaseList::KeywordDatabaseList(KeywordStore& store, const Clock& clock, Prompts& prompts,
                                         QObject* parent)
    : QObject(parent)
    , m_store(&store)
    , m_clock(&clock)
    , m_prompts(&prompts)
    , m_rows(Columns)
    , m_visible(m_rows)
{}

QCoro::Task<> KeywordDatabaseList::load()
{
    if (m_loading) {
        m_reload = true;
        co_return;
    }
    QPointer<KeywordDatabaseList> self = this;
    m_loaded = true;
    m_loading = true;
    Q_EMIT loadingChanged(true);
    m_visible.unsort();
    m_rows.clear();
    std::vector<Row> rows;
    QElapsedTimer step;
    step.start();
    // A reload asked for meanwhile starts the reading over.
    do {
        m_reload = false;
        rows.clear();
        rows.reserve(size_t(std::max<qint64>(0, m_store->count())));
        SharedTexts shared;
        qint64 before = std::numeric_limits<qint64>::max();
        for (;;) {
            QList<KeywordRecord> part = m_store->page(before, pageRows);
            for (KeywordRecord& record : part) {
                Row row;
                row.cells.reserve(Columns.size());
                row.cells.append(std::move(record.keys));
                row.cells.append(shared.take(std::move(record.parentkeys)));
                row.cells.append(shared.count(std::move(record.googles)));
                row.cells.append(shared.count(std::move(record.yahoos)));
                row.cells.append(shared.count(std::move(record.bings)));
                row.cells.append(shared.take(std::move(record.adddate)));
                row.checkable = true;
                rows.push_back(std::move(row));
            }
            if (part.size() < pageRows || m_reload)
                break;
            before = part.constLast().id;
            if (step.elapsed() >= stepMs) {
                co_await letEventsRun();
                if (!self)
                    co_return;
                step.restart();
            }
        }
        // Showing many rows is a step of its own.
        if (step.elapsed() >= stepMs / 3) {
            co_await letEventsRun();
            if (!self)
                co_return;
            step.restart();
        }
    } while (m_reload);
    m_rows.reset(std::move(rows));
    m_loading = false;
    Q_EMIT loadingChanged(false);
}

void KeywordDatabaseList::filter(const ResultFilter& filter)
{
    m_rows.clearBold();
    applyFilter(m_visible, filter, CountColumns);
}

void KeywordDatabaseList::restore()
{
    m_rows.clearBold();
    applyFilter(m_visible, std::nullopt, CountColumns);
}

QCoro::Task<> KeywordDatabaseList::deleteChecked()
{
    QStringList keys;
    std::vector<RowId> ids;
    for (int visible = 0; visible < m_visible.rowCount(); ++visible) {
        const int row = m_visible.sourceRow(visible);
        if (!m_rows.at(row).checked)
            continue;
        // As listed and trimmed: a row an older version stored with spaces
        // around it must go too, or it would come back on the next load.
        const QString text = m_rows.text(row);
        keys << text;
        if (const QString trimmed = trimSpaces(text).toString(); trimmed != text)
            keys << trimmed;
        ids.push_back(m_rows.idAt(row));
    }
    if (ids.empty()) {
        co_await m_prompts->message(
            QCoreApplication::translate("KeywordDatabaseList", "提示"),
            QCoreApplication::translate("KeywordDatabaseList", "请选择要删除的关键词！"),
            PromptIcon::Information);
        co_return;
    }
    // All or none: a row leaves the list only when it has left the table.
    if (!m_store->remove(keys)) {
        co_await m_prompts->message(
            QCoreApplication::translate("KeywordDatabaseList", "提示"),
            QCoreApplication::translate("KeywordDatabaseList",
                                        "关键词数据库无法写入，没有删除任何关键词：%1")
                .arg(m_store->lastError()),
            PromptIcon::Critical);
        co_return;
    }
    const int deleted = int(ids.size());
    m_visible.removeIds(std::move(ids));
    co_await m_prompts->message(
        programName(),
        QCoreApplication::translate("KeywordDatabaseList", "成功删除%1个关键词！").arg(deleted),
        PromptIcon::None);
}

QCoro::Task<int> KeywordDatabaseList::addUncounted(QStringList keywords, QString parent)
{
    int stored = 0;
    const QDate today = m_clock->today();
    const QString trimmedParent = trimSpaces(parent).toString();
    {
        KeywordStore::Transaction transaction(*m_store);
        for (const QString& keyword : keywords) {
            if (m_store->add(trimSpaces(keyword).toString(), trimmedParent, u"-"_s, u"-"_s, u"-"_s,
                             today) == KeywordStore::AddResult::Added)
                ++stored;
        }
        if (!transaction.commit())
            stored = 0;
    }
    co_await reportStored(*m_prompts, stored);
    co_return stored;
}

QCoro::Task<> reportStored(Prompts& prompts, int stored)
{
    co_await prompts.message(
        QCoreApplication::translate("KeywordDatabaseList", "提示"),
        QCoreApplication::translate("KeywordDatabaseList", "成功提交了%1条数据至数据库！")
            .arg(stored),
        PromptIcon::Information);
}

} // namespace marbleway
