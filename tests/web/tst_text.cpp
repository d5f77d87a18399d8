#include "web/charset.h"
#include "web/textutil.h"

#include <QStringEncoder>
#include <QStringListModel>
#include <QTest>

using namespace marbleway;
using namespace Qt::StringLiterals;

class TestText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void getMemo_data();
    void getMemo();
    void splitBlocks();
    void urlEncodeAnsi();
    void urlEncodeAnsiCoversPrintableAscii();
    void gbToUtf8();
    void listHasText();
    void decodeByLabel();
    void unknownLabelFallsBack();
    void detectLabel_data();
    void detectLabel();
};

void TestText::getMemo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("expected");

    const QString bold = u"<b>12</b><b>34</b>"_s;
    QTest::newRow("first of several") << bold << u"<b>"_s << u"</b>"_s << u"12"_s;
    QTest::newRow("first marker missing") << bold << u"<i>"_s << u"</b>"_s << QString();
    QTest::newRow("last marker missing") << bold << u"<b>"_s << u"<x>"_s << QString();
    QTest::newRow("case-sensitive")
        << u"<meta charset=utf-8>"_s << u"Charset="_s << u">"_s << QString();
    QTest::newRow("end only before start") << u"]x[abc"_s << u"["_s << u"]"_s << QString();
    QTest::newRow("adjacent markers") << u"a[]b"_s << u"["_s << u"]"_s << QString();
    QTest::newRow("empty first: from the start") << u"abc]d]"_s << QString() << u"]"_s << u"abc"_s;
    QTest::newRow("empty last") << u"a[bc]"_s << u"["_s << QString() << QString();
    QTest::newRow("markers at the edges") << u"[whole]"_s << u"["_s << u"]"_s << u"whole"_s;
    QTest::newRow("empty text") << QString() << u"["_s << u"]"_s << QString();
    QTest::newRow("overlapping markers") << u"aXaXb"_s << u"aX"_s << u"Xb"_s << u"a"_s;
}

void TestText::getMemo()
{
    QFETCH(QString, text);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QString, expected);
    QCOMPARE(GetMemo(text, first, last), expected);
}

void TestText::splitBlocks()
{
    const auto texts = [](const QList<QStringView>& views) {
        QStringList out;
        for (const QStringView view : views)
            out << view.toString();
        return out;
    };
    QCOMPARE(texts(marbleway::splitBlocks(u"head<h3>one<h3>two", u"<h3>")),
             QStringList({u"head"_s, u"one"_s, u"two"_s}));
    QCOMPARE(texts(marbleway::splitBlocks(u"<h3>one<h3>", u"<h3>")),
             QStringList({QString(), u"one"_s, QString()}));
    QCOMPARE(texts(marbleway::splitBlocks(u"no markers", u"<h3>")), QStringList{u"no markers"_s});
    QVERIFY(marbleway::splitBlocks(QStringView(), u"<h3>").isEmpty());
    // Case matters: "<H3>" is not the marker.
    QCOMPARE(marbleway::splitBlocks(u"a<H3>b", u"<h3>").size(), 1);
}

void TestText::urlEncodeAnsi()
{
    QCOMPARE(URLEncodeAnsi(u" a&b"), u"+a%26b"_s);
    QCOMPARE(URLEncodeAnsi(u"C++ seo"), u"C%2B%2B+seo"_s);
    QCOMPARE(URLEncodeAnsi(u"aZ09*-.@_"), u"aZ09*-.@_"_s);
    // Chinese goes out as its two GBK bytes.
    QCOMPARE(URLEncodeAnsi(u"中文"), u"%D6%D0%CE%C4"_s);
    // Characters GBK lacks become "?", each unit of a surrogate pair on its own.
    QCOMPARE(URLEncodeAnsi(u"a\U0001F600b"), u"a%3F%3Fb"_s);
    QCOMPARE(URLEncodeAnsi(u""), QString());
}

void TestText::urlEncodeAnsiCoversPrintableAscii()
{
    const QString kept = u"*-.@_"_s;
    for (char16_t c = 0x21; c < 0x7F; ++c) {
        const QChar ch(c);
        const QString encoded = URLEncodeAnsi(QStringView(&ch, 1));
        if (ch.isLetterOrNumber() || kept.contains(ch)) {
            QCOMPARE(encoded, QString(ch));
        } else {
            const QString expected =
                u"%"_s + QString::number(c, 16).toUpper().rightJustified(2, u'0');
            QCOMPARE(encoded, expected);
        }
    }
}

void TestText::gbToUtf8()
{
    QCOMPARE(GBtoUTF8(u"seo tools"), u"seo tools"_s);
    QCOMPARE(GBtoUTF8(u"é"), u"%C3%A9"_s);
    QCOMPARE(GBtoUTF8(u"中"), u"%E4%B8%AD"_s);
    QCOMPARE(GBtoUTF8(u"a&b#c"), u"a&b#c"_s);
    QCOMPARE(GBtoUTF8(u""), QString());
    // Boundaries of the one-, two- and three-byte forms.
    QCOMPARE(GBtoUTF8(u"\u007F\u0080\u07FF\u0800\uFFFF"),
             u"\u007F%C2%80%DF%BF%E0%A0%80%EF%BF%BF"_s);
    // A surrogate pair is written unit by unit, three bytes each.
    QCOMPARE(GBtoUTF8(u"\U0001F600"), u"%ED%A0%BD%ED%B8%80"_s);
    // Everything in the Basic Multilingual Plane agrees with UTF-8.
    const QString sample = u"Ünïcødé 关键词 ☃"_s;
    QCOMPARE(GBtoUTF8(sample), QString::fromLatin1(sample.toUtf8().toPercentEncoding(
                                   " "_ba + QByteArray("!\"#$%&'()*+,/:;<=>?@[\\]^`{|}~"))));
}

