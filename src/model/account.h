#pragma once
// The session and the account: session and token answers, service discovery, system
// information, account settings and summary (with the hotel guest's stay and the blocked
// account's screen), login and registration answers, locations and time zones, feature
// toggles and the settings of the surrounding services.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/menus.h"
#include "model/offers.h"
#include "model/records.h"
#include "model/responsewithitems.h"

#include <QList>
#include <QString>

namespace tq {

class TQ_EXPORT NewSessionResponse : public DecodedObject<NewSessionResponse, AbstractResponse>
{
    TQ_DECODED(NewSessionResponse)
public:
    QString fingerprint;
    QString sessionId;
    SessionState sessionState = SessionState::Unknown;

    static constexpr auto fields()
    {
        using R = NewSessionResponse;
        return std::make_tuple(field("fingerprint", &R::fingerprint), field("session_id", &R::sessionId),
                               field("session_state", &R::sessionState));
    }
};

class TQ_EXPORT UpdateTokenResponse : public DecodedObject<UpdateTokenResponse, AbstractResponse>
{
    TQ_DECODED(UpdateTokenResponse)
public:
    QString sessionId;
    SessionState sessionState = SessionState::Unknown;
    QString fingerprint;

    static constexpr auto fields()
    {
        using R = UpdateTokenResponse;
        return std::make_tuple(field("session_id", &R::sessionId), field("session_state", &R::sessionState),
                               field("fingerprint", &R::fingerprint));
    }
};

// Where the platform's services live; usable only when it names the API.
class TQ_EXPORT DiscoverServicesResponse : public DecodedObject<DiscoverServicesResponse, AbstractResponse>
{
    TQ_DECODED(DiscoverServicesResponse)
public:
    QString apiUrl;
    QString wsUrl;
    QString spyUrl;
    QString imgUrl;
    QString proxyUrl;
    QString thumbnailsUrl;

    bool isValid() const override { return !apiUrl.isEmpty(); }

    static constexpr auto fields()
    {
        using R = DiscoverServicesResponse;
        return std::make_tuple(field("api_url", &R::apiUrl), field("ws_url", &R::wsUrl),
                               field("spy_url", &R::spyUrl), field("img_url", &R::imgUrl),
                               field("proxy_url", &R::proxyUrl), field("thumbnails_url", &R::thumbnailsUrl));
    }
};

class TQ_EXPORT WsTokenResponse : public DecodedObject<WsTokenResponse, AbstractResponse>
{
    TQ_DECODED(WsTokenResponse)
public:
    qint64 expireAt = 0;
    QString token;

    static constexpr auto fields()
    {
        return std::make_tuple(field("expire_at", &WsTokenResponse::expireAt), field("token", &WsTokenResponse::token));
    }
};

// The platform is alive; whatever it answered.
class TQ_EXPORT LifeCheckResponse : public DecodedObject<LifeCheckResponse, AbstractResponse>
{
    TQ_DECODED(LifeCheckResponse)
public:
    static constexpr auto fields() { return std::make_tuple(); }
};

class TQ_EXPORT Timezone : public DecodedObject<Timezone>
{
    TQ_DECODED(Timezone)
public:
    QString description;
    qint64 id = -1;
    QString name;
    qint64 offsetSec = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("description", &Timezone::description), idField("id", &Timezone::id),
                               field("name", &Timezone::name), field("offset_sec", &Timezone::offsetSec));
    }
};

class TQ_EXPORT GetTimezonesResponse : public ResponseWithItemsOf<GetTimezonesResponse, Timezone>
{
    TQ_DECODED(GetTimezonesResponse)
public:
    qint64 currentTimezoneId = -1;

    static constexpr auto fields()
    {
        return std::tuple_cat(ResponseWithItemsOf::fields(),
                              std::make_tuple(idField("current_timezone_id", &GetTimezonesResponse::currentTimezoneId)));
    }
};

class TQ_EXPORT GetLanguagesResponse : public ResponseWithItemsOf<GetLanguagesResponse, LanguageBrief>
{
    TQ_DECODED(GetLanguagesResponse)
};

class TQ_EXPORT GetLocationsResponse : public ResponseWithItemsOf<GetLocationsResponse, LocationBrief>
{
    TQ_DECODED(GetLocationsResponse)
};

class TQ_EXPORT SystemInfoResponse : public DecodedObject<SystemInfoResponse, AbstractResponse>
{
    TQ_DECODED(SystemInfoResponse)
public:
    qint64 accountId = -1;
    BroadcastType broadcastType = BroadcastType::Unknown;
    qint64 curLocation = 0;
    qint64 curSubLocation = 0;
    QString currentMrf;
    Timezone currentTimezone;
    QString homeMrf;
    bool isTest = false;
    bool isRadioAvailable = false;
    qint64 location = 0;
    qint64 requestTimeout = 0;
    qint64 sendTvMediaPositionsAfter = 0;
    QString san;
    qint64 subLocation = 0;
    QString uid;
    bool useProxy = false;

