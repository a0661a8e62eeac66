// The fake server itself, seen through QNetworkAccessManager: what each fault looks like
// to a real client, keep-alive, and what the server records.

#include "fakehttpserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>

using fake::Faults;
using fake::HttpResponse;

class TestFakeHttpServer : public QObject
{
    Q_OBJECT

private:
    // Sends a GET and waits until it is finished; the caller owns the reply.
    QNetworkReply* get(QNetworkAccessManager& manager, const QUrl& url)
    {
        QNetworkReply* reply = manager.get(QNetworkRequest(url));
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished())
            finished.wait(10000);
        return reply;
    }

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
        std::unique_ptr<QNetworkReply> reply(get(manager, server.url("/f")));
        QVERIFY(reply->isFinished());
        QCOMPARE(int(reply->error()), error);
        QCOMPARE(reply->readAll(), received);
    }

    void keepsConnectionsAliveAndRecordsRequests()
    {
        fake::FakeHttpServer server;
        server.route("POST", "/echo", [](const fake::HttpRequest& r) {
            return HttpResponse::withBody(201, "application/octet-stream", r.body).header("X-Seen", r.header("x-in"));
        });
        QNetworkAccessManager manager;
        for (int i = 0; i < 3; ++i) {
            QNetworkRequest request(server.url(QStringLiteral("/echo?n=%1&s=a%20b").arg(i)));
            request.setRawHeader("X-In", QByteArray::number(i));
            std::unique_ptr<QNetworkReply> reply(manager.post(request, QByteArray("body") + char('0' + i)));
            QSignalSpy finished(reply.get(), &QNetworkReply::finished);
            QVERIFY(finished.wait(10000));
            QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 201);
            QCOMPARE(reply->rawHeader("X-Seen"), QByteArray::number(i));
            QCOMPARE(reply->readAll(), QByteArray("body") + char('0' + i));
        }
        QCOMPARE(server.connectionCount(), 1);
        const QList<fake::HttpRequest> seen = server.requests();
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[2].method, QByteArray("POST"));
        QCOMPARE(seen[2].path, QStringLiteral("/echo"));
        QCOMPARE(seen[2].query.queryItemValue("n"), QStringLiteral("2"));
        QCOMPARE(seen[2].query.queryItemValue("s", QUrl::FullyDecoded), QStringLiteral("a b"));
        QCOMPARE(seen[2].header("x-in"), QByteArray("2"));
        QCOMPARE(seen[2].body, QByteArray("body2"));
    }
};

QTEST_GUILESS_MAIN(TestFakeHttpServer)
#include "tst_fakehttpserver.moc"
