#include "web/cxhtml.h"

#include "web/charset.h"
#include "web/textutil.h"

#include <algorithm>

namespace marbleway {

using namespace Qt::StringLiterals;

CXHtml::CXHtml(const WebClient& client)
    : m_client(&client)
{}

void CXHtml::addSchemeWhenMissing()
{
    if (!m_url.toLower().contains(u"http://"))
        m_url.prepend(u"http://"_s);
}

QCoro::Task<QString> CXHtml::GetSrc()
{
    if (m_char.isEmpty()) {
        if (m_url.isEmpty())
            co_return QString();
        addSchemeWhenMissing();
        m_char = co_await GetChar();
    }
    if (m_url.isEmpty())
        co_return QString();
    addSchemeWhenMissing();
    co_return co_await GetHttpPage(m_char);
}

QCoro::Task<QString> CXHtml::GetHttpPage(QString charset)
{
    const FetchedPage page = co_await fetchPage(std::move(charset));
    co_return page.text;
}

QCoro::Task<FetchedPage> CXHtml::fetchPage(QString charset)
{
    // Given up once the elapsed time, rounded to whole seconds, exceeds TryTime.
    const std::chrono::milliseconds timeout(std::max(0, m_tryTime) * 1000LL + 500);
    const HttpResponse response = co_await m_client->get(m_url, timeout);
    if (!response.completed)
        co_return FetchedPage{QString(), 0, response.error};
    co_return FetchedPage{BytesToBstr(response.body, charset), response.status, QString()};
}

QCoro::Task<QString> CXHtml::GetChar()
{
    const QString page = co_await GetHttpPage(DefaultCharset.toString());
    if (page.isEmpty())
        co_return DefaultCharset.toString();
    co_return detectCharsetLabel(page);
}

QString CXHtml::GetMemo(QStringView temp, QStringView firststr, QStringView endstr)
{
    return marbleway::GetMemo(temp, firststr, endstr);
}

} // namespace marbleway
