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
// failed polls are logged. Neither stops the polling: only stop() does.

#include "engine/requesterror.h"
#include "rdm/commands.h"

#include <QObject>
#include <QSharedPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace stbconfig {
class ConfigurationManager;
}

namespace tq {
class TqClientFacade;
class TqContext;
}

namespace rdm {

class CommandsPoller : public QObject, private tq::ITqRequestErrorHandler
{
    Q_OBJECT
public:
    struct Timing
    {
        int msPerSecond = 1000;
        std::function<double()> random; // in [0, 1); null: Qt's global generator
    };

    CommandsPoller(tq::TqContext* context, stbconfig::ConfigurationManager* store, QObject* parent = nullptr);
    ~CommandsPoller() override;

    QString macAddress;
    void setTiming(const Timing& timing) { m_timing = timing; }

    void start();
    void stop();
    bool isActive() const { return m_active; }

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
    QTimer m_timer;
    Timing m_timing;
    qint64 m_pollId = -1;
    bool m_active = false;
};

} // namespace rdm
