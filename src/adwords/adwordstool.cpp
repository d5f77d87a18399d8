#include "adwords/adwordstool.h"

#include "adwords/adwordsreader.h"
#include "browser/pagescript.h"

#include <QCoreApplication>
#include <qcoro/qcorosignal.h>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const QString keywordInput = u"kpVariationsTool-keyword"_s;
const QString captchaArea = u"kpVariationsTool-captcha"_s;
const QString captchaInput = u"kpVariationsTool-captchaAnswer"_s;
const QString searchButton = u"kpKeywordPlanner-getKeywordsButton"_s;
const QString resultsArea = u"kpResults"_s;

constexpr std::chrono::seconds pollInterval(1);

} // namespace

const QString AdWordsTool::StartCaption =
    QStringLiteral(QT_TRANSLATE_NOOP("AdWordsTool", "开始查询"));
const QString AdWordsTool::BusyCaption =
    QStringLiteral(QT_TRANSLATE_NOOP("AdWordsTool", "查询中，请稍后，最多可能需要一分钟"));
const QString AdWordsTool::CaptchaFailed =
    QStringLiteral(QT_TRANSLATE_NOOP("AdWordsTool", "验证码失败"));
const QString AdWordsTool::PageFailed = QStringLiteral(QT_TRANSLATE_NOOP(
    "AdWordsTool", "AdWords 关键词工具页面无法打开，请检查网络连接后点击“重新获取”。"));

