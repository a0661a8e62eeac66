#include "engine/deferredqueue.h"
#include "transport/httprequestworker.h"

#include <QDateTime>
#include <QtTest>

using tq::DeferredQueue;
using tq::HttpRequestWorker;

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
    void dueItemsLeaveInInsertionOrder()
    {
        DeferredQueue queue;
        QList<HttpRequestWorker*> due;
        connect(&queue, &DeferredQueue::executeWorkerRequired, this, [&due](HttpRequestWorker* w) { due.append(w); });
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        queue.enqueue(now + 60000, fakeWorker(1)); // far away: starts the tracking timer
        QVERIFY(queue.isTracking());
        queue.enqueue(now - 5, fakeWorker(2));     // already due, but the timer runs
        queue.enqueue(now - 10, fakeWorker(3));
        QCOMPARE(due.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(due.size(), 2, 3000);
        QCOMPARE(due, (QList<HttpRequestWorker*>{fakeWorker(2), fakeWorker(3)}));
        QCOMPARE(queue.size(), 1);
        QVERIFY(queue.isTracking()); // still holds an item
    }

    void stopKeepsItemsAndStartReleasesDueOnes()
    {
        DeferredQueue queue;
        QList<HttpRequestWorker*> due;
        connect(&queue, &DeferredQueue::executeWorkerRequired, this, [&due](HttpRequestWorker* w) { due.append(w); });
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        queue.enqueue(now + 60000, fakeWorker(1)); // starts the tracking timer...
        queue.enqueue(now - 1, fakeWorker(2));     // ...so this one waits for it although due
        queue.enqueue(now + 60000, fakeWorker(3));
        queue.stop();
        QVERIFY(!queue.isTracking());
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

    void refusesTheItemBeyondCapacity()
    {
        DeferredQueue queue;
        const qint64 later = QDateTime::currentMSecsSinceEpoch() + 60000;
        for (int i = 0; i < DeferredQueue::Capacity; ++i)
            QVERIFY(queue.enqueue(later, fakeWorker(quintptr(i) + 1)));
        QTest::ignoreMessage(QtDebugMsg, "[4] DeferredQueue: queue is full");
        QVERIFY(!queue.enqueue(later, fakeWorker(5000)));
        QCOMPARE(queue.size(), DeferredQueue::Capacity);
    }
};

QTEST_GUILESS_MAIN(TestDeferredQueue)
#include "tst_deferredqueue.moc"
