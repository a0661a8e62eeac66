#pragma once
// ClockDriver: moves a tq::ManualClock for tests of the library's sockets, timer by timer,
// and only once nothing is on its way over the network any more (a token request, an
// opening, a ping's answer, bytes between the fakes and the library), so that hours of
// reconnect ladder run in moments and a run never depends on how fast the machine is.
//
//   tq::ManualClock clock;
//   fake::ClockDriver driver(clock);
//   driver.watch(&receiver, &pushServer);   // also party clients; or any condition
//   receiver.startListen(pushServer.url());
//   QVERIFY(driver.settle());              // connected, or waiting on the clock
//   QVERIFY(driver.advance(std::chrono::minutes(30)));
//
// A watched object may be deleted meanwhile. settle() and advance() give up, returning false,
// when the network does not settle within the real-time limit (a hang).

#include "engine/clock.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>

class QTcpSocket;

namespace tq {
class NotificationsReceiver;
}
namespace pstv {
class PartyStationClient;
}

namespace fake {

class FakeNotificationServer;
class FakePartyStation;

// A fake server's new connection held back for `ms` of `clock`, unread (a slow network):
// `release` runs then, if the connection is still there. `held` counts those waiting.
void holdConnection(QTcpSocket* socket, tq::Clock* clock, qint64 ms, int& held, std::function<void()> release);

class ClockDriver
{
public:
    explicit ClockDriver(tq::ManualClock& clock) : m_clock(clock) {}

    void watch(tq::NotificationsReceiver* receiver, const FakeNotificationServer* server);
    void watch(pstv::PartyStationClient* client, const FakePartyStation* station);
    // True when whatever it watches has nothing on its way.
    void watch(std::function<bool()> quiet) { m_conditions.append(std::move(quiet)); }

    bool settle(int realLimitMs = 20000);
    // Moves the clock by `ms`, stopping at each timer that falls due to settle.
    bool advance(qint64 ms);
    bool advance(std::chrono::milliseconds by) { return advance(qint64(by.count())); }
    // Moves the clock to the next timer that falls due within `limitMs` (settling after it);
    // false when none does.
    bool next(qint64 limitMs);

    tq::ManualClock& clock() { return m_clock; }
    // What kept the last settle() from ending; empty when it did.
    QString busy() const;
    QString lastBusy() const { return m_busy; }

private:

    tq::ManualClock& m_clock;
    QList<QPair<QPointer<tq::NotificationsReceiver>, const FakeNotificationServer*>> m_receivers;
    QList<QPair<QPointer<pstv::PartyStationClient>, const FakePartyStation*>> m_clients;
    QList<std::function<bool()>> m_conditions;
    QString m_busy;
};

} // namespace fake
