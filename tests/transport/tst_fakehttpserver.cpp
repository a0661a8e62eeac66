// The fake server's faults, seen through QNetworkAccessManager: the soak and the worker tests
// count on each fault reaching a real client as the fault it claims to be. (What the server
// records is read by every worker test.) And the fake platform's websocket, where its
// discovery says it is.

#include "fakehttpserver.h"
#include "fakeplatform.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QWebSocket>
#include <QtTest>

using fake::Faults;
using fake::HttpResponse;

class TestFakeHttpServer : public QObject
{
    Q_OBJECT

private slots:
    void faults_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("chunkSize");
        QTest::addColumn<qint64>("contentLength");
        QTest::addColumn<int>("close");
        QTest::addColumn<int>("error");
        QTest::addColumn<QByteArray>("received");

        const QByteArray body(2000, 'b');
        const int none = int(Faults::Close::Never);
        QTest::newRow("plain") << 0 << 0 << qint64(-1) << none << int(QNetworkReply::NoError) << body;
        QTest::newRow("delayed") << 50 << 0 << qint64(-1) << none << int(QNetworkReply::NoError) << body;
        QTest::newRow("slow chunks") << 0 << 300 << qint64(-1) << none << int(QNetworkReply::NoError) << body;
        QTest::newRow("short length") << 0 << 0 << qint64(100) << none << int(QNetworkReply::NoError) << body.left(100);
        QTest::newRow("long length") << 0 << 0 << qint64(5000) << none << int(QNetworkReply::RemoteHostClosedError)
                                     << body;
        QTest::newRow("closed before the answer")
            << 0 << 0 << qint64(-1) << int(Faults::Close::BeforeAnswer) << int(QNetworkReply::RemoteHostClosedError)
            << QByteArray();
        QTest::newRow("closed mid-body") << 0 << 0 << qint64(-1) << int(Faults::Close::MidBody)
                                         << int(QNetworkReply::RemoteHostClosedError) << body.left(1000);
    }

    void faults()
    {
        QFETCH(int, delayMs);
        QFETCH(int, chunkSize);
        QFETCH(qint64, contentLength);
        QFETCH(int, close);
        QFETCH(int, error);
        QFETCH(QByteArray, received);
        fake::FakeHttpServer server;
        Faults faults;
        faults.delayMs = delayMs;
        faults.chunkSize = chunkSize;
        faults.contentLength = contentLength;
        faults.close = Faults::Close(close);
        server.route("GET", "/f", [](const fake::HttpRequest&) {
            return HttpResponse::withBody(200, "text/plain", QByteArray(2000, 'b'));
        }, faults);

        QNetworkAccessManager manager;
        std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(server.url("/f"))));
        QTRY_VERIFY(reply->isFinished());
        QCOMPARE(int(reply->error()), error);
        QCOMPARE(reply->readAll(), received);
    }

    // A host that follows discovery gets its pushes: "ws_url" answers on the platform's port.
    void pushAtDiscoveredWebSocket()
    {
        fake::FakeHttpServer server;
        fake::FakePlatform platform(server);
        platform.addSession(QStringLiteral("s"));
        QNetworkAccessManager manager;
        const auto ask = [&manager](QNetworkRequest request, const QByteArray& method) {
            request.setRawHeader("session_id", "s");
            std::unique_ptr<QNetworkReply> reply(manager.sendCustomRequest(request, method));
            return QTest::qWaitFor([&reply] { return reply->isFinished(); }) ? QJsonDocument::fromJson(reply->readAll()).object()
                                                                             : QJsonObject();
        };
        const QUrl wsUrl(ask(QNetworkRequest(server.url("/discovery")), "GET").value("ws_url").toString());
        QCOMPARE(wsUrl.port(), int(server.port()));
        const QString token = ask(QNetworkRequest(server.url("/api/v2/user/ws_token")), "POST").value("token").toString();
        QVERIFY(!token.isEmpty());

        QWebSocket socket;
        QSignalSpy messages(&socket, &QWebSocket::textMessageReceived);
        socket.open(QUrl(wsUrl.toString() + "?token=" + token));
        QTRY_COMPARE(platform.push().clientCount(), 1);
        platform.push().sendText(QStringLiteral(R"({"event_code": "ping"})"));
        QTRY_COMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral(R"({"event_code": "ping"})"));
        socket.close();
        QTRY_COMPARE(platform.push().clientCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestFakeHttpServer)
#include "tst_fakehttpserver.moc"
