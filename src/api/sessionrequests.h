#pragma once
// Platform requests: the session and the box — discovery, sessions, start-up, the box's
// settings and dictionaries, hotel rooms, voice assistants.

#include "tqglobal.h"

#include "api/requestfamilies.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/b2b.h"
#include "model/channels.h"
#include "model/devices.h"
#include "model/media.h"
#include "model/messages.h"
#include "model/screens.h"

namespace tq {

// The balancer's discovery address is the whole URL (the value); without one the request
// is refused unsent. Its backend takes the path as the URL whatever the absolute flag says.
class TQ_EXPORT DiscoveryRequest : public Request<DiscoveryRequest, StringValueRequest>
{
public:
    using Request::Request;
    using Answer = DiscoverServicesResponse;
    static constexpr Route route = get("").type(MethodType::TqDiscover);
    void finish(RequestRawData& raw) const
    {
        raw.path = value;
        raw.isValid = !value.isEmpty();
    }
};

TQ_REQUEST(NewSessionRequest, RequestWithBody<NewSessionParams>,
           post("/ulp/sessions", 3).specialization(MethodSpecializaton::NewSession), NewSessionResponse)
TQ_REQUEST(NewAuthSessionRequest, RequestWithBody<CredentialsV3>, post("/user/sessions", 3), NewSessionResponse)
TQ_REQUEST(DeleteSessionRequest, AbstractRequest, del("/user/sessions", 3), SuccessResponse)
TQ_REQUEST(UpdateTokenRequest, AbstractRequest, post("/user/update_token", 3), UpdateTokenResponse)
TQ_REQUEST(LifeCheckRequest, AbstractRequest, get("/ulp/lifecheck"), LifeCheckResponse)
TQ_REQUEST(WsTokenRequest, AbstractRequest, post("/user/ws_token"), WsTokenResponse)
TQ_REQUEST(StartupRequest, RequestWithBody<StartupDeviceInfo>, post("/user/startup"), SuccessResponse)
TQ_REQUEST(TutorialDoneRequest, AbstractRequest, post("/user/tutorial_done"), SuccessResponse)
TQ_REQUEST(SystemInfoRequest, AbstractRequest, get("/user/system_info"), SystemInfoResponse)
TQ_REQUEST(GetTvDictionariesRequest, AbstractRequest,
           get("/user/tv_dictionaries").specialization(MethodSpecializaton::Dictionary), GetTvDictionariesResponse)
TQ_REQUEST(GetAgeLimitsRequest, AbstractRequest, get("/user/age_levels"), GetAgeLimitsResponse)
TQ_REQUEST(GetLanguagesRequest, AbstractRequest, get("/user/languages"), GetLanguagesResponse)
TQ_REQUEST(GetTimezonesRequest, AbstractRequest, get("/user/timezones"), GetTimezonesResponse)
TQ_REQUEST(SetCurrentTimezoneRequest, RequestById, put("/user/timezones/{id}/set_current"), SuccessResponse)
TQ_REQUEST(GetCurrentLocationRequest, RequestById, get("/user/locations/current"), GetCurrentLocationResponse)
TQ_REQUEST(SetCurrentLocationRequest, RequestById, put("/user/locations/{id}/set_current"), SuccessResponse)
TQ_REQUEST(GetSplashScreenRequest, AbstractRequest, get("/user/splash_screen"), GetSplashScreenResponse)
TQ_REQUEST(GetScreensaversRequest, AbstractRequest, get("/user/screensavers"), GetScreensaverResponse)
TQ_REQUEST(GetToggleButtonTargetRequest, AbstractRequest, get("/user/toggle_button_target"),
           GetToggleButtonTargetResponse)
TQ_REQUEST(GetShopTvSettingsRequest, AbstractRequest, get("/user/getshoptv_settings"), GetShopTvSettingsResponse)
TQ_REQUEST(AdvertisingSettingsRequest, AbstractRequest, get("/user/advertising_settings"),
           AdvertisingSettingsResponse)
TQ_REQUEST(GetFeatureToggles, AbstractRequest, get("/user/feature_toggles"), GetFeatureTogglesResponse)
TQ_REQUEST(GetFeatureToggleConfiguration, StringValueRequest, get("/user/feature_toggles/{feature_key}"),
           GetFeatureToggleConfigurationResponse)
TQ_REQUEST(GetFaqByIdRequest, RequestById, get("/user/faq/{id}"), FaqItem)
TQ_REQUEST(AssistantConnectionRequest, AbstractRequest, get("/user/assistants"), AssistantConnectionResponse)
TQ_REQUEST(NewAssistantCodeRequest, AbstractRequest, post("/user/assistants/codes"), NewAssistantCodeResponse)
TQ_REQUEST(DisconnectAssistantRequest, AbstractRequest, del("/user/assistants"), SuccessResponse)
TQ_REQUEST(PostAssistCommandReportRequest, RequestById, post("/user/assistants/commands/{id}/reports"),
           SuccessResponse)
// Hotel rooms.
TQ_REQUEST(StartupHotelRequest, RequestWithBody<StartupDeviceInfo>, post("/user/b2b_hotel/startup"), SuccessResponse)
TQ_REQUEST(GetHelloMessageRequest, AbstractRequest, get("/user/b2b_hotel/hello_message"), HelloMessageResponse)
TQ_REQUEST(HelloMessageShownRequest, AbstractRequest, post("/user/b2b_hotel/hello_message_showed"), SuccessResponse)
TQ_REQUEST(GetB2BMediaViewByAliasRequest, StringValueRequest, get("/user/b2b_hotel/media_views/alias/{name}"),
           B2bMediaViewRendered)

// The hotel's text value fills "{hotel_id}".
class TQ_EXPORT StbStatusRequest : public Request<StbStatusRequest, RequestWithBody<StbB2bStatusParams>>
{
public:
    using Request::Request;
    using Answer = SuccessResponse;
    static constexpr Route route = post("/user/b2b_hotel/event/{hotel_id}");
    QString value;
};

class TQ_EXPORT GetLocationsRequest : public Request<GetLocationsRequest, RequestById>
{
public:
    using Request::Request;
    using Answer = GetLocationsResponse;
    static constexpr Route route = get("/user/locations");
    static constexpr auto query() { return std::make_tuple(item("timezone_id", &RequestById::id)); }
};

class TQ_EXPORT GetFaqListRequest : public Request<GetFaqListRequest, AbstractRequest>
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
