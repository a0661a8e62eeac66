// The demo host: a scripted session of a box's user interface against the offline fake
// platform, through the real engine. Usage: tqdemo [configuration.json]
//
// The configuration (the sample, or the file given) fills the store; the demo then points
// the service addresses at the fake platform as runtime values, as a host would after
// discovery, and narrates what the library does.

#include "adbreak.h"
#include "partygame.h"
#include "fakeplatform.h"
#include "forwardproxy.h"
#include "pathrequest.h"
#include "pushstep.h"

#include "engine/clientfacade.h"
#include "engine/notifier.h"
#include "engine/requestlistener.h"
#include "engine/tqcontext.h"
#include "model/response.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

using fake::PathRequest;
using tq::MethodType;

namespace {

QTextStream out(stdout);
QElapsedTimer sessionClock;

void say(const QString& text)
{
    out << QStringLiteral("[%1 ms] ").arg(sessionClock.elapsed(), 5) << text << Qt::endl;
}

void section(const QString& title)
{
    out << Qt::endl << "== " << title << Qt::endl;
}

// Runs the event loop until the condition holds; false after the time limit.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return condition();
}

QString describe(const QVariant& response)
{
    if (response.canConvert<tq::ImageResponse>()) {
        const QImage image = response.value<tq::ImageResponse>().image();
        return QStringLiteral("image %1x%2").arg(image.width()).arg(image.height());
    }
    return response.toString().simplified().left(90);
}

// Each exchange's timings as the engine saw them. The listener runs on the library's thread,
// so it only hands the line to the host thread.
class TimingListener : public tq::ITqRequestListener
{
public:
    void requestEvent(const tq::RequestEvent& event) override
    {
        if (event.kind != tq::RequestEvent::Answered && event.kind != tq::RequestEvent::Failed)
            return;
        const QString line = event.fromCache
            ? QStringLiteral("   request %1 restored from the cache").arg(event.requestId)
            : QStringLiteral("   request %1: %2 ms in the queue, %3 ms on the wire, HTTP %4, %5 bytes, decoded in %6 us")
                  .arg(event.requestId)
                  .arg(event.queueWaitNs / 1000000.0, 0, 'f', 1)
                  .arg(event.exchangeNs / 1000000.0, 0, 'f', 1)
                  .arg(event.httpStatus)
                  .arg(event.bytes)
                  .arg(event.decodeNs / 1000);
        QMetaObject::invokeMethod(qApp, [line] { say(line); }, Qt::QueuedConnection);
    }
};

class Screen : public tq::ITqRequestErrorHandler
{
public:
    Screen(tq::TqContext* context, const QString& name) : client(context->createClient(this))
    {
        client->setObjectName(name);
        QObject::connect(client.get(), &tq::TqClientFacade::dataReceived, [this](qint64 id, const QVariant& response) {
            answered.insert(id);
            say(QStringLiteral("%1 <- request %2 answered: %3").arg(client->objectName()).arg(id).arg(describe(response)));
        });
    }
    bool handleRequestError(qint64 id, const tq::RequestError& error) override
    {
        failed.insert(id);
        say(QStringLiteral("%1 <- request %2 failed: %3").arg(client->objectName()).arg(id).arg(error.fullInfo()));
        return true;
    }
    qint64 send(MethodType type, const QString& path, const QString& what)
    {
        const PathRequest request(type, path);
        const qint64 id = client->sendRequest(&request);
        say(QStringLiteral("%1 -> request %2: %3").arg(client->objectName()).arg(id).arg(what));
        return id;
    }
    bool done(qint64 id) const { return answered.contains(id) || failed.contains(id); }

