// Request bodies are written straight from their field declarations; the bytes must be
// the ones Qt's own writer gives for the body's toJson() in compact form. Every body of the
// catalogue is filled from its declarations with hostile values (control characters,
// quotes, backslashes, non-ASCII text, surrogates with and without their pair, extreme
// integers, awkward doubles, JSON kept as received, the JSONTestSuite's values) and sent
// through its request; Qt's writer is the oracle. Probe objects carry the member kinds and
// modifiers no body has yet. Also the query items' edges that the catalogue's rows do not
// reach.

#include "api/catalogue.h"
#include "model/jsonwriter_p.h"
#include "modelprobe.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

using namespace tq;

namespace bodyprobe {

// One member of every kind a flat body may hold, under keys whose order differs from the
// declaration's.
class ProbeBody : public DecodedObject<ProbeBody>
{
    TQ_DECODED(ProbeBody)
public:
    QString text;
    bool flag = false;
    qint64 count = 0;
    int small = 0;
    double ratio = 0.0;
    QColor color;
    QColor validColor;
    PriceType kind = PriceType::Unknown;
    SubscribeMode mode = SubscribeMode::Unknown;
    PriceType shortKind = PriceType::Unknown;
    std::optional<qint64> maybeCount;
    std::optional<bool> maybeFlag;
    std::optional<samples::AgeLevel> maybeLevel;
    samples::AgeLevel level;
    QList<QString> names;
    QList<qint64> refIds;
    QList<samples::AgeLevel> levels;
    QList<PriceType> kinds;
    QList<double> ratios;
    QMap<QString, QString> urls;
    QHash<QString, QMap<QString, QString>> servers;
    QJsonValue any;
    QJsonArray array;
    QJsonObject object;
    samples::AgeLevel track;
    QList<qint64> trackIds;
    QString cborText;
    QString readBack;

    QString label() const { return m_label; }
    void setLabel(const QString& label) { m_label = label; }

    static constexpr auto fields()
    {
        using P = ProbeBody;
        return std::make_tuple(
            field("text", &P::text), field("Flag", &P::flag), field("count", &P::count), field("small", &P::small),
            field("ratio", &P::ratio), field("color", &P::color),
            field("valid_color", &P::validColor).writtenWhenValid(), field("kind", &P::kind),
            field("mode", &P::mode), field("short_kind", &P::shortKind).through<probe::shortPriceTypes>(),
            field("maybe_count", &P::maybeCount), field("maybe_flag", &P::maybeFlag),
            field("maybe_level", &P::maybeLevel), field("level", &P::level), field("names", &P::names),
            idField("ref_ids", &P::refIds), field("levels", &P::levels), field("kinds", &P::kinds),
            field("ratios", &P::ratios), field("urls", &P::urls), field("servers", &P::servers).valuesUnder("urls"),
            field("any", &P::any), field("array", &P::array), field("object", &P::object),
            field("track", &P::track).asJsonText(), field("track_ids", &P::trackIds).asJsonText(),
            field("cbor_text", &P::cborText).cborOnly(), field("read_back", &P::readBack).readOnly(),
            field("a_b", &P::small), accessor("Label", &P::label, &P::setLabel));
    }

private:
    QString m_label;
};

} // namespace bodyprobe

TQ_DEFINE_BODY(bodyprobe::ProbeBody)
// The probes written through Qt's writer (a key under a parent, unions) for the same check.
template QByteArray tq::compactJson<probe::ProbeObject>(const probe::ProbeObject&);
template QByteArray tq::compactJson<probe::ProbeUnion>(const probe::ProbeUnion&);

