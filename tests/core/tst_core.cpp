#include "core/textfile.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringEncoder>

using namespace marbleway;
using namespace marbleway::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class TestCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clocksAndDates();
    void textEncodings_data();
    void textEncodings();
    void failedWrites_data();
    void failedWrites();
    void fullDisk();
    void dataFolder();
};

void TestCore::clocksAndDates()
{
    // A sleep is never short; it waits the real time its program time stands for.
    QElapsedTimer real;
    real.start();
    const auto before = Clock::system().monotonic();
    await(Clock::system().sleep(120ms));
    QVERIFY(real.elapsed() >= 120 && Clock::system().monotonic() - before >= 120ms);
    await(Clock::system().sleep(-5ms));

    // A date that is not one gives no day count (it never reads as "today").
    QVERIFY(!parseIsoDate(u"7.3.2026"_s).isValid());
    QCOMPARE(wholeDaysBetween(QDate(), QDate(2026, 3, 1)), std::nullopt);
    QCOMPARE(wholeDaysBetween(QDate(2026, 12, 31), QDate(2027, 1, 1)), 1);
}

void TestCore::textEncodings_data()
{
    // Own files: `text` is written and read back, in GBK's bytes when GBK has
    // them (how imported files are read: tst_text's guessed rows).
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const auto gbk = [](const QString& text) {
        return QByteArray(QStringEncoder("GBK").encode(text));
    };
    // GBK spells these with bytes that are well-formed UTF-8 too.
    QTest::newRow("医院") << u"医院"_s << gbk(u"医院"_s);
    QTest::newRow("other GBK") << u"seo$关键词"_s << gbk(u"seo$关键词"_s);
    QTest::newRow("euro") << u"€"_s << QByteArray();
    QTest::newRow("outside GBK") << u"𝄞😀"_s << QByteArray();
}

void TestCore::textEncodings()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"kws.txt"_s);
    QVERIFY(writeAnsiFile(path, text));
    QCOMPARE(readAnsiFile(path), text);
    if (!bytes.isEmpty())
        QCOMPARE(fileBytes(path), bytes);
}

void TestCore::failedWrites_data()
{
    QTest::addColumn<bool>("settings");
    QTest::addColumn<WriteFault>("fault");
    for (const bool settings : {false, true})
        for (const WriteFault fault : AllWriteFaults)
            QTest::addRow("%s, %s", settings ? "settings" : "text file",
                          fault == WriteFault::Write ? "write" : "commit")
                << settings << fault;
}

void TestCore::failedWrites()
{
    QFETCH(bool, settings);
    QFETCH(WriteFault, fault);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mykw.txt"_s);
    QVERIFY(writeBytes(path, "seo=old\r\n"));
    if (settings) {
        SettingsStore store(faultySettings(path, fault));
        QVERIFY(!store.RegSave(u"setting1"_s, u"0#1#1#0#0"_s));
        QVERIFY(!store.lastError().isEmpty());
        QCOMPARE(store.RegRead(u"setting1"_s), u"0#1#1#0#0"_s); // still, in this run
    } else {
        FaultyWriter writer;
        writer.setFault(fault);
        QVERIFY(!writeAnsiFile(path, u"seo$关键词 and more\r\n"_s, writer).error.isEmpty());
    }
    QCOMPARE(fileBytes(path), "seo=old\r\n"_ba);
    QCOMPARE(QDir(dir.path()).entryList({u"mykw.txt.??????"_s}, QDir::Files), QStringList());
}

void TestCore::fullDisk()
{
    const SmallDisk disk;
    if (!disk.reason().isEmpty())
        QSKIP(qPrintable(disk.reason()));
    const QString keywords = disk.filePath(u"mykw.txt"_s);
    const QString options = disk.filePath(u"Marbleway.conf"_s);
    QVERIFY(writeBytes(keywords, "seo tools$backlinks\r\n"));
    SettingsStore store(std::make_unique<QSettings>(options, QSettings::IniFormat));
    QVERIFY(store.RegSave(u"setting1"_s, u"0#1#1#0#0"_s));
    const QByteArray storedOptions = fileBytes(options);

    disk.fill();
    QVERIFY(!writeAnsiFile(keywords, u"seo tools\r\n"_s));
    QCOMPARE(fileBytes(keywords), "seo tools$backlinks\r\n"_ba);
    QVERIFY(!store.RegSave(u"setting1"_s, QString(5000, u'x')));
    QCOMPARE(fileBytes(options), storedOptions);

    // With room again the next writes succeed and say so.
    disk.free();
    QVERIFY(store.RegSave(u"setting3"_s, u"Google.com#2#1#1"_s));
    QVERIFY(writeAnsiFile(keywords, u"seo tools\r\n"_s));
    QVERIFY(fileBytes(options).contains("Google.com#2#1#1"));
}

void TestCore::dataFolder()
{
    QTemporaryDir dir;
    const DataFolder folder(dir.filePath(u"home/./data/"_s));
    QCOMPARE(folder.filePath(u"ver.txt"_s), dir.filePath(u"home/data/ver.txt"_s));
    QVERIFY(folder.ensureExists() && QFileInfo(folder.path()).isDir());
    qunsetenv(DataFolder::EnvironmentVariable); // set: the command line's tests
    QVERIFY(DataFolder::fromEnvironment().path().endsWith(u"/Marbleway"));
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
