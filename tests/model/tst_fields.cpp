// The conversion rules of every kind of declared member, once, through the probe objects:
// absent, null, mistyped and valid values in JSON and in CBOR, the write-back of each,
// list answers with keys of their own, unions, keys of one form, shared blocks, bodies that
// are no answer, validity and meta-type registration.

#include "model/cborreader_p.h"
#include "model/decode.h"
#include "model/fieldcodec_p.h" // visitSelected
#include "modelprobe.h"

#include <QCborValue>
#include <QJsonDocument>
#include <QMetaType>
#include <QRegularExpression>
#include <QTest>

using namespace tq;
using probe::ProbeObject;

namespace {

// Every member set to a value no rule produces by default.
const char* const Filled = R"({
    "id": 7, "text": "T", "flag": true, "count": 5, "small": 6, "ratio": 2.5, "color": "10203040",
    "kind": "trial", "mode": 1, "short_kind": "T", "ref_id": 8, "width": 3, "guarded": 4,
    "maybe_count": 9, "maybe_flag": false, "maybe_level": {"age_value": 12, "id": 2, "name": "12+"},
    "level": {"age_value": 16, "id": 3, "name": "16+"}, "names": ["a", "b"], "ref_ids": [1, 2],
    "levels": [{"age_value": 18, "id": 4, "name": "18+"}], "kinds": ["full", "bonus"],
    "urls": {"hls": "u-hls", "dash": "u-dash"}, "servers": {"widevine": {"urls": {"main": "u-main"}}},
    "any": {"x": [1]}, "array": [1, "two"], "object": {"k": true},
    "links": {"click_url": "u-click"}, "label": "L"})";
// The object the text member "track" carries.
const char* const FilledTrack = R"({"age_value":6,"id":1,"name":"6+"})";

// A JSON text value holding `json` (moc cannot read escaped quotes in raw strings).
QString textOf(const char* json)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{QString::fromUtf8(json)}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

QJsonValue fragment(const QString& text)
{
    return QJsonDocument::fromJson(("[" + text + "]").toUtf8()).array().at(0);
}

// The value under a key path ("links/click_url"), undefined when absent.
QJsonValue valueAt(const QJsonObject& json, const QString& path)
{
    const QStringList keys = path.split('/');
    QJsonValue value = json;
    for (const QString& key : keys)
        value = value.toObject().value(key);
    return value;
}

QJsonObject objectAt(const QString& path, const QJsonValue& value)
{
    const QStringList keys = path.split('/');
    QJsonValue built = value;
    for (qsizetype i = keys.size() - 1; i >= 0; --i)
        built = QJsonObject{{keys.at(i), built}};
    return built.toObject();
}

ProbeObject filled()
{
    QJsonObject json = QJsonDocument::fromJson(Filled).object();
    json.insert("track", QString::fromUtf8(FilledTrack));
    ProbeObject probe;
    probe.fromJson(json);
    return probe;
}

// "=": the filled value is kept; "-": the key is not written; else the JSON written back.
void compareWritten(const ProbeObject& probe, const QString& path, const QString& expected, const char* format)
{
    const QJsonValue written = valueAt(probe.toJson(), path);
    const QJsonValue wanted = expected == "=" ? valueAt(filled().toJson(), path)
                              : expected == "-" ? QJsonValue(QJsonValue::Undefined)
                                                : fragment(expected);
    if (written != wanted) {
        const auto text = [](const QJsonValue& v) {
            return v.isUndefined() ? QByteArray("(absent)") : QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
        };
        QFAIL(qPrintable(QStringLiteral("%1: wrote %2, expected %3").arg(format, text(written), text(wanted))));
    }
}

QByteArray cborKey(const QString& key)
{
    const QByteArray utf8 = key.toUtf8();
    return char(0x60 + utf8.size()) + utf8;
}

} // namespace

