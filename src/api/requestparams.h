#pragma once
// The bodies of the platform's requests. Each is a declared object: compactJson() writes
// the body (api/requestfamilies.h), the same text as toJson in compact JSON; fromJson
// reads it back. Identifiers
// default to -1, other numbers to 0.

#include "tqglobal.h"

#include "model/enums.h"
#include "model/fields.h"
#include "model/profiles.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace tq {

class TQ_EXPORT AccountRefillParams : public DecodedObject<AccountRefillParams>
{
    TQ_DECODED(AccountRefillParams)
public:
    qint64 amount = 0;
    bool isShouldLinkCard = false;
    qint64 paymentMethodId = -1;
    static constexpr auto fields()
    {
        using P = AccountRefillParams;
        return std::make_tuple(field("amount", &P::amount), field("is_should_link_card", &P::isShouldLinkCard),
                               idField("payment_method_id", &P::paymentMethodId));
    }
};

class TQ_EXPORT ActivateOttTvCodeBody : public DecodedObject<ActivateOttTvCodeBody>
{
    TQ_DECODED(ActivateOttTvCodeBody)
public:
    QString ottTvCode;
    bool isConfirmed = false;
    static constexpr auto fields()
    {
        return std::make_tuple(field("ott_tv_code", &ActivateOttTvCodeBody::ottTvCode),
                               field("is_confirmed", &ActivateOttTvCodeBody::isConfirmed));
    }
};

class TQ_EXPORT ActivatePromoCodeBody : public DecodedObject<ActivatePromoCodeBody>
{
    TQ_DECODED(ActivatePromoCodeBody)
public:
    QString promoCode;
    static constexpr auto fields() { return std::make_tuple(field("promo_code", &ActivatePromoCodeBody::promoCode)); }
};

class TQ_EXPORT BuyContentParams : public DecodedObject<BuyContentParams>
{
    TQ_DECODED(BuyContentParams)
public:
    qint64 contentId = -1;
    bool isConfirmed = false;
    bool isShouldLinkCard = false;
    qint64 serviceId = -1;
    QString pinCode;
    qint64 bankCardId = -1;
    qint64 bonusProgramId = -1;
    qint64 purchaseOptionId = -1;
    qint64 priceId = -1;
    qint64 paymentMethodId = -1;
    static constexpr auto fields()
    {
        using P = BuyContentParams;
        return std::make_tuple(idField("content_id", &P::contentId), field("is_confirmed", &P::isConfirmed),
                               field("is_should_link_card", &P::isShouldLinkCard), idField("service_id", &P::serviceId),
                               field("pin_code", &P::pinCode), idField("bank_card_id", &P::bankCardId),
                               idField("bonus_program_id", &P::bonusProgramId),
                               idField("purchase_option_id", &P::purchaseOptionId), idField("price_id", &P::priceId),
                               idField("payment_method_id", &P::paymentMethodId));
    }
};

class TQ_EXPORT CancelSubscriptionParams : public DecodedObject<CancelSubscriptionParams>
{
    TQ_DECODED(CancelSubscriptionParams)
public:
    qint64 serviceId = -1;
    bool isConfirmed = false;
    static constexpr auto fields()
    {
        return std::make_tuple(idField("service_id", &CancelSubscriptionParams::serviceId),
                               field("is_confirmed", &CancelSubscriptionParams::isConfirmed));
    }
};

class TQ_EXPORT ChangeEmailParams : public DecodedObject<ChangeEmailParams>
{
    TQ_DECODED(ChangeEmailParams)
public:
    QString confirmationCode;
    QString email;
    QString password;
    static constexpr auto fields()
    {
        using P = ChangeEmailParams;
        return std::make_tuple(field("confirmation_code", &P::confirmationCode), field("email", &P::email),
                               field("password", &P::password));
    }
};

