#pragma once
// CommandsPoller: asks the device-management service for a command at a random point between
// the configured limits ("RDM" / "requestPollMinInterval" .. "requestPollMaxInterval",
// read afresh before every wait), so that a fleet of boxes does not poll in step.
//
//   rdm::CommandsPoller poller(&context, &store);
//   poller.macAddress = box.mac();
//   QObject::connect(&poller, &rdm::CommandsPoller::commandReceived, host, &Host::runCommand);
//   poller.start();                                 // the first poll goes out now
//
// The host acknowledges, carries out and reports each command (rdm/commands.h,
// rdm/reports.h). An answer that is not a command the library knows is reported back to
// the service as "Unknown command" when it names a command_id, and skipped otherwise;
// failed polls are logged. Neither stops the polling: only stop() does. Whatever the
// configuration says, polls are at least a minute apart (a lower limit is logged and raised).
//
// Waits are measured on the clock given to setClock() (the system clock by default). Signals
// are emitted from the event loop, so the host may stop, restart or delete the poller from
// any of them.

#include "tqglobal.h"

#include "engine/clock.h"
#include "transport/requesterror.h"
#include "rdm/commands.h"

#include <QObject>
#include <QSharedPointer>

#include <chrono>
#include <memory>

namespace stbconfig {
class ConfigurationManager;
}

namespace tq {
class TqClientFacade;
class TqContext;
}

namespace rdm {

class TQ_EXPORT CommandsPoller : public QObject, private tq::ITqRequestErrorHandler
{
    Q_OBJECT
public:
    // The shortest wait between two polls.
    static constexpr std::chrono::seconds pollFloor{60};

    CommandsPoller(tq::TqContext* context, stbconfig::ConfigurationManager* store, QObject* parent = nullptr);
    ~CommandsPoller() override;

    QString macAddress;
    // Null: the system clock. Set it before start(); the clock must outlive the poller.
    void setClock(tq::Clock* clock) { m_timer.setClock(clock); }

    void start();
    void stop();
    bool isActive() const { return m_active; }
    bool isPolling() const { return m_pollId != -1; } // a poll is on its way

signals:
    void commandReceived(QSharedPointer<rdm::Command> command);
    void nextPollScheduled(qint64 seconds); // after every poll, whatever its outcome

private:
    bool handleRequestError(qint64 requestId, const tq::RequestError& error) override;
    void poll();
    void onAnswer(qint64 requestId, const QVariant& answer);
    void scheduleNext();

    stbconfig::ConfigurationManager* m_store;
    std::unique_ptr<tq::TqClientFacade> m_client;
    tq::ClockTimer m_timer;
    qint64 m_pollId = -1;
    bool m_active = false;
    std::pair<qint64, qint64> m_raisedLimits{-1, -1}; // the configured limits last raised, logged once
};

} // namespace rdm