class TestFields : public QObject
{
    Q_OBJECT

private slots:
    // Answers are registered by name when the library loads, before any use.
    void initTestCase()
    {
        QVERIFY(QMetaType::fromName("tq::probe::ProbeListResponse").isValid());
        QVERIFY(QMetaType::fromName("tq::samples::ChannelsResponse").isValid());
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("key");   // JSON path; CBOR reads its last key flat
        QTest::addColumn<QString>("input"); // JSON value, "-" for an absent key
        QTest::addColumn<QString>("json");  // written back after a JSON decode
        QTest::addColumn<QString>("cbor");  // written back after a CBOR decode
        QTest::addColumn<QByteArray>("cborValue"); // raw CBOR value instead of the input's form

        const auto row = [](const char* name, const char* key, const QString& input, const QString& json,
                            const QString& cbor, const char* cborHex = "") {
            QTest::newRow(name) << key << input << json << cbor << QByteArray::fromHex(cborHex);
        };
        row("text absent", "text", "-", R"("")", "=");
        row("text null", "text", "null", R"("")", "=");
        row("text mistyped", "text", "3", R"("")", "=");
        row("text", "text", R"("x")", R"("x")", R"("x")");
        row("bool absent", "flag", "-", "false", "=");
        row("bool null", "flag", "null", "false", "false");
        row("bool mistyped", "flag", R"("true")", "false", "false");
        row("bool", "flag", "true", "true", "true");
        row("int64 absent", "count", "-", "0", "=");
        row("int64 null", "count", "null", "0", "-1");
        row("int64 mistyped", "count", R"("9")", "0", "-1");
        row("int64 fraction", "count", "2.5", "0", "-1");
        row("int64 negative", "count", "-5", "-5", "-5");
        row("int64 large", "count", "4294967296", "4294967296", "4294967296");
        row("int32 mistyped", "small", "false", "0", "-1");
        row("int32", "small", "70000", "70000", "70000");
        row("double absent", "ratio", "-", "0", "=");
        row("double null", "ratio", "null", "0", "0");
        row("double mistyped", "ratio", R"("1")", "0", "0");
        row("double", "ratio", "2.25", "2.25", "2.25");
        row("double as CBOR integer", "ratio", "8", "8", "0");
        row("double as CBOR single", "ratio", "2.25", "2.25", "0", "fa40100000");
        row("colour absent", "color", "-", R"("")", "=");
        row("colour mistyped", "color", "5", R"("")", R"("")");
        row("colour", "color", R"("ff000080")", R"("ff000080")", R"("ff000080")");
        row("colour, six digits are opaque", "color", R"("1A2b3c")", R"("1a2b3cff")", R"("1a2b3cff")");
        row("colour, a bad pair reads 0", "color", R"("zz0000")", R"("000000ff")", R"("000000ff")");
        row("colour, half a bad pair reads 0", "color", R"("f+00ff")", R"("0000ffff")", R"("0000ffff")");
        row("colour, three digits", "color", R"("f00")", R"("")", R"("")");
        row("colour with a hash", "color", "\"#ff0000\"", R"("")", R"("")"); // moc misreads '#' in raw strings
        row("colour empty", "color", R"("")", R"("")", R"("")");
        row("enum absent", "kind", "-", R"("")", "=");
        row("enum null", "kind", "null", R"("")", R"("")");
        row("enum mistyped", "kind", "1", R"("")", R"("")");
        row("enum miss", "kind", R"("gold")", R"("")", R"("")");
        row("enum", "kind", R"("bonus")", R"("bonus")", R"("bonus")");
        row("integer enum absent", "mode", "-", "3", "=");
        row("integer enum mistyped", "mode", R"("1")", "3", "3");
        row("integer enum out of range", "mode", "7", "3", "3");
        row("integer enum", "mode", "2", "2", "2");
        row("other dictionary", "short_kind", R"("full")", R"("F")", R"("F")");
        row("other dictionary miss", "short_kind", R"("trial")", R"("")", R"("")");
        row("id absent", "ref_id", "-", "-1", "=");
        row("id null", "ref_id", "null", "-1", "-1");
        row("id mistyped", "ref_id", R"("8")", "-1", "-1");
        row("id zero", "ref_id", "0", "0", "0");
        row("item id absent", "id", "-", "-1", "=");
        row("item id null", "id", "null", "-1", "-1");
        row("item id", "id", "0", "0", "0");
        row("declared default absent", "width", "-", "1", "=");
        row("declared default mistyped", "width", "[]", "1", "-1");
        row("declared default", "width", "2", "2", "2");
        row("guarded absent", "guarded", "-", "=", "=");
        row("guarded null", "guarded", "null", "0", "-1");
        row("guarded", "guarded", "6", "6", "6");
        row("optional int absent", "maybe_count", "-", "-", "=");
        row("optional int null", "maybe_count", "null", "-", "=");
        row("optional int mistyped", "maybe_count", R"("9")", "-", "=");
        row("optional int", "maybe_count", "0", "0", "0");
        row("optional bool absent", "maybe_flag", "-", "-", "=");
        row("optional bool mistyped", "maybe_flag", "1", "-", "=");
        row("optional bool", "maybe_flag", "true", "true", "true");
        row("optional object absent", "maybe_level", "-", "=", "=");
        row("optional object null", "maybe_level", "null", "=", "=");
        row("optional object array", "maybe_level", R"([{"id": 1}])", "=", "=");
        row("optional object empty", "maybe_level", "{}", "=", "=");
        row("optional object", "maybe_level", R"({"id": 5})", R"({"age_value": 0, "id": 5, "name": ""})",
            R"({"age_value": 12, "id": 5, "name": "12+"})");
        row("object absent", "level", "-", "=", "=");
        row("object null", "level", "null", "=", "=");
        row("object as array", "level", R"([{"id": 1}, "name", "x"])", "=", "=");
        row("object", "level", R"({"id": 5})", R"({"age_value": 0, "id": 5, "name": ""})",
            R"({"age_value": 16, "id": 5, "name": "16+"})");
        row("object tagged", "level", R"({"id": 5})", R"({"age_value": 0, "id": 5, "name": ""})",
            R"({"age_value": 16, "id": 5, "name": "16+"})", "c6a1626964 05");
        row("text list absent", "names", "-", "[]", "=");
        row("text list mistyped", "names", R"("a")", "[]", "=");
        row("text list", "names", R"(["x", 1])", R"(["x", ""])", R"(["x", ""])");
        row("id list", "ref_ids", R"([3, "x"])", "[3, -1]", "[3, -1]");
        row("object list", "levels", R"([{"id": 1}, 5])",
            R"([{"age_value": 0, "id": 1, "name": ""}, {"age_value": 0, "id": -1, "name": ""}])",
            R"([{"age_value": 0, "id": 1, "name": ""}, {"age_value": 0, "id": -1, "name": ""}])");
        row("enum list", "kinds", R"(["full", "x"])", R"(["full", ""])", R"(["full", ""])");
        row("map absent", "urls", "-", "{}", "=");
        row("map null", "urls", "null", "{}", "=");
        row("map mistyped", "urls", R"(["a"])", "{}", "=");
        row("map", "urls", R"({"a": "u", "b": 1})", R"({"a": "u", "b": ""})", R"({"a": "u", "b": ""})");
        row("map, keys not texts", "urls", R"({"a": "u"})", R"({"a": "u"})", R"({"": "v", "b": "w"})",
            "a2" "01" "6176" "4162" "6177");
        // A key longer than the key buffer stays whole.
        static const QByteArray longKey = "a1" "79044c" + QByteArray(1100, 'k').toHex() + "6176";
        row("map, 1100-byte key", "urls", R"({"a": "u"})", R"({"a": "u"})",
            QStringLiteral(R"({"%1": "v"})").arg(QString(1100, QLatin1Char('k'))), longKey.constData());
        row("map of maps absent", "servers", "-", "{}", "=");
        row("map of maps", "servers", R"({"p": {"urls": {"x": "y"}, "other": 1}, "q": 5})",
            R"({"p": {"urls": {"x": "y"}}, "q": {"urls": {}}})", R"({"p": {"urls": {"x": "y"}}, "q": {"urls": {}}})");
        row("JSON value absent", "any", "-", "-", "=");
        row("JSON value null", "any", "null", "null", "null");
        row("JSON value", "any", R"({"a": [1, 2.5]})", R"({"a": [1, 2.5]})", R"({"a": [1, 2.5]})");
        row("JSON array absent", "array", "-", "[]", "=");
        row("JSON array mistyped", "array", R"({"a": 1})", "[]", "=");
        row("JSON array", "array", R"([1, {"b": "c"}])", R"([1, {"b": "c"}])", R"([1, {"b": "c"}])");
        row("JSON object mistyped", "object", "[1]", "{}", "=");
        row("JSON object", "object", R"({"b": [true]})", R"({"b": [true]})", R"({"b": [true]})");
        const QString defaultTrack = textOf(R"({"age_value":0,"id":-1,"name":""})");
        row("JSON text absent", "track", "-", defaultTrack, "=");
        row("JSON text mistyped", "track", "5", defaultTrack, defaultTrack);
        row("JSON text not JSON", "track", textOf("{id: 4"), defaultTrack, defaultTrack);
        row("JSON text", "track", textOf(R"({"id":4})"), textOf(R"({"age_value":0,"id":4,"name":""})"),
            textOf(R"({"age_value":0,"id":4,"name":""})"));
        row("key path absent", "links/click_url", "-", "=", "=");
        row("key path null", "links/click_url", "null", R"("")", "=");
        row("key path", "links/click_url", R"("u")", R"("u")", R"("u")");
        row("accessor absent", "label", "-", R"("")", "=");
        row("accessor", "label", R"("M")", R"("M")", R"("M")");
    }

