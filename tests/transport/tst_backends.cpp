// The thirteen backends against one configuration: which serves which MethodType, the
// composition of every type and what is left out when unknown, the rules of the platform
// backend, failure judgement and resend preparation.

#include "transport/backends_p.h"
#include "transport/httprequestworker_p.h"
#include "transport/newcachebackend_p.h"

#include <QMetaEnum>
#include <QRegularExpression>
#include <QtTest>

using namespace tq;

namespace {

const QStringList platformHeaders{"User-Agent: ua1", "x-kv-mac: mac1", "x-kv-san: san1", "x-kv-uid: uid1"};

QStringList headerLines(const RequestSettings& settings)
{
    QStringList lines;
    for (auto it = settings.headers.cbegin(); it != settings.headers.cend(); ++it)
        lines.append(it.key() + QStringLiteral(": ") + it.value());
    return lines;
}

// "{uuid}" in a pattern stands for a random UUID written without braces.
bool matchesUrl(const QString& pattern, const QString& url)
{
    const QString expression = QRegularExpression::escape(pattern).replace(
        QStringLiteral("\\{uuid\\}"), QStringLiteral("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"));
    return QRegularExpression(QLatin1Char('^') + expression + QLatin1Char('$')).match(url).hasMatch();
}

RequestError failure(MethodType type, int status, QNetworkReply::NetworkError network = QNetworkReply::NoError)
{
    RequestError error;
    error.methodType = type;
    error.httpStatusCode = status;
    error.networkError = network;
    return error;
}

} // namespace

class TestBackends : public QObject
{
    Q_OBJECT

private:
    stbconfig::ConfigurationManager m_store;
    stbcore::FixedPropertyProvider m_provider;
    BackendSet m_backends = createBackends();

    void set(const char* group, const char* key, const QVariant& value)
    {
        m_store.setValue(QString::fromLatin1(group), QString::fromLatin1(key), value, stbconfig::Runtime);
    }

    RequestRawData request(MethodType type, const QString& path = QStringLiteral("/p"))
    {
        RequestRawData data;
        data.httpMethod = httpGetMethod();
        data.methodType = type;
        data.path = path;
        data.pathCreator = [](const QString& p) { return p + QStringLiteral("/built"); };
        data.queryItems = QStringList{QStringLiteral("a=1"), QStringLiteral(" "), QString()};
        return data;
    }

    RequestSettings compose(const RequestRawData& data)
    {
        return m_backends.byType.value(data.methodType)->composeRequest(data, &m_store, &m_provider);
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        m_provider.mac = "mac1";
        m_provider.sanValue = "san1";
        m_provider.agent = "ua1";
        m_provider.session = "prov-sess";
        m_provider.uidValue = "uid1";
        m_provider.mrfValue = "mrf1";

        set("TQ", "apiUrl", "http://api.tv");
        set("TQ", "spyUrl", "http://spy.tv/events");
        set("TQ", "imagesUrl", "http://img.tv");
        set("Ad", "adUrl", "http://ad.tv");
        set("StaticData", "url", "http://static.tv");
        set("GetShop", "getShopUrl", "http://gs.tv");
        set("GetShop", "getShopKey", "k y");
        set("Mediascope", "url", "http://ms.tv/hit");
        set("Mediascope", "cid", "c1");
        set("PartyStation", "url", "http://party.tv/");
        set("RDM", "url", "http://rdm.tv/rdm/api/v1");
        set("ReleaseNotes", "url", "http://rn.tv");
        set("ReleaseNotes", "version", "1.2");
        set("Scte35Nsc", "url", "http://nsc.tv");
        set("Scte35Pm", "url", "http://pm.tv");
        set("SYT", "url", "http://syt.tv");
        set("Thumbnails", "thumbnailsUrl", "http://th.tv");
        set("TqClientFacade", "session_id", "sess1");

        // Every timeout and expiry differs, so a row shows which key its backend read.
        set("AdBanner", "pixelsRequestTimeout", 11);
        set("AdStream", "requestTimeout", 12);
        set("AdStream", "pixelsRequestTimeout", 13);
        set("GetShop", "adRequestTimeout", 14);
        set("GetShop", "pixelsRequestTimeout", 15);
        set("GetShop", "micrositeRequestTimeout", 16);
        set("Mediascope", "requestTimeout", 17);
        set("TQ", "requestTimeout", 18);
        set("Network", "requestTimeout", 19);
        set("ReleaseNotes", "requestTimeout", 20);
        set("Scte35Nsc", "requestTimeout", 21);
        set("Scte35Nsc", "pixelsRequestTimeout", 22);
        set("Scte35Pm", "requestTimeout", 23);
        set("Scte35Pm", "pixelsRequestTimeout", 24);
        int expiry = 31;
        for (const char* group : {"Ad", "StaticData", "GeneralBackend", "GetShop", "Mediascope", "TQ", "PartyStation",
                                  "Payment", "RDM", "ReleaseNotes", "Scte35Nsc", "Scte35Pm", "SYT", "Thumbnails"})
            set(group, "connectionCacheExpiryTimeout", expiry++);
    }

