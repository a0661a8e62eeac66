// The auxiliary services and the party-games HTTP side through the whole engine: one table
// of every request as the fake services receive it and of its answer decoded from their
// samples; then the payment service's own pieces, the dictionaries, the image switches and
// every answer key as written here.

#include "enginetestsupport.h"
#include "fakeservices.h"
#include "jsonfixture.h"
#include "wiretable.h"

#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "model/response.h"
#include "partystation/partystationrequests.h"
#include "platform/requestheaderpropertyprovider.h"
#include "services/hotelplaylist.h"
#include "services/payment.h"
#include "services/releasenotes.h"
#include "services/staticdata.h"
#include "services/syt.h"
#include "services/thumbnails.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QtTest>

using namespace tq;

using RequestPtr = QSharedPointer<AbstractRequest>;
// Empty when the answer is as expected, else what is wrong.
using Check = std::function<QString(const QVariant&)>;
Q_DECLARE_METATYPE(Check)

namespace {

template<class R, class Fill>
RequestPtr make(Fill fill)
{
    auto request = QSharedPointer<R>::create();
    fill(*request);
    return request;
}

template<class T>
Check answer(std::function<QString(const T&)> check)
{
    return [check](const QVariant& value) {
        return value.metaType() == QMetaType::fromType<T>() ? check(value.value<T>())
                                                            : QStringLiteral("answer of type %1").arg(value.typeName());
    };
}

Check image(int width, int height)
{
    return answer<ImageResponse>([=](const ImageResponse& r) {
        return r.image().size() == QSize(width, height) ? QString() : QStringLiteral("image size");
    });
}

QString expect(bool ok, const char* what)
{
    return ok ? QString() : QString::fromLatin1(what);
}

const QString jsonHeaders = "Accept: application/json|Accept-Charset: UTF-8|User-Agent: ua1|x-kv-mac: mac1";
const QString paymentHeaders = "Content-Type: application/json|Accept: application/json|User-Agent: ua1";
const QRegularExpression timeStamp("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$");

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

    stbconfig::ConfigurationManager m_store;
    stbcore::FixedPropertyProvider m_provider;
    fake::FakeHttpServer m_http;
    fake::FakeServices m_services{&m_http};
    std::unique_ptr<TqContext> m_context;
    enginetest::RecordingHandler m_errors;
    std::unique_ptr<TqClientFacade> m_client;

private slots:
    void initTestCase()
    {
        m_provider.mac = "mac1";
        m_provider.agent = "ua1";
        m_provider.sanValue = "san1";
        m_provider.uidValue = "uid1";
        m_provider.session = "s1";
        m_services.configure(&m_store);
        m_context = std::make_unique<TqContext>(&m_store);
        m_context->setPropertyProvider(&m_provider);
        m_client.reset(m_context->createClient(&m_errors));
    }

    void cleanupTestCase()
    {
        m_client.reset();
        m_context.reset();
    }

