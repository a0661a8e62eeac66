#pragma once
// Requests and handlers shared by the engine tests.

#include "engine/clientfacade.h"
#include "transport/request.h"
#include "transport/requesterror.h"
#include "engine/tqcontext.h"
#include "fakehttpserver.h"
#include "pathrequest.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QList>
#include <QPair>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace enginetest {

using TestRequest = fake::PathRequest;

// A request whose creator, run on the worker thread, waits for the semaphore: it holds the
// dispatcher while the test queues events behind it. It is then refused (no backend).
class GateRequest : public tq::AbstractRequest
{
public:
    explicit GateRequest(QSemaphore* gate) : m_gate(gate) {}
    std::function<tq::RequestRawData()> rawDataCreator() const override
    {
        return [gate = m_gate] {
            gate->acquire();
            tq::RequestRawData raw;
            raw.methodType = tq::MethodType::FirmwareFile;
            return raw;
        };
    }

private:
    QSemaphore* m_gate;
};

// Records every error it sees; takes it when `takes` is set.
class RecordingHandler : public tq::ITqRequestErrorHandler
{
public:
    explicit RecordingHandler(bool takes = true) : takes(takes) {}
    bool handleRequestError(qint64 id, const tq::RequestError& error) override
    {
        errors.append(qMakePair(id, error));
        return takes;
    }

    bool takes;
    QList<QPair<qint64, tq::RequestError>> errors;
};

inline fake::HttpResponse text(const QByteArray& body, int status = 200)
{
    return fake::HttpResponse::withBody(status, "text/plain", body);
}

// The ids a client's dataReceived spy has seen, and the answer to one of them.
inline QList<qint64> answeredIds(const QSignalSpy& spy)
{
    QList<qint64> ids;
    for (const QList<QVariant>& args : spy)
        ids.append(args.at(0).toLongLong());
    return ids;
}

inline QVariant answerFor(const QSignalSpy& spy, qint64 id)
{
    const qsizetype at = answeredIds(spy).indexOf(id);
    return at < 0 ? QVariant() : spy.at(at).at(1);
}

// A context over a fresh store whose services all point at one fake server, which answers
// "/sentinel" with "ok".
struct EngineFixture
{
    std::unique_ptr<stbconfig::ConfigurationManager> store;
    std::unique_ptr<stbcore::FixedPropertyProvider> provider;
    std::unique_ptr<fake::FakeHttpServer> server;
    std::unique_ptr<tq::TqContext> context;

    tq::TqConfigWrapper config() const { return tq::TqConfigWrapper(store.get()); }

    void setUp()
    {
        store = std::make_unique<stbconfig::ConfigurationManager>();
        provider = std::make_unique<stbcore::FixedPropertyProvider>();
        provider->agent = QStringLiteral("tq-test");
        server = std::make_unique<fake::FakeHttpServer>();
        server->route("*", QStringLiteral("/sentinel"), [](const fake::HttpRequest&) { return text("ok"); });
        config().setApiUrl(server->baseUrl());
        config().setImageUrl(server->baseUrl());
        config().setSpyUrl(server->baseUrl() + QStringLiteral("/spy"));
        store->setValue(QStringLiteral("StaticData"), QStringLiteral("url"), server->baseUrl(), stbconfig::Runtime);
        config().setGetShopUrl(server->baseUrl());
        context = std::make_unique<tq::TqContext>(store.get());
        context->setPropertyProvider(provider.get());
    }

    void tearDown()
    {
        context.reset();
        server.reset();
        provider.reset();
        store.reset();
    }

    // Sends a request and waits for its answer: anything sent before it has had its chance.
    [[nodiscard]] bool sentinelAnswered(tq::TqClientFacade* client, QSignalSpy& answers) const
    {
        const TestRequest sentinel(tq::MethodType::GeneralRequest, server->url(QStringLiteral("/sentinel")).toString());
        const qint64 id = client->sendRequest(&sentinel);
        return QTest::qWaitFor([&] { return answeredIds(answers).contains(id); }, 10000);
    }
};

} // namespace enginetest
