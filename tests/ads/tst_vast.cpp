// The VAST reader: our own samples field by field, the skipping rules, bad and hostile
// documents, and the IAB's public samples (when the shared corpus is on the machine)
// against an independent count by element path (our own samples check every field).

#include "corpora.h"
#include "vastentry.h"

#include "ads/vast.h"

#include <QDirIterator>
#include <QMetaEnum>
#include <QStringEncoder>
#include <QXmlStreamReader>
#include <QtTest>

#include <array>

using namespace ad;

namespace {

QByteArray seed(const QString& name)
{
    QFile file(QStringLiteral(TQ_FUZZ_CORPUS "/vast_read/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing seed");
}

// An in-line ad around `inner`, as one document.
QByteArray inLine(const QByteArray& inner, const QByteArray& prolog = QByteArray())
{
    return prolog + "<VAST version=\"3.0\"><Ad><InLine>" + inner + "</InLine></Ad></VAST>";
}

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding, bool bom)
{
    return QStringEncoder(encoding, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default)(text);
}

// "Event url" per tracking event, so that a list compares in one line.
QStringList events(const QList<TrackingEvent>& list)
{
    QStringList lines;
    for (const TrackingEvent& event : list)
        lines.append(QMetaEnum::fromType<EventType>().valueToKey(int(event.event)) + QLatin1Char(' ') + event.url);
    return lines;
}

QString media(const MediaFile& file)
{
    return QStringLiteral("%1 %2 %3x%4 %5").arg(file.type).arg(file.bitrate).arg(file.width).arg(file.height).arg(file.url);
}

// What an in-line 3.0 document holds: ads, creatives, media files, impressions, tracking events.
using Counts = std::array<int, 5>;

// Counted by element path alone, independently of the reader's nested loops.
Counts countByPath(const QByteArray& document)
{
    Counts counts{};
    QXmlStreamReader reader(document);
    QStringList path;
    QString text;
    QString event;
    const QString inLine = QStringLiteral("VAST/Ad/InLine/");
    const QString linear = inLine + QStringLiteral("Creatives/Creative/Linear/");
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            path.append(reader.name().toString());
            text.clear();
            event = reader.attributes().value(QLatin1String("event")).toString().simplified();
            const QString at = path.join('/');
            counts[0] += at == QLatin1String("VAST/Ad");
            counts[1] += at == inLine + QLatin1String("Creatives/Creative");
        } else if (reader.isCharacters()) {
            text += reader.text();
        } else if (reader.isEndElement()) {
            const QString at = path.join('/');
            const bool hasText = !text.simplified().isEmpty();
            counts[2] += hasText && at == linear + QLatin1String("MediaFiles/MediaFile");
            counts[3] += hasText && at == inLine + QLatin1String("Impression");
            counts[4] += hasText && at == linear + QLatin1String("TrackingEvents/Tracking")
                         && eventTypeDictionary().value(event) != EventType::Unknown;
            path.removeLast();
            text.clear();
        }
    }
    return counts;
}

Counts countRead(const VastResponse& response)
{
    Counts counts{int(response.ads.size()), 0, 0, 0, 0};
    for (const Ad& ad : response.ads) {
        counts[1] += int(ad.creatives.size());
        counts[3] += int(ad.impressions.size());
        for (const Creative& creative : ad.creatives) {
            counts[2] += int(creative.mediaFiles.size());
            counts[4] += int(creative.trackingEvents.size());
        }
    }
    return counts;
}

} // namespace

