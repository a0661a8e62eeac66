// The streaming CBOR reader and the walk of a map into a declared object: key hashing,
// skipping, wrong types, truncation and hostile sizes.

#include "model/cborreader_p.h"
#include "model/fieldcodec_p.h"
#include "modelprobe.h"
#include "modelsamples.h"

#include <QCborStreamWriter>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <functional>

using namespace tq;
using samples::Programme;

namespace {

QByteArray cbor(const std::function<void(QCborStreamWriter&)>& write)
{
    QByteArray bytes;
    QCborStreamWriter writer(&bytes);
    write(writer);
    return bytes;
}

// A map of a programme with `between` written between "name" and "end_time": whatever
// it writes must not disturb the keys around it.
QByteArray programmeWith(const std::function<void(QCborStreamWriter&)>& between)
{
    return cbor([&](QCborStreamWriter& w) {
        w.startMap();
        w.append(QLatin1String("name"));
        w.append(QLatin1String("News"));
        between(w);
        w.append(QLatin1String("end_time"));
        w.append(qint64(1800));
        w.endMap();
    });
}

// The same map with hand-made bytes (hex) between the two keys.
QByteArray programmeRaw(const QByteArray& hex)
{
    return QByteArray::fromHex("bf" "646e616d65" "644e657773" + hex + "68656e645f74696d65" "190708" "ff");
}

// One text item: definite, or in two chunks of an indefinite-length string.
QByteArray textItem(const QString& text, bool chunked)
{
    if (!chunked)
        return cbor([&](QCborStreamWriter& w) { w.append(text); });
    const QByteArray utf8 = text.toUtf8();
    const qsizetype half = utf8.size() / 2;
    return "\x7f" + cbor([&](QCborStreamWriter& w) { w.appendTextString(utf8.constData(), half); })
           + cbor([&](QCborStreamWriter& w) { w.appendTextString(utf8.constData() + half, utf8.size() - half); })
           + "\xff";
}

} // namespace

