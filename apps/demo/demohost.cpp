#include "demohost.h"

#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace demo {

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QElapsedTimer& clock()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return timer;
}

QString ms(qint64 ns)
{
    return QString::number(ns / 1e6, 'f', 1);
}

} // namespace

void say(const QString& text)
{
    out() << QStringLiteral("[%1 ms] ").arg(clock().elapsed(), 5) << text << Qt::endl;
}

void section(const QString& title)
{
    out() << Qt::endl << "== " << title << Qt::endl;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return condition();
}

Screen::Screen(tq::TqContext& context, const QString& name) : m_client(context.createClient(this))
{
    m_client->setObjectName(name);
    QObject::connect(m_client.get(), &tq::TqClientFacade::dataReceived, [this](qint64 id, const QVariant& answer) {
        answers.insert(id, answer);
        if (const Continuation then = m_then.take(id))
            then(answer);
    });
}

qint64 Screen::send(const tq::AbstractRequest& request, Continuation then)
{
    const qint64 id = m_client->sendRequest(&request);
    if (then)
        m_then.insert(id, std::move(then));
    return id;
}

bool Screen::wait(const QList<qint64>& ids, int timeoutMs)
{
    return waitUntil([&] { return std::all_of(ids.begin(), ids.end(), [&](qint64 id) { return finished(id); }); },
                     timeoutMs);
}

std::optional<QVariant> Screen::askRaw(const tq::AbstractRequest& request)
{
    const qint64 id = send(request);
    if (!wait({id})) {
        say(QStringLiteral("%1: request #%2 got no answer in time").arg(name()).arg(id));
        return std::nullopt;
    }
    if (!answers.contains(id))
        return std::nullopt; // the failure was narrated when it arrived
    return answers.value(id);
}

bool Screen::handleRequestError(qint64 id, const tq::RequestError& error)
{
    errors.insert(id, error);
    say(QStringLiteral("%1: request #%2 failed: %3").arg(name()).arg(id).arg(error.fullInfo()));
    if (const Continuation then = m_then.take(id))
        then(QVariant());
    return true;
}

QString BoxProperties::sessionId() const
{
    return tq::TqConfigWrapper(m_store).sessionId();
}

void TimingListener::requestEvent(const tq::RequestEvent& event)
{
    QString line;
    switch (event.kind) {
    case tq::RequestEvent::Answered:
        line = event.fromCache ? QStringLiteral("#%1 restored from the cache").arg(event.requestId)
                               : QStringLiteral("#%1 HTTP %2, %3 B: %4 ms queued, %5 ms on the wire, decoded in %6 us")
                                     .arg(event.requestId)
                                     .arg(event.httpStatus)
                                     .arg(event.bytes)
                                     .arg(ms(event.queueWaitNs), ms(event.exchangeNs))
                                     .arg(event.decodeNs / 1000);
        break;
    case tq::RequestEvent::Failed:
        line = QStringLiteral("#%1 failed: HTTP %2 after %3 ms").arg(event.requestId).arg(event.httpStatus).arg(ms(event.exchangeNs));
        break;
    case tq::RequestEvent::Held:
        line = QStringLiteral("#%1 held back").arg(event.requestId);
        break;
    case tq::RequestEvent::Resent:
        line = QStringLiteral("#%1 sent again").arg(event.requestId);
        break;
    default:
        return;
    }
    QMetaObject::invokeMethod(qApp, [line] { say(QStringLiteral("    ") + line); }, Qt::QueuedConnection);
}

} // namespace demo
