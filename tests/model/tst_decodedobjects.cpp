// Declared objects beyond the member rules of tst_fields: round trips, colours, shared
// blocks, the CBOR form of the same content, derived objects, list answers, the decode
// routines and the embedded notification.

#include "model/color.h"
#include "model/decode.h"
#include "model/fieldcodec.h"
#include "modelsamples.h"

#include <QCborValue>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace tq;
using samples::Channel;
using samples::ChannelsResponse;
using samples::Programme;

namespace {

QJsonObject parse(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

// Counts the notification events posted to the application object.
class NotificationEventCounter : public QObject
{
public:
    QList<QSharedPointer<Notification>> received;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == TqNotificationEvent::EventType)
            received.append(static_cast<TqNotificationEvent*>(event)->notification());
        return QObject::eventFilter(watched, event);
    }
};

// A derived object: the base's keys and one of its own.
class PriceWithCurrency : public DecodedObject<PriceWithCurrency, samples::Price>
{
    TQ_DECODED(PriceWithCurrency)
public:
    QString currency;

    static constexpr auto fields()
    {
        return std::tuple_cat(samples::Price::fields(),
                              std::make_tuple(field("currency", &PriceWithCurrency::currency)));
    }
};

TQ_DEFINE_OBJECT(PriceWithCurrency)

} // namespace

