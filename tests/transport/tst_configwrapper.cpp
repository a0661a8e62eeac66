// The typed views of the configuration store: one table of every value they read (group,
// key, default, and the runtime setter and removal where there is one), then the values
// with rules of their own.

#include "transport/configwrapper.h"

#include <QTemporaryDir>
#include "jsonfixture.h"

#include <QtTest>

using fake::json;

using namespace tq;
using std::chrono::seconds;
using stbconfig::ConfigurationManager;

using Read = std::function<QVariant(ConfigurationManager*)>;
using Write = std::function<void(ConfigurationManager*, const QVariant&)>;
Q_DECLARE_METATYPE(Read)
Q_DECLARE_METATYPE(Write)

namespace {

QVariant plain(const QString& v) { return v; }
QVariant plain(bool v) { return v; }
QVariant plain(int v) { return v; }
QVariant plain(qint64 v) { return v; }
QVariant plain(seconds v) { return qint64(v.count()); }
QVariant plain(const QUrl& v) { return v.toString(); }

template<class W, class R>
Read reader(R (W::*get)() const)
{
    return [get](ConfigurationManager* store) { return plain((W(store).*get)()); };
}

template<class W, class R>
Read reader(R (W::*get)(const QString&) const, const char* group)
{
    return [get, group](ConfigurationManager* store) { return plain((W(store).*get)(QString::fromLatin1(group))); };
}

template<class A>
Write writer(void (TqConfigWrapper::*set)(A))
{
    return [set](ConfigurationManager* store, const QVariant& v) {
        TqConfigWrapper config(store);
        (config.*set)(v.value<std::decay_t<A>>());
    };
}

Write remover(void (TqConfigWrapper::*remove)())
{
    return [remove](ConfigurationManager* store, const QVariant&) {
        TqConfigWrapper config(store);
        (config.*remove)();
    };
}

} // namespace

