// The advertising requests as the servers see them: one table of every ad, pixel,
// SCTE-35, banner and audience request composed by the real backends; then ad breaks
// through the whole engine against the fake ad server, with its faults.

#include "enginetestsupport.h"
#include "fakeadserver.h"

#include "ads/adrequests.h"
#include "ads/getshoprequests.h"
#include "ads/mediascope.h"
#include "ads/scte35requests.h"
#include "engine/tqcontext.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/backends_p.h"
#include "transport/configwrapper.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QtTest>

using namespace tq;

namespace {

template<class R>
RequestRawData raw(const R& request)
{
    return request.rawDataCreator()();
}

template<class R, class Fill>
RequestRawData raw(Fill fill)
{
    R request;
    fill(request);
    return raw(request);
}

} // namespace

class TestAdRequests : public QObject
{
    Q_OBJECT

    stbconfig::ConfigurationManager m_store;
    stbcore::FixedPropertyProvider m_provider;
    BackendSet m_backends = createBackends();

    void set(const char* group, const char* key, const QVariant& value)
    {
        m_store.setValue(QString::fromLatin1(group), QString::fromLatin1(key), value, stbconfig::Runtime);
    }

private slots:
    void initTestCase()
    {
        m_provider.mac = "mac1";
        m_provider.sanValue = "san1";
        m_provider.agent = "ua1";
        m_provider.uidValue = "uid1";
        m_provider.mrfValue = "mrf1";
        set("Ad", "adUrl", "http://ad.tv");
        set("GetShop", "getShopUrl", "http://gs.tv");
        set("GetShop", "getShopKey", "k1");
        set("Mediascope", "url", "http://ms.tv/hit?v=1");
        set("Mediascope", "cid", "c1");
        set("Scte35Nsc", "url", "http://nsc.tv");
        set("Scte35Pm", "url", "http://pm.tv");
    }

