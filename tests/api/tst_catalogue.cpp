// The platform catalogue, one row per request, every expected value written out: the
// answer the reply decodes into, and what the creator records - method, API version, path
// after substitution, query items in order, body, specialization and every switch that
// differs from a new record's. A request's first row sets all its arguments, so each query
// key shows in its place; further rows leave arguments out (0, empty, unset, a year before
// 1896). Then the image request and the query-item encoder.

#include "api/catalogue.h"
#include "model/decode.h"
#include "model/response.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QJsonArray>
#include <QSet>
#include <QTest>

using namespace tq;

namespace {

// "METHOD vN path?query body [flags]": a flag only where the record differs from a new one
// (valid, cacheable, relative address, image size checked, deferrable, JSON only, TqApi).
QString summary(const RequestRawData& raw)
{
    QString text = raw.httpMethod + QStringLiteral(" v%1 ").arg(raw.apiVersion) +
                   (raw.pathCreator ? raw.pathCreator(raw.path) : raw.path);
    if (!raw.queryItems.isEmpty())
        text += QLatin1Char('?') + raw.queryItems.join(QLatin1Char('&'));
    if (!raw.body.isEmpty())
        text += QLatin1Char(' ') + QString::fromUtf8(raw.body);
    const auto flag = [&text](bool set, const char* name) {
        if (set)
            text += QStringLiteral(" [%1]").arg(QLatin1String(name));
    };
    flag(raw.methodSpecialization != MethodSpecializaton::Unknown,
         QMetaEnum::fromType<MethodSpecializaton>().valueToKey(int(raw.methodSpecialization)));
    flag(!raw.isValid, "invalid");
    flag(!raw.isCacheable, "not cacheable");
    flag(raw.isAbsoluteUrl, "absolute");
    flag(!raw.checkImageSize, "no size check");
    flag(!raw.isDeferrable, "not deferrable");
    flag(bool(raw.responseCborExtractor), "+cbor");
    flag(raw.methodType != MethodType::TqApi, QMetaEnum::fromType<MethodType>().valueToKey(int(raw.methodType)));
    return text;
}

template<class R>
QString nameOf()
{
    const QString name = QString::fromLatin1(QMetaType::fromType<R>().name());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

QSet<QString> rowsGiven;
template<class R>
int rowsOf = 0;

// The record of a request set up by `setup`, made after the request is gone: the creator
// holds copies only.
template<class R, class Setup>
void row(const char* answer, const char* expected, Setup setup)
{
    rowsGiven.insert(nameOf<R>());
    R request;
    setup(request);
    const std::function<RequestRawData()> creator = request.rawDataCreator();
    request = R();
    QTest::addRow("%s %d", qPrintable(nameOf<R>()), ++rowsOf<R>)
        << creator() << QString::fromLatin1(answer) << QString::fromUtf8(expected);
}

#define ROW(R, answer, expected, ...) row<R>(answer, expected, [](R& r) { (void)r; __VA_ARGS__ })

// An answer that also carries a notification, as any answer of the platform may.
const char* const AnswerWithNotification =
    R"({"notification": {"event_code": "bonuses_changed", "event_type": "item", "item": {"bonus_program": {}}}})";

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == TqNotificationEvent::EventType)
            ++notificationsPosted;
        return QObject::eventFilter(watched, event);
    }