    void exchanges_data()
    {
        QTest::addColumn<RequestPtr>("request");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("target");  // path and query as received
        QTest::addColumn<QString>("headers"); // "Name: value|..." that must be among those received
        QTest::addColumn<QByteArray>("body"); // JSON; "{time}" stands for a payment time stamp
        QTest::addColumn<Check>("check");
        QTest::addColumn<int>("errorCode");   // != 0: the request fails with that code

        const auto row = [](const char* name, RequestPtr request, const char* method, const QString& target,
                            const QString& headers, Check check, const QByteArray& body = {}, int errorCode = 0) {
            QTest::newRow(name) << request << QString(method) << target << headers << body << check << errorCode;
        };

        // ---- thumbnails ----
        row("thumbnails playlist, hd", make<thumbnails::PlaylistRequest>([](auto& r) { r.id = "rec42"; r.profile = 1; }),
            "GET", "/thumbs/rec42/playlist.json?profile=hd", jsonHeaders + "|x-kv-uid: uid1|x-kv-san: san1",
            answer<thumbnails::PlaylistResponse>([](const auto& r) {
                return expect(r.images.size() == 2 && r.images[1].thumbSize.height == 180 && r.thumbs.size() == 3
                                  && r.thumbs[2].region.top == 720 && r.thumbs[2].imageId == "sprite-1"
                                  && r.thumbs[0].timestamp == 1733475600,
                              "playlist");
            }));
        row("thumbnails playlist, fhd", make<thumbnails::PlaylistRequest>([](auto& r) { r.id = "rec42"; r.profile = 0; }),
            "GET", "/thumbs/rec42/playlist.json?profile=fhd", jsonHeaders,
            answer<thumbnails::PlaylistResponse>([](const auto&) { return QString(); }));
        row("thumbnails playlist, other profile: none", make<thumbnails::PlaylistRequest>([](auto& r) {
                r.id = "rec42"; r.profile = 2;
            }), "GET", "/thumbs/rec42/playlist.json", jsonHeaders, answer<thumbnails::PlaylistResponse>([](const auto& r) {
                return expect(r.images.size() == 2, "playlist");
            }));
        row("thumbnail image", make<thumbnails::ImageRequest>([](auto& r) { r.first = "rec42"; r.second = "sprite-0.jpg"; }),
            "GET", "/thumbs/rec42/sprite-0.jpg", jsonHeaders, image(160, 90));

        // ---- static data, release notes ----
        row("static image", RequestPtr(new static_data::ImageRequest("/hd1080/qr.png")), "GET", "/static/hd1080/qr.png",
            "Accept-Charset: UTF-8|x-kv-san: san1", image(64, 64));
        row("release notes page", make<rn::ReleaseNotesRequest>([](auto& r) { r.path = "index.html"; }), "GET",
            "/rn/4.2/index.html", "Accept-Charset: UTF-8|User-Agent: ua1", answer<QString>([](const QString& page) {
                return expect(page.contains("<h1>Version 4.2</h1>"), "page");
            }));
        row("release notes image", make<rn::ReleaseNotesImageRequest>([](auto& r) { r.path = "new-guide.png"; }), "GET",
            "/rn/4.2/new-guide.png", "User-Agent: ua1", image(320, 180));

        // ---- partner service ----
        row("qr: only what is set", make<syt::QrRequest>([](auto& r) { r.videoId = 42; r.second = 0; }), "GET",
            "/syt/api/partners/v1/qr?videoId=42&second=0", "User-Agent: ua1", answer<syt::QrResponse>([](const auto& r) {
                return expect(r.totalItemsCount == 1 && r.items.size() == 1 && r.items[0].url.endsWith("s=1260")
                                  && r.items[0].base64.startsWith("iVBOR"),
                              "qr");
            }));
        row("qr: everything", make<syt::QrRequest>([](auto& r) {
                r.userId = "u 1"; r.channelId = 10; r.videoId = 42; r.timestamp = 1733475600; r.second = 1260;
                r.size = 300; r.platform = "stb";
            }), "GET", "/syt/api/partners/v1/qr?userId=u%201&channelId=10&videoId=42&timestamp=1733475600&second=1260"
            "&size=300&platform=stb", "User-Agent: ua1", answer<syt::QrResponse>([](const auto&) { return QString(); }));
        row("user event", make<syt::StatusRequest>([](auto& r) {
                r.videoId = 42; r.second = 12; r.status = syt::EventStatus::Play; r.platform = "stb";
            }), "POST", "/syt/api/partners/v1/user_event", "User-Agent: ua1|X-Custom-User-Id: mac1",
            answer<syt::StatusResponse>([](const auto&) { return QString(); }),
            R"({"videoId":42,"timestamp":0,"second":12,"status":"play","platform":"stb"})");

        // ---- hotel playlist ----
        row("hotel playlist", make<b2b::playlist::GetPlaylistRequest>([](auto&) {}), "GET",
            "/api/v2/user/b2b_hotel/playlist", "",
            answer<b2b::playlist::PlaylistResponse>([](const auto& r) {
                using namespace b2b::playlist;
                if (r.blocks.size() != 2 || r.blocks[0].items.size() != 2 || r.blocks[1].items.size() != 2)
                    return QStringLiteral("blocks");
                const ContentItem& channel = r.blocks[0].items[0].contentItem;
                const Item& advert = r.blocks[1].items[1];
                return expect(r.id == 118 && r.blocks[0].startTime.minutes == 30 && r.blocks[0].ticker.repeatCount == 3
                                  && channel.contentType == ContentType::Channel && channel.quality == b2b::playlist::QualityType::HD
                                  && channel.contentId == 10041 && r.blocks[1].isCycled
                                  && r.blocks[1].items[0].contentItem.quality == b2b::playlist::QualityType::UltraHD
                                  && r.blocks[0].items[1].startOffset == 3600 && advert.type == Type::Unknown
                                  && advert.contentItem.quality == b2b::playlist::QualityType::Unknown
                                  && advert.contentItem.contentType == ContentType::UserMediaItem,
                              "playlist");
            }));

        // ---- payments ----
        const auto card = [this](auto& r) {
            r.url = m_services.url("/pay"); r.cardNumber = "4111111111111111"; r.cardExpMonth = 4;
            r.cardExpYear = 2029; r.cardCvc = "123"; r.payAmount = 49900;
        };
        row("bind a card, no comment", make<ps::BindRequest>([&](auto& r) { card(r); r.reqId = "q1"; r.orderId = "o1"; }),
            "POST", "/pay", paymentHeaders, answer<ps::PaymentResponse>([](const auto& r) {
                return expect(r.payStatus == int(ps::PaymentStatus::Accepted) && r.reqNote == "OK", "accepted");
            }), R"({"reqType":"cardRegister","reqId":"q1","cardNumber":"4111111111111111","cardHolder":"CARD HOLDER",)"
                R"("cardExpMonth":4,"cardExpYear":2029,"cardCvc":"123","authPay":{"orderId":"o1","payAmount":49900,)"
                R"("payCurrId":"RUB","reqTime":"{time}"}})");
        row("buy with a comment", make<ps::BuyRequest>([&](auto& r) {
                card(r); r.orderId = "o2"; r.payComment = ps::convertPhoneToPayComment("79990001122");
            }), "POST", "/pay", paymentHeaders, answer<ps::PaymentResponse>([](const auto&) { return QString(); }),
            R"({"reqType":"createPayment","orderId":"o2","cardNumber":"4111111111111111","cardHolder":"CARD HOLDER",)"
            R"("cardExpMonth":4,"cardExpYear":2029,"cardCvc":"123","payComment":"79990001122_BANKCARD",)"
            R"("payAmount":49900,"payCurrId":"RUB","payTime":"{time}","delay":1})");
        row("buy, denied by the bank: an error", make<ps::BuyRequest>([&](auto& r) {
                card(r); r.cardNumber = fake::FakeServices::deniedCard(); r.orderId = "o3";
            }), "POST", "/pay", paymentHeaders, Check(),
            R"({"reqType":"createPayment","orderId":"o3","cardNumber":"4000000000000002","cardHolder":"CARD HOLDER",)"
            R"("cardExpMonth":4,"cardExpYear":2029,"cardCvc":"123","payAmount":49900,"payCurrId":"RUB",)"
            R"("payTime":"{time}","delay":1})", int(ps::ErrorType::InsufficientMoney));

        // ---- party games ----
        row("party settings", make<pstv::SettingsRequest>([](auto&) {}), "GET", "/party/app/settings", "",
            answer<pstv::SettingsResponse>([](const pstv::SettingsResponse& r) {
                return expect(r.icons.size() == 3 && r.icons.value("broken").isEmpty()
                                  && r.icons.value("fox").endsWith("fox.png") && r.places.size() == 7
                                  && r.places.value("3").isEmpty() && r.places.value("host-crown").endsWith("crown.png")
                                  && r.loader.sd.endsWith("576.png") && r.onboarding.hd.isEmpty()
                                  && r.qrCode.hd.endsWith("720.png") && r.emptyRoom.fhd.isEmpty()
                                  && r.pause.hd.endsWith("pause-720.png"),
                              "settings");
            }));
        row("room, new TV: no client", make<pstv::CreateRoomRequest>([](auto&) {}), "GET", "/party/app/room/tv", "",
            answer<pstv::CreateRoomResponse>([](const auto& r) {
                return expect(r.code == "4817" && r.qrCode.endsWith("qr=1") && r.client == 905, "room");
            }));
        row("room, known TV", make<pstv::CreateRoomRequest>([](auto& r) { r.client = 905; }), "GET",
            "/party/app/room/tv?client=905", "", answer<pstv::CreateRoomResponse>([](const auto&) { return QString(); }));
        row("party image", RequestPtr(new pstv::ImageRequest(m_services.url("/party/img/cat.png"))), "GET",
            "/party/img/cat.png", "", image(96, 96));
    }

