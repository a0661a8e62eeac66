#pragma once
// Platform requests: the account — sign-in and registration, contact details, password and
// PIN, profiles and devices.

#include "tqglobal.h"

#include "api/platformrequest.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/devices.h"
#include "model/profiles.h"

namespace tq {

TQ_PLATFORM_REQUEST(AccountSettingsRequest, AbstractRequest, get("/user/account_settings"), GetAccountSettingsResponse)
TQ_PLATFORM_REQUEST(AccountSummaryRequest, AbstractRequest, get("/user/account_summary"), GetAccountSummaryResponse)
TQ_PLATFORM_REQUEST(RegisterCredentialsRequest, RequestWithBody<RegisterAccountParams>, post("/user/accounts"),
                    RegisterAccountResponse)
TQ_PLATFORM_REQUEST(MergeAccountsRequest, RequestWithBody<MergeAccounts>, post("/user/merge_accounts"), SuccessResponse)

class TQ_EXPORT CheckLoginRequest : public PlatformRequest<CheckLoginRequest, AbstractRequest>
{
public:
    using Answer = CheckLoginResponse;
    static constexpr Route route = get("/user/check_login");
    QString login;
    QString action;
    static constexpr auto query()
    {
        return std::make_tuple(item("login", &CheckLoginRequest::login), item("action", &CheckLoginRequest::action));
    }
};

TQ_PLATFORM_REQUEST(SendEmailCodeRequest, RequestWithBody<EmailSendParams>, post("/user/send_email_code"), SendEmailCodeResponse)
TQ_PLATFORM_REQUEST(ValidateEmailCodeRequest, RequestWithBody<EmailCodeParams>, post("/user/email_code/validate"),
                    SuccessResponse)
TQ_PLATFORM_REQUEST(SendSmsCodeRequest, RequestWithBody<SmsSendParams>, post("/user/send_sms_code"), SendSmsResponse)
TQ_PLATFORM_REQUEST(ValidateSmsCodeRequest, RequestWithBody<SmsCodeParams>, post("/user/sms_code/validate"), SuccessResponse)
TQ_PLATFORM_REQUEST(ChangeEmailRequest, RequestWithBody<ChangeEmailParams>, post("/user/email"), SuccessResponse)
TQ_PLATFORM_REQUEST(DeleteEmailRequest, RequestWithBody<DeleteEmailParams>, del("/user/email"), SuccessResponse)
TQ_PLATFORM_REQUEST(ChangePhoneRequest, RequestWithBody<ChangePhoneParams>, post("/user/phone"), SuccessResponse)
TQ_PLATFORM_REQUEST(DeletePhoneRequest, RequestWithBody<DeletePhoneBody>, del("/user/phone"), SuccessResponse)
TQ_PLATFORM_REQUEST(ChangePasswordRequest, RequestWithBody<ChangePasswordParams>, post("/user/password/change"),
                    SuccessResponse)
TQ_PLATFORM_REQUEST(ResetPasswordRequest, RequestWithBody<ResetPasswordParams>, post("/user/password/reset"),
                    SuccessResponse)

// The password to check travels as {"password": value}.
class TQ_EXPORT PasswordValidateRequest : public PlatformRequest<PasswordValidateRequest, StringValueRequest>
{
public:
    using PlatformRequest::PlatformRequest;
    using Answer = SuccessResponse;
    static constexpr Route route = post("/user/password/validate");
    QByteArray encodedBody() const { return jsonToRaw(QJsonObject{{QStringLiteral("password"), value}}); }
};

TQ_PLATFORM_REQUEST(ChangePinRequest, RequestWithBody<ChangePINParams>, post("/user/profiles/pin"), SuccessResponse)
TQ_PLATFORM_REQUEST(ResetPinRequest, RequestWithBody<ResetPinBody>, del("/user/profiles/pin"), SuccessResponse)
// The PIN is checked at once or not at all: never held for a later session.
TQ_PLATFORM_REQUEST(ValidatePinCodeRequest, RequestWithBody<ValidatePinCodeParams>,
                    post("/user/profiles/pin/validate").notDeferrable(), ValidatePinCodeResponse)

TQ_PLATFORM_REQUEST(ProfilesRequest, AbstractRequest, get("/user/profiles"), ListProfilesResponse)
TQ_PLATFORM_REQUEST(GetCurrentProfileRequest, AbstractRequest, get("/user/profiles/current"), ProfileBrief)
TQ_PLATFORM_REQUEST(GetProfileByIdRequest, RequestById, get("/user/profiles/{id}"), ProfileBrief)
TQ_PLATFORM_REQUEST(CreateProfileRequest, RequestWithBody<PostProfileParams>, post("/user/profiles"), ProfileBrief)
TQ_PLATFORM_REQUEST(PatchProfileRequest, RequestWithBodyAndId<PatchProfileParams>, patch("/user/profiles/{id}"),
                    SuccessResponse)
TQ_PLATFORM_REQUEST(DeleteProfileByIDRequest, RequestWithBodyAndId<DeleteProfileByIDParams>, del("/user/profiles/{id}"),
                    SuccessResponse)
TQ_PLATFORM_REQUEST(SwitchCurrentProfileRequest, RequestWithBody<SwitchCurrentProfileParams>, post("/user/profiles/switch"),
                    SuccessResponse)

class TQ_EXPORT ProfileIconsRequest : public PlatformRequest<ProfileIconsRequest, AbstractRequest>
{
public:
    using Answer = GetProfileIconsResponse;
    static constexpr Route route = get("/user/profiles/icons");
    QString profileType;
    static constexpr auto query() { return std::make_tuple(item("profile_type", &ProfileIconsRequest::profileType)); }
};

TQ_PLATFORM_REQUEST(DevicesRequest, AbstractRequest, get("/user/devices"), ListDevicesResponse)
TQ_PLATFORM_REQUEST(UpdateDeviceRequest, RequestWithBodyAndId<PatchDeviceParams>, put("/user/devices/{id}"), SuccessResponse)
TQ_PLATFORM_REQUEST(UnlinkDeviceByIdRequest, RequestWithBody<LinkDeviceParams>, del("/user/devices"), SuccessResponse)

using AccountRequests =
    std::tuple<AccountSettingsRequest, AccountSummaryRequest, RegisterCredentialsRequest, MergeAccountsRequest,
               CheckLoginRequest, SendEmailCodeRequest, ValidateEmailCodeRequest, SendSmsCodeRequest,
               ValidateSmsCodeRequest, ChangeEmailRequest, DeleteEmailRequest, ChangePhoneRequest, DeletePhoneRequest,
               ChangePasswordRequest, ResetPasswordRequest, PasswordValidateRequest, ChangePinRequest, ResetPinRequest,
               ValidatePinCodeRequest, ProfilesRequest, GetCurrentProfileRequest, GetProfileByIdRequest,
               CreateProfileRequest, PatchProfileRequest, DeleteProfileByIDRequest, SwitchCurrentProfileRequest,
               ProfileIconsRequest, DevicesRequest, UpdateDeviceRequest, UnlinkDeviceByIdRequest>;

} // namespace tq
