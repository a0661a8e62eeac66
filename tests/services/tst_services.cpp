// The auxiliary services and the party-games HTTP side through the whole engine: one table
// of every request as the fake services receive it and of its answer decoded from their
// samples; then the payment service's own pieces.

#include "enginetestsupport.h"
#include "fakeservices.h"

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

    void paymentTexts()
    {
        QCOMPARE(ps::convertErrorToString(ps::ErrorType(999)), QString("UNKNOWN_ERROR"));
        QCOMPARE(ps::convertErrorToString(ps::ErrorType::ThreeDSRequired), QString("3DS_REQUIRED"));
        QCOMPARE(ps::convertErrorToString(ps::ErrorType::Success), QString("SUCCESS"));
        QCOMPARE(ps::convertPaymentStatusToString(ps::PaymentStatus::Denied), QString("PAY_STATUS_DENIED"));
        QCOMPARE(ps::convertPaymentStatusToString(ps::PaymentStatus::ErrorOccurred), QString("UNKNOWN_ERROR"));
        QCOMPARE(ps::convertPhoneToPayComment(QString()), QString());
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