    void requests_data()
    {
        QTest::addColumn<RequestRawData>("raw");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("url"); // {now}: seconds since the epoch; {uuid}: a random UUID
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("answer"); // meta-type of the decoded answer; 0: not decoded

        const QStringList xml{"Accept: application/xml", "User-Agent: ua1"};
        const QStringList shopAd = QStringList{"Accept: application/xml", "User-Agent: ua1", "x-kv-mac: mac1",
                                               "x-kv-san: san1", "x-kv-uid: uid1"};
        const QStringList platform{"User-Agent: ua1", "x-kv-mac: mac1", "x-kv-san: san1", "x-kv-uid: uid1"};
        const QStringList shop = QStringList{"Accept: application/json"} + platform;
        const int vast = qMetaTypeId<ad::VastResponse>();
        const auto row = [](const char* name, const RequestRawData& raw, const char* method, const QString& url,
                            const QStringList& headers, int answer, const QByteArray& body = {}) {
            QTest::newRow(name) << raw << QString::fromLatin1(method) << url << headers << body << answer;
        };
        const QString pm = "http://pm.tv/vast3?request_id={uuid}&client_id=mac1&domain_id=28&mrf=mrf1";

        // ---- ad requests and pixels ----
        row("avod: roll type and is_child only", raw<ad::GetShopAvodRequest>([](auto& r) {
                r.rollType = ad::AvodRollType::Midroll;
            }), "GET", "http://ad.tv/avod/vast?ad_place_type=midroll&is_child=false", shopAd, vast);
        row("avod: everything set", raw<ad::GetShopAvodRequest>([](auto& r) {
                r.rollType = ad::AvodRollType::Postroll; r.location = "Moscow & Co"; r.clientId = "c=1";
                r.san = "s"; r.clientVersion = "1.2"; r.uid = "u"; r.deviceType = "stb"; r.broadcastType = "ott";
                r.adPosition = 2; r.ageValue = 0; r.adSectionId = "sec"; r.contentCategory = "films";
                r.title = "Süß"; r.owner = "o"; r.maxDuration = 30; r.contractorId = 4; r.contentId = 5;
                r.isChild = true;
            }), "GET", "http://ad.tv/avod/vast?ad_place_type=postroll&location=Moscow%20%26%20Co&client_id=c%3D1&san=s"
            "&client_version=1.2&uid=u&device_type=stb&broadcast_type=ott&ad_position=2&age_value=0&ad_section_id=sec"
            "&content_category=films&title=S%C3%BC%C3%9F&owner=o&max_duration=30&contractor_id=4&content_id=5"
            "&is_child=true", shopAd, vast);
        row("alive: empty place type is still sent", raw(ad::GetShopAliveRequest()), "GET",
            "http://ad.tv/alive/vast?ad_place_type=", shopAd, vast);
        row("alive: everything set", raw<ad::GetShopAliveRequest>([](auto& r) {
                r.placeType = "startroll"; r.location = 0; r.clientId = "c"; r.clientTime = 1700000000; r.san = "s";
                r.clientVersion = "v"; r.deviceType = "d"; r.channelId = 0; r.channelName = "First channel";
                r.channelNumber = 1; r.epgId = 99; r.epgName = "News"; r.ageValue = 18; r.broadcastType = "iptv";
                r.adPosition = 255;
            }), "GET", "http://ad.tv/alive/vast?ad_place_type=startroll&location=0&client_id=c&client_time=1700000000"
            "&san=s&client_version=v&device_type=d&channel_id=0&channel_name=First%20channel&channel_number=1"
            "&epg_id=99&epg_name=News&age_value=18&broadcast_type=iptv&ad_position=255", shopAd, vast);
        row("ad stream: address as given, then /vast3", raw<ad::AdStreamAliveRequest>([](auto& r) {
                r.serverUrl = "http://as.tv/"; r.placeType = "switchroll"; r.location = 7; r.deviceType = "d";
                r.san = "s"; r.title = "t"; r.ageValue = 0; r.isChild = true;
            }), "GET", "http://as.tv//vast3?ad_place_type=switchroll&is_child=true&location=7&device_type=d&san=s&title=t"
            "&age_value=0", {"Accept: application/xml", "User-Agent: ua1", "x-kv-mac: mac1", "x-kv-san: san1"}, vast);
        row("getshop pixel", raw(ad::GetShopPixelRequest("http://px.tv/a?b=1")), "GET", "http://px.tv/a?b=1", xml, 0);
        row("ad-stream pixel", raw(ad::AdStreamPixelRequest("http://px.tv/s")), "GET", "http://px.tv/s", xml, 0);
        row("banner pixel", raw(ad::AdBannerPixelRequest("http://px.tv/b")), "GET", "http://px.tv/b", xml, 0);

        // ---- SCTE-35 ----
        row("nsc: nothing set, still sent", raw(scte35ad::NscVastRequest()), "GET",
            "http://nsc.tv/ads/vast/get?sid=mac1", platform, vast);
        row("nsc: everything set", raw<scte35ad::NscVastRequest>([](auto& r) {
                qint64 n = 1;
                for (qint64* f : {&r.out, &r.cid, &r.cnt, &r.dur, &r.adid, &r.appid, &r.siteId, &r.zoneId, &r.pid,
                                  &r.channelId, &r.locationId, &r.upid, &r.availNum})
                    *f = n++;
                r.opc = "a b";
            }), "GET", "http://nsc.tv/ads/vast/get?sid=mac1&out=1&opc=a%20b&cid=2&cnt=3&adid=5&appid=6&site_id=7"
            "&zone_id=8&pid=9&channel_id=10&location_id=11&dur=4&upid=12&avail_num=13", platform, vast);
        row("nsc: negative out", raw<scte35ad::NscVastRequest>([](auto& r) {
                r.out = -5; r.cnt = 50;
            }), "GET", "http://nsc.tv/ads/vast/get?sid=mac1&cnt=50", platform, vast);
        row("post media: duration 0", raw<scte35ad::PostMediaVastRequest>([](auto& r) {
                r.channelId = 5; r.locationId = 7;
            }), "GET", pm + "&channel_id=5&location_id=7", platform, vast);
        row("post media: all", raw<scte35ad::PostMediaVastRequest>([](auto& r) {
                r.channelId = 5; r.locationId = 7; r.duration = 30;
            }), "GET", pm + "&channel_id=5&location_id=7&duration=30", platform, vast);
        row("nsc tracking", raw(scte35ad::NscTrackingEventRequest("http://t.tv/n")), "GET", "http://t.tv/n",
            platform, 0);
        row("post media tracking", raw(scte35ad::PostMediaTrackingEventRequest("http://t.tv/p")), "GET",
            "http://t.tv/p", platform, 0);

        // ---- shopping banners ----
        const QString key = "?key=k1&client_time={now}";
        row("playlist: defaults", raw(gs::PlaylistRequest()), "GET", "http://gs.tv/playlist" + key, shop,
            qMetaTypeId<gs::PlaylistResponse>());
        row("playlist: everything set", raw<gs::PlaylistRequest>([](auto& r) {
                r.channelId = 0; r.san = "s"; r.clientId = "c"; r.location = "l"; r.mcast = "239.0.0.1:1234";
                r.eventId = "e"; r.clientVersion = "v"; r.ageValue = 0; r.displayWidth = 1920;
                r.displayHeight = 1080;
            }), "GET", "http://gs.tv/playlist" + key + "&channel_id=0&san=s&client_id=c&location=l"
            "&mcast=239.0.0.1%3A1234&event_id=e&client_version=v&age_value=0&display_width=1920&display_height=1080",
            shop, qMetaTypeId<gs::PlaylistResponse>());
        row("banner", raw<gs::BannerRequest>([](auto& r) {
                r.eventId = "e"; r.channelId = 3; r.clientId = "c"; r.location = "l"; r.ageValue = 12;
                r.displayWidth = -1;
            }), "GET", "http://gs.tv/banner" + key + "&event_id=e&channel_id=3&client_id=c&location=l&age_value=12"
            "&display_width=-1", shop, qMetaTypeId<gs::Banner>());
        row("banner text", raw<gs::BannerTextRequest>([](auto& r) { r.bannerId = "b1"; }), "GET",
            "http://gs.tv/banner/text?key=k1&banner_id=b1", shop, qMetaTypeId<gs::TextResponse>());
        row("banner update, no id", raw(gs::BannerEntireUpdateRequest()), "GET", "http://gs.tv/banner/update?key=k1",
            shop, qMetaTypeId<gs::Banner>());
        row("banner image", raw<gs::BannerImageRequest>([](auto& r) {
                r.bannerId = "b1"; r.url = "http://img.tv/b.png";
            }), "GET", "http://img.tv/b.png?banner_id=b1", shop, 0);
        row("microsite", raw<gs::MicrositeRequest>([](auto& r) {
                r.channelId = 3; r.eventId = "e"; r.displayHeight = 720;
            }), "GET", "http://gs.tv/microsite" + key + "&channel_id=3&event_id=e&display_height=720", shop,
            qMetaTypeId<gs::Microsite>());
        row("microsite screen", raw<gs::MicrositeScreenRequest>([](auto& r) {
                r.eventId = "e"; r.screenId = "s2"; r.displayWidth = 1280; r.n = 2;
            }), "GET", "http://gs.tv/microsite/screen?key=k1&event_id=e&screen_id=s2&display_width=1280&n=2", shop,
            qMetaTypeId<gs::Screen>());
        row("client info", raw<gs::ClientInfoRequest>([](auto& r) { r.eventId = "e"; }), "GET",
            "http://gs.tv/client/info?key=k1&event_id=e", shop, qMetaTypeId<gs::ClientInfoResponse>());
        row("client code: phone -1 stays out", raw<gs::ClientCodeRequest>([](auto& r) { r.phoneId = "p"; }), "GET",
            "http://gs.tv/client/code?key=k1&phone_id=p", shop, 0);
        row("client code: phone 0 is sent", raw<gs::ClientCodeRequest>([](auto& r) { r.phone = 0; }), "GET",
            "http://gs.tv/client/code?key=k1&phone=0", shop, 0);
        row("client send", raw<gs::ClientSendRequest>([](auto& r) {
                r.eventId = "e"; r.screenId = "s"; r.buttonId = "b"; r.phoneId = "p"; r.phone = 79990001122;
                r.code = 1234;
            }), "POST", "http://gs.tv/client/send?key=k1&event_id=e&screen_id=s&button_id=b&phone_id=p&phone=79990001122"
            "&code=1234", shop, 0);
        gs::LogEvent pressed;
        pressed.timestamp = 1700000000;
        pressed.key = "ok";
        pressed.screenId = "s1";
        gs::LogEvent note;
        note.message = "opened";
        row("log events", raw<gs::LogEventsRequest>([&](auto& r) {
                r.eventId = "e"; r.events = {pressed, note};
            }), "POST", "http://gs.tv/client/log?key=k1&event_id=e", shop, 0,
            "{\"event_id\":\"e\",\"events\":[{\"key\":\"ok\",\"screen_id\":\"s1\",\"timestamp\":1700000000},"
            "{\"message\":\"opened\"}]}");
        row("shop image", raw(gs::GetShopImageRequest("http://img.tv/x.png")), "GET", "http://img.tv/x.png", shop, 0);
        row("shop text", raw(gs::GetShopTextRequest("http://txt.tv/t")), "GET", "http://txt.tv/t", shop,
            QMetaType::QString);
        row("shop audit", raw(gs::AuditRequest("http://px.tv/v")), "GET", "http://px.tv/v", {"User-Agent: ua1"}, 0);

        // ---- audience measurement ----
        const QString ms = "http://ms.tv/hit?v=1&cid=c1&typ=3&dvi=6";
        row("mediascope: type and ver only", raw<mediascope::EventRequest>([](auto& r) {
                r.type = 1; r.ver = 2;
            }), "GET", ms + "&type=1&ver=2", platform, 0);
        row("mediascope: everything set", raw<mediascope::EventRequest>([](auto& r) {
                r.dvid = 3; r.dvt = "stb"; r.hid = "h"; r.uidt = 4; r.uidc = 5; r.uid = "u"; r.appn = "tv";
                r.appv = "1.0"; r.os = "linux"; r.idc = 0; r.idlc = "lc"; r.fts = 0; r.view = 0; r.tms = "t";
                r.dvm = "m"; r.dvn = "n"; r.media = "a&b=c";
            }), "GET", ms + "&type=0&ver=0&dvid=3&dvt=stb&hid=h&uidt=4&uidc=5&uid=u&appn=tv&appv=1.0&os=linux&idc=0"
            "&idlc=lc&fts=0&view=0&tms=t&dvm=m&dvn=n&media=a%26b%3Dc", platform, 0);
    }

