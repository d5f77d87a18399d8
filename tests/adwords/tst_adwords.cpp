#include "adwords/adwordsreader.h"

#include <QTest>

using namespace marbleway;
using namespace Qt::StringLiterals;

class TestAdWords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void competition_data();
    void competition();
    void readingTheTable();
};

void TestAdWords::competition_data()
{
    QTest::addColumn<QString>("bars");
    QTest::addColumn<QString>("text");
    const auto bars = [](const char* first, const char* second) {
        return u"<div class=indicatorbar style=width: %1px;></div>"
               "<div class=indicatorbar style=width: %2px;></div>"_s.arg(QLatin1String(first),
                                                                         QLatin1String(second));
    };
    QTest::newRow("one bar") << u"<div class=indicatorbar style=width: 40px;>"_s
                             << u"100%(非常激烈)"_s;
    QTest::newRow("90 is not above 90") << bars("90", "10") << u"90%(激烈)"_s;
    QTest::newRow("91") << bars("91", "9") << u"91%(非常激烈)"_s;
    QTest::newRow("60 is not above 60") << bars("60", "40") << u"60%(一般)"_s;
    QTest::newRow("30 is not above 30") << bars("3", "7") << u"30%(缓和)"_s;
    QTest::newRow("a third") << bars("1", "2") << u"33%(一般)"_s;
    QTest::newRow("fractional widths round half to even") << bars("2.5", "1.5") << u"50%(一般)"_s;
    QTest::newRow("no bar") << u"<td>"_s << u"-"_s;
    QTest::newRow("two empty bars") << bars("0", "0") << u"-"_s;
}

void TestAdWords::competition()
{
    QFETCH(QString, bars);
    QFETCH(QString, text);
    QCOMPARE(competitionText(bars), text);
}

// The table as a current engine writes it, brought into the form the markers
// expect, read row by row; when a table counts as new.
void TestAdWords::readingTheTable()
{
    const QString chromium =
        uR"(<table><tbody><tr><td class="c0">SEO Tools</td><td class="c1">3</td>)"
        uR"(<td class="c2">$1.20</td><td><div class="indicatorBar" style="width: 75px;"></div>)"
        uR"(<div class="indicatorBar" style="width: 25px;"></div></td><td class="data">1,000</td>)"
        uR"(<td class="data">74,000</td></tr><tr><td class='c0'>seo</td><td class="c1">1</td>)"
        uR"(<td class="c2">$2.00</td><td><div class="indicatorbar" style="width: 50px;"></div>)"
        uR"(</td><td class="data">9</td><td class="data">550,000</td></tr></tbody></table>)"_s;
    const QString text = legacyMarkup(chromium);
    QCOMPARE(
        readResultRows(text),
        (QList<QStringList>{{u"seo tools"_s, u"3"_s, u"$1.20"_s, u"75%(激烈)"_s, u"74,000"_s},
                            {u"seo"_s, u"1"_s, u"$2.00"_s, u"100%(非常激烈)"_s, u"550,000"_s}}));

    QVERIFY(resultsAreNew(text, true, QString()));
    QVERIFY(!resultsAreNew(u"<p>searching</p>"_s, true, QString()));
    QVERIFY(!resultsAreNew(text, false, u"seo tools"_s));
    QVERIFY(resultsAreNew(text, false, u"seo software"_s));
    QVERIFY(resultsAreNew(u"<td class=c0 width=5>x<"_s, false, u"x"_s));
    QVERIFY(!resultsAreNew(u"<table></table>"_s, false, u"x"_s));
}

QTEST_GUILESS_MAIN(TestAdWords)
#include "tst_adwords.moc"
