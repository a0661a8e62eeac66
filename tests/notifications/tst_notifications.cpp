// The notification factory: what each kind of message becomes, the "event_code" texts, and
// notifications embedded in ordinary answers.

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
                   const auto outputs = s.value(SystemSettingType::VideoOutputs).videoOutputs();
                   static_assert(std::is_same_v<decltype(outputs), const QList<VideoOutput>>);
                   QCOMPARE(outputs.value(0).outputName, "hdmi");
               });
        QTest::newRow("remote target: a menu target")
            << QByteArray(R"({"event_code": "remote_target", "event_type": "target", "target": {"type": "channel",
                  "title": "News", "link": {"channel_id": 12}}})")
            << int(C::RemoteTarget) << int(T::Target) << Check([](const QSharedPointer<Notification>& n) {
                   const TargetForMenu& target = as<RemoteTargetNotification>(n)->target;
                   QCOMPARE(target.type, QStringLiteral("channel"));
                   QCOMPARE(target.title, QStringLiteral("News"));
                   QCOMPARE(target.link.channelId, 12);
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

    // The "event_code" text of every value, as the platform sends it (null: never sent).
    void eventCodeTexts()
    {
        static const char* const wire[] = {
            nullptr, nullptr, "account_refill_success", "account_status", "app_update_message", "app_update",
            "assistant_activated", "assistant_deactivated", "assist_command", "autorenew_cancelled",
            "autorenew_not_cancelled", "bank_card_adding", "bank_card_added", "bank_card_not_added",
            "bank_card_deleted", "bank_card_need_add", "bank_card_not_deleted", "bonuses_changed", "change_logging",
            "change_system_settings", "check_account_summary", "check_firmware_update", "check_multicast",
            "check_settings", "curl", "device_deleted", "email_linked", "email_removed", "emergency",
            "geolocation_changed", "healthcheck", "location_changed", "marketing_message", "message",
            "merge_accounts", "not_enough_quota", "nslookup", "ott_tv_activated", "ott_tv_code_checked",
            "payment_failed", "pin_code_deleted", "pin_code_changed", "ping", "phone_linked", "phone_removed", "poll",
            "product_offer_changed", "profile_changed", "profile_deleted_message", "promocode_activated",
            "promocode_expiring", "promoperiod_expiring", "purchase", "rebalance", "reboot",
            "recurrent_payment_notice", "reminder", "remote_up", "remote_down", "remote_left", "remote_right",
            "remote_ok", "remote_search", "remote_target", "remote_set_channel", "remote_set_volume",
            "remote_turn_off", "remote_turn_on", "restart", "vemo_restart", "sdp_get_oss_account_failed", "send_logs",
            "send_system_status", "service_transfer", "standby", "subscribe_confirm_required", "transfer_playback",
            "traceroute", "tstv_not_purchased", "tune_channel", "unsubscribe", "unsubscribe_confirm_required",
            "vod_certificate_created", "enable_ssh_tunnel", "disable_ssh_tunnel", "sync_purchase", "sync_purchases",
            "sync_unsubscribes", nullptr, "profile_updated", "vemo_reset"};
        QCOMPARE(int(std::size(wire)), 91);
        QCOMPARE(QMetaEnum::fromType<NotificationEventCode>().keyCount(), 91);
        for (int value = 0; value < int(std::size(wire)); ++value) {
            const auto code = NotificationEventCode(value);
            QCOMPARE(notificationEventCodeName(code), QString::fromLatin1(wire[value]));
            if (!wire[value])
                continue;
            const auto n = Notification::createNotificationFromJson(QJsonObject{{"event_code", wire[value]}});
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

        // An unknown code arrives as on the push socket: unrecognized. What is no object is no
        // notification.
        const auto unknown = decodeJson<SuccessResponse>(R"({"success": true, "notification": {"event_code": "nope"}})")
                                 .value<SuccessResponse>()
                                 .notification();
        QVERIFY(unknown);
        QVERIFY(!unknown->isRecognized());
        QCOMPARE(unknown->priority, NotificationPriority::High);
        QTRY_COMPARE(catcher.caught.size(), 2);
        QCOMPARE(catcher.caught.last(), unknown);
        QVERIFY(!decodeJson<SuccessResponse>(R"({"success": true, "notification": [1, 2]})").value<SuccessResponse>().notification());
        QCoreApplication::processEvents();
        QCOMPARE(catcher.caught.size(), 2);
        QCoreApplication::instance()->removeEventFilter(&catcher);
    }
};

QTEST_GUILESS_MAIN(TestNotifications)
#include "tst_notifications.moc"
