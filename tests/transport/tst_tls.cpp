// The HTTP worker against a TLS server on 127.0.0.1, with certificates that openssl makes
// when the test starts: a test authority the box trusts and one it does not, and server
// certificates that are good, self-signed, expired, not yet valid or for another host.

#include "engine/requesttoken.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/backends.h"
#include "transport/httprequestworker.h"
#include "transport/tlspolicy.h"

#include <QNetworkAccessManager>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace tq;

namespace {

// Answers every request on every encrypted connection with 200 "ok".
class TlsHttpServer : public QSslServer
{
public:
    explicit TlsHttpServer(const QSslConfiguration& configuration)
    {
        setSslConfiguration(configuration);
        connect(this, &QSslServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return;
                    ++answered;
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok");
                });
            }
        });
        listen(QHostAddress::LocalHost, 0);
    }
    int answered = 0;
};

} // namespace

class TestTls : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    stbconfig::ConfigurationManager m_store;
    stbcore::FixedPropertyProvider m_provider;
    BackendSet m_backends = createBackends();

    bool openssl(const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral("openssl"), arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            qWarning() << "openssl" << arguments << process.readAllStandardError();
            return false;
        }
        return true;
    }

    QString file(const QString& name) const { return m_dir.filePath(name); }

    // A key and a certificate request for `host` (an IP address or a DNS name).
    bool request(const QString& name, const QString& host)
    {
        const bool ip = !QHostAddress(host).isNull();
        return openssl({"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                        name + ".key", "-out", name + ".csr", "-subj", "/CN=" + host, "-addext",
                        QStringLiteral("subjectAltName=%1:%2").arg(ip ? "IP" : "DNS", host)});
    }

    bool authority(const QString& name)
    {
        return openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", name + ".key", "-out", name + ".crt", "-days", "30", "-subj", "/CN=" + name,
                        "-addext", "basicConstraints=critical,CA:true"});
    }

    // A server certificate signed by `issuer`, valid between the two times (YYYYMMDDHHMMSSZ).
    bool sign(const QString& name, const QString& issuer, const QString& from, const QString& until)
    {
        return openssl({"ca", "-batch", "-config", "ca.cnf", "-keyfile", issuer + ".key", "-cert", issuer + ".crt",
                        "-in", name + ".csr", "-out", name + ".crt", "-startdate", from, "-enddate", until});
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("TQ_EMULATOR"))
            QSKIP("openssl cannot be started under the emulator");
        if (!QSslSocket::supportsSsl())
            QSKIP("this Qt has no TLS backend");
        QVERIFY(m_dir.isValid());
        QFile config(file("ca.cnf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[ca]\ndefault_ca = test\n[test]\ndatabase = index.txt\nserial = serial\nnew_certs_dir = .\n"
                     "default_md = sha256\npolicy = any\ncopy_extensions = copy\nunique_subject = no\n"
                     "[any]\ncommonName = supplied\n");
        config.close();
        QFile(file("index.txt")).open(QIODevice::WriteOnly);
        QFile serial(file("serial"));
        QVERIFY(serial.open(QIODevice::WriteOnly) && serial.write("01\n") == 3);
        serial.close();

        const QDateTime now = QDateTime::currentDateTimeUtc();
        const auto at = [&now](int days) { return now.addDays(days).toString(QStringLiteral("yyyyMMddHHmmss'Z'")); };
        if (!authority("trusted") || !authority("stranger"))
            QSKIP("openssl is not available to make the certificates");
        for (const char* name : {"good", "expired", "future", "unknown"})
            QVERIFY(request(name, "127.0.0.1"));
        QVERIFY(request("elsewhere", "other.example"));
        QVERIFY(request("elsewhere-expired", "other.example"));
        QVERIFY(sign("good", "trusted", at(-1), at(30)));
        QVERIFY(sign("expired", "trusted", at(-400), at(-30)));
        QVERIFY(sign("future", "trusted", at(30), at(400)));
        QVERIFY(sign("unknown", "stranger", at(-1), at(30)));
        QVERIFY(sign("elsewhere", "trusted", at(-1), at(30)));
        QVERIFY(sign("elsewhere-expired", "trusted", at(-400), at(-30)));
        QVERIFY(openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                         "-keyout", "self.key", "-out", "self.crt", "-days", "30", "-subj", "/CN=127.0.0.1",
                         "-addext", "subjectAltName=IP:127.0.0.1"}));

        // The box trusts the test authority (besides the system's).
        QSslConfiguration defaults = QSslConfiguration::defaultConfiguration();
        defaults.addCaCertificates(file("trusted.crt"));
        QSslConfiguration::setDefaultConfiguration(defaults);
        m_store.setValue(QStringLiteral("Network"), QStringLiteral("requestTimeout"), 30, stbconfig::Runtime);
    }

    void cleanup()
    {
        TlsPolicy::setClockIsSet(false);
    }

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
        QTest::newRow("verify, not yet valid, clock set") << "future" << true << true
                                                          << "The certificate is not yet valid";
        QTest::newRow("verify, self-signed") << "self" << true << false << "The certificate is self-signed";
        QTest::newRow("verify, another host") << "elsewhere" << true << false
                                              << "The host name did not match any of the valid hosts";
        QTest::newRow("verify, another host, expired, clock not set")
            << "elsewhere-expired" << true << false << "The host name did not match any of the valid hosts";
        QTest::newRow("verify, untrusted authority") << "unknown" << true << false
                                                     << "The issuer certificate of a locally looked up certificate";
    }

    void certificateProblems()
    {
        QFETCH(QString, certificate);
        QFETCH(bool, verify);
        QFETCH(bool, clockIsSet);
        QFETCH(QString, refusal);
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        const QList<QSslCertificate> chain = QSslCertificate::fromPath(file(certificate + ".crt"));
        QCOMPARE(chain.size(), 1);
        configuration.setLocalCertificate(chain.first());
        QFile keyFile(file(certificate + ".key"));
        QVERIFY(keyFile.open(QIODevice::ReadOnly));
        configuration.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
        TlsHttpServer server(configuration);
        QVERIFY(server.isListening());
        m_store.setValue(QStringLiteral("Network"), QStringLiteral("verifyCertificates"), verify, stbconfig::Runtime);
        TlsPolicy::setClockIsSet(clockIsSet);

        RequestRawData data;
        data.httpMethod = QStringLiteral("GET");
        data.path = QStringLiteral("https://127.0.0.1:%1/x").arg(server.serverPort());
        data.isAbsoluteUrl = true;
        data.methodType = MethodType::GeneralRequest;
        AbstractBackend* backend = m_backends.byType.value(data.methodType);
        QNetworkAccessManager manager;
        HttpRequestWorker* worker = createHttpRequestWorker(
            data, backend->composeRequest(data, &m_store, &m_provider), backend, {&m_store, false, nullptr, {}}, &manager);
        QVariant response;
        RequestError error;
        bool done = false;
        connect(worker, &HttpRequestWorker::finished, worker, &HttpRequestWorker::handleReply);
        connect(worker, &HttpRequestWorker::responseReceived, this, [&](qint64, const QVariant& r) {
            response = r;
            done = true;
        });
        connect(worker, &HttpRequestWorker::requestFailureInspectionRequired, this,
                [&](qint64, const RequestError& e) {
                    error = e;
                    done = true;
                });
        if (!refusal.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("request\\(3\\) TLS certificate refused: "));
        const RequestToken token = RequestToken::create(3);
        worker->execute(&manager, token);
        QTRY_VERIFY(done);

        if (refusal.isEmpty()) {
            QCOMPARE(response, QVariant(QStringLiteral("ok")));
            QCOMPARE(server.answered, 1);
            return;
        }
        QCOMPARE(error.networkError, QNetworkReply::SslHandshakeFailedError);
        QVERIFY2(error.description.startsWith(QLatin1String("TLS certificate refused: ")), qPrintable(error.description));
        QVERIFY2(error.description.contains(refusal), qPrintable(error.description));
        QVERIFY2(clockIsSet || !error.description.contains(QLatin1String("expired")), qPrintable(error.description));
        QCOMPARE(server.answered, 0);
    }
};

QTEST_GUILESS_MAIN(TestTls)
#include "tst_tls.moc"
