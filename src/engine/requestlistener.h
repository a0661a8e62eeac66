#pragma once
// An opt-in view of each request's life in the dispatcher, with timings, for a host that
// wants to see where time goes (queue wait, exchange, decoding) or to keep statistics.
//
//     class Stats : public tq::ITqRequestListener {
//         void requestEvent(const tq::RequestEvent& event) override { ... }
//     };
//     context.setRequestListener(&stats);   // ... and setRequestListener(nullptr) before deleting it
//
// requestEvent() runs on the library's worker thread, in the middle of the dispatcher's
// work: keep it short and never wait there for the host thread. An exception it throws is
// caught and logged; the request goes on as if nobody had listened. Without a listener the
// dispatcher reads no clock and builds no event.

#include "tqglobal.h"

#include "model/enums.h"
#include "transport/requesterror.h"

#include <QString>

namespace tq {

struct TQ_EXPORT RequestEvent
{
    enum Kind : quint8 {
        Queued,   // taken into the dispatcher's queue
        Sent,     // first handed to the network (host)
        Resent,   // handed to the network again: after a hold, a deferral or a broken re-send
        Answered, // answer decoded (httpStatus, bytes, decodeNs, exchangeNs) or restored from the cache
        Failed,   // ended with an error the client receives (reason, httpStatus, exchangeNs)
        Deferred, // waits for the delay the server asked for (delayMs)
        Evicted,  // failed to make room in a full queue
        Held,     // waits for a pause, a recovery or a free proxied connection: taken off the
                  // network, or stopped before going out; sent later
        Dropped,  // the host dropped it
        Discarded, // a failed rebalance discarded it: the client gets neither answer nor error
    };

    Kind kind = Queued;
    qint64 requestId = -1;
    MethodType methodType = MethodType::TqApi;
    int priority = 0;          // QNetworkRequest::Priority
    QString host;              // Sent, Resent: the server's host
    bool fromCache = false;    // Answered without an exchange
    int httpStatus = 0;        // Answered, Failed: 0 when no HTTP answer arrived
    qint64 bytes = 0;          // Answered, Failed: body bytes received
    qint64 decodeNs = 0;       // Answered: time spent decoding the body
    qint64 delayMs = 0;        // Deferred: the delay asked for
    qint64 queueWaitNs = 0;    // from Queued to the first Sent (0 before that)
    qint64 exchangeNs = 0;     // Answered, Failed: from the latest Sent or Resent to the end
    RequestError::Reason reason = RequestError::Unknown; // Failed, Evicted
};

class TQ_EXPORT ITqRequestListener
{
public:
    virtual ~ITqRequestListener() = default;
    // On the worker thread; see above.
    virtual void requestEvent(const RequestEvent& event) = 0;
};

} // namespace tq