class TestConfigWrapper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Absent, a value reads as its default; stored under its group and key, as stored (a
    // number of seconds keeps its sign); a runtime setter writes layer 5, a removal clears it.
    void values_data()
    {
        QTest::addColumn<Read>("read");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("fallback"); // a QRegularExpression: what the default must match
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<Write>("set");
        QTest::addColumn<Write>("remove");

        const auto row = [](const char* group, const char* key, Read read, const QVariant& fallback,
                            const QVariant& stored, Write set = {}, Write remove = {}) {
            QTest::addRow("%s/%s", group, key) << read << QString::fromLatin1(group) << QString::fromLatin1(key)
                                               << fallback << stored << set << remove;
        };
        const auto text = [&row](const char* group, const char* key, Read read, Write set = {}, Write remove = {}) {
            row(group, key, read, QString(), QStringLiteral("http://stored.tv/%1").arg(key), set, remove);
        };
        const auto flag = [&row](const char* group, const char* key, Read read, Write set = {}, Write remove = {}) {
            row(group, key, read, false, true, set, remove);
        };
        const auto secs = [&row](const char* group, const char* key, Read read, qint64 fallback) {
            row(group, key, read, fallback, qint64(-7));
        };
        using W = TqConfigWrapper;
        using S = Scte35ConfigWrapper;

        text("TqClientFacade", "uid", reader(&W::deviceUid));
        text("TqClientFacade", "fingerprint", reader(&W::fingerprint));
        text("TqClientFacade", "session_id", reader(&W::sessionId));
        text("TqClientFacade", "invalidated_session_id", reader(&W::invalidatedSessionId),
             writer(&W::setInvalidatedSessionId), remover(&W::clearInvalidatedSessionId));
        text("TQ", "balancerUrl", reader(&W::balancerUrl));
        text("TQ", "apiUrl", reader(&W::apiUrl), writer(&W::setApiUrl));
        text("TQ", "wsUrl", reader(&W::websocketsUrl), writer(&W::setWebsocketsUrl));
        text("TQ", "spyUrl", reader(&W::spyUrl), writer(&W::setSpyUrl), remover(&W::removeSpyUrl));
        text("TQ", "imagesUrl", reader(&W::imageUrl), writer(&W::setImageUrl));
        text("TQ", "proxyUrl", reader(&W::proxyUrl), writer(&W::setProxyUrl), remover(&W::removeProxyUrl));
        secs("TQ", "requestTimeout", reader(&W::newCacheRequestTimeoutInterval), 120);
        secs("Network", "requestTimeout", reader(&W::requestTimeoutInterval), 120);
        row("Network", "requestThreadPriority", reader(&W::requestThreadPriority), 0, 5);
        row("Network", "responseCacheLimitKey", reader(&W::responseCacheLimit), 2, 5);
        text("Network", "speedTestFile", reader(&W::speedTestFile));
        secs("Network", "speedTestFileDownloadTimeout", reader(&W::speedTestFileDownloadTimeout), 60);
        row("Network", "vemoServicesAvailabilityUrl", reader(&W::vemoServicesAvailabilityUrl),
            QRegularExpression("^http://[^/]+/generate_204$"), QStringLiteral("http://probe.tv/204"));
        secs("Network", "vemoServicesAvailabilityRequestTimeout", reader(&W::vemoServicesAvailabilityRequestTimeout), 3);
        text("Ad", "adUrl", reader(&W::adUrl), writer(&W::setAdUrl), remover(&W::removeAdValues));
        text("Ad", "adKey", reader(&W::adKey), writer(&W::setAdKey), remover(&W::removeAdValues));
        flag("Ad", "isAdEnabled", reader(&W::isAdEnabled), writer(&W::setAdEnabled), remover(&W::removeAdValues));
        flag("AdStream", "enabled", reader(&W::isAdStreamEnabled));
        text("AdStream", "url", reader(&W::adStreamUrl));
        secs("AdStream", "requestTimeout", reader(&W::adStreamTimeoutInterval), 3);
        secs("AdStream", "pixelsRequestTimeout", reader(&W::adStreamPixelsTimeoutInterval), 3);
        secs("AdBanner", "pixelsRequestTimeout", reader(&W::adBannerPixelsTimeoutInterval), 3);
        text("GetShop", "getShopUrl", reader(&W::getShopUrl), writer(&W::setGetShopUrl), remover(&W::removeGetShopValues));
        text("GetShop", "getShopKey", reader(&W::getShopKey), writer(&W::setGetShopKey), remover(&W::removeGetShopValues));
        secs("GetShop", "pixelsRequestTimeout", reader(&W::getshopAdPixelsTimeoutInterval), 3);
        secs("GetShop", "adRequestTimeout", reader(&W::getshopAdTimeoutInterval), 3);
        secs("GetShop", "micrositeRequestTimeout", reader(&W::getshopMicrositeTimeoutInterval), 120);
        secs("GetShop", "playlistUpdateRandomInterval", reader(&W::getshopPlaylistUpdateRandomInterval), 120);
        flag("Mediascope", "enabled", reader(&W::isMediascopeEnabled));
        text("Mediascope", "url", reader(&W::mediascopeUrl));
        text("Mediascope", "cid", reader(&W::mediascopeClientId));
        secs("Mediascope", "requestTimeout", reader(&W::mediascopeRequestTimeoutInterval), 3);
        text("PartyStation", "url", reader(&W::partyStationUrl), writer(&W::setPartyStationUrl),
             remover(&W::removePartyStationUrl));
        text("ReleaseNotes", "url", reader(&W::releaseNotesUrl));
        text("ReleaseNotes", "version", reader(&W::releaseNotesVersion), writer(&W::setReleaseNotesVersion));
        secs("ReleaseNotes", "requestTimeout", reader(&W::releaseNotesRequestTimeoutInterval), 120);
        flag("SYT", "enabled", reader(&W::isSytEnabled), writer(&W::setSytEnabled));
        text("SYT", "url", reader(&W::sytUrl), writer(&W::setSytUrl));
        text("StaticData", "url", reader(&W::staticDataUrl));
        text("Thumbnails", "thumbnailsUrl", reader(&W::thumbnailsUrl), writer(&W::setThumbnailsUrl));

        // Connection-cache expiry: one key, each backend's group.
        const auto expiry = [&secs](const char* group, seconds (W::*get)() const) {
            secs(group, "connectionCacheExpiryTimeout", reader(get), 120);
        };
        expiry("Ad", &W::adConnectionCacheExpiryTimeout);
        expiry("GetShop", &W::getShopConnectionCacheExpiryTimeout);
        expiry("Mediascope", &W::mediascopeConnectionCacheExpiryTimeout);
        expiry("TQ", &W::newCacheConnectionCacheExpiryTimeout);
        expiry("PartyStation", &W::partyStationConnectionCacheExpiryTimeout);
        expiry("Payment", &W::paymentConnectionCacheExpiryTimeout);
        expiry("RDM", &W::rdmConnectionCacheExpiryTimeout);
        expiry("ReleaseNotes", &W::releaseNotesConnectionCacheExpiryTimeout);
        expiry("StaticData", &W::staticDataConnectionCacheExpiryTimeout);
        expiry("SYT", &W::sytConnectionCacheExpiryTimeout);
        expiry("Thumbnails", &W::thumbnailsConnectionCacheExpiryTimeout);
        expiry("GeneralBackend", &W::generalBackendConnectionCacheExpiryTimeout);

        // The two ad-decision services: the same keys in a group each.
        flag("Scte35Nsc", "enabled", reader(&S::isEnabled, "Scte35Nsc"));
        flag("Scte35Pm", "enabled", reader(&S::isEnabled, "Scte35Pm"));
        text("Scte35Nsc", "url", reader(&S::nscUrl));
        text("Scte35Pm", "url", reader(&S::pmUrl));
        flag("Scte35Nsc", "nullDurationAllowed", reader(&S::nullDurationAllowed, "Scte35Nsc"));
        flag("Scte35Pm", "stopAfterEof", reader(&S::stopAfterEof, "Scte35Pm"));
        secs("Scte35Nsc", "maxDuration", reader(&S::maxDuration, "Scte35Nsc"), 300);
        secs("Scte35Pm", "maxDuration", reader(&S::maxDuration, "Scte35Pm"), 300);
        secs("Scte35Nsc", "requestTimeout", reader(&S::nscRequestTimeout), 120);
        secs("Scte35Pm", "requestTimeout", reader(&S::pmRequestTimeout), 120);
        secs("Scte35Nsc", "pixelsRequestTimeout", reader(&S::nscPixelsRequestTimeout), 120);
        secs("Scte35Pm", "pixelsRequestTimeout", reader(&S::pmPixelsRequestTimeout), 120);
        secs("Scte35Nsc", "connectionCacheExpiryTimeout", reader(&S::nscConnectionCacheExpiryTimeout), 120);
        secs("Scte35Pm", "connectionCacheExpiryTimeout", reader(&S::pmConnectionCacheExpiryTimeout), 120);
        text("Scte35Nsc", "opc", reader(&S::nscOpc));
        row("Scte35Nsc", "cnt", reader(&S::nscCnt), 50, 7);

        // Device management.
        row("RDM", "url", reader(&rdm::ConfigWrapper::url), QRegularExpression("^https://[^/]+/rdm/api/v1$"),
            QStringLiteral("http://rdm.tv/rdm/api/v1"), [](ConfigurationManager* store, const QVariant& v) {
                rdm::ConfigWrapper(store).setUrl(v.toString(), stbconfig::Runtime);
            });
        row("RDM", "rebootCommandId", reader(&rdm::ConfigWrapper::rebootCommandId), qint64(-1), qint64(5000000000),
            [](ConfigurationManager* store, const QVariant& v) {
                rdm::ConfigWrapper(store).setRebootCommandId(v.toLongLong(), stbconfig::Runtime);
            },
            [](ConfigurationManager* store, const QVariant&) {
                rdm::ConfigWrapper(store).removeRebootCommandId(stbconfig::Runtime);
            });
    }

    void values()
    {
        QFETCH(Read, read);
        QFETCH(QString, group);
        QFETCH(QString, key);
        QFETCH(QVariant, fallback);
        QFETCH(QVariant, stored);
        QFETCH(Write, set);
        QFETCH(Write, remove);

        ConfigurationManager store;
        if (fallback.typeId() == QMetaType::QRegularExpression)
            QVERIFY2(fallback.toRegularExpression().match(read(&store).toString()).hasMatch(),
                     qPrintable(read(&store).toString()));
        else
            QCOMPARE(read(&store), fallback);
        store.setValue(group, key, stored, stbconfig::User);
        QCOMPARE(read(&store), stored);

        if (set) {
            ConfigurationManager runtime;
            set(&runtime, stored);
            QVERIFY(runtime.contains(group, key, stbconfig::Runtime));
            QCOMPARE(read(&runtime), stored);
        }
        if (remove) {
            store.setValue(group, key, stored, stbconfig::Runtime);
            remove(&store, QVariant());
            QVERIFY(!store.contains(group, key, stbconfig::Runtime));
            QVERIFY(store.contains(group, key, stbconfig::User)); // only the runtime value goes
        }
    }

    void names()
    {
        QCOMPARE(TqConfigWrapper::tqGroup(), QStringLiteral("TQ"));
        QCOMPARE(TqConfigWrapper::spyUrlKey(), QStringLiteral("spyUrl"));
        QCOMPARE(Scte35ConfigWrapper::nscGroupName(), QStringLiteral("Scte35Nsc"));
        QCOMPARE(Scte35ConfigWrapper::pmGroupName(), QStringLiteral("Scte35Pm"));
        QCOMPARE(Scte35ConfigWrapper::nscAdServer(), QStringLiteral("nsc"));
        QCOMPARE(Scte35ConfigWrapper::pmAdServer(), QStringLiteral("pm"));
    }

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
        QCOMPARE(ConfigurationManager(file).value(QStringLiteral("TqClientFacade"), QStringLiteral("fingerprint")), QVariant());
    }

    void connectionsWithProxy_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("absent") << QVariant() << 1;
        QTest::newRow("zero") << QVariant(0) << 1;
        QTest::newRow("negative") << QVariant(-3) << 1;
        QTest::newRow("in range") << QVariant(4) << 4;
        QTest::newRow("six") << QVariant(6) << 6;
        QTest::newRow("ten") << QVariant(10) << 6;
        QTest::newRow("text") << QVariant(QStringLiteral("many")) << 1;
    }
    void connectionsWithProxy()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        ConfigurationManager store;
        TqConfigWrapper config(&store);
        if (stored.typeId() == QMetaType::Int)
            config.setNumberOfConnectionsWithProxy(stored.toInt());
        else if (stored.isValid())
            store.setValue(QStringLiteral("TQ"), QStringLiteral("numberOfConnectionsWithProxy"), stored, stbconfig::User);
        QCOMPARE(config.numberOfConnectionsWithProxy(), expected);
        if (stored.typeId() == QMetaType::Int)
            QVERIFY(store.contains(QStringLiteral("TQ"), QStringLiteral("numberOfConnectionsWithProxy"), stbconfig::Runtime));
    }

    void platformTimeoutIsWrittenAs64Bits()
    {
        ConfigurationManager store;
        TqConfigWrapper config(&store);
        config.setNewCacheRequestTimeoutInterval(seconds(45));
        QVERIFY(store.contains(QStringLiteral("TQ"), QStringLiteral("requestTimeout"), stbconfig::Runtime));
        QCOMPARE(store.value(QStringLiteral("TQ"), QStringLiteral("requestTimeout")).typeId(), int(QMetaType::LongLong));
        QCOMPARE(config.newCacheRequestTimeoutInterval(), seconds(45));
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
        store.loadJson(json("{'AdStream':{'mrf_urls':{'x':'http://mrf-x'},'channel_nums':[3,5,3],'sub_locations':[7]},"
                            "'Network':{'incrementalTimerInterval':-10},"
                            "'Scte35Nsc':{'sub_locations':['12','x','40'],'channelParams':[{'a':1}]},"
                            "'Scte35Pm':{'channelParams':'not json'}}"));
        TqConfigWrapper config(&store);
        QCOMPARE(config.adStreamMrfUrl(QStringLiteral("x")), QStringLiteral("http://mrf-x"));
        QCOMPARE(config.adStreamMrfUrl(QStringLiteral("y")), QString());
        QCOMPARE(config.adStreamChannelNums(), (QSet<qint64>{3, 5}));
        QCOMPARE(config.adStreamSubLocations(), (QSet<qint64>{7}));
        store.setValue(QStringLiteral("AdStream"), QStringLiteral("mrf_urls"), QVariantList{QStringLiteral("x")}, stbconfig::Runtime);
        QCOMPARE(config.adStreamMrfUrl(QStringLiteral("x")), QString()); // a list is no map

        IncrementalTimerParams timer = config.incrementalTimerParams();
        QCOMPARE(timer.interval, qint64(-10));
        QCOMPARE(timer.multiplier, qint64(2));
        QCOMPARE(timer.multiplicationsCount, qint64(6));
        store.setValue(QStringLiteral("Network"), QStringLiteral("incrementalTimerMultiplier"), 3, stbconfig::User);
        store.setValue(QStringLiteral("Network"), QStringLiteral("incrementalTimerMultiplicationsCount"), 4, stbconfig::User);
        store.removeValue(QStringLiteral("Network"), QStringLiteral("incrementalTimerInterval"), stbconfig::Defaults);
        timer = config.incrementalTimerParams();
        QCOMPARE(timer.interval, qint64(30));
        QCOMPARE(timer.multiplier, qint64(3));
        QCOMPARE(timer.multiplicationsCount, qint64(4));

        const Scte35ConfigWrapper scte = config.scte35Configuration();
        QCOMPARE(scte.subLocations(Scte35ConfigWrapper::nscGroupName()), (QList<qint64>{12, 0, 40}));
        QCOMPARE(scte.channelParams(Scte35ConfigWrapper::nscGroupName()), (QJsonArray{QJsonObject{{"a", 1}}}));
        QVERIFY(scte.channelParams(Scte35ConfigWrapper::pmGroupName()).isEmpty());
        store.setValue(QStringLiteral("Scte35Pm"), QStringLiteral("channelParams"), QByteArray(json("[1,2]")), stbconfig::Runtime);
        QCOMPARE(scte.channelParams(Scte35ConfigWrapper::pmGroupName()), (QJsonArray{1, 2}));
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
            store.setValue(QStringLiteral("RDM"), QStringLiteral("requestSettingsInterval"), stored, stbconfig::User);
        QCOMPARE(config.requestSettingsInterval().count(), expected);
        config.setRequestSettingsInterval(seconds(4000000000), stbconfig::Runtime); // beyond 32 bits
        QCOMPARE(config.requestSettingsInterval().count(), qint64(4000000000));
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
        QTest::newRow("equal") << QVariant(60) << QVariant(60) << qint64(60) << qint64(60) << QString();
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
