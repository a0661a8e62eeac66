// The traffic recorder against the real engine: a session recorded against the fake platform
// and replayed by the fakeplatform program gives the host the same typed answers; no secret
// reaches the archive; the recorder keeps what its bounds allow, as HAR 1.2.

#include "fakehttpserver.h"
#include "fakeplatform.h"
#include "pathrequest.h"

#include "api/catalogue.h"
#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "model/response.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QCborMap>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tq;

namespace {

// A box's host: a store, the header values, a context and one client that waits for each answer.
struct Host : ITqRequestErrorHandler
{
    stbconfig::ConfigurationManager store;
    stbcore::FixedPropertyProvider provider;
    TqContext context{&store};
    std::unique_ptr<TqClientFacade> client{context.createClient(this)};
    QHash<qint64, QVariant> answers;
    QHash<qint64, RequestError> errors;

    Host()
    {
        context.setPropertyProvider(&provider);
        QObject::connect(client.get(), &TqClientFacade::dataReceived,
                         [this](qint64 id, const QVariant& answer) { answers.insert(id, answer); });
    }
    bool handleRequestError(qint64 id, const RequestError& error) override
    {
        errors.insert(id, error);
        return true;
    }
    TqConfigWrapper config() { return TqConfigWrapper(&store); }
    void setSession(const QString& id)
    {
        config().setSessionId(id);
        provider.session = id;
    }
    // The typed answer as the host sees it: the decoded object's JSON, or the failure.
    template<class Answer>
    QString ask(const AbstractRequest& request)
    {
        const qint64 id = client->sendRequest(&request);
        if (!QTest::qWaitFor([&] { return answers.contains(id) || errors.contains(id); }, 10000))
            return QStringLiteral("no answer");
        if (errors.contains(id))
            return QStringLiteral("error %1 %2").arg(errors[id].httpStatusCode).arg(errors[id].errorCode);
        if constexpr (std::is_same_v<Answer, QString>) {
            return answers[id].toString();
        } else if constexpr (std::is_same_v<Answer, ImageResponse>) {
            const ImageResponse image = answers[id].value<ImageResponse>();
            return QStringLiteral("image %1x%2 %3").arg(image.image().width()).arg(image.image().height())
                .arg(QString::fromLatin1(QCryptographicHash::hash(image.toData(), QCryptographicHash::Md5).toHex()));
        } else {
            return QString::fromUtf8(QJsonDocument(answers[id].value<Answer>().toJson()).toJson(QJsonDocument::Compact));
        }
    }
};

// What a box does in its first minutes, each typed answer in order. The platform's answers
// carry its session and websocket token; the host sends its PIN, and its session in a query.
// A host at a desk may keep a session of its own instead of the one the platform answers.
QStringList boxSession(Host& host, const QString& discoveryUrl, const QString& ownSession = QString())
{
    QStringList seen;
    const QString discovery = host.ask<DiscoverServicesResponse>(DiscoveryRequest(discoveryUrl));
    seen << discovery;
    const QJsonObject services = QJsonDocument::fromJson(discovery.toUtf8()).object();
    host.config().setApiUrl(services.value("api_url").toString());
    host.config().setImageUrl(services.value("img_url").toString());
    seen << host.ask<NewSessionResponse>(NewSessionRequest());
    host.setSession(!ownSession.isEmpty() ? ownSession
                                          : QJsonDocument::fromJson(seen.constLast().toUtf8()).object().value("session_id").toString());
    seen << host.ask<GetChannelsResponse>(GetChannelsRequest()); // CBOR
    GetEpgRequest guide;
    guide.channelsIds = {1, 2};
    guide.startTime = 1700000000;
    guide.limit = 2;
    seen << host.ask<GetEPGResponse>(guide);
    CreateFavoriteRequest favourite;
    favourite.body.contentId = 3;
    favourite.body.contentType = ContentItemType::Channel;
    seen << host.ask<IdFavoriteResponse>(favourite) << host.ask<IdFavoriteResponse>(favourite); // the second: 409
    seen << host.ask<GetAccountSettingsResponse>(AccountSettingsRequest());
    ChangePinRequest pin;
    pin.body.oldPin = QStringLiteral("2468");
    pin.body.newPin = QStringLiteral("1357");
    seen << host.ask<SuccessResponse>(pin);
    seen << host.ask<WsTokenResponse>(WsTokenRequest());
    // The session's own value in a query: recorded redacted, matched whatever it is.
    fake::PathRequest withSession(MethodType::TqApi, QStringLiteral("/user/account_settings"));
    withSession.query << "session_id=" + host.provider.session;
    seen << host.ask<QString>(withSession);
    seen << host.ask<ImageResponse>(ImageRequest(QStringLiteral("/poster.png"), QSize(320, 180)));
    return seen;
}

QJsonArray entriesOf(const QByteArray& archive)
{
    return QJsonDocument::fromJson(archive).object().value("log").toObject().value("entries").toArray();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTrafficRecorder : public QObject
{
    Q_OBJECT

private slots:
    // Recorded against a platform unlike a fresh one (nine channels, a failing route), the
    // session replayed by `fakeplatform --replay` to a host with a session of its own gives
    // the same answers: the secrets are "[redacted]" and the addresses the replaying server's.
    void recordedSessionReplays()
    {
        if (qEnvironmentVariableIsSet("TQ_EMULATOR"))
            QSKIP("the fakeplatform program cannot be started under the emulator (QProcess cannot fork there)");
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("session.har"));
        QStringList recorded;
        QString recordedHost;
        {
            fake::FakeHttpServer server;
            fake::FakePlatform platform(server);
            platform.setChannelCount(9);
            fake::PlatformFault fault;
            fault.status = 500;
            fault.errorCode = 6000001;
            platform.setFault("GET", QStringLiteral("/user/account_settings"), fault);
            Host host;
            host.context.setTrafficRecording({100, 8 * 1024 * 1024, 1024 * 1024});
            recorded = boxSession(host, platform.discoveryUrl());
            QVERIFY(host.context.writeTrafficArchive(archive));
            recordedHost = QUrl(server.baseUrl()).authority();
            QVERIFY2(recorded.filter("\"tq_channel_id\":1009").size() == 1, qPrintable(recorded.join('\n')));
            QCOMPARE(recorded.at(6), QStringLiteral("error 500 6000001"));
            QCOMPARE(recorded.at(9), QStringLiteral("error 500 6000001"));
        } // the recording's servers are gone: only the replay can answer now

        QProcess replay;
        replay.setStandardErrorFile(QProcess::nullDevice()); // its line per request
        replay.start(QStringLiteral(TQ_FAKEPLATFORM), {"--port", "0", "--replay", archive});
        QVERIFY(replay.waitForReadyRead(30000));
        const QString first = QString::fromLatin1(replay.readLine()).trimmed();
        QVERIFY2(first.startsWith("listening on 127.0.0.1:"), qPrintable(first));
        const QString replayHost = first.section(' ', 2);
        Host host;
        const QStringList replayed = boxSession(host, "http://" + replayHost + "/discovery", QStringLiteral("desk-1"));
        // What was not recorded gets the ordinary routes, with the desk's own session.
        const QString unrecorded = host.ask<GetAccountSummaryResponse>(AccountSummaryRequest());
        QVERIFY2(!unrecorded.startsWith("error") && !unrecorded.startsWith("no answer"), qPrintable(unrecorded));
        replay.kill();
        replay.waitForFinished();

        QStringList expected;
        for (QString answer : std::as_const(recorded)) {
            // The session and the websocket token the platform issued; the CDN token of the samples.
            const std::pair<const char*, const char*> secrets[] = {
                {"\"session-1\"", "\"[redacted]\""}, {"\"token-1\"", "\"[redacted]\""}, {"token=ab12", "token=[redacted]"}};
            for (const auto& [secret, redacted] : secrets)
                answer.replace(QLatin1String(secret), QLatin1String(redacted));
            expected << answer.replace(recordedHost, replayHost);
        }
        QCOMPARE(replayed.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(replayed.at(i) == expected.at(i),
                     qPrintable(QStringLiteral("answer %1\nreplayed: %2\nexpected: %3").arg(i).arg(replayed.at(i), expected.at(i))));
    }

    // Each place a secret can travel, recorded in one exchange: the file keeps the exchange
    // and the place ("[redacted]"), never the secret, not even in a base64 body.
    void noSecretInArchive_data()
    {
        QTest::addColumn<QString>("target"); // below the server, after the API's prefix for TqApi
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("requestBody");
        QTest::addColumn<QByteArray>("answerType");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("answerHeader"); // "Name: value", or empty
        QTest::addColumn<QString>("secret");
        const int api = int(MethodType::TqApi), general = int(MethodType::GeneralRequest);
        const QByteArray json = "application/json";
        QTest::newRow("session id in the request's header") << "/a" << api << QByteArray() << json << QByteArray("{}") << QByteArray() << "S3cr3t-sess";
        QTest::newRow("session id in the answer") << "/a" << api << QByteArray() << json << QByteArray(R"({"session_id": "S3cr3t-sess", "session_state": "normal"})") << QByteArray() << "S3cr3t-sess";
        QTest::newRow("token in the answer") << "/a" << api << QByteArray() << json << QByteArray(R"({"expire_at": 1, "token": "S3cr3t-tok"})") << QByteArray() << "S3cr3t-tok";
        QTest::newRow("password in the request") << "/a" << api << QByteArray(R"({"new_password":"S3cr3t-new","password":"S3cr3t-old"})") << json << QByteArray("{}") << QByteArray() << "S3cr3t-old";
        QTest::newRow("PIN as a number") << "/a" << api << QByteArray(R"({"pin_code": 7351982})") << json << QByteArray("{}") << QByteArray() << "7351982";
        QTest::newRow("token in the query") << "/a?page=2&token=S3cr3t-q" << general << QByteArray() << json << QByteArray("{}") << QByteArray() << "S3cr3t-q";
        QTest::newRow("cookie of the answer") << "/a" << general << QByteArray() << json << QByteArray("{}") << QByteArray("Set-Cookie: sid=S3cr3t-c; Path=/") << "S3cr3t-c";
        QTest::newRow("token in a CBOR answer") << "/a" << general << QByteArray() << QByteArray("application/cbor")
                                                << QCborValue(QCborMap{{"stream", QCborMap{{"cdn_token", "S3cr3t-cbor"}}}}).toCbor() << QByteArray() << "S3cr3t-cbor";
        QTest::newRow("token of an address in the answer") << "/a" << general << QByteArray() << json << QByteArray("{\"url\": \"http://cdn.example/v.m3u8?token=S3cr3t-u&q=1\"}") << QByteArray() << "S3cr3t-u";
        QTest::newRow("session id cut by the body limit") << "/a" << general << QByteArray() << json
                                                          << QByteArray(R"({"items": [], "session_id": "S3cr3t-cut-inside-the-value-at-the-limit"})") << QByteArray() << "S3cr3t-cut";
    }

    void noSecretInArchive()
    {
        QFETCH(QString, target);
        QFETCH(int, type);
        QFETCH(QByteArray, requestBody);
        QFETCH(QByteArray, answerType);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, answerHeader);
        QFETCH(QString, secret);
        fake::FakeHttpServer server;
        fake::HttpResponse response = fake::HttpResponse::withBody(200, answerType, answer);
        if (!answerHeader.isEmpty())
            response.header(answerHeader.left(answerHeader.indexOf(':')), answerHeader.mid(answerHeader.indexOf(':') + 1).trimmed());
        server.route("*", QStringLiteral("/api/v2/a"), [response](const fake::HttpRequest&) { return response; });
        server.route("*", QStringLiteral("/a"), [response](const fake::HttpRequest&) { return response; });
        Host host;
        host.config().setApiUrl(server.baseUrl());
        host.setSession(QStringLiteral("S3cr3t-sess"));
        // The limit falls inside the last row's value; every other body fits.
        host.context.setTrafficRecording({10, 1024 * 1024, 60});
        const bool isApi = type == int(MethodType::TqApi);
        fake::PathRequest request(MethodType(type), isApi ? target : server.baseUrl() + target,
                                  requestBody.isEmpty() ? httpGetMethod() : QStringLiteral("POST"));
        request.body = requestBody;
        QVERIFY(host.ask<QString>(request) != QLatin1String("no answer"));

        QTemporaryDir dir;
        QVERIFY(host.context.writeTrafficArchive(dir.filePath("a.har")));
        const QByteArray archive = readFile(dir.filePath("a.har"));
        const QJsonArray entries = entriesOf(archive);
        QCOMPARE(entries.size(), 1);
        QVERIFY(archive.contains("[redacted]") || archive.contains("%5Bredacted%5D"));
        QVERIFY2(!archive.contains(secret.toUtf8()), archive.constData());
        const QJsonObject content = entries.at(0)["response"]["content"].toObject();
        if (content["encoding"] == QLatin1String("base64")) {
            const QByteArray body = QByteArray::fromBase64(content["text"].toString().toLatin1());
            QVERIFY(!body.isEmpty());
            QVERIFY(!body.contains(secret.toUtf8()));
        }
    }

    // What is kept of a run of exchanges ("/1", "/2", ...; each answer its body): which, and
    // each body whole, cut, left out, or in base64.
    void bounds_data()
    {
        QTest::addColumn<int>("exchanges"); // -1: never set
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<qint64>("maxBodyBytes");
        QTest::addColumn<QList<QByteArray>>("answers");
        QTest::addColumn<bool>("offAfter");
        QTest::addColumn<QString>("kept"); // "path body" per exchange kept, oldest first
        const QByteArray text(1200, 'a'), png = fake::pngBody(QSize(64, 64));
        const qint64 mb = 1024 * 1024;
        QTest::newRow("off by default") << -1 << mb << mb << QList<QByteArray>{text, text} << false << "";
        QTest::newRow("the latest two") << 2 << mb << mb << QList<QByteArray>{text, png, text} << false << "/2 base64, /3 whole";
        QTest::newRow("two bodies over the bytes bound") << 10 << qint64(2500) << mb << QList<QByteArray>{text, text, text} << false << "/3 whole";
        QTest::newRow("alone over the bytes bound, without bodies") << 10 << qint64(1000) << mb << QList<QByteArray>{text} << false << "/1 left out";
        QTest::newRow("text cut at the body limit") << 10 << mb << qint64(100) << QList<QByteArray>{text} << false << "/1 cut";
        QTest::newRow("binary over the body limit") << 10 << mb << qint64(100) << QList<QByteArray>{png} << false << "/1 left out";
        QTest::newRow("turned off, forgotten") << 10 << mb << mb << QList<QByteArray>{text} << true << "";
    }

    void bounds()
    {
        QFETCH(int, exchanges);
        QFETCH(qint64, maxBytes);
        QFETCH(qint64, maxBodyBytes);
        QFETCH(QList<QByteArray>, answers);
        QFETCH(bool, offAfter);
        QFETCH(QString, kept);
        fake::FakeHttpServer server;
        server.route("GET", QStringLiteral("/{n}"), [&answers](const fake::HttpRequest& r) {
            const QByteArray body = answers.value(r.path.mid(1).toInt() - 1);
            return fake::HttpResponse::withBody(200, body.startsWith("\x89PNG") ? "image/png" : "text/plain", body);
        });
        Host host;
        if (exchanges >= 0)
            host.context.setTrafficRecording({exchanges, maxBytes, maxBodyBytes});
        for (int i = 1; i <= answers.size(); ++i)
            QVERIFY(host.ask<QString>(fake::PathRequest(MethodType::GeneralRequest, server.baseUrl() + "/" + QString::number(i))) != "no answer");
        if (offAfter)
            host.context.setTrafficRecording({});

        QTemporaryDir dir;
        QVERIFY(host.context.writeTrafficArchive(dir.filePath("a.har")));
        const QJsonObject log = QJsonDocument::fromJson(readFile(dir.filePath("a.har"))).object()["log"].toObject();
        QCOMPARE(log["version"].toString(), QStringLiteral("1.2"));
        QStringList seen;
        for (const QJsonValue& entry : log["entries"].toArray()) {
            const QJsonObject content = entry["response"]["content"].toObject();
            const QString path = QUrl(entry["request"]["url"].toString()).path();
            const QByteArray served = answers.value(path.mid(1).toInt() - 1);
            QCOMPARE(content["size"].toInt(), served.size());
            const QByteArray body = content["encoding"] == QLatin1String("base64") ? QByteArray::fromBase64(content["text"].toString().toLatin1())
                                                                                 : content["text"].toString().toUtf8();
            QVERIFY(served.startsWith(body)); // what is kept is the answer, or its beginning
            const QString state = !content.contains("text")         ? "left out"
                                  : content["_truncated"].toBool()  ? QString("cut") + (body.size() == 100 ? "" : " wrong")
                                  : content.contains("encoding")    ? "base64"
                                                                    : body == served ? "whole" : "wrong";
            seen << path + " " + state;
            QCOMPARE(entry["time"].toDouble(), entry["timings"]["blocked"].toDouble() + entry["timings"]["wait"].toDouble());
            QVERIFY(QDateTime::fromString(entry["startedDateTime"].toString(), Qt::ISODateWithMs).isValid());
        }
        QCOMPARE(seen.join(", "), kept);
    }
};

QTEST_GUILESS_MAIN(TestTrafficRecorder)
#include "tst_trafficrecorder.moc"
