#include "browser/pagescript.h"

#include "browser/browsers.h"
#include "browser/webpage.h"
#include "core/clock.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QUrl>
#include <qcoro/qcorosignal.h>

#include <optional>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// Carries a script's value from the page's callback to the awaiting coroutine.
class ScriptAnswer : public QObject {
    Q_OBJECT
public:
    std::optional<QVariant> value;
    void answer(const QVariant& result)
    {
        value = result;
        Q_EMIT answered();
    }

Q_SIGNALS:
    void answered();
};

// A JavaScript string literal holding `text`.
QString literal(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// The elements with the id, in document order.
QString matches(const QString& id)
{
    return u"var all = document.getElementsByTagName('*'), found = [];"
           "for (var i = 0; i < all.length; ++i) if (all[i].id === "_s +
           literal(id) + u") found.push(all[i]);"_s;
}

} // namespace

QCoro::Task<QVariant> runScript(WebPage* page, QString script, std::chrono::milliseconds timeout)
{
    if (!page)
        co_return QVariant();
    ScriptAnswer answer;
    QPointer<ScriptAnswer> target = &answer;
    page->runJavaScript(script, [target](const QVariant& result) {
        if (target)
            target->answer(result);
    });
    if (!answer.value) {
        const auto signalled = co_await qCoro(&answer, &ScriptAnswer::answered, timeout);
        Q_UNUSED(signalled);
    }
    co_return answer.value.value_or(QVariant());
}

namespace dom {

QString setValue(const QString& id, const QString& value)
{
    return u"(function () {"_s + matches(id) +
           u"if (!found.length) return false; found[0].value = "_s + literal(value) +
           u"; return true; })()"_s;
}

QString click(const QString& id)
{
    return u"(function () {"_s + matches(id) +
           u"for (var j = 0; j < found.length; ++j) found[j].click(); return found.length; })()"_s;
}

QString innerHtml(const QString& id, Match match)
{
    return u"(function () {"_s + matches(id) + u"if (!found.length) return null; return found["_s +
           (match == Match::First ? u"0"_s : u"found.length - 1"_s) + u"].innerHTML; })()"_s;
}

QString scrollBy(int x, int y)
{
    return u"window.scrollBy(%1, %2); true"_s.arg(x).arg(y);
}

QString suppressMenuAndWheel()
{
    // Registered once per document; wheel listeners must say they are not
    // passive to be allowed to cancel.
    return u"(function () { if (window.marblewaySink) return false; window.marblewaySink = true;"
           "document.addEventListener('contextmenu', function (e) { e.preventDefault(); }, true);"
           "document.addEventListener('wheel', function (e) { e.preventDefault(); },"
           " { capture: true, passive: false }); return true; })()"_s;
}

QString documentMarkup()
{
    return u"(document.body && document.body.parentElement)"
           " ? document.body.parentElement.innerHTML : ''"_s;
}

} // namespace dom

QCoro::Task<QString> GetBrowserHtml(Browsers& browsers, QString url, const Clock& clock)
{
    QPointer<WebPage> page = browsers.fetchPage();
    if (!page)
        co_return QString();
    page->load(QUrl(url));
    co_await clock.sleep(std::chrono::seconds(5));
    if (!page)
        co_return QString();
    const QVariant markup = co_await runScript(page, dom::documentMarkup());
    co_return markup.typeId() == QMetaType::QString ? markup.toString() : QString();
}

QCoro::Task<FetchedPage> renderPage(Browsers& browsers, QString url, QString waitFor,
                                    std::chrono::milliseconds timeout, const Clock& clock)
{
    QPointer<WebPage> page = browsers.fetchPage();
    if (!page)
        co_return FetchedPage{QString(), 0,
                              QCoreApplication::translate("PageScript", "内嵌浏览器无法使用")};
    // Noted by the page as it goes; the context ends with this call.
    QObject context;
    bool failed = false;
    QObject::connect(page.data(), &WebPage::loadFinished, &context,
                     [&failed](bool ok) { failed = !ok; });
    page->load(QUrl(url));
    const auto deadline = clock.monotonic() + timeout;
    QString markup;
    for (;;) {
        co_await clock.sleep(std::chrono::milliseconds(250));
        if (!page)
            co_return FetchedPage{QString(), 0,
                                  QCoreApplication::translate("PageScript", "页面已关闭")};
        if (failed)
            co_return FetchedPage{QString(), 0,
                                  QCoreApplication::translate("PageScript", "页面无法打开")};
        const QVariant value = co_await runScript(page, dom::documentMarkup());
        markup = value.typeId() == QMetaType::QString ? value.toString() : QString();
        if (!waitFor.isEmpty() && markup.contains(waitFor, Qt::CaseInsensitive))
            break;
        if (clock.monotonic() >= deadline)
            break;
    }
    // What the page holds by then: a block page says what it is.
    if (markup.isEmpty())
        co_return FetchedPage{QString(), 0, QCoreApplication::translate("PageScript", "超时")};
    co_return FetchedPage{markup, 200, QString()};
}

} // namespace marbleway

#include "pagescript.moc"
