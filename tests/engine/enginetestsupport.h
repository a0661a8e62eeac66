#pragma once
// Requests and handlers shared by the engine tests.

#include "engine/clientfacade.h"
#include "engine/request.h"
#include "engine/requesterror.h"
#include "fakehttpserver.h"
#include "pathrequest.h"

#include <QList>
#include <QPair>
#include <QSemaphore>
#include <QSignalSpy>

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

} // namespace enginetest
