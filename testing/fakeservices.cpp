#include "fakeservices.h"

#include "platform/configurationmanager.h"
#include "transport/configwrapper.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace fake {
namespace {

const QJsonObject& samples()
{
    static const QJsonObject all = [] {
        QFile file(QStringLiteral(TQ_SERVICE_SAMPLES));
        file.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return all;
}

Handler jsonSample(const char* name)
{
    return [name](const HttpRequest&) {
        return HttpResponse::json(200, FakeServices::sample(QLatin1String(name)).toObject());
    };
}

Handler png(int width, int height)
{
    return [width, height](const HttpRequest&) {
        return HttpResponse::withBody(200, "image/png", pngBody(QSize(width, height)));
    };
}

} // namespace

QJsonValue FakeServices::sample(const QString& name)
{
    return samples().value(name);
}

FakeServices::FakeServices(FakeHttpServer* server) : m_server(server)
{
    server->route("GET", "/thumbs/rec42/playlist.json", jsonSample("thumbnails/playlist"));
    server->route("GET", "/thumbs/rec42/sprite-0.jpg", png(160, 90));
    server->route("GET", "/static/hd1080/qr.png", png(64, 64));
    server->route("GET", "/rn/4.2/index.html", [](const HttpRequest&) {
        return HttpResponse::withBody(200, "text/html; charset=utf-8", sample("releasenotes/page").toString().toUtf8());
    });
    server->route("GET", "/rn/4.2/new-guide.png", png(320, 180));
    server->route("GET", "/syt/api/partners/v1/qr", jsonSample("syt/qr"));
    server->route("POST", "/syt/api/partners/v1/user_event", jsonSample("syt/user_event"));
    server->route("GET", "/api/v2/user/b2b_hotel/playlist", jsonSample("hotel/playlist"));
    server->route("POST", "/pay", [](const HttpRequest& request) {
        const bool denied = QJsonDocument::fromJson(request.body).object().value("cardNumber").toString() == deniedCard();
        return HttpResponse::json(200, sample(denied ? "payment/denied" : "payment/accepted").toObject());
    });
    server->route("GET", "/party/app/settings", jsonSample("party/settings"));
    server->route("GET", "/party/app/room/tv", jsonSample("party/room"));
    server->route("GET", "/party/img/cat.png", png(96, 96));
}

void FakeServices::configure(stbconfig::ConfigurationManager* store) const
{
    tq::TqConfigWrapper config(store);
    const QString base = m_server->baseUrl();
    config.setThumbnailsUrl(base + "/thumbs");
    config.setSytUrl(base + "/syt");
    config.setApiUrl(base);
    config.setPartyStationUrl(base + "/party/");
    config.setReleaseNotesVersion("4.2");
    store->setValue("StaticData", "url", base + "/static", stbconfig::Runtime);
    store->setValue("ReleaseNotes", "url", base + "/rn", stbconfig::Runtime);
}

} // namespace fake
