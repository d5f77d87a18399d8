#include "web/charset.h"
#include "web/textutil.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace marbleway;
using namespace Qt::StringLiterals;

class TestText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void getMemo_data();
    void getMemo();
    void decode_data();
    void decode();
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
    QTest::newRow("case-sensitive")
        << u"<meta charset=utf-8>"_s << u"Charset="_s << u">"_s << QString();
    QTest::newRow("end only before start") << u"]x[abc"_s << u"["_s << u"]"_s << QString();
    QTest::newRow("adjacent markers") << u"a[]b"_s << u"["_s << u"]"_s << QString();
    QTest::newRow("empty first: from the start") << u"abc]d]"_s << QString() << u"]"_s << u"abc"_s;
    QTest::newRow("empty last") << u"a[bc]"_s << u"["_s << QString() << QString();
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

void TestText::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    const QString chinese = u"网站排名 镕"_s; // 镕 is in GBK but not in GB2312
    const QByteArray gbk = QStringEncoder("GBK").encode(chinese);
    for (const QString& label : {u"GB2312"_s, u"x-gbk"_s, u"gb18030"_s, u" gb2312 "_s})
        QTest::addRow("GBK as %s", qPrintable(label)) << gbk << label << chinese;
    QTest::newRow("BOM dropped") << "\xEF\xBB\xBFok"_ba << u"utf-8"_s << u"ok"_s;
    QTest::newRow("windows-1252") << "\x93q\x94"_ba << u"windows-1252"_s << u"\u201Cq\u201D"_s;
    QTest::newRow("big5") << QByteArray(QStringEncoder("Big5").encode(u"繁體"_s)) << u"big5"_s
                          << u"繁體"_s;
    QTest::newRow("empty") << QByteArray() << u"utf-8"_s << QString();
    // An unknown label falls back to a guess.
    QTest::newRow("unknown, UTF-8") << chinese.toUtf8() << u"no-such"_s << chinese;
    QTest::newRow("no label, GBK") << gbk << QString() << chinese;
    // Bytes cut inside a character end in a replacement rather than vanishing.
    QTest::newRow("cut UTF-8") << "ab\xE4"_ba << u"utf-8"_s << u"ab\uFFFD"_s;
    QTest::newRow("bad byte inside") << "a\xFF!"_ba << u"utf-8"_s << u"a\uFFFD!"_s;
    QTest::newRow("cut GBK") << "\xBA"_ba << u"gbk"_s << u"\uFFFD"_s;
    // Overlong, surrogate, short, past U+10FFFF: no UTF-8, so read as GBK.
    for (const QByteArray& bad :
         {"\xC0\xAF"_ba, "\xED\xA0\xA1\xA1"_ba, "\xE4\xB8"_ba, "\xF4\x90\xA0\xA0"_ba})
        QTest::addRow("not UTF-8: %s", bad.toHex().constData())
            << bad << u"no-such"_s << QString(QStringDecoder("GB18030").decode(bad));
    // A guessed file (an imported one too) drops one byte order mark; a second
    // one is text. GB18030's four-byte characters, Windows' GBK extras, and a
    // file cut inside its last character.
    QTest::newRow("two marks") << "\xEF\xBB\xBF\xEF\xBB\xBFok"_ba << u"no-such"_s << u"\uFEFFok"_s;
    const QString mixed = u"关键词 € 😀"_s;
    QTest::newRow("UTF-16 mark") << QByteArray(QStringEncoder(QStringConverter::Utf16,
                                                              QStringConverter::Flag::WriteBom)
                                                   .encode(mixed))
                                 << QString() << mixed;
    QTest::newRow("GB18030") << QByteArray(QStringEncoder("GB18030").encode(mixed)) << QString()
                             << mixed;
    QTest::newRow("Windows GBK") << "\x80 \xB9\xD8\x81\x80"_ba << QString() << u"€ 关亐"_s;
    QTest::newRow("cut GBK, guessed") << "\xB9\xD8\xBC"_ba << QString() << u"关\uFFFD"_s;
}

void TestText::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QCOMPARE(BytesToBstr(bytes, label), text);
}

void TestText::detectLabel_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("label");
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
