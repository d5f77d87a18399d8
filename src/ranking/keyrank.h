#pragma once

#include "web/cxhtml.h"
#include "web/endpoints.h"
#include "web/engines.h"
#include "web/webclient.h"

#include <QString>
#include <qcoro/qcorotask.h>

#include <array>
#include <functional>
#include <optional>

namespace marbleway {

// What a finder leaves behind for one engine; kept between calls on one object.
struct RankFields {
    QString queryUrl; // result page of the last match (kept when a call finds nothing)
    QString link;     // normalised link of the accepted result; cleared by every call
    QString page;     // 0-based page index where the scan stopped, or maxnum
};

// How the pages of one engine's lookup went.
enum class RankOutcome {
    Read,         // every page needed was read
    Failed,       // a page could not be had: network, time-out, HTTP status >= 400
    Blocked,      // the engine answered with a captcha, consent or JavaScript page
    Unrecognised, // the first page held no result block at all: its markup changed
};
// "查询失败", "被屏蔽", "无法识别"; empty for Read.
QString outcomeText(RankOutcome outcome);
// "failed", "blocked", "unrecognised": the word files and the command line use.
QString outcomeKey(RankOutcome outcome);
std::optional<RankOutcome> outcomeFromKey(QStringView key);

// One row of a rank answer: where the site stands on one engine.
struct RankHit {
    SearchEngine engine = SearchEngine::Google;
    int position = 0; // 0: not found within the depth (or not read, see outcome)
    QString link;
    QString queryUrl;
    RankOutcome outcome = RankOutcome::Read;
    QString reason; // why it was not read

    bool isRead() const { return outcome == RankOutcome::Read; }
};

// Finds the position at which a site is listed in an engine's organic results.
//
// Set url (the site string, matched case-sensitively as given), Keyword and
// maxnum (result pages of 10 to read), then await a finder with (s, rank): it
// reads pages s .. maxnum - 1 and returns the first position greater than rank,
// or 0. A position past what the day files hold (32,767) ends the search.
//
// The object must outlive every call awaited on it.
class cKeyrank {
public:
    cKeyrank(const WebClient& client, const Endpoints& endpoints);

    void setUrl(QString site) { m_url = std::move(site); }
    void setKeyword(QString keyword) { m_keyword = std::move(keyword); }
    void setMaxnum(qint16 pages) { m_maxnum = pages; }
    qint16 maxnum() const { return m_maxnum; }

    QCoro::Task<qint16> GetGoogleRank(qint16 s, qint16 rank);
    QCoro::Task<qint16> GetYahooRank(qint16 s, qint16 rank);
    QCoro::Task<qint16> GetBingRank(qint16 s, qint16 rank);
    QCoro::Task<qint16> find(SearchEngine engine, qint16 s, qint16 rank);

    // The first position and, with `allPositions`, every further one within
    // the depth, each page read once. `onHit` gets the first answer (position 0
    // when not found) and then each further position as it is found. A page
    // that is not read ends the lookup with a hit that says why.
    QCoro::Task<> positions(SearchEngine engine, bool allPositions,
                            std::function<void(const RankHit&)> onHit);

    const RankFields& fields(SearchEngine engine) const;

    // Told of every result page fetched, as it came: to keep the pages and see
    // why a rule found nothing.
    using PageObserver =
        std::function<void(SearchEngine engine, const QString& url, const FetchedPage& page)>;
    void setPageObserver(PageObserver observer) { m_observer = std::move(observer); }
    // How pages of engines whose rules say "browser" are rendered; without
    // it such lookups fail, saying why.
    void setBrowserFetch(BrowserFetch fetch) { m_browserFetch = std::move(fetch); }

    static constexpr int TryTime = 15;
    static constexpr int MaxPosition = 32767;

private:
    struct Page {
        QString url;
        QList<BlockMatch> matches;
        RankOutcome outcome = RankOutcome::Read;
        QString reason;
    };
    QCoro::Task<Page> readPage(SearchEngine engine, QString site, QString keyword, int page);
    RankFields& fieldsOf(SearchEngine engine);

    const WebClient* m_client;
    const Endpoints* m_endpoints;
    QString m_url;
    QString m_keyword;
    qint16 m_maxnum = 0;
    std::array<RankFields, AllSearchEngines.size()> m_fields;
    PageObserver m_observer;
    BrowserFetch m_browserFetch;
};

} // namespace marbleway
