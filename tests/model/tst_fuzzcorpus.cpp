// Replays every fuzzing seed (and the shared CBOR/JSON conformance corpora when they are
// on the machine) through the fuzzers' entry points, under the normal and the sanitizer
// builds: inputs that once crashed stay fixed.

#include "corpora.h"
#include "fuzzentries.h"
#include "imageentry.h"
#include "pushentries.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace tq::fuzzing;

namespace {

using Entry = int (*)(const uint8_t*, size_t);

int feed(Entry entry, const QByteArray& input)
{
    return entry(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
}

// The fuzz targets whose seeds are replayed, by their corpus folder.
const QMap<QString, Entry>& entries()
{
    static const QMap<QString, Entry> byTarget{{QStringLiteral("cbor_walk"), cborWalk},
                                               {QStringLiteral("json_decode"), jsonDecode},
                                               {QStringLiteral("image_decode"), imageDecode},
                                               {QStringLiteral("notification_json"), notificationJson},
                                               {QStringLiteral("rdm_command"), rdmCommandJson}};
    return byTarget;
}

QString sharedCorpora()
{
    return qEnvironmentVariable("TQ_CORPORA");
}

} // namespace

class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void committedSeeds_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("file");
        for (const QString& target : entries().keys()) {
            const QDir dir(QStringLiteral(TQ_FUZZ_CORPUS "/") + target);
            const QStringList files = dir.entryList(QDir::Files, QDir::Name);
            QVERIFY2(!files.isEmpty(), qPrintable("no seeds in " + dir.path()));
            for (const QString& file : files)
                QTest::newRow(qPrintable(target + "/" + file)) << target << dir.filePath(file);
        }
    }

    void committedSeeds()
    {
        QFETCH(QString, target);
        QFETCH(QString, file);
        QFile input(file);
        QVERIFY(input.open(QIODevice::ReadOnly));
        QCOMPARE(feed(entries().value(target), input.readAll()), 0);
    }

    // Each CBOR test vector alone and as the value of every kind of field.
    void cborTestVectors()
    {
        QFile file(sharedCorpora() + "/cbor/appendix_a.json");
        if (!file.open(QIODevice::ReadOnly))
            QSKIP(fake::corpusSkipped("the RFC 8949 CBOR vectors (cbor/appendix_a.json)", QStringLiteral("cbor")).constData());
        const QJsonArray vectors = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(vectors.size() > 50);
        static const char* const keys[] = {"name", "id", "is_favorite", "poster_bg_color", "usage_model",
                                           "subscribe_mode", "age_level", "themes", "epgs", "total_items",
                                           "ratio", "maybe_level", "urls", "servers", "any", "array",
                                           "object", "track", "short_kind", "price"};
        for (const QJsonValue& vector : vectors) {
            const QByteArray item = QByteArray::fromBase64(vector.toObject().value("cbor").toString().toLatin1());
            for (char structure = 0; structure < 5; ++structure) { // the walker's first byte picks it
                QCOMPARE(feed(cborWalk, structure + item), 0);
                for (const char* key : keys) {
                    // {"items": [{key: item}], key: item}
                    const QByteArray keyItem = char(0x60 + qstrlen(key)) + QByteArray(key) + item;
                    QCOMPARE(feed(cborWalk, structure + QByteArray::fromHex("a2656974656d7381a1") + keyItem + keyItem),
                             0);
                }
            }
        }
    }

    // Every PngSuite image under each header and limit the last byte can pick.
    void pngSuite()
    {
        const QDir dir(sharedCorpora() + "/images/pngsuite");
        const QStringList files = dir.entryList({"*.png"}, QDir::Files, QDir::Name);
        if (files.isEmpty())
            QSKIP("shared image corpus not found (TQ_CORPORA)");
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray image = file.readAll();
            QCOMPARE(feed(imageDecode, image), 0); // as the fuzzer reads the folder
            for (int options = 0; options < 32; ++options)
                QCOMPARE(feed(imageDecode, image + char(options)), 0);
        }
    }

    void jsonTestSuite()
    {
        const QDir dir(sharedCorpora() + "/json/test_parsing");
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        if (files.isEmpty())
            QSKIP(fake::corpusSkipped("JSONTestSuite (json/test_parsing)", QStringLiteral("json")).constData());
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray document = file.readAll();
            QCOMPARE(feed(jsonDecode, document), 0);
            QCOMPARE(feed(jsonDecode, "{\"items\": [{\"name\": " + document + "}], \"total_items\": "
                                          + document + "}"),
                     0);
            QCOMPARE(feed(notificationJson, "{\"event_code\": \"message\", \"display\": " + document + "}"), 0);
            QCOMPARE(feed(rdmCommandJson, document), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
