#include "research/baidufigures.h"

#include "core/rounding.h"
#include "web/cxhtml.h"
#include "web/endpoints.h"
#include "web/textutil.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

#include <array>
#include <cmath>
#include <limits>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

// A figure that is a whole number of 0 reads "0"; anything else stays as it is.
QString figureText(const QString& text)
{
    bool isNumber = false;
    const qint64 value = text.toLongLong(&isNumber);
    return isNumber && value == 0 ? u"0"_s : text;
}

qint32 toInt32(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return 0;
    return qint32(std::clamp(roundHalfEven(value), double(std::numeric_limits<qint32>::min()),
                             double(std::numeric_limits<qint32>::max())));
}

// A fraction cut (not rounded) to two digits, as ten-thousandths.
std::optional<qint64> cutToHundredths(QStringView text)
{
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1, 2).toString();
    fraction = fraction.leftJustified(4, u'0');
    bool wholeOk = false;
    bool fractionOk = false;
    const qint64 units = whole.isEmpty() ? 0 : whole.toLongLong(&wholeOk);
    const qint64 parts = fraction.toLongLong(&fractionOk);
    if ((!whole.isEmpty() && !wholeOk) || !fractionOk)
        return std::nullopt;
    return units * 10000 + parts;
}

// A four-decimal fixed-point value as its shortest text.
QString fixedPointText(qint64 tenThousandths)
{
    QString text = QString::number(tenThousandths / 10000);
    QString fraction = QString::number(tenThousandths % 10000).rightJustified(4, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += u'.' + fraction;
    return text;
}

} // namespace

std::optional<VolumePair> VolumePair::parse(const QString& text)
{
    static const QRegularExpression pair(u"^(\\d+|-)-(\\d+)$"_s);
    const QRegularExpressionMatch match = pair.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return VolumePair{match.captured(1), match.captured(2)};
}

QString GetMonthstr(QDate today)
{
    const QDate previous = today.addMonths(-1);
    return previous.toString(u"yyyyMM"_s) + u'|' + today.toString(u"yyyyMM"_s);
}

qint64 scaleMonthlyTotal(qint64 total)
{
    static constexpr std::array<std::pair<qint64, double>, 10> factors = {{{100, 2.1},
                                                                           {200, 1.9},
                                                                           {300, 1.8},
                                                                           {400, 1.7},
                                                                           {500, 1.6},
                                                                           {600, 1.4},
                                                                           {700, 1.3},
                                                                           {800, 1.2},
                                                                           {900, 1.1},
                                                                           {1000, 1.05}}};
    for (const auto& [below, factor] : factors) {
        if (total < below)
            return qint64(roundHalfEven(double(total) * factor));
    }
    return total;
}

UniformSource systemUniform()
{
    return [] { return QRandomGenerator::global()->generateDouble(); };
}

QString GetRand(qint32 monthly, const UniformSource& uniform)
{
    static constexpr std::array<double, 10> factors = {1.1,  0.92, 1.09, 1.05, 0.95,
                                                       1.15, 0.89, 1.02, 1.15, 0.98};
    const int k = std::clamp(int(uniform() * 10) + 1, 1, 10);
    return QString::number(qint64(roundHalfEven(double(monthly) * factors[size_t(k - 1)])));
}

QString decimalText(double value)
{
    if (value == 0 || std::abs(value) >= 0.0001)
        return QString::number(value, 'g', 15);
    // Mantissa without trailing zeros, exponent of two digits at least.
    const QString text = QString::number(value, 'E', 14);
    const qsizetype e = text.indexOf(u'E');
    QString mantissa = text.left(e);
    while (mantissa.endsWith(u'0'))
        mantissa.chop(1);
    if (mantissa.endsWith(u'.'))
        mantissa.chop(1);
    return mantissa + text.mid(e);
}

QString GetSeoZs(const QString& valueText)
{
    const qsizetype e = valueText.indexOf(u'E', 0, Qt::CaseInsensitive);
    if (e < 0)
        return fixedPointText(cutToHundredths(valueText.trimmed()).value_or(0));
    const std::optional<qint64> mantissa = cutToHundredths(QStringView(valueText).left(e));
    const int exponent = valueText.mid(e + 1).toInt();
    if (!mantissa)
        return u"0"_s;
    // Mantissa in ten-thousandths, times 10^exponent, kept to four decimals.
    const double value = double(*mantissa) * std::pow(10.0, exponent);
    return fixedPointText(qint64(roundHalfEven(value)));
}

QString optimisationIndex(const QString& monthly, const QString& pageCount)
{
    if (monthly.isEmpty() || monthly == u"-"_s || pageCount.isEmpty() || pageCount == u"-"_s)
        return u"0"_s;
    const qint32 count = toInt32(pageCount);
    if (count == 0)
        return u"-"_s;
    return GetSeoZs(decimalText(double(toInt32(monthly)) / double(count) * 10000.0));
}

std::optional<VolumePair> readIndexPoints(const QString& page)
{
    if (page.isEmpty())
        return std::nullopt;
    const QList<QStringView> pieces = splitBlocks(page, u"<p d=");
    if (pieces.size() < 3)
        return std::nullopt;
    qint64 sum = 0;
    QString lastDay = u"-"_s;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        bool numeric = false;
        const double value = GetMemo(pieces.at(i), u"p1=\"", u"\"").toDouble(&numeric);
        const qint64 points = numeric ? qint64(roundHalfEven(value)) : 0;
        sum += points;
        if (i == 30)
            lastDay = QString::number(points);
    }
    return VolumePair{lastDay, QString::number(qint64(roundHalfEven(double(sum) / 30.0)))};
}

