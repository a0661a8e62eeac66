// The whole platform catalogue, one row per request: what the creator records (method, API
// version, path after substitution, query items in order, body, specialization and
// switches), then that the fake platform's answer to it decodes into the declared answer.
// The rows include the formatting edges (%2C, years from 1896, offset 0, the collection
// kind without an id, blanks and ampersands).

#include "api/catalogue.h"
#include "fakehttpserver.h"
#include "fakeplatform.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace tq;

namespace {

struct Case
{
    std::function<RequestRawData()> build;
    QMetaType answer;
    QJsonObject (*answerJson)(const QVariant&) = nullptr;
};

// "METHOD vN path?query body [specialization] [not deferrable] [+cbor] [type]"
QString summary(const RequestRawData& raw)
{
    QString text = raw.httpMethod + QStringLiteral(" v%1 ").arg(raw.apiVersion) +
                   (raw.pathCreator ? raw.pathCreator(raw.path) : raw.path);
    if (!raw.queryItems.isEmpty())
        text += QLatin1Char('?') + raw.queryItems.join(QLatin1Char('&'));
    if (!raw.body.isEmpty())
        text += QLatin1Char(' ') + QString::fromUtf8(raw.body);
    if (raw.methodSpecialization != MethodSpecializaton::Unknown)
        text += QStringLiteral(" [%1]").arg(QLatin1String(QMetaEnum::fromType<MethodSpecializaton>().valueToKey(int(raw.methodSpecialization))));
    if (!raw.isDeferrable)
        text += QStringLiteral(" [not deferrable]");
    if (raw.responseCborExtractor)
        text += QStringLiteral(" [+cbor]");
    if (raw.methodType != MethodType::TqApi)
        text += QStringLiteral(" [%1]").arg(QLatin1String(QMetaEnum::fromType<MethodType>().valueToKey(int(raw.methodType))));
    return text;
}

template<class R>
QString nameOf()
{
    const QString name = QString::fromLatin1(QMetaType::fromType<R>().name());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

QSet<QString> rowsGiven;

template<class R, class Setup>
void row(const char* expected, Setup setup)
{
    rowsGiven.insert(nameOf<R>());
    using Answer = typename R::Answer;
    Case c{[setup] {
               R request;
               setup(request);
               const std::function<RequestRawData()> creator = request.rawDataCreator();
               request = R(); // the creator holds its own copy
               return creator();
           },
           QMetaType::fromType<Answer>(), [](const QVariant& v) { return v.value<Answer>().toJson(); }};
    QTest::addRow("%s %d", qPrintable(nameOf<R>()), int(rowsGiven.size())) << c << QString::fromUtf8(expected);
}

#define ROW(R, expected, ...) row<R>(expected, [](R& r) { (void)r; __VA_ARGS__ })

} // namespace

Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(ImageRequest)

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        session = platform.liveSessions().value(0);
        QVERIFY(!session.isEmpty());
    }

    void requests_data()
    {
        QTest::addColumn<Case>("request");
        QTest::addColumn<QString>("expected");
        rowsGiven.clear();
        // rows:begin
        ROW(AcceptOfferRequest, "POST v2 /user/offer_accepted", );
        ROW(AccountRefillRequest, "POST v2 /user/account_refill {\"amount\":500,\"is_should_link_card\":false,\"payment_method_id\":3}", r.body.amount = 500; r.body.paymentMethodId = 3;);
        ROW(AccountSettingsRequest, "GET v2 /user/account_settings", );
        ROW(AccountSummaryRequest, "GET v2 /user/account_summary [Settings]", r.setMethodSpecialization(MethodSpecializaton::Settings););
        ROW(ActivateOttTvCodeRequest, "POST v2 /user/ott_tv_code {\"is_confirmed\":true,\"ott_tv_code\":\"OTT-1\"}", r.body.ottTvCode = "OTT-1"; r.body.isConfirmed = true;);
        ROW(ActivatePromoCodeRequest, "POST v2 /user/promo_code {\"promo_code\":\"SPRING\"}", r.body.promoCode = "SPRING";);
        ROW(AddUserBankCardRequest, "POST v2 /user/bank_cards", );
        ROW(AdvertisingSettingsRequest, "GET v2 /user/advertising_settings", );
        ROW(AssistantConnectionRequest, "GET v2 /user/assistants", );
        ROW(BuyContentRequest, "POST v3 /user/buy {\"bank_card_id\":-1,\"bonus_program_id\":-1,\"content_id\":77,\"is_confirmed\":true,\"is_should_link_card\":false,\"payment_method_id\":-1,\"pin_code\":\"1234\",\"price_id\":9,\"purchase_option_id\":-1,\"service_id\":-1}", r.body.contentId = 77; r.body.isConfirmed = true; r.body.pinCode = "1234"; r.body.priceId = 9;);
        ROW(CancelSubscriptionRequest, "POST v2 /user/subscribe_cancel {\"is_confirmed\":false,\"service_id\":12}", r.body.serviceId = 12;);
        ROW(CanvasRequest, "GET v2 /user/canvas/channel?width=1920", r.value = "channel"; r.width = 1920; r.height = 0;);
        ROW(CertificateActivateRequest, "POST v2 /user/certificates/31/activate", r.id = 31;);
        ROW(ChangeEmailRequest, "POST v2 /user/email {\"confirmation_code\":\"77\",\"email\":\"a@b.example\",\"password\":\"\"}", r.body.email = "a@b.example"; r.body.confirmationCode = "77";);
        ROW(ChangeLoginBonusProgramRequest, "POST v3 /user/bonuses/4/change_login {\"login\":\"+70001112233\",\"login_type\":\"phone\"}", r.id = 4; r.body.login = "+70001112233"; r.body.loginType = BonusProgramLoginType::Phone;);
        ROW(ChangePasswordRequest, "POST v2 /user/password/change {\"new_password\":\"new\",\"password\":\"old\"}", r.body.password = "old"; r.body.newPassword = "new";);
        ROW(ChangePhoneRequest, "POST v2 /user/phone {\"confirmation_code\":\"\",\"password\":\"\",\"phone\":\"+70001112233\"}", r.body.phone = "+70001112233";);
        ROW(ChangePinRequest, "POST v2 /user/profiles/pin {\"new_pin\":\"1234\",\"old_pin\":\"0000\"}", r.body.oldPin = "0000"; r.body.newPin = "1234";);
        ROW(ChangePreviewRequest, "POST v2 /user/channel_preview {\"channel_id\":5,\"viewed_time\":120}", r.body.channelId = 5; r.body.viewedTime = 120;);
        ROW(CheckLoginRequest, "GET v2 /user/check_login?login=john%20doe%26co&action=register", r.login = "john doe&co"; r.action = "register";);
        ROW(ConfirmBonusProgramRequest, "POST v3 /user/bonuses/4/confirm {\"action\":\"register\",\"confirmation_code\":\"55\",\"request_id\":\"q1\"}", r.id = 4; r.body.requestId = "q1"; r.body.confirmationCode = "55"; r.body.action = BonusProgramAction::Register;);
        ROW(ConfirmTicketByIDRequest, "POST v2 /user/tickets/T-100/confirm {}", r.value = "T-100";);
        ROW(ContentAvailabilityRequest, "GET v2 /user/content_availability?content_type=media_item&content_id=77&asset_id=5501", r.contentType = "media_item"; r.contentId = 77; r.mediaItem = 0; r.assetId = 5501;);
        ROW(CreateContentViewRequest, "POST v2 /user/content_view {\"viewed_time\":30}", r.body.viewedTime = 30;);
        ROW(CreateFavoriteRequest, "POST v2 /user/favorites {\"content_id\":3,\"content_type\":\"channel\"}", r.body.contentId = 3; r.body.contentType = ContentItemType::Channel;);
        ROW(CreateMediaPositionRequest, "POST v2 /user/media_positions {\"action\":\"pause\",\"content_id\":77,\"content_type\":\"media_item\",\"timepoint\":600}", r.body.action = MediaPositionAction::Pause; r.body.contentId = 77; r.body.contentType = ContentItemType::MediaItem; r.body.timepoint = 600;);
        ROW(CreateProfileRequest, "POST v2 /user/profiles {\"default_age_limit_id\":-1,\"icon\":{\"id\":7},\"id\":-1,\"max_age_limit_id\":-1,\"name\":\"Kids\",\"type\":\"child\"}", r.body.name = "Kids"; r.body.type = ProfileType::Child; r.body.icon.id = 7; r.body.purchaseLimits.isPinRequired = true;);
        ROW(CreateReminderRequest, "POST v2 /user/reminders {\"content_id\":900,\"content_type\":\"epg\"}", r.body.contentId = 900; r.body.contentType = "epg";);
        ROW(DeleteBankCardByIDRequest, "DELETE v2 /user/bank_cards/8", r.id = 8;);
        ROW(DeleteBonusProgramByIdRequest, "DELETE v3 /user/bonuses/4", r.id = 4;);
        ROW(DeleteEmailRequest, "DELETE v2 /user/email {\"password\":\"secret\"}", r.body.password = "secret";);
        ROW(DeleteEpgRecordingRequest, "DELETE v2 /user/epg/900/recording", r.id = 900;);
        ROW(DeleteFavoriteByIdRequest, "DELETE v2 /user/favorites/channel/3", r.value = "channel"; r.id = 3;);
        ROW(DeleteMediaPositionsFromProfileRequest, "DELETE v2 /user/media_positions", );
        ROW(DeleteMediaRatingByIdRequest, "DELETE v2 /user/media_ratings/media_item/77", r.value = "media_item"; r.id = 77;);
        ROW(DeletePhoneRequest, "DELETE v2 /user/phone {\"new_password\":\"\",\"password\":\"secret\"}", r.body.password = "secret";);
        ROW(DeleteProfileByIDRequest, "DELETE v2 /user/profiles/12 {\"pin_code\":\"1234\"}", r.id = 12; r.body.pinCode = "1234";);
        ROW(DeleteReminderByIDRequest, "DELETE v2 /user/reminders/epg/900", r.value = "epg"; r.id = 900;);
        ROW(DeleteSessionRequest, "DELETE v3 /user/sessions", );
        ROW(DevicesRequest, "GET v2 /user/devices", );
        ROW(DisconnectAssistantRequest, "DELETE v2 /user/assistants", );
        ROW(DiscoveryRequest, "GET v2 http://balancer.example/discovery [TqDiscover]", r.value = "http://balancer.example/discovery";);
        ROW(EpgRecordingRequest, "POST v2 /user/epg/900/recording", r.id = 900;);
        ROW(GetAgeLimitsRequest, "GET v2 /user/age_levels", );
        ROW(GetB2BMediaViewByAliasRequest, "GET v2 /user/b2b_hotel/media_views/alias/lobby", r.value = "lobby";);
        ROW(GetBonusProgramByIdRequest, "GET v3 /user/bonuses/4", r.id = 4;);
        ROW(GetBonusProgramsRequest, "GET v3 /user/bonuses", );
        ROW(GetCertificatesRequest, "GET v2 /user/certificates [Content]", r.setMethodSpecialization(MethodSpecializaton::Settings););
        ROW(GetChannelByIdRequest, "GET v3 /user/channels/5?epg_limit=3", r.id = 5; r.epgLimit = 3; r.withEpg = false;);
        ROW(GetChannelByTqIdRequest, "GET v3 /user/channels/tq/42?with_epg=true", r.id = 42; r.epgLimit = 0; r.withEpg = true;);
        ROW(GetChannelPreviewRequest, "GET v2 /user/channel_preview/5", r.id = 5;);
        ROW(GetChannelsRequest, "GET v3 /user/channels?themes=5%2C7&epg_limit=2&with_epg=true [+cbor]", r.themes = {5, 7}; r.epgLimit = 2; r.withEpg = true;);
        ROW(GetColdStartContentRequest, "GET v2 /user/recommendations/cold_start?genre_aliases=drama%2Ccomedy", r.genreAliases = {"drama", "comedy"};);
        ROW(GetColdStartGenersRequest, "GET v2 /user/recommendations/cold_start/genres", );
        ROW(GetCollectionItemsRequest, "GET v2 /user/collections/12/items?limit=20&item_type=media_item&filter_theme=genres&genre=drama%2Csci%20fi&sorting=popular&custom_filters=4k%2Cnew", r.id = 12; r.limit = 20; r.itemType = "media_item"; r.filterTheme = "genres"; r.filters.insert("genre", {"drama", "sci fi"}); r.sorting = "popular"; r.customFilters = {"4k", "new"};);
        ROW(GetCollectionRequest, "GET v2 /user/collections/12", r.id = 12;);
        ROW(GetCollectionsRequest, "GET v2 /user/collections?limit=20", r.offset = 0; r.limit = 20;);
        ROW(GetContentDrmTokenRequest, "GET v2 /user/content_drm_token?content_type=channel&content_id=5&drm_provider=widevine", r.contentType = "channel"; r.contentId = 5; r.drmProvider = "widevine";);
        ROW(GetCurrentLocationRequest, "GET v2 /user/locations/current", );
        ROW(GetCurrentProfileRequest, "GET v2 /user/profiles/current", );
        ROW(GetDrmSettingsRequest, "GET v3 /user/drm_settings", );
        ROW(GetEpgByIdRequest, "GET v2 /user/epg/900", r.id = 900;);
        ROW(GetEpgByOriginalIdRequest, "GET v2 /user/epg/original/77001?tq_channel_id=1005&start_time=1700000000", r.id = 77001; r.tqChannelId = 1005; r.startTime = 1700000000;);
        ROW(GetEpgRequest, "GET v2 /user/epg?channels_ids=1%2C2&start_time=1700000000&end_time=1700086400&limit=3", r.channelsIds = {1, 2}; r.startTime = 1700000000; r.endTime = 1700086400; r.limit = 3;);
        ROW(GetEpisodesRequest, "GET v3 /user/episodes?season_id=0&offset=0&limit=10&with_media_position=false", r.seasonId = 0; r.limit = 10; r.withMediaPosition = false;);
        ROW(GetFaqByIdRequest, "GET v2 /user/faq/2", r.id = 2;);
        ROW(GetFaqListRequest, "GET v2 /user/faq?with_answers=true", r.withAnswers = true;);
        ROW(GetFeatureToggleConfiguration, "GET v2 /user/feature_toggles/new_guide", r.value = "new_guide";);
        ROW(GetFeatureToggles, "GET v2 /user/feature_toggles", );
        ROW(GetGroupSearchRequest, "GET v3 /user/group_search?query=star%20wars&limit=5", r.searchQuery = "star wars"; r.limit = 5;);
        ROW(GetHelloMessageRequest, "GET v2 /user/b2b_hotel/hello_message", );
        ROW(GetKaraokeItemByIdRequest, "GET v3 /user/karaoke_items/66", r.id = 66;);
        ROW(GetKaraokeItemsRequest, "GET v3 /user/karaoke_items?offset=40&limit=20&sorting=new", r.offset = 40; r.limit = 20; r.sorting = "new";);
        ROW(GetLanguagesRequest, "GET v2 /user/languages", );
        ROW(GetLocationsRequest, "GET v2 /user/locations?timezone_id=3", r.id = 3;);
        ROW(GetMediaItemByIdRequest, "GET v3 /user/media_items/77", r.id = 77;);
        ROW(GetMediaItemPersonsRequest, "GET v3 /user/media_items/77/persons?limit=10", r.id = 77; r.limit = 10;);
        ROW(GetMediaItemsRequest, "GET v3 /user/media_items?limit=20&year_le=1896&types=film%2Cseries&genres=3%2C4&with_purchase_options=true&filter_viewed=false&person_id=8&country=fr", r.limit = 20; r.yearGe = 1895; r.yearLe = 1896; r.types = {"film", "series"}; r.genres = {3, 4}; r.withPurchaseOptions = true; r.filterViewed = false; r.personId = 8; r.filters.insert("country", {"fr"}););
        ROW(GetMediaPositionsDictionariesRequest, "GET v2 /user/media_positions/dictionaries", );
        ROW(GetMediaPositionsRequest, "GET v2 /user/media_positions?limit=10&type=media_item&device_ids=1%2C2", r.limit = 10; r.type = "media_item"; r.deviceIds = {1, 2};);
        ROW(GetMediaViewAliasRequest, "GET v4 /user/media_views/alias/main?media_item_id=77&limit=6", r.value = "main"; r.mediaItemId = 77; r.limit = 6;);
        ROW(GetMediaViewRenderedRequest, "GET v4 /user/media_views/4?limit=6&offset=6", r.id = 4; r.offset = 6; r.limit = 6;);
        ROW(GetMenuRequest, "GET v2 /user/menu", r.id = 0;);
        ROW(GetMessageByIdRequest, "GET v2 /user/messages/m-1", r.value = "m-1";);
        ROW(GetMessagesRequest, "GET v2 /user/messages?types=message%2Cpoll&limit=10", r.types = {MessageType::Message, MessageType::Poll}; r.limit = 10;);
        ROW(GetOfferRequest, "GET v2 /user/offer", );
        ROW(GetPaymentMethodsByTypesRequest, "GET v4 /user/payment_methods_by_types?payment_type=purchase%2Caccount_refill", r.paymentTypes = {"purchase", "account_refill"};);
        ROW(GetPersonContentItemsRequest, "GET v2 /user/persons/8/items?role_id=2&limit=10", r.id = 8; r.roleId = 2; r.limit = 10;);
        ROW(GetPersonRequest, "GET v2 /user/persons/8", r.id = 8;);
        ROW(GetPersonRolesRequest, "GET v2 /user/persons/8/roles", r.id = 8;);
        ROW(GetPlaylistRequest, "GET v2 /user/playlist", );
        ROW(GetProfileByIdRequest, "GET v2 /user/profiles/12", r.id = 12;);
        ROW(GetProfileChannelsRequest, "GET v2 /user/profiles/12/channels", r.id = 12;);
        ROW(GetPurchasesHistoryByIdRequest, "GET v2 /user/purchases_history/T-100", r.value = "T-100";);
        ROW(GetPurchasesHistoryRequest, "GET v2 /user/purchases_history?limit=20&offset=40", r.offset = 40; r.limit = 20;);
        ROW(GetRadioChannelsRequest, "GET v2 /user/radio_channels", );
        ROW(GetReminderDictionariesRequest, "GET v2 /user/reminders/dictionaries", );
        ROW(GetRemindersRequest, "GET v2 /user/reminders?content_type=epg&offset=10", r.value = "epg"; r.offset = 10;);
        ROW(GetScreensaversRequest, "GET v2 /user/screensavers", );
        ROW(GetSearchRequest, "GET v3 /user/search?query=a%26b%20c&content_types=media_item%2Cchannel&is_child=false", r.searchQuery = "a&b c"; r.contentTypes = {"media_item", "channel"}; r.isChild = false;);
        ROW(GetSeasonsRequest, "GET v3 /user/seasons?series_id=70&sort_by=number&sort_dir=asc", r.seriesId = 70; r.sortBy = "number"; r.sortDir = "asc";);
        ROW(GetServiceItemsRequest, "GET v2 /user/services/14/items?limit=20&item_type=channel", r.id = 14; r.limit = 20; r.itemType = "channel";);
        ROW(GetServiceTabsListRequest, "GET v2 /user/services/tabs", );
        ROW(GetShopTvSettingsRequest, "GET v2 /user/getshoptv_settings", );
        ROW(GetSplashScreenRequest, "GET v2 /user/splash_screen", );
        ROW(GetTimezonesRequest, "GET v2 /user/timezones", );
        ROW(GetToggleButtonTargetRequest, "GET v2 /user/toggle_button_target", );
        ROW(GetTvDictionariesRequest, "GET v2 /user/tv_dictionaries [Dictionary]", r.setMethodSpecialization(MethodSpecializaton::Settings););
        ROW(GetUserBankCardsRequest, "GET v2 /user/bank_cards?limit=5&offset=5", r.limit = 5; r.offset = 5;);
        ROW(HelloMessageShownRequest, "POST v2 /user/b2b_hotel/hello_message_showed", );
        ROW(LifeCheckRequest, "GET v2 /ulp/lifecheck", );
        ROW(ListMyCollectionRequest, "GET v2 /user/my_collection?type=films&limit=20&filter_theme=all", r.value = "films"; r.limit = 20; r.filterTheme = "all";);
        ROW(MediaItemsCertificateActivateRequest, "POST v2 /user/media_items/77/certificate", r.id = 77;);
        ROW(MergeAccountsRequest, "POST v2 /user/merge_accounts {\"login\":\"john@example.com\",\"login_type\":\"email\",\"password\":\"pw\"}", r.body.login = "john@example.com"; r.body.loginType = LoginType::Email; r.body.password = "pw";);
        ROW(NewAssistantCodeRequest, "POST v2 /user/assistants/codes", );
        ROW(NewAuthSessionRequest, "POST v3 /user/sessions {\"device\":{\"model\":\"STB-1\",\"real_uid\":\"\",\"sn\":\"\",\"terminal_name\":\"\",\"vendor\":\"\"},\"login\":\"john@example.com\",\"login_type\":\"email\",\"password\":\"pw\"}", r.body.login = "john@example.com"; r.body.loginType = LoginType::Email; r.body.password = "pw"; r.body.device.model = "STB-1";);
        ROW(NewSessionRequest, "POST v3 /ulp/sessions {\"device\":{\"app_version\":\"5.1\",\"platform\":\"stb\",\"type\":\"iptv\"},\"fingerprint\":\"fp\"} [NewSession]", r.setMethodSpecialization(MethodSpecializaton::Settings); r.body.device.appVersion = "5.1"; r.body.device.platform = "stb"; r.body.device.type = "iptv"; r.body.fingerprint = "fp";);
        ROW(PasswordValidateRequest, "POST v2 /user/password/validate {\"password\":\"pa\\\"ss\"}", r.value = "pa\"ss";);
        ROW(PatchProfileRequest, "PATCH v2 /user/profiles/12 {\"audio_track_lang\":\"{\\\"channels_layout\\\":0,\\\"codec\\\":0,\\\"description\\\":\\\"\\\",\\\"language\\\":\\\"eng\\\"}\",\"default_age_limit_id\":-1,\"filtered_channels\":{\"hidden\":[],\"pin_required\":[]},\"icon\":{\"id\":3},\"id\":12,\"is_erotic_allowed\":false,\"is_getshoptv_enabled\":false,\"is_notifications_allowed\":false,\"max_age_limit_id\":-1,\"name\":\"Dad\",\"purchase_limits\":{\"is_pin_required\":false},\"subtitle_lang\":\"{\\\"channels_layout\\\":0,\\\"codec\\\":0,\\\"description\\\":\\\"\\\",\\\"language\\\":\\\"\\\"}\",\"type\":\"master\",\"view_limits\":{\"allowed_from\":\"\",\"allowed_to\":\"\",\"cur_view_time\":0,\"max_view_time\":7200}}", ProfileBrief p; p.id = 12; p.name = "Dad"; p.type = ProfileType::Master; p.icon.id = 3; p.icon.image = "i.png"; p.viewLimits.maxViewTime = 7200; p.audioTrackLang.language = "eng"; r.id = 12; r.body = PatchProfileParams(p););
        ROW(PostAssistCommandReportRequest, "POST v2 /user/assistants/commands/19/reports", r.id = 19;);
        ROW(PostColdStartContentRequest, "POST v2 /user/recommendations/cold_start {\"content_ids\":[77,78],\"genre_aliases\":[\"drama\"]}", r.body.contentIds = {77, 78}; r.body.genreAliases = {"drama"};);
        ROW(PostMediaItemByIdForExchangeRequest, "POST v2 /user/media_items/77/exchange {\"content_id\":78}", r.id = 77; r.contentId = 78;);
        ROW(PostMediaRatingsRequest, "POST v2 /user/media_ratings {\"content_id\":77,\"rating\":5}", r.body.contentId = 77; r.body.rating = 5;);
        ROW(PostUserMessageReportRequest, "POST v2 /user/messages/3/reports {\"poll_result\":[1,3],\"status\":[\"shown\"]}", r.id = 3; r.body.pollResult = QJsonArray{1, 3}; r.body.status = QJsonArray{"shown"};);
        ROW(ProfileIconsRequest, "GET v2 /user/profiles/icons?profile_type=child", r.profileType = "child";);
        ROW(ProfilesRequest, "GET v2 /user/profiles", );
        ROW(PurchaseAvailabilityRequest, "POST v2 /user/purchase_availability {\"bank_card_id\":-1,\"bonus_program_id\":-1,\"content_id\":77,\"is_confirmed\":false,\"is_should_link_card\":false,\"payment_method_id\":-1,\"pin_code\":\"\",\"price_id\":-1,\"purchase_option_id\":-1,\"service_id\":-1}", r.body.contentId = 77;);
        ROW(RegisterBonusProgramRequest, "POST v3 /user/bonuses/4/register {\"login\":\"a@b.example\",\"login_type\":\"email\"}", r.id = 4; r.body.login = "a@b.example"; r.body.loginType = BonusProgramLoginType::Email;);
        ROW(RegisterCredentialsRequest, "POST v2 /user/accounts {\"login\":\"+70001112233\",\"login_type\":\"phone\",\"password\":\"pw\"}", r.body.login = "+70001112233"; r.body.loginType = LoginType::Phone; r.body.password = "pw";);
        ROW(RequestFilterThemes, "GET v2 /user/media_items/12/filter_themes", r.contentType = "media_items"; r.id = 12;);
        ROW(RequestFilters, "GET v2 /user/collections/filters?theme=genres", r.contentType = "collections"; r.id = -1; r.theme = "genres";);
        ROW(RequestSorts, "GET v2 /user/collections/12/sorts", r.contentType = "collections"; r.id = 12;);
        ROW(ResetPasswordRequest, "POST v2 /user/password/reset {\"confirmation_code\":\"55\",\"email\":\"a@b.example\",\"new_password\":\"pw\"}", r.body.email = "a@b.example"; r.body.confirmationCode = "55"; r.body.newPassword = "pw";);
        ROW(ResetPinRequest, "DELETE v2 /user/profiles/pin {\"password\":\"pw\"}", r.body.password = "pw";);
        ROW(SendEmailCodeRequest, "POST v2 /user/send_email_code {\"action\":\"reset_password\",\"email\":\"a@b.example\"}", r.body.action = "reset_password"; r.body.email = "a@b.example";);
        ROW(SendSmsCodeRequest, "POST v2 /user/send_sms_code {\"action\":\"register\",\"phone\":\"+70001112233\"}", r.body.action = "register"; r.body.phone = "+70001112233";);
        ROW(ServiceByAliasRequest, "GET v3 /user/services/alias/premium", r.value = "premium";);
        ROW(ServiceByIdRequest, "GET v3 /user/services/14", r.id = 14;);
        ROW(SetCurrentLocationRequest, "PUT v2 /user/locations/6/set_current", r.id = 6;);
        ROW(SetCurrentTimezoneRequest, "PUT v2 /user/timezones/2/set_current", r.id = 2;);
        ROW(SetDefaultUserBankCardRequest, "PUT v2 /user/bank_cards/8/set_default", r.id = 8;);
        ROW(StartupHotelRequest, "POST v2 /user/b2b_hotel/startup {\"app_version\":\"5.1\",\"ip_addr\":\"\",\"is_hdmi\":true,\"model\":\"\",\"os_version\":\"\",\"stb_type\":\"\",\"tv_type\":\"\"}", r.body.appVersion = "5.1"; r.body.isHdmi = true;);
        ROW(StartupRequest, "POST v2 /user/startup {\"app_version\":\"\",\"ip_addr\":\"10.0.0.2\",\"is_hdmi\":false,\"model\":\"STB-1\",\"os_version\":\"\",\"stb_type\":\"\",\"tv_type\":\"\"}", r.body.model = "STB-1"; r.body.ipAddr = "10.0.0.2";);
        ROW(StbStatusRequest, "POST v2 /user/b2b_hotel/event/hotel-7 {\"current_channel_number\":0,\"current_volume_level\":0,\"params\":{\"room\":\"101\"},\"status\":\"on\",\"time\":1700000000,\"uuid\":\"\"}", r.value = "hotel-7"; r.body.time = 1700000000; r.body.status = "on"; r.body.params = QJsonObject{{"room", "101"}};);
        ROW(SwitchCurrentProfileRequest, "POST v2 /user/profiles/switch {\"id\":12,\"pin_code\":\"1234\"}", r.body.id = 12; r.body.pinCode = "1234";);
        ROW(SystemInfoRequest, "GET v2 /user/system_info", );
        ROW(TutorialDoneRequest, "POST v2 /user/tutorial_done", );
        ROW(UnlinkDeviceByIdRequest, "DELETE v2 /user/devices {\"uid\":\"dev-9\"}", r.body.uid = "dev-9";);
        ROW(UpdateDeviceRequest, "PUT v2 /user/devices/9 {\"terminal_name\":\"Living room\"}", r.id = 9; r.body.terminalName = "Living room";);
        ROW(UpdateTokenRequest, "POST v3 /user/update_token", );
        ROW(ValidateEmailCodeRequest, "POST v2 /user/email_code/validate {\"action\":\"register\",\"code\":\"55\",\"email\":\"a@b.example\"}", r.body.action = "register"; r.body.code = "55"; r.body.email = "a@b.example";);
        ROW(ValidatePinCodeRequest, "POST v2 /user/profiles/pin/validate {\"pin_code\":\"1234\"} [not deferrable]", r.body.pinCode = "1234";);
        ROW(ValidateSmsCodeRequest, "POST v2 /user/sms_code/validate {\"action\":\"register\",\"code\":\"55\",\"phone\":\"+70001112233\"}", r.body.action = "register"; r.body.code = "55"; r.body.phone = "+70001112233";);
        ROW(WsTokenRequest, "POST v2 /user/ws_token", );
        // rows:end
        std::apply([](auto... request) { (checkRowFor<decltype(request)>(), ...); }, PlatformCatalogue());
    }

    void requests()
    {
        QFETCH(Case, request);
        QFETCH(QString, expected);
        const RequestRawData raw = request.build();
        QCOMPARE(summary(raw), expected);
        if (!platform.liveSessions().contains(session)) // replaced by the token update row
            session = platform.liveSessions().value(0);
        if (raw.methodType != MethodType::TqApi)
            return; // discovery is the address itself

        QUrl url(server.baseUrl() + QStringLiteral("/api/v%1").arg(raw.apiVersion) +
                 (raw.pathCreator ? raw.pathCreator(raw.path) : raw.path));
        url.setQuery(raw.queryItems.join(QLatin1Char('&')), QUrl::StrictMode);
        QNetworkRequest http(url);
        http.setRawHeader("session_id", session.toLatin1());
        http.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
        std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(http, raw.httpMethod.toLatin1(), raw.body));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        const QByteArray body = reply->readAll();
        QVERIFY2(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200, body.constData());
        const QVariant answer = raw.responseExtractor(body);
        QCOMPARE(answer.metaType(), request.answer);
        // Every key the platform sent is one the answer type declares.
        const QJsonObject decoded = request.answerJson(answer);
        const QJsonObject served = QJsonDocument::fromJson(body).object();
        for (auto it = served.begin(); it != served.end(); ++it)
            QVERIFY2(decoded.contains(it.key()), qPrintable(it.key() + " is not in the decoded answer"));
    }

    void imageRequests_data()
    {
        QTest::addColumn<ImageRequest>("request");
        QTest::addColumn<QString>("expected");
        ImageRequest sized(QStringLiteral("https://img.example/p 1.png"), QSize(320, 0), 4, true, false);
        sized.bestSize = true;
        sized.isCacheable = false;
        QTest::newRow("sized") << sized << "GET v2 https://img.example/p 1.png?width=320&blur_radius=4&keep_ratio=true&best_size=true [TqImage]";
        ImageRequest other(QStringLiteral("/logo.png"), QSize(), 0, false, true, MethodType::StaticDataImage);
        other.borderless = true;
        other.size = 2;
        QTest::newRow("static") << other << "GET v2 /logo.png?size=2&borderless=true&crop=true [StaticDataImage]";
        QTest::newRow("empty url") << ImageRequest() << "GET v2  [TqImage]";
    }

    void imageRequests()
    {
        QFETCH(ImageRequest, request);
        QFETCH(QString, expected);
        const RequestRawData raw = request.rawDataCreator()();
        QCOMPARE(summary(raw), expected);
        QCOMPARE(raw.isValid, !request.url.isEmpty());
        QCOMPARE(raw.isCacheable, request.isCacheable);
        QVERIFY(!raw.responseExtractor); // the worker decodes images
    }

private:
    template<class R>
    static void checkRowFor()
    {
        QVERIFY2(rowsGiven.contains(nameOf<R>()), qPrintable(nameOf<R>() + " has no row"));
    }

    fake::FakeHttpServer server;
    fake::FakePlatform platform{server};
    QString session = [this] {
        platform.addSession(QStringLiteral("catalogue-test"));
        return QStringLiteral("catalogue-test");
    }();
    QNetworkAccessManager network;
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