class TQ_EXPORT ChangePhoneParams : public DecodedObject<ChangePhoneParams>
{
    TQ_DECODED(ChangePhoneParams)
public:
    QString confirmationCode;
    QString phone;
    QString password;
    static constexpr auto fields()
    {
        using P = ChangePhoneParams;
        return std::make_tuple(field("confirmation_code", &P::confirmationCode), field("phone", &P::phone),
                               field("password", &P::password));
    }
};

class TQ_EXPORT ChangePINParams : public DecodedObject<ChangePINParams>
{
    TQ_DECODED(ChangePINParams)
public:
    QString newPin;
    QString oldPin;
    static constexpr auto fields()
    {
        return std::make_tuple(field("new_pin", &ChangePINParams::newPin), field("old_pin", &ChangePINParams::oldPin));
    }
};

class TQ_EXPORT ChangePasswordParams : public DecodedObject<ChangePasswordParams>
{
    TQ_DECODED(ChangePasswordParams)
public:
    QString newPassword;
    QString password;
    static constexpr auto fields()
    {
        return std::make_tuple(field("new_password", &ChangePasswordParams::newPassword),
                               field("password", &ChangePasswordParams::password));
    }
};
using DeletePhoneBody = ChangePasswordParams;

class TQ_EXPORT ResetPinBody : public DecodedObject<ResetPinBody>
{
    TQ_DECODED(ResetPinBody)
public:
    QString password;
    static constexpr auto fields() { return std::make_tuple(field("password", &ResetPinBody::password)); }
};
using DeleteEmailParams = ResetPinBody;

class TQ_EXPORT ValidatePinCodeParams : public DecodedObject<ValidatePinCodeParams>
{
    TQ_DECODED(ValidatePinCodeParams)
public:
    QString pinCode;
    static constexpr auto fields() { return std::make_tuple(field("pin_code", &ValidatePinCodeParams::pinCode)); }
};
using DeleteProfileByIDParams = ValidatePinCodeParams;

class TQ_EXPORT ChannelPreviewReq : public DecodedObject<ChannelPreviewReq>
{
    TQ_DECODED(ChannelPreviewReq)
public:
    qint64 channelId = -1;
    qint64 viewedTime = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(idField("channel_id", &ChannelPreviewReq::channelId),
                               field("viewed_time", &ChannelPreviewReq::viewedTime));
    }
};

class TQ_EXPORT ColdStartContentBody : public DecodedObject<ColdStartContentBody>
{
    TQ_DECODED(ColdStartContentBody)
public:
    QList<qint64> contentIds;
    QList<QString> genreAliases;
    static constexpr auto fields()
    {
        return std::make_tuple(field("content_ids", &ColdStartContentBody::contentIds),
                               field("genre_aliases", &ColdStartContentBody::genreAliases));
    }
};

class TQ_EXPORT ConfirmUserBonusProgramBody : public DecodedObject<ConfirmUserBonusProgramBody>
{
    TQ_DECODED(ConfirmUserBonusProgramBody)
public:
    QString requestId;
    QString confirmationCode;
    BonusProgramAction action = BonusProgramAction::Unknown;
    static constexpr auto fields()
    {
        using P = ConfirmUserBonusProgramBody;
        return std::make_tuple(field("request_id", &P::requestId), field("confirmation_code", &P::confirmationCode),
                               field("action", &P::action));
    }
};

class TQ_EXPORT ActionUserBonusProgramBody : public DecodedObject<ActionUserBonusProgramBody>
{
    TQ_DECODED(ActionUserBonusProgramBody)
public:
    QString login;
    BonusProgramLoginType loginType = BonusProgramLoginType::Unknown;
    static constexpr auto fields()
    {
        return std::make_tuple(field("login", &ActionUserBonusProgramBody::login),
                               field("login_type", &ActionUserBonusProgramBody::loginType));
    }
};
using RegisterUserBonusProgramBody = ActionUserBonusProgramBody;
using ChangeLoginUserBonusProgramBody = ActionUserBonusProgramBody;

