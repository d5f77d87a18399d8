#include "resources/resourcesearch.h"

#include "web/cxhtml.h"
#include "web/endpoints.h"
#include "web/textutil.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>

namespace marbleway {

using namespace Qt::StringLiterals;

ResourceSearch::ResourceSearch(Services services, ResourceLibrary& library, QObject* parent)
    : Job(parent)
    , m_services(services)
    , m_library(&library)
    , m_control(m_services.panels,
                {QCoreApplication::translate("ResourceSearch", "开始搜索"),
                 QCoreApplication::translate("ResourceSearch", "停止搜索"),
                 QCoreApplication::translate("ResourceSearch", "正在停止"), true})
    , m_web(m_services.web.sibling())
{
    // A stop never waits on the network.
    connect(&m_control, &JobControl::stopRequested, this, [this] { m_web->abortAll(); });
    // Another category: its list and position start over.
    connect(&library, &ResourceLibrary::categoryChanged, this, [this] {
        if (m_library->category() != m_category && !isRunning()) {
            m_library->resources()->clear();
            m_paused = false;
            setPosition(1, 0);
        }
    });
}

void ResourceSearch::setPosition(int page, int row)
{
    m_page = page;
    m_row = row;
    Q_EMIT positionChanged(page, row);
}

void ResourceSearch::resumeAt(int page, int row)
{
    m_category = m_library->category();
    m_paused = true;
    setPosition(page, row);
}

void ResourceSearch::tabShown()
{
    m_library->ensureCategories();
    if (!isRunning())
        setPosition(1, 0);
}

QString ResourceSearch::listAddress(const Endpoints& endpoints, int category, const QString& type,
                                    int page)
{
    QString query = u"/list.asp?cid="_s + QString::number(category);
    if (!type.isEmpty())
        query += u"&dirtype="_s + queryValue(type);
    query += u"&page={xxx}"_s;
    query.replace(u"{xxx}"_s, QString::number(page));
    return endpoints.url(Service::Maker, query);
}

QList<QStringList> ResourceSearch::readRows(const QString& answer)
{
    QList<QStringList> rows;
    const QStringList pieces = answer.split(u"<br>"_s);
    // The text after the last "<br>" is not a row.
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        QStringList fields = pieces.at(i).split(u'~');
        QStringList row;
        for (int field = 0; field < 4; ++field)
            row << cleanField(fields.value(field), 2048);
        rows << row;
    }
    return rows;
}

void ResourceSearch::click()
{
    if (!m_control.isIdle()) {
        m_control.click();
        return;
    }
    keep(run());
}

QCoro::Task<> ResourceSearch::run()
{
    if (!m_control.isIdle())
        co_return;
    if (m_library->category() == 0) {
        co_await m_services.prompts.message(
            QCoreApplication::translate("ResourceSearch", "提示"),
            QCoreApplication::translate("ResourceSearch", "请选择一个资源分类"),
            PromptIcon::Information);
        co_return;
    }
    if (!m_services.endpoints.isReachable(Service::Maker)) {
        co_await m_services.prompts.message(
            QCoreApplication::translate("ResourceSearch", "提示"),
            QCoreApplication::translate(
                "ResourceSearch",
                "没有设置资源列表服务的地址。请在设置的 Hosts 组中设置 maker（例如 "
                "maker=resources.example.com），或在启动前设置环境变量 MARBLEWAY_HOSTS（例如 "
                "MARBLEWAY_HOSTS=maker=127.0.0.1:8087）。"),
            PromptIcon::Information);
        co_return;
    }
    if (!m_control.click())
        co_return;
    setRunning(true);
    co_await QueryLinkRes();
}

QCoro::Task<> ResourceSearch::QueryLinkRes()
{
    QPointer<ResourceSearch> self = this;
    const int category = m_library->category();
    if (category != m_category) {
        m_library->resources()->clear();
        m_category = category;
        setPosition(1, 0);
        m_paused = false;
    }
    const bool resume = std::exchange(m_paused, false);
    if (!resume)
        m_library->resources()->clear();
    const QString type = m_library->type();
    const int lastPage = m_library->lastPage(category);
    m_services.panels.setText(2, QString());
    m_services.panels.setText(3, QString());

    const int firstPage = resume ? m_page : 1;
    const int firstRow = resume ? m_row : 0;
    CXHtml html(*m_web);
    html.setTryTime(TryTime);
    int& empty = m_empty;
    empty = 0;
    for (int page = firstPage; page <= lastPage; ++page) {
        if (!m_control.isRunning()) {
            finishPaused();
            co_return;
        }
        if (empty > EmptyPagesAllowed)
            break;
        setPosition(page, 0);
        html.setUrl(listAddress(m_services.endpoints, category, type, page));
        const QString answer = co_await html.GetSrc();
        if (!self)
            co_return;
        // A page a stop dropped is asked again on resume.
        if (!m_control.isRunning()) {
            finishPaused();
            co_return;
        }
        if (answer.isEmpty()) {
            ++empty;
            continue;
        }
        const QList<QStringList> rows = readRows(answer);
        for (qsizetype j = page == firstPage ? firstRow : 0; j < rows.size(); ++j) {
            setPosition(page, int(j));
            if (!m_control.isRunning()) {
                finishPaused();
                co_return;
            }
            m_library->resources()->append(textRow(rows.at(j)));
        }
        // A page's rows take microseconds; the window gets its turn while the
        // next page is fetched, and lays the list out once per page.
        Q_EMIT progress(page, lastPage);
    }
    setPosition(1, 0);
    m_services.panels.setText(2, QString());
    m_control.finish(true);
    setRunning(false);
}

void ResourceSearch::finishPaused()
{
    m_paused = true;
    m_control.finish(false);
    setRunning(false);
}

QString resourceAddress(const QString& listed)
{
    QString address = listed.trimmed();
    address.remove(u"http://"_s, Qt::CaseInsensitive);
    return u"http://"_s + address;
}

} // namespace marbleway