    void requests()
    {
        QFETCH(RequestRawData, raw);
        QFETCH(QString, method);
        QFETCH(QString, url);
        QFETCH(QStringList, headers);
        QFETCH(QByteArray, body);
        QFETCH(int, answer);

        const RequestSettings settings =
            m_backends.byType.value(raw.methodType)->composeRequest(raw, &m_store, &m_provider);
        QVERIFY(raw.isValid);
        QCOMPARE(raw.httpMethod, method);
        QCOMPARE(settings.urls.size(), 1);
        const QString pattern = QRegularExpression::escape(url)
                                    .replace("\\{now\\}", "(\\d+)")
                                    .replace("\\{uuid\\}", "[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}");
        const QRegularExpressionMatch match = QRegularExpression('^' + pattern + '$').match(settings.urls[0]);
        QVERIFY2(match.hasMatch(), qPrintable(settings.urls[0]));
        if (url.contains("{now}")) // taken when the raw data was built, moments ago
            QVERIFY(qAbs(match.captured(1).toLongLong() - QDateTime::currentSecsSinceEpoch()) < 600);
        QStringList sent;
        for (auto it = settings.headers.cbegin(); it != settings.headers.cend(); ++it)
            sent.append(it.key() + ": " + it.value());
        QCOMPARE(sent, headers);
        QCOMPARE(raw.body, body);
        QCOMPARE(bool(raw.responseExtractor), answer != 0);
        if (answer)
            QCOMPARE(raw.responseExtractor(QByteArray()).metaType().id(), answer);
    }