class TestDecodedObjects : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setEmbeddedNotificationFactory(nullptr); }

    void jsonEnumerationsAndLists()
    {
        Channel channel;
        channel.fromJson(parse(R"({"usage_model": "", "subscribe_mode": 7, "quality": "4K",
                                   "is_favorite": "true", "themes": [3, "x", 5],
                                   "advertising_place_type": ["a", 1],
                                   "age_level": {}, "epgs": [{"id": 1}, {}]})"));
        QCOMPARE(channel.usageModel(), UsageModel::NotPurchased);
        QCOMPARE(channel.subscribeMode(), SubscribeMode::Unknown);
        QCOMPARE(channel.quality(), QualityType::UltraHD);
        QCOMPARE(channel.isFavorite(), false);
        QCOMPARE(channel.themes(), (QList<qint64>{3, 0, 5}));
        QCOMPARE(channel.advertisingPlaceTypes(), (QStringList{"a", ""}));
        QCOMPARE(channel.ageLevel().id, qint64(-1));
        QCOMPARE(channel.epgs().size(), 2);
        QCOMPARE(channel.epgs().at(1).id(), qint64(-1));

        Channel absent;
        absent.fromJson(parse(R"({"subscribe_mode": 2})"));
        QCOMPARE(absent.usageModel(), UsageModel::NotPurchased); // an absent key reads as ""
        QCOMPARE(absent.subscribeMode(), SubscribeMode::CanSubscribeAndCanNotUnsubscribe);
        QVERIFY(absent.epgs().isEmpty());
    }

    void colours_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("eight digits") << "ff000080" << true << QColor(255, 0, 0, 128) << "ff000080";
        QTest::newRow("six digits are opaque") << "1A2b3c" << true << QColor(0x1a, 0x2b, 0x3c) << "1a2b3cff";
        QTest::newRow("bad pair gives 0") << "zz0000" << true << QColor(0, 0, 0) << "000000ff";
        QTest::newRow("half bad pair gives 0") << "f+00ff" << true << QColor(0, 0, 255) << "0000ffff";
        QTest::newRow("three digits") << "f00" << false << QColor() << "";
        QTest::newRow("with hash") << "#ff0000" << false << QColor() << "";
        QTest::newRow("empty") << "" << false << QColor() << "";
    }

    void colours()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QColor, colour);
        QFETCH(QString, encoded);
        const QColor decoded = colorFromHexString(text);
        QCOMPARE(decoded.isValid(), valid);
        if (valid)
            QCOMPARE(decoded.rgba(), colour.rgba());
        QCOMPARE(colorToHexString(decoded), encoded);
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(colorFromHexString(utf8.constData(), utf8.size()), decoded);
    }

    // JSON -> object -> JSON keeps every declared key; unknown keys are dropped.
    void jsonRoundTrip_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("empty list") << 0;
        QTest::newRow("five channels") << 5;
    }

    void jsonRoundTrip()
    {
        QFETCH(int, count);
        const QJsonObject answer = samples::channelsAnswer(count);
        ChannelsResponse response;
        response.fromJson(answer);
        QCOMPARE(response.items.size(), count);
        const QJsonObject written = response.toJson();

        ChannelsResponse again;
        again.fromJson(written);
        QCOMPARE(again.toJson(), written);
        QCOMPARE(written.value("total_items").toInteger(), qint64(count));
        QCOMPARE(written.value("applied_sort").toObject().value("alias").toString(), QString("number"));
        for (int i = 0; i < count; ++i) {
            QJsonObject expected = answer.value("items").toArray().at(i).toObject();
            expected.remove("unknown_block");
            QJsonObject actual = written.value("items").toArray().at(i).toObject();
            // Colours come back with their alpha; a bad colour comes back empty.
            const QString colour = expected.value("poster_bg_color").toString();
            QCOMPARE(actual.take("poster_bg_color").toString(),
                     colorToHexString(colorFromHexString(colour)));
            expected.remove("poster_bg_color");
            // Only the programmes' declared keys, and "short_name" is absent there.
            QCOMPARE(actual.value("epgs").toArray().size(), expected.value("epgs").toArray().size());
            actual.remove("epgs");
            expected.remove("epgs");
            QCOMPARE(actual, expected);
        }
    }

    void appliedSortWrittenOnlyWhenValid()
    {
        ChannelsResponse response;
        response.fromJson(parse(R"({"items": [], "applied_sort": {"alias": ""}})"));
        const QJsonObject json = response.toJson();
        QVERIFY(!json.contains("applied_sort"));
        QVERIFY(json.contains("applied_filters"));
        QCOMPARE(json.value("items").toArray().size(), 0);

        response.appliedSort.name = "By name";
        response.fromJson(parse(R"({"total_items": 3})")); // guarded keys stay as they were
        QCOMPARE(response.appliedSort.name, QString("By name"));
        QCOMPARE(response.totalItems, qint64(3));
    }

    // The CBOR form of the same answer decodes to the same object as the JSON form.
    void cborMatchesJson()
    {
        ChannelsResponse fromJson;
        fromJson.fromJson(samples::channelsAnswer(12));
        const QVariant decoded = decodeCbor<ChannelsResponse>(samples::channelsAnswerCbor(12));
        const auto fromCbor = decoded.value<ChannelsResponse>();
        QCOMPARE(fromCbor.items.size(), 12);
        QCOMPARE(fromCbor.toJson(), fromJson.toJson());
        QCOMPARE(fromCbor.items.at(1).epgs().at(2).prices.at(0).type, PriceType::Full);
    }

    // One key differs between the forms: each form reads only its own spelling.
    void cborKeyDiffersFromJsonKey()
    {
        const QJsonObject both{{"original_amount", 5}, {"originalAmount", 7}};
        samples::Price fromJson;
        fromJson.fromJson(both);
        QCOMPARE(fromJson.originalAmount, 5);
        samples::Price fromCbor;
        CborReader reader(QCborValue::fromJsonValue(both).toCbor());
        QCOMPARE(fromCbor.fromCbor(reader), 0);
        QCOMPARE(fromCbor.originalAmount, 7);
        QCOMPARE(fromCbor.toJson().value("original_amount").toInt(), 7);
    }

    void derivedObjectReadsBaseKeys()
    {
        const QJsonObject json{{"price_id", 4}, {"type", "trial"}, {"currency", "EUR"}, {"other", 1}};
        PriceWithCurrency fromJson;
        fromJson.fromJson(json);
        PriceWithCurrency fromCbor;
        CborReader reader(QCborValue::fromJsonValue(json).toCbor());
        QCOMPARE(fromCbor.fromCbor(reader), 0);
        for (const PriceWithCurrency* price : {&fromJson, &fromCbor}) {
            QCOMPARE(price->priceId, qint64(4));
            QCOMPARE(price->type, PriceType::Trial);
            QCOMPARE(price->currency, QString("EUR"));
        }
        QCOMPARE(fromCbor.toJson().value("currency").toString(), QString("EUR"));
        QCOMPARE(fromCbor.toJson().value("type").toString(), QString("trial"));
    }

    void jsonOnlyKeyIgnoredInCbor()
    {
        const QJsonObject json{{"short_name", "N"}, {"name", "News"}};
        Programme programme;
        CborReader reader(QCborValue::fromJsonValue(json).toCbor());
        programme.fromCbor(reader);
        QCOMPARE(programme.name, QString("News"));
        QVERIFY(programme.shortName.isEmpty());
    }

    void sharedBlockCopiesOnWrite()
    {
        Channel channel(5);
        channel.fromJson(parse(R"({"id": 5, "name": "One", "is_favorite": false})"));
        Channel copy = channel;
        copy.setFavorite(true);
        QCOMPARE(channel.isFavorite(), false);
        QCOMPARE(copy.isFavorite(), true);
        QCOMPARE(copy.name(), QString("One"));
        copy.fromJson(parse(R"({"id": 6, "name": "Two"})"));
        QCOMPARE(channel.name(), QString("One"));
        QCOMPARE(channel.id(), qint64(5));
        QCOMPARE(copy.id(), qint64(6));
    }

    void decodeJsonAnswer_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("items");
        QTest::addColumn<qint64>("total");
        QTest::newRow("array answer") << QByteArray("[]") << 0 << qint64(0);
        QTest::newRow("not json") << QByteArray("{\"total_items\": 4") << 0 << qint64(0);
        QTest::newRow("empty object") << QByteArray("{}") << 0 << qint64(0);
        QTest::newRow("list") << samples::channelsAnswerJson(3) << 3 << qint64(3);
    }

    void decodeJsonAnswer()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, items);
        QFETCH(qint64, total);
        const QVariant decoded = decodeJson<ChannelsResponse>(body);
        QVERIFY(decoded.canConvert<ChannelsResponse>());
        const auto response = decoded.value<ChannelsResponse>();
        QCOMPARE(response.items.size(), items);
        QCOMPARE(response.totalItems, total);
        QVERIFY(response.notification().isNull());
    }

    // The hook builds the notification; the routine stores it and posts one event.
    void embeddedNotification_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("factorySet");
        QTest::addColumn<int>("posted");
        QTest::newRow("with notification") << QByteArray(R"({"notification": {"event_code": 3}})") << true << 1;
        QTest::newRow("without notification") << QByteArray(R"({"total_items": 1})") << true << 0;
        QTest::newRow("no factory installed") << QByteArray(R"({"notification": {"event_code": 3}})") << false << 0;
    }

    void embeddedNotification()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, factorySet);
        QFETCH(int, posted);

        // A stand-in for the notification model: an opaque token that is never dereferenced.
        static char token;
        QJsonObject seen;
        if (factorySet) {
            setEmbeddedNotificationFactory([&seen](const QJsonObject& object) {
                seen = object;
                return QSharedPointer<Notification>(reinterpret_cast<Notification*>(&token), [](Notification*) {});
            });
        }
        NotificationEventCounter counter;
        QCoreApplication::instance()->installEventFilter(&counter);

        const auto response = decodeJson<ChannelsResponse>(body).value<ChannelsResponse>();
        QCOMPARE(response.notification().isNull(), posted == 0);
        QCoreApplication::sendPostedEvents();
        QTRY_COMPARE(counter.received.size(), posted);
        if (posted) {
            QCOMPARE(seen.value("event_code").toInt(), 3);
            QCOMPARE(counter.received.first(), response.notification());
        }
        QCoreApplication::instance()->removeEventFilter(&counter);
    }

    void defaultValidityIsLogged()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("implement this method for response before using"));
        QVERIFY(ChannelsResponse().AbstractResponse::isValid());
    }
};

QTEST_GUILESS_MAIN(TestDecodedObjects)
#include "tst_decodedobjects.moc"
