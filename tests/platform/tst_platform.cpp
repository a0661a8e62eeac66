#include "platform/configurationmanager.h"
#include "platform/logging.h"

#include <QTemporaryDir>
#include <QThread>
#include "jsonfixture.h"

#include <QtTest>


using fake::json;

using namespace stbconfig;

class TestPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layersByPrecedence()
    {
        ConfigurationManager store;
        const QString g = QStringLiteral("G"), k = QStringLiteral("k");
        QCOMPARE(store.value(g, k, 7).toInt(), 7);
        // Each higher layer hides the ones below it, and removing it reveals them again.
        const QList<SettingsType> ascending{Defaults, User, System, Authorization, Runtime};
        for (SettingsType type : ascending) {
            store.setValue(g, k, int(type) * 10 + 1, type);
            QCOMPARE(store.value(g, k).toInt(), int(type) * 10 + 1);
            QVERIFY(store.contains(g, k, type));
        }
        for (auto it = ascending.crbegin(); it != ascending.crend(); ++it) {
            QCOMPARE(store.value(g, k).toInt(), int(*it) * 10 + 1);
            store.removeValue(g, k, *it);
            QVERIFY(!store.contains(g, k, *it));
        }
        QVERIFY(!store.value(g, k).isValid());
        // Removal addresses only the named layer.
        store.setValue(g, k, 1, User);
        store.removeValue(g, k, Runtime);
        QCOMPARE(store.value(g, k).toInt(), 1);
        // Out-of-range layers are refused rather than corrupting memory.
        store.setValue(g, k, 9, SettingsType(42));
        QVERIFY(!store.contains(g, k, SettingsType(42)));
        QCOMPARE(store.value(g, k).toInt(), 1);
    }

    void authorizationLayerSurvivesRestart()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("auth.json"));
        {
            ConfigurationManager store(file);
            QVERIFY(store.storageAvailable(Authorization));
            store.setValue(QStringLiteral("TqClientFacade"), QStringLiteral("uid"), QStringLiteral("U-1"), Authorization);
            store.setValue(QStringLiteral("TqClientFacade"), QStringLiteral("session_id"), QStringLiteral("S"), Authorization);
            store.setValue(QStringLiteral("TqClientFacade"), QStringLiteral("session_id"), QStringLiteral("R"), Runtime);
            store.removeValue(QStringLiteral("TqClientFacade"), QStringLiteral("session_id"), Authorization);
        }
        ConfigurationManager restarted(file);
        QCOMPARE(restarted.value(QStringLiteral("TqClientFacade"), QStringLiteral("uid")).toString(), QStringLiteral("U-1"));
        // Neither the removed persistent value nor the runtime one comes back.
        QVERIFY(!restarted.value(QStringLiteral("TqClientFacade"), QStringLiteral("session_id")).isValid());
    }

    void authorizationStorageAvailability()
    {
        QVERIFY(!ConfigurationManager().storageAvailable(Authorization));
        QVERIFY(ConfigurationManager().storageAvailable(Runtime));
        ConfigurationManager missingDir(QStringLiteral("/nonexistent-dir/auth.json"));
        QVERIFY(!missingDir.storageAvailable(Authorization));
        // A value written anyway is kept for this run.
        missingDir.setValue(QStringLiteral("G"), QStringLiteral("k"), 1, Authorization);
        QCOMPARE(missingDir.value(QStringLiteral("G"), QStringLiteral("k")).toInt(), 1);

        QTemporaryDir dir;
        ConfigurationManager store(dir.path()); // a directory cannot be written as a file
        store.setValue(QStringLiteral("G"), QStringLiteral("k"), 1, Authorization);
        QVERIFY(!store.storageAvailable(Authorization));
    }

    void loadJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("groups") << QByteArray(json("{'TQ':{'apiUrl':'http://a','n':3},'RDM':{}}")) << true;
        QTest::newRow("not json") << QByteArray("TQ.apiUrl=x") << false;
        QTest::newRow("array") << QByteArray("[1]") << false;
        QTest::newRow("group not object") << QByteArray(json("{'TQ':{'apiUrl':'http://b'},'X':1}")) << false;
    }
    void loadJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, accepted);
        ConfigurationManager store;
        QCOMPARE(store.loadJson(json), accepted);
        // A refused file changes nothing, not even its valid groups.
        QCOMPARE(store.value(QStringLiteral("TQ"), QStringLiteral("apiUrl")).toString(),
                 accepted ? QStringLiteral("http://a") : QString());
        if (accepted) {
            QCOMPARE(store.value(QStringLiteral("TQ"), QStringLiteral("n")).toInt(), 3);
            QCOMPARE(store.effectiveValues().value(QStringLiteral("TQ")).toMap().value(QStringLiteral("n")).toInt(), 3);
        }
    }

    // A writer grows a layer (its table is rebuilt again and again) while this thread reads:
    // every value read is one that was written under its key. Without the store's lock the
    // reads meet half-rebuilt tables and freed values: wrong or missing values, or a crash
    // (reported at once under ASan).
    void concurrentReadersAndWriters()
    {
        QTemporaryDir dir;
        ConfigurationManager store(dir.filePath(QStringLiteral("auth.json")));
        const QString group = QStringLiteral("G");
        const auto text = [](int i) { return QStringLiteral("value-%1-").arg(i).repeated(4); };
        constexpr int count = 40000;
        std::atomic<int> written{-1};
        auto* writer = QThread::create([&] {
            for (int i = 0; i < count; ++i) {
                store.setValue(group, QString::number(i), text(i), Runtime);
                store.setValue(group, QStringLiteral("latest"), text(i), Runtime);
                if (i % 4000 == 0)
                    store.setValue(QStringLiteral("TqClientFacade"), QStringLiteral("uid"), QString::number(i), Authorization);
                written = i;
            }
        });
        writer->start();
        int reads = 0;
        int wrong = 0;
        while (!writer->isFinished() || reads == 0) {
            const int last = written;
            for (int i = std::max(last - 50, 0); i <= last; ++i, ++reads) {
                if (store.value(group, QString::number(i)).toString() != text(i))
                    ++wrong; // written before `last` was published: it must be there, whole
            }
            const QString latest = store.value(group, QStringLiteral("latest")).toString();
            if (last >= 0 && !latest.startsWith(QStringLiteral("value-")))
                ++wrong;
        }
        writer->wait();
        delete writer;
        QCOMPARE(wrong, 0);
        QVERIFY(reads > 0);
        QCOMPARE(ConfigurationManager(dir.filePath(QStringLiteral("auth.json")))
                     .value(QStringLiteral("TqClientFacade"), QStringLiteral("uid")).toString(),
                 QStringLiteral("36000"));
    }

    void loggerThresholdAndRecord()
    {
        const logging::Level saved = logging::logLevel();
        logging::setLogLevel(2);
        QVERIFY(logging::checkLogLevel(1) && logging::checkLogLevel(2));
        QVERIFY(!logging::checkLogLevel(3));
        // Below the threshold nothing is written: an unexpected record would fail the test.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("must not appear")));
        TQ_LOG(logging::Notice, QStringLiteral("X")) << "must not appear";
        int evaluated = 0;
        TQ_LOG(logging::Verbose, QStringLiteral("X")) << ++evaluated;
        QCOMPARE(evaluated, 0); // arguments of a suppressed record are not evaluated

        QTest::ignoreMessage(QtWarningMsg, "[2] BackendManager: request(12) is deferred 5");
        TQ_LOG(logging::Warning, QStringLiteral("BackendManager"))
            << QStringLiteral("request(%1) is deferred").arg(qint64(12)) << 5;
        QTest::ignoreMessage(QtCriticalMsg, "[1] Ctx: unexpected call");
        logging::toLog(1, QStringLiteral("tqapi"), QLatin1String(), 0, QLatin1String(), QStringLiteral("Ctx")).noquote()
            << "unexpected call";
        logging::fakeQDebug() << "discarded";
        logging::setLogLevel(saved);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