    void composition_data()
    {
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<QString>("url"); // "{uuid}" stands for a random UUID
        QTest::addColumn<QString>("methodPath");
        QTest::addColumn<QString>("cacheKey");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<int>("priority");
        QTest::addColumn<bool>("useProxy");
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("expiry");

        const QStringList xmlAgent{"Accept: application/xml", "User-Agent: ua1"};
        const QStringList json = QStringList{"Accept: application/json"} + platformHeaders;
        const QStringList charset = QStringList{"Accept-Charset: UTF-8"} + platformHeaders;
        const QStringList jsonCharset = QStringList{"Accept: application/json", "Accept-Charset: UTF-8"} + platformHeaders;
        const QStringList platform{"Accept: application/json", "User-Agent: ua1", "session_id: sess1",
                                   "x-kv-language: deu", "x-kv-mac: mac1", "x-kv-san: san1", "x-kv-uid: uid1"};
        const QString rel = QStringLiteral("/p?a=1");
        enum { High = 1, Normal = 3, Low = 5 };
        const auto row = [](MethodType type, const QString& url, const QString& methodPath, const QString& cacheKey,
                            const QStringList& headers, int priority, bool proxy, bool image, int timeout, int expiry) {
            QTest::addRow("%s", QMetaEnum::fromType<MethodType>().valueToKey(int(type)))
                << type << url << methodPath << cacheKey << headers << priority << proxy << image << timeout << expiry;
        };

        row(MethodType::AdBannerAudit, rel, "", "", xmlAgent, Low, true, false, 11, 31);
        row(MethodType::AdStreamApi, rel, "", "",
            {"Accept: application/xml", "User-Agent: ua1", "x-kv-mac: mac1", "x-kv-san: san1"}, Normal, false, false,
            12, 31);
        row(MethodType::AdStreamAudit, rel, "", "", xmlAgent, Low, false, false, 13, 31);
        row(MethodType::StaticDataApi, "http://static.tv/p/built?a=1", "/p/built?a=1", "/p/built?a=1", charset, Normal,
            false, false, 19, 32);
        row(MethodType::StaticDataImage, "http://static.tv/p/built?a=1", "/p/built?a=1", "/p/built?a=1", charset,
            Normal, false, true, 19, 32);
        row(MethodType::GeneralRequest, rel, "", "", json, Normal, false, false, 19, 33);
        row(MethodType::GetShopAdApi, "http://ad.tv/p?a=1", "", "",
            {"Accept: application/xml", "User-Agent: ua1", "x-kv-mac: mac1", "x-kv-san: san1", "x-kv-uid: uid1"},
            Normal, true, false, 14, 31);
        row(MethodType::GetShopAdAudit, rel, "", "", xmlAgent, Low, true, false, 15, 31);
        row(MethodType::GetShopApi, "http://gs.tv/p?key=k%20y&a=1", "", "", json, Normal, true, false, 16, 34);
        row(MethodType::GetShopAudit, rel, "", "", {"User-Agent: ua1"}, Normal, true, false, 16, 34);
        row(MethodType::GetShopImage, rel, "", rel, json, Normal, true, true, 16, 34);
        row(MethodType::GetShopTextPlain, rel, "", "", json, Normal, true, false, 16, 34);
        row(MethodType::MediascopeApi, "http://ms.tv/hit/p&cid=c1&typ=3&dvi=6&a=1", "", "", platformHeaders, Normal,
            true, false, 17, 35);
        row(MethodType::TqAnalytics, "http://spy.tv/events?a=1", "", "", platform, Low, false, false, 18, 36);
        row(MethodType::TqApi, "http://api.tv/api/v2/p/built?a=1", "/p/built?a=1", "", platform, High, false, false,
            18, 36);
        row(MethodType::TqDiscover, rel, "", "", platform, Normal, false, false, 18, 36);
        row(MethodType::TqImage, "http://img.tv/p?a=1", "", "http://img.tv/p?a=1", platform, Normal, false, true, 18,
            36);
        row(MethodType::PartyStationApi, "http://party.tv/app/p?a=1", "", "", {}, Normal, true, false, 19, 37);
        row(MethodType::PartyStationImage, rel, "", "", {}, Normal, true, false, 19, 37);
        row(MethodType::PaymentServiceApi, rel, "", "",
            {"Accept: application/json", "Accept-Charset: UTF-8", "Content-Type: application/json; charset=UTF-8",
             "User-Agent: ua1"},
            Normal, true, false, 19, 38);
        row(MethodType::RdmApi, "http://rdm.tv/rdm/api/v1/p?a=1", "", "", jsonCharset, Normal, false, false, 19, 39);
        row(MethodType::ReleaseNotesHtml, "http://rn.tv/1.2//p?a=1", "", "", charset, Normal, true, false, 20, 40);
        row(MethodType::ReleaseNotesImage, "http://rn.tv/1.2//p?a=1", "", rel, charset, Normal, true, true, 20, 40);
        row(MethodType::Scte35Nsc, "http://nsc.tv/p?sid=mac1&a=1", "", "", platformHeaders, Normal, true, false, 21, 41);
        row(MethodType::Scte35NscAudit, rel, "", "", platformHeaders, Low, true, false, 22, 41);
        row(MethodType::Scte35PostMedia, "http://pm.tv/p?request_id={uuid}&client_id=mac1&domain_id=28&mrf=mrf1&a=1",
            "", "", platformHeaders, Normal, true, false, 23, 42);
        row(MethodType::Scte35PostMediaAudit, rel, "", "", platformHeaders, Low, true, false, 24, 42);
        row(MethodType::SytApi, "http://syt.tv/p?a=1", "", "", {"User-Agent: ua1"}, Normal, true, false, 19, 43);
        row(MethodType::SytStatus, "http://syt.tv/p?a=1", "", "", {"User-Agent: ua1", "X-Custom-User-Id: mac1"}, Low,
            true, false, 19, 43);
        row(MethodType::ThumbnailsApi, "http://th.tv/p?a=1", "", "", jsonCharset, Normal, true, false, 19, 44);
        row(MethodType::ThumbnailsImage, "http://th.tv/p?a=1", "", "", jsonCharset, Normal, true, true, 19, 44);
    }

