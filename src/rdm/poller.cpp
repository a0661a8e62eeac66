#include "rdm/poller.h"

#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "platform/logging.h"
#include "transport/configwrapper.h"

#include <QRandomGenerator>

namespace rdm {

CommandsPoller::CommandsPoller(tq::TqContext* context, stbconfig::ConfigurationManager* store, QObject* parent)
    : QObject(parent), m_store(store), m_client(context->createClient(this))
{
    setObjectName(QStringLiteral("CommandsPoller"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &tq::ClockTimer::timeout, this, &CommandsPoller::poll);
    connect(m_client.get(), &tq::TqClientFacade::dataReceived, this, &CommandsPoller::onAnswer);
}

CommandsPoller::~CommandsPoller() = default;

void CommandsPoller::start()
{
    m_active = true;
    if (m_pollId == -1)
        poll();
}

void CommandsPoller::stop()
{
    m_active = false;
    m_timer.stop();
    m_client->dropAllRequests();
    m_pollId = -1;
}

void CommandsPoller::poll()
{
    if (!m_active || m_pollId != -1)
        return; // stopped, or a poll is already on its way
    m_timer.stop();
    CommandsPoll request;
    request.macAddress = macAddress;
    m_pollId = m_client->sendRequest(&request);
}

void CommandsPoller::scheduleNext()
{
    if (!m_active || m_pollId != -1)
        return;
    auto [min, max] = ConfigWrapper(m_store).requestPollIntervalLimits();
    if (min < pollFloor) {
        const std::pair<qint64, qint64> configured{min.count(), max.count()};
        if (configured != m_raisedLimits) {
            m_raisedLimits = configured;
            TQ_LOG(logging::Warning, objectName())
                << QStringLiteral("poll interval limits [%1, %2] s raised to the floor of %3 s")
                       .arg(min.count())
                       .arg(max.count())
                       .arg(pollFloor.count());
        }
        min = pollFloor;
        max = std::max(max, min);
    }
    const qint64 seconds = min.count() + qint64(double(max.count() - min.count()) * QRandomGenerator::global()->generateDouble());
    m_timer.start(seconds * 1000);
    QMetaObject::invokeMethod(this, [this, seconds] { emit nextPollScheduled(seconds); }, Qt::QueuedConnection);
}

void CommandsPoller::onAnswer(qint64 requestId, const QVariant& answer)
{
    if (requestId != m_pollId || requestId == -1)
        return; // acknowledgement of an unknown-command report
    m_pollId = -1;
    const QJsonObject object = answer.value<CommandsPollResponse>().object;
    if (!object.isEmpty()) {
        const QSharedPointer<tq::Notification> notification = tq::Notification::createNotificationFromJson(object);
        const bool isCommand = notification->eventType == tq::NotificationEventType::NoEventType
                               || notification->eventType == tq::NotificationEventType::Options;
        if (isCommand) {
            // From the event loop: the host may stop or delete the poller in its handler.
            QMetaObject::invokeMethod(
                this, [this, command = qSharedPointerCast<Command>(notification)] { emit commandReceived(command); },
                Qt::QueuedConnection);
        } else {
            const qint64 id = object.value(QLatin1String("command_id")).toInteger(-1);
            const QString code = object.value(QLatin1String("event_code")).toString();
            TQ_LOG(logging::Warning, objectName()) << "not a device-management command:" << code << "id" << id;
            if (id != -1) {
                const CommandsReportRequest report(
                    id, CommandsError{ErrorReasonType::UnknownCommand, QStringLiteral("unknown command: ") + code});
                m_client->sendRequest(&report);
            }
        }
    }
    scheduleNext();
}

bool CommandsPoller::handleRequestError(qint64 requestId, const tq::RequestError& error)
{
    TQ_LOG(logging::Warning, objectName()) << "device-management request failed:" << error.fullInfo();
    if (requestId == m_pollId && requestId != -1) {
        m_pollId = -1;
        scheduleNext();
    }
    return true;
}

} // namespace rdm
