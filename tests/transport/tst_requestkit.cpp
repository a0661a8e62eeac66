// The request kit's sending rules, one member type and rule at a time: which values go out
// and as what text, written out here. The catalogue and the services' tests hold every
// request's query; this table holds the rules they are built from, including the pairs
// no request of today uses. Then the route's switches and a complete address as the record
// shows them.

#include "model/enums.h"
#include "transport/requestkit.h"

#include <QtTest>

#include <limits>

using tq::Send;

namespace {

// One member sent as "k" under one rule.
template<class Held, Send Rule>
class Probe : public tq::Request<Probe<Held, Rule>>
{
public:
    static constexpr tq::Route route = tq::get("/probe");
    Held held{};
    static constexpr auto query() { return std::make_tuple(tq::item("k", &Probe::held, Rule)); }
};

template<class Held, Send Rule = Send::WhenSet>
QString sent(const Held& value)
{
    Probe<Held, Rule> probe;
    probe.held = value;
    return probe.rawDataCreator()().queryItems.join(QLatin1Char('&'));
}

// The other kinds of argument: a member function's value and a fixed text, in order.
class Derived : public tq::Request<Derived>
{
public:
    static constexpr tq::Route route = tq::get("/derived");
    QString mac;
    static constexpr auto query()
    {
        return std::make_tuple(tq::item("mac", &Derived::lowered), tq::fixed("project", "vemo a"));
    }

private:
    QString lowered() const { return mac.toLower(); }
};

class Plain : public tq::Request<Plain>
{
public:
    static constexpr tq::Route route = tq::get("/plain");
};

class Switched : public tq::Request<Switched>
{
public:
    static constexpr tq::Route route = tq::patch("/switched", 4)
                                           .type(tq::MethodType::RdmApi)
                                           .specialization(tq::MethodSpecializaton::Settings)
                                           .notDeferrable()
                                           .notCacheable()
                                           .noImageSizeCheck();
};

// A complete address in front of the route's path.
class Addressed : public tq::Request<Addressed>
{
public:
    explicit Addressed(QString address) : server(std::move(address)) {}
    static constexpr tq::Route route = tq::get("/vast3");
    QString server;
    static constexpr auto address = &Addressed::server;
};

QString record(const tq::AbstractRequest& request)
{
    const tq::RequestRawData raw = request.rawDataCreator()();
    return QStringLiteral("%1 v%2 %3 valid %4 absolute %5 type %6 specialization %7 deferrable %8 cacheable %9 "
                          "size check %10 decoder %11")
        .arg(raw.httpMethod)
        .arg(raw.apiVersion)
        .arg(raw.path)
        .arg(raw.isValid)
        .arg(raw.isAbsoluteUrl)
        .arg(QMetaEnum::fromType<tq::MethodType>().valueToKey(int(raw.methodType)))
        .arg(QMetaEnum::fromType<tq::MethodSpecializaton>().valueToKey(int(raw.methodSpecialization)))
        .arg(raw.isDeferrable)
        .arg(raw.isCacheable)
        .arg(raw.checkImageSize)
        .arg(bool(raw.responseExtractor));
}

} // namespace

class TestRequestKit : public QObject
{
    Q_OBJECT

private slots:
    // "actual" is what the kit made of a probe, "expected" what the rule says.
    void records()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void records_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        using tq::ContentItemType;
        const quint64 largest = std::numeric_limits<quint64>::max();