    void conversions()
    {
        QFETCH(QString, key);
        QFETCH(QString, input);
        QFETCH(QString, json);
        QFETCH(QString, cbor);
        QFETCH(QByteArray, cborValue);
        const bool absent = input == "-";
        const QString cborName = key.section('/', -1);

        ProbeObject fromJson = filled();
        fromJson.fromJson(absent ? QJsonObject() : objectAt(key, fragment(input)));
        compareWritten(fromJson, key, json, "JSON");

        QByteArray body = QCborValue::fromJsonValue(absent ? QJsonObject() : QJsonObject{{cborName, fragment(input)}})
                              .toCbor();
        if (!cborValue.isEmpty())
            body = "\xa1" + cborKey(cborName) + cborValue;
        ProbeObject fromCbor = filled();
        CborReader reader(body);
        QCOMPARE(fromCbor.fromCbor(reader), 0);
        compareWritten(fromCbor, key, cbor, "CBOR");

        for (const ProbeObject* probe : {&fromJson, &fromCbor}) {
            // What is written reads back the same; validity follows the id.
            ProbeObject again;
            again.fromJson(probe->toJson());
            QCOMPARE(again.toJson(), probe->toJson());
            QCOMPARE(static_cast<const AbstractResponse*>(probe)->isValid(), probe->id() != -1);
        }
    }

