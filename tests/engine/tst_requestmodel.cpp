#include "transport/request.h"
#include "transport/requesterror.h"

#include <QtTest>

using namespace tq;

class TestRequestModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reasonPhrase_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("phrase");
        QTest::newRow("below range") << 99 << "Unknown";
        QTest::newRow("ok") << 200 << "OK";
        QTest::newRow("gap 306") << 306 << "Unknown";
        QTest::newRow("gap 425") << 425 << "Unknown";
        QTest::newRow("419 long text") << 419 << "Authentication Timeout (not in RFC 2616)";
        QTest::newRow("522 trailing blank") << 522 << "Connection Timed Out ";
        QTest::newRow("last") << 526 << "Invalid SSL Certificate";
        QTest::newRow("above range") << 527 << "Unknown";
        QTest::newRow("negative") << -200 << "Unknown";
    }
    void reasonPhrase()
    {
        QFETCH(int, code);
        QFETCH(QString, phrase);
        QCOMPARE(httpReasonPhrase(code), phrase);
    }

    void statusClassification_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("client");
        QTest::addColumn<bool>("server");
        QTest::addColumn<bool>("gateway");
        QTest::addColumn<bool>("serviceUpdate");
        QTest::newRow("399") << 399 << false << false << false << false;
        QTest::newRow("400") << 400 << true << false << false << false;
        QTest::newRow("408") << 408 << true << false << false << true;
        QTest::newRow("499") << 499 << true << false << false << false;
        QTest::newRow("500") << 500 << false << true << false << true;
        QTest::newRow("502") << 502 << false << true << true << false;
        QTest::newRow("503") << 503 << false << true << false << true;
        QTest::newRow("504") << 504 << false << true << true << false;
        QTest::newRow("599") << 599 << false << true << false << false;
        QTest::newRow("600") << 600 << false << false << false << false;
    }
    void statusClassification()
    {
        QFETCH(int, code);
        QFETCH(bool, client);
        QFETCH(bool, server);
        QFETCH(bool, gateway);
        QFETCH(bool, serviceUpdate);
        QCOMPARE(isHttpClientError(code), client);
        QCOMPARE(isHttpServerError(code), server);
        QCOMPARE(isGatewayError(code), gateway);
        QCOMPARE(isServiceUpdateError(code), serviceUpdate);
    }

    void metaTypeNames()
    {
        // Queued calls find the types by name, before anything else has used them.
        QVERIFY(QMetaType::fromName("tq::RequestError").isValid());
        QVERIFY(QMetaType::fromName("tq::RequestRawData").isValid());
        QCOMPARE(QMetaType::fromType<RequestError>().name(), "tq::RequestError");
        QCOMPARE(QMetaType::fromType<RequestRawData>().name(), "tq::RequestRawData");
    }

    void fullInfo_data()
    {
        QTest::addColumn<RequestError>("error");
        QTest::addColumn<QString>("info");
        QTest::newRow("default") << RequestError()
                                 << "reason: Unknown; http status code: undefined; TQ error code: 0 (Unknown); "
                                    "description: ''; debug message: ''";
        RequestError session;
        session.reason = RequestError::HttpClientError;
        session.httpStatusCode = 401;
        session.tqReason = RequestError::TqReason::SessionReplacementRequired;
        session.errorCode = 1000053;
        session.description = QStringLiteral("replace it");
        session.debugMessage = QStringLiteral("dbg");
        QTest::newRow("named code") << session
                                    << "reason: HttpClientError; http status code: 401; TQ error code: 1000053 "
                                       "(SessionReplacementRequired); description: 'replace it'; debug message: 'dbg'";
        RequestError unnamed;
        unnamed.reason = RequestError::HttpServerError;
        unnamed.httpStatusCode = 500;
        unnamed.tqReason = static_cast<RequestError::TqReason>(1000043);
        QTest::newRow("unnamed code") << unnamed
                                      << "reason: HttpServerError; http status code: 500; TQ error code: 1000043 "
                                         "(unnamed); description: ''; debug message: ''";
    }
    void fullInfo()
    {
        QFETCH(RequestError, error);
        QFETCH(QString, info);
        QCOMPARE(error.fullInfo(), info);
    }

    void equalityUsesKeyFieldsOnly()
    {
        RequestError a;
        a.reason = RequestError::HttpClientError;
        a.url = QUrl(QStringLiteral("http://127.0.0.1/x"));
        a.httpMethod = QStringLiteral("GET");
        RequestError b = a;
        b.description = QStringLiteral("other");
        b.path = QStringLiteral("/other");
        b.debugMessage = QStringLiteral("d");
        b.queryItems = QStringList{QStringLiteral("a=1")};
        b.retryAfter = 5;
        b.senderName = QStringLiteral("client");
        b.rawHeaders.append(qMakePair(QByteArray("a"), QByteArray("b")));
        QVERIFY(a == b);
        QVERIFY(!(a != b));

        const auto differsIn = [&a](auto mutate) {
            RequestError c = a;
            mutate(c);
            return c != a && !(c == a);
        };
        QVERIFY(differsIn([](RequestError& e) { e.reason = RequestError::InvalidRequest; }));
        QVERIFY(differsIn([](RequestError& e) { e.tqReason = RequestError::TqReason::BadRequest; }));
        QVERIFY(differsIn([](RequestError& e) { e.networkError = QNetworkReply::TimeoutError; }));
        QVERIFY(differsIn([](RequestError& e) { e.methodType = MethodType::TqImage; }));
        QVERIFY(differsIn([](RequestError& e) { e.url = QUrl(QStringLiteral("http://127.0.0.1/y")); }));
        QVERIFY(differsIn([](RequestError& e) { e.httpMethod = QStringLiteral("POST"); }));
        QVERIFY(differsIn([](RequestError& e) { e.errorCode = 1; }));
        QVERIFY(differsIn([](RequestError& e) { e.httpStatusCode = 404; }));
    }
};

QTEST_GUILESS_MAIN(TestRequestModel)
#include "tst_requestmodel.moc"
