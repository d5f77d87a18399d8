#include "shell/feedback.h"

#include "web/cxhtml.h"

#include <QCoreApplication>

namespace marbleway {

using namespace Qt::StringLiterals;

QString Feedback::problem() const
{
    if (title.trimmed().isEmpty())
        return QCoreApplication::translate("Feedback", "请输入标题！");
    if (content.trimmed().isEmpty())
        return QCoreApplication::translate("Feedback", "请输入内容！");
    return {};
}

QString Feedback::address(const Endpoints& endpoints) const
{
    // Any text arrives as typed: "&", "#", "+", line breaks and Chinese included.
    return endpoints.url(Service::Maker,
                         u"/suggest.asp?soft=Marbleway1.0&title="_s + queryValue(title.trimmed()) +
                             u"&tp="_s + queryValue(type) + u"&qq="_s + queryValue(qq.trimmed()) +
                             u"&email="_s + queryValue(email.trimmed()) + u"&content="_s +
                             queryValue(content.trimmed()));
}

QCoro::Task<> sendFeedback(const WebClient& client, QString address)
{
    CXHtml html(client);
    html.setUrl(std::move(address));
    html.setTryTime(Feedback::TimeoutSeconds);
    co_await html.GetHttpPage(u"gb2312"_s);
}

} // namespace marbleway