namespace {

using bodyprobe::ProbeBody;

// Written field by field, not handed to Qt's writer.
static_assert(jsonwriter::detail::flatLayout<ProbeBody>());
static_assert(jsonwriter::detail::flatLayout<PatchProfileParams>());

// The values fields are filled from.
struct Pool
{
    QList<QString> texts;
    QList<qint64> integers;
    QList<double> doubles;
    QList<QJsonValue> kept; // arrays, objects and scalars as received
};

Pool handPool()
{
    Pool pool;
    pool.texts = {QString(), QStringLiteral(""), QStringLiteral("plain"), QStringLiteral("\"quoted\""),
                  QStringLiteral("back\\slash/"), QStringLiteral("\b\f\n\r\t"), QString(QChar(0)),
                  QStringLiteral("\x01\x1f\x7f"), QString::fromUtf8("caf\xc3\xa9 \xe4\xb8\xad \xf0\x9f\x98\x80"),
                  QString(QChar(0xd800)), QString(QChar(0xdfff)), QString(QChar(0xfffe)) + QChar(0xffff),
                  QStringLiteral("a") + QChar(0xd83d) + QChar(0xd83d) + QChar(0xde00) + QChar(0xde00),
                  QStringLiteral("{\"json\":[1,2]}"), QString(300, QLatin1Char('x'))};
    pool.integers = {0, 1, -1, 42, INT_MAX, INT_MIN, qint64(INT_MAX) + 1, qint64(INT_MIN) - 1,
                     std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min(),
                     (qint64(1) << 53) + 1, -(qint64(1) << 53) - 1, 1000000000000000000};
    pool.doubles = {0.0, -0.0, 0.1, 1.0, -2.5, 1e300, -1e-300, 9007199254740993.0, 1e21, 123456789012.5,
                    std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                    std::numeric_limits<double>::denorm_min()};
    pool.kept = {QJsonValue(), QJsonValue(QJsonValue::Undefined), QJsonValue(true), QJsonValue(-0.0),
                 QJsonValue(qint64(1) << 60), QJsonValue(QStringLiteral("\"\\")),
                 QJsonArray{1, 0.1, QStringLiteral("x"), QJsonObject{{QStringLiteral("b"), 1}, {QStringLiteral("a"), 2}}},
                 QJsonObject{{QString::fromUtf8("\xc3\xa9"), QJsonArray{}}, {QStringLiteral("A"), QJsonValue()}}};
    return pool;
}

// Random UTF-16 code units, the troublesome ones more often than text would hold them.
QString randomText(QRandomGenerator& random)
{
    static const char16_t special[] = {0, 0x1f, 0x7f, '"', '\\', '/', 0x80, 0xff, 0x7ff, 0x800, 0xd7ff,
                                       0xd800, 0xdbff, 0xdc00, 0xdfff, 0xe000, 0xfdd0, 0xfffe, 0xffff};
    QString text;
    const int length = random.bounded(12);
    for (int i = 0; i < length; ++i) {
        switch (random.bounded(4)) {
        case 0: text += QChar(char16_t(random.bounded(0x20, 0x7f))); break;
        case 1: text += QChar(special[random.bounded(int(std::size(special)))]); break;
        case 2: text += QChar(char16_t(random.bounded(0x10000))); break;
        default:
            text += QChar(char16_t(random.bounded(0xd800, 0xdc00)));
            text += QChar(char16_t(random.bounded(0xdc00, 0xe000)));
        }
    }
    return text;
}

class Filler
{
public:
    Filler(const Pool& pool, quint32 seed) : m_pool(pool), m_random(seed) {}

    template<class T>
    void object(T& object)
    {
        std::apply([&](const auto&... f) { (field(object, f), ...); }, FieldAccess::fields<T>());
    }

private:
    template<class T, class Owner, class Member, auto Dictionary>
    void field(T& object, const Field<Owner, Member, Dictionary>& f)
    {
        value(FieldAccess::target<Owner>(object).*f.member);
    }
    template<class T, class Owner, class Member, class G, class S>
    void field(T& object, const Property<Owner, Member, G, S>& f)
    {
        Owner& owner = FieldAccess::target<Owner>(object);
        Member member = (owner.*f.get)();
        value(member);
        (owner.*f.set)(member);
    }
    template<class T, class... Choices>
    void field(T& object, const Selection<Choices...>& s)
    {
        std::apply([&](const auto&... c) { (value(detail::choiceMember(object, c)), ...); }, s.choices);
    }

    template<class T>
    const T& pick(const QList<T>& list)
    {
        return list.at(m_random.bounded(int(list.size())));
    }