    std::unique_ptr<tq::TqClientFacade> client;
    QSet<qint64> answered;
    QSet<qint64> failed;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    sessionClock.start();
    if (qEnvironmentVariableIsEmpty("TQAPI_LOG_LEVEL"))
        logging::setLogLevel(logging::Warning); // the narration says what matters; TQAPI_LOG_LEVEL=4 shows the engine
    const QString configPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TQ_DEMO_CONFIG);

    QTemporaryDir stateDir;
    stbconfig::ConfigurationManager store(stateDir.filePath(QStringLiteral("authorization.json")));
    if (!store.loadFile(configPath)) {
        out << "cannot read configuration " << configPath << " (expected {\"Group\": {\"key\": value}})" << Qt::endl;
        return 1;
    }
    section(QStringLiteral("configuration from ") + configPath);
    out << QJsonDocument(QJsonObject::fromVariantMap(store.effectiveValues())).toJson(QJsonDocument::Compact) << Qt::endl;

    FakePlatform platform;
    tq::TqConfigWrapper config(&store);
    config.setApiUrl(platform.frontEnd.baseUrl());
    config.setSpyUrl(platform.frontEnd.baseUrl() + QStringLiteral("/spy"));
    config.setImageUrl(platform.services.baseUrl() + QStringLiteral("/images"));
    config.setGetShopUrl(platform.services.baseUrl());
    config.setRuntimeValue(QStringLiteral("StaticData"), QStringLiteral("url"), platform.services.baseUrl());
    config.setSessionId(QStringLiteral("session-1"));
    say(QStringLiteral("fake platform front end at %1, services at %2")
            .arg(platform.frontEnd.baseUrl(), platform.services.baseUrl()));

    stbcore::FixedPropertyProvider provider;
    provider.agent = QStringLiteral("tqdemo/1.0");
    provider.mac = QStringLiteral("00:11:22:33:44:55");
    provider.session = config.sessionId();

    tq::TqContext context(&store);
    context.setPropertyProvider(&provider);
    TimingListener timings;
    context.setRequestListener(&timings);
    tq::TqNotifier* notifier = context.notifier();
    int rebalances = 0;
    QObject::connect(notifier, &tq::TqNotifier::rebalanceRequired, [&] {
        ++rebalances;
        say(QStringLiteral("library: rebalance required"));
    });
    QObject::connect(notifier, &tq::TqNotifier::networkActivityPaused, [] { say(QStringLiteral("library: network paused")); });
    QObject::connect(notifier, &tq::TqNotifier::networkActivityResumed, [] { say(QStringLiteral("library: network resumed")); });
    QObject::connect(notifier, &tq::TqNotifier::proxySettingCompleted, [] { say(QStringLiteral("library: proxy applied")); });

    Screen guide(&context, QStringLiteral("Guide"));
    Screen player(&context, QStringLiteral("Player"));
    bool ok = true;

    section(QStringLiteral("two screens, requests of different priorities"));
    QList<qint64> ids{player.send(MethodType::TqAnalytics, QString(), QStringLiteral("analytics ping (low priority)")),
                      guide.send(MethodType::StaticDataApi, QStringLiteral("/static/about"), QStringLiteral("static data (normal)")),
                      guide.send(MethodType::TqApi, QStringLiteral("/channels"), QStringLiteral("channel list (high)")),
                      player.send(MethodType::TqApi, QStringLiteral("/user/info"), QStringLiteral("user info (high)"))};
    ok &= waitUntil([&] { return guide.done(ids[1]) && guide.done(ids[2]) && player.done(ids[3]) && player.done(ids[0]); });

    section(QStringLiteral("an image, then the same image from the cache"));
    const qint64 first = guide.send(MethodType::TqImage, QStringLiteral("/poster.png"), QStringLiteral("poster"));
    ok &= waitUntil([&] { return guide.done(first); });
    const qint64 again = guide.send(MethodType::TqImage, QStringLiteral("/poster.png"), QStringLiteral("poster again"));
    ok &= waitUntil([&] { return guide.done(again); });
    say(QStringLiteral("image server saw %1 request(s) for the poster")
            .arg(platform.services.requestCount(QStringLiteral("/images/poster.png"))));

    section(QStringLiteral("a server asking to come back later (429, Retry-After: 1)"));
    const qint64 busy = player.send(MethodType::StaticDataApi, QStringLiteral("/static/config"), QStringLiteral("static configuration"));
    ok &= waitUntil([&] { return player.done(busy); });
    say(QStringLiteral("static server was asked %1 times").arg(platform.busyCalls));

    section(QStringLiteral("a gateway storm on the platform front end"));
    platform.frontEndDown = true;
    QList<qint64> storm;
    for (int i = 0; i < 3; ++i)
        storm.append(guide.send(MethodType::TqApi, QStringLiteral("/channels"), QStringLiteral("channel list")));
    ok &= waitUntil([&] { return rebalances > 0; });
    say(QStringLiteral("host: discovering a new front end"));
    const PathRequest discover(MethodType::TqDiscover, platform.frontEnd.url(QStringLiteral("/discover")).toString());
    const qint64 discovered = guide.client->sendRequest(&discover);
    ok &= waitUntil([&] { return guide.done(discovered); });
    config.setApiUrl(platform.newFrontEnd.baseUrl());
    config.setSessionId(QStringLiteral("session-2"));
    provider.session = config.sessionId();
    say(QStringLiteral("host: new session on %1, rebalance completed").arg(platform.newFrontEnd.baseUrl()));
    Q_EMIT notifier->rebalanceCompleted();
    ok &= waitUntil([&] { return std::all_of(storm.begin(), storm.end(), [&](qint64 id) { return guide.done(id); }); });
    say(QStringLiteral("rebalances requested: %1; held requests replayed on the new front end: %2")
            .arg(rebalances)
            .arg(platform.newFrontEnd.requestCount(QStringLiteral("/api/v2/channels"))));

    section(QStringLiteral("pause and resume (the box goes to sleep)"));
    Q_EMIT notifier->pauseNetworkActivityRequired();
    const qint64 whilePaused = player.send(MethodType::TqApi, QStringLiteral("/user/info"), QStringLiteral("user info while paused"));
    waitUntil([] { return false; }, 300);
    say(QStringLiteral("answered while paused: %1").arg(player.done(whilePaused) ? "yes" : "no"));
    Q_EMIT notifier->resumeNetworkActivityRequired();
    ok &= waitUntil([&] { return player.done(whilePaused); });

    section(QStringLiteral("switching to a proxy"));
    fake::ForwardProxy proxy;
    if (!fake::ForwardProxy::isAvailable() || !proxy.start()) {
        say(QStringLiteral("tinyproxy is not installed: proxy step skipped"));
    } else {
        config.setProxyUrl(QStringLiteral("http://127.0.0.1:%1").arg(proxy.port()));
        Q_EMIT notifier->proxyChangeRequired();
        ok &= waitUntil([&] { return context.currentProxy().port() == proxy.port(); });
        const qint64 shop = guide.send(MethodType::GetShopApi, QStringLiteral("/shop/banners"), QStringLiteral("shop banners (proxied type)"));
        const qint64 own = guide.send(MethodType::TqApi, QStringLiteral("/user/info"), QStringLiteral("user info (platform, never proxied)"));
        ok &= waitUntil([&] { return guide.done(shop) && guide.done(own); });
        Q_EMIT notifier->removeProxyRequired();
        ok &= waitUntil([&] { return context.currentProxy() == QNetworkProxy(); });
        say(QStringLiteral("proxy removed"));
    }

    section(QStringLiteral("an ad break before the film"));
    ok &= playAdBreak(context, platform.services, say);

    section(QStringLiteral("a party game on the TV"));
    ok &= playPartyGame(context, platform.services, say);

    section(QStringLiteral("a notification pushed over the websocket"));
    ok &= showPushedNotification(context, platform.newFrontEnd, say); // the front end after the rebalance

    section(ok ? QStringLiteral("done") : QStringLiteral("done, but a step did not finish in time"));
    context.setRequestListener(nullptr); // the screens' teardown drops requests; nobody listens any more
    return ok ? 0 : 1;
}
