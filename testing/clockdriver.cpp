#include "clockdriver.h"

#include "fakenotificationserver.h"
#include "fakepartystation.h"

#include "notifications/notificationsreceiver_p.h"
#include "partystation/partystationclient_p.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace fake {

namespace {

// A socket on its way somewhere, unless its opening waits on the clock (a stalled server).
bool inTransit(QAbstractSocket::SocketState state, bool serverStalls)
{
    if (state == QAbstractSocket::ConnectingState)
        return !serverStalls;
    return state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ClosingState;
}

} // namespace

void holdConnection(QTcpSocket* socket, tq::Clock* clock, qint64 ms, int& held, std::function<void()> release)
{
    ++held;
    QPointer<tq::ClockTimer> wait = new tq::ClockTimer(socket);
    wait->setClock(clock);
    wait->setSingleShot(true);
    QObject::connect(wait, &tq::ClockTimer::timeout, socket, [socket, wait, &held, release] {
        --held;
        wait->deleteLater();
        if (socket->state() == QAbstractSocket::ConnectedState)
            release();
    });
    QObject::connect(socket, &QObject::destroyed, wait, [wait, &held] {
        if (wait->isActive())
            --held;
    });
    wait->start(ms);
}

void ClockDriver::watch(tq::NotificationsReceiver* receiver, const FakeNotificationServer* server)
{
    m_receivers.append({receiver, server});
}

void ClockDriver::watch(pstv::PartyStationClient* client, const FakePartyStation* station)
{
    m_clients.append({client, station});
}

QString ClockDriver::busy() const
{
    QHash<const FakeNotificationServer*, int> connectedTo;
    for (const auto& [receiver, server] : m_receivers) {
        connectedTo.insert(server, connectedTo.value(server)); // a server whose receivers are all gone too
        if (!receiver)
            continue;
        const auto* d = tq::NotificationsReceiverPrivate::get(receiver);
        if (d->tokenRequestId != -1)
            return QStringLiteral("a token request"); // the engine answers it in real time
        const QAbstractSocket::SocketState state = d->socket.state();
        const bool silent = server->isSilent();
        if (inTransit(state, silent || server->heldOpenings() > 0))
            return QStringLiteral("the receiver's socket in state %1").arg(state);
        if (!silent && d->pongTimer.isActive() && state == QAbstractSocket::ConnectedState)
            return QStringLiteral("the receiver's ping"); // its answer is on its way
        if (state == QAbstractSocket::ConnectedState)
            connectedTo[server] += 1;
    }
    // The servers' view agrees: accepted connections, refusals and closes seen on both ends.
    for (auto it = connectedTo.cbegin(); it != connectedTo.cend(); ++it) {
        if (!it.key()->isSilent() && it.key()->clientCount() != it.value())
            return QStringLiteral("%1 receiver(s) connected, the server has %2").arg(it.value()).arg(it.key()->clientCount());
    }
    for (const auto& [client, station] : m_clients) {
        if (!client)
            continue;
        const auto* d = pstv::PartyStationClientPrivate::get(client);
        const QAbstractSocket::SocketState state = d->socket.state();
        const bool silent = station->isSilent();
        if (inTransit(state, silent || station->heldOpenings() > 0))
            return QStringLiteral("the party client's socket in state %1").arg(state);
        if (!silent && d->pongTimer.isActive() && state == QAbstractSocket::ConnectedState)
            return QStringLiteral("the party client's ping");
    }
    for (const auto& condition : m_conditions) {
        if (!condition())
            return QStringLiteral("a condition of the test");
    }
    return {};
}

bool ClockDriver::settle(int realLimitMs)
{
    QAbstractEventDispatcher* dispatcher = QThread::currentThread()->eventDispatcher();
    const QDeadlineTimer deadline(realLimitMs);
    int idlePasses = 0;
    for (;;) {
        QCoreApplication::sendPostedEvents();
        if (dispatcher->processEvents(QEventLoop::AllEvents)) {
            idlePasses = 0;
            continue;
        }
        // Loopback bytes are readable at once; a few empty passes in a row mean none is left.
        if (++idlePasses < 3)
            continue;
        m_busy = busy();
        if (m_busy.isEmpty())
            return true;
        if (deadline.hasExpired())
            return false;
        // Something waits on another thread (the engine): sleep until an event or 2 ms pass.
        QTimer wake;
        wake.setSingleShot(true);
        wake.start(2);
        dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
        idlePasses = 0;
    }
}

bool ClockDriver::advance(qint64 ms)
{
    if (!settle())
        return false;
    const qint64 end = m_clock.monotonicMs() + std::max<qint64>(ms, 0);
    for (;;) {
        const qint64 next = m_clock.nextTimeoutMs();
        const qint64 left = end - m_clock.monotonicMs();
        if (next < 0 || next > left) {
            m_clock.advance(left);
            return settle();
        }
        m_clock.advance(next);
        if (!settle())
            return false;
    }
}

bool ClockDriver::next(qint64 limitMs)
{
    if (!settle())
        return false;
    const qint64 next = m_clock.nextTimeoutMs();
    if (next < 0 || next > limitMs)
        return false;
    m_clock.advance(next);
    return settle();
}

} // namespace fake
