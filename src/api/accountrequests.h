#pragma once
// Platform requests: the account — sign-in and registration, contact details, password and
// PIN, profiles and devices.

#include "tqglobal.h"

#include "api/requestfamilies.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/devices.h"
#include "model/profiles.h"

namespace tq {

TQ_REQUEST(AccountSettingsRequest, AbstractRequest, get("/user/account_settings"), GetAccountSettingsResponse)
TQ_REQUEST(AccountSummaryRequest, AbstractRequest, get("/user/account_summary"), GetAccountSummaryResponse)
TQ_REQUEST(RegisterCredentialsRequest, RequestWithBody<RegisterAccountParams>, post("/user/accounts"),
           RegisterAccountResponse)
TQ_REQUEST(MergeAccountsRequest, RequestWithBody<MergeAccounts>, post("/user/merge_accounts"), SuccessResponse)

class TQ_EXPORT CheckLoginRequest : public Request<CheckLoginRequest, AbstractRequest>
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

TQ_REQUEST(SendEmailCodeRequest, RequestWithBody<EmailSendParams>, post("/user/send_email_code"), SendEmailCodeResponse)
TQ_REQUEST(ValidateEmailCodeRequest, RequestWithBody<EmailCodeParams>, post("/user/email_code/validate"),
           SuccessResponse)
TQ_REQUEST(SendSmsCodeRequest, RequestWithBody<SmsSendParams>, post("/user/send_sms_code"), SendSmsResponse)
TQ_REQUEST(ValidateSmsCodeRequest, RequestWithBody<SmsCodeParams>, post("/user/sms_code/validate"), SuccessResponse)
TQ_REQUEST(ChangeEmailRequest, RequestWithBody<ChangeEmailParams>, post("/user/email"), SuccessResponse)
TQ_REQUEST(DeleteEmailRequest, RequestWithBody<DeleteEmailParams>, del("/user/email"), SuccessResponse)
TQ_REQUEST(ChangePhoneRequest, RequestWithBody<ChangePhoneParams>, post("/user/phone"), SuccessResponse)
TQ_REQUEST(DeletePhoneRequest, RequestWithBody<DeletePhoneBody>, del("/user/phone"), SuccessResponse)
TQ_REQUEST(ChangePasswordRequest, RequestWithBody<ChangePasswordParams>, post("/user/password/change"),
           SuccessResponse)
TQ_REQUEST(ResetPasswordRequest, RequestWithBody<ResetPasswordParams>, post("/user/password/reset"),
           SuccessResponse)

// The password to check travels as {"password": value}.
class TQ_EXPORT PasswordValidateRequest : public Request<PasswordValidateRequest, StringValueRequest>
{
public:
    using Request::Request;
    using Answer = SuccessResponse;
    static constexpr Route route = post("/user/password/validate");
    QByteArray encodedBody() const { return jsonToRaw(QJsonObject{{QStringLiteral("password"), value}}); }
};

TQ_REQUEST(ChangePinRequest, RequestWithBody<ChangePINParams>, post("/user/profiles/pin"), SuccessResponse)
TQ_REQUEST(ResetPinRequest, RequestWithBody<ResetPinBody>, del("/user/profiles/pin"), SuccessResponse)
// The PIN is checked at once or not at all: never held for a later session.
TQ_REQUEST(ValidatePinCodeRequest, RequestWithBody<ValidatePinCodeParams>,
           post("/user/profiles/pin/validate").notDeferrable(), ValidatePinCodeResponse)

TQ_REQUEST(ProfilesRequest, AbstractRequest, get("/user/profiles"), ListProfilesResponse)
TQ_REQUEST(GetCurrentProfileRequest, AbstractRequest, get("/user/profiles/current"), ProfileBrief)
TQ_REQUEST(GetProfileByIdRequest, RequestById, get("/user/profiles/{id}"), ProfileBrief)
TQ_REQUEST(CreateProfileRequest, RequestWithBody<PostProfileParams>, post("/user/profiles"), ProfileBrief)
TQ_REQUEST(PatchProfileRequest, RequestWithBodyAndId<PatchProfileParams>, patch("/user/profiles/{id}"),
           SuccessResponse)
TQ_REQUEST(DeleteProfileByIDRequest, RequestWithBodyAndId<DeleteProfileByIDParams>, del("/user/profiles/{id}"),
           SuccessResponse)
TQ_REQUEST(SwitchCurrentProfileRequest, RequestWithBody<SwitchCurrentProfileParams>, post("/user/profiles/switch"),
           SuccessResponse)

class TQ_EXPORT ProfileIconsRequest : public Request<ProfileIconsRequest, AbstractRequest>
{
public:
    using Answer = GetProfileIconsResponse;
    static constexpr Route route = get("/user/profiles/icons");
    QString profileType;
    static constexpr auto query() { return std::make_tuple(item("profile_type", &ProfileIconsRequest::profileType)); }
};

TQ_REQUEST(DevicesRequest, AbstractRequest, get("/user/devices"), ListDevicesResponse)
TQ_REQUEST(UpdateDeviceRequest, RequestWithBodyAndId<PatchDeviceParams>, put("/user/devices/{id}"), SuccessResponse)
TQ_REQUEST(UnlinkDeviceByIdRequest, RequestWithBody<LinkDeviceParams>, del("/user/devices"), SuccessResponse)

using AccountRequests =
    std::tuple<AccountSettingsRequest, AccountSummaryRequest, RegisterCredentialsRequest, MergeAccountsRequest,
               CheckLoginRequest, SendEmailCodeRequest, ValidateEmailCodeRequest, SendSmsCodeRequest,
               ValidateSmsCodeRequest, ChangeEmailRequest, DeleteEmailRequest, ChangePhoneRequest, DeletePhoneRequest,
               ChangePasswordRequest, ResetPasswordRequest, PasswordValidateRequest, ChangePinRequest, ResetPinRequest,
               ValidatePinCodeRequest, ProfilesRequest, GetCurrentProfileRequest, GetProfileByIdRequest,
               CreateProfileRequest, PatchProfileRequest, DeleteProfileByIDRequest, SwitchCurrentProfileRequest,
               ProfileIconsRequest, DevicesRequest, UpdateDeviceRequest, UnlinkDeviceByIdRequest>;

} // namespace tq
