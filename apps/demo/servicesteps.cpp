// The rest of the box: posters through the image cache, and the proxy switch.

#include "steps.h"

#include "forwardproxy.h"

#include "api/catalogue.h"
#include "api/requestfamilies.h"
#include "engine/notifier.h"
#include "engine/tqcontext.h"
#include "model/response.h"
#include "services/syt.h"
#include "transport/configwrapper.h"

namespace demo {

bool imageAndCache(Demo& demo)
{
    const tq::ImageRequest poster(QStringLiteral("/poster.png"), QSize(320, 180));
    for (const char* when : {"first", "again"}) {
        const auto image = demo.guide.ask<tq::ImageResponse>(poster);
        if (!image || image->image().isNull())
            return false;
        say(QStringLiteral("poster (%1): %2x%3").arg(QLatin1String(when)).arg(image->image().width()).arg(image->image().height()));
    }
    const int fetched = demo.world.frontEndServing(demo.session).requestCount(QStringLiteral("/images/poster.png"));
    say(QStringLiteral("the image server was asked %1 time(s)").arg(fetched));
    return fetched == 1;
}

bool proxySwitch(Demo& demo)
{
    fake::ForwardProxy proxy;
    if (!fake::ForwardProxy::isAvailable()) {
        say(fake::ForwardProxy::unavailable() + QStringLiteral(": proxy step skipped"));
        return true;
    }
    if (!proxy.start())
        return false;
    tq::TqConfigWrapper config(&demo.store);
    config.setProxyUrl(QStringLiteral("http://127.0.0.1:%1").arg(proxy.port()));
    config.setSytUrl(demo.world.serviceRoutes.url(QStringLiteral("/syt")));
    Q_EMIT demo.context.notifier()->proxyChangeRequired();
    if (!waitUntil([&] { return demo.context.currentProxy().port() == proxy.port(); }))
        return false;

    syt::QrRequest qr;
    qr.userId = QStringLiteral("box-1");
    qr.channelId = demo.channels.value(0).id();
    const auto code = demo.guide.ask<syt::QrResponse>(qr);
    const auto lineUp = demo.guide.ask<tq::GetChannelsResponse>(tq::GetChannelsRequest());
    if (!code || !lineUp)
        return false;
    const auto route = [](const fake::FakeHttpServer& server, const QString& path) {
        return lastRequest(server, path).header("Via").contains("tinyproxy") ? QStringLiteral("through the proxy")
                                                                             : QStringLiteral("direct");
    };
    say(QStringLiteral("partner QR code (%1 item): %2; line-up (the platform, never proxied): %3")
            .arg(code->items.size())
            .arg(route(demo.world.services, QStringLiteral("/syt/api/partners/v1/qr")),
                 route(demo.world.frontEndServing(demo.session), QStringLiteral("/api/v3/user/channels"))));

    Q_EMIT demo.context.notifier()->removeProxyRequired();
    if (!waitUntil([&] { return demo.context.currentProxy() == QNetworkProxy(); }))
        return false;
    say(QStringLiteral("proxy removed"));
    return true;
}

} // namespace demo