    void composition()
    {
        QFETCH(MethodType, type);
        QFETCH(QString, url);
        QFETCH(QString, methodPath);
        QFETCH(QString, cacheKey);
        QFETCH(QStringList, headers);
        QFETCH(int, priority);
        QFETCH(bool, useProxy);
        QFETCH(bool, image);
        QFETCH(int, timeout);
        QFETCH(int, expiry);

        const RequestRawData data = request(type);
        const RequestSettings settings = compose(data);
        QCOMPARE(settings.urls.size(), 1);
        QVERIFY2(matchesUrl(url, settings.urls[0]), qPrintable(settings.urls[0]));
        QCOMPARE(settings.methodPath, methodPath);
        QCOMPARE(settings.cacheKey, cacheKey);
        QCOMPARE(headerLines(settings), headers);
        QCOMPARE(settings.priority, priority);
        QCOMPARE(settings.useProxy, useProxy);
        QCOMPARE(settings.image, image);
        QCOMPARE(settings.sslProtocol, -1);
        AbstractBackend* backend = m_backends.byType.value(type);
        QCOMPARE(backend->requestTimeout(data, &m_store), qint64(timeout) * 1000);
        QCOMPARE(backend->connectionCacheExpiryTimeout(data, &m_store), std::chrono::seconds(expiry));
    }