    void emptyAddressIsRefusedBeforeSending()
    {
        QVERIFY(!raw(ad::GetShopPixelRequest()).isValid);
        QVERIFY(!raw(ad::AdStreamAliveRequest()).isValid);
        QVERIFY(!raw(gs::BannerImageRequest()).isValid);
        QVERIFY(raw(gs::BannerTextRequest()).isValid);
    }

    void creatorKeepsItsOwnCopy()
    {
        auto* request = new ad::GetShopAvodRequest;
        request->title = "before";
        const auto creator = request->rawDataCreator();
        request->title = "after";
        delete request;
        QVERIFY(creator().queryItems.contains("title=before"));
    }
};

// Ad breaks through the engine: context -> dispatcher -> ad backend -> fake ad server.
class TestAdBreaks : public QObject
{
    Q_OBJECT

    std::unique_ptr<stbconfig::ConfigurationManager> m_store;
    stbcore::FixedPropertyProvider m_provider;
    std::unique_ptr<fake::FakeHttpServer> m_http;
    std::unique_ptr<fake::FakeAdServer> m_ads;
    std::unique_ptr<TqContext> m_context;
    enginetest::RecordingHandler m_errors;
    std::unique_ptr<TqClientFacade> m_client;

private slots:
    void init()
    {
        m_store = std::make_unique<stbconfig::ConfigurationManager>();
        m_http = std::make_unique<fake::FakeHttpServer>();
        m_ads = std::make_unique<fake::FakeAdServer>(m_http.get(), "/ads");
        TqConfigWrapper(m_store.get()).setAdUrl(m_ads->baseUrl());
        m_store->setValue("GetShop", "adRequestTimeout", 1, stbconfig::Runtime);
        m_context = std::make_unique<TqContext>(m_store.get());
        m_context->setPropertyProvider(&m_provider);
        m_errors.errors.clear();
        m_client.reset(m_context->createClient(&m_errors));
    }

