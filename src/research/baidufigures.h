#pragma once

#include <QDate>
#include <QString>
#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

namespace marbleway {

class Endpoints;
class WebClient;

// The Baidu figures of a keyword: its search volume (monthly average and last
// day) from the Baidu index, the page count Baidu's web search reports, and
// the optimisation index derived from them (volume × 10000 / pages: the larger,
// the easier the keyword). The maker's keyword-figure service is read first
// and told every volume computed here, as a cache shared by all users.

// Last-day figure and monthly average as they travel: "1520-1337"; "0-0"
// when nothing was found.
struct VolumePair {
    QString lastDay;
    QString monthly;
    QString text() const { return lastDay + u'-' + monthly; }
    // A pair as the maker's service writes it; nullopt for anything else.
    static std::optional<VolumePair> parse(const QString& text);
};

// The previous and the current month of `today`: "201002|201003".
QString GetMonthstr(QDate today);

// The province data's monthly total scaled to a monthly figure.
qint64 scaleMonthlyTotal(qint64 total);

// A uniform value in [0, 1); the program draws from the system's generator.
using UniformSource = std::function<double()>;
UniformSource systemUniform();

// An estimate of a last day's volume from a monthly figure.
QString GetRand(qint32 monthly, const UniformSource& uniform);

// A double's decimal text as the figures are written: plain, or a mantissa
// and a negative two-digit exponent below 0.0001 ("1.2345E-05").
QString decimalText(double value);

// The optimisation index from a double's decimal text: the fraction cut to two
// digits (scaled to four decimals for the scientific form), as its shortest
// text ("10.86", "0.0012", "0").
QString GetSeoZs(const QString& valueText);

// The index of a monthly volume and a page count; "-" when there is nothing to
// divide by.
QString optimisationIndex(const QString& monthly, const QString& pageCount);

// Reading the pages.
// The daily values of the index data page: a pair of the 30th value and the
// average over 30 days ("-" as the last day with fewer than 30 values);
// nullopt for an empty page or fewer than two values.
std::optional<VolumePair> readIndexPoints(const QString& page);
// The total of the province data page's values.
qint64 readProvinceTotal(const QString& page);
// The page count of a Baidu web search page: "找到相关网页约1,230,000篇" gives
// "1230000"; "0" when the page says nothing.
QString readPageCount(const QString& page);

// The figures a re-query gives one keyword.
struct BaiduFigures {
    QString monthly;   // "搜索量-月均"
    QString lastDay;   // "搜索量-昨日"
    QString pageCount; // "百度收录数"
    QString index;     // "百度优化指数"
};

// The re-query: the volume pair (the maker's service first, then the index
// data page, or the province estimate once the data page has failed twice in
// this run), the page count (falling back to a browser when the page comes
// back empty) and the index. One object is one run: it keeps the failure
// counter.
class BaiduLookup {
public:
    struct Services {
        const WebClient& web;
        const Endpoints& endpoints;
        // Loads an address in a browser and gives its markup (GetBrowserHtml);
        // may be empty, when no browser is at hand.
        std::function<QCoro::Task<QString>(QString)> browserPage;
        UniformSource uniform = systemUniform();
        std::function<QDate()> today = [] { return QDate::currentDate(); };
    };

    explicit BaiduLookup(Services services);

    // `parent` is the keyword the report names as the one the keyword was
    // found for. `volumes` and `pageCount` say which figures to ask for; the
    // others read "0".
    QCoro::Task<BaiduFigures> requery(QString keyword, QString parent, bool volumes,
                                      bool pageCount);

    QCoro::Task<VolumePair> GetIndex(QString keyword, QString parent);
    QCoro::Task<VolumePair> GetMonthIndex(QString keyword);
    int failures() const { return m_failures; }

    // Where the maker's figure service reads and stores pairs.
    static constexpr QStringView ReadPath = u"/kwdata/read.asp?";
    static constexpr QStringView ReportPath = u"/kwdata/save.asp?";

private:
    QCoro::Task<std::optional<VolumePair>> readFromMaker(QString keyword);
    QCoro::Task<QString> pageCountOf(QString keyword);

    Services m_services;
    int m_failures = 0;
};

} // namespace marbleway