class TQ_EXPORT ContentViewParams : public DecodedObject<ContentViewParams>
{
    TQ_DECODED(ContentViewParams)
public:
    qint64 viewedTime = 0;
    static constexpr auto fields() { return std::make_tuple(field("viewed_time", &ContentViewParams::viewedTime)); }
};

class TQ_EXPORT CreateFavoriteParams : public DecodedObject<CreateFavoriteParams>
{
    TQ_DECODED(CreateFavoriteParams)
public:
    qint64 contentId = -1;
    ContentItemType contentType = ContentItemType::Unknown;
    static constexpr auto fields()
    {
        return std::make_tuple(idField("content_id", &CreateFavoriteParams::contentId),
                               field("content_type", &CreateFavoriteParams::contentType));
    }
};

class TQ_EXPORT CredentialsV3Device : public DecodedObject<CredentialsV3Device>
{
    TQ_DECODED(CredentialsV3Device)
public:
    QString model;
    QString realUid;
    QString sn;
    QString terminalName;
    QString vendor;
    static constexpr auto fields()
    {
        using P = CredentialsV3Device;
        return std::make_tuple(field("model", &P::model), field("real_uid", &P::realUid), field("sn", &P::sn),
                               field("terminal_name", &P::terminalName), field("vendor", &P::vendor));
    }
};

class TQ_EXPORT CredentialsV3 : public DecodedObject<CredentialsV3>
{
    TQ_DECODED(CredentialsV3)
public:
    CredentialsV3Device device;
    QString login;
    LoginType loginType = LoginType::Unknown;
    QString password;
    static constexpr auto fields()
    {
        using P = CredentialsV3;
        return std::make_tuple(field("device", &P::device), field("login", &P::login),
                               field("login_type", &P::loginType), field("password", &P::password));
    }
};

class TQ_EXPORT RegisterAccountParams : public DecodedObject<RegisterAccountParams>
{
    TQ_DECODED(RegisterAccountParams)
public:
    QString login;
    LoginType loginType = LoginType::Unknown;
    QString password;
    static constexpr auto fields()
    {
        using P = RegisterAccountParams;
        return std::make_tuple(field("login", &P::login), field("login_type", &P::loginType),
                               field("password", &P::password));
    }
};
using MergeAccounts = RegisterAccountParams;

class TQ_EXPORT EmailSendParams : public DecodedObject<EmailSendParams>
{
    TQ_DECODED(EmailSendParams)
public:
    QString action;
    QString email;
    static constexpr auto fields()
    {
        return std::make_tuple(field("action", &EmailSendParams::action), field("email", &EmailSendParams::email));
    }
};

class TQ_EXPORT EmailCodeParams : public DecodedObject<EmailCodeParams>
{
    TQ_DECODED(EmailCodeParams)
public:
    QString action;
    QString code;
    QString email;
    static constexpr auto fields()
    {
        using P = EmailCodeParams;
        return std::make_tuple(field("action", &P::action), field("code", &P::code), field("email", &P::email));
    }
};

class TQ_EXPORT SmsSendParams : public DecodedObject<SmsSendParams>
{
    TQ_DECODED(SmsSendParams)
public:
    QString action;
    QString phone;
    static constexpr auto fields()
    {
        return std::make_tuple(field("action", &SmsSendParams::action), field("phone", &SmsSendParams::phone));
    }
};

class TQ_EXPORT SmsCodeParams : public DecodedObject<SmsCodeParams>
{
    TQ_DECODED(SmsCodeParams)
public:
    QString action;
    QString code;
    QString phone;
    static constexpr auto fields()
    {
        using P = SmsCodeParams;
        return std::make_tuple(field("action", &P::action), field("code", &P::code), field("phone", &P::phone));
    }
};