    void cleanup()
    {
        m_client.reset();
        m_context.reset();
        m_ads.reset();
        m_http.reset();
    }

    void vastAnswerThenImpressionAndQuartiles()
    {
        QSignalSpy answers(m_client.get(), &TqClientFacade::dataReceived);
        const ad::GetShopAvodRequest request;
        const qint64 id = m_client->sendRequest(&request);
        QTRY_COMPARE(answers.size(), 1);
        QCOMPARE(answers[0][0].toLongLong(), id);
        const ad::VastResponse vast = answers[0][1].value<ad::VastResponse>();
        QCOMPARE(vast.ads.size(), 1);
        const ad::Ad& ad = vast.ads[0];
        QCOMPARE(ad.impressions, QStringList{m_ads->pixelUrl("impression")});

        QStringList fired;
        const auto fire = [&](const QString& url) {
            const ad::GetShopPixelRequest pixel(url);
            m_client->sendRequest(&pixel);
            fired.append(url.section('/', -1));
        };
        fire(ad.impressions[0]);
        for (const ad::TrackingEvent& event : ad.creatives[0].trackingEvents) {
            if (event.event >= ad::EventType::Start && event.event <= ad::EventType::Complete)
                fire(event.url);
        }
        QCOMPARE(fired, QStringList({"impression", "start", "firstQuartile", "midpoint", "thirdQuartile", "complete"}));
        QTRY_COMPARE(answers.size(), 1 + fired.size()); // each pixel answered once
        QStringList hits = m_ads->pixelHits();
        hits.sort();
        fired.sort();
        QCOMPARE(hits, fired); // six connections: the order of arrival is the network's
        QVERIFY(m_errors.errors.isEmpty());
    }

    void faults_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("httpStatus");       // of the failure; -1: an answer arrives
        QTest::addColumn<int>("networkError");
        using B = fake::FakeAdServer::Behaviour;
        QTest::newRow("XML cut half-way: what was read")
            << int(B::Truncated) << -1 << int(QNetworkReply::NoError);
        QTest::newRow("server error") << int(B::ServerError) << 500 << int(QNetworkReply::InternalServerError);
        QTest::newRow("hang-up mid body") << int(B::HangUp) << 200 << int(QNetworkReply::RemoteHostClosedError);
        QTest::newRow("slower than the timeout") << int(B::Slow) << 0 << int(QNetworkReply::OperationCanceledError);
    }

    void faults()
    {
        QFETCH(int, behaviour);
        QFETCH(int, httpStatus);
        QFETCH(int, networkError);
        m_ads->setBehaviour(fake::FakeAdServer::Behaviour(behaviour), 5000);
        QSignalSpy answers(m_client.get(), &TqClientFacade::dataReceived);
        ad::GetShopAliveRequest request;
        request.placeType = "startroll";
        m_client->sendRequest(&request);
        QTRY_COMPARE_WITH_TIMEOUT(answers.size() + m_errors.errors.size(), 1, 10000);
        if (httpStatus < 0) {
            const ad::VastResponse vast = answers[0][1].value<ad::VastResponse>();
            QCOMPARE(vast.ads.size(), 1);
            QCOMPARE(vast.ads[0].impressions, QStringList{m_ads->pixelUrl("impression")});
        } else {
            QCOMPARE(m_errors.errors[0].second.httpStatusCode, httpStatus);
            QCOMPARE(int(m_errors.errors[0].second.networkError), networkError);
        }
        QCOMPARE(m_ads->adRequests().size(), 1); // never retried
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    TestAdRequests requests;
    status |= QTest::qExec(&requests, argc, argv);
    TestAdBreaks breaks;
    status |= QTest::qExec(&breaks, argc, argv);
    return status;
}

#include "tst_adrequests.moc"
