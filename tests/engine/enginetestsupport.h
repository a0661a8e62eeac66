#pragma once
// Requests and handlers shared by the engine tests.

#include "engine/clientfacade.h"
#include "engine/request.h"
#include "pathrequest.h"
#include "engine/requesterror.h"

#include <QList>
#include <QPair>
#include <QSemaphore>

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

} // namespace enginetest