AdWordsTool::AdWordsTool(WebPage* page, QUrl toolAddress, AdWordsResults& results, Prompts& prompts,
                         const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_page(page)
    , m_toolAddress(std::move(toolAddress))
    , m_results(&results)
    , m_prompts(&prompts)
    , m_clock(&clock)
    , m_startCaption(StartCaption)
{
    setPage(page);
}

void AdWordsTool::setPage(WebPage* page)
{
    if (m_page)
        disconnect(m_page, nullptr, this, nullptr);
    m_page = page;
    if (!page)
        return;
    connect(page, &WebPage::loadFinished, this, [this](bool ok) {
        if (m_page)
            pageLoaded(m_page->url(), ok);
    });
}

AdWordsTool::~AdWordsTool() = default;

bool AdWordsTool::abandoned() const
{
    return m_stopRequested || m_closing || !m_page;
}

void AdWordsTool::update()
{
    Q_EMIT changed();
}

void AdWordsTool::navigateToTool()
{
    if (m_page)
        m_page->load(m_toolAddress);
}

void AdWordsTool::open()
{
    // A running query keeps the page it works on.
    if (m_querying)
        return;
    navigateToTool();
    m_browserShown = false;
    update();
}

void AdWordsTool::refresh()
{
    // The answer belonged to the captcha being replaced.
    m_captchaAnswer.clear();
    navigateToTool();
    m_browserShown = false;
    m_refreshEnabled = false;
    m_coverShown = false;
    update();
}

void AdWordsTool::setCaptchaAnswer(const QString& answer)
{
    if (answer == m_captchaAnswer)
        return;
    m_captchaAnswer = answer;
    update();
}

void AdWordsTool::stop()
{
    m_closing = true;
    update();
}

QCoro::Task<QString> AdWordsTool::captchaMarkup()
{
    const QVariant markup =
        co_await runScript(m_page, dom::innerHtml(captchaArea, dom::Match::Last));
    co_return markup.typeId() == QMetaType::QString ? markup.toString() : QString();
}

QCoro::Task<> AdWordsTool::pageLoaded(QUrl url, bool ok)
{
    QPointer<AdWordsTool> self = this;
    const int load = ++m_loads;
    runScript(m_page, dom::suppressMenuAndWheel());
    if (!url.toString().contains(u"google"_s))
        co_return;
    // Brings the captcha area into view.
    runScript(m_page, dom::scrollBy(360, 868));
    m_browserShown = true;
    // A query's own reloads leave its button as the query set it.
    if (!m_firstCaptchaQuery && (!m_querying || m_polling))
        m_startEnabled = true;
    m_refreshEnabled = true;
    m_loadFailed = !ok;
    update();
    QString captcha;
    if (ok) {
        QString markup = co_await captchaMarkup();
        if (!self || load != m_loads)
            co_return;
        captcha = std::move(markup);
    }
    m_coverShown = captcha.isEmpty();
    // A page that did not load says so on the cover; the captcha panel stays
    // in view for its "重新获取".
    m_captchaShown = !captcha.isEmpty() || !ok;
    if (m_reloadPending)
        m_captchaAnswer.clear();
    update();
}

void AdWordsTool::start(const QString& keyword)
{
    if (m_querying) {
        // The live button of a polling query ends it.
        if (m_polling)
            m_stopRequested = true;
        return;
    }
    m_query = query(keyword);
}

QCoro::Task<> AdWordsTool::query(QString keyword)
{
    QPointer<AdWordsTool> self = this;
    if (keyword.isEmpty()) {
        co_await m_prompts->message(
            QCoreApplication::translate("AdWordsTool", "提示"),
            QCoreApplication::translate("AdWordsTool", "请输入要查询的关键词！"));
        co_return;
    }
    if (m_loadFailed) {
        co_await m_prompts->message(
            QCoreApplication::translate("AdWordsTool", "提示"),
            QCoreApplication::translate("AdWordsTool", PageFailed.toUtf8().constData()));
        co_return;
    }
    if (m_captchaShown && m_captchaAnswer.isEmpty()) {
        co_await m_prompts->message(QCoreApplication::translate("AdWordsTool", "提示"),
                                    QCoreApplication::translate("AdWordsTool", "请输入验证码！"));
        co_return;
    }
    if (!self || m_querying)
        co_return;
    m_querying = true;
    m_stopRequested = false;
    m_coverShown = true;
    m_startCaption = BusyCaption;
    m_startEnabled = false;
    m_captchaEnabled = false;
    m_firstCaptchaQuery = m_results->list()->size() == 0 && m_captchaShown;
    update();

    const QString captcha = co_await captchaMarkup();
    if (!self)
        co_return;
    if (!captcha.isEmpty() && !abandoned()) {
        // Submits the captcha answer with the keyword, then reloads the page to
        // see whether the captcha is still asked for.
        runScript(m_page, dom::setValue(keywordInput, keyword) + u';' +
                              dom::setValue(captchaInput, m_captchaAnswer) + u';' +
                              dom::click(searchButton));
        co_await m_clock->sleep(pollInterval);
        if (!self)
            co_return;
        navigateToTool();
        m_reloadPending = true;
        // The reload's handler empties the answer box.
        while (!abandoned() && !m_captchaAnswer.isEmpty()) {
            co_await qCoro(this, &AdWordsTool::changed);
            if (!self)
                co_return;
        }
        if (m_loadFailed && !abandoned()) {
            // The answer may have been right: nothing can tell while the page is away.
            co_await m_prompts->message(
                QCoreApplication::translate("AdWordsTool", "提示"),
                QCoreApplication::translate("AdWordsTool", PageFailed.toUtf8().constData()));
            if (!self)
                co_return;
            endQuery(false);
            co_return;
        }
        QString again;
        if (!abandoned()) {
            QString markup = co_await captchaMarkup();
            if (!self)
                co_return;
            again = std::move(markup);
        }
        if (!again.isEmpty()) {
            co_await m_prompts->message(
                QCoreApplication::translate("AdWordsTool", "提示"),
                QCoreApplication::translate("AdWordsTool", CaptchaFailed.toUtf8().constData()));
            if (!self)
                co_return;
            endQuery(false);
            co_return;
        }
    }
    if (!abandoned()) {
        co_await readResults(keyword);
        if (!self)
            co_return;
    }
    endQuery(true);
}

QCoro::Task<bool> AdWordsTool::readResults(QString keyword)
{
    QPointer<AdWordsTool> self = this;
    runScript(m_page, dom::setValue(keywordInput, keyword) + u';' + dom::click(searchButton));
    // Polling has no end of its own: the start button is live again to end it.
    m_polling = true;
    m_startEnabled = true;
    update();
    for (;;) {
        co_await m_clock->sleep(pollInterval);
        if (!self)
            co_return false;
        if (abandoned())
            break;
        const QVariant markup =
            co_await runScript(m_page, dom::innerHtml(resultsArea, dom::Match::First));
        if (!self)
            co_return false;
        if (abandoned() || markup.typeId() != QMetaType::QString)
            break;
        const QString text = legacyMarkup(markup.toString());
        RowModel& list = *m_results->list();
        if (resultsAreNew(text, list.size() == 0, list.size() ? list.text(0) : QString())) {
            std::vector<Row> rows;
            for (const QStringList& cells : readResultRows(text)) {
                Row row = textRow(cells);
                row.checkable = true;
                rows.push_back(std::move(row));
            }
            list.reset(std::move(rows));
            m_polling = false;
            co_return true;
        }
    }
    m_polling = false;
    co_return false;
}

void AdWordsTool::endQuery(bool reload)
{
    m_polling = false;
    m_querying = false;
    m_stopRequested = false;
    if (!reload) {
        m_coverShown = m_loadFailed;
    } else if (!m_closing) {
        // A fresh captcha for the next query.
        navigateToTool();
        m_browserShown = false;
        m_refreshEnabled = false;
        m_coverShown = false;
    }
    m_captchaEnabled = true;
    m_startCaption = StartCaption;
    m_startEnabled = true;
    update();
    Q_EMIT queryEnded();
}

} // namespace marbleway