    void exchanges()
    {
        QFETCH(RequestPtr, request);
        QFETCH(QString, method);
        QFETCH(QString, target);
        QFETCH(QString, headers);
        QFETCH(QByteArray, body);
        QFETCH(Check, check);
        QFETCH(int, errorCode);

        m_http.clearRequests();
        m_errors.errors.clear();
        QSignalSpy answers(m_client.get(), &TqClientFacade::dataReceived);
        const qint64 id = m_client->sendRequest(request.get());
        QTRY_COMPARE(answers.size() + m_errors.errors.size(), 1);

        QCOMPARE(m_http.requests().size(), 1);
        const fake::HttpRequest received = m_http.requests().first();
        QCOMPARE(QString(received.method), method);
        const QString query = received.query.toString(QUrl::FullyEncoded);
        QCOMPARE(received.path + (query.isEmpty() ? "" : "?" + query), target);
        for (const QString& header : headers.split('|', Qt::SkipEmptyParts)) {
            const QString name = header.section(": ", 0, 0);
            QCOMPARE(name + ": " + QString(received.header(name.toLatin1())), header);
        }
        if (body.isEmpty()) {
            QVERIFY(received.body.isEmpty());
        } else {
            QJsonObject sent = QJsonDocument::fromJson(received.body).object();
            QJsonObject time = sent.value("authPay").toObject();
            QString stamp = sent.value("payTime").toString() + time.value("reqTime").toString();
            QVERIFY2(!body.contains("{time}") || timeStamp.match(stamp).hasMatch(), qPrintable(stamp));
            QCOMPARE(sent, QJsonDocument::fromJson(QByteArray(body).replace("{time}", stamp.toUtf8())).object());
        }

        if (errorCode) {
            QCOMPARE(m_errors.errors.size(), 1);
            const RequestError& error = m_errors.errors[0].second;
            QCOMPARE(error.errorCode, errorCode);
            const QJsonObject sample = fake::FakeServices::sample("payment/denied").toObject();
            QCOMPARE(error.description, sample.value("reqUserNote").toString());
            QCOMPARE(error.debugMessage, sample.value("reqNote").toString());
            return;
        }
        QVERIFY2(m_errors.errors.isEmpty(), qPrintable(m_errors.errors.value(0).second.description));
        QCOMPARE(answers[0][0].toLongLong(), id);
        const QString wrong = check(answers[0][1]);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void emptyAddressesAreRefused()
    {
        QVERIFY(!static_data::ImageRequest().rawDataCreator()().isValid);
        QVERIFY(!pstv::ImageRequest().rawDataCreator()().isValid);
        QVERIFY(static_data::ImageRequest("/a.png").rawDataCreator()().isValid);
    }

    void timeStamps_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("east") << 3 * 3600 << "2026-12-06T12:00:00+03:00";
        QTest::newRow("utc") << 0 << "2026-12-06T12:00:00+00:00";
        QTest::newRow("west, half hours") << -(3 * 3600 + 1800) << "2026-12-06T12:00:00-03:30";
    }

