#pragma once
// The context's traffic recorder: the latest exchanges, redacted as they are taken, within
// the host's bounds, and written on demand as an HTTP Archive (HAR 1.2).
//
// The dispatcher records on the worker thread (each reply a worker handled); the host writes
// the archive and changes the bounds on its own thread. One mutex guards what is kept; the
// redaction and the archive's text are built outside it.

#include "engine/tqcontext.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QUrl>

#include <deque>

namespace tq {

class HttpRequestWorker;
struct RequestEvent;

class TrafficRecorder
{
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    // One body as kept: `kept` holds it whole, cut (text) or nothing (binary over the limit).
    struct Body
    {
        QByteArray kept;
        qint64 size = 0;    // the body's size on the wire
        bool whole = true;  // false: cut (text) or left out (binary)
        bool text = false;  // kept as UTF-8 text; else base64 in the archive
        QString mimeType;
    };

    struct Exchange
    {
        QDateTime ended; // UTC
        qint64 requestId = -1;
        int methodType = 0;
        QString method;
        QUrl url;
        Headers requestHeaders;
        Body requestBody;
        int status = 0;
        bool http2 = false;
        Headers replyHeaders;
        Body replyBody;
        QString failure; // an exchange that got no HTTP answer: why
        QList<QUrl> redirects;
        qint64 queueWaitNs = 0;
        qint64 exchangeNs = 0;
        qint64 decodeNs = 0;
        qint64 bytes = 0; // what keeping it costs
    };

    void setLimits(const TrafficRecording& limits);
    // The reply the worker has just handled; `timings` is the dispatcher's end event of it.
    void record(const HttpRequestWorker& worker, const RequestEvent& timings, const QString& failure);
    // The kept exchanges, oldest first, as HAR 1.2 JSON.
    QByteArray archive() const;

private:
    void trim(); // with the mutex held

    mutable QMutex m_mutex;
    TrafficRecording m_limits;
    std::deque<Exchange> m_kept;
    qint64 m_bytes = 0;
};

} // namespace tq