    // What is unknown is left out: a header or an extra parameter without a value, and without
    // a provider the headers some backends send only with one.
    void sparse_data()
    {
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<bool>("provider"); // one that knows nothing, or none at all
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("headers");
        const QStringList json{"Accept: application/json"};
        QTest::newRow("general, no provider") << MethodType::GeneralRequest << false << "/p?a=1" << QStringList();
        QTest::newRow("general, nothing known") << MethodType::GeneralRequest << true << "/p?a=1" << json;
        QTest::newRow("GetShop, no provider: no headers, no key")
            << MethodType::GetShopApi << false << "http://gs.tv/p?a=1" << QStringList();
        QTest::newRow("platform, no provider: no headers at all")
            << MethodType::TqApi << false << "http://api.tv/api/v2/p/built?a=1" << QStringList();
        QTest::newRow("platform, nothing known")
            << MethodType::TqApi << true << "http://api.tv/api/v2/p/built?a=1"
            << QStringList{"Accept: application/json", "session_id: sess1", "x-kv-language: deu"};
        QTest::newRow("ad, no provider: only Accept")
            << MethodType::AdStreamApi << false << "/p?a=1" << QStringList{"Accept: application/xml"};
        QTest::newRow("thumbnails, no provider: the fixed ones")
            << MethodType::ThumbnailsApi << false << "http://th.tv/p?a=1"
            << QStringList{"Accept: application/json", "Accept-Charset: UTF-8"};
        QTest::newRow("nsc: no sid") << MethodType::Scte35Nsc << true << "http://nsc.tv/p?a=1" << QStringList();
        QTest::newRow("post media: no client id, no mrf")
            << MethodType::Scte35PostMedia << true << "http://pm.tv/p?request_id={uuid}&domain_id=28&a=1" << QStringList();
        QTest::newRow("mediascope: no client id")
            << MethodType::MediascopeApi << true << "http://ms.tv/hit/p&typ=3&dvi=6&a=1" << QStringList();
        QTest::newRow("status: no user id") << MethodType::SytStatus << true << "http://syt.tv/p?a=1" << QStringList();
    }

    void sparse()
    {
        QFETCH(MethodType, type);
        QFETCH(bool, provider);
        QFETCH(QString, url);
        QFETCH(QStringList, headers);
        set("GetShop", "getShopKey", "");
        set("Mediascope", "cid", "");
        const stbcore::FixedPropertyProvider unknown;
        const RequestRawData data = request(type);
        const RequestSettings settings =
            m_backends.byType.value(type)->composeRequest(data, &m_store, provider ? &unknown : nullptr);
        set("GetShop", "getShopKey", "k y");
        set("Mediascope", "cid", "c1");
        QCOMPARE(settings.urls.size(), 1);
        QVERIFY2(matchesUrl(url, settings.urls[0]), qPrintable(settings.urls[0]));
        QCOMPARE(headerLines(settings), headers);
    }

    // The backend of each type: one instance serves the types listed together; two types have none.
    void backendOfEachType()
    {
        using M = MethodType;
        const QList<QList<M>> groups{
            {M::AdBannerAudit, M::AdStreamApi, M::AdStreamAudit, M::GetShopAdApi, M::GetShopAdAudit},
            {M::StaticDataApi, M::StaticDataImage},
            {M::GeneralRequest},
            {M::GetShopApi, M::GetShopAudit, M::GetShopImage, M::GetShopTextPlain},
            {M::MediascopeApi},
            {M::TqAnalytics, M::TqApi, M::TqDiscover, M::TqImage},
            {M::PartyStationApi, M::PartyStationImage},
            {M::PaymentServiceApi},
            {M::RdmApi},
            {M::ReleaseNotesHtml, M::ReleaseNotesImage},
            {M::Scte35Nsc, M::Scte35NscAudit, M::Scte35PostMedia, M::Scte35PostMediaAudit},
            {M::SytApi, M::SytStatus},
            {M::ThumbnailsApi, M::ThumbnailsImage}};
        QSet<AbstractBackend*> seen;
        for (const QList<M>& group : groups) {
            AbstractBackend* backend = m_backends.byType.value(group.first());
            QVERIFY(backend && !seen.contains(backend));
            seen.insert(backend);
            for (M type : group)
                QCOMPARE(m_backends.byType.value(type), backend);
        }
        QCOMPARE(m_backends.byType.size(), 31);
        QVERIFY(!m_backends.byType.contains(M::FirmwareFile));
        QVERIFY(!m_backends.byType.contains(M::VemoServicesAvailability));
    }