    void timeStamps()
    {
        QFETCH(int, offset);
        QFETCH(QString, stamp);
        const QDateTime noon(QDate(2026, 12, 6), QTime(12, 0), Qt::OffsetFromUTC, offset);
        QCOMPARE(ps::paymentTimeStamp(noon), stamp);
    }

    // Every "reqStatus" and "payStatus" number, listed or not, and the key of its message.
    void paymentTexts()
    {
        const QHash<int, QString> errors{
            {-23, "ABANDON_DENIED"}, {-15, "REQUEST_DENIED"}, {-6, "BAD_CARD_FORMAT"}, {-5, "BAD_CURRENCY"},
            {-4, "BAD_FORMAT"}, {-3, "BAD_REQUEST"}, {-2, "ACCESS_DENIED"}, {-1, "BUSY"}, {0, "SUCCESS"},
            {1, "PAYMENT_NOT_FOUND"}, {2, "DENIED"}, {100, "BAD_CARD_NUMBER"}, {101, "INSUFFICIENT_MONEY"},
            {102, "CARD_EXPIRED"}, {103, "BAD_CARDHOLDER"}, {104, "LIMITS_EXCEEDED"}, {105, "UNAUTHORIZED"},
            {106, "ANTIFRAUD"}, {107, "3DS_REQUIRED"}, {108, "ACQUIRER_DISCARD"}, {109, "EMITENT_DISCARD"},
            {110, "CONNECT_FAILED"}};
        const QHash<int, QString> statuses{{-1, "PAY_STATUS_DENIED"},    {0, "PAY_STATUS_AUTHORIZING"},
                                           {1, "PAY_STATUS_AUTHORIZED"}, {2, "PAY_STATUS_ACCEPTING"},
                                           {3, "PAY_STATUS_ACCEPTED"},   {4, "PAY_STATUS_ABANDONING"},
                                           {5, "PAY_STATUS_ABANDONED"}};
        for (int number = -1100; number <= 1100; ++number) {
            QCOMPARE(ps::convertErrorToString(ps::ErrorType(number)), errors.value(number, "UNKNOWN_ERROR"));
            QCOMPARE(ps::convertPaymentStatusToString(ps::PaymentStatus(number)), statuses.value(number, "UNKNOWN_ERROR"));
        }
        QCOMPARE(ps::convertPhoneToPayComment("79990001122"), QString("79990001122_BANKCARD"));
        QCOMPARE(ps::convertPhoneToPayComment(QString()), QString());
    }

