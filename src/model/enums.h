#pragma once
// The tq namespace's meta-object. moc gives a namespace exactly one staticMetaObject,
// so every enumeration declared at tq namespace level lives in this header; their
// names are then available by reflection (logs, QVariant conversion).

#include "tqglobal.h"

#include <QObject>

#include "model/constantsdictionary.h"

namespace tq {
Q_NAMESPACE_EXPORT(TQ_EXPORT)

// The kind of a request; selects the backend that composes and judges it.
enum class MethodType : int {
    AdBannerAudit = 0,
    AdStreamApi = 1,
    AdStreamAudit = 2,
    StaticDataApi = 3,
    StaticDataImage = 4,
    FirmwareFile = 5,
    GeneralRequest = 6,
    GetShopAdApi = 7,
    GetShopAdAudit = 8,
    GetShopApi = 9,
    GetShopAudit = 10,
    GetShopImage = 11,
    GetShopTextPlain = 12,
    MediascopeApi = 13,
    TqAnalytics = 14,
    TqApi = 15,
    TqDiscover = 16,
    TqImage = 17,
    PartyStationApi = 18,
    PartyStationImage = 19,
    PaymentServiceApi = 20,
    RdmApi = 21,
    ReleaseNotesHtml = 22,
    ReleaseNotesImage = 23,
    Scte35Nsc = 24,
    Scte35NscAudit = 25,
    Scte35PostMedia = 26,
    Scte35PostMediaAudit = 27,
    SytApi = 28,
    SytStatus = 29,
    ThumbnailsApi = 30,
    ThumbnailsImage = 31,
    VemoServicesAvailability = 32,
};
Q_ENUM_NS(MethodType)
constexpr int MethodTypeCount = 33;

// What a platform request is for, as far as the session logic cares.
enum class MethodSpecializaton : int {
    Unknown = 0,
    Content = 1,
    Dictionary = 2,
    NewSession = 3,
    Settings = 4,
};
Q_ENUM_NS(MethodSpecializaton)

// Enumerations the platform sends as text. Each is followed by its wire strings and the
// accessor of its dictionary (see constantsdictionary.h); members without a wire string
// are produced only as defaults and encode to an empty text.

enum class AutopaymentStatus : int { Unknown = 0, Enabled = 1, Disabled = 2, ExternalBilling = 3 };
Q_ENUM_NS(AutopaymentStatus)
TQ_WIRE_STRINGS(AutopaymentStatus, autopaymentStatusKeysDictionary,
                {"enabled", E::Enabled}, {"disabled", E::Disabled},
                {"external_billing", E::ExternalBilling})

// Keys of the "details" entries of a platform error body.
enum class ErrorDetailsKey : int { Unknown = 0, Balance = 1, RefillAmount = 2, MediaViewAlias = 3 };
Q_ENUM_NS(ErrorDetailsKey)
TQ_WIRE_STRINGS(ErrorDetailsKey, errorDetailsKeysDictionary,
                {"balance", E::Balance}, {"refill_amount", E::RefillAmount},
                {"media_view_alias", E::MediaViewAlias})

enum class MediaItemType : int { Unknown = 0, Film = 1, Series = 2, Season = 3, Episode = 4 };
Q_ENUM_NS(MediaItemType)
TQ_WIRE_STRINGS(MediaItemType, mediaItemsDictionary,
                {"film", E::Film}, {"series", E::Series}, {"season", E::Season},
                {"episode", E::Episode})

enum class MediaFileType : int { Unknown = 0, Image = 1, Video = 2 };
Q_ENUM_NS(MediaFileType)
TQ_WIRE_STRINGS(MediaFileType, mediaFileTypesDictionary,
                {"image", E::Image}, {"video", E::Video})

enum class ProfileType : int { Unknown = 0, Master = 1, Child = 2, Default = 3, B2bHotel = 4 };
Q_ENUM_NS(ProfileType)
TQ_WIRE_STRINGS(ProfileType, profileTypesDictionary,
                {"master", E::Master}, {"child", E::Child}, {"default", E::Default},
                {"btb_hotel_guest", E::B2bHotel})

enum class PurchaseStatus : int {
    Unknown = 0, Successful = 1, Rejected = 2, Processing = 3, Error = 4, WaitPayment = 5
};
Q_ENUM_NS(PurchaseStatus)
TQ_WIRE_STRINGS(PurchaseStatus, purchaseStatusDictionary,
                {"successful", E::Successful}, {"rejected", E::Rejected},
                {"processing", E::Processing}, {"error", E::Error}, {"wait_payment", E::WaitPayment})

// The numbers are not in the order of the wire strings.
enum class PurchaseType : int { Unknown = 0, Service = 1, MediaItem = 2, AccountRefill = 3 };
Q_ENUM_NS(PurchaseType)
TQ_WIRE_STRINGS(PurchaseType, purchaseTypesDictionary,
                {"media_item", E::MediaItem}, {"service", E::Service},
                {"account_refill", E::AccountRefill})

enum class SessionState : int {
    Unknown = 0, Normal = 1, Unauthorized = 2, Restricted = 3, Demo = 4
};
Q_ENUM_NS(SessionState)
TQ_WIRE_STRINGS(SessionState, sessionStateDictionary,
                {"normal", E::Normal}, {"unauthorized", E::Unauthorized},
                {"restricted", E::Restricted}, {"demo", E::Demo})

enum class QualityType : int { Unknown = 0, SD = 1, HD = 2, The3D = 3, UltraHD = 4 };
Q_ENUM_NS(QualityType)
TQ_WIRE_STRINGS(QualityType, qualityTypesDictionary,
                {"SD", E::SD}, {"HD", E::HD}, {"3D", E::The3D}, {"4K", E::UltraHD})

enum class PaymentType : int { Unknown = 0, AccountRefill = 1, Purchase = 2, CardBind = 3 };
Q_ENUM_NS(PaymentType)
TQ_WIRE_STRINGS(PaymentType, paymentTypesDictionary,
                {"account_refill", E::AccountRefill}, {"purchase", E::Purchase},
                {"card_bind", E::CardBind})

// Unknown has a wire string of its own.
enum class TicketStatus : int {
    Unknown = 0, New = 1, WaitPayment = 2, Processing = 3, Successful = 4, Rejected = 5, Error = 6
};
Q_ENUM_NS(TicketStatus)
TQ_WIRE_STRINGS(TicketStatus, ticketStatusDictionary,
                {"undefined", E::Unknown}, {"new", E::New}, {"wait_payment", E::WaitPayment},
                {"processing", E::Processing}, {"successful", E::Successful},
                {"rejected", E::Rejected}, {"error", E::Error})

// Numbered from 0 by the platform, so Unknown comes last.
enum class PaymentMethod : int {
    AccountPrepaid = 0, AccountCredit = 1, ExternalUrl = 2, LinkedCard = 3, AnyCard = 4, Bonus = 5,
    Unknown = 6
};
Q_ENUM_NS(PaymentMethod)
TQ_WIRE_STRINGS(PaymentMethod, paymentMethodDictionary,
                {"account_prepaid", E::AccountPrepaid}, {"account_credit", E::AccountCredit},
                {"external_url", E::ExternalUrl}, {"linked_card", E::LinkedCard},
                {"any_card", E::AnyCard}, {"bonus", E::Bonus})

enum class BroadcastType : int { Unknown = 0, Iptv = 1, Ott = 2 };
Q_ENUM_NS(BroadcastType)
TQ_WIRE_STRINGS(BroadcastType, broadCastTypesDictionary,
                {"iptv", E::Iptv}, {"ott", E::Ott})

enum class CheckLoginAction : int {
    Unknown = 0, Auth = 1, Register = 2, AddEmail = 3, ChangeEmail = 4, AddPhone = 5,
    ChangePhone = 6, AddLogin = 7
};
Q_ENUM_NS(CheckLoginAction)
TQ_WIRE_STRINGS(CheckLoginAction, checkLoginActionDictionary,
                {"auth", E::Auth}, {"register", E::Register}, {"add_email", E::AddEmail},
                {"change_email", E::ChangeEmail}, {"add_phone", E::AddPhone},
                {"change_phone", E::ChangePhone}, {"add_login", E::AddLogin})

enum class RequestAction : int {
    Unknown = 0, Auth = 1, Register = 2, EditSettings = 3, ChangePassword = 4, ResetPassword = 5,
    AddEmail = 6, ChangeEmail = 7, DeleteEmail = 8, AddPhone = 9, ChangePhone = 10,
    DeletePhone = 11, AddLogin = 12, Merge = 13, ResetPin = 14
};
Q_ENUM_NS(RequestAction)
TQ_WIRE_STRINGS(RequestAction, requestActionDictionary,
                {"auth", E::Auth}, {"register", E::Register}, {"edit_settings", E::EditSettings},
                {"change_password", E::ChangePassword}, {"reset_password", E::ResetPassword},
                {"add_email", E::AddEmail}, {"change_email", E::ChangeEmail},
                {"delete_email", E::DeleteEmail}, {"add_phone", E::AddPhone},
                {"change_phone", E::ChangePhone}, {"delete_phone", E::DeletePhone},
                {"add_login", E::AddLogin}, {"merge_accounts", E::Merge}, {"reset_pin", E::ResetPin})

enum class AvailableAction : int {
    Unknown = 0, ChangePassword = 1, ResetPassword = 2, AddEmail = 3, ChangeEmail = 4,
    DeleteEmail = 5, AddPhone = 6, ChangePhone = 7, DeletePhone = 8, ViewOffer = 9,
    UseOttTvCode = 10, PromoCodeActivate = 11, SetLocation = 12, ResetPinCode = 13
};
Q_ENUM_NS(AvailableAction)
TQ_WIRE_STRINGS(AvailableAction, availableActionDictionary,
                {"change_password", E::ChangePassword}, {"reset_password", E::ResetPassword},
                {"add_email", E::AddEmail}, {"change_email", E::ChangeEmail},
                {"delete_email", E::DeleteEmail}, {"add_phone", E::AddPhone},
                {"change_phone", E::ChangePhone}, {"delete_phone", E::DeletePhone},
                {"view_offer", E::ViewOffer}, {"use_ott_tv_code", E::UseOttTvCode},
                {"promo_code_activate", E::PromoCodeActivate}, {"set_location", E::SetLocation})

enum class ContentItemType : int {
    Unknown = 0, MediaItem = 1, Channel = 2, KaraokeItem = 3, Epg = 4, Service = 5, Collection = 6
};
Q_ENUM_NS(ContentItemType)
TQ_WIRE_STRINGS(ContentItemType, contentItemType,
                {"media_item", E::MediaItem}, {"channel", E::Channel},
                {"karaoke_item", E::KaraokeItem}, {"epg", E::Epg}, {"service", E::Service},
                {"collection", E::Collection})

enum class NpvrItemStatus : int { Unknown = 0, Archived = 1, Scheduled = 2 };
Q_ENUM_NS(NpvrItemStatus)
TQ_WIRE_STRINGS(NpvrItemStatus, npvrDictionary,
                {"archived", E::Archived}, {"scheduled", E::Scheduled})

// How an item is offered. 0 has two names; the empty text is itself a key and
// decodes to NotPurchased.
enum class UsageModel : int {
    UnknownPurchased = 0, Unknown = 0, EST = 1, TVOD = 2, AVOD = 3, Service = 4, Free = 5,
    NotPurchased = 6
};
Q_ENUM_NS(UsageModel)
TQ_WIRE_STRINGS(UsageModel, usageModelsDictionary,
                {"UNKNOWN", E::UnknownPurchased}, {"EST", E::EST}, {"TVOD", E::TVOD},
                {"AVOD", E::AVOD}, {"SERVICE", E::Service}, {"FREE", E::Free}, {"", E::NotPurchased})

enum class ServiceType : int {
    Unknown = 0, ChannelPackage = 1, VodAbonement = 2, KaraokeAbonement = 3, Bundle = 4,
    TiruCQuota = 5, Tstv = 6, AllInclusive = 7
};
Q_ENUM_NS(ServiceType)
TQ_WIRE_STRINGS(ServiceType, serviceTypesDictionary,
                {"CHANNELPACKAGE", E::ChannelPackage}, {"VODABONEMENT", E::VodAbonement},
                {"KARAOKEABONEMENT", E::KaraokeAbonement}, {"BUNDLE", E::Bundle},
                {"TIRUCQUOTA", E::TiruCQuota}, {"TSTV", E::Tstv}, {"ALLINCLUSIVE", E::AllInclusive})

enum class LoginMode : int {
    Unknown = 0, Register = 1, Authorize = 2, Add = 3, Merge = 4, Change = 5
};
Q_ENUM_NS(LoginMode)
TQ_WIRE_STRINGS(LoginMode, loginModeDictionary,
                {"register", E::Register}, {"authorize", E::Authorize}, {"add", E::Add},
                {"merge", E::Merge}, {"change", E::Change})

enum class LoginType : int {
    Unknown = 0, ActivationNumber = 1, AuthCode = 2, Email = 3, EmailLegacy = 4, OttTvCode = 5,
    Phone = 6
};
Q_ENUM_NS(LoginType)
TQ_WIRE_STRINGS(LoginType, loginTypeDictionary,
                {"activation_number", E::ActivationNumber}, {"auth_code", E::AuthCode},
                {"email", E::Email}, {"email_legacy", E::EmailLegacy},
                {"ott_tv_code", E::OttTvCode}, {"phone", E::Phone})

enum class DictionarySectionType : int {
    Unknown = 0, Films = 1, Series = 2, Channels = 3, Karaoke = 4, Child = 5
};
Q_ENUM_NS(DictionarySectionType)
TQ_WIRE_STRINGS(DictionarySectionType, dictionarySectionType,
                {"films_genres", E::Films}, {"series_genres", E::Series},
                {"channels_themes", E::Channels}, {"karaoke_genres", E::Karaoke},
                {"child_genres", E::Child})

enum class B2bType : int { Unknown = 0, Private = 1, Hotel = 2, Legal = 3, Public = 4, Corp = 5 };
Q_ENUM_NS(B2bType)
TQ_WIRE_STRINGS(B2bType, b2bTypesDictionary,
                {"b2c", E::Private}, {"hotel", E::Hotel}, {"legal", E::Legal},
                {"public", E::Public}, {"corp", E::Corp})

enum class AccountStatusType : int {
    Unknown = 0, Active = 1, NotActive = 2, Blocked = 3, Closed = 4, Deleted = 5, Checkout = 6,
    Empty = 7
};
Q_ENUM_NS(AccountStatusType)
TQ_WIRE_STRINGS(AccountStatusType, accountStatusTypesDictionary,
                {"ACTIVE", E::Active}, {"NOTACTIVE", E::NotActive}, {"BLOCKED", E::Blocked},
                {"CLOSED", E::Closed}, {"DELETED", E::Deleted}, {"CHECKOUT", E::Checkout},
                {"EMPTY", E::Empty})

enum class BlockingReasonType : int {
    Unknown = 0, Finance = 1, Voluntary = 2, Moving = 3, NoReason = 4, Fraud = 5
};
Q_ENUM_NS(BlockingReasonType)
TQ_WIRE_STRINGS(BlockingReasonType, blockingReasonTypesDictionary,
                {"FINBLOCK", E::Finance}, {"VOLUNTARY", E::Voluntary}, {"MOVING", E::Moving},
                {"NOREASON", E::NoReason}, {"FRAUD", E::Fraud})

enum class DisplayType : int { Unknown = 0, Block = 1, List = 2 };
Q_ENUM_NS(DisplayType)
TQ_WIRE_STRINGS(DisplayType, displayTypeDictionary,
                {"block", E::Block}, {"list", E::List})

enum class VoiceAssistCommandType : int {
    Unknown = 0, Channel = 1, Focus = 2, MediaItem = 3, Off = 4, On = 5, Playback = 6, Program = 7,
    Screen = 8, Search = 9, Volume = 10
};
Q_ENUM_NS(VoiceAssistCommandType)
TQ_WIRE_STRINGS(VoiceAssistCommandType, voiceAssistCommandTypeDictionary,
                {"channel", E::Channel}, {"focus", E::Focus}, {"media_item", E::MediaItem},
                {"off", E::Off}, {"on", E::On}, {"playback", E::Playback}, {"program", E::Program},
                {"screen", E::Screen}, {"search", E::Search}, {"volume", E::Volume})

enum class VoiceAssistChannelCommandType : int { Unknown = 0, Set = 1, Up = 2, Down = 3 };
Q_ENUM_NS(VoiceAssistChannelCommandType)
TQ_WIRE_STRINGS(VoiceAssistChannelCommandType, voiceAssistChannelCommandTypeDictionary,
                {"set", E::Set}, {"up", E::Up}, {"down", E::Down})

enum class VoiceAssistFocusCommandType : int {
    Unknown = 0, Back = 1, Down = 2, Left = 3, Right = 4, Up = 5
};
Q_ENUM_NS(VoiceAssistFocusCommandType)
TQ_WIRE_STRINGS(VoiceAssistFocusCommandType, voiceAssistFocusCommandTypeDictionary,
                {"back", E::Back}, {"down", E::Down}, {"left", E::Left}, {"right", E::Right},
                {"up", E::Up})

enum class VoiceAssistMediaItemActionType : int {
    Unknown = 0, EpisodeDown = 1, EpisodeUp = 2, Set = 3
};
Q_ENUM_NS(VoiceAssistMediaItemActionType)
TQ_WIRE_STRINGS(VoiceAssistMediaItemActionType, voiceAssistMediaItemActionTypeDictionary,
                {"episode_down", E::EpisodeDown}, {"episode_up", E::EpisodeUp}, {"set", E::Set})

enum class VoiceAssistMediaItemType : int { Unknown = 0, Film = 1, Series = 2 };
Q_ENUM_NS(VoiceAssistMediaItemType)
TQ_WIRE_STRINGS(VoiceAssistMediaItemType, voiceAssistMediaItemTypeDictionary,
                {"film", E::Film}, {"series", E::Series})

enum class VoiceAssistVolumeCommandType : int {
    Unknown = 0, Set = 1, Up = 2, Down = 3, Mute = 4, Unmute = 5
};
Q_ENUM_NS(VoiceAssistVolumeCommandType)
TQ_WIRE_STRINGS(VoiceAssistVolumeCommandType, voiceAssistVolumeCommandTypeDictionary,
                {"set", E::Set}, {"up", E::Up}, {"down", E::Down}, {"mute", E::Mute},
                {"unmute", E::Unmute})

enum class VoiceAssistPlaybackCommandType : int {
    Unknown = 0, Pause = 1, Play = 2, Forward = 3, Backward = 4, Start = 5, SetPosition = 6
};
Q_ENUM_NS(VoiceAssistPlaybackCommandType)
TQ_WIRE_STRINGS(VoiceAssistPlaybackCommandType, voiceAssistPlaybackCommandTypeDictionary,
                {"pause", E::Pause}, {"play", E::Play}, {"forward", E::Forward},
                {"backward", E::Backward}, {"start", E::Start}, {"set_position", E::SetPosition})

enum class VoiceAssistProgramCommandType : int { Unknown = 0, Down = 1, Up = 2 };
Q_ENUM_NS(VoiceAssistProgramCommandType)
TQ_WIRE_STRINGS(VoiceAssistProgramCommandType, voiceAssistProgramCommandTypeDictionary,
                {"down", E::Down}, {"up", E::Up})

enum class VoiceAssistScreenCommandType : int { Unknown = 0, Target = 1 };
Q_ENUM_NS(VoiceAssistScreenCommandType)
TQ_WIRE_STRINGS(VoiceAssistScreenCommandType, voiceAssistScreenCommandTypeDictionary,
                {"target", E::Target})

enum class MessageStatus : int { Unknown = 0, Delivered = 1, Shown = 2, Clicked = 3 };
Q_ENUM_NS(MessageStatus)
TQ_WIRE_STRINGS(MessageStatus, messageStatusDictionary,
                {"delivered", E::Delivered}, {"shown", E::Shown}, {"clicked", E::Clicked})

enum class MessageType : int { Unknown = 0, Message = 1, Poll = 2 };
Q_ENUM_NS(MessageType)
TQ_WIRE_STRINGS(MessageType, messageTypeDictionary,
                {"message", E::Message}, {"poll", E::Poll})

enum class DeliveryType : int { Unknown = 0, Messages = 1, Websocket = 2 };
Q_ENUM_NS(DeliveryType)
TQ_WIRE_STRINGS(DeliveryType, deliveryTypeDictionary,
                {"messages", E::Messages}, {"websocket", E::Websocket})

// Push notifications. The "event_code" texts, and what each code is built into, are one
// table in notifications/notificationfactory.cpp.
enum class NotificationEventCode : int {
    Unrecognized = 0, InternalMessage = 1, AccountRefillSuccess = 2, AccountStatus = 3,
    AppUpdateMessage = 4, AppUpdate = 5, AssistantActivated = 6, AssistantDeactivated = 7,
    AssistCommand = 8, AutorenewCancelled = 9, AutorenewNotCancelled = 10, BankCardAdding = 11,
    BankCardAdded = 12, BankCardNotAdded = 13, BankCardDeleted = 14, BankCardNeedAdd = 15,
    BankCardNotDeleted = 16, BonusesChanged = 17, ChangeLogging = 18, ChangeSystemSettings = 19,
    CheckAccountSummary = 20, CheckFirmwareUpdate = 21, CheckMulticast = 22, CheckSettings = 23,
    Curl = 24, DeviceDeleted = 25, EmailLinked = 26, EmailRemoved = 27, Emergency = 28,
    GeoLocationChanged = 29, Healthcheck = 30, LocationChanged = 31, MarketingMessage = 32,
    Message = 33, MergeAccounts = 34, NotEnoughQuota = 35, Nslookup = 36, OttTvActivated = 37,
    OttTvCodeChecked = 38, PaymentFailed = 39, PincodeDeleted = 40, PincodeChanged = 41, Ping = 42,
    PhoneLinked = 43, PhoneRemoved = 44, Poll = 45, ProductOfferChanged = 46, ProfileChanged = 47,
    ProfileDeletedMessage = 48, PromocodeActivated = 49, PromocodeExpiring = 50,
    PromoperiodExpiring = 51, Purchase = 52, Rebalance = 53, Reboot = 54,
    RecurrentPaymentNotice = 55, Reminder = 56, RemoteUp = 57, RemoteDown = 58, RemoteLeft = 59,
    RemoteRight = 60, RemoteOk = 61, RemoteSearch = 62, RemoteTarget = 63, RemoteSetChannel = 64,
    RemoteSetVolume = 65, RemoteTurnOff = 66, RemoteTurnOn = 67, Restart = 68, VemoRestart = 69,
    SdpGetOssAccountFailed = 70, SendLogs = 71, SendSystemStatus = 72, ServiceTransfer = 73,
    Standby = 74, SubscribeConfirmRequired = 75, TransferPlayback = 76, Traceroute = 77,
    TstvNotPurchased = 78, TuneChannel = 79, Unsubscribe = 80, UnsubscribeConfirmRequired = 81,
    VodCertificateCreated = 82, EnableSshTunnel = 83, DisableSshTunnel = 84, SyncPurchase = 85,
    SyncPurchases = 86, SyncUnsubscribes = 87, SyncServicesCompleted = 88, ProfileUpdated = 89,
    VemoReset = 90
};
Q_ENUM_NS(NotificationEventCode)

// The payload type the library expects for a code ("event_type" on the wire).
enum class NotificationEventType : int {
    Unrecognized = 0, NoEventType = 1, AccountStatus = 2, Assistant = 3, AssistCommand = 4, Display = 5,
    Item = 6, Logging = 7, Options = 8, PaymentDetails = 9, ProductOffer = 10, RemoteKeyController = 11,
    Search = 12, Services = 13, SshTunnel = 14, SystemSettings = 15, Target = 16, TvRemoteControl = 17,
    Update = 18
};
Q_ENUM_NS(NotificationEventType)

enum class NotificationPriority : int { Low = 0, High = 1 };
Q_ENUM_NS(NotificationPriority)

enum class NotificationStatus : int { Confirmed = 0, Canceled = 1 };
Q_ENUM_NS(NotificationStatus)

enum class NotificationDisplayType : int { Unknown = 0, Panel = 1, Popup = 2 };
Q_ENUM_NS(NotificationDisplayType)
TQ_WIRE_STRINGS(NotificationDisplayType, NotificationDisplayTypeDictionary,
                {"popup", E::Popup}, {"panel", E::Panel})

enum class NotificationPopupType : int { Unknown = 0, Message = 1, Success = 2 };
Q_ENUM_NS(NotificationPopupType)
TQ_WIRE_STRINGS(NotificationPopupType, NotificationPopupTypeDictionary,
                {"success", E::Success}, {"message", E::Message})

enum class ImageOrientation : int { Unknown = 0, Landscape = 1, Portrait = 2 };
Q_ENUM_NS(ImageOrientation)
TQ_WIRE_STRINGS(ImageOrientation, imageOrientationDictionary,
                {"landscape", E::Landscape}, {"portrait", E::Portrait})

enum class SystemSettingType : int {
    Unknown = 0, AudioDownmix = 1, AudioLevel = 2, AudioMute = 3, FontSize = 4, RcuLayout = 5,
    UiResolution = 6, VideoOutputs = 7
};
Q_ENUM_NS(SystemSettingType)
TQ_WIRE_STRINGS(SystemSettingType, systemSettingsTypeDictionary,
                {"audio_downmix", E::AudioDownmix}, {"audio_level", E::AudioLevel},
                {"audio_mute", E::AudioMute}, {"font_size", E::FontSize},
                {"rcu_layout", E::RcuLayout}, {"ui_resolution", E::UiResolution},
                {"video_outputs", E::VideoOutputs})

enum class FontSizeType : int { Unknown = 0, Big = 1, Normal = 2 };
Q_ENUM_NS(FontSizeType)
TQ_WIRE_STRINGS(FontSizeType, fontSizeTypeDictionary,
                {"big", E::Big}, {"normal", E::Normal})

enum class DurationUnit : int {
    Unknown = 0, Second = 1, Hour = 2, Week = 3, Day = 4, Month = 5, Year = 6
};
Q_ENUM_NS(DurationUnit)
TQ_WIRE_STRINGS(DurationUnit, durationUnitDictionary,
                {"second", E::Second}, {"hour", E::Hour}, {"day", E::Day}, {"month", E::Month},
                {"year", E::Year})

enum class PriceType : int {
    Unknown = 0, Full = 1, OneTime = 2, Trial = 3, Discount = 4, Intro = 5, Bonus = 6, Promocode = 7
};
Q_ENUM_NS(PriceType)
TQ_WIRE_STRINGS(PriceType, priceTypeDictionary,
                {"full", E::Full}, {"one_time", E::OneTime}, {"trial", E::Trial},
                {"discount", E::Discount}, {"intro", E::Intro}, {"bonus", E::Bonus},
                {"promocode", E::Promocode})

enum class ActionType : int {
    Unknown = 0, Purchase = 1, PurchaseVariants = 2, AvodPurchaseVariants = 3, Watch = 4,
    WatchPreview = 5, JointViewing = 6, Unsubscribe = 7, CancelRequest = 8, VodCertificate = 9
};
Q_ENUM_NS(ActionType)
TQ_WIRE_STRINGS(ActionType, actionTypeDictionary,
                {"purchase", E::Purchase}, {"purchase_variants", E::PurchaseVariants},
                {"avod_purchase_variants", E::AvodPurchaseVariants}, {"watch", E::Watch},
                {"watch_preview", E::WatchPreview}, {"joint_viewing", E::JointViewing},
                {"unsubscribe", E::Unsubscribe}, {"cancel_request", E::CancelRequest},
                {"vod_certificate", E::VodCertificate})

enum class ServiceStatus : int {
    Unknown = 0, Subscribed = 1, SubscribedInExternalBilling = 2, SubscribeRequested = 3,
    UnsubscribeRequested = 4, SubscribeProcessing = 5, UnsubscribeProcessing = 6,
    CancelSubscribeRequested = 7, CancelUnsubscribeRequested = 8
};
Q_ENUM_NS(ServiceStatus)
TQ_WIRE_STRINGS(ServiceStatus, serviceStatusDictionary,
                {"subscribed", E::Subscribed},
                {"subscribed_in_external_billing", E::SubscribedInExternalBilling},
                {"subscribe_requested", E::SubscribeRequested},
                {"unsubscribe_requested", E::UnsubscribeRequested},
                {"subscribe_processing", E::SubscribeProcessing},
                {"unsubscribe_processing", E::UnsubscribeProcessing},
                {"cancel_subscribe_requested", E::CancelSubscribeRequested},
                {"cancel_unsubscribe_requested", E::CancelUnsubscribeRequested})

enum class CertificateStatus : int { Unknown = 0, New = 1, Published = 2 };
Q_ENUM_NS(CertificateStatus)
TQ_WIRE_STRINGS(CertificateStatus, certificateStatusDictionary,
                {"new", E::New}, {"published", E::Published})

enum class BannerSize : int {
    Unknown = 0, Small = 1, Medium = 2, Large = 3, Stretching = 4, Persons = 5, Promo = 6,
    Collection = 7
};
Q_ENUM_NS(BannerSize)
TQ_WIRE_STRINGS(BannerSize, bannerSizeDictionary,
                {"small", E::Small}, {"medium", E::Medium}, {"large", E::Large},
                {"stretching", E::Stretching})

enum class LogoSize : int { Unknown = 0, Small = 1, Medium = 2, Large = 3 };
Q_ENUM_NS(LogoSize)
TQ_WIRE_STRINGS(LogoSize, logoSizeDictionary,
                {"small", E::Small}, {"medium", E::Medium}, {"large", E::Large})

enum class DeviceStatus : int { Unknown = 0, On = 1, Off = 2, Active = 3 };
Q_ENUM_NS(DeviceStatus)
TQ_WIRE_STRINGS(DeviceStatus, deviceStatusDictionary,
                {"on", E::On}, {"off", E::Off}, {"active", E::Active})

enum class BonusProgramAction : int {
    Unknown = 0, Register = 1, Unregister = 2, ChangeLogin = 3, UseCustomLogin = 4
};
Q_ENUM_NS(BonusProgramAction)
TQ_WIRE_STRINGS(BonusProgramAction, bonusProgramActionDictionary,
                {"register", E::Register}, {"unregister", E::Unregister},
                {"change_login", E::ChangeLogin}, {"use_custom_login", E::UseCustomLogin})

enum class BonusProgramStatus : int {
    Unknown = 0, NotRegistered = 1, NeedConfirm = 2, Processing = 3, Registered = 4
};
Q_ENUM_NS(BonusProgramStatus)
TQ_WIRE_STRINGS(BonusProgramStatus, bonusProgramStatusDictionary,
                {"not_registered", E::NotRegistered}, {"need_confirm", E::NeedConfirm},
                {"processing", E::Processing}, {"registered", E::Registered})

enum class BonusProgramLoginType : int { Unknown = 0, Phone = 1, Email = 2 };
Q_ENUM_NS(BonusProgramLoginType)
TQ_WIRE_STRINGS(BonusProgramLoginType, bonusProgramLoginTypeDictionary,
                {"phone", E::Phone}, {"email", E::Email})

enum class MyMovieCategoryType : int {
    Unknown = 0, Favourites = 1, Channels = 2, Films = 3, Serials = 4, ForKids = 5, Free = 6
};
Q_ENUM_NS(MyMovieCategoryType)
TQ_WIRE_STRINGS(MyMovieCategoryType, myMovieCategoryTypeDictionary,
                {"favourites", E::Favourites}, {"channels", E::Channels}, {"films", E::Films},
                {"serials", E::Serials}, {"for_kids", E::ForKids}, {"free", E::Free})

enum class SkippableFramentType : int { Unknown = 0, Intro = 1, Credits = 2, Flashback = 3 };
Q_ENUM_NS(SkippableFramentType)
TQ_WIRE_STRINGS(SkippableFramentType, skippableFragmentTypeDictionary,
                {"intro", E::Intro}, {"credits", E::Credits}, {"flashback", E::Flashback})

enum class SkippableFramentAction : int {
    Unknown = 0, ShowSkipIntroButton = 1, ShowSkipFlashbackButton = 2, ShowSkipCreditsButton = 3,
    ShowNextEpisodeButton = 4, ShowRecomMediaView = 5
};
Q_ENUM_NS(SkippableFramentAction)
TQ_WIRE_STRINGS(SkippableFramentAction, skippableFragmentActionDictionary,
                {"show_skip_intro_button", E::ShowSkipIntroButton},
                {"show_skip_flashback_button", E::ShowSkipFlashbackButton},
                {"show_skip_credits_button", E::ShowSkipCreditsButton},
                {"show_next_episode_button", E::ShowNextEpisodeButton},
                {"show_recom_media_view", E::ShowRecomMediaView})

enum class MediaPositionAction : int {
    Unknown = 0, Play = 1, Pause = 2, Rewind = 3, Exit = 4, Stop = 5, Transfer = 6, MiniPlayer = 7,
    Auto = 8
};
Q_ENUM_NS(MediaPositionAction)
TQ_WIRE_STRINGS(MediaPositionAction, mediaPositionActionDictionary,
                {"play", E::Play}, {"pause", E::Pause}, {"rewind", E::Rewind}, {"exit", E::Exit},
                {"stop", E::Stop}, {"transfer", E::Transfer}, {"mini_player", E::MiniPlayer},
                {"auto", E::Auto})

// Sent as an integer rather than as text; Unknown comes last.
enum class SubscribeMode : int {
    CanNotSubcribeAndCanNotUnsubscribe = 0, CanSubscribeAndCanUnsubscribe = 1,
    CanSubscribeAndCanNotUnsubscribe = 2, Unknown = 3
};
Q_ENUM_NS(SubscribeMode)
TQ_EXPORT const ConstantsDictionary<int, SubscribeMode>& subscribeModeDictionary();
#ifdef TQ_DEFINE_WIRE_STRINGS
const ConstantsDictionary<int, SubscribeMode>& subscribeModeDictionary()
{
    static const ConstantsDictionary<int, SubscribeMode> table(
        {{0, SubscribeMode::CanNotSubcribeAndCanNotUnsubscribe},
         {1, SubscribeMode::CanSubscribeAndCanUnsubscribe},
         {2, SubscribeMode::CanSubscribeAndCanNotUnsubscribe}},
        SubscribeMode::Unknown);
    return table;
}
#endif
template<>
struct WireStrings<SubscribeMode>
{
    static const ConstantsDictionary<int, SubscribeMode>& dictionary() { return subscribeModeDictionary(); }
};

} // namespace tq
