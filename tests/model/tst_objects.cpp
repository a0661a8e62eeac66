// Every declared object against its realistic sample (testing/objectsamples/<family>.json):
// decoding keeps every key the sample has, what is written reads back the same, and the
// CBOR form of the sample decodes to the same object. Then the objects' own rules.

#include "model/cborreader.h"
#include "model/account.h"
#include "model/devices.h"
#include "model/payments.h"
#include "model/playback.h"
#include "objectsamples.h"

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
};

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
    CborReader reader(QCborValue::fromJsonValue(json).toCbor());
    object.fromCbor(reader);
    return object.toJson();
}

// A list answer reads from CBOR only when its items do.
template<class T, class = void>
inline constexpr bool hasCborForm = std::is_base_of_v<AbstractCborObject, T>;
template<class T>
inline constexpr bool hasCborForm<T, std::void_t<typename T::ItemType>> =
    std::is_base_of_v<AbstractCborObject, typename T::ItemType>;

template<class T>
std::pair<QString, ObjectCodec> entry(const char* name)
{
    if constexpr (hasCborForm<T>)
        return {QString::fromLatin1(name), {&decoded<T>, &decodedFromCbor<T>}};
    else
        return {QString::fromLatin1(name), {&decoded<T>, nullptr}};
}

// One line per declared object, named as in the samples.
const QHash<QString, ObjectCodec>& objects()
{
    static const QHash<QString, ObjectCodec> table{
        entry<CdnToken>("CdnToken"),
        entry<ChannelSource>("ChannelSource"),
        entry<ContentAsset>("ContentAsset"),
        entry<Assets>("Assets"),
        entry<GetDrmSettingsResponse>("GetDrmSettingsResponse"),
        entry<BankCardUser>("BankCardUser"),
        entry<PaymentMethodUser>("PaymentMethodUser"),
        entry<PaymentTypeUser>("PaymentTypeUser"),
        entry<GetPaymentMethodsByTypesResponse>("GetPaymentMethodsByTypesResponse"),
        entry<BankCard>("BankCard"),
        entry<GetBankCardsResponse>("GetBankCardsResponse"),
        entry<AddBankCardResponse>("AddBankCardResponse"),
        entry<BuyContentResponse>("BuyContentResponse"),
        entry<AccountRefillResponse>("AccountRefillResponse"),
        entry<TicketUser>("TicketUser"),
        entry<PurchaseAvailabilityResponse>("PurchaseAvailabilityResponse"),
        entry<ContentAvailabilityResponse>("ContentAvailabilityResponse"),
        entry<PurchaseHistoryPaymentMethod>("PurchaseHistoryPaymentMethod"),
        entry<PurchaseHistoryUser>("PurchaseHistoryUser"),
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
        entry<DeviceUserBrief>("DeviceUserBrief"),
        entry<ListDevicesResponse>("ListDevicesResponse"),
        entry<VideoOutput>("VideoOutput"),
        entry<Assistant>("Assistant"),
        entry<AssistantConnectionResponse>("AssistantConnectionResponse"),
        entry<NewAssistantCodeResponse>("NewAssistantCodeResponse"),
        entry<NewSessionResponse>("NewSessionResponse"),
        entry<UpdateTokenResponse>("UpdateTokenResponse"),
        entry<DiscoverServicesResponse>("DiscoverServicesResponse"),
        entry<WsTokenResponse>("WsTokenResponse"),
        entry<LifeCheckResponse>("LifeCheckResponse"),
        entry<Timezone>("Timezone"),
        entry<GetTimezonesResponse>("GetTimezonesResponse"),
        entry<SystemInfoResponse>("SystemInfoResponse"),
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
        entry<GetFeatureToggleConfigurationResponse>("GetFeatureToggleConfigurationResponse"),
        entry<AdvertisingSettingsResponse>("AdvertisingSettingsResponse"),
        entry<GetShopTvSettingsResponse>("GetShopTvSettingsResponse"),
        entry<GetContentDrmTokenResponse>("GetContentDrmTokenResponse"),
        entry<IdFavoriteResponse>("IdFavoriteResponse"),
        entry<IdReminderResponse>("IdReminderResponse"),
        entry<AdminSettingsColdStartLoadingScreen>("AdminSettingsColdStartLoadingScreen"),
        entry<PostColdStartContentResponse>("PostColdStartContentResponse"),
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
};

QTEST_GUILESS_MAIN(TestObjects)
#include "tst_objects.moc"
