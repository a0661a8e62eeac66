// Every declared object against its realistic sample (testing/objectsamples/<family>.json):
// decoding keeps every key the sample has, what is written reads back the same, and the
// CBOR form of the sample decodes to the same object. Then the objects' own rules.

#include "model/account.h"
#include "model/b2b.h"
#include "model/cborreader_p.h"
#include "model/channels.h"
#include "model/decode.h"
#include "model/devices.h"
#include "model/epg.h"
#include "model/fieldcodec_p.h"
#include "model/items.h"
#include "model/media.h"
#include "model/menus.h"
#include "model/messages.h"
#include "model/offers.h"
#include "model/payments.h"
#include "model/playback.h"
#include "model/profiles.h"
#include "model/records.h"
#include "model/screens.h"
#include "model/services.h"
#include "objectsamples.h"

#include <QCborMap>
#include <QCborValue>
#include <QRegularExpression>
#include <QJsonArray>
#include <QSet>
#include <QTest>

using namespace tq;

using Facts = std::pair<bool, int> (*)(const QJsonObject&);
Q_DECLARE_METATYPE(Facts)
using CborDecode = QJsonObject (*)(const QByteArray&, int*);
Q_DECLARE_METATYPE(CborDecode)

namespace {

struct ObjectCodec
{
    QJsonObject (*decoded)(const QJsonObject&);
    QJsonObject (*decodedFromCbor)(const QJsonObject&); // null: the object has no CBOR form
    const char* answerName;                              // null: the object is no answer
    const char* keys; // what toJson writes, blank-separated; null: the object's keys are not fixed
};

// An answer's meta-type name: answers travel in QVariants across threads by that name.
template<class T>
const char* answerName()
{
    if constexpr (std::is_base_of_v<AbstractResponse, T>)
        return QMetaType::fromType<T>().name();
    else
        return nullptr;
}

template<class T>
QJsonObject decoded(const QJsonObject& json)
{
    T object;
    object.fromJson(json);
    return object.toJson();
}

template<class T>
QJsonObject decodedFromCbor(const QJsonObject& json)
{
    T object;
    CborReader reader(QCborValue(cborFormOf<T>(json)).toCbor());
    object.fromCbor(reader);
    return object.toJson();
}

// An object read from JSON only, and one read from JSON and CBOR.
template<class T>
std::pair<QString, ObjectCodec> entry(const char* name, const char* keys = nullptr)
{
    return {QString::fromLatin1(name), {&decoded<T>, nullptr, answerName<T>(), keys}};
}

template<class T>
std::pair<QString, ObjectCodec> cborEntry(const char* name, const char* keys = nullptr)
{
    static_assert(std::is_base_of_v<AbstractCborObject, T>);
    return {QString::fromLatin1(name), {&decoded<T>, &decodedFromCbor<T>, answerName<T>(), keys}};
}

// The keys of the objects that others extend, and of every list answer.
#define LIST_ANSWER "items total_items applied_filters"
#define CHANNEL_BRIEF "id name number tq_channel_id logo full_logo background poster_bg_color quality teletext age_level advertising_place_type is_advertising is_barker is_child is_erotic is_favorite is_hidden is_last_seen is_npvr is_pin_required is_tstv_allowed is_getshoptv is_qr_ads_enabled media_position purchase_variants actions purchase_state source themes tstv_options_channel usage_model epgs"
#define MEDIA_ITEM_BRIEF "id name short_name series_name type usage_model logo poster_bg_color summary short_description screenshots visit_card year countries duration children_amount order_number season_order_number season_id series_id copyright_holder_logo_1 copyright_holder_logo_2 start_date is_favorite is_coming_soon is_qr_ads_enabled age_level ratings media_position purchase_variants actions purchase_state skippable_fragments"
#define SUB_SERVICE_BRIEF "colors description_short icon id image media_view_id motto name type"
#define BONUS_PROGRAM_BRIEF "id actions description icon name activation_terms required_login_type status"
#define PURCHASE_HISTORY_USER "amount content_type description payment_method ticket_id timestamp status status_text text_amount"
#define MESSAGES_LIST_USER "created_at image is_read id target poll text title"
#define BUY_CONTENT_RESPONSE "order_id status success ticket_id"
#define ACTION_BONUS_PROGRAM "request_id resend_after status"

// One line per declared object, named as in the samples, with the keys it writes.
const QHash<QString, ObjectCodec>& objects()
{
    static const QHash<QString, ObjectCodec> table{
        cborEntry<CdnToken>("CdnToken", "expire_at cookie_parameters"),
        cborEntry<ChannelSource>("ChannelSource", "backup_url_1 backup_url_2 cdn_token drm_provider is_crypted is_hevc is_purchased is_tokenized type url pvr_url urls pvr_urls"),
        entry<ContentAsset>("ContentAsset", "drm_provider cdn_token id ifn is_crypted is_preview is_purchased is_tokenized quality url urls"),
        entry<Assets>("Assets", "content_assets preview_assets"),
        entry<GetDrmSettingsResponse>("GetDrmSettingsResponse", "default_drm_provider license_servers"),
        // account
        entry<NewSessionResponse>("NewSessionResponse", "fingerprint session_id session_state"),
        entry<UpdateTokenResponse>("UpdateTokenResponse", "session_id session_state fingerprint"),
        entry<DiscoverServicesResponse>("DiscoverServicesResponse", "api_url ws_url spy_url img_url proxy_url thumbnails_url"),
        entry<WsTokenResponse>("WsTokenResponse", "expire_at token"),
        entry<LifeCheckResponse>("LifeCheckResponse", ""),
        entry<Timezone>("Timezone", "description id name offset_sec"),
        entry<GetTimezonesResponse>("GetTimezonesResponse", LIST_ANSWER " current_timezone_id"),
        entry<SystemInfoResponse>("SystemInfoResponse", "account_id broadcast_type cur_location cur_sub_location current_mrf current_timezone home_mrf is_test is_radio_available location request_timeout send_tv_media_positions_after san sub_location uid use_proxy"),
        entry<GetAccountSummaryResponse>("GetAccountSummaryResponse", "oss_account_number oss_balance oss_refill_amount currency"),
        entry<AccountB2BInfo>("AccountB2BInfo", "check_in_date hotel_id logo display_name room_number default_language info_channel_image start_screen_image media_view_alias is_hello_message_showed promo_on_startup_enabled status"),
        entry<BlockScreen>("BlockScreen", "message submessage icon available_actions"),
        entry<GetAccountSettingsResponse>("GetAccountSettingsResponse", "auth_mode available_actions btb_type email is_tutorial_done phone is_offer_accepted is_email_or_phone_required is_account_blocked is_allowed_to_skip_adding_login block_screen is_oss oss_account_number promovideo_id btb_info"),
        entry<GetToggleButtonTargetResponse>("GetToggleButtonTargetResponse", "link title type"),
        cborEntry<ServiceTabBrief>("ServiceTabBrief", "name target"),
        entry<GetServiceTabsListResponse>("GetServiceTabsListResponse"),
        entry<CheckLoginResponse>("CheckLoginResponse", "login_mode login_type success"),
        entry<RegisterAccountResponse>("RegisterAccountResponse", "san success"),
        entry<SendEmailCodeResponse>("SendEmailCodeResponse", "success resend_after"),
        entry<SendSmsResponse>("SendSmsResponse", "success resend_after"),
        entry<ValidatePinCodeResponse>("ValidatePinCodeResponse", "valid"),
        entry<SuccessResponse>("SuccessResponse", "success"),
        entry<CancelSubscriptionResponse>("CancelSubscriptionResponse", "success"),
        entry<HelloMessageResponse>("HelloMessageResponse", "hello_message"),
        entry<OfferUser>("OfferUser", "text text_en"),
        entry<GetCurrentLocationResponse>("GetCurrentLocationResponse", "location_id location_name sub_location_id sub_location_name"),
        entry<FeatureToggle>("FeatureToggle", "key is_enabled retry_after"),
        entry<GetFeatureTogglesResponse>("GetFeatureTogglesResponse"),
        entry<GetLanguagesResponse>("GetLanguagesResponse"),
        entry<GetLocationsResponse>("GetLocationsResponse"),
        entry<GetFeatureToggleConfigurationResponse>("GetFeatureToggleConfigurationResponse", "data"),
        entry<AdvertisingSettingsResponse>("AdvertisingSettingsResponse", "api_url api_key"),
        entry<GetShopTvSettingsResponse>("GetShopTvSettingsResponse", "api_url api_key min_delay max_delay playlist_retry_interval batching_interval is_batching_enabled is_enabled"),
        entry<GetContentDrmTokenResponse>("GetContentDrmTokenResponse", "token"),
        entry<IdFavoriteResponse>("IdFavoriteResponse", "content_id"),
        entry<IdReminderResponse>("IdReminderResponse", "content_id"),
        entry<AdminSettingsColdStartLoadingScreen>("AdminSettingsColdStartLoadingScreen", "duration"),
        entry<PostColdStartContentResponse>("PostColdStartContentResponse", "media_view_alias loading_screen"),
        // b2b
        entry<B2bMenuItem::Size>("B2bMenuItem::Size", "width height"),
        entry<B2bMenuItem>("B2bMenuItem", "id name description size image target type"),
        entry<B2bSubMenuItem>("B2bSubMenuItem", "id name description image target type"),
        entry<B2bImageBanner::Content>("B2bImageBanner::Content", "url type"),
        entry<B2bImageBanner>("B2bImageBanner", "id service_ids content target"),
        entry<B2bMediaViewItemUnion>("B2bMediaViewItemUnion", "type id name description image target"),
        entry<B2bMediaBlockRendered>("B2bMediaBlockRendered", "id name description type items"),
        entry<B2bMediaViewRendered::Background>("B2bMediaViewRendered::Background", "type user_file_url"),
        entry<B2bMediaViewRendered>("B2bMediaViewRendered", "id alias name description background media_blocks"),
        // channels
        cborEntry<TimeshiftOptionsChannel>("TimeshiftOptionsChannel", "is_catchup_allowed is_catchup_purchased is_pltv_allowed is_pltv_purchased tstv_depth tstv_service_id"),
        cborEntry<ChannelBrief>("ChannelBrief", CHANNEL_BRIEF),
        entry<Channel>("Channel", CHANNEL_BRIEF " preview_duration"),
        cborEntry<GetChannelsResponse>("GetChannelsResponse", LIST_ANSWER " applied_sort"),
        entry<GetProfileChannelsResponse>("GetProfileChannelsResponse", LIST_ANSWER),
        entry<GetTvDictionariesResponse>("GetTvDictionariesResponse", "channels_themes epg_genres"),
        entry<RadioChannelSourceUser>("RadioChannelSourceUser", "url"),
        entry<RadioChannel>("RadioChannel", "id frequency logo name sources"),
        entry<GetRadioChannelsResponse>("GetRadioChannelsResponse", LIST_ANSWER),
        entry<CanvasResponse::Item>("CanvasResponse::Item", "x y tq_channel_id"),
        entry<CanvasResponse>("CanvasResponse", "file_name width height items"),
        // devices
        entry<DeviceUserBrief>("DeviceUserBrief", "device_type device_type_icon id is_deletable is_current terminal_name title uid"),
        entry<ListDevicesResponse>("ListDevicesResponse", "devices limit"),
        entry<VideoOutput>("VideoOutput", "output_name output_mode"),
        entry<Assistant>("Assistant", "icon instruction is_active name"),
        entry<AssistantConnectionResponse>("AssistantConnectionResponse", "assistants is_available"),
        entry<NewAssistantCodeResponse>("NewAssistantCodeResponse", "code expire_at"),
        // epg
        cborEntry<ChannelInfo>("ChannelInfo", "id logo name number poster_bg_color"),
        cborEntry<TimeshiftOptionsEpg>("TimeshiftOptionsEpg", "is_npvr_allowed is_npvr_purchased npvr_item_status tstv_service_id tstv_valid_until"),
        cborEntry<EPGItemBrief>("EPGItemBrief", "id name description logo start_time end_time genre original_id has_reminder is_favorite is_tstv_allowed age_level tstv_options_epg media_position channel_info"),
        entry<ChannelEpg>("ChannelEpg", "channel_id channel_programs"),
        entry<GetEPGResponse>("GetEPGResponse", "items"),
        // items
        cborEntry<ItemUnionBrief>("ItemUnionBrief", "type epg"),
        cborEntry<SearchItemUnion>("SearchItemUnion", "type service"),
        cborEntry<SearchItemUnionGroup>("SearchItemUnionGroup", "content_items content_types has_next is_child media_item_types title"),
        cborEntry<MediaPositionItemUnion>("MediaPositionItemUnion", "type media_position media_item"),
        entry<GetSearchResponse>("GetSearchResponse", LIST_ANSWER),
        entry<GetGroupSearchResponse>("GetGroupSearchResponse", LIST_ANSWER),
        entry<GetRemindersResponse>("GetRemindersResponse", LIST_ANSWER),
        entry<GetServiceItemsResponse>("GetServiceItemsResponse", LIST_ANSWER),
        entry<ListMyCollectionResponse>("ListMyCollectionResponse", LIST_ANSWER),
        entry<GetMediaPositionsResponse>("GetMediaPositionsResponse", LIST_ANSWER),
        entry<Person>("Person", "id name native_name photo_avatar role_name birth_date death_date age height"),
        entry<PersonContentItems>("PersonContentItems", "role_id role_name content_items total_content_items has_next"),
        entry<GetMediaItemPersonsResponse>("GetMediaItemPersonsResponse", LIST_ANSWER),
        entry<GetPersonRolesResponse>("GetPersonRolesResponse", LIST_ANSWER),
        entry<GetPersonContentItemsResponse>("GetPersonContentItemsResponse", LIST_ANSWER),
        // media
        cborEntry<MediaItemBrief>("MediaItemBrief", MEDIA_ITEM_BRIEF),
        entry<Genre>("Genre", "default_category_id id name"),
        entry<ContentFilterOption>("ContentFilterOption", "alias name sort_order values"),
        entry<ContentFilterUser>("ContentFilterUser", "id alias all_options_title name options type"),
        entry<ContentFilterUserBrief>("ContentFilterUserBrief", "id alias name options theme"),
        entry<ContentFilterThemeUser>("ContentFilterThemeUser", "id alias name"),
        entry<SortBrief>("SortBrief", "name sort_by sort_dir alias is_default"),
        entry<GetMediaItemByIDResponse>("GetMediaItemByIDResponse", MEDIA_ITEM_BRIEF " assets available_up_to contractor_id background genres is_child next_series_position previous_series_position original_name series_position filters is_joint_viewing advertising_mid_rolls"),
        entry<GetMediaItemsResponse>("GetMediaItemsResponse", LIST_ANSWER " applied_sort"),
        entry<CollectionItemsResponse>("CollectionItemsResponse", LIST_ANSWER),
        cborEntry<CollectionBrief>("CollectionBrief", "id copyright_holder_logo_1 description logo name"),
        entry<CollectionResponse>("CollectionResponse"),
        entry<CollectionsResponse>("CollectionsResponse", LIST_ANSWER),
        cborEntry<KaraokeArtist>("KaraokeArtist", "name"),
        cborEntry<KaraokeItemBrief>("KaraokeItemBrief", "artist id logo name poster_bg_color purchase_variants screenshots usage_model is_favorite"),
        entry<GetKaraokeItemsResponse>("GetKaraokeItemsResponse", LIST_ANSWER),
        entry<GetKaraokeItemByIDResponse>("GetKaraokeItemByIDResponse", "artist assets genres id name actions purchase_state screenshots usage_model"),
        entry<SortsResponse>("SortsResponse", "sorts"),
        entry<FiltersResponse>("FiltersResponse", "custom multiple"),
        entry<ContentFilterThemesResponse>("ContentFilterThemesResponse", "filter_themes"),
        entry<GetContentTypesResponse>("GetContentTypesResponse", LIST_ANSWER),
        entry<GetAgeLimitsResponse>("GetAgeLimitsResponse", LIST_ANSWER),
        // menus
        cborEntry<TargetLinkFilter>("TargetLinkFilter", "alias options"),
        cborEntry<TargetLink>("TargetLink", "id category_id collection_id genre_id channel_id tq_channel_id program_id epg_id original_id start_time screen_name content_type media_item_type name type_id tab_id theme_id url alias filter_theme filters package_name activity_name"),
        cborEntry<TargetForMenu>("TargetForMenu", "link title type"),
        cborEntry<MenuItemUserBrief>("MenuItemUserBrief", "icon id target title"),
        entry<Menu>("Menu", LIST_ANSWER " default"),
        cborEntry<AdPixel>("AdPixel", "links"),
        entry<AdvertiserInfo>("AdvertiserInfo", "owner token font_color"),
        cborEntry<BannerBrief>("BannerBrief", "ad_pixel age_level color logo logo_size icon small_icon id images labels media_files ratings size subtitle target advertiser_info title"),
        entry<ContentInfo>("ContentInfo", "target logo"),
        // messages
        cborEntry<PollItem>("PollItem", "answers question"),
        cborEntry<MessagesListUser>("MessagesListUser", MESSAGES_LIST_USER),
        entry<GetMessageByIdResponse>("GetMessageByIdResponse", MESSAGES_LIST_USER),
        entry<GetMessagesResponse>("GetMessagesResponse", LIST_ANSWER " unread_count"),
        cborEntry<FaqItem>("FaqItem", "id answer question"),
        cborEntry<FaqSectionItem>("FaqSectionItem", "id faqs name"),
        entry<GetFaqListResponse>("GetFaqListResponse"),
        entry<GetScreensaverResponse>("GetScreensaverResponse", "image_duration items"),
        // offers
        cborEntry<Currency>("Currency", "code display_name symbol"),
        cborEntry<PurchaseFeature>("PurchaseFeature", "is_active title"),
        cborEntry<Option::Content>("Option::Content", "id type media_item_type name season_number quality"),
        cborEntry<Option::Service>("Option::Service", "id type content_type name image"),
        cborEntry<Option::Period::Price::Trial>("Option::Period::Price::Trial", "duration duration_unit"),
        cborEntry<Option::Period::Price::Intro>("Option::Period::Price::Intro", "duration duration_unit periods"),
        cborEntry<Option::Period::Price::Discount>("Option::Period::Price::Discount", "description"),
        cborEntry<Option::Period::Price::BonusProgram>("Option::Period::Price::BonusProgram", "id actions description icon name status"),
        cborEntry<Option::Period::Price>("Option::Period::Price", "price_id payment_method_id type amount original_amount currency trial intro discount bonus_program"),
        cborEntry<Option::Period>("Option::Period", "duration duration_unit prices"),
        cborEntry<Option>("Option", "seq_id usage_model is_quick_purchase content service features periods"),
        cborEntry<PurchaseVariant>("PurchaseVariant", "id name options"),
        cborEntry<PurchaseState::Service::Autopayment>("PurchaseState::Service::Autopayment", "date status"),
        cborEntry<PurchaseState::Service::ChargeDetails::Details>("PurchaseState::Service::ChargeDetails::Details", "amount currency duration duration_unit end_date type"),
        cborEntry<PurchaseState::Service::ChargeDetails>("PurchaseState::Service::ChargeDetails", "current original"),
        cborEntry<PurchaseState::Service::ParentService>("PurchaseState::Service::ParentService", "id name"),
        cborEntry<PurchaseState::Service::ExternalBilling>("PurchaseState::Service::ExternalBilling", "name"),
        cborEntry<PurchaseState::Service>("PurchaseState::Service", "id name status status_change_date autopayment charge_details parent_service external_billing"),
        cborEntry<PurchaseState>("PurchaseState", "service"),
        cborEntry<Action>("Action"),
        // payments
        entry<BankCardUser>("BankCardUser", "card_number type id"),
        entry<PaymentMethodUser>("PaymentMethodUser", "id name payment_url payment_qrcode bank_card"),
        entry<PaymentTypeUser>("PaymentTypeUser", "name payment_methods refill_amount_max refill_amount_min"),
        entry<GetPaymentMethodsByTypesResponse>("GetPaymentMethodsByTypesResponse", "payment_types"),
        cborEntry<BankCard>("BankCard", "id card_number type is_default"),
        entry<GetBankCardsResponse>("GetBankCardsResponse", LIST_ANSWER),
        entry<AddBankCardResponse>("AddBankCardResponse", "order_id pay_amount req_id ticket_id"),
        entry<BuyContentResponse>("BuyContentResponse", BUY_CONTENT_RESPONSE),
        entry<AccountRefillResponse>("AccountRefillResponse", BUY_CONTENT_RESPONSE),
        entry<TicketUser>("TicketUser", "status ticket_id"),
        entry<PurchaseAvailabilityResponse>("PurchaseAvailabilityResponse", "is_pin_required is_purchase_allowed success"),
        entry<ContentAvailabilityResponse>("ContentAvailabilityResponse", "available_up_to is_purchased purchase_check_timeout"),
        cborEntry<PurchaseHistoryPaymentMethod>("PurchaseHistoryPaymentMethod", "description name"),
        cborEntry<PurchaseHistoryUser>("PurchaseHistoryUser", PURCHASE_HISTORY_USER),
        entry<GetPurchasesHistoryResponse>("GetPurchasesHistoryResponse"),
        entry<GetPurchasesHistoryByIDResponse>("GetPurchasesHistoryByIDResponse", PURCHASE_HISTORY_USER " content_info"),
        entry<UserBonusProgramCurrency>("UserBonusProgramCurrency", "code display_name"),
        entry<UserBonusProgramBrief>("UserBonusProgramBrief", BONUS_PROGRAM_BRIEF),
        entry<GetBonusProgramByIdResponse>("GetBonusProgramByIdResponse", BONUS_PROGRAM_BRIEF " balance bonus_type login login_type currency"),
        entry<GetBonusProgramsResponse>("GetBonusProgramsResponse", "items"),
        entry<ActionBonusProgramResponse>("ActionBonusProgramResponse", ACTION_BONUS_PROGRAM),
        entry<RegisterBonusProgramResponse>("RegisterBonusProgramResponse", ACTION_BONUS_PROGRAM),
        entry<ChangeLoginBonusProgramResponse>("ChangeLoginBonusProgramResponse", ACTION_BONUS_PROGRAM),
        entry<ConfirmBonusProgramResponse>("ConfirmBonusProgramResponse", "status"),
        entry<Certificate>("Certificate", "id status title subtitle image start_date end_date"),
        entry<GetCertificatesResponse>("GetCertificatesResponse", LIST_ANSWER " viewed_count default_image"),
        // profiles
        entry<ProfileIcon>("ProfileIcon", "id image"),
        entry<GetProfileIconsResponse>("GetProfileIconsResponse"),
        cborEntry<ProfileIconItem>("ProfileIconItem", "icon_id image"),
        entry<PurchaseLimits>("PurchaseLimits", "is_pin_required"),
        entry<ViewLimits>("ViewLimits", "allowed_from allowed_to cur_view_time max_view_time"),
        entry<ProfileBrief>("ProfileBrief", "id name type icon default_age_limit_id max_age_limit_id is_erotic_allowed is_notifications_allowed is_getshoptv_enabled filtered_channels purchase_limits view_limits audio_track_lang subtitle_lang"),
        entry<ListProfilesResponse>("ListProfilesResponse", LIST_ANSWER " current_profile_id"),
        entry<ContentViewResponse>("ContentViewResponse", "cur_view_time max_view_time is_view_time_left"),
        entry<PostPreviewResponse>("PostPreviewResponse", "preview_duration success"),
        entry<MediaPositionIDResponse>("MediaPositionIDResponse", "content_id content_type exchange_content media_view_alias can_exchange media_position"),
        // records
        cborEntry<AgeLevel>("AgeLevel", "age_value id name"),
        cborEntry<NamedId>("NamedId", "id name"),
        cborEntry<MediaPositionBrief>("MediaPositionBrief", "action device_id is_viewed timepoint"),
        entry<SeriesMediaPosition>("SeriesMediaPosition", "episode_id season_id episode_number season_number"),
        cborEntry<Ratings>("Ratings", "imdb kinopoisk vemo user"),
        cborEntry<Label>("Label", "color text"),
        cborEntry<MediaFile>("MediaFile", "format url duration"),
        cborEntry<SkippableFragment>("SkippableFragment", "start end type action duration is_final media_view_alias"),
        entry<PreviewDurationBrief>("PreviewDurationBrief", "left total"),
        cborEntry<ContentType>("ContentType", "name total_count type"),
        cborEntry<LanguageBrief>("LanguageBrief", "code image name"),
        entry<TrackInfo>("TrackInfo", "codec channels_layout description language"),
        entry<ReminderBrief>("ReminderBrief", "content_id content_type"),
        cborEntry<LocationBrief>("LocationBrief", "id name is_parent timezone"),
        entry<FilteredChannels>("FilteredChannels", "hidden pin_required"),
        // screens
        entry<AbTestTemplate>("AbTestTemplate", "id group_id"),
        entry<MediaViewItemUnion>("MediaViewItemUnion", "type channel"),
        entry<MediaBlockRendered>("MediaBlockRendered", "type no_content items image name sub_name target display_type ab_test tag recom_aux"),
        entry<MediaViewRendered>("MediaViewRendered", "media_blocks name total_blocks"),
        entry<ScreensaverMediaFile>("ScreensaverMediaFile", "type url"),
        entry<GetSplashScreenResponse>("GetSplashScreenResponse", "media_files type"),
        entry<RecomColdStartContent>("RecomColdStartContent", "id name image"),
        entry<RecomColdStartGenreBrief>("RecomColdStartGenreBrief", "id name alias image"),
        entry<GetColdStartGenresResponse>("GetColdStartGenresResponse", "min_for_choosing items"),
        entry<GetColdStartContentResponse>("GetColdStartContentResponse", "min_for_choosing items"),
        // services
        cborEntry<Service>("Service", "active end_time id image name"),
        cborEntry<SubServiceBrief>("SubServiceBrief", SUB_SERVICE_BRIEF),
        entry<ServiceBrief>("ServiceBrief", SUB_SERVICE_BRIEF " active channels_count media_items_count description promo_label_color promo_label_text purchase_variants actions purchase_state service_condition subservices features"),
    };
    return table;
}

// Whether the decoded object is valid, and its data-item type (-1 when it is no data item).
// A data item reports the same validity through its base, where the interface reads it.
template<class T>
std::pair<bool, int> decodedFacts(const QJsonObject& json)
{
    T object;
    object.fromJson(json);
    if constexpr (std::is_base_of_v<stbcore::AbstractDataItem, T>) {
        if (object.isValid() != static_cast<const stbcore::AbstractDataItem&>(object).isValid())
            qWarning("validity of the object and of its data item differ");
        return {static_cast<const stbcore::AbstractDataItem&>(object).isValid(), object.dataItemType()};
    } else {
        return {object.isValid(), -1};
    }
}

// An object read from CBOR bytes, as it writes itself; `valid` gets the data item's validity.
template<class T>
QJsonObject fromCborBytes(const QByteArray& bytes, int* valid)
{
    T object;
    CborReader reader(bytes);
    if (object.fromCbor(reader) != 0)
        return {};
    if constexpr (std::is_base_of_v<stbcore::AbstractDataItem, T>)
        *valid = static_cast<const stbcore::AbstractDataItem&>(object).isValid();
    return object.toJson();
}

// Where `written` lacks or changes a value of `sample` (a path, empty when none).
QString firstDifference(const QJsonValue& sample, const QJsonValue& written, const QString& path = {})
{
    if (sample.isObject()) {
        const QJsonObject object = sample.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString difference =
                firstDifference(it.value(), written.toObject().value(it.key()), path + "/" + it.key());
            if (!difference.isEmpty())
                return difference;
        }
        return written.isObject() ? QString() : path;
    }
    if (sample.isArray()) {
        const QJsonArray array = sample.toArray();
        if (!written.isArray() || written.toArray().size() != array.size())
            return path;
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString difference = firstDifference(array.at(i), written.toArray().at(i), path + "/" + QString::number(i));
            if (!difference.isEmpty())
                return difference;
        }
        return {};
    }
    return sample == written ? QString() : path;
}

} // namespace

