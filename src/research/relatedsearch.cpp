#include "research/relatedsearch.h"

#include "core/listroles.h"
#include "core/textfile.h"
#include "research/pagecounts.h"
#include "research/relatedpasses.h"
#include "web/textutil.h"

#include <QPointer>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// The passes run in this order; their flags are kept in this order too.
constexpr std::array passOrder = {SearchEngine::Yahoo, SearchEngine::Google, SearchEngine::Bing};

// The column of an engine's count: Google 1, Yahoo 2, Bing 3.
int countColumn(SearchEngine engine)
{
    return engine == SearchEngine::Google ? 1 : engine == SearchEngine::Yahoo ? 2 : 3;
}

bool countAsked(const RelatedOptions& options, SearchEngine engine)
{
    switch (engine) {
    case SearchEngine::Google:
        return options.checked[RelatedOptions::GoogleCounts];
    case SearchEngine::Yahoo:
        return options.checked[RelatedOptions::YahooCounts];
    case SearchEngine::Bing:
        return options.checked[RelatedOptions::BingCounts];
    }
    return false;
}

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

// Rows are followed by persistent indexes: the user may delete rows meanwhile.
void setCell(QStandardItemModel& model, const QPersistentModelIndex& first, int column,
             const QVariant& value, int role = Qt::DisplayRole)
{
    if (first.isValid() && first.model() == &model)
        model.setData(first.sibling(first.row(), column), value, role);
}

} // namespace

const QStringList RelatedSearch::Columns = {u"相关关键词"_s, u"Google.com收录"_s,
                                            u"Yahoo.com收录"_s, u"Bing.com收录数"_s};

RelatedSearch::RelatedSearch(Services services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_control(m_services.panels, {u"开始查询"_s, u"暂停查询"_s, u"正在停止"_s, false})
{
    m_list.setHorizontalHeaderLabels(Columns);
    m_shadow.setHorizontalHeaderLabels(Columns);
}

WriteResult RelatedSearch::setSeedText(const QString& text)
{
    m_inputs.seedText = text;
    const QString trimmed = trimSpaces(text).toString();
    if (trimmed.toLower() == u"qq"_s)
        return {};
    return m_services.dataFolder.write(u"kws.txt"_s, crlfLines({trimmed}));
}

void RelatedSearch::GetStbar(const QString& keyword)
{
    m_services.panels.setText(2, u"累计查询到相关关键词：%1个"_s.arg(m_list.rowCount()));
    m_services.panels.setText(3, u"当前相关关键词："_s + keyword);
}

std::pair<QPersistentModelIndex, QPersistentModelIndex>
RelatedSearch::appendKeyword(const QString& keyword)
{
    QPersistentModelIndex rows[2];
    QStandardItemModel* models[2] = {&m_list, &m_shadow};
    for (int i = 0; i < 2; ++i) {
        QList<QStandardItem*> items;
        for (int column = 0; column < 4; ++column) {
            auto* item = new QStandardItem(column == 0 ? keyword : QString());
            item->setEditable(false);
            items << item;
        }
        items.first()->setCheckable(true);
        items.first()->setCheckState(Qt::Unchecked);
        models[i]->appendRow(items);
        rows[i] = models[i]->indexFromItem(items.first());
    }
    return {rows[0], rows[1]};
}

bool RelatedSearch::accepts(const QString& candidate, const QString& seed) const
{
    const bool mustContain = m_inputs.options.checked[RelatedOptions::MustContain];
    if (mustContain ? !candidate.contains(seed) : candidate.isEmpty())
        return false;
    if (m_inputs.exclude &&
        HasExcludedWord(candidate, trimSpaces(m_inputs.excludeWords).toString().toLower()))
        return false;
    return !ListHasText(candidate, m_list);
}

QCoro::Task<> RelatedSearch::click()
{
    if (!m_control.isIdle()) {
        // A pause request: the search stops after the keyword in hand. The seed
        // box is not read, so an edited box cannot empty the lists mid-search.
        m_control.click();
        co_return;
    }
    QPointer<RelatedSearch> self = this;
    const QString seed = trimSpaces(m_inputs.seedText).toString().toLower();
    if (seed.isEmpty()) {
        co_await m_services.prompts.message(u"提示"_s, u"请输入要查询的关键词！"_s,
                                            PromptIcon::Information);
        co_return;
    }
    CXHtml html(m_services.web);
    html.setChar(u"utf-8"_s);
    if (seed != m_lastSeed) {
        m_list.removeRows(0, m_list.rowCount());
        m_shadow.removeRows(0, m_shadow.rowCount());
        m_lastSeed = seed;
        m_done = {};
    }
    m_control.click();
    Q_EMIT filterEnabledChanged(false);

    if (!ListHasText(seed, m_list)) {
        GetStbar(seed);
        const auto [visible, copy] = appendKeyword(seed);
        co_await AddIndex(seed, visible, copy);
        if (!self)
            co_return;
        setCell(m_list, visible, 0, true, BoldRole);
        setCell(m_shadow, copy, 0, true, BoldRole);
    }

    for (size_t pass = 0; pass < passOrder.size(); ++pass) {
        if (m_done[pass])
            continue;
        const bool completed = co_await runPass(passOrder[pass], &html, seed);
        if (!self)
            co_return;
        if (!completed) {
            stopped();
            co_return;
        }
        m_done[pass] = true;
    }
    finished();
}

QCoro::Task<bool> RelatedSearch::runPass(SearchEngine engine, CXHtml* html, QString seed)
{
    QPointer<RelatedSearch> self = this;
    html->setUrl(relatedSearchUrl(m_services.endpoints, engine, seed));
    const QString page = co_await html->GetSrc();
    if (!self)
        co_return false;
    const QStringList pieces = relatedPieces(engine, page.toLower());
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (!m_control.isRunning())
            co_return false;
        const QString candidate = relatedCandidate(engine, pieces.at(i), i);
        if (!accepts(candidate, seed))
            continue;
        const auto [visible, copy] = appendKeyword(candidate);
        GetStbar(candidate);
        co_await AddIndex(candidate, visible, copy);
        if (!self)
            co_return false;
    }
    co_return true;
}

