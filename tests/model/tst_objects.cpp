// Every declared object against its realistic sample (testing/objectsamples/<family>.json):
// decoding keeps every key the sample has, what is written reads back the same, and the
// CBOR form of the sample decodes to the same object. Then the objects' own rules.

#include "model/account.h"
#include "model/b2b.h"
#include "model/cborreader.h"
#include "model/channels.h"
#include "model/decode.h"
#include "model/devices.h"
#include "model/epg.h"
#include "model/fieldcodec.h"
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

namespace {

struct ObjectCodec
{
    QJsonObject (*decoded)(const QJsonObject&);
    QJsonObject (*decodedFromCbor)(const QJsonObject&); // null: the object has no CBOR form
    const char* answerName;                              // null: the object is no answer
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
std::pair<QString, ObjectCodec> entry(const char* name)
{
    return {QString::fromLatin1(name), {&decoded<T>, nullptr, answerName<T>()}};
}

template<class T>
std::pair<QString, ObjectCodec> cborEntry(const char* name)
{
    static_assert(std::is_base_of_v<AbstractCborObject, T>);
    return {QString::fromLatin1(name), {&decoded<T>, &decodedFromCbor<T>, answerName<T>()}};
}

// One line per declared object, named as in the samples.
const QHash<QString, ObjectCodec>& objects()
{
    static const QHash<QString, ObjectCodec> table{
        cborEntry<CdnToken>("CdnToken"),
        cborEntry<ChannelSource>("ChannelSource"),
        entry<ContentAsset>("ContentAsset"),
        entry<Assets>("Assets"),
        entry<GetDrmSettingsResponse>("GetDrmSettingsResponse"),
        // account
        entry<NewSessionResponse>("NewSessionResponse"),
        entry<UpdateTokenResponse>("UpdateTokenResponse"),
        entry<DiscoverServicesResponse>("DiscoverServicesResponse"),
        entry<WsTokenResponse>("WsTokenResponse"),
        entry<LifeCheckResponse>("LifeCheckResponse"),
        entry<Timezone>("Timezone"),
        entry<GetTimezonesResponse>("GetTimezonesResponse"),
        entry<SystemInfoResponse>("SystemInfoResponse"),
        entry<GetAccountSummaryResponse>("GetAccountSummaryResponse"),
        entry<AccountB2BInfo>("AccountB2BInfo"),
        entry<BlockScreen>("BlockScreen"),
        entry<GetAccountSettingsResponse>("GetAccountSettingsResponse"),
        entry<GetToggleButtonTargetResponse>("GetToggleButtonTargetResponse"),
        cborEntry<ServiceTabBrief>("ServiceTabBrief"),
        entry<GetServiceTabsListResponse>("GetServiceTabsListResponse"),
        entry<CheckLoginResponse>("CheckLoginResponse"),
        entry<RegisterAccountResponse>("RegisterAccountResponse"),
        entry<SendEmailCodeResponse>("SendEmailCodeResponse"),
        entry<SendSmsResponse>("SendSmsResponse"),
        entry<ValidatePinCodeResponse>("ValidatePinCodeResponse"),
        entry<SuccessResponse>("SuccessResponse"),
        entry<CancelSubscriptionResponse>("CancelSubscriptionResponse"),
        entry<HelloMessageResponse>("HelloMessageResponse"),
        entry<OfferUser>("OfferUser"),
        entry<GetCurrentLocationResponse>("GetCurrentLocationResponse"),
        entry<FeatureToggle>("FeatureToggle"),
        entry<GetFeatureTogglesResponse>("GetFeatureTogglesResponse"),
        entry<GetLanguagesResponse>("GetLanguagesResponse"),
        entry<GetLocationsResponse>("GetLocationsResponse"),
        entry<GetFeatureToggleConfigurationResponse>("GetFeatureToggleConfigurationResponse"),
        entry<AdvertisingSettingsResponse>("AdvertisingSettingsResponse"),
        entry<GetShopTvSettingsResponse>("GetShopTvSettingsResponse"),
        entry<GetContentDrmTokenResponse>("GetContentDrmTokenResponse"),
        entry<IdFavoriteResponse>("IdFavoriteResponse"),
        entry<IdReminderResponse>("IdReminderResponse"),
        entry<AdminSettingsColdStartLoadingScreen>("AdminSettingsColdStartLoadingScreen"),
        entry<PostColdStartContentResponse>("PostColdStartContentResponse"),
        // b2b
        entry<B2bMenuItem::Size>("B2bMenuItem::Size"),
        entry<B2bMenuItem>("B2bMenuItem"),
        entry<B2bSubMenuItem>("B2bSubMenuItem"),
        entry<B2bImageBanner::Content>("B2bImageBanner::Content"),
        entry<B2bImageBanner>("B2bImageBanner"),
        entry<B2bMediaViewItemUnion>("B2bMediaViewItemUnion"),
        entry<B2bMediaBlockRendered>("B2bMediaBlockRendered"),
        entry<B2bMediaViewRendered::Background>("B2bMediaViewRendered::Background"),
        entry<B2bMediaViewRendered>("B2bMediaViewRendered"),
        // channels
        cborEntry<TimeshiftOptionsChannel>("TimeshiftOptionsChannel"),
        cborEntry<ChannelBrief>("ChannelBrief"),
        entry<Channel>("Channel"),
        cborEntry<GetChannelsResponse>("GetChannelsResponse"),
        entry<GetProfileChannelsResponse>("GetProfileChannelsResponse"),
        entry<GetTvDictionariesResponse>("GetTvDictionariesResponse"),
        entry<RadioChannelSourceUser>("RadioChannelSourceUser"),
        entry<RadioChannel>("RadioChannel"),
        entry<GetRadioChannelsResponse>("GetRadioChannelsResponse"),
        entry<CanvasResponse::Item>("CanvasResponse::Item"),
        entry<CanvasResponse>("CanvasResponse"),
        // devices
        entry<DeviceUserBrief>("DeviceUserBrief"),
        entry<ListDevicesResponse>("ListDevicesResponse"),
        entry<VideoOutput>("VideoOutput"),
        entry<Assistant>("Assistant"),
        entry<AssistantConnectionResponse>("AssistantConnectionResponse"),
        entry<NewAssistantCodeResponse>("NewAssistantCodeResponse"),
        // epg
        cborEntry<ChannelInfo>("ChannelInfo"),
        cborEntry<TimeshiftOptionsEpg>("TimeshiftOptionsEpg"),
        cborEntry<EPGItemBrief>("EPGItemBrief"),
        entry<ChannelEpg>("ChannelEpg"),
        entry<GetEPGResponse>("GetEPGResponse"),
        // items
        cborEntry<ItemUnionBrief>("ItemUnionBrief"),
        cborEntry<SearchItemUnion>("SearchItemUnion"),
        cborEntry<SearchItemUnionGroup>("SearchItemUnionGroup"),
        cborEntry<MediaPositionItemUnion>("MediaPositionItemUnion"),
        entry<GetSearchResponse>("GetSearchResponse"),
        entry<GetGroupSearchResponse>("GetGroupSearchResponse"),
        entry<GetRemindersResponse>("GetRemindersResponse"),
        entry<GetServiceItemsResponse>("GetServiceItemsResponse"),
        entry<ListMyCollectionResponse>("ListMyCollectionResponse"),
        entry<GetMediaPositionsResponse>("GetMediaPositionsResponse"),
        entry<Person>("Person"),
        entry<PersonContentItems>("PersonContentItems"),
        entry<GetMediaItemPersonsResponse>("GetMediaItemPersonsResponse"),
        entry<GetPersonRolesResponse>("GetPersonRolesResponse"),
        entry<GetPersonContentItemsResponse>("GetPersonContentItemsResponse"),
        // media
        cborEntry<MediaItemBrief>("MediaItemBrief"),
        entry<Genre>("Genre"),
        entry<ContentFilterOption>("ContentFilterOption"),
        entry<ContentFilterUser>("ContentFilterUser"),
        entry<ContentFilterUserBrief>("ContentFilterUserBrief"),
        entry<ContentFilterThemeUser>("ContentFilterThemeUser"),
        entry<SortBrief>("SortBrief"),
        entry<GetMediaItemByIDResponse>("GetMediaItemByIDResponse"),
        entry<GetMediaItemsResponse>("GetMediaItemsResponse"),
        entry<CollectionItemsResponse>("CollectionItemsResponse"),
        cborEntry<CollectionBrief>("CollectionBrief"),
        entry<CollectionResponse>("CollectionResponse"),
        entry<CollectionsResponse>("CollectionsResponse"),
        cborEntry<KaraokeArtist>("KaraokeArtist"),
        cborEntry<KaraokeItemBrief>("KaraokeItemBrief"),
        entry<GetKaraokeItemsResponse>("GetKaraokeItemsResponse"),
        entry<GetKaraokeItemByIDResponse>("GetKaraokeItemByIDResponse"),
        entry<SortsResponse>("SortsResponse"),
        entry<FiltersResponse>("FiltersResponse"),
        entry<ContentFilterThemesResponse>("ContentFilterThemesResponse"),
        entry<GetContentTypesResponse>("GetContentTypesResponse"),
        entry<GetAgeLimitsResponse>("GetAgeLimitsResponse"),
        // menus
        cborEntry<TargetLinkFilter>("TargetLinkFilter"),
        cborEntry<TargetLink>("TargetLink"),
        cborEntry<TargetForMenu>("TargetForMenu"),
        cborEntry<MenuItemUserBrief>("MenuItemUserBrief"),
        entry<Menu>("Menu"),
        cborEntry<AdPixel>("AdPixel"),
        entry<AdvertiserInfo>("AdvertiserInfo"),
        cborEntry<BannerBrief>("BannerBrief"),
        entry<ContentInfo>("ContentInfo"),
        // messages
        cborEntry<PollItem>("PollItem"),
        cborEntry<MessagesListUser>("MessagesListUser"),
        entry<GetMessageByIdResponse>("GetMessageByIdResponse"),
        entry<GetMessagesResponse>("GetMessagesResponse"),
        cborEntry<FaqItem>("FaqItem"),
        cborEntry<FaqSectionItem>("FaqSectionItem"),
        entry<GetFaqListResponse>("GetFaqListResponse"),
        entry<GetScreensaverResponse>("GetScreensaverResponse"),
        // offers
        cborEntry<Currency>("Currency"),
        cborEntry<PurchaseFeature>("PurchaseFeature"),
        cborEntry<Option::Content>("Option::Content"),
        cborEntry<Option::Service>("Option::Service"),
        cborEntry<Option::Period::Price::Trial>("Option::Period::Price::Trial"),
        cborEntry<Option::Period::Price::Intro>("Option::Period::Price::Intro"),
        cborEntry<Option::Period::Price::Discount>("Option::Period::Price::Discount"),
        cborEntry<Option::Period::Price::BonusProgram>("Option::Period::Price::BonusProgram"),
        cborEntry<Option::Period::Price>("Option::Period::Price"),
        cborEntry<Option::Period>("Option::Period"),
        cborEntry<Option>("Option"),
        cborEntry<PurchaseVariant>("PurchaseVariant"),
        cborEntry<PurchaseState::Service::Autopayment>("PurchaseState::Service::Autopayment"),
        cborEntry<PurchaseState::Service::ChargeDetails::Details>("PurchaseState::Service::ChargeDetails::Details"),
        cborEntry<PurchaseState::Service::ChargeDetails>("PurchaseState::Service::ChargeDetails"),
        cborEntry<PurchaseState::Service::ParentService>("PurchaseState::Service::ParentService"),
        cborEntry<PurchaseState::Service::ExternalBilling>("PurchaseState::Service::ExternalBilling"),
        cborEntry<PurchaseState::Service>("PurchaseState::Service"),
        cborEntry<PurchaseState>("PurchaseState"),
        cborEntry<Action>("Action"),
        // payments
        entry<BankCardUser>("BankCardUser"),
        entry<PaymentMethodUser>("PaymentMethodUser"),
        entry<PaymentTypeUser>("PaymentTypeUser"),
        entry<GetPaymentMethodsByTypesResponse>("GetPaymentMethodsByTypesResponse"),
        cborEntry<BankCard>("BankCard"),
        entry<GetBankCardsResponse>("GetBankCardsResponse"),
        entry<AddBankCardResponse>("AddBankCardResponse"),
        entry<BuyContentResponse>("BuyContentResponse"),
        entry<AccountRefillResponse>("AccountRefillResponse"),
        entry<TicketUser>("TicketUser"),
        entry<PurchaseAvailabilityResponse>("PurchaseAvailabilityResponse"),
        entry<ContentAvailabilityResponse>("ContentAvailabilityResponse"),
        cborEntry<PurchaseHistoryPaymentMethod>("PurchaseHistoryPaymentMethod"),
        cborEntry<PurchaseHistoryUser>("PurchaseHistoryUser"),
        entry<GetPurchasesHistoryResponse>("GetPurchasesHistoryResponse"),
        entry<GetPurchasesHistoryByIDResponse>("GetPurchasesHistoryByIDResponse"),
        entry<UserBonusProgramCurrency>("UserBonusProgramCurrency"),
        entry<UserBonusProgramBrief>("UserBonusProgramBrief"),
        entry<GetBonusProgramByIdResponse>("GetBonusProgramByIdResponse"),
        entry<GetBonusProgramsResponse>("GetBonusProgramsResponse"),
        entry<ActionBonusProgramResponse>("ActionBonusProgramResponse"),
        entry<RegisterBonusProgramResponse>("RegisterBonusProgramResponse"),
        entry<ChangeLoginBonusProgramResponse>("ChangeLoginBonusProgramResponse"),
        entry<ConfirmBonusProgramResponse>("ConfirmBonusProgramResponse"),
        entry<Certificate>("Certificate"),
        entry<GetCertificatesResponse>("GetCertificatesResponse"),
        // profiles
        entry<ProfileIcon>("ProfileIcon"),
        entry<GetProfileIconsResponse>("GetProfileIconsResponse"),
        cborEntry<ProfileIconItem>("ProfileIconItem"),
        entry<PurchaseLimits>("PurchaseLimits"),
        entry<ViewLimits>("ViewLimits"),
        entry<ProfileBrief>("ProfileBrief"),
        entry<ListProfilesResponse>("ListProfilesResponse"),
        entry<ContentViewResponse>("ContentViewResponse"),
        entry<PostPreviewResponse>("PostPreviewResponse"),
        entry<MediaPositionIDResponse>("MediaPositionIDResponse"),
        // records
        cborEntry<AgeLevel>("AgeLevel"),
        cborEntry<NamedId>("NamedId"),
        cborEntry<MediaPositionBrief>("MediaPositionBrief"),
        entry<SeriesMediaPosition>("SeriesMediaPosition"),
        cborEntry<Ratings>("Ratings"),
        cborEntry<Label>("Label"),
        cborEntry<MediaFile>("MediaFile"),
        cborEntry<SkippableFragment>("SkippableFragment"),
        entry<PreviewDurationBrief>("PreviewDurationBrief"),
        cborEntry<ContentType>("ContentType"),
        cborEntry<LanguageBrief>("LanguageBrief"),
        entry<TrackInfo>("TrackInfo"),
        entry<ReminderBrief>("ReminderBrief"),
        cborEntry<LocationBrief>("LocationBrief"),
        entry<FilteredChannels>("FilteredChannels"),
        // screens
        entry<AbTestTemplate>("AbTestTemplate"),
        entry<MediaViewItemUnion>("MediaViewItemUnion"),
        entry<MediaBlockRendered>("MediaBlockRendered"),
        entry<MediaViewRendered>("MediaViewRendered"),
        entry<ScreensaverMediaFile>("ScreensaverMediaFile"),
        entry<GetSplashScreenResponse>("GetSplashScreenResponse"),
        entry<RecomColdStartContent>("RecomColdStartContent"),
        entry<RecomColdStartGenreBrief>("RecomColdStartGenreBrief"),
        entry<GetColdStartGenresResponse>("GetColdStartGenresResponse"),
        entry<GetColdStartContentResponse>("GetColdStartContentResponse"),
        // services
        cborEntry<Service>("Service"),
        cborEntry<SubServiceBrief>("SubServiceBrief"),
        entry<ServiceBrief>("ServiceBrief"),
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

    void assetsValidity()
    {
        Assets assets;
        QVERIFY(!assets.isValid());
        assets.fromJson(QJsonObject{{"preview_assets", QJsonArray{QJsonObject{{"id", 1}}}}});
        QVERIFY(assets.isValid());
    }

    void licenseServersByProvider()
    {
        GetDrmSettingsResponse settings;
        settings.fromJson(samples::objectSamples("playback").value("GetDrmSettingsResponse").toObject());
        QCOMPARE(settings.licenseServers.size(), 2);
        QCOMPARE(settings.licenseServers.value("widevine").value("backup"), QString("https://drm2.tv.example/wv"));
        QCOMPARE(settings.licenseServers.value("playready").keys(), QStringList{"default"});
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

    void unionFromCborInAnyOrder()
    {
        QCborMap map;
        map.insert(QLatin1String("karaoke_item"), QCborMap{{QLatin1String("id"), 8801}});
        map.insert(QLatin1String("type"), QLatin1String("karaoke_item"));
        ItemUnionBrief item;
        CborReader reader(QCborValue(map).toCbor());
        item.fromCbor(reader);
        QVERIFY(item.karaokeItem && !item.channel);
        QCOMPARE(item.type, ContentItemType::KaraokeItem);
        QCOMPARE(item.toAnalyticsJson(), (QJsonObject{{"type", "karaoke_item"}, {"id", 8801}}));
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

    void blockValidity_data()
    {
        QTest::addColumn<QJsonArray>("items");
        QTest::addColumn<bool>("valid");
        const QJsonObject film{{"type", "media_item"}, {"media_item", QJsonObject{{"id", 5501}}}};
        QTest::newRow("items with ids") << QJsonArray{film, QJsonObject{{"type", "banner"}, {"banner", QJsonObject{{"id", 3}}}}}
                                        << true;
        QTest::newRow("one id is 0") << QJsonArray{film, QJsonObject{{"type", "channel"}, {"channel", QJsonObject{{"id", 0}}}}}
                                     << false;
        QTest::newRow("nothing engaged") << QJsonArray{QJsonObject{{"type", "radio"}}} << false;
        QTest::newRow("no items") << QJsonArray{} << false;
    }

    void blockValidity()
    {
        QFETCH(QJsonArray, items);
        QFETCH(bool, valid);
        MediaBlockRendered block;
        block.fromJson(QJsonObject{{"type", "horizontal"}, {"items", items}});
        QCOMPARE(block.isValid(), valid);
    }

    // The same channel list as JSON and as CBOR gives the same objects.
    void channelListJsonAndCborAgree()
    {
        const QVariant fromJson = decodeJson<GetChannelsResponse>(samples::channelListJson(300, 10));
        const QVariant fromCbor = decodeCbor<GetChannelsResponse>(samples::channelListCbor(300, 10));
        const auto& json = *static_cast<const GetChannelsResponse*>(fromJson.constData());
        const auto& cbor = *static_cast<const GetChannelsResponse*>(fromCbor.constData());
        QCOMPARE(cbor.items.size(), 300);
        QCOMPARE(cbor.items.last().epgs().size(), 10);
        QCOMPARE(cbor.items.last().purchaseVariants().first().options.first().periods.first().prices.first().originalAmount,
                 29900);
        QCOMPARE(cbor.toJson(), json.toJson());
    }
};

QTEST_GUILESS_MAIN(TestObjects)
#include "tst_objects.moc"
