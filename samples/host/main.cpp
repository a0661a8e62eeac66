// A minimal host of the installed library, as a host team would start one: built out of tree
// by its own CMakeLists.txt (find_package(TqApi)) or from `pkg-config --cflags --libs tqapi`.
// It discovers the platform, asks for the channel list and prints it as
// "<count> channels: <id> <name>, ...". Usage: tqhost <discovery URL>
// No Q_OBJECT here, so that a plain compiler command line builds it too.

#include "api/channelrequests.h"
#include "api/sessionrequests.h"
#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace host {

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

    const tq::DiscoveryRequest discovery(QString::fromLocal8Bit(argv[1]));
    const tq::GetChannelsRequest channels;
    QObject::connect(client.get(), &tq::TqClientFacade::dataReceived, [&](qint64, const QVariant& answer) {
        if (answer.metaType() == QMetaType::fromType<tq::DiscoverServicesResponse>()) {
            config.setApiUrl(answer.value<tq::DiscoverServicesResponse>().apiUrl);
            client->sendRequest(&channels);
            return;
        }
        const tq::GetChannelsResponse list = answer.value<tq::GetChannelsResponse>();
        QStringList names;
        for (const tq::ChannelBrief& channel : list.items)
            names.append(QStringLiteral("%1 %2").arg(channel.id()).arg(channel.name()));
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
