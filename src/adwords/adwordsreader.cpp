#include "adwords/adwordsreader.h"

#include "core/rounding.h"
#include "web/textutil.h"

#include <QRegularExpression>

#include <limits>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

const QString rowMarker = u"<td class=c0"_s;

// A bar width: a whole number of pixels, fractions rounded half to even.
int barWidth(QStringView piece)
{
    bool ok = false;
    const double width = GetMemo(piece, u"width: ", u"px").trimmed().toDouble(&ok);
    if (!ok)
        return 0;
    return int(std::clamp(roundHalfEven(width), 0.0, double(std::numeric_limits<qint16>::max())));
}

} // namespace

QString legacyMarkup(const QString& html)
{
    static const QRegularExpression quoted(u"=\"([^\"]*)\"|='([^']*)'"_s);
    QString text = html.toLower();
    text.replace(quoted, u"=\\1\\2"_s);
    return text;
}

bool resultsAreNew(const QString& resultText, bool listEmpty, const QString& firstListed)
{
    if (listEmpty)
        return resultText.contains(rowMarker);
    if (resultText.contains(rowMarker + u'>')) {
        const QList<QStringView> pieces = splitBlocks(resultText, rowMarker);
        return GetMemo(pieces.value(1), u">", u"<") != firstListed;
    }
    return resultText.contains(rowMarker);
}

QList<QStringList> readResultRows(const QString& resultText)
{
    QList<QStringList> rows;
    const QList<QStringView> pieces = splitBlocks(resultText, rowMarker);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QStringView piece = pieces.at(i);
        const QList<QStringView> data = splitBlocks(piece, u"class=data");
        rows << QStringList{
            cleanField(GetMemo(piece, u">", u"<")), cleanField(GetMemo(piece, u"c1>", u"<")),
            cleanField(GetMemo(piece, u"c2>", u"<")), competitionText(piece.toString()),
            cleanField(GetMemo(data.value(2), u">", u"<"))};
    }
    return rows;
}

QString competitionText(const QString& rowPiece)
{
    const QList<QStringView> bars = splitBlocks(rowPiece, u"indicatorbar");
    if (bars.size() == 2)
        return u"100%(非常激烈)"_s;
    if (bars.size() < 2)
        return u"-"_s;
    const int first = barWidth(bars.at(1));
    const int second = barWidth(bars.at(2));
    if (first + second == 0)
        return u"-"_s;
    const double share = double(first) * 100.0 / double(first + second);
    const QString label = share > 90   ? u"%(非常激烈)"_s
                          : share > 60 ? u"%(激烈)"_s
                          : share > 30 ? u"%(一般)"_s
                                       : u"%(缓和)"_s;
    return QString::number(qint64(roundHalfEven(share))) + label;
}

} // namespace marbleway