void TestText::listHasText()
{
    QStringListModel list;
    QVERIFY(!ListHasText(u"seo"_s, list));
    list.setStringList({u"seo tools"_s, u"关键词"_s});
    QVERIFY(ListHasText(u"seo tools"_s, list));
    QVERIFY(ListHasText(u"  seo tools  "_s, list));
    QVERIFY(ListHasText(u"关键词"_s, list));
    QVERIFY(!ListHasText(u"SEO tools"_s, list));
    QVERIFY(!ListHasText(u"seo"_s, list));
    // Only spaces are trimmed, as the lists store them.
    QVERIFY(!ListHasText(u"\tseo tools"_s, list));
}

void TestText::decodeByLabel()
{
    const QString chinese = u"网站排名 镕"_s; // 镕 is in GBK but not in GB2312
    QStringEncoder gbk("GBK");
    const QByteArray gbkBytes = gbk.encode(chinese);
    for (const auto label : {u"gb2312", u"GB2312", u"gbk", u"x-gbk", u"gb18030", u" gb2312 "})
        QCOMPARE(BytesToBstr(gbkBytes, label), chinese);
    QCOMPARE(BytesToBstr(chinese.toUtf8(), u"utf-8"), chinese);
    QCOMPARE(BytesToBstr(chinese.toUtf8(), u"UTF-8"), chinese);
    QCOMPARE(BytesToBstr("\xEF\xBB\xBFok"_ba, u"utf-8"), u"ok"_s);
    QCOMPARE(BytesToBstr("caf\xE9"_ba, u"iso-8859-1"), u"café"_s);
    QCOMPARE(BytesToBstr("\x93quote\x94"_ba, u"windows-1252"), u"\u201Cquote\u201D"_s);
    QStringEncoder big5("Big5");
    QCOMPARE(BytesToBstr(big5.encode(u"繁體"_s), u"big5"), u"繁體"_s);
    QCOMPARE(BytesToBstr(QByteArray(), u"utf-8"), QString());
    // Bytes cut inside a character end in a replacement rather than vanishing.
    QCOMPARE(BytesToBstr("ab\xE4"_ba, u"utf-8"), u"ab\uFFFD"_s);
    QCOMPARE(BytesToBstr("\xBA"_ba, u"gbk"), u"\uFFFD"_s);
    QCOMPARE(BytesToBstr("ab\xBA"_ba, u""), u"ab\uFFFD"_s);
    QCOMPARE(fromAnsi("\xB9\xD8\xBC"_ba), u"关\uFFFD"_s);
}

void TestText::unknownLabelFallsBack()
{
    const QString chinese = u"关键词"_s;
    QStringEncoder gbk("GBK");
    QVERIFY(!isKnownCharset(u"no-such-charset"));
    QCOMPARE(BytesToBstr(chinese.toUtf8(), u"no-such-charset"), chinese);
    QCOMPARE(BytesToBstr(gbk.encode(chinese), u"no-such-charset"), chinese);
    QCOMPARE(BytesToBstr(chinese.toUtf8(), u""), chinese);
    QVERIFY(isValidUtf8("plain ascii"_ba));
    QVERIFY(isValidUtf8(u"é中\U0001F600"_s.toUtf8()));
    QVERIFY(!isValidUtf8("\xC0\xAF"_ba));         // overlong "/"
    QVERIFY(!isValidUtf8("\xED\xA0\x80"_ba));     // a surrogate
    QVERIFY(!isValidUtf8("\xE4\xB8"_ba));         // cut short
    QVERIFY(!isValidUtf8("\xF4\x90\x80\x80"_ba)); // beyond U+10FFFF
    // Invalid bytes never stop the decoder.
    QVERIFY(!BytesToBstr("\xFF\xFE\xFA\x00\x80"_ba, u"utf-8").isEmpty());
}

void TestText::detectLabel_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("label");
    QTest::newRow("content attribute")
        << u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"_s
        << u"utf-8"_s;
    QTest::newRow("unquoted attribute") << u"<meta charset=utf-8>"_s << u"utf-8"_s;
    QTest::newRow("quoted HTML5 form") << u"<meta charset=\"utf-8\">"_s << u"gb2312"_s;
    QTest::newRow("upper case") << u"<META CONTENT=\"text/html; CHARSET=GBK\">"_s << u"gbk"_s;
    QTest::newRow("spaces around") << u"<meta charset= big5 >"_s << u"big5"_s;
    QTest::newRow("none declared") << u"<html><body>hi</body></html>"_s << u"gb2312"_s;
    QTest::newRow("no closing bracket") << u"<meta charset=utf-8"_s << u"gb2312"_s;
    QTest::newRow("first one wins")
        << u"<meta charset=windows-1252><meta charset=utf-8>"_s << u"windows-1252"_s;
}

void TestText::detectLabel()
{
    QFETCH(QString, page);
    QFETCH(QString, label);
    QCOMPARE(detectCharsetLabel(page), label);
}

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
