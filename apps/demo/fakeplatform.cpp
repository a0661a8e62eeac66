#include "fakeplatform.h"

#include <QJsonArray>
#include <QJsonObject>

using fake::HttpRequest;
using fake::HttpResponse;

namespace {

HttpResponse channels(const char* host)
{
    return HttpResponse::json(200, QJsonObject{{"total_items", 2},
                                               {"served_by", QLatin1String(host)},
                                               {"items", QJsonArray{QJsonObject{{"id", 1}, {"name", "News"}},
                                                                    QJsonObject{{"id", 2}, {"name", "Sport"}}}}});
}

} // namespace

FakePlatform::FakePlatform()
{
    frontEnd.route("GET", QStringLiteral("/api/v2/channels"), [this](const HttpRequest&) {
        return frontEndDown ? HttpResponse::withBody(502, "text/plain", "bad gateway") : channels("front end 1");
    });
    frontEnd.route("GET", QStringLiteral("/api/v2/user/info"), [this](const HttpRequest&) {
        return frontEndDown ? HttpResponse::withBody(502, "text/plain", "bad gateway")
                            : HttpResponse::json(200, QJsonObject{{"name", "Demo user"}});
    });
    frontEnd.route("*", QStringLiteral("/spy"), [](const HttpRequest&) { return HttpResponse::withBody(204, "", ""); });
    frontEnd.route("GET", QStringLiteral("/discover"), [this](const HttpRequest&) {
        return HttpResponse::json(200, QJsonObject{{"api_url", newFrontEnd.baseUrl()}});
    });
    newFrontEnd.route("GET", QStringLiteral("/api/v2/channels"), [](const HttpRequest&) { return channels("front end 2"); });
    newFrontEnd.route("GET", QStringLiteral("/api/v2/user/info"), [](const HttpRequest&) {
        return HttpResponse::json(200, QJsonObject{{"name", "Demo user"}});
    });

    const QByteArray poster = fake::pngBody(QSize(320, 180));
    services.route("GET", QStringLiteral("/images/poster.png"),
                   [poster](const HttpRequest&) { return HttpResponse::withBody(200, "image/png", poster); });
    services.route("GET", QStringLiteral("/static/about"), [](const HttpRequest&) {
        return HttpResponse::json(200, QJsonObject{{"version", "1.0"}});
    });
    services.route("GET", QStringLiteral("/static/config"), [this](const HttpRequest&) {
        if (++busyCalls == 1)
            return HttpResponse::withBody(429, "text/plain", "slow down").header("Retry-After", "1");
        return HttpResponse::json(200, QJsonObject{{"theme", "dark"}});
    });
    services.route("GET", QStringLiteral("/shop/banners"), [](const HttpRequest& r) {
        const bool proxied = r.header("Via").contains("tinyproxy");
        return HttpResponse::json(200, QJsonObject{{"banners", 3}, {"via_proxy", proxied}});
    });
}