class TestObjects : public QObject
{
    Q_OBJECT

private slots:
    void samples_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QJsonObject>("sample");
        QSet<QString> sampled;
        for (const QString& family : samples::objectSampleFamilies()) {
            const QJsonObject samples = samples::objectSamples(family);
            QVERIFY2(!samples.isEmpty(), qPrintable(family + ".json holds no samples"));
            for (auto it = samples.begin(); it != samples.end(); ++it) {
                QTest::newRow(qPrintable(family + "/" + it.key())) << it.key() << it.value().toObject();
                sampled.insert(it.key());
            }
        }
        for (auto it = objects().begin(); it != objects().end(); ++it)
            QVERIFY2(sampled.contains(it.key()), qPrintable(it.key() + " has no sample"));
    }

    void samples()
    {
        QFETCH(QString, name);
        QFETCH(QJsonObject, sample);
        QVERIFY2(objects().contains(name), qPrintable(name + " is not in the table of objects"));
        const ObjectCodec codec = objects().value(name);

        const QJsonObject written = codec.decoded(sample);
        const QString lost = firstDifference(sample, written);
        QVERIFY2(lost.isEmpty(), qPrintable("not written back as sampled: " + lost));
        if (codec.keys) { // the keys written are the object's keys, no more, no fewer
            const QStringList expected = QString::fromLatin1(codec.keys).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const QStringList keys = written.keys();
            const auto missing = [](const QStringList& from, const QStringList& in) {
                QStringList out;
                for (const QString& key : from)
                    if (!in.contains(key))
                        out.append(key);
                return out.join(QLatin1Char(' '));
            };
            QVERIFY2(keys.size() == expected.size() && missing(expected, keys).isEmpty(),
                     qPrintable("not written: " + missing(expected, keys) + "; written besides: " + missing(keys, expected)));
        }
        QCOMPARE(codec.decoded(written), written);
        if (codec.decodedFromCbor)
            QCOMPARE(codec.decodedFromCbor(sample), written);
        // Registered when the library loads, not only once some QVariant has held one.
        if (codec.answerName)
            QVERIFY2(QMetaType::fromName(codec.answerName).isValid(), "the answer is not a registered meta-type");
    }

    void validityAndItemType_data()
    {
        QTest::addColumn<Facts>("facts");
        QTest::addColumn<QJsonObject>("json");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("itemType");
        const Facts method = &decodedFacts<PaymentMethodUser>;
        QTest::newRow("linked card") << method << QJsonObject{{"id", 3}, {"name", "linked_card"}} << true << 21;
        QTest::newRow("prepaid") << method << QJsonObject{{"id", 1}, {"name", "account_prepaid"}} << true << 20;
        QTest::newRow("credit") << method << QJsonObject{{"id", 2}, {"name", "account_credit"}} << true << 20;
        QTest::newRow("bonus, no id") << method << QJsonObject{{"name", "bonus"}} << true << 0;
        QTest::newRow("method unnamed") << method << QJsonObject{{"id", 3}} << false << 0;
        QTest::newRow("method unknown") << method << QJsonObject{{"id", 3}, {"name", "cash"}} << false << 0;
        const Facts discovery = &decodedFacts<DiscoverServicesResponse>;
        QTest::newRow("discovery") << discovery << QJsonObject{{"api_url", "https://api"}} << true << -1;
        QTest::newRow("discovery without api") << discovery << QJsonObject{{"ws_url", "wss://ws"}} << false << -1;
        const Facts history = &decodedFacts<PurchaseHistoryUser>;
        QTest::newRow("history entry") << history << QJsonObject{{"ticket_id", "tk-1"}} << true << 25;
        QTest::newRow("history entry without ticket") << history << QJsonObject{{"amount", 100}} << false << 25;
        const Facts message = &decodedFacts<MessagesListUser>;
        QTest::newRow("message") << message << QJsonObject{{"id", "msg-1"}} << true << 16;
        QTest::newRow("message without id") << message << QJsonObject{{"title", "Hi"}} << false << 16;
        QTest::newRow("message by id") << &decodedFacts<GetMessageByIdResponse> << QJsonObject{{"id", "msg-1"}} << true << 16;
        const QJsonObject five{{"id", 5}}; // each data item's type number, valid by its id
        QTest::newRow("banner") << &decodedFacts<BannerBrief> << five << true << 1;
        QTest::newRow("channel") << &decodedFacts<ChannelBrief> << five << true << 3;
        QTest::newRow("channel card") << &decodedFacts<Channel> << five << true << 3;
        QTest::newRow("collection") << &decodedFacts<CollectionBrief> << five << true << 4;
        QTest::newRow("karaoke item") << &decodedFacts<KaraokeItemBrief> << five << true << 8;
        QTest::newRow("location") << &decodedFacts<LocationBrief> << five << true << 14;
        QTest::newRow("media item") << &decodedFacts<MediaItemBrief> << five << true << 15;
        QTest::newRow("bank card") << &decodedFacts<BankCard> << five << true << 21;
        QTest::newRow("person") << &decodedFacts<Person> << five << true << 22;
        QTest::newRow("purchase variant") << &decodedFacts<PurchaseVariant> << five << true << 27;
        QTest::newRow("radio channel") << &decodedFacts<RadioChannel> << five << true << 28;
        QTest::newRow("service") << &decodedFacts<Service> << five << true << 29;
        QTest::newRow("service card") << &decodedFacts<ServiceBrief> << five << true << 30;
        QTest::newRow("sub-service") << &decodedFacts<SubServiceBrief> << five << true << 33;
        QTest::newRow("guide item") << &decodedFacts<EPGItemBrief> << five << true << 35;
        QTest::newRow("guide item without id") << &decodedFacts<EPGItemBrief> << QJsonObject{{"name", "News"}} << false << 35;
        QTest::newRow("option") << &decodedFacts<Option> << QJsonObject{} << false << 26;
        QTest::newRow("target") << &decodedFacts<TargetForMenu> << QJsonObject{} << false << 34;
        const QJsonObject film{{"type", "media_item"}, {"media_item", QJsonObject{{"id", 5501}}}};
        const auto block = [](const QJsonArray& items) { return QJsonObject{{"type", "horizontal"}, {"items", items}}; };
        QTest::newRow("block, items with ids")
            << &decodedFacts<MediaBlockRendered>
            << block({film, QJsonObject{{"type", "banner"}, {"banner", QJsonObject{{"id", 3}}}}}) << true << -1;
        QTest::newRow("block, one id is 0")
            << &decodedFacts<MediaBlockRendered>
            << block({film, QJsonObject{{"type", "channel"}, {"channel", QJsonObject{{"id", 0}}}}}) << false << -1;
        QTest::newRow("block, nothing engaged") << &decodedFacts<MediaBlockRendered>
                                                << block({QJsonObject{{"type", "radio"}}}) << false << -1;
        QTest::newRow("block, no items") << &decodedFacts<MediaBlockRendered> << block({}) << false << -1;
        QTest::newRow("no assets") << &decodedFacts<Assets> << QJsonObject{{"content_assets", QJsonArray{}}} << false << -1;
        QTest::newRow("preview assets") << &decodedFacts<Assets>
                                        << QJsonObject{{"preview_assets", QJsonArray{QJsonObject{{"id", 1}}}}} << true << -1;
    }

    void validityAndItemType()
    {
        QFETCH(Facts, facts);
        QFETCH(QJsonObject, json);
        QFETCH(bool, valid);
        QFETCH(int, itemType);
        QTest::failOnWarning(QRegularExpression("."));
        const auto [isValid, type] = facts(json);
        QCOMPARE(isValid, valid);
        QCOMPARE(type, itemType);
    }

    void equalityCoversEveryField()
    {
        ChannelSource source;
        source.fromJson(samples::objectSamples("playback").value("ChannelSource").toObject());
        ChannelSource copy = source;
        QVERIFY(copy == source);
        copy.cdnToken.expireAt += 1;
        QVERIFY(!(copy == source));
        copy = source;
        copy.pvrUrls.insert("sd", "x");
        QVERIFY(!(copy == source));

        ContentAsset asset;
        ContentAsset other;
        QVERIFY(!(asset != other));
        other.quality = QualityType::HD;
        QVERIFY(asset != other);
    }

    // Which members a union engages for one JSON object; each union kind reads the same rows.
    void unions_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QJsonObject>("json");
        QTest::addColumn<QStringList>("engaged");
        const QJsonObject channel{{"id", 1001}, {"name", "First"}};
        const QJsonObject epg{{"id", 52011}, {"name", "News"}};
        const QJsonObject service{{"id", 301}, {"name", "Cinema Plus"}};
        const QJsonObject position{{"device_id", 7}, {"timepoint", 90}};
        QTest::newRow("epg beside a channel") << "item" << QJsonObject{{"type", "epg"}, {"epg", epg}, {"channel", channel}}
                                              << QStringList{"epg"};
        QTest::newRow("empty member object") << "item" << QJsonObject{{"type", "channel"}, {"channel", QJsonObject()}}
                                             << QStringList{};
        QTest::newRow("service in a plain union") << "item" << QJsonObject{{"type", "service"}, {"service", service}}
                                                  << QStringList{};
        QTest::newRow("service in a search union") << "search" << QJsonObject{{"type", "service"}, {"service", service}}
                                                   << QStringList{"service"};
        QTest::newRow("unknown type") << "item" << QJsonObject{{"type", "radio"}, {"channel", channel}} << QStringList{};
        QTest::newRow("position, type case differs")
            << "position" << QJsonObject{{"type", "Channel"}, {"media_position", position}, {"channel", channel}}
            << QStringList{"media_position"};
        QTest::newRow("position and epg") << "position"
                                          << QJsonObject{{"type", "epg"}, {"media_position", position}, {"epg", epg}}
                                          << QStringList{"media_position", "epg"};
        QTest::newRow("view: service brief") << "view" << QJsonObject{{"type", "service"}, {"service", service}}
                                             << QStringList{"service"};
        QTest::newRow("hotel: wifi tile") << "b2b" << QJsonObject{{"type", "wifi"}, {"id", "w"}} << QStringList{"menu"};
        QTest::newRow("hotel: sub menu by prefix") << "b2b" << QJsonObject{{"type", "sub_menu_spa"}, {"id", "s"}}
                                                   << QStringList{"sub_menu"};
        QTest::newRow("hotel: anything else") << "b2b" << QJsonObject{{"type", "promo"}, {"id", "b"}}
                                              << QStringList{"banner"};
    }

    void unions()
    {
        QFETCH(QString, kind);
        QFETCH(QJsonObject, json);
        QFETCH(QStringList, engaged);
        QStringList found;
        const auto note = [&found](bool isEngaged, const char* name) {
            if (isEngaged)
                found.append(QString::fromLatin1(name));
        };
        if (kind == "item" || kind == "search") {
            SearchItemUnion item;
            if (kind == "search")
                item.fromJson(json);
            else
                static_cast<ItemUnionBrief&>(item).fromJson(json);
            note(bool(item.channel), "channel");
            note(bool(item.epg), "epg");
            note(bool(item.mediaItem), "media_item");
            note(bool(item.karaokeItem), "karaoke_item");
            note(bool(item.service), "service");
            note(bool(item.collection), "collection");
            if (kind == "item" && found.size() == 1) // the analytics record names the engaged member
                QCOMPARE(item.toAnalyticsJson(), (QJsonObject{{"type", found[0]}, {"id", json.value(found[0]).toObject().value("id")}}));
        } else if (kind == "position") {
            MediaPositionItemUnion item;
            item.fromJson(json);
            note(bool(item.mediaPosition), "media_position");
            note(bool(item.channel), "channel");
            note(bool(item.epg), "epg");
            note(bool(item.mediaItem), "media_item");
            if (item.epg) // the position reaches the chosen member
                QCOMPARE(item.epg->mediaPosition().timepoint, item.mediaPosition->timepoint);
        } else if (kind == "view") {
            MediaViewItemUnion item;
            item.fromJson(json);
            note(bool(item.service), "service");
            note(bool(item.channel) || bool(item.banner) || bool(item.epg), "other");
            if (item.service)
                QCOMPARE(item.dataItem()->dataItemType(), 30);
        } else {
            B2bMediaViewItemUnion item;
            item.fromJson(json);
            note(bool(item.menuItem), "menu");
            note(bool(item.subMenuItem), "sub_menu");
            note(bool(item.imageBanner), "banner");
        }
        QCOMPARE(found, engaged);
    }

    // Objects read from CBOR bytes written out here, not made by an encoder that shares the
    // library's key names: the keys only CBOR has, the keys it must not read, tags, nesting.
    void handWrittenCbor_data()
    {
        QTest::addColumn<CborDecode>("decode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("json"); // a part of what the object writes after reading it
        QTest::addColumn<int>("valid");       // of the data item; -1: not one
        const auto hex = [](const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); };

        // {"price_id": 7, "originalAmount": 29900, "original_amount": 1, "bonusProgram": {"id": 3,
        //  "name": "B"}, "bonus_program": {"id": 4}, "amount": 19900}
        QTest::newRow("price: camel-case keys")
            << &fromCborBytes<Option::Period::Price>
            << hex("a6 68 70726963655f6964 07 6e 6f726967696e616c416d6f756e74 1974cc 6f 6f726967696e616c5f616d6f756e74 01"
                   " 6c 626f6e757350726f6772616d a2 62 6964 03 64 6e616d65 61 42"
                   " 6d 626f6e75735f70726f6772616d a1 62 6964 04 66 616d6f756e74 194dbc")
            << QByteArray(R"({"price_id": 7, "original_amount": 29900, "bonus_program": {"id": 3, "name": "B"}, "amount": 19900})")
            << -1;
        // {"id": 5501, "short_name": "F", "name": "Film", "poster_bg_color": "ff000080",
        //  "ratings": {"imdb": 7.5, "user": 3}, "type": "film"}
        QTest::newRow("media item: no short name")
            << &fromCborBytes<MediaItemBrief>
            << hex("a6 62 6964 19157d 6a 73686f72745f6e616d65 61 46 64 6e616d65 64 46696c6d"
                   " 6f 706f737465725f62675f636f6c6f72 68 6666303030303830"
                   " 67 726174696e6773 a2 64 696d6462 fb 401e000000000000 64 75736572 03 64 74797065 64 66696c6d")
            << QByteArray(R"({"id": 5501, "short_name": "", "name": "Film", "poster_bg_color": "ff000080",
                             "ratings": {"imdb": 7.5, "user": 3}, "type": "film"})")
            << 1;
        // {"click_url": "c", "show_url": "s", "links": {"click_url": "x"}}
        QTest::newRow("ad pixel: flat keys")
            << &fromCborBytes<AdPixel>
            << hex("a3 69 636c69636b5f75726c 61 63 68 73686f775f75726c 61 73 65 6c696e6b73 a1 69 636c69636b5f75726c 61 78")
            << QByteArray(R"({"links": {"click_url": "c", "show_url": "s"}})") << -1;
        // {"is_valid": true, "type": "screen", "link": {"screen_name": "search"}}
        QTest::newRow("target: validity from the map")
            << &fromCborBytes<TargetForMenu>
            << hex("a3 68 69735f76616c6964 f5 64 74797065 66 73637265656e 64 6c696e6b a1 6b 73637265656e5f6e616d65 66 736561726368")
            << QByteArray(R"({"type": "screen", "link": {"screen_name": "search"}})") << 1;
        // 55799({"total_items": 1, "items": [{"id": 1001, "name": "First", "themes": [5, 7],
        //  "is_favorite": true, "epgs": [{"id": 9, "end_time": 200}]}]})
        QTest::newRow("channel list, tagged")
            << &fromCborBytes<GetChannelsResponse>
            << hex("d9d9f7 a2 6b 746f74616c5f6974656d73 01 65 6974656d73 81 a5 62 6964 1903e9 64 6e616d65 65 4669727374"
                   " 66 7468656d6573 82 05 07 6b 69735f6661766f72697465 f5 64 65706773 81 a2 62 6964 09 68 656e645f74696d65 18c8")
            << QByteArray(R"({"total_items": 1, "items": [{"id": 1001, "name": "First", "themes": [5, 7],
                             "is_favorite": true, "epgs": [{"id": 9, "end_time": 200}]}]})")
            << -1;
        // {"epg": {"id": 9, "name": "News"}, "type": "epg"}
        QTest::newRow("union: member before type")
            << &fromCborBytes<ItemUnionBrief>
            << hex("a2 63 657067 a2 62 6964 09 64 6e616d65 64 4e657773 64 74797065 63 657067")
            << QByteArray(R"({"type": "epg", "epg": {"id": 9, "name": "News"}})") << -1;
    }

    void handWrittenCbor()
    {
        QFETCH(CborDecode, decode);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, json);
        QFETCH(int, valid);
        int validity = -1;
        const QJsonObject written = decode(bytes, &validity);
        const QString difference = firstDifference(QJsonDocument::fromJson(json).object(), written);
        QVERIFY2(difference.isEmpty(), qPrintable(difference + " in " + QJsonDocument(written).toJson(QJsonDocument::Compact)));
        QCOMPARE(validity, valid);
    }

    // A handful of paths that tell a wrong tree shape (inner nodes, leaves, case).
    void targets_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("screenName");
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<QString>("mediaItemType");
        QTest::addColumn<bool>("supported");
        QTest::newRow("screen/search") << "screen" << "search" << "" << "" << true;
        QTest::newRow("screen/settings/voice_assistant") << "screen" << "settings/voice_assistant" << "" << "" << true;
        QTest::newRow("screen/unknown") << "screen" << "games" << "" << "" << false;
        QTest::newRow("screen alone") << "screen" << "" << "" << "" << false;
        QTest::newRow("media_item/film") << "media_item" << "" << "" << "film" << true;
        QTest::newRow("content type wins") << "media_item" << "" << "media_item" << "film" << false;
        QTest::newRow("leaf with a screen name") << "channel" << "search" << "" << "" << false;
        QTest::newRow("leaf") << "qa_program" << "" << "" << "" << true;
        QTest::newRow("player/karaoke_item") << "player" << "" << "karaoke_item" << "" << true;
        QTest::newRow("name of a second level") << "film" << "" << "" << "" << false;
        QTest::newRow("case") << "Screen" << "search" << "" << "" << false;
    }

    void targets()
    {
        QFETCH(QString, type);
        QFETCH(QString, screenName);
        QFETCH(QString, contentType);
        QFETCH(QString, mediaItemType);
        QFETCH(bool, supported);
        TargetForMenu target;
        target.type = type;
        target.link.screenName = screenName;
        target.link.contentType = contentType;
        target.link.mediaItemType = mediaItemType;
        if (!supported)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("TqHelpers.*isTargetSupported not supported target type:"));
        QCOMPARE(isTargetSupported(target), supported);
    }

    void channelGuideAndCopies()
    {
        ChannelBrief channel;
        channel.fromJson(samples::objectSamples("channels").value("ChannelBrief").toObject());
        const qint64 firstEnd = channel.epgs().first().endTime();
        ChannelBrief copy = channel;
        copy.setFavorite(!channel.isFavorite());
        QCOMPARE(copy.removeFirstProgram(), channel.epgs().size() - 1);
        QVERIFY(copy.isFavorite() != channel.isFavorite());
        QCOMPARE(channel.firstProgramEndTime(), firstEnd);
        QVERIFY(copy.firstProgramEndTime() != firstEnd);

        ChannelBrief bare;
        bare.fromJson(QJsonObject{{"id", 5}, {"name", "No guide"}});
        QVERIFY(bare.isValid() && !bare.hasEpg());
        QCOMPARE(bare.firstProgramEndTime(), 0);
        QCOMPARE(bare.removeFirstProgram(), 0);
    }

    void guideItemChannelInfo()
    {
        const QJsonObject json = samples::objectSamples("epg").value("EPGItemBrief").toObject();
        ChannelInfo mine;
        mine.id = 77;
        EPGItemBrief item;
        item.fromJsonWithChannelInfo(json, &mine);
        QCOMPARE(item.channelInfo().id, 77);
        item.fromJson(json);
        QCOMPARE(item.channelInfo().id, 1001);
        QJsonObject without = json;
        without.remove("channel_info");
        item.fromJson(without); // an absent one resets what the item had
        QCOMPARE(item.channelInfo().id, -1);
        QCOMPARE(item.channelInfo().number, -1);
    }
};

QTEST_GUILESS_MAIN(TestObjects)
#include "tst_objects.moc"
