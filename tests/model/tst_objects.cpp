// Every declared object against its realistic sample (testing/objectsamples/<family>.json):
// decoding keeps every key the sample has, what is written reads back the same, and the
// CBOR form of the sample decodes to the same object. Then the objects' own rules.

#include "model/cborreader.h"
#include "model/playback.h"
#include "objectsamples.h"

#include <QCborValue>
#include <QJsonArray>
#include <QSet>
#include <QTest>

using namespace tq;

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

template<class T>
std::pair<QString, ObjectCodec> entry(const char* name)
{
    if constexpr (std::is_base_of_v<AbstractCborObject, T>)
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
    };
    return table;
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