class TestVast : public QObject
{
    Q_OBJECT

private slots:
    void everyElementAndAttribute()
    {
        QString error;
        const VastResponse vast = readVast(seed("inline-full.xml"), &error);
        QCOMPARE(error, QString());
        QCOMPARE(vast.errors, QStringList{"http://ads.example/vast-error?code=[ERRORCODE]"});
        QCOMPARE(vast.ads.size(), 2);
        const Ad& ad = vast.ads[0];
        QCOMPARE(ad.impressions, QStringList({"http://ads.example/imp/1", "http://ads.example/imp/2?a=1&b=2"}));
        QCOMPARE(ad.errors, QStringList{"http://ads.example/ad-error"});
        QCOMPARE(ad.creatives.size(), 4);

        const Creative& linear = ad.creatives[0];
        QCOMPARE(linear.id, QStringLiteral("c 1"));
        QCOMPARE(linear.duration, 30000);
        QCOMPARE(linear.skipOffset, std::optional<qint64>(5000));
        QStringList files;
        for (const MediaFile& file : linear.mediaFiles)
            files.append(media(file));
        QCOMPARE(files, QStringList({"video/mp4 1500 1280x720 http://cdn.example/ad 720.mp4",
                                     "video/webm 0 -640x0 http://cdn.example/ad.webm", " 0 0x0 http://cdn.example/bare.mp4"}));
        QStringList expected;
        for (const char* e : {"CreativeView view", "Start start", "FirstQuartile q1", "Midpoint mid", "ThirdQuartile q3",
                              "Complete done", "Mute mute", "Unmute unmute", "Pause pause", "Rewind rewind",
                              "Resume resume", "Skip skip", "Skip skipad", "Progress p10", "OnVastLoad load"})
            expected.append(QString::fromLatin1(e).replace(' ', " http://ads.example/t/"));
        QCOMPARE(events(linear.trackingEvents), expected);

        QVERIFY(ad.creatives[1].id.isEmpty()); // companion only: an empty creative
        QVERIFY(ad.creatives[1].mediaFiles.isEmpty() && !ad.creatives[1].skipOffset);
        QCOMPARE(ad.creatives[2].skipOffset, std::optional<qint64>(0)); // "25%"
        QCOMPARE(ad.creatives[2].duration, 62500);
        QCOMPARE(ad.creatives[3].duration, 0); // "half a minute"
        QVERIFY(!ad.creatives[3].skipOffset);

        QCOMPARE(events(ad.customTracking),
                 QStringList({"Start http://ads.example/custom/start", "Complete http://ads.example/custom/done"}));
        QVERIFY(ad.adTune.show);
        QCOMPARE(ad.adTune.token, QStringLiteral("tok en-1"));
        QCOMPARE(ad.adTune.advertiserInfo, QStringLiteral("Example Ltd"));

        const Ad& wrapper = vast.ads[1];
        QVERIFY(wrapper.impressions.isEmpty() && wrapper.errors.isEmpty() && wrapper.creatives.isEmpty());
    }

    void unknownElementsAreSkippedWhole()
    {
        QString error;
        const VastResponse vast = readVast(seed("unknown-everywhere.xml"), &error);
        QCOMPARE(error, QString());
        QCOMPARE(vast.errors, QStringList{"http://ads.example/top-error"});
        QCOMPARE(vast.ads.size(), 1);
        const Ad& ad = vast.ads[0];
        QCOMPARE(ad.impressions, QStringList{"http://ads.example/imp/tail"});
        QCOMPARE(ad.creatives.size(), 1);
        QCOMPARE(ad.creatives[0].duration, 10000);
        QCOMPARE(ad.creatives[0].mediaFiles.size(), 1);
        QCOMPARE(media(ad.creatives[0].mediaFiles[0]), QStringLiteral("video/mp4 0 0x0 http://cdn.example/ok.mp4"));
        QCOMPARE(events(ad.creatives[0].trackingEvents), QStringList{"Start http://ads.example/start"});
        QCOMPARE(events(ad.customTracking), QStringList{"Midpoint http://ads.example/custom-mid"});
        QVERIFY(!ad.adTune.show && ad.adTune.token.isEmpty());
    }