        QTest::newRow("number set: 1") << sent<qint64>(1) << "k=1";
        QTest::newRow("number set: 0") << sent<qint64>(0) << "";
        QTest::newRow("number set: -1") << sent<qint64>(-1) << "";
        QTest::newRow("number set: largest unsigned") << sent<quint64>(largest) << "k=18446744073709551615";
        QTest::newRow("number always: 0") << sent<qint64, Send::Always>(0) << "k=0";
        QTest::newRow("number always: -5") << sent<int, Send::Always>(-5) << "k=-5";
        QTest::newRow("not negative: 0") << sent<qint64, Send::NotNegative>(0) << "k=0";
        QTest::newRow("not negative: -1") << sent<qint64, Send::NotNegative>(-1) << "";
        QTest::newRow("not negative: unsigned 0") << sent<quint64, Send::NotNegative>(0) << "k=0";
        QTest::newRow("not zero: -1") << sent<qint64, Send::NotZero>(-1) << "k=-1";
        QTest::newRow("not zero: 0") << sent<int, Send::NotZero>(0) << "";
        QTest::newRow("not zero: byte 255") << sent<quint8, Send::NotZero>(255) << "k=255";
        QTest::newRow("not -1: -1") << sent<qint64, Send::NotMinusOne>(-1) << "";
        QTest::newRow("not -1: -2") << sent<qint64, Send::NotMinusOne>(-2) << "k=-2";
        QTest::newRow("not -1: 0") << sent<qint32, Send::NotMinusOne>(0) << "k=0";
        QTest::newRow("year: 1895") << sent<int, Send::Year>(1895) << "";
        QTest::newRow("year: 1896") << sent<int, Send::Year>(1896) << "k=1896";

        QTest::newRow("text set: empty") << sent(QString()) << "";
        QTest::newRow("text set: encoded") << sent(QStringLiteral("a b&c")) << "k=a%20b%26c";
        QTest::newRow("text always: empty") << sent<QString, Send::Always>(QString()) << "k=";
        QTest::newRow("list set: empty") << sent(QList<qint64>()) << "";
        QTest::newRow("list set: joined") << sent(QList<qint64>{1, -2}) << "k=1%2C-2";
        QTest::newRow("texts set: joined") << sent(QStringList{"a", "b c"}) << "k=a%2Cb%20c";

        QTest::newRow("bool set: false") << sent(false) << "";
        QTest::newRow("bool set: true") << sent(true) << "k=true";
        QTest::newRow("bool always: false") << sent<bool, Send::Always>(false) << "k=false";
        QTest::newRow("optional: unset") << sent(std::optional<bool>()) << "";
        QTest::newRow("optional: false") << sent(std::optional<bool>(false)) << "k=false";
        QTest::newRow("optional always: unset") << sent<std::optional<bool>, Send::Always>({}) << "";

        QTest::newRow("enum set: known") << sent(ContentItemType::Channel) << "k=channel";
        QTest::newRow("enum set: no wire string") << sent(ContentItemType::Unknown) << "";
        QTest::newRow("enum always: no wire string") << sent<ContentItemType, Send::Always>(ContentItemType::Unknown)
                                                    << "k=";
        QTest::newRow("enum list") << sent(QList<tq::MessageType>{tq::MessageType::Message, tq::MessageType::Poll})
                                   << "k=message%2Cpoll";

        Derived derived;
        derived.mac = QStringLiteral("AA:Bb");
        QTest::newRow("member function, fixed text") << derived.rawDataCreator()().queryItems.join(QLatin1Char('&'))
                                                     << "mac=aa%3Abb&project=vemo%20a";

        QTest::newRow("route without switches")
            << record(Plain()) << "GET v2 /plain valid 1 absolute 0 type TqApi specialization Unknown deferrable 1 "
                                  "cacheable 1 size check 1 decoder 0";
        QTest::newRow("route with every switch")
            << record(Switched()) << "PATCH v4 /switched valid 1 absolute 0 type RdmApi specialization Settings "
                                     "deferrable 0 cacheable 0 size check 0 decoder 0";
        QTest::newRow("complete address")
            << record(Addressed("http://ads.example:81/x")) << "GET v2 http://ads.example:81/x/vast3 valid 1 absolute 1 "
                                                               "type TqApi specialization Unknown deferrable 1 "
                                                               "cacheable 1 size check 1 decoder 0";
        QTest::newRow("empty address: refused")
            << record(Addressed(QString())) << "GET v2 /vast3 valid 0 absolute 1 type TqApi specialization Unknown "
                                               "deferrable 1 cacheable 1 size check 1 decoder 0";
    }
};

QTEST_GUILESS_MAIN(TestRequestKit)
#include "tst_requestkit.moc"
