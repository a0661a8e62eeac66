// The demo host: a box's user interface against the offline fake platform, through the real
// engine, told as a transcript of the typed answers. Usage: tqdemo [configuration.json]
//
// The configuration (the sample, or the file given) fills the store; the demo points the
// balancer at the fake platform as a runtime value, and from there the host finds the
// platform's front end, takes a session and keeps it through expiry, a gateway storm and
// the box's sleep. Exits 1 when a step did not finish.

#include "adbreak.h"
#include "partygame.h"
#include "pushstep.h"
#include "steps.h"

#include "engine/notifier.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace demo;

namespace {

struct Step
{
    const char* title;
    std::function<bool()> run;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("TQAPI_LOG_LEVEL"))
        logging::setLogLevel(logging::Warning); // the transcript says what matters; TQAPI_LOG_LEVEL=4 shows the engine
    const QString configPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TQ_DEMO_CONFIG);

    QTemporaryDir stateDir;
    stbconfig::ConfigurationManager store(stateDir.filePath(QStringLiteral("authorization.json")));
    if (!store.loadFile(configPath)) {
        say(QStringLiteral("cannot read configuration %1 (expected {\"Group\": {\"key\": value}})").arg(configPath));
        return 1;
    }
    section(QStringLiteral("configuration from ") + configPath);
    say(QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(store.effectiveValues())).toJson(QJsonDocument::Compact)));

    FakeWorld world;
    store.setValue(QStringLiteral("TQ"), QStringLiteral("balancerUrl"), world.balancerUrl(), stbconfig::Runtime);
    say(QStringLiteral("fake platform: front ends %1 and %2, balancer %3")
            .arg(world.frontEnd1.baseUrl(), world.frontEnd2.baseUrl(), world.balancerUrl()));

    BoxProperties properties(&store);
    properties.agent = QStringLiteral("tqdemo/1.0");
    properties.mac = QStringLiteral("00:11:22:33:44:55");

    tq::TqContext context(&store);
    context.setPropertyProvider(&properties);
    TimingListener timings;
    context.setRequestListener(&timings);
    tq::TqNotifier* notifier = context.notifier();
    QObject::connect(notifier, &tq::TqNotifier::networkActivityPaused, [] { say(QStringLiteral("library: network paused")); });
    QObject::connect(notifier, &tq::TqNotifier::networkActivityResumed, [] { say(QStringLiteral("library: network resumed")); });
    QObject::connect(notifier, &tq::TqNotifier::proxySettingCompleted, [] { say(QStringLiteral("library: proxy applied")); });

    int status = 0;
    {
        SessionKeeper session(context);
        Screen screen(context, QStringLiteral("Guide"));
        Demo demo{world, store, context, session, screen, {}};
        const Step steps[] = {
            {"1-2. discovery and a new session", [&] { return session.start(); }},
            {"3. the channel list", [&] { return channelList(demo); }},
            {"4. the guide of the first channels", [&] { return programmeGuide(demo); }},
            {"5. a content page", [&] { return contentPage(demo); }},
            {"6. a favourite added and removed", [&] { return favourites(demo); }},
            {"7. the session expires", [&] { return sessionExpiry(demo); }},
            {"8. a gateway storm on the front end", [&] { return gatewayStorm(demo); }},
            {"9. pause and resume (the box goes to sleep)", [&] { return pauseAndResume(demo); }},
            {"a poster, then the same poster from the cache", [&] { return imageAndCache(demo); }},
            {"switching to a proxy", [&] { return proxySwitch(demo); }},
            {"an ad break before the film", [&] { return playAdBreak(context, world.services); }},
            {"a party game on the TV", [&] { return playPartyGame(context, world.serviceRoutes); }},
            {"a notification pushed over the websocket",
             [&] { return showPushedNotification(context, world.platformServing(session), session.services().wsUrl); }},
        };
        for (const Step& step : steps) {
            section(QLatin1String(step.title));
            if (!step.run()) {
                say(QStringLiteral("FAILED: step \"%1\" did not finish").arg(QLatin1String(step.title)));
                status = 1;
                break;
            }
        }
        context.setRequestListener(nullptr); // the screens' teardown drops requests; nobody listens any more
    }
    if (status == 0)
        section(QStringLiteral("done"));
    return status;
}
