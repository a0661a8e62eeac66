#include "notifications/notification.h"

#include "model/decode.h"
#include "platform/logging.h"
#include "rdm/commands.h"

#include <QHash>
#include <QMetaEnum>

#include <array>

namespace tq {

namespace {

const QString& logContext()
{
    static const QString name = QStringLiteral("Notification");
    return name;
}

using Maker = QSharedPointer<Notification> (*)(NotificationEventCode, NotificationEventType, const QJsonObject&);

template<class T>
QSharedPointer<Notification> make(NotificationEventCode code, NotificationEventType type, const QJsonObject& message)
{
    QSharedPointer<T> notification = QSharedPointer<T>::create(code, type, NotificationPriority::Low);
    notification->fromJson(message);
    return notification;
}

QSharedPointer<Notification> plain(NotificationEventCode code, NotificationEventType type, const QJsonObject&)
{
    return QSharedPointer<Notification>::create(code, type, NotificationPriority::Low);
}

// Codes the box does not act on: built unrecognized, without reading anything.
QSharedPointer<Notification> ignored(NotificationEventCode, NotificationEventType, const QJsonObject&)
{
    return QSharedPointer<Notification>::create(NotificationEventCode::Unrecognized,
                                                NotificationEventType::Unrecognized, NotificationPriority::Low);
}

struct CodeRow
{
    NotificationEventCode code;
    const char* wire;            // "event_code"
    Maker make;                  // the class that carries the code's payload
    NotificationEventType type;  // the payload type the class reads
};

using C = NotificationEventCode;
using T = NotificationEventType;

// Every code that travels ("Notifications"). Unrecognized, InternalMessage and
// SyncServicesCompleted never do and are built like an unknown code.
constexpr CodeRow codeTable[] = {
    {C::AccountRefillSuccess, "account_refill_success", make<DisplayNotification>, T::Display},
    {C::AccountStatus, "account_status", make<AccountStatusNotification>, T::AccountStatus},
    {C::AppUpdateMessage, "app_update_message", make<DisplayNotification>, T::Display},
    {C::AppUpdate, "app_update", make<UpdateNotification>, T::Update},
    {C::AssistantActivated, "assistant_activated", make<AssistantNotification>, T::Assistant},
    {C::AssistantDeactivated, "assistant_deactivated", make<DisplayNotification>, T::Display},
    {C::AssistCommand, "assist_command", make<AssistCommandNotification>, T::AssistCommand},
    {C::AutorenewCancelled, "autorenew_cancelled", make<DisplayNotification>, T::Display},
    {C::AutorenewNotCancelled, "autorenew_not_cancelled", make<DisplayNotification>, T::Display},
    {C::BankCardAdding, "bank_card_adding", make<DisplayNotification>, T::Display},
    {C::BankCardAdded, "bank_card_added", make<DisplayNotification>, T::Display},
    {C::BankCardNotAdded, "bank_card_not_added", make<DisplayNotification>, T::Display},
    {C::BankCardDeleted, "bank_card_deleted", make<DisplayNotification>, T::Display},
    {C::BankCardNeedAdd, "bank_card_need_add", make<DisplayNotification>, T::Display},
    {C::BankCardNotDeleted, "bank_card_not_deleted", make<DisplayNotification>, T::Display},
    {C::BonusesChanged, "bonuses_changed", make<BonusesChangedNotification>, T::Item},
    {C::ChangeLogging, "change_logging", make<rdm::ChangeLoggingCommand>, T::Options},
    {C::ChangeSystemSettings, "change_system_settings", make<ChangeSystemSettingsNotification>, T::SystemSettings},
    {C::CheckAccountSummary, "check_account_summary", make<DisplayNotification>, T::Display},
    {C::CheckFirmwareUpdate, "check_firmware_update", make<rdm::Command>, T::NoEventType},
    {C::CheckMulticast, "check_multicast", make<rdm::CheckMulticastCommand>, T::Options},
    {C::CheckSettings, "check_settings", make<rdm::Command>, T::NoEventType},
    {C::Curl, "curl", make<rdm::CurlCommand>, T::Options},
    {C::DeviceDeleted, "device_deleted", make<DisplayNotification>, T::Display},
    {C::EmailLinked, "email_linked", make<DisplayNotification>, T::Display},
    {C::EmailRemoved, "email_removed", make<DisplayNotification>, T::Display},
    {C::Emergency, "emergency", make<DisplayNotification>, T::Display},
    {C::GeoLocationChanged, "geolocation_changed", ignored, T::Unrecognized},
    {C::Healthcheck, "healthcheck", make<rdm::Command>, T::NoEventType},
    {C::LocationChanged, "location_changed", ignored, T::Unrecognized},
    {C::MarketingMessage, "marketing_message", make<DisplayNotification>, T::Display},
    {C::Message, "message", make<DisplayNotification>, T::Display},
    {C::MergeAccounts, "merge_accounts", make<DisplayNotification>, T::Display},
    {C::NotEnoughQuota, "not_enough_quota", make<DisplayNotification>, T::Display},
    {C::Nslookup, "nslookup", make<rdm::NslookupCommand>, T::Options},
    {C::OttTvActivated, "ott_tv_activated", make<DisplayNotification>, T::Display},
    {C::OttTvCodeChecked, "ott_tv_code_checked", make<DisplayNotification>, T::Display},
    {C::PaymentFailed, "payment_failed", make<PaymentDetailsNotification>, T::PaymentDetails},
    {C::PincodeDeleted, "pin_code_deleted", make<DisplayNotification>, T::Display},
    {C::PincodeChanged, "pin_code_changed", make<DisplayNotification>, T::Display},
    {C::Ping, "ping", make<rdm::PingCommand>, T::Options},
    {C::PhoneLinked, "phone_linked", make<DisplayNotification>, T::Display},
    {C::PhoneRemoved, "phone_removed", make<DisplayNotification>, T::Display},
    {C::Poll, "poll", make<DisplayNotification>, T::Display},
    {C::ProductOfferChanged, "product_offer_changed", plain, T::Unrecognized},
    {C::ProfileChanged, "profile_changed", make<DisplayNotification>, T::Display},
    {C::ProfileDeletedMessage, "profile_deleted_message", make<DisplayNotification>, T::Display},
    {C::PromocodeActivated, "promocode_activated", make<DisplayNotification>, T::Display},
    {C::PromocodeExpiring, "promocode_expiring", make<DisplayNotification>, T::Display},
    {C::PromoperiodExpiring, "promoperiod_expiring", make<DisplayNotification>, T::Display},
    {C::Purchase, "purchase", make<DisplayNotification>, T::Display},
    {C::Rebalance, "rebalance", make<rdm::Command>, T::NoEventType},
    {C::Reboot, "reboot", make<rdm::Command>, T::NoEventType},
    {C::RecurrentPaymentNotice, "recurrent_payment_notice", make<DisplayNotification>, T::Display},
    {C::Reminder, "reminder", make<DisplayNotification>, T::Display},
    {C::RemoteUp, "remote_up", plain, T::Unrecognized},
    {C::RemoteDown, "remote_down", plain, T::Unrecognized},
    {C::RemoteLeft, "remote_left", plain, T::Unrecognized},
    {C::RemoteRight, "remote_right", plain, T::Unrecognized},
    {C::RemoteOk, "remote_ok", plain, T::Unrecognized},
    {C::RemoteSearch, "remote_search", make<RemoteSearchNotification>, T::Search},
    {C::RemoteTarget, "remote_target", make<RemoteTargetNotification>, T::Target},
    {C::RemoteSetChannel, "remote_set_channel", make<RemoteSetChannelNotification>, T::TvRemoteControl},
    {C::RemoteSetVolume, "remote_set_volume", make<RemoteSetVolumeNotification>, T::TvRemoteControl},
    {C::RemoteTurnOff, "remote_turn_off", plain, T::TvRemoteControl},
    {C::RemoteTurnOn, "remote_turn_on", plain, T::TvRemoteControl},
    {C::Restart, "restart", plain, T::Unrecognized},
    {C::VemoRestart, "vemo_restart", plain, T::Unrecognized},
    {C::SdpGetOssAccountFailed, "sdp_get_oss_account_failed", make<DisplayNotification>, T::Display},
    {C::SendLogs, "send_logs", make<rdm::Command>, T::NoEventType},
    {C::SendSystemStatus, "send_system_status", make<rdm::Command>, T::NoEventType},
    {C::ServiceTransfer, "service_transfer", make<DisplayNotification>, T::Display},
    {C::Standby, "standby", make<rdm::StandbyCommand>, T::Options},
    {C::SubscribeConfirmRequired, "subscribe_confirm_required", make<DisplayNotification>, T::Display},
    {C::TransferPlayback, "transfer_playback", make<DisplayNotification>, T::Display},
    {C::Traceroute, "traceroute", make<rdm::TracerouteCommand>, T::Options},
    {C::TstvNotPurchased, "tstv_not_purchased", make<DisplayNotification>, T::Display},
    {C::TuneChannel, "tune_channel", make<rdm::TuneChannelCommand>, T::Options},
    {C::Unsubscribe, "unsubscribe", make<DisplayNotification>, T::Display},
    {C::UnsubscribeConfirmRequired, "unsubscribe_confirm_required", make<DisplayNotification>, T::Display},
    {C::VodCertificateCreated, "vod_certificate_created", make<DisplayNotification>, T::Display},
    {C::EnableSshTunnel, "enable_ssh_tunnel", make<SshTunnelNotification>, T::SshTunnel},
    {C::DisableSshTunnel, "disable_ssh_tunnel", plain, T::Unrecognized},
    {C::SyncPurchase, "sync_purchase", make<SyncPurchaseNotification>, T::Item},
    {C::SyncPurchases, "sync_purchases", make<SyncServicesNotification>, T::Services},
    {C::SyncUnsubscribes, "sync_unsubscribes", make<SyncServicesNotification>, T::Services},
    {C::ProfileUpdated, "profile_updated", make<UpdateProfileNotification>, T::Item},
    {C::VemoReset, "vemo_reset", make<rdm::VemoResetCommand>, T::Options},
};

const QHash<QString, const CodeRow*>& codesByWire()
{
    static const QHash<QString, const CodeRow*> table = [] {
        QHash<QString, const CodeRow*> byWire;
        byWire.reserve(int(std::size(codeTable)));
        for (const CodeRow& row : codeTable)
            byWire.insert(QString::fromLatin1(row.wire), &row);
        return byWire;
    }();
    return table;
}

const ConstantsDictionary<QString, NotificationEventType>& eventTypeDictionary()
{
    static const ConstantsDictionary<QString, NotificationEventType> table(
        {{QString(), T::NoEventType}, {"account_status", T::AccountStatus}, {"assistant", T::Assistant},
         {"assist_command", T::AssistCommand}, {"display", T::Display}, {"item", T::Item},
         {"logging", T::Logging}, {"options", T::Options}, {"payment_details", T::PaymentDetails},
         {"product_offer", T::ProductOffer}, {"search", T::Search}, {"services", T::Services},
         {"ssh_tunnel", T::SshTunnel}, {"system_settings", T::SystemSettings}, {"target", T::Target},
         {"tv_remote_control", T::TvRemoteControl}},
        T::Unrecognized);
    return table;
}

template<class E>
const char* enumName(E value)
{
    return QMetaEnum::fromType<E>().valueToKey(int(value));
}

// Built once the library is loaded, before any answer is decoded.
const bool embeddedHookInstalled = [] {
    setEmbeddedNotificationFactory(&createEmbeddedNotification);
    return true;
}();

} // namespace

QString notificationEventCodeName(NotificationEventCode code)
{
    for (const CodeRow& row : codeTable) {
        if (row.code == code)
            return QString::fromLatin1(row.wire);
    }
    return {};
}

QSharedPointer<Notification> Notification::createNotificationFromJson(const QJsonObject& message)
{
    const QString code = message.value(QLatin1String("event_code")).toString();
    const CodeRow* row = codesByWire().value(code);
    if (!row) {
        TQ_LOG(logging::Warning, logContext()) << "unrecognized event code:" << code << "NotificationEventCode"
                                               << ", notification created via default constructor";
        return QSharedPointer<Notification>::create();
    }
    QSharedPointer<Notification> notification = row->make(row->code, row->type, message);
    if (row->make == &ignored)
        return notification;
    const NotificationEventType received =
        eventTypeDictionary().value(message.value(QLatin1String("event_type")).toString());
    if (received != notification->eventType) {
        TQ_LOG(logging::Warning, logContext())
            << "event types do not match, current type:" << enumName(received) << ", internal type:"
            << enumName(notification->eventType);
    }
    notification->messageId = message.value(QLatin1String("message_id")).toString();
    return notification;
}

QSharedPointer<Notification> createEmbeddedNotification(const QJsonObject& object)
{
    QSharedPointer<Notification> notification = Notification::createNotificationFromJson(object);
    notification->priority = NotificationPriority::High;
    return notification;
}

} // namespace tq