    void refusedWithoutUrl_data()
    {
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<MethodType>("backendOf");
        QTest::newRow("type of another backend") << MethodType::TqApi << MethodType::SytApi;
        QTest::newRow("platform backend, foreign type") << MethodType::SytApi << MethodType::TqApi;
        QTest::newRow("platform image without a path") << MethodType::TqImage << MethodType::TqImage;
    }

    void refusedWithoutUrl()
    {
        QFETCH(MethodType, type);
        QFETCH(MethodType, backendOf);
        const RequestRawData data = request(type, type == backendOf ? QString() : QStringLiteral("/p"));
        const RequestSettings settings = m_backends.byType.value(backendOf)->composeRequest(data, &m_store, &m_provider);
        QVERIFY(settings.urls.isEmpty());
        QVERIFY(settings.cacheKey.isEmpty());
    }

    void platformApiDetails_data()
    {
        QTest::addColumn<int>("apiVersion");
        QTest::addColumn<bool>("cbor");
        QTest::addColumn<bool>("absoluteImage");
        QTest::addColumn<QString>("apiUrl");
        QTest::addColumn<QString>("accept");
        QTest::newRow("v3, json") << 3 << false << false << "http://api.tv/api/v3/p/built?a=1" << "application/json";
        QTest::newRow("v4, cbor") << 4 << true << false << "http://api.tv/api/v4/p/built?a=1"
                                  << "application/cbor, application/json";
        QTest::newRow("v5") << 5 << false << true << "http://api.tv/api/v5/p/built?a=1" << "application/json";
    }

    void platformApiDetails()
    {
        QFETCH(int, apiVersion);
        QFETCH(bool, cbor);
        QFETCH(bool, absoluteImage);
        QFETCH(QString, apiUrl);
        QFETCH(QString, accept);
        RequestRawData data = request(MethodType::TqApi);
        data.apiVersion = apiVersion;
        if (cbor)
            data.responseCborExtractor = [](const QByteArray&) { return QVariant(); };
        const RequestSettings settings = compose(data);
        QCOMPARE(settings.urls, QStringList{apiUrl});
        QCOMPARE(settings.headers.value("Accept"), accept);

        RequestRawData image = request(MethodType::TqImage, absoluteImage ? "http://cdn.tv/x.png" : "/x.png");
        image.isAbsoluteUrl = absoluteImage;
        const QString expected = absoluteImage ? "http://cdn.tv/x.png?a=1" : "http://img.tv/x.png?a=1";
        QCOMPARE(compose(image).urls, QStringList{expected});
        QCOMPARE(compose(image).cacheKey, expected);
    }