    static constexpr auto fields()
    {
        using R = SystemInfoResponse;
        return std::make_tuple(
            idField("account_id", &R::accountId), field("broadcast_type", &R::broadcastType),
            field("cur_location", &R::curLocation), field("cur_sub_location", &R::curSubLocation),
            field("current_mrf", &R::currentMrf), field("current_timezone", &R::currentTimezone),
            field("home_mrf", &R::homeMrf), field("is_test", &R::isTest),
            field("is_radio_available", &R::isRadioAvailable), field("location", &R::location),
            field("request_timeout", &R::requestTimeout),
            field("send_tv_media_positions_after", &R::sendTvMediaPositionsAfter), field("san", &R::san),
            field("sub_location", &R::subLocation), field("uid", &R::uid), field("use_proxy", &R::useProxy));
    }
};

class TQ_EXPORT GetAccountSummaryResponse : public DecodedObject<GetAccountSummaryResponse, AbstractResponse>
{
    TQ_DECODED(GetAccountSummaryResponse)
public:
    QString ossAccountNumber;
    qint64 ossBalance = 0;
    qint64 ossRefillAmount = 0;
    Currency currency;

    static constexpr auto fields()
    {
        using R = GetAccountSummaryResponse;
        return std::make_tuple(field("oss_account_number", &R::ossAccountNumber), field("oss_balance", &R::ossBalance),
                               field("oss_refill_amount", &R::ossRefillAmount), field("currency", &R::currency));
    }
};

// The guest's stay, for hotel accounts.
class TQ_EXPORT AccountB2BInfo : public DecodedObject<AccountB2BInfo>
{
    TQ_DECODED(AccountB2BInfo)
public:
    qint64 checkInDate = 0;
    QString hotelId;
    QString logo;
    QString displayName;
    QString roomNumber;
    QString defaultLanguage;
    QString infoChannelImage;
    QString startScreenImage;
    QString mediaViewAlias;
    bool isHelloMessageShowed = false;
    bool promoOnStartupEnabled = false;
    AccountStatusType status = AccountStatusType::Unknown;

    static constexpr auto fields()
    {
        using B = AccountB2BInfo;
        return std::make_tuple(
            field("check_in_date", &B::checkInDate), field("hotel_id", &B::hotelId), field("logo", &B::logo),
            field("display_name", &B::displayName), field("room_number", &B::roomNumber),
            field("default_language", &B::defaultLanguage), field("info_channel_image", &B::infoChannelImage),
            field("start_screen_image", &B::startScreenImage), field("media_view_alias", &B::mediaViewAlias),
            field("is_hello_message_showed", &B::isHelloMessageShowed),
            field("promo_on_startup_enabled", &B::promoOnStartupEnabled), field("status", &B::status));
    }
};

// What the box shows instead of its screens while the account is blocked.
class TQ_EXPORT BlockScreen : public DecodedObject<BlockScreen>
{
    TQ_DECODED(BlockScreen)
public:
    QString message;
    QString submessage;
    QString icon;
    QList<TargetForMenu> availableActions;

    static constexpr auto fields()
    {
        using B = BlockScreen;
        return std::make_tuple(field("message", &B::message), field("submessage", &B::submessage),
                               field("icon", &B::icon), field("available_actions", &B::availableActions));
    }
};

class TQ_EXPORT GetAccountSettingsResponse : public DecodedObject<GetAccountSettingsResponse, AbstractResponse>
{
    TQ_DECODED(GetAccountSettingsResponse)
public:
    QString authMode;
    QList<QString> availableActions;
    B2bType btbType = B2bType::Unknown;
    QString email;
    bool isTutorialDone = false;
    QString phone;
    bool isOfferAccepted = false;
    bool isEmailOrPhoneRequired = false;
    bool isAccountBlocked = false;
    bool isAllowedToSkipAddingLogin = false;
    BlockScreen blockScreen;
    bool isOss = false;
    QString ossAccountNumber;
    qint64 promovideoId = -1;
    AccountB2BInfo btbInfo;

    static constexpr auto fields()
    {
        using R = GetAccountSettingsResponse;
        return std::make_tuple(
            field("auth_mode", &R::authMode), field("available_actions", &R::availableActions),
            field("btb_type", &R::btbType), field("email", &R::email), field("is_tutorial_done", &R::isTutorialDone),
            field("phone", &R::phone), field("is_offer_accepted", &R::isOfferAccepted),
            field("is_email_or_phone_required", &R::isEmailOrPhoneRequired),
            field("is_account_blocked", &R::isAccountBlocked),
            field("is_allowed_to_skip_adding_login", &R::isAllowedToSkipAddingLogin),
            field("block_screen", &R::blockScreen), field("is_oss", &R::isOss),
            field("oss_account_number", &R::ossAccountNumber), idField("promovideo_id", &R::promovideoId),
            field("btb_info", &R::btbInfo));
    }
};