    void adTuneBlocks()
    {
        const VastResponse vast = readVast(seed("adtune-bad-json.xml"));
        const QStringList expected{"1 first ", "0  ", "0  ", "0  Shop", "0 hidden "}; // show token advertiser
        QStringList read;
        for (const Ad& ad : vast.ads)
            read.append(QStringLiteral("%1 %2 %3").arg(int(ad.adTune.show)).arg(ad.adTune.token, ad.adTune.advertiserInfo));
        QCOMPARE(read, expected);
    }

    void badDocuments_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("error"); // how it ends; empty: read to the end
        QTest::addColumn<QStringList>("impressions"); // of every ad read before that

        const auto file = [](const char* name, const QString& error, const QStringList& impressions = {}) {
            QTest::newRow(name) << seed(name) << error << impressions;
        };
        file("empty", "line 1: Premature end of document.");
        file("version-2.xml", "line 1: supported only VAST 3.0 format");
        file("version-4.xml", "line 1: supported only VAST 3.0 format");
        file("version-padded.xml", "line 1: supported only VAST 3.0 format");
        file("not-vast.xml", "line 1: no VAST format");
        file("truncated.xml", "line 1: Premature end of document.", {"http://ads.example/kept"});
        file("wrong-nesting.xml", "line 1: Opening and ending tag mismatch.", {"http://ads.example/kept"});
        file("deep-nesting.xml", "line 1: elements nested too deep", {"http://ads.example/before"});
        const QString dtd = QStringLiteral("a DTD declaring entities or attribute defaults is not accepted");
        file("billion-laughs.xml", "line 12: " + dtd);
        file("entities.xml", "line 5: " + dtd);
        file("utf16-billion-laughs.xml", "line 12: " + dtd);
        file("pi-before-dtd.xml", "line 1: " + dtd); // an odd quote in a processing instruction
        QTest::newRow("attribute defaults") << inLine("", "<!DOCTYPE VAST [<!ATTLIST Ad id CDATA 'x'>]>")
                                            << "line 1: " + dtd << QStringList();
        QTest::newRow("unknown encoding") << QByteArray("<?xml version='1.0' encoding='bogus'?><VAST version='3.0'/>")
                                          << "Encoding bogus is unsupported" << QStringList();
        QTest::newRow("not UTF-8") << inLine("<Impression>\xff\xfe</Impression>")
                                   << "Encountered incorrectly encoded content." << QStringList();
        file("attribute-bomb.xml", "line 1: more than 64 attributes in a tag", {"http://ads.example/imp"});
        file("namespace-bomb.xml", ""); // 340 declarations, at most 100 of them in scope
        QByteArray nested; // 5 x 60 declarations in scope
        for (int level = 0; level < 5; ++level) {
            nested += "<n";
            for (int i = 0; i < 60; ++i)
                nested += " xmlns:p" + QByteArray::number(level * 60 + i) + "=\"urn:p\"";
            nested += ">";
        }
        QTest::newRow("namespaces in scope") << inLine("<Impression>a</Impression>" + nested)
                                             << "line 1: more than 256 namespace declarations in scope"
                                             << QStringList{"a"};
        file("html-resource.xml", "", {"http://ads.example/imp"}); // what looks like the above inside CDATA
        QTest::newRow("undeclared entity") << QByteArray("<VAST version=\"3.0\"><Ad><InLine><Impression>a</Impression>"
                                                         "<Impression>&x;</Impression></InLine></Ad></VAST>")
                                           << "line 1: Entity 'x' not declared." << QStringList{"a"};
        QTest::newRow("root text only") << QByteArray("  just text  ") << "line 1: Start tag expected." << QStringList();