    // A CBOR value of the wrong type never derails the keys after it.
    void cborKeysAfterMistypedValues()
    {
        const QJsonObject json{{"level", QJsonArray{1, QJsonObject{{"id", 2}}, "x"}}, {"urls", "x"},
                               {"array", QJsonObject{{"a", 1}}}, {"servers", QJsonObject{{"p", QJsonArray{1}}}},
                               {"text", "after"}};
        ProbeObject probe;
        CborReader reader(QCborValue::fromJsonValue(json).toCbor());
        QCOMPARE(probe.fromCbor(reader), 0);
        QCOMPARE(probe.text, QString("after"));
        QCOMPARE(probe.level.id, qint64(-1));
        QCOMPARE(probe.servers.value("p"), (QMap<QString, QString>()));
    }

    void listAnswerWithOwnKeys()
    {
        const QJsonObject json{{"items", QJsonArray{QJsonObject{{"id", 1}}, QJsonObject{{"id", 2}}}},
                               {"total_items", 2}, {"unread_count", 5}, {"applied_sort", QJsonObject{{"alias", ""}}}};
        probe::ProbeListResponse fromJson;
        fromJson.fromJson(json);
        probe::ProbeListResponse fromCbor;
        CborReader reader(QCborValue::fromJsonValue(json).toCbor());
        QCOMPARE(fromCbor.fromCbor(reader), 0);
        for (const auto* answer : {&fromJson, &fromCbor}) {
            QCOMPARE(answer->items.size(), 2);
            QCOMPARE(answer->items.at(1).id, qint64(2));
            QCOMPARE(answer->totalItems, qint64(2));
            QCOMPARE(answer->unreadCount, qint64(5));
            const QJsonObject written = answer->toJson();
            QCOMPARE(written.value("unread_count").toInteger(), qint64(5));
            QCOMPARE(written.value("items").toArray().size(), 2);
            QVERIFY(!written.contains("applied_sort")); // written only when valid
        }

        // The base's item hooks reach the same declared list.
        probe::ProbeListResponse hooks;
        ResponseWithItems& base = hooks;
        base.itemsFromJson(json);
        QCOMPARE(hooks.items.size(), 2);
        QCOMPARE(hooks.unreadCount, qint64(0));
        QJsonObject items;
        base.itemsToJson(items);
        QCOMPARE(items.keys(), QStringList{"items"});
    }

    // The real unions' cases (unknown, empty or differently cased types, a fallback
    // alternative) are tst_objects' table; here the mechanism once.
    void unionSelection_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("engaged"); // "level", "price", "whole" or "" for none
        QTest::addColumn<qint64>("id");       // of the engaged member