// Where the remote's toggle button leads.
class TQ_EXPORT GetToggleButtonTargetResponse : public DecodedObject<GetToggleButtonTargetResponse, AbstractResponse>
{
    TQ_DECODED(GetToggleButtonTargetResponse)
public:
    TargetLink link;
    QString title;
    QString type;

    static constexpr auto fields()
    {
        using R = GetToggleButtonTargetResponse;
        return std::make_tuple(field("link", &R::link), field("title", &R::title), field("type", &R::type));
    }
};

// A tab of the services screen.
class TQ_EXPORT ServiceTabBrief : public DecodedObject<ServiceTabBrief, AbstractCborObject>
{
    TQ_DECODED(ServiceTabBrief)
public:
    QString name;
    TargetForMenu target;

    static constexpr auto fields()
    {
        return std::make_tuple(field("name", &ServiceTabBrief::name), field("target", &ServiceTabBrief::target));
    }
};

class TQ_EXPORT GetServiceTabsListResponse : public ResponseWithItemsOf<GetServiceTabsListResponse, ServiceTabBrief>
{
    TQ_DECODED(GetServiceTabsListResponse)
};

class TQ_EXPORT CheckLoginResponse : public DecodedObject<CheckLoginResponse, AbstractResponse>
{
    TQ_DECODED(CheckLoginResponse)
public:
    LoginMode loginMode = LoginMode::Unknown;
    LoginType loginType = LoginType::Unknown;
    bool success = false;

    static constexpr auto fields()
    {
        using R = CheckLoginResponse;
        return std::make_tuple(field("login_mode", &R::loginMode), field("login_type", &R::loginType),
                               field("success", &R::success));
    }
};

class TQ_EXPORT RegisterAccountResponse : public DecodedObject<RegisterAccountResponse, AbstractResponse>
{
    TQ_DECODED(RegisterAccountResponse)
public:
    QString san;
    bool success = false;

    static constexpr auto fields()
    {
        return std::make_tuple(field("san", &RegisterAccountResponse::san),
                               field("success", &RegisterAccountResponse::success));
    }
};

// A code was sent; another may be asked for after `resendAfter` seconds.
template<class T>
class CodeSentOf : public DecodedObject<T, AbstractResponse>
{
public:
    bool success = false;
    qint64 resendAfter = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("success", &CodeSentOf::success), field("resend_after", &CodeSentOf::resendAfter));
    }
};

class TQ_EXPORT SendEmailCodeResponse : public CodeSentOf<SendEmailCodeResponse>
{
    TQ_DECODED(SendEmailCodeResponse)
};

class TQ_EXPORT SendSmsResponse : public CodeSentOf<SendSmsResponse>
{
    TQ_DECODED(SendSmsResponse)
};

class TQ_EXPORT ValidatePinCodeResponse : public DecodedObject<ValidatePinCodeResponse, AbstractResponse>
{
    TQ_DECODED(ValidatePinCodeResponse)
public:
    bool valid = false;

    static constexpr auto fields() { return std::make_tuple(field("valid", &ValidatePinCodeResponse::valid)); }
};

class TQ_EXPORT SuccessResponse : public DecodedObject<SuccessResponse, AbstractResponse>
{
    TQ_DECODED(SuccessResponse)
public:
    bool success = false;

    static constexpr auto fields() { return std::make_tuple(field("success", &SuccessResponse::success)); }
};

class TQ_EXPORT HelloMessageResponse : public DecodedObject<HelloMessageResponse, AbstractResponse>
{
    TQ_DECODED(HelloMessageResponse)
public:
    QString helloMessage;

    static constexpr auto fields() { return std::make_tuple(field("hello_message", &HelloMessageResponse::helloMessage)); }
};

// The offer the subscriber accepts, in the interface language and in English.
class TQ_EXPORT OfferUser : public DecodedObject<OfferUser, AbstractResponse>
{
    TQ_DECODED(OfferUser)
public:
    QString text;
    QString textEn;

    static constexpr auto fields()
    {
        return std::make_tuple(field("text", &OfferUser::text), field("text_en", &OfferUser::textEn));
    }
};

class TQ_EXPORT GetCurrentLocationResponse : public DecodedObject<GetCurrentLocationResponse, AbstractResponse>
{
    TQ_DECODED(GetCurrentLocationResponse)
public:
    qint64 locationId = -1;
    QString locationName;
    qint64 subLocationId = -1;
    QString subLocationName;

    static constexpr auto fields()
    {
        using R = GetCurrentLocationResponse;
        return std::make_tuple(idField("location_id", &R::locationId), field("location_name", &R::locationName),
                               idField("sub_location_id", &R::subLocationId),
                               field("sub_location_name", &R::subLocationName));
    }
};