        // Read to the end, odd as they are.
        const QByteArray imp = "<Impression>http://ads.example/imp</Impression>";
        const QStringList one{"http://ads.example/imp"};
        const QString body = QString::fromLatin1(inLine(imp, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"));
        QTest::newRow("bare DOCTYPE") << inLine(imp, "<!DOCTYPE VAST SYSTEM \"vast3.dtd\">") << "" << one;
        QTest::newRow("DOCTYPE declaring elements")
            << inLine(imp, "<!DOCTYPE VAST [<!ELEMENT VAST ANY><!NOTATION n SYSTEM \"x\">]>") << "" << one;
        QTest::newRow("UTF-16LE with BOM") << utf16(body, QStringConverter::Utf16LE, true) << "" << one;
        QTest::newRow("UTF-16BE without BOM") << utf16(body, QStringConverter::Utf16BE, false) << "" << one;
        QTest::newRow("declared Latin-1")
            << inLine("<Impression>http://ads.example/caf\xe9</Impression>", "<?xml version='1.0' encoding='ISO-8859-1'?>")
            << "" << QStringList{"http://ads.example/caf\u00e9"};
        QByteArray spread; // 300 declarations, one in scope at a time
        for (int i = 0; i < 300; ++i)
            spread += "<Extension type=\"x\" xmlns:p" + QByteArray::number(i) + "=\"urn:p\"/>";
        QTest::newRow("namespaces over the document") << inLine(imp + "<Extensions>" + spread + "</Extensions>") << ""
                                                      << one;
        QByteArray attributes;
        for (int i = 0; i < 64; ++i)
            attributes += " a" + QByteArray::number(i) + "=\"1\"";
        QTest::newRow("64 attributes") << inLine("<Impression" + attributes + ">http://ads.example/imp</Impression>")
                                       << "" << one;
        const QByteArray longUrl = "http://ads.example/" + QByteArray(20000, 'u');
        QTest::newRow("long text and comment")
            << inLine("<!--" + QByteArray(20000, 'c') + "--><Impression><![CDATA[" + longUrl + "]]></Impression>") << ""
            << QStringList{QString::fromLatin1(longUrl)};

        // A start tag or DOCTYPE that does not end is refused before the reader has it whole
        // (it compares every attribute of a tag with every other one), wherever it stands.
        for (int i = 64; i < 20000; ++i)
            attributes += " a" + QByteArray::number(i) + "=''";
        const QByteArray open = "<VAST version=\"3.0\"><Ad><InLine>";
        const QByteArray end = "><x/></Impression></InLine></Ad></VAST>";
        const QString endless = QStringLiteral("line 1: a tag longer than 8192 characters");
        QTest::newRow("endless, first") << "<VAST" + attributes + end << endless << QStringList();
        QTest::newRow("endless, after the declaration") << "<?xml version='1.0'?><VAST" + attributes + end << endless
                                                        << QStringList();
        QTest::newRow("endless, after a start tag") << open + "<Impression" + attributes + end << endless << QStringList();
        QTest::newRow("endless, after text") << open + "<Error>x</Error> text <Impression" + attributes + end << endless
                                             << QStringList();
        QTest::newRow("endless, after a comment") << open + "<!-- c --><Impression" + attributes + end << endless
                                                  << QStringList();
        QTest::newRow("endless, after an end tag, blanks") << open + "<Error>x</Error> \t <Impression" + attributes + end
                                                           << endless << QStringList();
        QTest::newRow("endless DOCTYPE") << "<!DOCTYPE VAST [" + QByteArray(20000, ' ') + end << endless << QStringList();
    }

    void badDocuments()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, error);
        QFETCH(QStringList, impressions);
        QString read;
        const VastResponse vast = readVast(document, &read);
        QCOMPARE(read, error);
        QStringList all;
        for (const Ad& ad : vast.ads)
            all += ad.impressions;
        QCOMPARE(all, impressions);
    }

    void tenMegabyteDocuments()
    {
        const QByteArray head = "<VAST version=\"3.0\"><Ad><InLine><Impression>http://ads.example/imp</Impression>";
        const QByteArray tail = "<Creatives><Creative><Linear><MediaFiles><MediaFile>http://cdn.example/a.mp4</MediaFile>"
                                "</MediaFiles></Linear></Creative></Creatives></InLine></Ad></VAST>";
        QByteArray flat = head;
        flat.reserve(11 << 20);
        while (flat.size() < (10 << 20))
            flat += "<Pricing model=\"cpm\"><Value>25.00</Value></Pricing>";
        QString error;
        const VastResponse read = readVast(flat + tail, &error);
        QCOMPARE(error, QString());
        QCOMPARE(read.ads.value(0).creatives.value(0).mediaFiles.size(), 1);

        // Ten megabytes of opening tags: refused at the nesting limit, long before the end.
        QByteArray nested = head;
        nested.reserve(11 << 20);
        while (nested.size() < (10 << 20))
            nested += "<Unknown>";
        QXmlStreamReader reader(nested);
        VastResponse response;
        response.fromXml(reader);
        QCOMPARE(reader.errorString(), QStringLiteral("elements nested too deep"));
        QVERIFY(reader.characterOffset() < 2000);
        QCOMPARE(response.ads.value(0).impressions, QStringList{"http://ads.example/imp"});
    }

    void stringToMilliseconds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("ms");
        const QList<QPair<const char*, qint64>> rows{
            {"00:00:30", 30000},   {"00:00:05", 5000},  {"00:01:02.5", 62500}, {"01:00:00.123", 3600123},
            {"00:00:01.9999", 1999}, {"23:59:59.999", 86399999}, {" 00:00:30 ", 30000}, {"0:00:30", 30000},
            {"", 0}, {"25%", 0}, {"24:00:00", 0}, {"00:60:00", 0}, {"00:30", 0}, {"00:00:30.", 0},
            {"00:00:3", 0}, {"100:00:00", 0}, {"00:00:30Z", 0}, {"-0:00:30", 0}, {"00:00:3O", 0}};
        for (const auto& row : rows)
            QTest::newRow(row.first) << QString::fromLatin1(row.first) << row.second;
    }

    void stringToMilliseconds()
    {
        QFETCH(QString, text);
        QFETCH(qint64, ms);
        QCOMPARE(Creative::stringToMilliseconds(text), ms);
    }

    // Inputs that once broke the reader stay fixed; the fuzz entry aborts on broken promises.
    void committedSeeds()
    {
        const QDir dir(QStringLiteral(TQ_FUZZ_CORPUS "/vast_read"));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 10);
        for (const QString& name : files) {
            const QByteArray input = seed(name);
            QCOMPARE(fuzzing::vastRead(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size())), 0);
        }
    }

    void iabSamples()
    {
        const QString root = fake::corpus(QStringLiteral("vast"));
        if (root.isEmpty())
            QSKIP(fake::corpusSkipped("the IAB VAST samples", QStringLiteral("vast")).constData());
        Counts total{};
        int files = 0;
        int inLine3 = 0;
        QDirIterator it(root, {"*.xml"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray document = file.readAll();
            ++files;
            QCOMPARE(fuzzing::vastRead(reinterpret_cast<const uint8_t*>(document.constData()), size_t(document.size())), 0);
            QString error;
            const VastResponse vast = readVast(document, &error);
            const Counts read = countRead(vast);
            if (!document.contains("<VAST version=\"3.0\"")) {
                QVERIFY2(error.endsWith("supported only VAST 3.0 format") || error.endsWith("no VAST format"),
                         qPrintable(path + ": " + error));
                QVERIFY(vast.ads.isEmpty());
                continue;
            }
            ++inLine3;
            QVERIFY2(error.isEmpty(), qPrintable(path + ": " + error));
            QVERIFY2(read == countByPath(document), qPrintable(path));
            for (size_t i = 0; i < total.size(); ++i)
                total[i] += read[i];
        }
        qInfo("IAB samples: %d files, %d VAST 3.0; read %d ads, %d creatives, %d media files, %d impressions, "
              "%d tracking events", files, inLine3, total[0], total[1], total[2], total[3], total[4]);
        QCOMPARE(files, 75);

    }
};

QTEST_GUILESS_MAIN(TestVast)
#include "tst_vast.moc"
