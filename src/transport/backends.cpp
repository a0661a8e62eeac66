#include "transport/backends_p.h"

#include "transport/configwrapper.h"
#include "transport/newcachebackend_p.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>
#include <iterator>

using stbcore::IRequestHeaderPropertyProvider;
using Store = stbconfig::ConfigurationManager;

namespace tq {
namespace {

// Headers a row sends; values from the property provider are sent only when it exists.
enum HeaderFlag : unsigned {
    AcceptJson = 1u << 0,      // "Accept": "application/json"
    AcceptXml = 1u << 1,       // "Accept": "application/xml"
    AcceptCharset = 1u << 2,   // "Accept-Charset": "UTF-8"
    ContentTypeJson = 1u << 3, // "Content-Type": "application/json; charset=UTF-8"
    UserAgent = 1u << 4,
    Mac = 1u << 5,
    Uid = 1u << 6,
    San = 1u << 7,
    CustomUserId = 1u << 8, // "X-Custom-User-Id": the MAC address
    Platform = UserAgent | Mac | Uid | San,
};

enum SettingFlag : unsigned {
    UseProxy = 1u << 0,
    Image = 1u << 1,
    LowPriority = 1u << 2,
    CacheKeyIsPath = 1u << 3,           // cacheKey = the raw path
    BuiltPathKeys = 1u << 4,            // the URL ends in the built path; methodPath = cacheKey = it
    NoHeadersWithoutProvider = 1u << 5, // without a provider not even the fixed headers
};

using Text = QString (*)(Store*);
using Seconds = std::chrono::seconds (*)(Store*);
using Extras = QStringList (*)(Store*, const IRequestHeaderPropertyProvider*);

struct Row
{
    MethodType type;
    Text base; // null: the path alone is the URL
    unsigned settings;
    unsigned headers;
    Seconds timeout; // null: the general request timeout
    Seconds expiry;
    Extras extras = nullptr;
    char separator = '?';
};

QString mac(const IRequestHeaderPropertyProvider* p) { return p ? p->macAddress() : QString(); }
QString param(const char* name, const QString& value)
{
    return AbstractBackend::extraParameter(QString::fromLatin1(name), value);
}

QString releaseNotesBase(Store* s)
{
    const TqConfigWrapper c(s);
    return QStringLiteral("%1/%2/").arg(c.releaseNotesUrl(), c.releaseNotesVersion());
}

#define TQ_CONFIG(call) [](Store* s) { return TqConfigWrapper(s).call; }
#define TQ_SCTE35(call) [](Store* s) { return Scte35ConfigWrapper(s).call; }

const Row rows[] = {
    {MethodType::GeneralRequest, nullptr, NoHeadersWithoutProvider, AcceptJson | Platform, nullptr,
     TQ_CONFIG(generalBackendConnectionCacheExpiryTimeout())},

    {MethodType::AdBannerAudit, nullptr, UseProxy | LowPriority, AcceptXml | UserAgent,
     TQ_CONFIG(adBannerPixelsTimeoutInterval()), TQ_CONFIG(adConnectionCacheExpiryTimeout())},
    {MethodType::GetShopAdAudit, nullptr, UseProxy | LowPriority, AcceptXml | UserAgent,
     TQ_CONFIG(getshopAdPixelsTimeoutInterval()), TQ_CONFIG(adConnectionCacheExpiryTimeout())},
    {MethodType::AdStreamAudit, nullptr, LowPriority, AcceptXml | UserAgent,
     TQ_CONFIG(adStreamPixelsTimeoutInterval()), TQ_CONFIG(adConnectionCacheExpiryTimeout())},
    {MethodType::AdStreamApi, nullptr, 0, AcceptXml | UserAgent | Mac | San,
     TQ_CONFIG(adStreamTimeoutInterval()), TQ_CONFIG(adConnectionCacheExpiryTimeout())},
    {MethodType::GetShopAdApi, TQ_CONFIG(adUrl()), UseProxy, AcceptXml | UserAgent | Uid | Mac | San,
     TQ_CONFIG(getshopAdTimeoutInterval()), TQ_CONFIG(adConnectionCacheExpiryTimeout())},

    {MethodType::StaticDataApi, TQ_CONFIG(staticDataUrl()), BuiltPathKeys, AcceptCharset | Platform,
     nullptr, TQ_CONFIG(staticDataConnectionCacheExpiryTimeout())},
    {MethodType::StaticDataImage, TQ_CONFIG(staticDataUrl()), BuiltPathKeys | Image,
     AcceptCharset | Platform, nullptr, TQ_CONFIG(staticDataConnectionCacheExpiryTimeout())},

    {MethodType::GetShopApi, TQ_CONFIG(getShopUrl()), UseProxy | NoHeadersWithoutProvider,
     AcceptJson | Platform, TQ_CONFIG(getshopMicrositeTimeoutInterval()),
     TQ_CONFIG(getShopConnectionCacheExpiryTimeout()),
     [](Store* s, const IRequestHeaderPropertyProvider*) {
         return QStringList{param("key", TqConfigWrapper(s).getShopKey())};
     }},
    {MethodType::GetShopAudit, nullptr, UseProxy | NoHeadersWithoutProvider, UserAgent,
     TQ_CONFIG(getshopMicrositeTimeoutInterval()), TQ_CONFIG(getShopConnectionCacheExpiryTimeout())},
    {MethodType::GetShopTextPlain, nullptr, UseProxy | NoHeadersWithoutProvider, AcceptJson | Platform,
     TQ_CONFIG(getshopMicrositeTimeoutInterval()), TQ_CONFIG(getShopConnectionCacheExpiryTimeout())},
    {MethodType::GetShopImage, nullptr, UseProxy | NoHeadersWithoutProvider | CacheKeyIsPath | Image,
     AcceptJson | Platform, TQ_CONFIG(getshopMicrositeTimeoutInterval()),
     TQ_CONFIG(getShopConnectionCacheExpiryTimeout())},

    {MethodType::MediascopeApi, TQ_CONFIG(mediascopeUrl()), UseProxy, Platform,
     TQ_CONFIG(mediascopeRequestTimeoutInterval()), TQ_CONFIG(mediascopeConnectionCacheExpiryTimeout()),
     [](Store* s, const IRequestHeaderPropertyProvider*) {
         return QStringList{param("cid", TqConfigWrapper(s).mediascopeClientId()), param("typ", QStringLiteral("3")),
                            param("dvi", QStringLiteral("6"))};
     },
     '&'},

    {MethodType::PartyStationApi, [](Store* s) { return TqConfigWrapper(s).partyStationUrl() + QStringLiteral("app"); },
     UseProxy, 0, nullptr, TQ_CONFIG(partyStationConnectionCacheExpiryTimeout())},
    {MethodType::PartyStationImage, nullptr, UseProxy, 0, nullptr,
     TQ_CONFIG(partyStationConnectionCacheExpiryTimeout())},

    {MethodType::PaymentServiceApi, nullptr, UseProxy, ContentTypeJson | AcceptJson | AcceptCharset | UserAgent,
     nullptr, TQ_CONFIG(paymentConnectionCacheExpiryTimeout())},

    {MethodType::RdmApi, [](Store* s) { return rdm::ConfigWrapper(s).url(); }, 0,
     AcceptJson | AcceptCharset | Platform, nullptr, TQ_CONFIG(rdmConnectionCacheExpiryTimeout())},

    {MethodType::ReleaseNotesHtml,
     releaseNotesBase,
     UseProxy, AcceptCharset | Platform, TQ_CONFIG(releaseNotesRequestTimeoutInterval()),
     TQ_CONFIG(releaseNotesConnectionCacheExpiryTimeout())},
    {MethodType::ReleaseNotesImage,
     releaseNotesBase,
     UseProxy | CacheKeyIsPath | Image, AcceptCharset | Platform, TQ_CONFIG(releaseNotesRequestTimeoutInterval()),
     TQ_CONFIG(releaseNotesConnectionCacheExpiryTimeout())},

    {MethodType::Scte35Nsc, TQ_SCTE35(nscUrl()), UseProxy, Platform, TQ_SCTE35(nscRequestTimeout()),
     TQ_SCTE35(nscConnectionCacheExpiryTimeout()),
     [](Store*, const IRequestHeaderPropertyProvider* p) { return QStringList{param("sid", mac(p))}; }},
    {MethodType::Scte35PostMedia, TQ_SCTE35(pmUrl()), UseProxy, Platform, TQ_SCTE35(pmRequestTimeout()),
     TQ_SCTE35(pmConnectionCacheExpiryTimeout()),
     [](Store*, const IRequestHeaderPropertyProvider* p) {
         return QStringList{param("request_id", QUuid::createUuid().toString(QUuid::WithoutBraces)),
                            param("client_id", mac(p)), param("domain_id", QStringLiteral("28")),
                            param("mrf", p ? p->mrf() : QString())};
     }},
    {MethodType::Scte35NscAudit, nullptr, UseProxy | LowPriority, Platform, TQ_SCTE35(nscPixelsRequestTimeout()),
     TQ_SCTE35(nscConnectionCacheExpiryTimeout())},
    {MethodType::Scte35PostMediaAudit, nullptr, UseProxy | LowPriority, Platform,
     TQ_SCTE35(pmPixelsRequestTimeout()), TQ_SCTE35(pmConnectionCacheExpiryTimeout())},

    {MethodType::SytApi, TQ_CONFIG(sytUrl()), UseProxy, UserAgent, nullptr,
     TQ_CONFIG(sytConnectionCacheExpiryTimeout())},
    {MethodType::SytStatus, TQ_CONFIG(sytUrl()), UseProxy | LowPriority, UserAgent | CustomUserId, nullptr,
     TQ_CONFIG(sytConnectionCacheExpiryTimeout())},

    {MethodType::ThumbnailsApi, TQ_CONFIG(thumbnailsUrl()), UseProxy, AcceptJson | AcceptCharset | Platform,
     nullptr, TQ_CONFIG(thumbnailsConnectionCacheExpiryTimeout())},
    {MethodType::ThumbnailsImage, TQ_CONFIG(thumbnailsUrl()), UseProxy | Image,
     AcceptJson | AcceptCharset | Platform, nullptr, TQ_CONFIG(thumbnailsConnectionCacheExpiryTimeout())},
};

#undef TQ_CONFIG
#undef TQ_SCTE35

const Row* rowOf(MethodType type)
{
    const auto it = std::find_if(std::begin(rows), std::end(rows), [type](const Row& r) { return r.type == type; });
    return it == std::end(rows) ? nullptr : it;
}

void addHeaders(RequestSettings& settings, const Row& row, const IRequestHeaderPropertyProvider* provider)
{
    if (!provider && (row.settings & NoHeadersWithoutProvider))
        return;
    const auto fixed = [&](HeaderFlag flag, const char* name, const char* value) {
        if (row.headers & flag)
            AbstractBackend::setHeader(settings, QString::fromLatin1(name), QString::fromLatin1(value));
    };
    fixed(AcceptJson, "Accept", "application/json");
    fixed(AcceptXml, "Accept", "application/xml");
    fixed(AcceptCharset, "Accept-Charset", "UTF-8");
    fixed(ContentTypeJson, "Content-Type", "application/json; charset=UTF-8");
    if (!provider)
        return;
    const auto provided = [&](unsigned flag, const char* name, const QString& value) {
        if (row.headers & flag)
            AbstractBackend::setHeader(settings, QString::fromLatin1(name), value);
    };
    provided(UserAgent, "User-Agent", provider->userAgent());
    provided(Mac, "x-kv-mac", provider->macAddress());
    provided(Uid, "x-kv-uid", provider->uid());
    provided(San, "x-kv-san", provider->san());
    provided(CustomUserId, "X-Custom-User-Id", provider->macAddress());
}

} // namespace

// ---- TableBackend ----

RequestSettings TableBackend::composeRequest(const RequestRawData& data, Store* store,
                                             const IRequestHeaderPropertyProvider* provider) const
{
    RequestSettings settings;
    const Row* row = m_types.contains(data.methodType) ? rowOf(data.methodType) : nullptr;
    if (!row)
        return settings; // not ours: no URL, so the dispatcher refuses it

    const QString path = (row->settings & BuiltPathKeys) ? builtPath(data) : data.path;
    settings.urls.append((row->base ? row->base(store) : QString()) + path);
    if (row->settings & BuiltPathKeys)
        settings.methodPath = settings.cacheKey = path;
    if (row->settings & CacheKeyIsPath)
        settings.cacheKey = data.path;
    settings.useProxy = row->settings & UseProxy;
    settings.image = row->settings & Image;
    if (row->settings & LowPriority)
        settings.priority = QNetworkRequest::LowPriority;

    addQuery(settings, row->extras ? row->extras(store, provider) : QStringList(), data.queryItems,
             QLatin1Char(row->separator));
    addHeaders(settings, *row, provider);
    return settings;
}

qint64 TableBackend::requestTimeout(const RequestRawData& data, Store* store) const
{
    const Row* row = rowOf(data.methodType);
    if (!row || !row->timeout)
        return AbstractBackend::requestTimeout(data, store);
    return row->timeout(store).count() * 1000;
}

std::chrono::seconds TableBackend::connectionCacheExpiryTimeout(const RequestRawData& data, Store* store) const
{
    // A type this backend does not serve gets the expiry of its first type.
    const Row* row = rowOf(m_types.contains(data.methodType) ? data.methodType : m_types.value(0));
    return row ? row->expiry(store) : std::chrono::seconds(0);
}

// ---- the backends ----

AdBackend::AdBackend()
    : TableBackend({MethodType::AdBannerAudit, MethodType::AdStreamApi, MethodType::AdStreamAudit,
                    MethodType::GetShopAdApi, MethodType::GetShopAdAudit})
{
}

int AdBackend::failureAction(const RequestError&) const
{
    return HandOn;
}

StaticDataBackend::StaticDataBackend() : TableBackend({MethodType::StaticDataApi, MethodType::StaticDataImage}) {}
GeneralRequestBackend::GeneralRequestBackend() : TableBackend({MethodType::GeneralRequest}) {}
GetShopBackend::GetShopBackend()
    : TableBackend({MethodType::GetShopApi, MethodType::GetShopAudit, MethodType::GetShopImage,
                    MethodType::GetShopTextPlain})
{
}
MediascopeBackend::MediascopeBackend() : TableBackend({MethodType::MediascopeApi}) {}
PartyStationBackend::PartyStationBackend()
    : TableBackend({MethodType::PartyStationApi, MethodType::PartyStationImage})
{
}
PaymentServiceBackend::PaymentServiceBackend() : TableBackend({MethodType::PaymentServiceApi}) {}
RdmBackend::RdmBackend() : TableBackend({MethodType::RdmApi}) {}
ReleaseNotesBackend::ReleaseNotesBackend()
    : TableBackend({MethodType::ReleaseNotesHtml, MethodType::ReleaseNotesImage})
{
}
Scte35AdBackend::Scte35AdBackend()
    : TableBackend({MethodType::Scte35Nsc, MethodType::Scte35NscAudit, MethodType::Scte35PostMedia,
                    MethodType::Scte35PostMediaAudit})
{
}
SytBackend::SytBackend() : TableBackend({MethodType::SytApi, MethodType::SytStatus}) {}
ThumbnailsBackend::ThumbnailsBackend() : TableBackend({MethodType::ThumbnailsApi, MethodType::ThumbnailsImage}) {}

int PaymentServiceBackend::responseErrorStatus(const QByteArray& body) const
{
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    const QJsonValue status = object.value(QLatin1String("reqStatus"));
    return status.isUndefined() ? -1000 : status.toInt();
}

// ---- the table from MethodType to backend ----

BackendSet createBackends()
{
    BackendSet set;
    const auto add = [&set](std::unique_ptr<AbstractBackend> backend, const QList<MethodType>& types) {
        for (MethodType type : types)
            set.byType.insert(type, backend.get());
        set.owned.push_back(std::move(backend));
    };
    const auto addTable = [&add](std::unique_ptr<TableBackend> backend) {
        const QList<MethodType> types = backend->types();
        add(std::move(backend), types);
    };
    addTable(std::make_unique<AdBackend>());
    addTable(std::make_unique<StaticDataBackend>());
    addTable(std::make_unique<GeneralRequestBackend>());
    addTable(std::make_unique<GetShopBackend>());
    addTable(std::make_unique<MediascopeBackend>());
    add(std::make_unique<NewCacheBackend>(), NewCacheBackend::types());
    addTable(std::make_unique<PartyStationBackend>());
    addTable(std::make_unique<PaymentServiceBackend>());
    addTable(std::make_unique<RdmBackend>());
    addTable(std::make_unique<ReleaseNotesBackend>());
    addTable(std::make_unique<Scte35AdBackend>());
    addTable(std::make_unique<SytBackend>());
    addTable(std::make_unique<ThumbnailsBackend>());
    return set;
}

} // namespace tq
