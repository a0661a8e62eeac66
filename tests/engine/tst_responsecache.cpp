// The response cache: budget clamping, eviction of the oldest items, replacement.

#include "transport/responsecache_p.h"
#include "platform/logging.h"

#include <QRegularExpression>
#include <QtTest>

using tq::ResponseCache;

namespace {
constexpr qint64 MiB = 1024 * 1024;
QByteArray bytes(qint64 size) { return QByteArray(size, 'x'); }
} // namespace

class TestResponseCache : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        logging::setLogLevel(logging::Verbose); // some cases expect trace lines
    }

    // The budget is min(max(limit, 0), 30) MiB: an item of exactly the budget stays, one byte
    // more does not.
    void budgetIsClamped_data()
    {
        QTest::addColumn<int>("configured");
        QTest::addColumn<qint64>("budget");
        QTest::newRow("default") << 2 << 2 * MiB;
        QTest::newRow("one") << 1 << MiB;
        QTest::newRow("zero") << 0 << qint64(0);
        QTest::newRow("negative") << -5 << qint64(0);
        QTest::newRow("maximum") << 30 << 30 * MiB;
        QTest::newRow("just above the maximum") << 31 << 30 * MiB;
        QTest::newRow("far above the maximum") << 100 << 30 * MiB;
    }

    void budgetIsClamped()
    {
        QFETCH(int, configured);
        QFETCH(qint64, budget);
        ResponseCache cache(configured);
        if (budget > 0) {
            cache.add("fits", bytes(budget));
            QVERIFY(cache.contains("fits"));
        }
        cache.add("too large", bytes(budget + 1));
        QVERIFY(!cache.contains("too large"));
        QCOMPARE(cache.count(), 0); // and it took the fitting one with it, being newer
    }

    // Sizes are in KiB, the budget 1 MiB; "kept" is what stays. A size of -1 reads the oldest item.
    void eviction_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("all fit") << QList<int>{300, 300, 300} << QStringList{"0", "1", "2"};
        QTest::newRow("exactly the budget") << QList<int>{512, 512} << QStringList{"0", "1"};
        QTest::newRow("oldest goes") << QList<int>{400, 400, 400} << QStringList{"1", "2"};
        QTest::newRow("several go") << QList<int>{200, 200, 200, 900} << QStringList{"3"};
        QTest::newRow("larger than the budget") << QList<int>{100, 1025} << QStringList{};
        QTest::newRow("reading does not renew") << QList<int>{400, 400, -1, 400} << QStringList{"1", "3"};
    }

    void eviction()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(QStringList, kept);
        ResponseCache cache(1);
        qint64 expectedTotal = 0;
        for (int i = 0; i < sizes.size(); ++i) {
            if (sizes[i] < 0) {
                QCOMPARE(cache.value("0").size(), sizes[0] * 1024);
                continue;
            }
            cache.add(QString::number(i), bytes(sizes[i] * 1024));
            if (kept.contains(QString::number(i)))
                expectedTotal += sizes[i] * 1024;
        }
        QCOMPARE(cache.count(), kept.size());
        for (const QString& key : kept)
            QVERIFY2(cache.contains(key), qPrintable(key));
        QCOMPARE(cache.totalSize(), expectedTotal);
    }

    void lowerBudgetEvictsOldest()
    {
        ResponseCache cache(2);
        cache.add("a", bytes(MiB));
        cache.add("b", bytes(MiB / 2));
        cache.setLimit(1);
        QVERIFY(!cache.contains("a"));
        QVERIFY(cache.contains("b"));
        cache.setLimit(0);
        QCOMPARE(cache.count(), 0);
        QCOMPARE(cache.totalSize(), qint64(0));
    }

    void replacingKeepsOneItemAndMovesItToTheEnd()
    {
        ResponseCache cache(1);
        cache.add("a", bytes(400 * 1024));
        cache.add("b", bytes(400 * 1024));
        cache.add("a", bytes(100 * 1024));
        QCOMPARE(cache.count(), 2);
        QCOMPARE(cache.totalSize(), qint64(500 * 1024));
        QCOMPARE(cache.value("a").size(), 100 * 1024);
        cache.add("c", bytes(600 * 1024)); // "b" is now the oldest
        QVERIFY(!cache.contains("b"));
        QVERIFY(cache.contains("a"));
    }

    void logsAddingAndReleasing()
    {
        ResponseCache cache(1);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("create cache item k1, size: 700"));
        cache.add("k1", bytes(700));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("release cache item k1, size: 700"));
        cache.remove("k1");
    }
};

QTEST_GUILESS_MAIN(TestResponseCache)
#include "tst_responsecache.moc"