private slots:
    void initTestCase() { QCoreApplication::instance()->installEventFilter(this); }

    void requests_data()
    {
        QTest::addColumn<RequestRawData>("raw");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected");
        rowsGiven.clear();
        ROW(AcceptOfferRequest, "SuccessResponse", "POST v2 /user/offer_accepted", );
        ROW(AccountRefillRequest, "AccountRefillResponse", "POST v2 /user/account_refill {\"amount\":500,\"is_should_link_card\":false,\"payment_method_id\":3}", r.body.amount = 500; r.body.paymentMethodId = 3;);
        ROW(AccountSettingsRequest, "GetAccountSettingsResponse", "GET v2 /user/account_settings", );
        ROW(AccountSummaryRequest, "GetAccountSummaryResponse", "GET v2 /user/account_summary [Settings]", r.setMethodSpecialization(MethodSpecializaton::Settings););
        ROW(ActivateOttTvCodeRequest, "SuccessResponse", "POST v2 /user/ott_tv_code {\"is_confirmed\":true,\"ott_tv_code\":\"OTT-1\"}", r.body.ottTvCode = "OTT-1"; r.body.isConfirmed = true;);
        ROW(ActivatePromoCodeRequest, "SuccessResponse", "POST v2 /user/promo_code {\"promo_code\":\"SPRING\"}", r.body.promoCode = "SPRING";);
        ROW(AddUserBankCardRequest, "AddBankCardResponse", "POST v2 /user/bank_cards", );
        ROW(AdvertisingSettingsRequest, "AdvertisingSettingsResponse", "GET v2 /user/advertising_settings", );
        ROW(AssistantConnectionRequest, "AssistantConnectionResponse", "GET v2 /user/assistants", );
        ROW(BuyContentRequest, "BuyContentResponse", "POST v3 /user/buy {\"bank_card_id\":-1,\"bonus_program_id\":-1,\"content_id\":77,\"is_confirmed\":true,\"is_should_link_card\":false,\"payment_method_id\":-1,\"pin_code\":\"1234\",\"price_id\":9,\"purchase_option_id\":-1,\"service_id\":-1}", r.body.contentId = 77; r.body.isConfirmed = true; r.body.pinCode = "1234"; r.body.priceId = 9;);
        ROW(CancelSubscriptionRequest, "CancelSubscriptionResponse", "POST v2 /user/subscribe_cancel {\"is_confirmed\":false,\"service_id\":12}", r.body.serviceId = 12;);
        ROW(CanvasRequest, "CanvasResponse", "GET v2 /user/canvas/channel?width=1920&height=1080", r.value = "channel"; r.width = 1920; r.height = 1080;);
        ROW(CertificateActivateRequest, "SuccessResponse", "POST v2 /user/certificates/31/activate", r.id = 31;);
        ROW(ChangeEmailRequest, "SuccessResponse", "POST v2 /user/email {\"confirmation_code\":\"77\",\"email\":\"a@b.example\",\"password\":\"\"}", r.body.email = "a@b.example"; r.body.confirmationCode = "77";);
        ROW(ChangeLoginBonusProgramRequest, "ChangeLoginBonusProgramResponse", "POST v3 /user/bonuses/4/change_login {\"login\":\"+70001112233\",\"login_type\":\"phone\"}", r.id = 4; r.body.login = "+70001112233"; r.body.loginType = BonusProgramLoginType::Phone;);
        ROW(ChangePasswordRequest, "SuccessResponse", "POST v2 /user/password/change {\"new_password\":\"new\",\"password\":\"old\"}", r.body.password = "old"; r.body.newPassword = "new";);
        ROW(ChangePhoneRequest, "SuccessResponse", "POST v2 /user/phone {\"confirmation_code\":\"\",\"password\":\"\",\"phone\":\"+70001112233\"}", r.body.phone = "+70001112233";);
        ROW(ChangePinRequest, "SuccessResponse", "POST v2 /user/profiles/pin {\"new_pin\":\"1234\",\"old_pin\":\"0000\"}", r.body.oldPin = "0000"; r.body.newPin = "1234";);
        ROW(ChangePreviewRequest, "PostPreviewResponse", "POST v2 /user/channel_preview {\"channel_id\":5,\"viewed_time\":120}", r.body.channelId = 5; r.body.viewedTime = 120;);
        ROW(CheckLoginRequest, "CheckLoginResponse", "GET v2 /user/check_login?login=john%20doe%26co&action=register", r.login = "john doe&co"; r.action = "register";);
        ROW(ConfirmBonusProgramRequest, "ConfirmBonusProgramResponse", "POST v3 /user/bonuses/4/confirm {\"action\":\"register\",\"confirmation_code\":\"55\",\"request_id\":\"q1\"}", r.id = 4; r.body.requestId = "q1"; r.body.confirmationCode = "55"; r.body.action = BonusProgramAction::Register;);
        ROW(ConfirmTicketByIDRequest, "TicketUser", "POST v2 /user/tickets/T-100/confirm {}", r.value = "T-100";);
        ROW(ContentAvailabilityRequest, "ContentAvailabilityResponse", "GET v2 /user/content_availability?content_type=media_item&content_id=77&media_item=78&asset_id=5501", r.contentType = "media_item"; r.contentId = 77; r.mediaItem = 78; r.assetId = 5501; r.drmProvider = "widevine";);
        ROW(CreateContentViewRequest, "ContentViewResponse", "POST v2 /user/content_view {\"viewed_time\":30}", r.body.viewedTime = 30;);
        ROW(CreateFavoriteRequest, "IdFavoriteResponse", "POST v2 /user/favorites {\"content_id\":3,\"content_type\":\"channel\"}", r.body.contentId = 3; r.body.contentType = ContentItemType::Channel;);
        ROW(CreateMediaPositionRequest, "MediaPositionIDResponse", "POST v2 /user/media_positions {\"action\":\"pause\",\"content_id\":77,\"content_type\":\"media_item\",\"timepoint\":600}", r.body.action = MediaPositionAction::Pause; r.body.contentId = 77; r.body.contentType = ContentItemType::MediaItem; r.body.timepoint = 600;);
        ROW(CreateProfileRequest, "ProfileBrief", "POST v2 /user/profiles {\"default_age_limit_id\":-1,\"icon\":{\"id\":7},\"id\":-1,\"max_age_limit_id\":-1,\"name\":\"Kids\",\"type\":\"child\"}", r.body.name = "Kids"; r.body.type = ProfileType::Child; r.body.icon.id = 7; r.body.purchaseLimits.isPinRequired = true;);
        ROW(CreateReminderRequest, "IdReminderResponse", "POST v2 /user/reminders {\"content_id\":900,\"content_type\":\"epg\"}", r.body.contentId = 900; r.body.contentType = "epg";);
        ROW(DeleteBankCardByIDRequest, "SuccessResponse", "DELETE v2 /user/bank_cards/8", r.id = 8;);
        ROW(DeleteBonusProgramByIdRequest, "SuccessResponse", "DELETE v3 /user/bonuses/4", r.id = 4;);
        ROW(DeleteEmailRequest, "SuccessResponse", "DELETE v2 /user/email {\"password\":\"secret\"}", r.body.password = "secret";);
        ROW(DeleteEpgRecordingRequest, "SuccessResponse", "DELETE v2 /user/epg/900/recording", r.id = 900;);
        ROW(DeleteFavoriteByIdRequest, "SuccessResponse", "DELETE v2 /user/favorites/channel/3", r.value = "channel"; r.id = 3;);
        ROW(DeleteMediaPositionsFromProfileRequest, "SuccessResponse", "DELETE v2 /user/media_positions", );
        ROW(DeleteMediaRatingByIdRequest, "SuccessResponse", "DELETE v2 /user/media_ratings/media_item/77", r.value = "media_item"; r.id = 77;);
        ROW(DeletePhoneRequest, "SuccessResponse", "DELETE v2 /user/phone {\"new_password\":\"\",\"password\":\"secret\"}", r.body.password = "secret";);
        ROW(DeleteProfileByIDRequest, "SuccessResponse", "DELETE v2 /user/profiles/12 {\"pin_code\":\"1234\"}", r.id = 12; r.body.pinCode = "1234";);
        ROW(DeleteReminderByIDRequest, "SuccessResponse", "DELETE v2 /user/reminders/epg/900", r.value = "epg"; r.id = 900;);
        ROW(DeleteSessionRequest, "SuccessResponse", "DELETE v3 /user/sessions", );
        ROW(DevicesRequest, "ListDevicesResponse", "GET v2 /user/devices", );
        ROW(DisconnectAssistantRequest, "SuccessResponse", "DELETE v2 /user/assistants", );
        ROW(DiscoveryRequest, "DiscoverServicesResponse", "GET v2 http://balancer.example/discovery [TqDiscover]", r.value = "http://balancer.example/discovery";);
        ROW(EpgRecordingRequest, "SuccessResponse", "POST v2 /user/epg/900/recording", r.id = 900;);
        ROW(GetAgeLimitsRequest, "GetAgeLimitsResponse", "GET v2 /user/age_levels", );
        ROW(GetB2BMediaViewByAliasRequest, "B2bMediaViewRendered", "GET v2 /user/b2b_hotel/media_views/alias/lobby", r.value = "lobby";);
        ROW(GetBonusProgramByIdRequest, "GetBonusProgramByIdResponse", "GET v3 /user/bonuses/4", r.id = 4;);
        ROW(GetBonusProgramsRequest, "GetBonusProgramsResponse", "GET v3 /user/bonuses", );
        ROW(GetCertificatesRequest, "GetCertificatesResponse", "GET v2 /user/certificates [Content]", r.setMethodSpecialization(MethodSpecializaton::Settings););
        ROW(GetChannelByIdRequest, "Channel", "GET v3 /user/channels/5?epg_limit=3&with_epg=true", r.id = 5; r.epgLimit = 3; r.withEpg = true;);
        ROW(GetChannelByTqIdRequest, "Channel", "GET v3 /user/channels/tq/42?epg_limit=3&with_epg=true", r.id = 42; r.epgLimit = 3; r.withEpg = true;);
        ROW(GetChannelByTqIdRequest, "Channel", "GET v3 /user/channels/tq/42", r.id = 42; r.epgLimit = 0; r.withEpg = false;);
        ROW(GetChannelPreviewRequest, "PreviewDurationBrief", "GET v2 /user/channel_preview/5", r.id = 5;);
        ROW(GetChannelsRequest, "GetChannelsResponse", "GET v3 /user/channels?themes=5%2C7&epg_limit=2&with_details=true&with_epg=true [+cbor]", r.themes = {5, 7}; r.epgLimit = 2; r.withDetails = true; r.withEpg = true;);
        ROW(GetChannelsRequest, "GetChannelsResponse", "GET v3 /user/channels [+cbor]", );
        ROW(GetColdStartContentRequest, "GetColdStartContentResponse", "GET v2 /user/recommendations/cold_start?genre_aliases=drama%2Ccomedy", r.genreAliases = {"drama", "comedy"};);
        ROW(GetColdStartGenersRequest, "GetColdStartGenresResponse", "GET v2 /user/recommendations/cold_start/genres", );
        ROW(GetCollectionItemsRequest, "CollectionItemsResponse", "GET v2 /user/collections/12/items?offset=40&limit=20&item_type=media_item&filter_theme=genres&genre=drama%2Csci%20fi&sorting=popular&custom_filters=4k%2Cnew", r.id = 12; r.offset = 40; r.limit = 20; r.itemType = "media_item"; r.filterTheme = "genres"; r.filters.insert("genre", {"drama", "sci fi"}); r.sorting = "popular"; r.customFilters = {"4k", "new"};);
        ROW(GetCollectionRequest, "CollectionResponse", "GET v2 /user/collections/12", r.id = 12;);
        ROW(GetCollectionsRequest, "CollectionsResponse", "GET v2 /user/collections?limit=20&offset=40", r.offset = 40; r.limit = 20;);
        ROW(GetCollectionsRequest, "CollectionsResponse", "GET v2 /user/collections?limit=20", r.offset = 0; r.limit = 20;);
        ROW(GetContentDrmTokenRequest, "GetContentDrmTokenResponse", "GET v2 /user/content_drm_token?content_type=channel&content_id=5&drm_provider=widevine&asset_id=6", r.contentType = "channel"; r.contentId = 5; r.mediaItem = 7; r.drmProvider = "widevine"; r.assetId = 6;);
        ROW(GetCurrentLocationRequest, "GetCurrentLocationResponse", "GET v2 /user/locations/current", );
        ROW(GetCurrentProfileRequest, "ProfileBrief", "GET v2 /user/profiles/current", );
        ROW(GetDrmSettingsRequest, "GetDrmSettingsResponse", "GET v3 /user/drm_settings", );
        ROW(GetEpgByIdRequest, "GetEPGByIDResponse", "GET v2 /user/epg/900", r.id = 900;);
        ROW(GetEpgByOriginalIdRequest, "GetEPGByIDResponse", "GET v2 /user/epg/original/77001?tq_channel_id=1005&start_time=1700000000&channel_id=5", r.id = 77001; r.tqChannelId = 1005; r.startTime = 1700000000; r.channelId = 5;);
        ROW(GetEpgRequest, "GetEPGResponse", "GET v2 /user/epg?channels_ids=1%2C2&start_time=1700000000&end_time=1700086400&limit=3&nearly_by_time=1700000100&finish_time=1700000200", r.channelsIds = {1, 2}; r.startTime = 1700000000; r.endTime = 1700086400; r.limit = 3; r.nearlyByTime = 1700000100; r.finishTime = 1700000200;);
        ROW(GetEpisodesRequest, "GetMediaItemsResponse", "GET v3 /user/episodes?season_id=9&offset=20&limit=10&media_items=1%2C2&with_purchase_options=true&with_media_position=false&sort_by=number&sort_dir=desc", r.seasonId = 9; r.offset = 20; r.limit = 10; r.mediaItems = {1, 2}; r.withPurchaseOptions = true; r.withMediaPosition = false; r.sortBy = "number"; r.sortDir = "desc";);
        ROW(GetEpisodesRequest, "GetMediaItemsResponse", "GET v3 /user/episodes?season_id=0&offset=0", r.seasonId = 0;);
        ROW(GetFaqByIdRequest, "FaqItem", "GET v2 /user/faq/2", r.id = 2;);
        ROW(GetFaqListRequest, "GetFaqListResponse", "GET v2 /user/faq?with_answers=true", r.withAnswers = true;);
        ROW(GetFeatureToggleConfiguration, "GetFeatureToggleConfigurationResponse", "GET v2 /user/feature_toggles/new_guide", r.value = "new_guide";);
        ROW(GetFeatureToggles, "GetFeatureTogglesResponse", "GET v2 /user/feature_toggles", );
        ROW(GetGroupSearchRequest, "GetGroupSearchResponse", "GET v3 /user/group_search?query=star%20wars&limit=5", r.searchQuery = "star wars"; r.limit = 5;);
        ROW(GetHelloMessageRequest, "HelloMessageResponse", "GET v2 /user/b2b_hotel/hello_message", );
        ROW(GetKaraokeItemByIdRequest, "GetKaraokeItemByIDResponse", "GET v3 /user/karaoke_items/66", r.id = 66;);
        ROW(GetKaraokeItemsRequest, "GetKaraokeItemsResponse", "GET v3 /user/karaoke_items?offset=40&limit=20&filter_theme=pop&decade=1980s&sorting=new&custom_filters=duets", r.offset = 40; r.limit = 20; r.filterTheme = "pop"; r.filters.insert("decade", {"1980s"}); r.filters.insert("empty", {}); r.sorting = "new"; r.customFilters = {"duets"};);
        ROW(GetLanguagesRequest, "GetLanguagesResponse", "GET v2 /user/languages", );
        ROW(GetLocationsRequest, "GetLocationsResponse", "GET v2 /user/locations?timezone_id=3", r.id = 3;);
        ROW(GetMediaItemByIdRequest, "GetMediaItemByIDResponse", "GET v3 /user/media_items/77", r.id = 77;);
        ROW(GetMediaItemPersonsRequest, "GetMediaItemPersonsResponse", "GET v3 /user/media_items/77/persons?limit=10&offset=30", r.id = 77; r.limit = 10; r.offset = 30;);
        ROW(GetMediaItemsRequest, "GetMediaItemsResponse", "GET v3 /user/media_items?offset=40&limit=20&year_ge=1896&year_le=2020&types=film%2Cseries&genres=3%2C4&countries=fr%2Cit&parent_id=70&sort_by=year&sort_dir=asc&media_items=5%2C6&with_purchase_options=true&filter_purchased=false&filter_not_purchased=true&filter_viewed=false&filter_not_downloadable=true&with_media_position=true&category_id=11&person_id=8&role_id=2&filter_theme=all&country=fr&sorting=popular&custom_filters=4k", r.offset = 40; r.limit = 20; r.yearGe = 1896; r.yearLe = 2020; r.types = {"film", "series"}; r.genres = {3, 4}; r.countries = {"fr", "it"}; r.parentId = 70; r.sortBy = "year"; r.sortDir = "asc"; r.mediaItems = {5, 6}; r.withPurchaseOptions = true; r.filterPurchased = false; r.filterNotPurchased = true; r.filterViewed = false; r.filterNotDownloadable = true; r.withMediaPosition = true; r.categoryId = 11; r.personId = 8; r.roleId = 2; r.filterTheme = "all"; r.filters.insert("country", {"fr"}); r.sorting = "popular"; r.customFilters = {"4k"};);
        ROW(GetMediaItemsRequest, "GetMediaItemsResponse", "GET v3 /user/media_items?limit=20&year_le=1896", r.offset = 0; r.limit = 20; r.yearGe = 1895; r.yearLe = 1896; r.parentId = -1;);
        ROW(GetMediaPositionsDictionariesRequest, "GetContentTypesResponse", "GET v2 /user/media_positions/dictionaries", );
        ROW(GetMediaPositionsRequest, "GetMediaPositionsResponse", "GET v2 /user/media_positions?offset=10&limit=10&sort_by=updated&sort_dir=desc&type=media_item&device_ids=1%2C2", r.offset = 10; r.limit = 10; r.sortBy = "updated"; r.sortDir = "desc"; r.type = "media_item"; r.deviceIds = {1, 2};);
        ROW(GetMediaViewAliasRequest, "MediaViewRendered", "GET v4 /user/media_views/alias/main page?series_id=70&media_item_id=77&limit=6", r.value = "main page"; r.seriesId = 70; r.mediaItemId = 77; r.limit = 6; r.offset = 6;);
        ROW(GetMediaViewRenderedRequest, "MediaViewRendered", "GET v4 /user/media_views/4?limit=6&offset=6", r.id = 4; r.offset = 6; r.limit = 6;);
        ROW(GetMenuRequest, "Menu", "GET v2 /user/menu?submenu_id=4", r.id = 4;);
        ROW(GetMenuRequest, "Menu", "GET v2 /user/menu", r.id = 0;);
        ROW(GetMessageByIdRequest, "GetMessageByIdResponse", "GET v2 /user/messages/m-1", r.value = "m-1";);
        ROW(GetMessagesRequest, "GetMessagesResponse", "GET v2 /user/messages?types=message%2Cpoll&offset=20&limit=10", r.types = {MessageType::Message, MessageType::Poll}; r.offset = 20; r.limit = 10;);
        ROW(GetOfferRequest, "OfferUser", "GET v2 /user/offer", );
        ROW(GetPaymentMethodsByTypesRequest, "GetPaymentMethodsByTypesResponse", "GET v4 /user/payment_methods_by_types?payment_type=purchase%2Caccount_refill", r.paymentTypes = {"purchase", "account_refill"};);
        ROW(GetPersonContentItemsRequest, "GetPersonContentItemsResponse", "GET v2 /user/persons/8/items?role_id=2&limit=10&offset=30", r.id = 8; r.roleId = 2; r.limit = 10; r.offset = 30;);
        ROW(GetPersonRequest, "Person", "GET v2 /user/persons/8", r.id = 8;);
        ROW(GetPersonRolesRequest, "GetPersonRolesResponse", "GET v2 /user/persons/8/roles", r.id = 8;);
        ROW(GetPlaylistRequest, "GetMediaItemsResponse", "GET v2 /user/playlist", );
        ROW(GetProfileByIdRequest, "ProfileBrief", "GET v2 /user/profiles/12", r.id = 12;);
        ROW(GetProfileChannelsRequest, "GetProfileChannelsResponse", "GET v2 /user/profiles/12/channels", r.id = 12;);
        ROW(GetPurchasesHistoryByIdRequest, "GetPurchasesHistoryByIDResponse", "GET v2 /user/purchases_history/T-100", r.value = "T-100";);
        ROW(GetPurchasesHistoryRequest, "GetPurchasesHistoryResponse", "GET v2 /user/purchases_history?limit=20&offset=40", r.offset = 40; r.limit = 20;);
        ROW(GetRadioChannelsRequest, "GetRadioChannelsResponse", "GET v2 /user/radio_channels", );
        ROW(GetReminderDictionariesRequest, "GetContentTypesResponse", "GET v2 /user/reminders/dictionaries", );
        ROW(GetRemindersRequest, "GetRemindersResponse", "GET v2 /user/reminders?content_type=epg&limit=5&offset=10", r.value = "epg"; r.limit = 5; r.offset = 10;);
        ROW(GetScreensaversRequest, "GetScreensaverResponse", "GET v2 /user/screensavers", );
        ROW(GetSearchRequest, "GetSearchResponse", "GET v3 /user/search?offset=10&limit=5&query=a%26b%20c&content_types=media_item%2Cchannel&media_items=5%2C6&media_item_types=film%2Cseries&is_child=false", r.offset = 10; r.limit = 5; r.searchQuery = "a&b c"; r.contentTypes = {"media_item", "channel"}; r.mediaItems = {5, 6}; r.mediaItemTypes = {"film", "series"}; r.isChild = false;);
        ROW(GetSeasonsRequest, "GetMediaItemsResponse", "GET v3 /user/seasons?series_id=70&media_items=5%2C6&sort_by=number&sort_dir=asc", r.seriesId = 70; r.mediaItems = {5, 6}; r.sortBy = "number"; r.sortDir = "asc";);
        ROW(GetServiceItemsRequest, "GetServiceItemsResponse", "GET v2 /user/services/14/items?offset=20&limit=20&item_type=channel&filter_theme=sport", r.id = 14; r.offset = 20; r.limit = 20; r.itemType = "channel"; r.filterTheme = "sport";);
        ROW(GetServiceTabsListRequest, "GetServiceTabsListResponse", "GET v2 /user/services/tabs", );
        ROW(GetShopTvSettingsRequest, "GetShopTvSettingsResponse", "GET v2 /user/getshoptv_settings", );
        ROW(GetSplashScreenRequest, "GetSplashScreenResponse", "GET v2 /user/splash_screen", );
        ROW(GetTimezonesRequest, "GetTimezonesResponse", "GET v2 /user/timezones", );
        ROW(GetToggleButtonTargetRequest, "GetToggleButtonTargetResponse", "GET v2 /user/toggle_button_target", );
        ROW(GetTvDictionariesRequest, "GetTvDictionariesResponse", "GET v2 /user/tv_dictionaries [Dictionary]", r.setMethodSpecialization(MethodSpecializaton::Settings););
        ROW(GetUserBankCardsRequest, "GetBankCardsResponse", "GET v2 /user/bank_cards?limit=5&offset=5", r.limit = 5; r.offset = 5;);
        ROW(HelloMessageShownRequest, "SuccessResponse", "POST v2 /user/b2b_hotel/hello_message_showed", );
        ROW(LifeCheckRequest, "LifeCheckResponse", "GET v2 /ulp/lifecheck", );
        ROW(ListMyCollectionRequest, "ListMyCollectionResponse", "GET v2 /user/my_collection?type=films&limit=20&offset=40&filter_theme=all&sorting=new", r.value = "films"; r.limit = 20; r.offset = 40; r.filterTheme = "all"; r.sorting = "new";);
        ROW(MediaItemsCertificateActivateRequest, "SuccessResponse", "POST v2 /user/media_items/77/certificate", r.id = 77;);
        ROW(MergeAccountsRequest, "SuccessResponse", "POST v2 /user/merge_accounts {\"login\":\"john@example.com\",\"login_type\":\"email\",\"password\":\"pw\"}", r.body.login = "john@example.com"; r.body.loginType = LoginType::Email; r.body.password = "pw";);
        ROW(NewAssistantCodeRequest, "NewAssistantCodeResponse", "POST v2 /user/assistants/codes", );
        ROW(NewAuthSessionRequest, "NewSessionResponse", "POST v3 /user/sessions {\"device\":{\"model\":\"STB-1\",\"real_uid\":\"\",\"sn\":\"\",\"terminal_name\":\"\",\"vendor\":\"\"},\"login\":\"john@example.com\",\"login_type\":\"email\",\"password\":\"pw\"}", r.body.login = "john@example.com"; r.body.loginType = LoginType::Email; r.body.password = "pw"; r.body.device.model = "STB-1";);
        ROW(NewSessionRequest, "NewSessionResponse", "POST v3 /ulp/sessions {\"device\":{\"app_version\":\"5.1\",\"platform\":\"stb\",\"type\":\"iptv\"},\"fingerprint\":\"fp\"} [NewSession]", r.setMethodSpecialization(MethodSpecializaton::Settings); r.body.device.appVersion = "5.1"; r.body.device.platform = "stb"; r.body.device.type = "iptv"; r.body.fingerprint = "fp";);
        ROW(PasswordValidateRequest, "SuccessResponse", "POST v2 /user/password/validate {\"password\":\"pa\\\"ss\"}", r.value = "pa\"ss";);
        ROW(PatchProfileRequest, "SuccessResponse", "PATCH v2 /user/profiles/12 {\"audio_track_lang\":\"{\\\"channels_layout\\\":0,\\\"codec\\\":0,\\\"description\\\":\\\"\\\",\\\"language\\\":\\\"eng\\\"}\",\"default_age_limit_id\":-1,\"filtered_channels\":{\"hidden\":[],\"pin_required\":[]},\"icon\":{\"id\":3},\"id\":12,\"is_erotic_allowed\":false,\"is_getshoptv_enabled\":false,\"is_notifications_allowed\":false,\"max_age_limit_id\":-1,\"name\":\"Dad\",\"purchase_limits\":{\"is_pin_required\":false},\"subtitle_lang\":\"{\\\"channels_layout\\\":0,\\\"codec\\\":0,\\\"description\\\":\\\"\\\",\\\"language\\\":\\\"\\\"}\",\"type\":\"master\",\"view_limits\":{\"allowed_from\":\"\",\"allowed_to\":\"\",\"cur_view_time\":0,\"max_view_time\":7200}}", ProfileBrief p; p.id = 12; p.name = "Dad"; p.type = ProfileType::Master; p.icon.id = 3; p.icon.image = "i.png"; p.viewLimits.maxViewTime = 7200; p.audioTrackLang.language = "eng"; r.id = 12; r.body = PatchProfileParams(p););
        ROW(PostAssistCommandReportRequest, "SuccessResponse", "POST v2 /user/assistants/commands/19/reports", r.id = 19;);
        ROW(PostColdStartContentRequest, "PostColdStartContentResponse", "POST v2 /user/recommendations/cold_start {\"content_ids\":[77,78],\"genre_aliases\":[\"drama\"]}", r.body.contentIds = {77, 78}; r.body.genreAliases = {"drama"};);
        ROW(PostMediaItemByIdForExchangeRequest, "SuccessResponse", "POST v2 /user/media_items/77/exchange {\"content_id\":78}", r.id = 77; r.contentId = 78;);
        ROW(PostMediaRatingsRequest, "SuccessResponse", "POST v2 /user/media_ratings {\"content_id\":77,\"rating\":5}", r.body.contentId = 77; r.body.rating = 5;);
        ROW(PostUserMessageReportRequest, "SuccessResponse", "POST v2 /user/messages/3/reports {\"poll_result\":[1,3],\"status\":[\"shown\"]}", r.id = 3; r.body.pollResult = QJsonArray{1, 3}; r.body.status = QJsonArray{"shown"};);
        ROW(ProfileIconsRequest, "GetProfileIconsResponse", "GET v2 /user/profiles/icons?profile_type=child", r.profileType = "child";);
        ROW(ProfilesRequest, "ListProfilesResponse", "GET v2 /user/profiles", );
        ROW(PurchaseAvailabilityRequest, "PurchaseAvailabilityResponse", "POST v2 /user/purchase_availability {\"bank_card_id\":-1,\"bonus_program_id\":-1,\"content_id\":77,\"is_confirmed\":false,\"is_should_link_card\":false,\"payment_method_id\":-1,\"pin_code\":\"\",\"price_id\":-1,\"purchase_option_id\":-1,\"service_id\":-1}", r.body.contentId = 77;);
        ROW(RegisterBonusProgramRequest, "RegisterBonusProgramResponse", "POST v3 /user/bonuses/4/register {\"login\":\"a@b.example\",\"login_type\":\"email\"}", r.id = 4; r.body.login = "a@b.example"; r.body.loginType = BonusProgramLoginType::Email;);
        ROW(RegisterCredentialsRequest, "RegisterAccountResponse", "POST v2 /user/accounts {\"login\":\"+70001112233\",\"login_type\":\"phone\",\"password\":\"pw\"}", r.body.login = "+70001112233"; r.body.loginType = LoginType::Phone; r.body.password = "pw";);
        ROW(RequestFilterThemes, "ContentFilterThemesResponse", "GET v2 /user/media_items/12/filter_themes", r.contentType = "media_items"; r.id = 12;);
        ROW(RequestFilters, "FiltersResponse", "GET v2 /user/collections/filters?theme=genres", r.contentType = "collections"; r.id = -1; r.theme = "genres";);
        ROW(RequestFilters, "FiltersResponse", "GET v2 /user/collections/12/filters", r.contentType = "collections"; r.id = 12;);
        ROW(RequestSorts, "SortsResponse", "GET v2 /user/collections/12/sorts", r.contentType = "collections"; r.id = 12;);
        ROW(ResetPasswordRequest, "SuccessResponse", "POST v2 /user/password/reset {\"confirmation_code\":\"55\",\"email\":\"a@b.example\",\"new_password\":\"pw\"}", r.body.email = "a@b.example"; r.body.confirmationCode = "55"; r.body.newPassword = "pw";);
        ROW(ResetPinRequest, "SuccessResponse", "DELETE v2 /user/profiles/pin {\"password\":\"pw\"}", r.body.password = "pw";);
        ROW(SendEmailCodeRequest, "SendEmailCodeResponse", "POST v2 /user/send_email_code {\"action\":\"reset_password\",\"email\":\"a@b.example\"}", r.body.action = "reset_password"; r.body.email = "a@b.example";);
        ROW(SendSmsCodeRequest, "SendSmsResponse", "POST v2 /user/send_sms_code {\"action\":\"register\",\"phone\":\"+70001112233\"}", r.body.action = "register"; r.body.phone = "+70001112233";);
        ROW(ServiceByAliasRequest, "ServiceBrief", "GET v3 /user/services/alias/premium tv", r.value = "premium tv";);
        ROW(ServiceByIdRequest, "ServiceBrief", "GET v3 /user/services/14", r.id = 14;);
        ROW(SetCurrentLocationRequest, "SuccessResponse", "PUT v2 /user/locations/6/set_current", r.id = 6;);
        ROW(SetCurrentTimezoneRequest, "SuccessResponse", "PUT v2 /user/timezones/2/set_current", r.id = 2;);
        ROW(SetDefaultUserBankCardRequest, "SuccessResponse", "PUT v2 /user/bank_cards/8/set_default", r.id = 8;);
        ROW(StartupHotelRequest, "SuccessResponse", "POST v2 /user/b2b_hotel/startup {\"app_version\":\"5.1\",\"ip_addr\":\"\",\"is_hdmi\":true,\"model\":\"\",\"os_version\":\"\",\"stb_type\":\"\",\"tv_type\":\"\"}", r.body.appVersion = "5.1"; r.body.isHdmi = true;);
        ROW(StartupRequest, "SuccessResponse", "POST v2 /user/startup {\"app_version\":\"\",\"ip_addr\":\"10.0.0.2\",\"is_hdmi\":false,\"model\":\"STB-1\",\"os_version\":\"\",\"stb_type\":\"\",\"tv_type\":\"\"}", r.body.model = "STB-1"; r.body.ipAddr = "10.0.0.2";);
        ROW(StbStatusRequest, "SuccessResponse", "POST v2 /user/b2b_hotel/event/hotel-7 {\"current_channel_number\":0,\"current_volume_level\":0,\"params\":{\"room\":\"101\"},\"status\":\"on\",\"time\":1700000000,\"uuid\":\"\"}", r.value = "hotel-7"; r.body.time = 1700000000; r.body.status = "on"; r.body.params = QJsonObject{{"room", "101"}};);
        ROW(SwitchCurrentProfileRequest, "SuccessResponse", "POST v2 /user/profiles/switch {\"id\":12,\"pin_code\":\"1234\"}", r.body.id = 12; r.body.pinCode = "1234";);
        ROW(SystemInfoRequest, "SystemInfoResponse", "GET v2 /user/system_info", );
        ROW(TutorialDoneRequest, "SuccessResponse", "POST v2 /user/tutorial_done", );
        ROW(UnlinkDeviceByIdRequest, "SuccessResponse", "DELETE v2 /user/devices {\"uid\":\"dev-9\"}", r.body.uid = "dev-9";);
        ROW(UpdateDeviceRequest, "SuccessResponse", "PUT v2 /user/devices/9 {\"terminal_name\":\"Living room\"}", r.id = 9; r.body.terminalName = "Living room";);
        ROW(UpdateTokenRequest, "UpdateTokenResponse", "POST v3 /user/update_token", );
        ROW(ValidateEmailCodeRequest, "SuccessResponse", "POST v2 /user/email_code/validate {\"action\":\"register\",\"code\":\"55\",\"email\":\"a@b.example\"}", r.body.action = "register"; r.body.code = "55"; r.body.email = "a@b.example";);
        ROW(ValidatePinCodeRequest, "ValidatePinCodeResponse", "POST v2 /user/profiles/pin/validate {\"pin_code\":\"1234\"} [not deferrable]", r.body.pinCode = "1234";);
        ROW(ValidateSmsCodeRequest, "SuccessResponse", "POST v2 /user/sms_code/validate {\"action\":\"register\",\"code\":\"55\",\"phone\":\"+70001112233\"}", r.body.action = "register"; r.body.code = "55"; r.body.phone = "+70001112233";);
        ROW(WsTokenRequest, "WsTokenResponse", "POST v2 /user/ws_token", );
        std::apply([](auto... request) { (checkRowFor<decltype(request)>(), ...); }, PlatformCatalogue());
    }

    void requests()
    {
        QFETCH(RequestRawData, raw);
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        QCOMPARE(summary(raw), expected);

        // Decoded into the declared answer (a class of its own where it only renames
        // another), the embedded notification posted to the application.
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), TqNotificationEvent::EventType);
        notificationsPosted = 0;
        const QVariant decoded = raw.responseExtractor(AnswerWithNotification);
        QCOMPARE(QString::fromLatin1(decoded.metaType().name()), "tq::" + answer);
        QCoreApplication::sendPostedEvents(QCoreApplication::instance(), TqNotificationEvent::EventType);
        QCOMPARE(notificationsPosted, 1);
        if (raw.responseCborExtractor)
            QCOMPARE(QString::fromLatin1(raw.responseCborExtractor(QByteArray::fromHex("a0")).metaType().name()),
                     "tq::" + answer);
    }

    void imageRequests_data()
    {
        QTest::addColumn<RequestRawData>("raw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("new") << ImageRequest().rawDataCreator()() << "GET v2  [invalid] [TqImage]";

        ImageRequest sized(QStringLiteral("https://img.example/p 1.png"), QSize(320, 180), 4, true, false);
        sized.bestSize = true;
        sized.isCacheable = false;
        QTest::newRow("sized") << sized.rawDataCreator()()
                               << "GET v2 https://img.example/p 1.png?width=320&height=180&blur_radius=4&keep_ratio=true"
                                  "&best_size=true [not cacheable] [TqImage]";

        ImageRequest other(QStringLiteral("/logo.png"), QSize(), 0, false, true, MethodType::StaticDataImage);
        other.borderless = true;
        other.size = 2;
        other.isAbsoluteUrl = true;
        other.checkImageSize = false;
        other.setMethodSpecialization(MethodSpecializaton::Settings);
        QTest::newRow("static, absolute") << other.rawDataCreator()()
                                          << "GET v2 /logo.png?size=2&borderless=true&crop=true [absolute] "
                                             "[no size check] [StaticDataImage]";

        ImageRequest every(QStringLiteral("/p.png"), QSize(100, 50), 2, true, true);
        every.size = 3;
        every.borderless = true;
        every.bestSize = true;
        const auto creator = every.rawDataCreator();
        every = ImageRequest();
        QTest::newRow("every argument") << creator()
                                        << "GET v2 /p.png?width=100&height=50&size=3&blur_radius=2&keep_ratio=true"
                                           "&borderless=true&crop=true&best_size=true [TqImage]";
    }

    void imageRequests()
    {
        QFETCH(RequestRawData, raw);
        QFETCH(QString, expected);
        QCOMPARE(summary(raw), expected);
    }

    // The image answer carries the encoded bytes it was read from, for the response cache.
    void imageAnswer()
    {
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));

        ImageResponse answer;
        QVERIFY(!answer.isValid() && answer.imageIsNull() && answer.toData().isEmpty());
        QVERIFY(answer.fromData(png));
        QVERIFY(answer.isValid() && !answer.imageIsNull());
        QCOMPARE(answer.toQImage().size(), QSize(3, 2));
        QCOMPARE(answer.toData(), png);
        QVERIFY(!answer.fromData("not an image"));
        QCOMPARE(answer.toData(), png);
        QVERIFY(answer.toJson().isEmpty());

        answer.setQImage(QImage(5, 4, QImage::Format_RGB32)); // set by the host: its own bytes
        ImageResponse restored;
        QVERIFY(restored.fromData(answer.toData()));
        QCOMPARE(restored.image().size(), QSize(5, 4));
    }

    // Each side percent-encoded on its own: letters, digits and "-._~" stay, every other
    // UTF-8 byte becomes %XX; lists are joined with "," first.
    void queryItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unreserved") << queryItem(QStringLiteral("AZaz09-._~"), QStringLiteral("AZaz09-._~"))
                                    << "AZaz09-._~=AZaz09-._~";
        for (char c = ' '; c < 0x7f; ++c) { // every other printable character, alone in plain text
            if (!QChar(c).isLetterOrNumber() && !QByteArrayView("-._~").contains(c))
                QTest::addRow("'%c'", c) << queryItem(QStringLiteral("k"), QStringLiteral("a%1b").arg(QChar(c)))
                                         << "k=a%" + QString::number(c, 16).toUpper() + "b";
        }
        QTest::newRow("key") << queryItem(QStringLiteral("a b=c"), QStringLiteral("d")) << "a%20b%3Dc=d";
        QTest::newRow("UTF-8 letter") << queryItem(QStringLiteral("q"), QString::fromUtf8("\xc3\xa9")) << "q=%C3%A9";
        QTest::newRow("UTF-8, 3 and 4 bytes") << queryItem(QStringLiteral("q"), QString::fromUtf8("\xe2\x82\xac\xf0\x9f\x98\x80"))
                                              << "q=%E2%82%AC%F0%9F%98%80";
        QTest::newRow("empty") << queryItem(QString(), QString()) << "=";
        QTest::newRow("int") << queryItem(QStringLiteral("n"), -5) << "n=-5";
        QTest::newRow("64-bit") << queryItem(QStringLiteral("n"), qint64(-9007199254740993)) << "n=-9007199254740993";
        QTest::newRow("unsigned 64-bit") << queryItem(QStringLiteral("n"), quint64(18446744073709551615ULL))
                                         << "n=18446744073709551615";
        QTest::newRow("true") << queryItem(QStringLiteral("b"), true) << "b=true";
        QTest::newRow("false") << queryItem(QStringLiteral("b"), false) << "b=false";
        QTest::newRow("ints") << queryItem(QStringLiteral("ids"), QList<int>{3, -4}) << "ids=3%2C-4";
        QTest::newRow("64-bit ids") << queryItem(QStringLiteral("ids"), QList<qint64>{5000000000, 7})
                                    << "ids=5000000000%2C7";
        QTest::newRow("texts") << queryItem(QStringLiteral("t"), QStringList{"a b", "c,d"}) << "t=a%20b%2Cc%2Cd";
        QTest::newRow("shared keys") << QStringList{offsetQueryKey, limitQueryKey, sortByQueryKey, sortDirQueryKey}.join(' ')
                                     << "offset limit sort_by sort_dir";
    }

    void queryItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, expected);
        QCOMPARE(item, expected);
    }

private:
    template<class R>
    static void checkRowFor()
    {
        QVERIFY2(rowsGiven.contains(nameOf<R>()), qPrintable(nameOf<R>() + " has no row"));
    }

    int notificationsPosted = 0;
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
