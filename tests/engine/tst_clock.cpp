// The clock every wait of the library is measured on, and the virtual clock the tests drive.

#include "engine/clock.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

using namespace tq;

class TestClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void manualTimersFireAtTheirDeadlinesInOrder()
    {
        ManualClock clock;
        ClockTimer a, b, chained;
        QList<QPair<char, qint64>> fired;
        for (auto [timer, name] : {std::pair{&a, 'a'}, {&b, 'b'}, {&chained, 'c'}}) {
            timer->setClock(&clock);
            timer->setSingleShot(true);
            connect(timer, &ClockTimer::timeout, this, [&fired, &clock, name = name] {
                fired.append({name, clock.monotonicMs()});
            });
        }
        // A timeout that starts another timer: it fires in the same advance when due before its end.
        connect(&a, &ClockTimer::timeout, this, [&chained] { chained.start(500); });
        b.start(3000);
        a.start(1000);
        clock.advance(1499);
        QCOMPARE(fired, (QList<QPair<char, qint64>>{{'a', 1000}}));
        clock.advance(10000);
        QCOMPARE(fired, (QList<QPair<char, qint64>>{{'a', 1000}, {'c', 1500}, {'b', 3000}}));
        QCOMPARE(clock.monotonicMs(), 11499);
        QCOMPARE(clock.activeTimers(), 0);
    }

    void stoppedRestartedAndRepeatingTimers()
    {
        ManualClock clock;
        ClockTimer once, repeating;
        once.setClock(&clock);
        once.setSingleShot(true);
        repeating.setClock(&clock);
        QSignalSpy onceSpy(&once, &ClockTimer::timeout);
        QSignalSpy repeatSpy(&repeating, &ClockTimer::timeout);

        once.start(100);
        clock.advance(50);
        once.start(100); // restarted: due at 150, not 100
        QCOMPARE(once.remainingMs(), 100);
        clock.advance(99);
        QCOMPARE(onceSpy.count(), 0);
        once.stop();
        clock.advance(1000);
        QCOMPARE(onceSpy.count(), 0);
        QCOMPARE(once.remainingMs(), -1);

        repeating.start(250);
        clock.advance(1000);
        QCOMPARE(repeatSpy.count(), 4);
        QVERIFY(repeating.isActive());
        QCOMPARE(clock.nextTimeoutMs(), 250);
    }

    void wallClockJumpsMoveNoTimer()
    {
        ManualClock clock(QDateTime(QDate(1970, 1, 2), QTime(0, 0), Qt::UTC));
        ClockTimer timer;
        timer.setClock(&clock);
        timer.setSingleShot(true);
        QSignalSpy spy(&timer, &ClockTimer::timeout);
        timer.start(60000);
        clock.setUtc(QDateTime(QDate(2031, 6, 1), QTime(12, 0), Qt::UTC));
        clock.advance(59999);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(clock.currentUtc(), QDateTime(QDate(2031, 6, 1), QTime(12, 0, 59, 999), Qt::UTC));
        clock.advance(1);
        QCOMPARE(spy.count(), 1);
    }

    void timerOnAnotherThreadFiresThere()
    {
        ManualClock clock;
        QThread thread;
        auto* timer = new ClockTimer;
        timer->setClock(&clock);
        timer->setSingleShot(true);
        timer->moveToThread(&thread);
        QThread* firedOn = nullptr;
        connect(timer, &ClockTimer::timeout, timer, [&firedOn] { firedOn = QThread::currentThread(); },
                Qt::DirectConnection);
        thread.start();
        QMetaObject::invokeMethod(timer, [timer] { timer->start(10); }, Qt::BlockingQueuedConnection);
        clock.advance(10);
        QTRY_COMPARE(firedOn, &thread);
        QMetaObject::invokeMethod(timer, [timer] { delete timer; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }

    void systemClockTimerFiresAndDeletingInTimeoutIsSafe()
    {
        auto* timer = new ClockTimer;
        timer->setSingleShot(true);
        bool fired = false;
        connect(timer, &ClockTimer::timeout, this, [timer, &fired] {
            fired = true;
            delete timer;
        });
        const qint64 before = Clock::system()->monotonicMs();
        timer->start(20);
        QTRY_VERIFY(fired);
        QVERIFY(Clock::system()->monotonicMs() - before >= 20);
    }
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
