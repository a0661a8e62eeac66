// The notification factory: what each kind of message becomes, the code table against the
// enumeration, and notifications embedded in ordinary answers.

#include "model/decode.h"
#include "model/account.h"
#include "notifications/notification.h"
#include "rdm/commands.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QMetaEnum>
#include <QtTest>

#include <functional>

using namespace tq;

using Check = std::function<void(const QSharedPointer<Notification>&)>;
Q_DECLARE_METATYPE(Check)

namespace {

QSharedPointer<Notification> build(const char* json)
{
    return Notification::createNotificationFromJson(QJsonDocument::fromJson(json).object());
}

template<class T>
QSharedPointer<T> as(const QSharedPointer<Notification>& n)
{
    return qSharedPointerCast<T>(n);
}

// Catches the events the decoders post to the application object.
class EventCatcher : public QObject
{
public:
    QList<QSharedPointer<Notification>> caught;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == TqNotificationEvent::EventType)
            caught.append(static_cast<TqNotificationEvent*>(event)->notification());
        return false;
    }
};

} // namespace

class TestNotifications : public QObject
{
    Q_OBJECT

private slots:
    void factory_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("type");
        QTest::addColumn<Check>("check");
        using C = NotificationEventCode;
        using T = NotificationEventType;
        const Check none = [](const QSharedPointer<Notification>&) {};