    void sessionHeader_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("invalidated");
        QTest::addColumn<MethodSpecializaton>("specialization");
        QTest::addColumn<QString>("expected"); // empty: no header
        QTest::newRow("current session") << "s1" << "old" << MethodSpecializaton::NewSession << "s1";
        QTest::newRow("new session uses the invalidated id") << "" << "old" << MethodSpecializaton::NewSession << "old";
        QTest::newRow("content request without session") << "" << "old" << MethodSpecializaton::Content << "";
        QTest::newRow("nothing to send") << "" << "" << MethodSpecializaton::NewSession << "";
    }

    void sessionHeader()
    {
        QFETCH(QString, session);
        QFETCH(QString, invalidated);
        QFETCH(MethodSpecializaton, specialization);
        QFETCH(QString, expected);
        set("TqClientFacade", "session_id", session);
        set("TqClientFacade", "invalidated_session_id", invalidated);
        RequestRawData data = request(MethodType::TqApi);
        data.methodSpecialization = specialization;
        const RequestSettings settings = compose(data);
        QCOMPARE(settings.headers.contains("session_id"), !expected.isEmpty());
        QCOMPARE(settings.headers.value("session_id"), expected);
        set("TqClientFacade", "session_id", "sess1");
    }

    void languageFollowsTheDefaultLocale()
    {
        const RequestRawData data = request(MethodType::TqApi);
        QCOMPARE(compose(data).headers.value("x-kv-language"), QStringLiteral("deu"));
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(compose(data).headers.value("x-kv-language"), QStringLiteral("fra"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(compose(data).headers.value("x-kv-language"), QStringLiteral("deu"));
    }

    void failureAction_data()
    {
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<RequestError>("error");
        QTest::addColumn<int>("action");

        const auto withRetry = [](RequestError e) {
            e.retryAfter = 30;
            return e;
        };
        const auto mediaPositions = [](RequestError e) {
            e.httpMethod = httpPostMethod();
            e.path = QStringLiteral("/user/media_positions");
            return e;
        };
        RequestError session = failure(MethodType::TqApi, 403);
        session.errorCode = 1000053;
        const MethodType api = MethodType::TqApi;

        QTest::newRow("bad gateway") << api << failure(api, 502) << int(AbstractBackend::Rebalance);
        QTest::newRow("gateway timeout") << api << failure(api, 504) << int(AbstractBackend::Rebalance);
        QTest::newRow("503 is no gateway error") << api << failure(api, 503) << int(AbstractBackend::HandOn);
        QTest::newRow("refused") << api << failure(api, 0, QNetworkReply::ConnectionRefusedError) << int(AbstractBackend::Rebalance);
        QTest::newRow("timeout") << api << failure(api, 0, QNetworkReply::TimeoutError) << int(AbstractBackend::Rebalance);
        QTest::newRow("transfer timeout") << api << failure(api, 0, QNetworkReply::OperationCanceledError)
                                          << int(AbstractBackend::Rebalance);
        QTest::newRow("session replacement") << api << session << int(AbstractBackend::UpdateSessionToken);
        QTest::newRow("429 with delay") << api << withRetry(failure(api, 429)) << int(AbstractBackend::RetryLater);
        QTest::newRow("429 without delay") << api << failure(api, 429) << int(AbstractBackend::HandOn);
        QTest::newRow("media positions, gateway") << api << mediaPositions(failure(api, 502)) << int(AbstractBackend::Rebalance);
        QTest::newRow("media positions, 500") << api << mediaPositions(failure(api, 500)) << int(AbstractBackend::HandOn);
        QTest::newRow("media positions, 429") << api << mediaPositions(withRetry(failure(api, 429))) << int(AbstractBackend::HandOn);
        QTest::newRow("image, gateway") << MethodType::TqImage << failure(MethodType::TqImage, 502) << int(AbstractBackend::HandOn);
        QTest::newRow("analytics, 429") << MethodType::TqAnalytics << withRetry(failure(MethodType::TqAnalytics, 429))
                                        << int(AbstractBackend::RetryLater);
        QTest::newRow("ad, 429") << MethodType::AdStreamApi << withRetry(failure(MethodType::AdStreamApi, 429))
                                 << int(AbstractBackend::HandOn);
        QTest::newRow("static data, 429") << MethodType::StaticDataApi
                                          << withRetry(failure(MethodType::StaticDataApi, 429)) << int(AbstractBackend::RetryLater);
        QTest::newRow("static data, gateway") << MethodType::StaticDataApi << failure(MethodType::StaticDataApi, 502)
                                              << int(AbstractBackend::HandOn);
    }

    void failureAction()
    {
        QFETCH(MethodType, type);
        QFETCH(RequestError, error);
        QFETCH(int, action);
        QCOMPARE(m_backends.byType.value(type)->failureAction(error), action);
    }

    // Only a completed rebalance moves a request to the configured server, and never one whose
    // address is complete; every re-execution carries the current session, except a new session's.
    void prepareResend_data()
    {
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<bool>("afterRebalance");
        QTest::addColumn<bool>("absolute");
        QTest::addColumn<int>("specialization");
        QTest::addColumn<QString>("sentTo");
        QTest::addColumn<QString>("resentTo");
        QTest::addColumn<QByteArray>("session");
        const int content = int(MethodSpecializaton::Content);
        const int newSession = int(MethodSpecializaton::NewSession);
        QTest::newRow("api after rebalance") << MethodType::TqApi << true << false << content
                                             << "http://old.tv:8080/api/v2/p?a=1" << "http://new.tv:9090/api/v2/p?a=1"
                                             << QByteArray("prov-sess");
        QTest::newRow("api after a delay") << MethodType::TqApi << false << false << content
                                           << "http://old.tv:8080/api/v2/p?a=1" << "http://old.tv:8080/api/v2/p?a=1"
                                           << QByteArray("prov-sess");
        QTest::newRow("api, same server") << MethodType::TqApi << true << false << content
                                          << "http://new.tv:9090/api/v2/p" << "http://new.tv:9090/api/v2/p"
                                          << QByteArray("prov-sess");
        QTest::newRow("new session after rebalance") << MethodType::TqApi << true << false << newSession
                                                     << "http://old.tv/api/v3/ulp/sessions"
                                                     << "http://new.tv:9090/api/v3/ulp/sessions" << QByteArray("stale");
        QTest::newRow("new session after a delay") << MethodType::TqApi << false << false << newSession
                                                   << "http://old.tv/api/v3/ulp/sessions"
                                                   << "http://old.tv/api/v3/ulp/sessions" << QByteArray("stale");
        QTest::newRow("image after rebalance") << MethodType::TqImage << true << false << content
                                               << "http://old.tv/x.png" << "http://img2.tv:81/x.png"
                                               << QByteArray("prov-sess");
        QTest::newRow("poster on another host, rebalance") << MethodType::TqImage << true << true << content
                                                           << "http://posters.cdn:8000/x.png"
                                                           << "http://posters.cdn:8000/x.png" << QByteArray("prov-sess");
        QTest::newRow("poster on another host, delay") << MethodType::TqImage << false << true << content
                                                       << "http://posters.cdn:8000/x.png"
                                                       << "http://posters.cdn:8000/x.png" << QByteArray("prov-sess");
        QTest::newRow("analytics after rebalance") << MethodType::TqAnalytics << true << false << content
                                                   << "http://old.tv/events" << "http://spy2.tv/events"
                                                   << QByteArray("prov-sess");
        QTest::newRow("discovery is not moved") << MethodType::TqDiscover << true << false << content
                                                << "http://old.tv/d" << "http://old.tv/d" << QByteArray("prov-sess");
    }

    void prepareResend()
    {
        QFETCH(MethodType, type);
        QFETCH(bool, afterRebalance);
        QFETCH(bool, absolute);
        QFETCH(int, specialization);
        QFETCH(QString, sentTo);
        QFETCH(QString, resentTo);
        QFETCH(QByteArray, session);
        set("TQ", "apiUrl", "http://new.tv:9090");
        set("TQ", "imagesUrl", "http://img2.tv:81");
        set("TQ", "spyUrl", "http://spy2.tv/events");
        HttpRequestWorker worker;
        RequestRawData data = request(type);
        data.isAbsoluteUrl = absolute;
        data.methodSpecialization = MethodSpecializaton(specialization);
        worker.setRawData(data);
        worker.setUrl(sentTo);
        worker.networkRequest().setRawHeader("session_id", "stale");

        m_backends.byType.value(type)->prepareResend(&worker, &m_store, &m_provider,
                                                     afterRebalance ? AbstractBackend::Resend::AfterRebalance
                                                                    : AbstractBackend::Resend::Again);
        QCOMPARE(worker.networkRequest().url(), QUrl(resentTo));
        QCOMPARE(worker.networkRequest().rawHeader("session_id"), session);
        set("TQ", "apiUrl", "http://api.tv");
        set("TQ", "imagesUrl", "http://img.tv");
        set("TQ", "spyUrl", "http://spy.tv/events");
    }

    // A session that is gone is not sent as an empty header.
    void resendWithoutSessionSendsNoHeader()
    {
        HttpRequestWorker worker;
        worker.setRawData(request(MethodType::TqApi));
        worker.setUrl(QStringLiteral("http://api.tv/api/v2/p"));
        worker.networkRequest().setRawHeader("session_id", "stale");
        stbcore::FixedPropertyProvider noSession;
        m_backends.byType.value(MethodType::TqApi)->prepareResend(&worker, &m_store, &noSession, AbstractBackend::Resend::Again);
        QVERIFY(!worker.networkRequest().hasRawHeader("session_id"));
    }
};

QTEST_GUILESS_MAIN(TestBackends)
#include "tst_backends.moc"