QCoro::Task<> RelatedSearch::AddIndex(QString kw, QPersistentModelIndex visible,
                                      QPersistentModelIndex copy)
{
    QPointer<RelatedSearch> self = this;
    const QDate today = m_services.clock.today();
    const auto cached = m_services.store.findOnDate(trimSpaces(kw).toString(), today);
    CXHtml html(m_services.web);
    html.setChar(u"utf-8"_s);
    for (const SearchEngine engine :
         {SearchEngine::Google, SearchEngine::Yahoo, SearchEngine::Bing}) {
        QString count = u"-"_s;
        if (countAsked(m_inputs.options, engine)) {
            if (cached) {
                count = engine == SearchEngine::Google  ? cached->googles
                        : engine == SearchEngine::Yahoo ? cached->yahoos
                                                        : cached->bings;
            } else {
                co_await m_services.pacer.pace(engine);
                if (!self)
                    co_return;
                html.setUrl(pageCountUrl(m_services.endpoints, engine, kw));
                const QString page = co_await html.GetSrc();
                if (!self)
                    co_return;
                count = pageCountFrom(engine, page);
            }
        }
        setCell(m_list, visible, countColumn(engine), count);
        setCell(m_shadow, copy, countColumn(engine), count);
    }
    if (!cached && m_inputs.options.checked[RelatedOptions::StoreAtOnce])
        checkdb(m_list);
}

void RelatedSearch::checkdb(const QStandardItemModel& list)
{
    if (list.rowCount() == 0)
        return;
    const int last = list.rowCount() - 1;
    const QString keyword = trimSpaces(list.item(last, 0)->text()).toString();
    QString counts[3];
    for (int column = 1; column <= 3; ++column) {
        const QString cell = list.item(last, column)->text();
        counts[column - 1] = isNumber(cell) ? trimSpaces(cell).toString() : u"-"_s;
    }
    const QDate today = m_services.clock.today();
    const auto stored = m_services.store.find(keyword);
    if (!stored) {
        m_services.store.insert(keyword, trimSpaces(m_inputs.seedText).toString(), counts[0],
                                counts[1], counts[2], today);
    } else if (wholeDaysBetween(stored->adddate, today) != 0) {
        m_services.store.update(keyword, m_inputs.seedText, counts[0], counts[1], counts[2], today);
    }
}

void RelatedSearch::stopped()
{
    m_control.finish();
    Q_EMIT filterEnabledChanged(true);
}

void RelatedSearch::finished()
{
    m_services.panels.setText(2, QString());
    m_services.panels.setText(3, QString());
    m_done = {};
    m_lastSeed.clear();
    m_control.finish();
    Q_EMIT filterEnabledChanged(true);
}

QCoro::Task<> RelatedSearch::deleteChecked()
{
    bool any = false;
    for (int row = 0; row < m_list.rowCount() && !any; ++row)
        any = m_list.item(row)->checkState() == Qt::Checked;
    if (!any) {
        co_await m_services.prompts.message(u"提示"_s, u"请选择你要删除的关键词"_s,
                                            PromptIcon::Information);
        co_return;
    }
    for (int row = 0; row < m_list.rowCount();) {
        if (m_list.item(row)->checkState() == Qt::Checked)
            m_list.removeRow(row);
        else
            ++row;
    }
}

QCoro::Task<> RelatedSearch::addCheckedToDatabase()
{
    int stored = 0;
    const QDate today = m_services.clock.today();
    const QString parent = trimSpaces(m_inputs.seedText).toString();
    for (int row = 0; row < m_list.rowCount(); ++row) {
        if (m_list.item(row)->checkState() != Qt::Checked)
            continue;
        const QString keyword = trimSpaces(m_list.item(row, 0)->text()).toString();
        if (m_services.store.find(keyword))
            continue;
        if (m_services.store.insert(keyword, parent, m_list.item(row, 1)->text(),
                                    m_list.item(row, 2)->text(), m_list.item(row, 3)->text(),
                                    today))
            ++stored;
    }
    co_await m_services.prompts.message(u"提示"_s, u"成功提交了%1条数据至数据库！"_s.arg(stored),
                                        PromptIcon::Information);
}

void RelatedSearch::sortByColumn(int column)
{
    if (!m_services.panels.isBusy())
        m_sorter.sort(m_list, column);
}

} // namespace marbleway
