#include "pushstep.h"

#include "fakehttpserver.h"
#include "fakenotificationserver.h"

#include "notifications/notification.h"
#include "notifications/notificationsreceiver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

bool showPushedNotification(tq::TqContext& context, fake::FakeHttpServer& api,
                            const std::function<void(const QString&)>& say)
{
    fake::FakeNotificationServer push;
    push.serveTokens(api);
    tq::NotificationsReceiver receiver;
    receiver.init(&context);
    QSharedPointer<tq::Notification> arrived;
    bool connected = false;
    QObject::connect(&receiver, &tq::NotificationsReceiver::connected, [&] {
        connected = true;
        say(QStringLiteral("receiver: connected to %1 with token %2").arg(push.url(), push.tokensSeen().value(0)));
    });
    QObject::connect(&receiver, &tq::NotificationsReceiver::notificationReceived,
                     [&](QSharedPointer<tq::Notification> notification) { arrived = notification; });
    const auto waitFor = [](const std::function<bool()>& condition) {
        const QDeadlineTimer deadline(10000);
        while (!condition() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return condition();
    };

    say(QStringLiteral("receiver: listening on %1 (asks the platform for a websocket token first)").arg(push.url()));
    receiver.startListen(push.url());
    if (!waitFor([&] { return connected && push.clientCount() == 1; }))
        return false;
    push.sendText(QStringLiteral(R"({"event_code": "message", "event_type": "display", "message_id": "demo-1",
                                     "display": {"display_type": "popup", "popup_type": "message", "duration": 5}})"));
    if (!waitFor([&] { return !arrived.isNull(); }))
        return false;
    const auto display = qSharedPointerCast<tq::DisplayNotification>(arrived);
    say(QStringLiteral("receiver: notification %1 (%2), shown as %3 for %4 s")
            .arg(tq::notificationEventCodeName(arrived->eventCode), arrived->messageId,
                 tq::NotificationDisplayTypeDictionary().key(display->display.displayType))
            .arg(display->display.duration));
    receiver.stopListen();
    return true;
}
