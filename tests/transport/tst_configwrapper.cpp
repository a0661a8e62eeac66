#include "transport/configwrapper.h"

#include <QTemporaryDir>
#include "jsonfixture.h"

#include <QtTest>


using fake::json;

using namespace tq;
using std::chrono::seconds;
using stbconfig::ConfigurationManager;

using SecondsGetter = seconds (TqConfigWrapper::*)() const;
Q_DECLARE_METATYPE(SecondsGetter)

class TestConfigWrapper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sessionIdSequence()
    {
        QTemporaryDir dir;
        ConfigurationManager store(dir.filePath(QStringLiteral("auth.json")));
        TqConfigWrapper config(&store);
        QVERIFY(config.isAuthStorageAvailable());
        QVERIFY(!config.hasSession());

        config.setSessionId(QStringLiteral("A"));
        config.setTemporarySessionId(QStringLiteral("B"));
        QCOMPARE(config.sessionId(), QStringLiteral("B"));
        config.clearTemporarySessionId();
        QCOMPARE(config.sessionId(), QStringLiteral("A"));

        // A new persistent id replaces a temporary one at once.
        config.setTemporarySessionId(QStringLiteral("C"));
        config.setSessionId(QStringLiteral("D"));
        QCOMPARE(config.sessionId(), QStringLiteral("D"));
        ConfigurationManager restarted(dir.filePath(QStringLiteral("auth.json")));
        QCOMPARE(TqConfigWrapper(&restarted).sessionId(), QStringLiteral("D"));

        config.setTemporarySessionId(QStringLiteral("E"));
        config.clearSessionId();
        QVERIFY(!config.hasSession());
        QCOMPARE(config.sessionId(), QString());

        config.setTemporarySessionId(QString());
        QVERIFY(config.hasSession()); // an empty string stored counts as present
    }

    void identityIsPersistent()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("auth.json"));
        {
            ConfigurationManager store(file);
            TqConfigWrapper config(&store);
            config.setDeviceUid(QStringLiteral("uid-1"));
            config.setFingerprint(QStringLiteral("fp"));
            config.setInvalidatedSessionId(QStringLiteral("old")); // runtime only
        }
        ConfigurationManager store(file);
        TqConfigWrapper config(&store);
        QCOMPARE(config.deviceUid(), QStringLiteral("uid-1"));
        QCOMPARE(config.fingerprint(), QStringLiteral("fp"));
        QCOMPARE(config.invalidatedSessionId(), QString());
        config.clearDeviceUid();
        config.clearFingerprint();
        QCOMPARE(ConfigurationManager(file).value(QStringLiteral("TqClientFacade"), QStringLiteral("uid")), QVariant());
    }

    void connectionsWithProxy_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("absent") << QVariant() << 1;
        QTest::newRow("zero") << QVariant(0) << 1;
        QTest::newRow("negative") << QVariant(-3) << 1;
        QTest::newRow("in range") << QVariant(4) << 4;
        QTest::newRow("ten") << QVariant(10) << 6;
        QTest::newRow("text") << QVariant(QStringLiteral("many")) << 1;
    }
    void connectionsWithProxy()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        ConfigurationManager store;
        TqConfigWrapper config(&store);
        if (stored.isValid())
            config.setNumberOfConnectionsWithProxy(stored.toInt());
        if (stored.typeId() == QMetaType::QString)
            config.setRuntimeValue(QStringLiteral("TQ"), QStringLiteral("numberOfConnectionsWithProxy"), stored);
        QCOMPARE(config.numberOfConnectionsWithProxy(), expected);
    }

    // A duration reads its group and key, has its default, and keeps the sign (one of each kind).
    void durations_data()
    {
        QTest::addColumn<SecondsGetter>("getter");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<qint64>("fallback");
        const auto row = [](const char* name, SecondsGetter g, const char* group, const char* key, qint64 d) {
            QTest::newRow(name) << g << QString::fromLatin1(group) << QString::fromLatin1(key) << d;
        };
        row("request", &TqConfigWrapper::requestTimeoutInterval, "Network", "requestTimeout", 120);
        row("new cache", &TqConfigWrapper::newCacheRequestTimeoutInterval, "TQ", "requestTimeout", 120);
        row("expiry general", &TqConfigWrapper::generalBackendConnectionCacheExpiryTimeout, "GeneralBackend",
            "connectionCacheExpiryTimeout", 120);
    }
    void durations()
    {
        QFETCH(SecondsGetter, getter);
        QFETCH(QString, group);
        QFETCH(QString, key);
        QFETCH(qint64, fallback);
        ConfigurationManager store;
        TqConfigWrapper config(&store);
        QCOMPARE((config.*getter)().count(), fallback);
        store.setValue(group, key, -7, stbconfig::User);
        QCOMPARE((config.*getter)().count(), qint64(-7));
        store.setValue(group, key, QStringLiteral("abc"), stbconfig::User);
        QCOMPARE((config.*getter)().count(), qint64(0)); // a non-numeric value converts to 0
    }

    void runtimeValuesHideAndRemove()
    {
        ConfigurationManager store;
        store.loadJson(json("{'TQ':{'proxyUrl':'http://persistent:1'},'Ad':{'adUrl':'http://ad','isAdEnabled':true}}"));
        TqConfigWrapper config(&store);
        config.setProxyUrl(QStringLiteral("http://runtime:2"));
        QCOMPARE(config.proxyUrl(), QStringLiteral("http://runtime:2"));
        config.removeProxyUrl();
        QCOMPARE(config.proxyUrl(), QStringLiteral("http://persistent:1"));

        config.setAdUrl(QStringLiteral("http://ad-runtime"));
        config.setAdKey(QStringLiteral("k"));
        config.setAdEnabled(false);
        QVERIFY(!config.isAdEnabled());
        config.removeAdValues();
        QCOMPARE(config.adUrl(), QStringLiteral("http://ad"));
        QCOMPARE(config.adKey(), QString());
        QVERIFY(config.isAdEnabled());

        config.setNewCacheRequestTimeoutInterval(seconds(45));
        QCOMPARE(store.value(QStringLiteral("TQ"), QStringLiteral("requestTimeout")).typeId(), int(QMetaType::LongLong));
        QCOMPARE(config.newCacheRequestTimeoutInterval(), seconds(45));
        QCOMPARE(config.requestTimeoutInterval(), seconds(120)); // a different group
    }

    void balancerLayers()
    {
        ConfigurationManager store;
        TqConfigWrapper config(&store);
        store.setValue(QStringLiteral("TQ"), QStringLiteral("balancerUrl"), QStringLiteral("http://system"), stbconfig::System);
        QVERIFY(config.hasSystemBalancerUrl());
        config.setBalancerUrl(QStringLiteral("http://found"));
        QVERIFY(store.contains(QStringLiteral("TQ"), QStringLiteral("balancerUrl"), stbconfig::User));
        config.removeSystemBalancerUrl();
        QVERIFY(!config.hasSystemBalancerUrl());
        QCOMPARE(config.balancerUrl(), QStringLiteral("http://found"));
    }

    void structuredValues()
    {
        ConfigurationManager store;
        store.loadJson(json("{'AdStream':{'mrf_urls':{'x':'http://mrf-x'},'channel_nums':[3,5,3],'sub_locations':[]},"
                            "'Network':{'incrementalTimerInterval':-10,'speedTestFile':'http://127.0.0.1/f'},"
                            "'Scte35Nsc':{'sub_locations':['12','x','40'],'channelParams':[{'a':1}]},"
                            "'Scte35Pm':{'channelParams':'not json'}}"));
        TqConfigWrapper config(&store);
        QCOMPARE(config.adStreamMrfUrl(QStringLiteral("x")), QStringLiteral("http://mrf-x"));
        QCOMPARE(config.adStreamMrfUrl(QStringLiteral("y")), QString());
        QCOMPARE(config.adStreamChannelNums(), (QSet<qint64>{3, 5}));
        QVERIFY(config.adStreamSubLocations().isEmpty());
        store.setValue(QStringLiteral("AdStream"), QStringLiteral("mrf_urls"), QVariantList{QStringLiteral("x")}, stbconfig::Runtime);
        QCOMPARE(config.adStreamMrfUrl(QStringLiteral("x")), QString()); // a list is no map

        const IncrementalTimerParams timer = config.incrementalTimerParams();
        QCOMPARE(timer.interval, qint64(-10));
        QCOMPARE(timer.multiplier, qint64(2));
        QCOMPARE(timer.multiplicationsCount, qint64(6));
        QCOMPARE(config.speedTestFile(), QUrl(QStringLiteral("http://127.0.0.1/f")));

        const Scte35ConfigWrapper scte = config.scte35Configuration();
        QCOMPARE(scte.subLocations(Scte35ConfigWrapper::nscGroupName()), (QList<qint64>{12, 0, 40}));
        QCOMPARE(scte.channelParams(Scte35ConfigWrapper::nscGroupName()).size(), 1);
        QVERIFY(scte.channelParams(Scte35ConfigWrapper::pmGroupName()).isEmpty());
        store.setValue(QStringLiteral("Scte35Pm"), QStringLiteral("channelParams"), QByteArray(json("[1,2]")), stbconfig::Runtime);
        QCOMPARE(scte.channelParams(Scte35ConfigWrapper::pmGroupName()).size(), 2);
        QCOMPARE(scte.nscCnt(), 50);
        QCOMPARE(scte.maxDuration(Scte35ConfigWrapper::pmGroupName()), seconds(300));
        QVERIFY(!scte.isEnabled(Scte35ConfigWrapper::pmGroupName()));
    }

    void rdmSettingsInterval_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("absent") << QVariant() << qint64(21600);
        QTest::newRow("zero") << QVariant(0) << qint64(21600);
        QTest::newRow("negative") << QVariant(-5) << qint64(21600);
        QTest::newRow("text") << QVariant(QStringLiteral("abc")) << qint64(21600);
        QTest::newRow("valid") << QVariant(3600) << qint64(3600);
    }
    void rdmSettingsInterval()
    {
        QFETCH(QVariant, stored);
        QFETCH(qint64, expected);
        ConfigurationManager store;
        rdm::ConfigWrapper config(&store);
        if (stored.isValid())
            store.setValue(QStringLiteral("RDM"), QStringLiteral("requestSettingsInterval"), stored, stbconfig::Runtime);
        QCOMPARE(config.requestSettingsInterval().count(), expected);
    }

    // Usable and inverted limits are seen through the poller in tst_rdm.
    void rdmPollLimits_data()
    {
        QTest::addColumn<QVariant>("min");
        QTest::addColumn<QVariant>("max");
        QTest::addColumn<qint64>("expectedMin");
        QTest::addColumn<qint64>("expectedMax");
        QTest::addColumn<QString>("warning");
        QTest::newRow("absent") << QVariant() << QVariant() << qint64(300) << qint64(900) << QString();
        QTest::newRow("text") << QVariant(QStringLiteral("x")) << QVariant(500) << qint64(300) << qint64(900)
                              << "incorrect min=x and(or) max=500 values of the request poll interval, "
                                 "will use default values=[300, 900]";
    }
    void rdmPollLimits()
    {
        QFETCH(QVariant, min);
        QFETCH(QVariant, max);
        QFETCH(qint64, expectedMin);
        QFETCH(qint64, expectedMax);
        QFETCH(QString, warning);
        ConfigurationManager store;
        if (min.isValid())
            store.setValue(QStringLiteral("RDM"), QStringLiteral("requestPollMinInterval"), min, stbconfig::Runtime);
        if (max.isValid())
            store.setValue(QStringLiteral("RDM"), QStringLiteral("requestPollMaxInterval"), max, stbconfig::Runtime);
        if (warning.isEmpty())
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        else
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("[2] ConfigWrapper: ") + warning));
        const auto limits = rdm::ConfigWrapper(&store).requestPollIntervalLimits();
        QCOMPARE(limits.first.count(), expectedMin);
        QCOMPARE(limits.second.count(), expectedMax);
    }
};

QTEST_GUILESS_MAIN(TestConfigWrapper)
#include "tst_configwrapper.moc"