        QTest::newRow("type names its member") << QByteArray(R"({"type": "level", "level": {"id": 1}, "price": {"price_id": 2}})")
                                               << "level" << qint64(1);
        QTest::newRow("prefix reads the whole object") << QByteArray(R"({"type": "whole_1", "id": 3})") << "whole"
                                                       << qint64(3);
        QTest::newRow("prefix must lead") << QByteArray(R"({"type": "xwhole_", "id": 3})") << "" << qint64(0);
        QTest::newRow("unknown type") << QByteArray(R"({"type": "banner", "level": {"id": 1}})") << "" << qint64(0);
    }

    void unionSelection()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, engaged);
        QFETCH(qint64, id);
        probe::ProbeUnion chosen;
        chosen.level.emplace(); // decoding resets what an earlier answer engaged
        chosen.fromJson(QJsonDocument::fromJson(json).object());
        QCOMPARE(QString(chosen.level ? "level" : chosen.price ? "price" : chosen.whole ? "whole" : ""), engaged);
        int visits = 0;
        qint64 visitedId = 0;
        visitSelected(chosen, [&](const auto& member) {
            ++visits;
            if constexpr (std::is_same_v<std::decay_t<decltype(member)>, samples::Price>)
                visitedId = member.priceId;
            else
                visitedId = member.id;
        });
        QCOMPARE(visits, engaged.isEmpty() ? 0 : 1);
        QCOMPARE(visitedId, id);

        probe::ProbeUnion again;
        again.fromJson(chosen.toJson());
        QCOMPARE(again.toJson(), chosen.toJson());
    }

    // CBOR fills every alternative whose key appears, in any order.
    void unionFromCbor()
    {
        const QJsonObject json{{"price", QJsonObject{{"price_id", 2}}}, {"level", QJsonArray{}}, {"type", "level"}};
        probe::ProbeUnion fromCbor;
        CborReader reader(QCborValue::fromJsonValue(json).toCbor());
        QCOMPARE(fromCbor.fromCbor(reader), 0);
        QCOMPARE(fromCbor.type, QString("level"));
        QVERIFY(fromCbor.price && !fromCbor.level);
        QCOMPARE(fromCbor.price->priceId, qint64(2));
    }

    // Decoding into a copy detaches the block it shares with the original.
    void decodingDetachesSharedBlock()
    {
        samples::Channel channel;
        channel.fromJson(QJsonObject{{"id", 5}, {"name", "One"}});
        samples::Channel copy = channel;
        copy.fromJson(QJsonObject{{"id", 6}, {"name", "Two"}});
        QCOMPARE(channel.name(), QString("One"));
        QCOMPARE(channel.id(), qint64(5));
        QCOMPARE(copy.name(), QString("Two"));
    }

    void decodeJsonAnswer_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("items");
        QTest::newRow("array answer") << QByteArray("[]") << 0;
        QTest::newRow("not json") << QByteArray("{\"total_items\": 4") << 0;
        QTest::newRow("empty object") << QByteArray("{}") << 0;
        QTest::newRow("list") << samples::channelsAnswerJson(3) << 3;
        QTest::newRow("notification, no hook yet") << QByteArray(R"({"notification": {"event_code": 3}})") << 0;
    }

    void decodeJsonAnswer()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, items);
        setEmbeddedNotificationFactory(nullptr); // the notification model has not started
        const QVariant decoded = decodeJson<samples::ChannelsResponse>(body);
        QVERIFY(decoded.canConvert<samples::ChannelsResponse>());
        const auto response = decoded.value<samples::ChannelsResponse>();
        QCOMPARE(response.items.size(), items);
        QCOMPARE(response.totalItems, qint64(items));
        QVERIFY(response.notification().isNull());
    }

    // An object with an id judges validity by it; one without logs that it has no rule.
    void validity()
    {
        {
            QTest::failOnWarning(QRegularExpression("implement this method"));
            ProbeObject probe(5);
            const AbstractResponse& response = probe;
            QVERIFY(response.isValid());
            probe.fromJson(QJsonObject{{"id", -1}});
            QVERIFY(!response.isValid());
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("implement this method for response before using"));
        QVERIFY(samples::ChannelsResponse().AbstractResponse::isValid());
    }
};

QTEST_GUILESS_MAIN(TestFields)
#include "tst_fields.moc"