class TQ_EXPORT FeatureToggle : public DecodedObject<FeatureToggle>
{
    TQ_DECODED(FeatureToggle)
public:
    QString key;
    bool isEnabled = false;
    int retryAfter = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("key", &FeatureToggle::key), field("is_enabled", &FeatureToggle::isEnabled),
                               field("retry_after", &FeatureToggle::retryAfter));
    }
};

class TQ_EXPORT GetFeatureTogglesResponse : public ResponseWithItemsOf<GetFeatureTogglesResponse, FeatureToggle>
{
    TQ_DECODED(GetFeatureTogglesResponse)
};

class TQ_EXPORT GetFeatureToggleConfigurationResponse
    : public DecodedObject<GetFeatureToggleConfigurationResponse, AbstractResponse>
{
    TQ_DECODED(GetFeatureToggleConfigurationResponse)
public:
    FeatureToggle data;

    static constexpr auto fields() { return std::make_tuple(field("data", &GetFeatureToggleConfigurationResponse::data)); }
};

// Where an outside service is reached, and with which key.
template<class T>
class ServiceAccessOf : public DecodedObject<T, AbstractResponse>
{
public:
    QString apiUrl;
    QString apiKey;

    static constexpr auto fields()
    {
        return std::make_tuple(field("api_url", &ServiceAccessOf::apiUrl), field("api_key", &ServiceAccessOf::apiKey));
    }
};

class TQ_EXPORT AdvertisingSettingsResponse : public ServiceAccessOf<AdvertisingSettingsResponse>
{
    TQ_DECODED(AdvertisingSettingsResponse)
};

class TQ_EXPORT GetShopTvSettingsResponse : public ServiceAccessOf<GetShopTvSettingsResponse>
{
    TQ_DECODED(GetShopTvSettingsResponse)
public:
    qint64 minDelay = 0;
    qint64 maxDelay = 0;
    qint64 playlistRetryInterval = 0;
    qint64 batchingInterval = 0;
    bool isBatchingEnabled = false;
    bool isEnabled = false;

    static constexpr auto fields()
    {
        using R = GetShopTvSettingsResponse;
        return std::tuple_cat(ServiceAccessOf::fields(),
                              std::make_tuple(field("min_delay", &R::minDelay), field("max_delay", &R::maxDelay),
                                              field("playlist_retry_interval", &R::playlistRetryInterval),
                                              field("batching_interval", &R::batchingInterval),
                                              field("is_batching_enabled", &R::isBatchingEnabled),
                                              field("is_enabled", &R::isEnabled)));
    }
};

class TQ_EXPORT GetContentDrmTokenResponse : public DecodedObject<GetContentDrmTokenResponse, AbstractResponse>
{
    TQ_DECODED(GetContentDrmTokenResponse)
public:
    QString token;

    static constexpr auto fields() { return std::make_tuple(field("token", &GetContentDrmTokenResponse::token)); }
};

// The id of the content a favourite or a reminder was set on.
template<class T>
class ContentIdOf : public DecodedObject<T, AbstractResponse>
{
public:
    qint64 contentId = -1;

    static constexpr auto fields() { return std::make_tuple(idField("content_id", &ContentIdOf::contentId)); }
};

class TQ_EXPORT IdFavoriteResponse : public ContentIdOf<IdFavoriteResponse>
{
    TQ_DECODED(IdFavoriteResponse)
};

class TQ_EXPORT IdReminderResponse : public ContentIdOf<IdReminderResponse>
{
    TQ_DECODED(IdReminderResponse)
};

class TQ_EXPORT AdminSettingsColdStartLoadingScreen : public DecodedObject<AdminSettingsColdStartLoadingScreen>
{
    TQ_DECODED(AdminSettingsColdStartLoadingScreen)
public:
    qint64 duration = 0;

    static constexpr auto fields()
    {
        return std::make_tuple(field("duration", &AdminSettingsColdStartLoadingScreen::duration));
    }
};

// Where to go once the picks are sent, and how long to show the loading screen.
class TQ_EXPORT PostColdStartContentResponse : public DecodedObject<PostColdStartContentResponse, AbstractResponse>
{
    TQ_DECODED(PostColdStartContentResponse)
public:
    QString mediaViewAlias;
    AdminSettingsColdStartLoadingScreen loadingScreen;

    static constexpr auto fields()
    {
        return std::make_tuple(field("media_view_alias", &PostColdStartContentResponse::mediaViewAlias),
                               field("loading_screen", &PostColdStartContentResponse::loadingScreen));
    }
};

// Answers that are another answer under their request's own name.
class TQ_EXPORT CancelSubscriptionResponse : public SuccessResponse
{
};

} // namespace tq