class TQ_EXPORT ResetPasswordParams : public DecodedObject<ResetPasswordParams>
{
    TQ_DECODED(ResetPasswordParams)
public:
    QString confirmationCode;
    QString email;
    QString newPassword;
    static constexpr auto fields()
    {
        using P = ResetPasswordParams;
        return std::make_tuple(field("confirmation_code", &P::confirmationCode), field("email", &P::email),
                               field("new_password", &P::newPassword));
    }
};

class TQ_EXPORT LinkDeviceParams : public DecodedObject<LinkDeviceParams>
{
    TQ_DECODED(LinkDeviceParams)
public:
    QString uid;
    static constexpr auto fields() { return std::make_tuple(field("uid", &LinkDeviceParams::uid)); }
};

class TQ_EXPORT PatchDeviceParams : public DecodedObject<PatchDeviceParams>
{
    TQ_DECODED(PatchDeviceParams)
public:
    QString terminalName;
    static constexpr auto fields() { return std::make_tuple(field("terminal_name", &PatchDeviceParams::terminalName)); }
};

class TQ_EXPORT MediaPositionReq : public DecodedObject<MediaPositionReq>
{
    TQ_DECODED(MediaPositionReq)
public:
    MediaPositionAction action = MediaPositionAction::Unknown;
    qint64 contentId = -1;
    ContentItemType contentType = ContentItemType::Unknown;
    qint64 timepoint = 0;
    static constexpr auto fields()
    {
        using P = MediaPositionReq;
        return std::make_tuple(field("action", &P::action), idField("content_id", &P::contentId),
                               field("content_type", &P::contentType), field("timepoint", &P::timepoint));
    }
};

class TQ_EXPORT Device : public DecodedObject<Device>
{
    TQ_DECODED(Device)
public:
    QString appVersion;
    QString platform;
    QString type;
    static constexpr auto fields()
    {
        return std::make_tuple(field("app_version", &Device::appVersion), field("platform", &Device::platform),
                               field("type", &Device::type));
    }
};

class TQ_EXPORT NewSessionParams : public DecodedObject<NewSessionParams>
{
    TQ_DECODED(NewSessionParams)
public:
    Device device;
    QString fingerprint;
    static constexpr auto fields()
    {
        return std::make_tuple(field("device", &NewSessionParams::device),
                               field("fingerprint", &NewSessionParams::fingerprint));
    }
};

class TQ_EXPORT ProfileIconPatch : public DecodedObject<ProfileIconPatch>
{
    TQ_DECODED(ProfileIconPatch)
public:
    qint64 id = -1;
    static constexpr auto fields() { return std::make_tuple(idField("id", &ProfileIconPatch::id)); }
};

// A new profile. The purchase limits are read back from a stored body but never sent: the
// platform sets them on its own side.
class TQ_EXPORT PostProfileParams : public DecodedObject<PostProfileParams>
{
    TQ_DECODED(PostProfileParams)
public:
    qint64 defaultAgeLimitId = -1;
    qint64 maxAgeLimitId = -1;
    qint64 id = -1;
    ProfileIconPatch icon;
    QString name;
    ProfileType type = ProfileType::Unknown;
    PurchaseLimits purchaseLimits;

    static constexpr auto fields()
    {
        using P = PostProfileParams;
        return std::make_tuple(idField("default_age_limit_id", &P::defaultAgeLimitId),
                               idField("max_age_limit_id", &P::maxAgeLimitId), idField("id", &P::id),
                               field("icon", &P::icon), field("name", &P::name), field("type", &P::type),
                               field("purchase_limits", &P::purchaseLimits).readOnly());
    }
};

// The members of a profile that an update may change.
class TQ_EXPORT PatchProfileParams : public DecodedObject<PatchProfileParams>
{
    TQ_DECODED(PatchProfileParams)
public:
    PatchProfileParams() = default;
    explicit PatchProfileParams(const ProfileBrief& profile);