        QTest::newRow("reboot: a plain command")
            << QByteArray(R"({"event_code": "reboot", "command_id": 77, "message_id": "m1"})") << int(C::Reboot)
            << int(T::NoEventType) << Check([](const QSharedPointer<Notification>& n) {
                   QCOMPARE(as<rdm::Command>(n)->commandId, 77);
                   QCOMPARE(n->messageId, QStringLiteral("m1"));
               });
        QTest::newRow("ping with mistyped or huge options")
            << QByteArray(R"({"event_code": "ping", "options": {"count": "ten", "host": 5, "timeout": null,
                  "packet_size": 99999999999}})")
            << int(C::Ping) << int(T::Options) << Check([](const QSharedPointer<Notification>& n) {
                   const auto ping = as<rdm::PingCommand>(n);
                   QCOMPARE(ping->count, 5);
                   QCOMPARE(ping->packetSize, std::numeric_limits<int>::max()); // clamped, not wrapped
                   QCOMPARE(ping->host, QString());
                   QCOMPARE(ping->timeout, 3);
               });
        QTest::newRow("traceroute options")
            << QByteArray(R"({"event_code": "traceroute", "command_id": 3, "options": {"host": " h ", "max_ttl": 9}})")
            << int(C::Traceroute) << int(T::Options) << Check([](const QSharedPointer<Notification>& n) {
                   const auto trace = as<rdm::TracerouteCommand>(n);
                   QCOMPARE(trace->commandId, 3);
                   QCOMPARE(trace->host, QStringLiteral(" h ")); // kept as received
                   QCOMPARE(trace->maxTtl, 9);
               });
        QTest::newRow("vemo reset")
            << QByteArray(R"({"event_code": "vemo_reset", "options": {"name": "network"}})") << int(C::VemoReset)
            << int(T::Options) << Check([](const QSharedPointer<Notification>& n) {
                   QCOMPARE(as<rdm::VemoResetCommand>(n)->resetType(), rdm::VemoResetType::Network);
               });
        QTest::newRow("remote volume as text")
            << QByteArray(R"({"event_code": "remote_set_volume", "event_type": "tv_remote_control", "payload": {"value": "17"}})")
            << int(C::RemoteSetVolume) << int(T::TvRemoteControl) << Check([](const QSharedPointer<Notification>& n) {
                   QCOMPARE(as<RemoteSetVolumeNotification>(n)->value, 17);
               });
        QTest::newRow("display message")
            << QByteArray(R"({"event_code": "message", "event_type": "display", "display": {"display_type": "popup",
                  "popup_type": "success", "duration": 15, "background": {"blur_radius": 4}}})")
            << int(C::Message) << int(T::Display) << Check([](const QSharedPointer<Notification>& n) {
                   const NotificationDisplay& d = as<DisplayNotification>(n)->display;
                   QCOMPARE(d.displayType, NotificationDisplayType::Popup);
                   QCOMPARE(d.background.blurRadius, 4);
               });
        QTest::newRow("assist volume")
            << QByteArray(R"({"event_code": "assist_command", "assist_command": {"type": "volume", "command_id": 4,
                  "volume": {"action": "up", "level": 7}}})")
            << int(C::AssistCommand) << int(T::AssistCommand) << Check([](const QSharedPointer<Notification>& n) {
                   const AssistCommand& c = as<AssistCommandNotification>(n)->command;
                   QCOMPARE(c.type, VoiceAssistCommandType::Volume);
                   QCOMPARE(c.commandId, 4);
                   QCOMPARE(c.volume, VoiceAssistVolumeCommandType::Up);
                   QCOMPARE(c.level, 7);
               });
        QTest::newRow("system settings: unknown key skipped")
            << QByteArray(R"({"event_code": "change_system_settings", "system_settings": {"font_size":
                  {"enabled": true, "value": "big"}, "video_outputs": {"value": [{"output_name": "hdmi"}]},
                  "warp_drive": {"enabled": true}}})")
            << int(C::ChangeSystemSettings) << int(T::SystemSettings) << Check([](const QSharedPointer<Notification>& n) {
                   const auto s = as<ChangeSystemSettingsNotification>(n)->settings;
                   QCOMPARE(s.size(), 2);
                   QVERIFY(s.value(SystemSettingType::FontSize).enabled);
                   QCOMPARE(s.value(SystemSettingType::FontSize).fontSize(), FontSizeType::Big);
                   QCOMPARE(s.value(SystemSettingType::VideoOutputs).videoOutputs().value(0).outputName, "hdmi");
               });
        QTest::newRow("profile updated")
            << QByteArray(R"({"event_code": "profile_updated", "item": {"profile": {"id": 12}}})")
            << int(C::ProfileUpdated) << int(T::Item) << Check([](const QSharedPointer<Notification>& n) {
                   QCOMPARE(as<UpdateProfileNotification>(n)->profile.id, 12);
               });
        QTest::newRow("unknown code") << QByteArray(R"({"event_code": "teleport", "message_id": "x"})")
                                      << int(C::Unrecognized) << int(T::Unrecognized) << none;
        QTest::newRow("no code at all") << QByteArray(R"({"event_code": 42})") << int(C::Unrecognized)
                                        << int(T::Unrecognized) << none;
        QTest::newRow("never on the wire")
            << QByteArray(R"({"event_code": "SyncServicesCompleted"})") << int(C::Unrecognized) << int(T::Unrecognized) << none;
        QTest::newRow("location changed: dropped at once")
            << QByteArray(R"({"event_code": "location_changed", "message_id": "m9"})") << int(C::Unrecognized)
            << int(T::Unrecognized) << Check([](const QSharedPointer<Notification>& n) { QVERIFY(n->messageId.isEmpty()); });
    }

    void factory()
    {
        QFETCH(QByteArray, message);
        QFETCH(int, code);
        QFETCH(int, type);
        QFETCH(Check, check);
        const QSharedPointer<Notification> n = build(message);
        QVERIFY(n);
        QCOMPARE(int(n->eventCode), code);
        QCOMPARE(int(n->eventType), type);
        QCOMPARE(n->priority, NotificationPriority::Low);
        check(n);
    }

    // Every value of the enumeration that travels has one text, and the text comes back
    // as that value: a slip in the table shows here.
    void codeTableAgreesWithEnumeration()
    {
        const QMetaEnum codes = QMetaEnum::fromType<NotificationEventCode>();
        QCOMPARE(codes.keyCount(), 91);
        QSet<QString> texts;
        for (int i = 0; i < codes.keyCount(); ++i) {
            const auto code = NotificationEventCode(codes.value(i));
            const QString text = notificationEventCodeName(code);
            const bool travels = code != NotificationEventCode::Unrecognized && code != NotificationEventCode::InternalMessage
                                 && code != NotificationEventCode::SyncServicesCompleted;
            QCOMPARE(!text.isEmpty(), travels);
            if (!travels)
                continue;
            QVERIFY2(!texts.contains(text), qPrintable(text));
            texts.insert(text);
            const auto n = Notification::createNotificationFromJson(QJsonObject{{"event_code", text}});
            const bool dropped = code == NotificationEventCode::GeoLocationChanged || code == NotificationEventCode::LocationChanged;
            QCOMPARE(n->eventCode, dropped ? NotificationEventCode::Unrecognized : code);
        }
    }

    void embeddedNotificationReachesHostWithHighPriority()
    {
        EventCatcher catcher;
        QCoreApplication::instance()->installEventFilter(&catcher);
        const QVariant answer = decodeJson<SuccessResponse>(
            R"({"success": true, "notification": {"event_code": "bonuses_changed", "item": {"bonus_program": {"a": 1}}}})");
        const SuccessResponse response = answer.value<SuccessResponse>();
        QVERIFY(response.success);
        QVERIFY(response.notification());
        QCOMPARE(response.notification()->eventCode, NotificationEventCode::BonusesChanged);
        QCOMPARE(response.notification()->priority, NotificationPriority::High);
        QTRY_COMPARE(catcher.caught.size(), 1);
        QCOMPARE(catcher.caught.first(), response.notification());

        // Unknown or malformed embedded notifications stay out of the answer.
        for (const char* body : {R"({"success": true, "notification": {"event_code": "nope"}})",
                                 R"({"success": true, "notification": [1, 2]})"}) {
            QVERIFY(!decodeJson<SuccessResponse>(body).value<SuccessResponse>().notification());
        }
        QCoreApplication::processEvents();
        QCOMPARE(catcher.caught.size(), 1);
        QCoreApplication::instance()->removeEventFilter(&catcher);
    }
};

QTEST_GUILESS_MAIN(TestNotifications)
#include "tst_notifications.moc"
