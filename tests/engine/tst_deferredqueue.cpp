#include "engine/clock.h"
#include "engine/deferredqueue_p.h"
#include "transport/httprequestworker_p.h"

#include <QtTest>

using tq::DeferredQueue;
using tq::HttpRequestWorker;
using tq::ManualClock;

namespace {
// The queue only keeps and hands back worker pointers; it never dereferences them.
HttpRequestWorker* fakeWorker(quintptr n)
{
    return reinterpret_cast<HttpRequestWorker*>(n * 16);
}
} // namespace

class TestDeferredQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Looked at once a second: an item already due waits for the next look when tracking runs.
    void dueItemsLeaveAtTheNextLookInInsertionOrder()
    {
        ManualClock clock;
        DeferredQueue queue;
        queue.setClock(&clock);
        QList<HttpRequestWorker*> due;
        connect(&queue, &DeferredQueue::executeWorkerRequired, this, [&due](HttpRequestWorker* w) { due.append(w); });
        const qint64 now = clock.monotonicMs();
        queue.enqueue(now + 60000, fakeWorker(1)); // far away: starts the tracking timer
        QVERIFY(queue.isTracking());
        queue.enqueue(now + 5, fakeWorker(2));
        queue.enqueue(now, fakeWorker(3));
        clock.advance(999);
        QCOMPARE(due.size(), 0);
        clock.advance(1);
        QCOMPARE(due, (QList<HttpRequestWorker*>{fakeWorker(2), fakeWorker(3)}));
        QCOMPARE(queue.size(), 1);
        clock.advance(58999);
        QCOMPARE(due.size(), 2);
        clock.advance(1000);
        QCOMPARE(due.size(), 3);
        QVERIFY(!queue.isTracking());
    }

    // The wall clock set by the network after boot moves nothing.
    void wallClockJumpsReleaseNothing()
    {
        ManualClock clock(QDateTime(QDate(1970, 1, 1), QTime(0, 0, 30), Qt::UTC));
        DeferredQueue queue;
        queue.setClock(&clock);
        QList<HttpRequestWorker*> due;
        connect(&queue, &DeferredQueue::executeWorkerRequired, this, [&due](HttpRequestWorker* w) { due.append(w); });
        queue.enqueue(clock.monotonicMs() + 120000, fakeWorker(1));
        clock.setUtc(QDateTime(QDate(2027, 3, 1), QTime(8, 0), Qt::UTC));
        clock.advance(60000);
        clock.setUtc(QDateTime(QDate(1999, 3, 1), QTime(8, 0), Qt::UTC));
        clock.advance(59000);
        QVERIFY(due.isEmpty());
        clock.advance(1000);
        QCOMPARE(due, QList<HttpRequestWorker*>{fakeWorker(1)});
    }

    void stopKeepsItemsAndStartReleasesDueOnes()
    {
        ManualClock clock;
        DeferredQueue queue;
        queue.setClock(&clock);
        QList<HttpRequestWorker*> due;
        connect(&queue, &DeferredQueue::executeWorkerRequired, this, [&due](HttpRequestWorker* w) { due.append(w); });
        const qint64 now = clock.monotonicMs();
        queue.enqueue(now + 60000, fakeWorker(1)); // starts the tracking timer...
        queue.enqueue(now, fakeWorker(2));         // ...so this one waits for it although due
        queue.enqueue(now + 60000, fakeWorker(3));
        queue.stop();
        QVERIFY(!queue.isTracking());
        clock.advance(5000);
        queue.remove(fakeWorker(3));
        QCOMPARE(queue.size(), 2);
        QVERIFY(due.isEmpty());
        queue.start(); // as a resume does: due items go at once, the rest are tracked
        QCOMPARE(due, QList<HttpRequestWorker*>{fakeWorker(2)});
        QCOMPARE(queue.size(), 1);
        QVERIFY(queue.isTracking());
        queue.clear();
        QCOMPARE(queue.size(), 0);
    }

    void refusesTheThousandAndFirstItem()
    {
        ManualClock clock;
        DeferredQueue queue;
        queue.setClock(&clock);
        for (int i = 0; i < 1000; ++i)
            QVERIFY(queue.enqueue(60000, fakeWorker(quintptr(i) + 1)));
        QTest::ignoreMessage(QtDebugMsg, "[4] DeferredQueue: queue is full");
        QVERIFY(!queue.enqueue(60000, fakeWorker(5000)));
        QCOMPARE(queue.size(), 1000);
    }
};

QTEST_GUILESS_MAIN(TestDeferredQueue)
#include "tst_deferredqueue.moc"