    qint64 defaultAgeLimitId = -1;
    qint64 maxAgeLimitId = -1;
    qint64 id = -1;
    FilteredChannels filteredChannels;
    ProfileIconPatch icon;
    bool isEroticAllowed = false;
    bool isNotificationsAllowed = false;
    bool isGetshoptvEnabled = false;
    QString name;
    PurchaseLimits purchaseLimits;
    ProfileType type = ProfileType::Unknown;
    ViewLimits viewLimits;
    TrackInfo audioTrackLang;
    TrackInfo subtitleLang;

    static constexpr auto fields()
    {
        using P = PatchProfileParams;
        return std::make_tuple(
            idField("default_age_limit_id", &P::defaultAgeLimitId), idField("max_age_limit_id", &P::maxAgeLimitId),
            idField("id", &P::id), field("filtered_channels", &P::filteredChannels), field("icon", &P::icon),
            field("is_erotic_allowed", &P::isEroticAllowed),
            field("is_notifications_allowed", &P::isNotificationsAllowed),
            field("is_getshoptv_enabled", &P::isGetshoptvEnabled), field("name", &P::name),
            field("purchase_limits", &P::purchaseLimits), field("type", &P::type),
            field("view_limits", &P::viewLimits), field("audio_track_lang", &P::audioTrackLang).asJsonText(),
            field("subtitle_lang", &P::subtitleLang).asJsonText());
    }
};

// Poll answers and delivery states as the platform takes them: kept as received.
class TQ_EXPORT PostUserMessageBody : public DecodedObject<PostUserMessageBody>
{
    TQ_DECODED(PostUserMessageBody)
public:
    QJsonArray pollResult;
    QJsonArray status;
    static constexpr auto fields()
    {
        return std::make_tuple(field("poll_result", &PostUserMessageBody::pollResult),
                               field("status", &PostUserMessageBody::status));
    }
};

class TQ_EXPORT RateMediaItemBody : public DecodedObject<RateMediaItemBody>
{
    TQ_DECODED(RateMediaItemBody)
public:
    qint64 contentId = -1;
    int rating = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(idField("content_id", &RateMediaItemBody::contentId),
                               field("rating", &RateMediaItemBody::rating));
    }
};

class TQ_EXPORT StartupDeviceInfo : public DecodedObject<StartupDeviceInfo>
{
    TQ_DECODED(StartupDeviceInfo)
public:
    QString appVersion;
    QString model;
    QString osVersion;
    QString ipAddr;
    bool isHdmi = false;
    QString stbType;
    QString tvType;
    static constexpr auto fields()
    {
        using P = StartupDeviceInfo;
        return std::make_tuple(field("app_version", &P::appVersion), field("model", &P::model),
                               field("os_version", &P::osVersion), field("ip_addr", &P::ipAddr),
                               field("is_hdmi", &P::isHdmi), field("stb_type", &P::stbType),
                               field("tv_type", &P::tvType));
    }
};

class TQ_EXPORT StbB2bStatusParams : public DecodedObject<StbB2bStatusParams>
{
    TQ_DECODED(StbB2bStatusParams)
public:
    qint64 time = 0;
    QString uuid;
    QString status;
    qint64 currentChannelNumber = 0;
    qint64 currentVolumeLevel = 0;
    QJsonObject params;
    static constexpr auto fields()
    {
        using P = StbB2bStatusParams;
        return std::make_tuple(field("time", &P::time), field("uuid", &P::uuid), field("status", &P::status),
                               field("current_channel_number", &P::currentChannelNumber),
                               field("current_volume_level", &P::currentVolumeLevel), field("params", &P::params));
    }
};

class TQ_EXPORT SwitchCurrentProfileParams : public DecodedObject<SwitchCurrentProfileParams>
{
    TQ_DECODED(SwitchCurrentProfileParams)
public:
    qint64 id = -1;
    QString pinCode;
    static constexpr auto fields()
    {
        return std::make_tuple(idField("id", &SwitchCurrentProfileParams::id),
                               field("pin_code", &SwitchCurrentProfileParams::pinCode));
    }
};

} // namespace tq
