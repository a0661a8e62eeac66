#include "platformroutes.h"

#include "fakehttpserver.h"

#include <QJsonArray>
#include <QJsonObject>

using fake::HttpRequest;
using fake::HttpResponse;

namespace fakeplatform {

namespace {

QJsonObject channel(int id, int number, const char* name)
{
    return QJsonObject{{"id", id}, {"number", number}, {"name", QLatin1String(name)},
                       {"tq_channel_id", 1000 + id}, {"is_tstv_allowed", true}};
}

QJsonObject ageLevel(int id, int age, const char* name)
{
    return QJsonObject{{"id", id}, {"age_value", age}, {"name", QLatin1String(name)}};
}

struct ApiRoute
{
    const char* method;
    const char* path; // below "/api"
    QJsonObject (*answer)(const HttpRequest&);
};

const ApiRoute apiRoutes[] = {
    {"GET", "/v3/user/channels",
     [](const HttpRequest&) {
         const QJsonArray items{channel(1, 1, "News"), channel(2, 2, "Sport")};
         return QJsonObject{{"items", items}, {"total_items", int(items.size())}};
     }},
    {"GET", "/v2/user/age_levels",
     [](const HttpRequest&) {
         return QJsonObject{{"items", QJsonArray{ageLevel(1, 0, "0+"), ageLevel(2, 12, "12+"), ageLevel(3, 18, "18+")}}};
     }},
};

HttpResponse platformError(int status, int code, const char* description)
{
    return HttpResponse::json(status, QJsonObject{{"error_code", code}, {"description", QLatin1String(description)}});
}

} // namespace

void addPlatformRoutes(fake::FakeHttpServer& server)
{
    const QString base = server.baseUrl();
    const QString wsBase = QStringLiteral("ws://127.0.0.1:%1").arg(server.port());
    server.route("GET", QStringLiteral("/discovery"), [base, wsBase](const HttpRequest&) {
        return HttpResponse::json(200, QJsonObject{{"api_url", base},
                                                   {"ws_url", wsBase + QStringLiteral("/ws")},
                                                   {"spy_url", base + QStringLiteral("/spy")},
                                                   {"img_url", base + QStringLiteral("/images")},
                                                   {"thumbnails_url", base + QStringLiteral("/thumbnails")},
                                                   {"proxy_url", QString()}});
    });
    server.route("POST", QStringLiteral("/spy"), [](const HttpRequest&) { return HttpResponse::withBody(204, "", ""); });

    for (const ApiRoute& route : apiRoutes) {
        server.route(route.method, QStringLiteral("/api") + QLatin1String(route.path), [answer = route.answer](const HttpRequest& request) {
            if (request.header("session_id").isEmpty())
                return platformError(401, 1000009, "user is not logged in"); // UserNotLogged
            return HttpResponse::json(200, answer(request));
        });
    }
}

} // namespace fakeplatform
