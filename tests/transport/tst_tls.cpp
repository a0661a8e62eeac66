// The HTTP worker against a TLS server on 127.0.0.1, with certificates that openssl makes
// when the test starts: a test authority the box trusts and one it does not, and server
// certificates that are good, self-signed, expired, not yet valid or for another host; and
// the two websockets (push receiver, party games) against a TLS websocket server.

#include "engine/tqcontext.h"
#include "notifications/notificationsreceiver_p.h"
#include "partystation/partystationclient_p.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/backends_p.h"
#include "transport/httprequestworker_p.h"

#include <QNetworkAccessManager>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>
#include <QTemporaryDir>
#include <QWebSocketServer>
#include <QtTest>

using namespace tq;

class TestTls : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    stbconfig::ConfigurationManager m_store;
    stbcore::FixedPropertyProvider m_provider;
    BackendSet m_backends = createBackends();

    QSslConfiguration serverConfiguration(const QString& certificate)
    {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(QSslCertificate::fromPath(m_dir.filePath(certificate + ".crt")).value(0));
        QFile key(m_dir.filePath(certificate + ".key"));
        if (key.open(QIODevice::ReadOnly))
            configuration.setPrivateKey(QSslKey(&key, QSsl::Ec));
        return configuration;
    }

    bool openssl(const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral("openssl"), arguments);
        return process.waitForFinished(60000) && process.exitCode() == 0;
    }

    // name.key and name.crt for `host`, self-signed (an authority) or by `issuer`, valid from
    // and until so many days from now.
    bool make(const QString& name, const QString& host, const QString& issuer = {}, int from = -1, int until = 30)
    {
        const QString san = QStringLiteral("subjectAltName=%1:%2").arg(QHostAddress(host).isNull() ? "DNS" : "IP", host);
        const QStringList request{"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                                  "-keyout", name + ".key", "-subj", "/CN=" + host, "-addext", san};
        if (issuer.isEmpty())
            return openssl(request + QStringList{"-x509", "-days", "30", "-out", name + ".crt", "-addext",
                                                 "basicConstraints=critical,CA:true"});
        const auto day = [](int days) {
            return QDateTime::currentDateTimeUtc().addDays(days).toString(QStringLiteral("yyyyMMddHHmmss'Z'"));
        };
        return openssl(request + QStringList{"-out", name + ".csr"})
               && openssl({"ca", "-batch", "-config", "ca.cnf", "-keyfile", issuer + ".key", "-cert", issuer + ".crt",
                           "-in", name + ".csr", "-out", name + ".crt", "-startdate", day(from), "-enddate", day(until)});
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("TQ_EMULATOR") || !QSslSocket::supportsSsl())
            QSKIP("no openssl program under the emulator, or no TLS backend");
        QFile config(m_dir.filePath("ca.cnf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[ca]\ndefault_ca=t\n[t]\ndatabase=index.txt\nserial=serial\nnew_certs_dir=.\ndefault_md=sha256\n"
                     "policy=p\ncopy_extensions=copy\nunique_subject=no\n[p]\ncommonName=supplied\n");
        config.close();
        QFile(m_dir.filePath("index.txt")).open(QIODevice::WriteOnly);
        QFile serial(m_dir.filePath("serial"));
        QVERIFY(serial.open(QIODevice::WriteOnly) && serial.write("01\n") == 3);
        serial.close();
        if (!make("trusted", "Test Authority"))
            QSKIP("openssl is not available to make the certificates");
        QVERIFY(make("stranger", "Unknown Authority") && make("self", "127.0.0.1"));
        QVERIFY(make("good", "127.0.0.1", "trusted") && make("unknown", "127.0.0.1", "stranger"));
        QVERIFY(make("expired", "127.0.0.1", "trusted", -400, -30) && make("future", "127.0.0.1", "trusted", 30, 400));
        QVERIFY(make("elsewhere", "other.example", "trusted")
                && make("elsewhere-expired", "other.example", "trusted", -400, -30));
        QSslConfiguration defaults = QSslConfiguration::defaultConfiguration(); // the box trusts the test authority
        defaults.addCaCertificates(m_dir.filePath("trusted.crt"));
        QSslConfiguration::setDefaultConfiguration(defaults);
    }

    void cleanup() { TlsPolicy::setClockIsSet(false); }

    void certificateProblems_data()
    {
        QTest::addColumn<QString>("certificate");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<bool>("clockIsSet");
        QTest::addColumn<QString>("refusal"); // what the error names; empty: answered
        QTest::newRow("default, self-signed") << "self" << false << false << "";
        QTest::newRow("default, another host, expired") << "elsewhere-expired" << false << true << "";
        QTest::newRow("verify, good") << "good" << true << true << "";
        QTest::newRow("verify, expired, clock not set") << "expired" << true << false << "";
        QTest::newRow("verify, not yet valid, clock not set") << "future" << true << false << "";
        QTest::newRow("verify, expired, clock set") << "expired" << true << true << "The certificate has expired";
        QTest::newRow("verify, not yet valid, clock set") << "future" << true << true << "is not yet valid";
        QTest::newRow("verify, self-signed") << "self" << true << false << "The certificate is self-signed";
        QTest::newRow("verify, another host") << "elsewhere" << true << false << "The host name did not match";
        QTest::newRow("verify, another host, expired, clock not set") << "elsewhere-expired" << true << false
                                                                       << "The host name did not match";
        QTest::newRow("verify, untrusted authority") << "unknown" << true << false << "The issuer certificate";
    }

    void certificateProblems()
    {
        QFETCH(QString, certificate);
        QFETCH(bool, verify);
        QFETCH(bool, clockIsSet);
        QFETCH(QString, refusal);
        QSslServer server; // answers every request with 200 "ok"
        server.setSslConfiguration(serverConfiguration(certificate));
        int answered = 0;
        connect(&server, &QSslServer::pendingConnectionAvailable, this, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket, &answered] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                ++answered;
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok");
            });
        });
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        m_store.setValue(QStringLiteral("Network"), QStringLiteral("verifyCertificates"), verify, stbconfig::Runtime);
        TlsPolicy::setClockIsSet(clockIsSet);

        RequestRawData data;
        data.httpMethod = QStringLiteral("GET");
        data.path = QStringLiteral("https://127.0.0.1:%1/x").arg(server.serverPort());
        data.isAbsoluteUrl = true;
        data.methodType = MethodType::GeneralRequest;
        AbstractBackend* backend = m_backends.byType.value(data.methodType);
        QNetworkAccessManager manager;
        HttpRequestWorker* worker = createHttpRequestWorker(data, backend->composeRequest(data, &m_store, &m_provider),
                                                            backend, {&m_store, false, nullptr, {}}, &manager);
        QVariant response;
        RequestError error;
        connect(worker, &HttpRequestWorker::finished, worker, &HttpRequestWorker::handleReply);
        connect(worker, &HttpRequestWorker::responseReceived, this, [&](qint64, const QVariant& r) { response = r; });
        connect(worker, &HttpRequestWorker::requestFailureInspectionRequired, this,
                [&](qint64, const RequestError& e) { error = e; });
        if (!refusal.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("request\\(3\\) TLS certificate refused: "));
        const RequestToken token = RequestToken::create(3);
        worker->execute(&manager, token);
        QTRY_VERIFY(response.isValid() || error.networkError != QNetworkReply::NoError);

        QCOMPARE(answered, refusal.isEmpty() ? 1 : 0);
        if (refusal.isEmpty()) {
            QCOMPARE(response, QVariant(QStringLiteral("ok")));
            return;
        }
        QCOMPARE(error.networkError, QNetworkReply::SslHandshakeFailedError);
        QVERIFY2(error.description.startsWith("TLS certificate refused: ") && error.description.contains(refusal)
                     && (clockIsSet || !error.description.contains("expired")),
                 qPrintable(error.description));
    }

    // The websockets follow the same policy: the receiver from its context's store, the party
    // client from its setter. A refused handshake never reaches the server's application.
    void websockets_data()
    {
        QTest::addColumn<bool>("party");
        QTest::addColumn<QString>("certificate");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<bool>("connects");
        QTest::newRow("receiver, default, self-signed") << false << "self" << false << true;
        QTest::newRow("receiver, verify, self-signed") << false << "self" << true << false;
        QTest::newRow("receiver, verify, good") << false << "good" << true << true;
        QTest::newRow("party, default, self-signed") << true << "self" << false << true;
        QTest::newRow("party, verify, another host") << true << "elsewhere" << true << false;
        QTest::newRow("party, verify, good") << true << "good" << true << true;
    }

    void websockets()
    {
        QFETCH(bool, party);
        QFETCH(QString, certificate);
        QFETCH(bool, verify);
        QFETCH(bool, connects);
        QWebSocketServer server(QStringLiteral("tls"), QWebSocketServer::SecureMode);
        server.setSslConfiguration(serverConfiguration(certificate));
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QSignalSpy accepted(&server, &QWebSocketServer::newConnection);
        const QString url = QStringLiteral("wss://127.0.0.1:%1/ws").arg(server.serverPort());
        m_store.setValue(QStringLiteral("Network"), QStringLiteral("verifyCertificates"), verify, stbconfig::Runtime);

        TqContext context(&m_store);
        NotificationsReceiver receiver;
        pstv::PartyStationClient client;
        QWebSocket* socket = party ? &pstv::PartyStationClientPrivate::get(&client)->socket
                                   : &NotificationsReceiverPrivate::get(&receiver)->socket;
        QSignalSpy failed(socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error));
        QSignalSpy reported(&receiver, &NotificationsReceiver::errorOccurred);
        if (party) {
            client.setTlsMode(verify ? TlsPolicy::Mode::Verify : TlsPolicy::Mode::AcceptAll);
            client.startListen(url);
        } else {
            receiver.init(&context);
            NotificationsReceiverPrivate::get(&receiver)->token = QStringLiteral("t"); // no token round first
            receiver.startListen(url);
        }
        if (connects) {
            QTRY_COMPARE(accepted.count(), 1);
            QCOMPARE(failed.count(), 0);
            return;
        }
        QTRY_VERIFY(failed.count() > 0);
        QCOMPARE(accepted.count(), 0);
        if (!party) {
            QTRY_COMPARE(reported.count(), 1);
            QVERIFY(reported.at(0).at(0).toString().startsWith("TLS certificate refused: "));
        }
    }
};

QTEST_GUILESS_MAIN(TestTls)
#include "tst_tls.moc"
