#include "core/clock.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTest>

using namespace marbleway;
using namespace marbleway::test;
using namespace std::chrono_literals;

class TestClock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sleepIsNeverShort();
    void scaledClockRunsFaster();
};

void TestClock::sleepIsNeverShort()
{
    const Clock& clock = Clock::system();
    const auto before = clock.monotonic();
    QElapsedTimer real;
    real.start();
    await(clock.sleep(120ms));
    QVERIFY(real.elapsed() >= 120);
    QVERIFY(clock.monotonic() - before >= 120ms);

    // Nothing to wait for: no trip through the event loop.
    real.restart();
    await(clock.sleep(0ms));
    await(clock.sleep(-5ms));
    QVERIFY(real.elapsed() < 100);
}

void TestClock::scaledClockRunsFaster()
{
    const QDateTime start(QDate(2026, 12, 31), QTime(23, 59, 59));
    const ScaledClock fast(20.0, start);
    QCOMPARE(fast.realDuration(2000ms), 100ms);
    QCOMPARE(fast.today(), QDate(2026, 12, 31));

    QElapsedTimer real;
    real.start();
    await(fast.sleep(2000ms));
    QVERIFY(real.elapsed() >= 100);
    QVERIFY(real.elapsed() < 1500);
    QVERIFY(fast.monotonic() >= 2000ms);
    // Program time passed midnight; the date follows it.
    QCOMPARE(fast.today(), QDate(2027, 1, 1));
}

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