qint64 readProvinceTotal(const QString& page)
{
    const QList<QStringView> pieces = splitBlocks(page, u"data=");
    qint32 total = 0;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        if (pieces.at(i).isEmpty())
            continue;
        bool ok = false;
        const qint32 value = GetMemo(pieces.at(i), u"\"", u"\"").toInt(&ok);
        qint32 sum = 0;
        if (ok && !qAddOverflow(total, value, &sum))
            total = sum;
    }
    return total;
}

QString readPageCount(const QString& page)
{
    QString count = GetMemo(page, u"找到相关网页", u"篇");
    count.remove(u'约').remove(u',');
    return count.isEmpty() ? u"0"_s : count;
}

BaiduLookup::BaiduLookup(Services services)
    : m_services(std::move(services))
{}

QCoro::Task<std::optional<VolumePair>> BaiduLookup::readFromMaker(QString keyword)
{
    // Nothing waits on a name that cannot resolve: no maker's host, no read.
    if (!m_services.endpoints.isReachable(Service::Maker))
        co_return std::nullopt;
    CXHtml html(m_services.web);
    html.setUrl(
        m_services.endpoints.url(Service::Maker, ReadPath + u"kw="_s + queryValue(keyword)));
    // A named character set: one request, not a second one to find it out.
    html.setChar(u"gb2312"_s);
    const QString answer = co_await html.GetSrc();
    co_return VolumePair::parse(answer);
}

QCoro::Task<VolumePair> BaiduLookup::GetIndex(QString keyword, QString parent)
{
    CXHtml html(m_services.web);
    html.setUrl(m_services.endpoints.url(Service::BaiduIndex, u"/tools/get_data.php?q="_s +
                                                                  queryValue(keyword.trimmed())));
    html.setChar(u"gb2312"_s);
    html.setTryTime(6);
    const QString page = co_await html.GetSrc();
    const std::optional<VolumePair> pair = readIndexPoints(page);
    if (!pair) {
        ++m_failures;
        co_return VolumePair{u"0"_s, u"0"_s};
    }
    if (m_services.endpoints.isReachable(Service::Maker)) {
        CXHtml report(m_services.web);
        report.setUrl(m_services.endpoints.url(
            Service::Maker, ReportPath + u"nums="_s + pair->text() + u"&kw="_s +
                                queryValue(keyword) + u"&parents="_s + queryValue(parent)));
        report.setTryTime(8);
        report.setChar(u"gb2312"_s); // sent once, not twice
        co_await report.GetSrc();
    }
    co_return *pair;
}

QCoro::Task<VolumePair> BaiduLookup::GetMonthIndex(QString keyword)
{
    CXHtml html(m_services.web);
    html.setUrl(m_services.endpoints.url(Service::BaiduIndex,
                                         u"/main/get_province_data.php?type=1&time="_s +
                                             GetMonthstr(m_services.today()) + u"&area=0&word="_s +
                                             queryValue(keyword.toLower()) + u"&index=1"_s));
    html.setChar(u"utf-8"_s);
    html.setTryTime(10);
    const QString page = co_await html.GetSrc();
    const qint64 monthly = scaleMonthlyTotal(readProvinceTotal(page));
    co_return VolumePair{GetRand(qint32(monthly), m_services.uniform), QString::number(monthly)};
}

QCoro::Task<QString> BaiduLookup::pageCountOf(QString keyword)
{
    const QString address =
        m_services.endpoints.url(Service::Baidu, u"/s?wd="_s + URLEncodeAnsi(keyword));
    CXHtml html(m_services.web);
    html.setUrl(address);
    html.setChar(u"gb2312"_s);
    QString page = co_await html.GetSrc();
    if (page.isEmpty() && m_services.browserPage) {
        QString rendered = co_await m_services.browserPage(address);
        page = std::move(rendered);
    }
    co_return readPageCount(page);
}

QCoro::Task<BaiduFigures> BaiduLookup::requery(QString keyword, QString parent, bool volumes,
                                               bool pageCount)
{
    BaiduFigures figures{u"0"_s, u"0"_s, u"0"_s, u"0"_s};
    if (keyword.isEmpty())
        co_return figures;
    if (volumes) {
        std::optional<VolumePair> pair = co_await readFromMaker(keyword);
        // Two failed data pages in this run: the province estimate from then on.
        if (!pair && m_failures < 2) {
            VolumePair computed = co_await GetIndex(keyword.trimmed(), parent);
            pair = std::move(computed);
        } else if (!pair) {
            VolumePair computed = co_await GetMonthIndex(keyword.trimmed());
            pair = std::move(computed);
        }
        figures.monthly = figureText(pair->monthly);
        figures.lastDay = figureText(pair->lastDay);
    }
    if (pageCount) {
        QString count = co_await pageCountOf(keyword);
        figures.pageCount = std::move(count);
    }
    figures.index = optimisationIndex(figures.monthly, figures.pageCount);
    co_return figures;
}

} // namespace marbleway
