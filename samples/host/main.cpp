// A minimal host of the installed library, as a host team would start one: built out of tree
// by its own CMakeLists.txt (find_package(TqApi)) or from `pkg-config --cflags --libs tqapi`.
// It discovers the platform, asks for the channel list and prints it as
// "<count> channels: <id> <name>, ...". Usage: tqhost <discovery URL>
// No Q_OBJECT here, so that a plain compiler command line builds it too.

#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "model/decode.h"
#include "model/fieldcodec.h"
#include "model/fields.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace host {

class Services : public tq::DecodedObject<Services, tq::AbstractResponse>
{
    TQ_DECODED(Services)
public:
    QString apiUrl;
    static constexpr auto fields() { return std::make_tuple(tq::field("api_url", &Services::apiUrl)); }
};

class Channel : public tq::DecodedObject<Channel, tq::AbstractCborObject>
{
    TQ_DECODED(Channel)
public:
    qint64 id = -1;
    QString name;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::idField("id", &Channel::id), tq::field("name", &Channel::name));
    }
};

class Channels : public tq::DecodedObject<Channels, tq::AbstractResponse>
{
    TQ_DECODED(Channels)
public:
    QList<Channel> items;
    qint64 totalItems = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("items", &Channels::items), tq::field("total_items", &Channels::totalItems));
    }
};

// The conversions of the objects above, compiled here once.
TQ_DEFINE_OBJECT(Services)
TQ_DEFINE_OBJECT(Channel)
TQ_DEFINE_OBJECT(Channels)

template<class Answer>
class Request : public tq::AbstractRequest
{
public:
    Request(tq::MethodType type, QString path, int apiVersion = 2) : m_type(type), m_path(std::move(path)), m_version(apiVersion) {}

    std::function<tq::RequestRawData()> rawDataCreator() const override
    {
        return [type = m_type, path = m_path, version = m_version] {
            tq::RequestRawData raw(&tq::decodeJson<Answer>);
            raw.methodType = type;
            raw.httpMethod = tq::httpGetMethod();
            raw.path = path;
            raw.apiVersion = version;
            return raw;
        };
    }

private:
    tq::MethodType m_type;
    QString m_path;
    int m_version;
};

class ExitOnError : public tq::ITqRequestErrorHandler
{
public:
    bool handleRequestError(qint64, const tq::RequestError& error) override
    {
        QTextStream(stderr) << "request failed: " << error.fullInfo() << Qt::endl;
        QCoreApplication::exit(1);
        return true;
    }
};

} // namespace host

using namespace host;

Q_DECLARE_METATYPE(Services)
Q_DECLARE_METATYPE(Channels)

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: tqhost <discovery URL>" << Qt::endl;
        return 2;
    }
    QTemporaryDir state;
    stbconfig::ConfigurationManager store(state.filePath(QStringLiteral("authorization.json")));
    tq::TqConfigWrapper config(&store);
    config.setSessionId(QStringLiteral("host-session"));
    stbcore::FixedPropertyProvider provider;
    provider.agent = QStringLiteral("tqhost/1.0");

    tq::TqContext context(&store);
    context.setPropertyProvider(&provider);
    ExitOnError errors;
    const std::unique_ptr<tq::TqClientFacade> client(context.createClient(&errors));

    const Request<Services> discovery(tq::MethodType::TqDiscover, QString::fromLocal8Bit(argv[1]));
    const Request<Channels> channels(tq::MethodType::TqApi, QStringLiteral("/user/channels"), 3);
    QObject::connect(client.get(), &tq::TqClientFacade::dataReceived, [&](qint64, const QVariant& answer) {
        if (answer.metaType() == QMetaType::fromType<Services>()) {
            config.setApiUrl(answer.value<Services>().apiUrl);
            client->sendRequest(&channels);
            return;
        }
        const Channels list = answer.value<Channels>();
        QStringList names;
        for (const Channel& channel : list.items)
            names.append(QStringLiteral("%1 %2").arg(channel.id).arg(channel.name));
        QTextStream(stdout) << list.totalItems << " channels: " << names.join(QStringLiteral(", ")) << Qt::endl;
        QCoreApplication::exit(0);
    });
    client->sendRequest(&discovery);
    QTimer::singleShot(30000, [] {
        QTextStream(stderr) << "no answer in 30 s" << Qt::endl;
        QCoreApplication::exit(1);
    });
    return app.exec();
}
