#include "fakeplatform.h"

#include "objectsamples.h"

#include "api/catalogue.h"
#include "model/fieldcodec_p.h"

#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaType>

namespace fake {

namespace {

const QHash<QString, QJsonObject>& samplesByName()
{
    static const QHash<QString, QJsonObject> samples = [] {
        QHash<QString, QJsonObject> all;
        for (const QString& family : tq::samples::objectSampleFamilies()) {
            const QJsonObject objects = tq::samples::objectSamples(family);
            for (auto it = objects.begin(); it != objects.end(); ++it)
                all.insert(it.key(), it.value().toObject());
        }
        return all;
    }();
    return samples;
}

HttpResponse errorBody(int status, int code, const QString& description, const QJsonObject& details = {})
{
    QJsonObject body{{"error_code", code}, {"description", description}};
    if (!details.isEmpty())
        body.insert(QStringLiteral("details"), details);
    return HttpResponse::json(status, body);
}

// The declared object an answer is (an answer that only renames another, such as
// GetEPGByIDResponse for EPGItemBrief, is served that one's sample).
template<class T, class... Bases>
T declaredOf(const tq::DecodedObject<T, Bases...>*);

// "tq::GetChannelsResponse" -> "GetChannelsResponse"
template<class T>
QString nameOf()
{
    const QString name = QString::fromLatin1(QMetaType::fromType<T>().name());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

template<class T>
QString answerName()
{
    const QString own = nameOf<T>();
    if (samplesByName().contains(own))
        return own;
    return nameOf<decltype(declaredOf(static_cast<T*>(nullptr)))>();
}

const char* const names[fakeChannelCount] = {"News 24", "Sport", "Movies", "Kids", "Music", "Nature"};

QList<qint64> idsOf(const QString& text)
{
    QList<qint64> ids;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.append(part.toLongLong());
    return ids;
}

} // namespace

QJsonObject fakeChannel(int index)
{
    QJsonObject channel = FakePlatform::sample(QStringLiteral("ChannelBrief"));
    channel.insert(QStringLiteral("id"), index + 1);
    channel.insert(QStringLiteral("number"), index + 1);
    channel.insert(QStringLiteral("name"), QLatin1String(names[index % fakeChannelCount]));
    channel.insert(QStringLiteral("tq_channel_id"), 1001 + index);
    return channel;
}

FakePlatform::FakePlatform(FakeHttpServer& server) : m_server(server)
{
    addCatalogueRoutes();
    addOwnRoutes();
    m_push.serveTokens(m_server); // real tokens instead of the catalogue's sample
    m_server.tunnel(QStringLiteral("/ws"), m_push.port());
}

QString FakePlatform::discoveryUrl() const
{
    return m_server.baseUrl() + QStringLiteral("/discovery");
}

QString FakePlatform::webSocketUrl() const
{
    return QStringLiteral("ws://127.0.0.1:%1/ws").arg(m_server.port());
}

QJsonObject FakePlatform::sample(const QString& name)
{
    return samplesByName().value(name);
}

void FakePlatform::setFault(const QByteArray& method, const QString& path, const PlatformFault& fault)
{
    m_faults.insert(QString::fromLatin1(method) + QLatin1Char(' ') + path, fault);
}

void FakePlatform::clearFault(const QByteArray& method, const QString& path)
{
    m_faults.remove(QString::fromLatin1(method) + QLatin1Char(' ') + path);
}

void FakePlatform::setFaultEverywhere(const PlatformFault& fault)
{
    m_faults.insert(QStringLiteral("*"), fault);
}

void FakePlatform::clearFaults()
{
    m_faults.clear();
}

void FakePlatform::expireSessions()
{
    m_expired.unite(m_sessions);
    m_sessions.clear();
}

QStringList FakePlatform::liveSessions() const
{
    return QStringList(m_sessions.cbegin(), m_sessions.cend());
}

QStringList FakePlatform::favourites() const
{
    return m_favourites;
}

QString FakePlatform::newSession()
{
    const QString id = QStringLiteral("session-%1").arg(++m_sessionCounter);
    m_sessions.insert(id);
    return id;
}

std::optional<HttpResponse> FakePlatform::fault(const QString& key, bool orEverywhere)
{
    auto it = m_faults.find(key);
    if (it == m_faults.end() && orEverywhere)
        it = m_faults.find(QStringLiteral("*"));
    if (it == m_faults.end())
        return std::nullopt;
    PlatformFault& f = *it;
    if (f.times == 0)
        return std::nullopt;
    if (f.times > 0)
        --f.times;
    if (f.status == 0) {
        if (f.delayMs <= 0)
            return std::nullopt;
        HttpResponse slow; // marks the delay; the caller fills the answer
        slow.status = 0;
        slow.faults = Faults{};
        slow.faults->delayMs = f.delayMs;
        return slow;
    }
    HttpResponse response = f.errorCode ? errorBody(f.status, f.errorCode, f.description, f.details)
                                        : HttpResponse::withBody(f.status, "text/plain", QByteArray::number(f.status));
    if (f.retryAfter >= 0)
        response.header("Retry-After", QByteArray::number(f.retryAfter));
    if (f.delayMs > 0) {
        response.faults = Faults{};
        response.faults->delayMs = f.delayMs;
    }
    return response;
}

// Every API answer passes here: faults first, then the session rule, then the answer.
HttpResponse FakePlatform::api(const QByteArray& method, const QString& route, const HttpRequest& request,
                               const std::function<HttpResponse(const HttpRequest&)>& answer)
{
    std::optional<HttpResponse> faulty = fault(QString::fromLatin1(method) + QLatin1Char(' ') + route);
    if (faulty && faulty->status != 0)
        return *faulty;
    const QString session = QString::fromLatin1(request.header("session_id"));
    const bool renewal = route == QLatin1String("/user/update_token");
    HttpResponse response;
    if (m_expired.contains(session) && !renewal)
        response = errorBody(403, 1000053, QStringLiteral("session replacement required"));
    else if (!m_anySession && !m_sessions.contains(session) && !(renewal && m_expired.contains(session)))
        response = errorBody(401, 1000009, QStringLiteral("user is not logged in"));
    else
        response = answer(request);
    if (faulty)
        response.faults = faulty->faults;
    return response;
}

void FakePlatform::addCatalogueRoutes()
{
    auto add = [this](const char* method, int version, const QString& path, const QString& answer) {
        const QString full = QStringLiteral("/api/v%1").arg(version) + path;
        const QByteArray verb(method);
        m_server.route(verb, full, [this, verb, path, answer](const HttpRequest& request) {
            return api(verb, path, request, [answer](const HttpRequest&) {
                const auto it = samplesByName().constFind(answer);
                if (it == samplesByName().cend())
                    return errorBody(501, 6000006, QStringLiteral("no sample of ") + answer);
                return HttpResponse::json(200, *it);
            });
        });
        if (path.contains(QLatin1String("%1/{id}/"))) { // the collection-kind form without an id
            QString without = path;
            without.replace(QLatin1String("/{id}/"), QLatin1String("/"));
            m_server.route(verb, QStringLiteral("/api/v%1").arg(version) + without, [this, verb, path, answer](const HttpRequest& request) {
                return api(verb, path, request, [answer](const HttpRequest&) { return HttpResponse::json(200, sample(answer)); });
            });
        }
    };
    std::apply(
        [&](auto... request) {
            auto one = [&](auto r) {
                using R = decltype(r);
                if constexpr (R::route.methodType == tq::MethodType::TqApi)
                    add(R::route.method, R::route.api, QLatin1String(R::route.path), answerName<typename R::Answer>());
            };
            (one(request), ...);
        },
        tq::PlatformCatalogue());
}

void FakePlatform::addOwnRoutes()
{
    const QString base = m_server.baseUrl();
    m_server.route("GET", QStringLiteral("/discovery"), [this, base](const HttpRequest&) {
        if (std::optional<HttpResponse> faulty = fault(QStringLiteral("GET /discovery"), false); faulty && faulty->status)
            return *faulty;
        return HttpResponse::json(200, QJsonObject{{"api_url", base},
                                                   {"ws_url", webSocketUrl()},
                                                   {"spy_url", base + QStringLiteral("/spy")},
                                                   {"img_url", base + QStringLiteral("/images")},
                                                   {"thumbnails_url", base + QStringLiteral("/thumbnails")},
                                                   {"proxy_url", QString()}});
    });
    m_server.route("POST", QStringLiteral("/spy"), [](const HttpRequest&) { return HttpResponse::withBody(204, "", ""); });
    // Posters and logos at discovery's "img_url": any name is a small PNG.
    m_server.route("GET", QStringLiteral("/images/{name}"), [](const HttpRequest&) {
        static const QByteArray picture = pngBody(QSize(320, 180));
        return HttpResponse::withBody(200, "image/png", picture);
    });

    // A new session needs none.
    m_server.route("POST", QStringLiteral("/api/v3/ulp/sessions"), [this](const HttpRequest&) {
        if (std::optional<HttpResponse> faulty = fault(QStringLiteral("POST /ulp/sessions"), false); faulty && faulty->status)
            return *faulty;
        QJsonObject answer = sample(QStringLiteral("NewSessionResponse"));
        answer.insert(QStringLiteral("session_id"), newSession());
        answer.insert(QStringLiteral("session_state"), QStringLiteral("normal"));
        return HttpResponse::json(200, answer);
    });
    m_server.route("POST", QStringLiteral("/api/v3/user/update_token"), [this](const HttpRequest& request) {
        return api("POST", QStringLiteral("/user/update_token"), request, [this](const HttpRequest& r) {
            const QString old = QString::fromLatin1(r.header("session_id"));
            m_expired.remove(old);
            m_sessions.remove(old);
            QJsonObject answer = sample(QStringLiteral("UpdateTokenResponse"));
            answer.insert(QStringLiteral("session_id"), newSession());
            answer.insert(QStringLiteral("session_state"), QStringLiteral("normal"));
            return HttpResponse::json(200, answer);
        });
    });

    // The line-up, in CBOR when asked for; built once per size, as a large one is slow to build.
    m_server.route("GET", QStringLiteral("/api/v3/user/channels"), [this](const HttpRequest& request) {
        return api("GET", QStringLiteral("/user/channels"), request, [this](const HttpRequest& r) {
            const bool cbor = r.header("Accept").contains("application/cbor");
            HttpResponse& lineUp = m_lineUp[cbor];
            if (!lineUp.body.isEmpty())
                return lineUp;
            QJsonObject answer = sample(QStringLiteral("GetChannelsResponse"));
            QJsonArray items;
            for (int i = 0; i < m_channelCount; ++i)
                items.append(fakeChannel(i));
            answer.insert(QStringLiteral("items"), items);
            answer.insert(QStringLiteral("total_items"), m_channelCount);
            lineUp = cbor ? HttpResponse::cbor(200, tq::cborFormOf<tq::GetChannelsResponse>(answer))
                          : HttpResponse::json(200, answer);
            return lineUp;
        });
    });

    // The guide of the channels asked for: programmes of an hour from start_time.
    m_server.route("GET", QStringLiteral("/api/v2/user/epg"), [this](const HttpRequest& request) {
        return api("GET", QStringLiteral("/user/epg"), request, [this](const HttpRequest& r) {
            const QJsonObject item = sample(QStringLiteral("EPGItemBrief"));
            const qint64 start = r.query.queryItemValue(QStringLiteral("start_time")).toLongLong();
            const int perChannel = qBound(1, r.query.queryItemValue(QStringLiteral("limit")).toInt(), 24);
            QJsonArray guide;
            for (const qint64 channel : idsOf(r.query.queryItemValue(QStringLiteral("channels_ids"), QUrl::FullyDecoded))) {
                if (channel < 1 || channel > m_channelCount)
                    continue;
                QJsonArray programmes;
                for (int i = 0; i < perChannel; ++i) {
                    QJsonObject programme = item;
                    programme.insert(QStringLiteral("id"), channel * 1000 + i);
                    programme.insert(QStringLiteral("start_time"), start + i * 3600);
                    programme.insert(QStringLiteral("end_time"), start + (i + 1) * 3600);
                    programme.insert(QStringLiteral("name"),
                                     QStringLiteral("%1, part %2").arg(QLatin1String(names[(channel - 1) % fakeChannelCount])).arg(i + 1));
                    programmes.append(programme);
                }
                guide.append(QJsonObject{{"channel_id", channel}, {"channel_programs", programmes}});
            }
            return HttpResponse::json(200, QJsonObject{{"items", guide}});
        });
    });

    // Favourites: POST adds (a second time is refused), DELETE removes.
    m_server.route("POST", QStringLiteral("/api/v2/user/favorites"), [this](const HttpRequest& request) {
        return api("POST", QStringLiteral("/user/favorites"), request, [this](const HttpRequest& r) {
            const QJsonObject body = QJsonDocument::fromJson(r.body).object();
            const QString key = body.value(QStringLiteral("content_type")).toString() + QLatin1Char('/') +
                                QString::number(body.value(QStringLiteral("content_id")).toInteger());
            if (m_favourites.contains(key))
                return errorBody(409, 3000005, QStringLiteral("content already in my collection"));
            m_favourites.append(key);
            QJsonObject answer = sample(QStringLiteral("IdFavoriteResponse"));
            answer.insert(QStringLiteral("content_id"), body.value(QStringLiteral("content_id")));
            return HttpResponse::json(200, answer);
        });
    });
    m_server.route("DELETE", QStringLiteral("/api/v2/user/favorites/{content_type}/{content_id}"), [this](const HttpRequest& request) {
        return api("DELETE", QStringLiteral("/user/favorites/{content_type}/{content_id}"), request, [this](const HttpRequest& r) {
            const QString key = r.path.section(QLatin1Char('/'), -2);
            if (!m_favourites.removeOne(key))
                return errorBody(404, 3000004, QStringLiteral("content not found in my collection"),
                                 QJsonObject{{"content", key}});
            return HttpResponse::json(200, QJsonObject{{"success", true}});
        });
    });
}

} // namespace fake