class TestCborReader : public QObject
{
    Q_OBJECT

private slots:
    void keyHash_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<quint32>("hash");
        QTest::newRow("id") << QByteArray("id") << quint32(0x37386AE0);
        QTest::newRow("name") << QByteArray("name") << quint32(0x8D39BDE6);
        QTest::newRow("type") << QByteArray("type") << quint32(0x5127F14D);
        // Bytes above 0x7f are sign-extended before the exclusive-or.
        QTest::newRow("non-ascii") << QByteArray("\xc3\xa9") << quint32(0x3CFA68C1);
    }

    void keyHash()
    {
        QFETCH(QByteArray, key);
        QFETCH(quint32, hash);
        QCOMPARE(cborKeyHash(key.constData(), key.size()), hash);
        CborReader reader(cbor([&](QCborStreamWriter& w) {
            w.startMap(1);
            w.appendTextString(key.constData(), key.size());
            w.append(1);
        }));
        QCOMPARE(int(reader.lastChunk().status), -1);
        QVERIFY(reader.enterContainer());
        QVERIFY(reader.readKey());
        QCOMPARE(reader.keyHash(), hash);
        QCOMPARE(QByteArray(reader.key()), key);
        QVERIFY(reader.keyIs(key.constData(), key.size(), hash));
    }

    // Whatever sits between two known keys is consumed whole, and the walk goes on. (What
    // each kind of member makes of a mistyped value is tst_fields' table.)
    void walk_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("startTime");
        QTest::addColumn<qint64>("endTime");

        auto write = [](auto&& between) { return programmeWith(between); };
        QTest::newRow("plain") << write([](QCborStreamWriter&) {}) << "News" << qint64(0) << qint64(1800);
        QTest::newRow("tagged map") << QByteArray::fromHex("c1d820") + write([](QCborStreamWriter&) {})
                                    << "News" << qint64(0) << qint64(1800);
        QTest::newRow("unknown key, nested containers")
            << write([](QCborStreamWriter& w) {
                   w.append(QLatin1String("extra"));
                   w.startMap();
                   w.append(QLatin1String("list"));
                   w.startArray();
                   w.append(QLatin1String("text"));
                   w.startArray(2);
                   w.append(1);
                   w.append(QByteArray("bytes"));
                   w.endArray();
                   w.append(QCborTag(1));
                   w.startMap(0);
                   w.endMap();
                   w.endArray();
                   w.endMap();
               })
            << "News" << qint64(0) << qint64(1800);
        QTest::newRow("most negative integer wraps")
            << write([](QCborStreamWriter& w) {
                   w.append(QLatin1String("start_time"));
                   w.append(QCborNegativeInteger(0)); // -2^64
               })
            << "News" << qint64(0) << qint64(1800);
        QTest::newRow("1100-byte key")
            << write([](QCborStreamWriter& w) {
                   w.append(QString(1100, QLatin1Char('k')));
                   w.append(7);
               })
            << "News" << qint64(0) << qint64(1800);
        QTest::newRow("1100-byte key in chunks, a known key as prefix")
            << programmeRaw("7f6a" + QByteArray("start_time").toHex() + "790442" + QByteArray(1090, 'k').toHex()
                            + "ff07")
            << "News" << qint64(0) << qint64(1800);
        QTest::newRow("integer key")
            << write([](QCborStreamWriter& w) {
                   w.append(5);
                   w.append(QLatin1String("five"));
               })
            << "News" << qint64(0) << qint64(1800);
        QTest::newRow("chunked text value") << programmeRaw("646e616d65" "7f6341424363444546ff")
                                            << "ABCDEF" << qint64(0) << qint64(1800);
        for (const int length : {1023, 1024, 1025}) {
            const QString text = QString(length - 2, QLatin1Char('t')) + QChar(0xe9); // 2 bytes in UTF-8
            QTest::addRow("%d-byte text value", length)
                << write([text](QCborStreamWriter& w) {
                       w.append(QLatin1String("name"));
                       w.append(text);
                   })
                << text << qint64(0) << qint64(1800);
        }
        QTest::newRow("3000-byte text value")
            << write([](QCborStreamWriter& w) {
                   w.append(QLatin1String("name"));
                   w.append(QString(3000, QLatin1Char('x')));
               })
            << QString(3000, QLatin1Char('x')) << qint64(0) << qint64(1800);
    }

    void walk()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(qint64, startTime);
        QFETCH(qint64, endTime);

        Programme programme;
        CborReader reader(bytes);
        QCOMPARE(programme.fromCbor(reader), 0);
        QCOMPARE(programme.name, name);
        QCOMPARE(programme.startTime, startTime);
        QCOMPARE(programme.endTime, endTime);
    }

    // Errors and hostile sizes: the walk ends, keeps what it read and never hangs.
    void brokenInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("prices");

        const QByteArray whole = programmeWith([](QCborStreamWriter& w) {
            w.append(QLatin1String("prices"));
            w.startArray(2);
            w.startMap(1);
            w.append(QLatin1String("amount"));
            w.append(10);
            w.endMap();
            w.startMap(0);
            w.endMap();
            w.endArray();
        });
        const int endOfFile = int(QCborError::EndOfFile);
        QTest::newRow("complete") << whole << 0 << "News" << 2;
        QTest::newRow("truncated after the prices") << whole.left(whole.size() - 4) << endOfFile << "News" << 2;
        QTest::newRow("truncated inside the prices") << whole.left(whole.indexOf("amount") + 3) << endOfFile
                                                     << "News" << 1;
        QTest::newRow("not a container") << cbor([](QCborStreamWriter& w) { w.append(QLatin1String("x")); })
                                         << int(QCborStreamReader::String) << "" << 0;
        QTest::newRow("empty body") << QByteArray() << int(QCborStreamReader::Invalid) << "" << 0;
        QTest::newRow("array of 2^40 elements announced")
            << QByteArray::fromHex("a166707269636573" "9b0000010000000000" "a0") << int(QCborError::DataTooLarge)
            << "" << 0;
        QTest::newRow("array of 2^28 elements announced")
            << QByteArray::fromHex("a166707269636573" "9a10000000" "a0") << endOfFile << "" << 1;
        QTest::newRow("list elements that are not maps")
            << QByteArray::fromHex("a166707269636573" "83" "01" "a0" "63616263") << 0 << "" << 3;
        // A 32-bit stream cannot hold such a string at all and says so before looking for it.
        const int tooLarge = sizeof(qsizetype) < 8 ? int(QCborError::DataTooLarge) : endOfFile;
        QTest::newRow("text announcing 4 GiB")
            << QByteArray::fromHex("a1646e616d65" "7a" "ffffffff" "616263") << tooLarge << "" << 0;
        QTest::newRow("100000 nested arrays under an unknown key")
            << QByteArray::fromHex("a1617a") + QByteArray(100000, '\x81') + QByteArray::fromHex("00")
            << 0 << "" << 0;
        QTest::newRow("unterminated nesting under an unknown key")
            << QByteArray::fromHex("a1617a") + QByteArray(5000, '\x9f') << endOfFile << "" << 0;
    }

    void brokenInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(QString, name);
        QFETCH(int, prices);

        Programme programme;
        CborReader reader(bytes);
        QCOMPARE(programme.fromCbor(reader), status);
        QCOMPARE(programme.name, name);
        QCOMPARE(programme.prices.size(), prices);
    }

    // An announced length is reserved ahead only as far as the body could hold it.
    // Texts repeat in an answer (genre names, image hosts): each reads back as written,
    // and a text equal to the one just before it shares that one's data.
    void repeatedTexts_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("chunkedAt"); // the item written in chunks, -1: none
        QTest::newRow("equal") << QStringList{"Drama", "Drama", "Drama"} << -1;
        QTest::newRow("same length, other bytes") << QStringList{"Drama", "Sport", "Drama", "Dramb"} << -1;
        QTest::newRow("prefix") << QStringList{"http://img.example/a", "http://img.example/ab", "http://img.example/a"}
                                << -1;
        QTest::newRow("empty") << QStringList{"", "", "x", ""} << -1;
        QTest::newRow("non-ASCII") << QStringList{"Комедия", "Комедия", "Комедиа"} << -1;
        QTest::newRow("chunked equal to definite") << QStringList{"Documentary", "Documentary", "Documentary"} << 1;
        QStringList many; // more distinct texts than a reader remembers, then again
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 700; ++i)
                many << QStringLiteral("genre %1").arg(i);
        }
        QTest::newRow("700 distinct, twice") << many << -1;
        const QString longText(300, QLatin1Char('n')); // beyond what is looked up
        QTest::newRow("long") << QStringList{longText, longText, longText + "m"} << -1;
    }

    void repeatedTexts()
    {
        QFETCH(QStringList, texts);
        QFETCH(int, chunkedAt);
        QByteArray bytes = "\x9f";
        for (int i = 0; i < texts.size(); ++i)
            bytes += textItem(texts[i], i == chunkedAt);
        bytes += "\xff";
        CborReader reader(bytes);
        QList<QString> read;
        QVERIFY(reader.enterArray(read));
        while (reader.hasNext()) {
            QString text(QStringLiteral("unset"));
            QVERIFY(reader.readText(text));
            read.append(text);
        }
        QCOMPARE(read, texts);
        for (int i = 1; i < read.size(); ++i) {
            if (texts[i] == texts[i - 1] && !texts[i].isEmpty() && texts[i].size() < 100 && i != chunkedAt
                && i - 1 != chunkedAt)
                QVERIFY2(read[i].constData() == read[i - 1].constData(), qPrintable(QString::number(i)));
        }
    }

    // Sharing never changes a text: each reads back as Qt's UTF-8 decoder makes it of its
    // own bytes, whatever came before (invalid and overlong forms, surrogates written
    // one by one, a Latin-1 byte where a two-byte form came first).
    void rawTexts_data()
    {
        QTest::addColumn<QList<QByteArray>>("texts");
        const QByteArray ascii16 = "0123456789abcdef";
        QTest::newRow("Latin-1 byte after its UTF-8 form") << QList<QByteArray>{"x\xc3\xa9", "x\xe9", "x\xc3\xa9"};
        QTest::newRow("invalid single bytes") << QList<QByteArray>{"\xff", "\xfe", "\x80", "\xff"};
        QTest::newRow("pair and its surrogates one by one")
            << QList<QByteArray>{"\xf0\x9d\x84\x9e", "\xed\xa0\xb4\xed\xb4\x9e", "\xf0\x9d\x84\x9e"};
        QTest::newRow("overlong slash") << QList<QByteArray>{"/", "\xc0\xaf", "/"};
        QTest::newRow("cut three-byte form") << QList<QByteArray>{"ab\xe2\x82\xac", "ab\xe2\x82", "ab\xe2\x82\xac"};
        QTest::newRow("non-ASCII after eight ASCII")
            << QList<QByteArray>{"abcdefgh\xc3\xa9", "abcdefgh\xe9x", "abcdefgh\xc3\xa9"};
        QTest::newRow("eight ASCII, last differs") << QList<QByteArray>{"abcdefgh", "abcdefgi", "abcdefgh"};
        QTest::newRow("last of 17 differs") << QList<QByteArray>{ascii16 + "x", ascii16 + "y", ascii16 + "x"};
        QTest::newRow("Cyrillic, one letter differs")
            << QList<QByteArray>{"\xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe", "\xd0\x9a\xd0\xb8\xd0\xbd\xd0\xb0",
                                 "\xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe"};
    }

    void rawTexts()
    {
        QFETCH(QList<QByteArray>, texts);
        QByteArray bytes = "\x9f";
        for (const QByteArray& text : texts)
            bytes += cbor([&](QCborStreamWriter& w) { w.appendTextString(text.constData(), text.size()); });
        bytes += "\xff";
        CborReader reader(bytes);
        QList<QString> read;
        QVERIFY(reader.enterArray(read));
        while (reader.hasNext()) {
            read.append(QString());
            QVERIFY(reader.readText(read.last()));
        }
        QCOMPARE(read.size(), texts.size());
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(read[i], QString::fromUtf8(texts[i]));
        // Valid text that comes back at the end is shared, not decoded again (bytes that are
        // not valid UTF-8 are decoded each time).
        const QByteArray& first = texts.constFirst();
        if (texts.constLast() == first && QString::fromUtf8(first).toUtf8() == first)
            QCOMPARE(read.constLast().constData(), read.constFirst().constData());
    }

    // The keys of maps of texts repeat from object to object ("hd", "sd"): they share too.
    void textMapKeysShared()
    {
        const QByteArray bytes = QByteArray::fromHex("82" "a16268646161" "a16268646162");
        QList<QMap<QString, QString>> maps;
        CborReader reader(bytes);
        readCborValue(reader, maps);
        QCOMPARE(maps, (QList<QMap<QString, QString>>{{{"hd", "a"}}, {{"hd", "b"}}}));
        QCOMPARE(maps[1].firstKey().constData(), maps[0].firstKey().constData());
    }

    void reserveIsBounded_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("atLeast");
        QTest::addColumn<qsizetype>("atMost");
        QTest::newRow("true length") << QByteArray::fromHex("83010203") << qsizetype(3) << qsizetype(64);
        QTest::newRow("2^28 announced, 1 byte left") << QByteArray::fromHex("9a1000000000") << qsizetype(0)
                                                     << qsizetype(64);
        QTest::newRow("100000 announced and present")
            << QByteArray::fromHex("9a000186a0") + QByteArray(100000, '\0') << qsizetype(CborReader::MaxReserve)
            << qsizetype(CborReader::MaxReserve + 64);
    }

    void reserveIsBounded()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, atLeast);
        QFETCH(qsizetype, atMost);
        CborReader reader(bytes);
        QList<qint64> list;
        QVERIFY(reader.enterArray(list));
        QVERIFY2(list.capacity() >= atLeast && list.capacity() <= atMost, qPrintable(QString::number(list.capacity())));
    }

    // Every example of RFC 8949's appendix A is one item to the reader: skipped whole as an
    // array element and as the value of an unknown key, and consumed whole by each typed
    // reader, which takes it only when it is of the reader's kind.
    void rfcVectors()
    {
        QFile file(qEnvironmentVariable("TQ_CORPORA") + QStringLiteral("/cbor/appendix_a.json"));
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("the RFC CBOR vectors are not on this machine (TQ_CORPORA/cbor)");
        const QJsonArray vectors = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(vectors.size() > 80);
        const auto key = [](const char* text) { return char(0x60 + qstrlen(text)) + QByteArray(text); };
        for (const QJsonValue& entry : vectors) {
            const QString hex = entry[QLatin1String("hex")].toString();
            const QByteArray item = QByteArray::fromHex(hex.toLatin1());
            if (hex == QLatin1String("f818")) { // simple(24): not well-formed under RFC 8949, an error
                probe::ProbeObject probe;
                CborReader reader(QByteArray::fromHex("a1627a7a") + item);
                QVERIFY(probe.fromCbor(reader) != 0);
                continue;
            }
            const QJsonValue decoded = entry[QLatin1String("decoded")];
            const int major = quint8(item.at(0)) >> 5;

            CborReader array(QByteArray::fromHex("82") + item + QByteArray::fromHex("1877"));
            QVERIFY(array.enterContainer());
            QVERIFY2(array.next() == 0, qPrintable(hex));
            QVERIFY2(array.isUnsignedInteger() && array.toUnsignedInteger() == 0x77, qPrintable(hex));

            // {"text": v, "count": v, "flag": v, "ratio": v, "zz": v, "width": 2}
            const QByteArray map = QByteArray::fromHex("a6") + key("text") + item + key("count") + item + key("flag")
                                   + item + key("ratio") + item + key("zz") + item + key("width") + char(0x02);
            probe::ProbeObject probe;
            CborReader reader(map);
            QVERIFY2(probe.fromCbor(reader) == 0, qPrintable(hex));
            QVERIFY2(probe.width == 2, qPrintable(hex));
            if (major != 3 || decoded.isString()) // chunked texts are given in diagnostic notation only
                QVERIFY2(probe.text == (decoded.isString() ? decoded.toString() : QString()), qPrintable(hex));
            QVERIFY2(probe.flag == (hex == QLatin1String("f5")), qPrintable(hex));
            if (major > 1)
                QVERIFY2(probe.count == -1, qPrintable(hex));
            else if (decoded.isDouble() && qAbs(decoded.toDouble()) < 9007199254740992.0)
                QVERIFY2(probe.count == qint64(decoded.toDouble()), qPrintable(hex));
            if (!hex.startsWith(QLatin1String("fb")))
                QVERIFY2(probe.ratio == 0.0, qPrintable(hex)); // half and single precision are not taken
            else if (decoded.isDouble())
                QVERIFY2(probe.ratio == decoded.toDouble(), qPrintable(hex));
        }
    }
};

QTEST_GUILESS_MAIN(TestCborReader)
#include "tst_cborreader.moc"
