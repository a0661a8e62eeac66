#include "api/requestparams.h"

#include "model/fieldcodec_p.h"

namespace tq {

TQ_DEFINE_OBJECT(AccountRefillParams)
TQ_DEFINE_OBJECT(ActivateOttTvCodeBody)
TQ_DEFINE_OBJECT(ActivatePromoCodeBody)
TQ_DEFINE_OBJECT(BuyContentParams)
TQ_DEFINE_OBJECT(CancelSubscriptionParams)
TQ_DEFINE_OBJECT(ChangeEmailParams)
TQ_DEFINE_OBJECT(ChangePhoneParams)
TQ_DEFINE_OBJECT(ChangePINParams)
TQ_DEFINE_OBJECT(ChangePasswordParams)
TQ_DEFINE_OBJECT(ResetPinBody)
TQ_DEFINE_OBJECT(ValidatePinCodeParams)
TQ_DEFINE_OBJECT(ChannelPreviewReq)
TQ_DEFINE_OBJECT(ColdStartContentBody)
TQ_DEFINE_OBJECT(ConfirmUserBonusProgramBody)
TQ_DEFINE_OBJECT(ActionUserBonusProgramBody)
TQ_DEFINE_OBJECT(ContentViewParams)
TQ_DEFINE_OBJECT(CreateFavoriteParams)
TQ_DEFINE_OBJECT(CredentialsV3Device)
TQ_DEFINE_OBJECT(CredentialsV3)
TQ_DEFINE_OBJECT(RegisterAccountParams)
TQ_DEFINE_OBJECT(EmailSendParams)
TQ_DEFINE_OBJECT(EmailCodeParams)
TQ_DEFINE_OBJECT(SmsSendParams)
TQ_DEFINE_OBJECT(SmsCodeParams)
TQ_DEFINE_OBJECT(ResetPasswordParams)
TQ_DEFINE_OBJECT(LinkDeviceParams)
TQ_DEFINE_OBJECT(PatchDeviceParams)
TQ_DEFINE_OBJECT(MediaPositionReq)
TQ_DEFINE_OBJECT(Device)
TQ_DEFINE_OBJECT(NewSessionParams)
TQ_DEFINE_OBJECT(ProfileIconPatch)
TQ_DEFINE_OBJECT(PostProfileParams)
TQ_DEFINE_OBJECT(PatchProfileParams)

QJsonObject PostProfileParams::toJson() const
{
    QJsonObject json = DecodedObject::toJson();
    json.remove(QLatin1String("purchase_limits"));
    return json;
}

PatchProfileParams::PatchProfileParams(const ProfileBrief& profile)
    : defaultAgeLimitId(profile.defaultAgeLimitId),
      maxAgeLimitId(profile.maxAgeLimitId),
      id(profile.id),
      filteredChannels(profile.filteredChannels),
      isEroticAllowed(profile.isEroticAllowed),
      isNotificationsAllowed(profile.isNotificationsAllowed),
      isGetshoptvEnabled(profile.isGetshoptvEnabled),
      name(profile.name),
      purchaseLimits(profile.purchaseLimits),
      type(profile.type),
      viewLimits(profile.viewLimits),
      audioTrackLang(profile.audioTrackLang),
      subtitleLang(profile.subtitleLang)
{
    icon.id = profile.icon.id;
}
TQ_DEFINE_OBJECT(PostUserMessageBody)
TQ_DEFINE_OBJECT(RateMediaItemBody)
TQ_DEFINE_OBJECT(StartupDeviceInfo)
TQ_DEFINE_OBJECT(StbB2bStatusParams)
TQ_DEFINE_OBJECT(SwitchCurrentProfileParams)

} // namespace tq
