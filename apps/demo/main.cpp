// The demo host: loads a configuration (the sample, or a file given on the command line)
// and shows what the library makes of it.

#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QString configPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TQ_DEMO_CONFIG);

    QTemporaryDir stateDir;
    stbconfig::ConfigurationManager store(stateDir.filePath(QStringLiteral("authorization.json")));
    if (!store.loadFile(configPath)) {
        out << "cannot read configuration " << configPath << Qt::endl;
        return 1;
    }
    out << "== configuration " << configPath << Qt::endl;
    out << QJsonDocument(QJsonObject::fromVariantMap(store.effectiveValues())).toJson();

    tq::TqConfigWrapper config(&store);
    out << "== as the library reads it" << Qt::endl;
    out << "balancer url:            " << config.balancerUrl() << Qt::endl;
    out << "connections via proxy:   " << config.numberOfConnectionsWithProxy() << " (clamped to 1..6)" << Qt::endl;
    out << "request timeout:         " << config.requestTimeoutInterval().count() << " s" << Qt::endl;
    out << "services availability:   " << config.vemoServicesAvailabilityUrl() << Qt::endl;
    out << "auth storage available:  " << (config.isAuthStorageAvailable() ? "yes" : "no") << Qt::endl;

    out << "== session id: persistent, then hidden by a temporary one" << Qt::endl;
    config.setSessionId(QStringLiteral("persistent-1"));
    config.setTemporarySessionId(QStringLiteral("temporary-2"));
    out << "effective:               " << config.sessionId() << Qt::endl;
    config.clearTemporarySessionId();
    out << "after clearing temporary:" << config.sessionId() << Qt::endl;
    stbconfig::ConfigurationManager restarted(stateDir.filePath(QStringLiteral("authorization.json")));
    out << "after a restart:         " << tq::TqConfigWrapper(&restarted).sessionId() << Qt::endl;

    out << "== device management poll limits" << Qt::endl;
    out.flush();
    const auto limits = rdm::ConfigWrapper(&store).requestPollIntervalLimits();
    out << "poll interval:           [" << limits.first.count() << ", " << limits.second.count() << "] s" << Qt::endl;
    return 0;
}