    template<class M>
    void value(M& member)
    {
        if constexpr (std::is_same_v<M, QString>) {
            member = m_random.bounded(2) ? pick(m_pool.texts) : randomText(m_random);
        } else if constexpr (std::is_same_v<M, bool>) {
            member = m_random.bounded(2);
        } else if constexpr (std::is_same_v<M, qint64>) {
            member = m_random.bounded(2) ? pick(m_pool.integers) : qint64(m_random.generate64());
        } else if constexpr (std::is_same_v<M, int>) {
            member = int(pick(m_pool.integers));
        } else if constexpr (std::is_same_v<M, double>) {
            member = m_random.bounded(2) ? pick(m_pool.doubles) : m_random.generateDouble() * 1e6;
        } else if constexpr (std::is_same_v<M, QColor>) {
            member = m_random.bounded(3) ? QColor::fromRgba(m_random.generate()) : QColor();
        } else if constexpr (std::is_enum_v<M>) {
            member = M(m_random.bounded(-1, 12));
        } else if constexpr (std::is_same_v<M, QJsonValue>) {
            member = pick(m_pool.kept);
        } else if constexpr (std::is_same_v<M, QJsonArray>) {
            member = m_random.bounded(2) ? QJsonArray{pick(m_pool.kept), pick(m_pool.kept)} : pick(m_pool.kept).toArray();
        } else if constexpr (std::is_same_v<M, QJsonObject>) {
            member = pick(m_pool.kept).toObject();
            if (m_random.bounded(2))
                member.insert(randomText(m_random), pick(m_pool.kept));
        } else if constexpr (detail::IsOptional<M>::value) {
            if (m_random.bounded(3) == 0) {
                member.reset();
            } else {
                typename M::value_type inner{};
                value(inner);
                member = std::move(inner);
            }
        } else if constexpr (detail::IsList<M>::value) {
            member.clear();
            for (int i = m_random.bounded(4); i > 0; --i)
                value(member.emplace_back());
        } else if constexpr (detail::IsTextMap<M>::value) {
            member.clear();
            for (int i = m_random.bounded(4); i > 0; --i)
                value(member[randomText(m_random)]);
        } else {
            object(member);
        }
    }

