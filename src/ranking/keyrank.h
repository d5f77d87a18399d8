#pragma once

#include "ranking/searchengine.h"
#include "web/endpoints.h"
#include "web/webclient.h"

#include <QString>
#include <qcoro/qcorotask.h>

#include <array>

namespace marbleway {

// What a finder leaves behind for one engine; kept between calls on one object.
struct RankFields {
    QString queryUrl; // result page of the last match (kept when a call finds nothing)
    QString link;     // normalised link of the accepted result; cleared by every call
    QString page;     // 0-based page index where the scan stopped, or maxnum
};

// Finds the position at which a site is listed in an engine's organic results.
//
// Set url (the site string, matched case-sensitively as given), Keyword and
// maxnum (result pages of 10 to read), then await a finder with (s, rank): it
// reads pages s .. maxnum - 1 and returns the first position greater than rank,
// or 0. To get the next position of the same site, call again with s = the
// engine's page field and rank = the position just returned.
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

    const RankFields& fields(SearchEngine engine) const;

    const QString& googleQueryUrl() const { return fields(SearchEngine::Google).queryUrl; }
    const QString& googleLink() const { return fields(SearchEngine::Google).link; }
    const QString& googlePage() const { return fields(SearchEngine::Google).page; }
    const QString& yahooQueryUrl() const { return fields(SearchEngine::Yahoo).queryUrl; }
    const QString& yahooLink() const { return fields(SearchEngine::Yahoo).link; }
    const QString& yahooPage() const { return fields(SearchEngine::Yahoo).page; }
    const QString& bingQueryUrl() const { return fields(SearchEngine::Bing).queryUrl; }
    const QString& bingLink() const { return fields(SearchEngine::Bing).link; }
    const QString& bingPage() const { return fields(SearchEngine::Bing).page; }

    static QString GBtoUTF8(QStringView szInput);

    // The request address of result page `page` (0-based) for an encoded keyword.
    static QString queryUrl(const Endpoints& endpoints, SearchEngine engine,
                            const QString& encodedKeyword, int page);

    static constexpr int TryTime = 15;

private:
    RankFields& fieldsOf(SearchEngine engine);

    const WebClient* m_client;
    const Endpoints* m_endpoints;
    QString m_url;
    QString m_keyword;
    qint16 m_maxnum = 0;
    std::array<RankFields, AllSearchEngines.size()> m_fields;
};

// A result link as stored: without "http://" and without one trailing "/",
// lower-cased whenever either was there to remove.
QString normaliseResultLink(QString link);

} // namespace marbleway
