#include "keyworddb/keyworddatabaselist.h"

namespace marbleway {

using namespace Qt::StringLiterals;

const QStringList KeywordDatabaseList::Columns = {u"关键词"_s,         u"父关键词"_s,
                                                  u"Google.com收录"_s, u"Yahoo.com收录"_s,
                                                  u"Bing.com收录"_s,   u"更新日期"_s};

KeywordDatabaseList::KeywordDatabaseList(KeywordStore& store, QObject* parent)
    : QObject(parent)
    , m_store(&store)
    , m_rows(Columns)
    , m_visible(m_rows)
{}

void KeywordDatabaseList::load()
{
    const QList<KeywordRecord> records = m_store->all();
    std::vector<Row> rows;
    rows.reserve(size_t(records.size()));
    for (const KeywordRecord& record : records) {
        Row row;
        row.cells = {record.keys,   record.parentkeys, record.googles,
                     record.yahoos, record.bings,      record.adddate};
        row.checkable = true;
        rows.push_back(std::move(row));
    }
    m_rows.reset(std::move(rows));
    m_loaded = true;
}

} // namespace marbleway