    const Pool& m_pool;
    QRandomGenerator m_random;
};

template<class R, class = void>
struct HasBodyMember : std::false_type {};
template<class R>
struct HasBodyMember<R, std::void_t<decltype(std::declval<R&>().body.toJson())>> : std::true_type {};

using Check = void (*)(const Pool&, int rounds);

void compare(const QByteArray& written, const QJsonObject& json, int round)
{
    const QByteArray expected = QJsonDocument(json).toJson(QJsonDocument::Compact);
    if (written != expected) {
        qWarning("round %d\nwritten:  %s\nexpected: %s", round, written.constData(), expected.constData());
        QFAIL("the body differs from Qt's writer");
    }
}

// `rounds` fillings of the request's body: the bytes it sends against Qt's writer.
template<class R>
void checkRequest(const Pool& pool, int rounds)
{
    for (int round = 0; round < rounds && !QTest::currentTestFailed(); ++round) {
        R request;
        Filler(pool, quint32(round)).object(request.body);
        compare(request.encodedBody(), request.body.toJson(), round);
    }
}

template<class T>
void checkObject(const Pool& pool, int rounds)
{
    for (int round = 0; round < rounds && !QTest::currentTestFailed(); ++round) {
        T object;
        Filler(pool, quint32(round)).object(object);
        compare(compactJson(object), object.toJson(), round);
    }
}

template<class R>
void addRow(QList<std::pair<QByteArray, Check>>& rows)
{
    if constexpr (HasBodyMember<R>::value)
        rows.append({QByteArray(QMetaType::fromType<R>().name()), &checkRequest<R>});
}

template<std::size_t... I>
QList<std::pair<QByteArray, Check>> bodyRows(std::index_sequence<I...>)
{
    QList<std::pair<QByteArray, Check>> rows = {{"ProbeBody", &checkObject<ProbeBody>},
                                                 {"ProbeObject", &checkObject<probe::ProbeObject>},
                                                 {"ProbeUnion", &checkObject<probe::ProbeUnion>}};
    (addRow<std::tuple_element_t<I, PlatformCatalogue>>(rows), ...);
    return rows;
}

void collect(const QJsonValue& value, Pool& pool)
{
    if (value.isString()) {
        pool.texts.append(value.toString());
    } else if (value.isDouble()) {
        pool.doubles.append(value.toDouble());
        pool.integers.append(value.toInteger());
    } else if (value.isArray()) {
        for (const QJsonValue& element : value.toArray())
            collect(element, pool);
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            pool.texts.append(it.key());
            collect(it.value(), pool);
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(Check)

class TestBodies : public QObject
{
    Q_OBJECT

private slots:
    // Each side percent-encoded on its own (letters, digits and "-._~" stay, every other UTF-8
    // byte becomes %XX); lists joined with "," first.
    void queryItemEdges_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("expected");
        QTest::newRow("smallest 64-bit") << queryItem(QStringLiteral("n"), std::numeric_limits<qint64>::min())
                                         << "n=-9223372036854775808";
        QTest::newRow("zero") << queryItem(QStringLiteral("n"), 0) << "n=0";
        QTest::newRow("empty texts in a list") << queryItem(QStringLiteral("t"), QStringList{"", "b", ""}) << "t=%2Cb%2C";
        QTest::newRow("one text") << queryItem(QStringLiteral("t"), QStringList{"a,b"}) << "t=a%2Cb";
        QTest::newRow("no texts") << queryItem(QStringLiteral("t"), QStringList{}) << "t=";
        QTest::newRow("empty list") << queryItem(QStringLiteral("ids"), QList<qint64>{}) << "ids=";
        QTest::newRow("2 and 3 bytes at their edges")
            << queryItem(QString(QChar(0x7f)), QString(QChar(0x80)) + QChar(0x7ff) + QChar(0x800) + QChar(0xffff))
            << "%7F=%C2%80%DF%BF%E0%A0%80%EF%BF%BF";
        QTest::newRow("control characters") << queryItem(QStringLiteral("k"), QString(QChar(0)) + QChar(0x1f))
                                            << "k=%00%1F";
    }
    void queryItemEdges()
    {
        QFETCH(QString, item);
        QFETCH(QString, expected);
        QCOMPARE(item, expected);
    }

    void sameBytesAsQt_data()
    {
        QTest::addColumn<Check>("check");
        const auto rows = bodyRows(std::make_index_sequence<std::tuple_size_v<PlatformCatalogue>>());
        QVERIFY(rows.size() >= 43); // the catalogue's bodies, PatchProfileRequest among them
        for (const auto& [name, check] : rows)
            QTest::newRow(name.constData()) << check;
    }
    void sameBytesAsQt()
    {
        QFETCH(Check, check);
        check(handPool(), 400);
    }

    // The values of every document of the JSONTestSuite that Qt reads, and the documents
    // themselves as JSON kept as received.
    void sameBytesAsQtForJsonTestSuite()
    {
        const QString folder = qEnvironmentVariable("TQ_CORPORA") + QStringLiteral("/json/test_parsing");
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files);
        if (qEnvironmentVariableIsEmpty("TQ_CORPORA") || files.isEmpty())
            QSKIP("the JSONTestSuite corpus is absent (TQ_CORPORA/json/test_parsing)");
        Pool pool = handPool();
        for (const QString& name : files) {
            QFile file(folder + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            pool.texts.append(QString::fromUtf8(bytes)); // undecodable bytes too
            const QJsonDocument document = QJsonDocument::fromJson(bytes);
            if (document.isArray())
                pool.kept.append(document.array());
            else if (document.isObject())
                pool.kept.append(document.object());
            collect(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()), pool);
        }
        for (const auto& [name, check] : bodyRows(std::make_index_sequence<std::tuple_size_v<PlatformCatalogue>>())) {
            check(pool, 200);
            if (QTest::currentTestFailed()) {
                qWarning("in %s", name.constData());
                return;
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestBodies)
#include "tst_bodies.moc"
