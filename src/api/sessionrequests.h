#pragma once
// Platform requests: the session and the box — discovery, sessions, start-up, the box's
// settings and dictionaries, hotel rooms, voice assistants.

#include "tqglobal.h"

#include "api/platformrequest.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/b2b.h"
#include "model/channels.h"
#include "model/devices.h"
#include "model/media.h"
#include "model/messages.h"
#include "model/screens.h"

namespace tq {

// The balancer's discovery address is the whole URL (the value).
class TQ_EXPORT DiscoveryRequest : public PlatformRequest<DiscoveryRequest, StringValueRequest>
{
public:
    using PlatformRequest::PlatformRequest;
    using Answer = DiscoverServicesResponse;
    static constexpr Route route = get("").type(MethodType::TqDiscover);
    QString address() const { return value; }
};

TQ_PLATFORM_REQUEST(NewSessionRequest, RequestWithBody<NewSessionParams>,
                    post("/ulp/sessions", 3).specialization(MethodSpecializaton::NewSession), NewSessionResponse)
TQ_PLATFORM_REQUEST(NewAuthSessionRequest, RequestWithBody<CredentialsV3>, post("/user/sessions", 3), NewSessionResponse)
TQ_PLATFORM_REQUEST(DeleteSessionRequest, AbstractRequest, del("/user/sessions", 3), SuccessResponse)
TQ_PLATFORM_REQUEST(UpdateTokenRequest, AbstractRequest, post("/user/update_token", 3), UpdateTokenResponse)
TQ_PLATFORM_REQUEST(LifeCheckRequest, AbstractRequest, get("/ulp/lifecheck"), LifeCheckResponse)
TQ_PLATFORM_REQUEST(WsTokenRequest, AbstractRequest, post("/user/ws_token"), WsTokenResponse)
TQ_PLATFORM_REQUEST(StartupRequest, RequestWithBody<StartupDeviceInfo>, post("/user/startup"), SuccessResponse)
TQ_PLATFORM_REQUEST(TutorialDoneRequest, AbstractRequest, post("/user/tutorial_done"), SuccessResponse)
TQ_PLATFORM_REQUEST(SystemInfoRequest, AbstractRequest, get("/user/system_info"), SystemInfoResponse)
TQ_PLATFORM_REQUEST(GetTvDictionariesRequest, AbstractRequest,
                    get("/user/tv_dictionaries").specialization(MethodSpecializaton::Dictionary), GetTvDictionariesResponse)
TQ_PLATFORM_REQUEST(GetAgeLimitsRequest, AbstractRequest, get("/user/age_levels"), GetAgeLimitsResponse)
TQ_PLATFORM_REQUEST(GetLanguagesRequest, AbstractRequest, get("/user/languages"), GetLanguagesResponse)
TQ_PLATFORM_REQUEST(GetTimezonesRequest, AbstractRequest, get("/user/timezones"), GetTimezonesResponse)
TQ_PLATFORM_REQUEST(SetCurrentTimezoneRequest, RequestById, put("/user/timezones/{id}/set_current"), SuccessResponse)
TQ_PLATFORM_REQUEST(GetCurrentLocationRequest, RequestById, get("/user/locations/current"), GetCurrentLocationResponse)
TQ_PLATFORM_REQUEST(SetCurrentLocationRequest, RequestById, put("/user/locations/{id}/set_current"), SuccessResponse)
TQ_PLATFORM_REQUEST(GetSplashScreenRequest, AbstractRequest, get("/user/splash_screen"), GetSplashScreenResponse)
TQ_PLATFORM_REQUEST(GetScreensaversRequest, AbstractRequest, get("/user/screensavers"), GetScreensaverResponse)
TQ_PLATFORM_REQUEST(GetToggleButtonTargetRequest, AbstractRequest, get("/user/toggle_button_target"),
                    GetToggleButtonTargetResponse)
TQ_PLATFORM_REQUEST(GetShopTvSettingsRequest, AbstractRequest, get("/user/getshoptv_settings"), GetShopTvSettingsResponse)
TQ_PLATFORM_REQUEST(AdvertisingSettingsRequest, AbstractRequest, get("/user/advertising_settings"),
                    AdvertisingSettingsResponse)
TQ_PLATFORM_REQUEST(GetFeatureToggles, AbstractRequest, get("/user/feature_toggles"), GetFeatureTogglesResponse)
TQ_PLATFORM_REQUEST(GetFeatureToggleConfiguration, StringValueRequest, get("/user/feature_toggles/{feature_key}"),
                    GetFeatureToggleConfigurationResponse)
TQ_PLATFORM_REQUEST(GetFaqByIdRequest, RequestById, get("/user/faq/{id}"), FaqItem)
TQ_PLATFORM_REQUEST(AssistantConnectionRequest, AbstractRequest, get("/user/assistants"), AssistantConnectionResponse)
TQ_PLATFORM_REQUEST(NewAssistantCodeRequest, AbstractRequest, post("/user/assistants/codes"), NewAssistantCodeResponse)
TQ_PLATFORM_REQUEST(DisconnectAssistantRequest, AbstractRequest, del("/user/assistants"), SuccessResponse)
TQ_PLATFORM_REQUEST(PostAssistCommandReportRequest, RequestById, post("/user/assistants/commands/{id}/reports"),
                    SuccessResponse)
// Hotel rooms.
TQ_PLATFORM_REQUEST(StartupHotelRequest, RequestWithBody<StartupDeviceInfo>, post("/user/b2b_hotel/startup"), SuccessResponse)
TQ_PLATFORM_REQUEST(GetHelloMessageRequest, AbstractRequest, get("/user/b2b_hotel/hello_message"), HelloMessageResponse)
TQ_PLATFORM_REQUEST(HelloMessageShownRequest, AbstractRequest, post("/user/b2b_hotel/hello_message_showed"), SuccessResponse)
TQ_PLATFORM_REQUEST(GetB2BMediaViewByAliasRequest, StringValueRequest, get("/user/b2b_hotel/media_views/alias/{name}"),
                    B2bMediaViewRendered)

// The hotel's text value fills "{hotel_id}".
class TQ_EXPORT StbStatusRequest : public PlatformRequest<StbStatusRequest, RequestWithBody<StbB2bStatusParams>>
{
public:
    using PlatformRequest::PlatformRequest;
    using Answer = SuccessResponse;
    static constexpr Route route = post("/user/b2b_hotel/event/{hotel_id}");
    QString value;
};

class TQ_EXPORT GetLocationsRequest : public PlatformRequest<GetLocationsRequest, RequestById>
{
public:
    using PlatformRequest::PlatformRequest;
    using Answer = GetLocationsResponse;
    static constexpr Route route = get("/user/locations");
    static constexpr auto query() { return std::make_tuple(item("timezone_id", &RequestById::id)); }
};

class TQ_EXPORT GetFaqListRequest : public PlatformRequest<GetFaqListRequest, AbstractRequest>
{
public:
    using Answer = GetFaqListResponse;
    static constexpr Route route = get("/user/faq");
    bool withAnswers = false;
    static constexpr auto query() { return std::make_tuple(item("with_answers", &GetFaqListRequest::withAnswers)); }
};

using SessionRequests =
    std::tuple<DiscoveryRequest, NewSessionRequest, NewAuthSessionRequest, DeleteSessionRequest, UpdateTokenRequest,
               LifeCheckRequest, WsTokenRequest, StartupRequest, TutorialDoneRequest, SystemInfoRequest,
               GetTvDictionariesRequest, GetAgeLimitsRequest, GetLanguagesRequest, GetTimezonesRequest,
               SetCurrentTimezoneRequest, GetCurrentLocationRequest, SetCurrentLocationRequest, GetSplashScreenRequest,
               GetScreensaversRequest, GetToggleButtonTargetRequest, GetShopTvSettingsRequest,
               AdvertisingSettingsRequest, GetFeatureToggles, GetFeatureToggleConfiguration, GetFaqByIdRequest,
               AssistantConnectionRequest, NewAssistantCodeRequest, DisconnectAssistantRequest,
               PostAssistCommandReportRequest, StartupHotelRequest, GetHelloMessageRequest, HelloMessageShownRequest,
               GetB2BMediaViewByAliasRequest, StbStatusRequest, GetLocationsRequest, GetFaqListRequest>;

} // namespace tq
