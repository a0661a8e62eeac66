#include "api/requestparams.h"

#include "model/jsonwriter_p.h"

namespace tq {

TQ_DEFINE_BODY(AccountRefillParams)
TQ_DEFINE_BODY(ActivateOttTvCodeBody)
TQ_DEFINE_BODY(ActivatePromoCodeBody)
TQ_DEFINE_BODY(BuyContentParams)
TQ_DEFINE_BODY(CancelSubscriptionParams)
TQ_DEFINE_BODY(ChangeEmailParams)
TQ_DEFINE_BODY(ChangePhoneParams)
TQ_DEFINE_BODY(ChangePINParams)
TQ_DEFINE_BODY(ChangePasswordParams)
TQ_DEFINE_BODY(ResetPinBody)
TQ_DEFINE_BODY(ValidatePinCodeParams)
TQ_DEFINE_BODY(ChannelPreviewReq)
TQ_DEFINE_BODY(ColdStartContentBody)
TQ_DEFINE_BODY(ConfirmUserBonusProgramBody)
TQ_DEFINE_BODY(ActionUserBonusProgramBody)
TQ_DEFINE_BODY(ContentViewParams)
TQ_DEFINE_BODY(CreateFavoriteParams)
TQ_DEFINE_OBJECT(CredentialsV3Device)
TQ_DEFINE_BODY(CredentialsV3)
TQ_DEFINE_BODY(RegisterAccountParams)
TQ_DEFINE_BODY(EmailSendParams)
TQ_DEFINE_BODY(EmailCodeParams)
TQ_DEFINE_BODY(SmsSendParams)
TQ_DEFINE_BODY(SmsCodeParams)
TQ_DEFINE_BODY(ResetPasswordParams)
TQ_DEFINE_BODY(LinkDeviceParams)
TQ_DEFINE_BODY(PatchDeviceParams)
TQ_DEFINE_BODY(MediaPositionReq)
TQ_DEFINE_OBJECT(Device)
TQ_DEFINE_BODY(NewSessionParams)
TQ_DEFINE_OBJECT(ProfileIconPatch)
TQ_DEFINE_BODY(PostProfileParams)
TQ_DEFINE_BODY(PatchProfileParams)

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
TQ_DEFINE_BODY(PostUserMessageBody)
TQ_DEFINE_BODY(RateMediaItemBody)
TQ_DEFINE_BODY(StartupDeviceInfo)
TQ_DEFINE_BODY(StbB2bStatusParams)
TQ_DEFINE_BODY(SwitchCurrentProfileParams)

} // namespace tq