    void dictionaries()
    {
        fake::checkWireTable(b2b::playlist::typeDictionary(), {{"content", 1}}, {0}, 0);
        fake::checkWireTable(b2b::playlist::contentTypeDictionary(),
                             {{"media_item", 1}, {"channel", 2}, {"user_media_item", 3}, {"image", 4}}, {0}, 0);
        fake::checkWireTable(b2b::playlist::qualityTypeDictionary(), {{"SD", 1}, {"HD", 2}, {"Full HD", 2}, {"4K", 3}},
                             {0}, 0);
        fake::checkWireTable(syt::eventStatusDictionary(), {{"unknown", 0}, {"play", 1}, {"status", 2}}, {}, 0);
        const auto& images = static_data::imageTypeDictionary();
        QCOMPARE(images.size(), 3);
        QCOMPARE(images.value(0), QString("hd1080"));
        QCOMPARE(images.value(1), QString("hd720"));
        QCOMPARE(images.value(2), QString("sd576"));
        QCOMPARE(static_data::resourceSubsetDictionary().size(), 1);
        QCOMPARE(static_data::resourceSubsetDictionary().value(0), QString("qr"));
    }

    // The image requests' switches.
    void imageSwitches_data()
    {
        QTest::addColumn<RequestRawData>("raw");
        QTest::addColumn<bool>("cacheable");
        QTest::addColumn<bool>("checkSize");
        QTest::newRow("thumbnail") << thumbnails::ImageRequest().rawDataCreator()() << true << false;
        QTest::newRow("release notes image") << rn::ReleaseNotesImageRequest().rawDataCreator()() << true << false;
        QTest::newRow("static image") << static_data::ImageRequest("/a.png").rawDataCreator()() << true << true;
        QTest::newRow("static image, not cached")
            << static_data::ImageRequest("/a.png", false).rawDataCreator()() << false << true;
    }

