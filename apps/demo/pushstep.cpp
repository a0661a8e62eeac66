#include "pushstep.h"
#include "demohost.h"

#include "fakeplatform.h"

#include "notifications/notification.h"
#include "notifications/notificationsreceiver.h"

using demo::say;
using demo::waitUntil;

bool showPushedNotification(tq::TqContext& context, fake::FakePlatform& platform, const QString& wsUrl)
{
    fake::FakeNotificationServer& push = platform.push();
    tq::NotificationsReceiver receiver;
    receiver.init(&context);
    QSharedPointer<tq::Notification> arrived;
    bool connected = false;
    QObject::connect(&receiver, &tq::NotificationsReceiver::connected, [&] {
        connected = true;
        say(QStringLiteral("receiver: connected to %1 with token %2").arg(wsUrl, push.tokensSeen().value(0)));
    });
    QObject::connect(&receiver, &tq::NotificationsReceiver::notificationReceived,
                     [&](QSharedPointer<tq::Notification> notification) { arrived = notification; });

    say(QStringLiteral("receiver: listening on %1, discovery's \"ws_url\" (asks the platform for a websocket token first)").arg(wsUrl));
    receiver.startListen(wsUrl);
    if (!waitUntil([&] { return connected && push.clientCount() == 1; }))
        return false;
    push.sendText(QStringLiteral(R"({"event_code": "message", "event_type": "display", "message_id": "demo-1",
                                     "display": {"display_type": "popup", "popup_type": "message", "duration": 5}})"));
    if (!waitUntil([&] { return !arrived.isNull(); }))
        return false;
    const auto display = qSharedPointerCast<tq::DisplayNotification>(arrived);
    say(QStringLiteral("receiver: notification %1 (%2), shown as %3 for %4 s")
            .arg(tq::notificationEventCodeName(arrived->eventCode), arrived->messageId,
                 tq::NotificationDisplayTypeDictionary().key(display->display.displayType))
            .arg(display->display.duration));
    receiver.stopListen();
    return true;
}
