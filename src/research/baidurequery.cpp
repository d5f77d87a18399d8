#include "research/baidurequery.h"

#include "research/relatedsearch.h"
#include "web/textutil.h"

#include <QCoreApplication>
#include <QPointer>

namespace marbleway {

using namespace Qt::StringLiterals;

const QString BaiduRequery::Pending = QStringLiteral(QT_TRANSLATE_NOOP("Values", "重新获取中"));

BaiduRequery::BaiduRequery(Services services, RelatedSearch& search, QObject* parent)
    : Job(parent)
    , m_services(std::move(services))
    , m_search(&search)
    , m_lookup({m_services.web, m_services.endpoints, m_services.browserPage})
{}

bool BaiduRequery::menuAllowed() const
{
    return m_search->list()->rowCount() > 0 && !m_services.panels.isBusy();
}

QString BaiduRequery::indexPage(const QString& keyword) const
{
    return m_services.endpoints.url(Service::BaiduIndex,
                                    u"/main/word.php?word="_s + trimSpaces(keyword).toString());
}

QString BaiduRequery::searchPage(const QString& keyword) const
{
    return m_services.endpoints.url(Service::Baidu, u"/s?wd="_s + trimSpaces(keyword).toString());
}

QCoro::Task<> BaiduRequery::requery(RowId row)
{
    RowModel& rows = *m_search->rows();
    const int index = rows.indexOf(row);
    if (index < 0 || m_services.panels.isBusy() || isRunning())
        co_return;
    const QString keyword = rows.text(index);
    if (keyword.isEmpty())
        co_return;
    QPointer<BaiduRequery> self = this;
    setRunning(true);
    // A paused search stays paused: the panel reads as before once done.
    const QString before = m_services.panels.text(1);
    m_services.panels.setText(1, StatusPanels::Running);
    m_services.panels.setExclusive(true);
    for (int column = FirstColumn; column < FirstColumn + 4; ++column)
        rows.setCell(row, column, Pending);
    Q_EMIT figuresShown();

    const RelatedOptions& options = m_search->inputs().options;
    const BaiduFigures figures =
        co_await m_lookup.requery(keyword, trimSpaces(m_search->inputs().seedText).toString(),
                                  options.checked[RelatedOptions::GoogleCounts],
                                  options.checked[RelatedOptions::YahooCounts]);
    if (!self)
        co_return;
    // The row may have gone meanwhile; its figures then go with it.
    const std::array<QString, 4> cells = {figures.monthly, figures.lastDay, figures.pageCount,
                                          figures.index};
    for (int i = 0; i < 4; ++i)
        rows.setCell(row, FirstColumn + i, cells[size_t(i)]);
    m_services.panels.setExclusive(false);
    m_services.panels.setText(1, before.isEmpty() ? StatusPanels::Ready : before);
    setRunning(false);
}

} // namespace marbleway