    void imageSwitches()
    {
        QFETCH(RequestRawData, raw);
        QFETCH(bool, cacheable);
        QFETCH(bool, checkSize);
        QCOMPARE(raw.isCacheable, cacheable);
        QCOMPARE(raw.checkImageSize, checkSize);
        QCOMPARE(static_data::ImageRequest::imageRequestType(), 2);
    }

    // Every key of each answer, read and written back as it came.
    void answerKeys_data()
    {
        QTest::addColumn<fake::AnswerKeys>("check");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("thumbnails") << fake::answerKeys<thumbnails::PlaylistResponse>() << fake::json(
            "{'images': [{'id': 'sprite-0', 'url': 'http://th/0.jpg', 'width': 1600, 'height': 900,"
            " 'thumb_size': {'width': 160, 'height': 90}}],"
            " 'thumbs': [{'timestamp': 1733475600, 'image_id': 'sprite-0', 'region': {'left': 160, 'top': 90}}]}");
        QTest::newRow("hotel playlist") << fake::answerKeys<b2b::playlist::PlaylistResponse>() << fake::json(
            "{'id': 118, 'name': 'Lobby', 'description': 'All day', 'blocks': [{'title': 'Morning', 'order': 1,"
            " 'start_time': {'hours': 7, 'minutes': 30, 'seconds': 15}, 'is_cycled': true,"
            " 'ticker': {'text': 'Welcome', 'is_repeated': true, 'repeat_count': 3},"
            " 'items': [{'order': 2, 'duration': 600, 'type': 'content', 'content_item': {'content_type': 'channel',"
            "  'url': 'http://tv/1', 'quality': '4K', 'content_id': 10041, 'duration': 600,"
            "  'ticker': {'text': 'News', 'is_repeated': false, 'repeat_count': 1}}}]}]}");
        QTest::newRow("qr") << fake::answerKeys<syt::QrResponse>()
                            << fake::json("{'data': {'items': [{'base64': 'iVBOR', 'url': 'http://qr/1'}], 'totalItemsCount': 1}}");
        QTest::newRow("payment") << fake::answerKeys<ps::PaymentResponse>()
                                 << fake::json("{'payStatus': 3, 'reqStatus': 0, 'reqNote': 'OK', 'reqUserNote': 'Paid'}");
    }

    void answerKeys()
    {
        QFETCH(fake::AnswerKeys, check);
        QFETCH(QByteArray, answer);
        check(answer);
    }

    // Written back, the playlist keeps what it read except the offsets; "Full HD" becomes "HD".
    void hotelPlaylistWrittenBack()
    {
        b2b::playlist::PlaylistResponse playlist;
        playlist.fromJson(fake::FakeServices::sample("hotel/playlist").toObject());
        const QJsonObject item = playlist.toJson()["blocks"][0]["items"][1].toObject();
        QVERIFY(!item.contains("start_offset"));
        QCOMPARE(playlist.toJson()["blocks"][0]["items"][0]["content_item"]["quality"].toString(), QString("HD"));
        QCOMPARE(item["content_item"]["content_type"].toString(), QString("image"));
    }
};

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
