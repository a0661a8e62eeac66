#pragma once
// Typed views of the configuration store. They keep nothing but the store pointer and
// read afresh on every call, so a value the host changes applies to the next request.
//
// The regular accessors are declared once, in the tables below: each row names its
// kind, accessor(s), group, key and default, and the declarations and definitions both
// follow from the row. Accessors with rules of their own are written out after the table.

#include "tqglobal.h"

#include "platform/configurationmanager.h"

#include <QJsonArray>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <chrono>
#include <utility>

namespace tq {

// Kinds: STR / STR_RT (string, runtime setter), BOOL / BOOL_RT, INT, SECS (whole seconds),
// EXPIRY (connection-cache expiry of a group), REMOVE (removal of a runtime value).
#define TQ_CONFIG_TABLE(X)                                                                          \
    X(STR, deviceUid, "TqClientFacade", "uid")                                                      \
    X(STR, fingerprint, "TqClientFacade", "fingerprint")                                            \
    X(STR, sessionId, "TqClientFacade", "session_id")                                               \
    X(STR_RT, invalidatedSessionId, setInvalidatedSessionId, "TqClientFacade", "invalidated_session_id") \
    X(REMOVE, clearInvalidatedSessionId, "TqClientFacade", "invalidated_session_id")                \
    X(STR, balancerUrl, "TQ", "balancerUrl")                                                        \
    X(STR_RT, apiUrl, setApiUrl, "TQ", "apiUrl")                                                    \
    X(STR_RT, websocketsUrl, setWebsocketsUrl, "TQ", "wsUrl")                                       \
    X(STR_RT, spyUrl, setSpyUrl, "TQ", "spyUrl")                                                    \
    X(REMOVE, removeSpyUrl, "TQ", "spyUrl")                                                         \
    X(STR_RT, imageUrl, setImageUrl, "TQ", "imagesUrl")                                             \
    X(STR_RT, proxyUrl, setProxyUrl, "TQ", "proxyUrl")                                              \
    X(REMOVE, removeProxyUrl, "TQ", "proxyUrl")                                                     \
    X(SECS, requestTimeoutInterval, "Network", "requestTimeout", 120)                               \
    X(INT, requestThreadPriority, "Network", "requestThreadPriority", 0)                            \
    X(INT, responseCacheLimit, "Network", "responseCacheLimitKey", 2)                               \
    X(SECS, speedTestFileDownloadTimeout, "Network", "speedTestFileDownloadTimeout", 60)            \
    X(SECS, vemoServicesAvailabilityRequestTimeout, "Network", "vemoServicesAvailabilityRequestTimeout", 3) \
    X(BOOL, verifyCertificates, "Network", "verifyCertificates", false)                             \
    X(STR_RT, adUrl, setAdUrl, "Ad", "adUrl")                                                       \
    X(STR_RT, adKey, setAdKey, "Ad", "adKey")                                                       \
    X(BOOL_RT, isAdEnabled, setAdEnabled, "Ad", "isAdEnabled", QVariant())                          \
    X(BOOL, isAdStreamEnabled, "AdStream", "enabled", QVariant())                                   \
    X(STR, adStreamUrl, "AdStream", "url")                                                          \
    X(SECS, adStreamTimeoutInterval, "AdStream", "requestTimeout", 3)                               \
    X(SECS, adStreamPixelsTimeoutInterval, "AdStream", "pixelsRequestTimeout", 3)                   \
    X(SECS, adBannerPixelsTimeoutInterval, "AdBanner", "pixelsRequestTimeout", 3)                   \
    X(STR_RT, getShopUrl, setGetShopUrl, "GetShop", "getShopUrl")                                   \
    X(STR_RT, getShopKey, setGetShopKey, "GetShop", "getShopKey")                                   \
    X(SECS, getshopAdPixelsTimeoutInterval, "GetShop", "pixelsRequestTimeout", 3)                   \
    X(SECS, getshopAdTimeoutInterval, "GetShop", "adRequestTimeout", 3)                             \
    X(SECS, getshopMicrositeTimeoutInterval, "GetShop", "micrositeRequestTimeout", 120)             \
    X(SECS, getshopPlaylistUpdateRandomInterval, "GetShop", "playlistUpdateRandomInterval", 120)    \
    X(BOOL, isMediascopeEnabled, "Mediascope", "enabled", false)                                    \
    X(STR, mediascopeUrl, "Mediascope", "url")                                                      \
    X(STR, mediascopeClientId, "Mediascope", "cid")                                                 \
    X(SECS, mediascopeRequestTimeoutInterval, "Mediascope", "requestTimeout", 3)                    \
    X(STR_RT, partyStationUrl, setPartyStationUrl, "PartyStation", "url")                           \
    X(REMOVE, removePartyStationUrl, "PartyStation", "url")                                         \
    X(STR, releaseNotesUrl, "ReleaseNotes", "url")                                                  \
    X(STR_RT, releaseNotesVersion, setReleaseNotesVersion, "ReleaseNotes", "version")               \
    X(SECS, releaseNotesRequestTimeoutInterval, "ReleaseNotes", "requestTimeout", 120)              \
    X(BOOL_RT, isSytEnabled, setSytEnabled, "SYT", "enabled", false)                                \
    X(STR_RT, sytUrl, setSytUrl, "SYT", "url")                                                      \
    X(STR, staticDataUrl, "StaticData", "url")                                                      \
    X(STR_RT, thumbnailsUrl, setThumbnailsUrl, "Thumbnails", "thumbnailsUrl")                       \
    X(EXPIRY, adConnectionCacheExpiryTimeout, "Ad")                                                 \
    X(EXPIRY, getShopConnectionCacheExpiryTimeout, "GetShop")                                       \
    X(EXPIRY, mediascopeConnectionCacheExpiryTimeout, "Mediascope")                                 \
    X(EXPIRY, newCacheConnectionCacheExpiryTimeout, "TQ")                                           \
    X(EXPIRY, partyStationConnectionCacheExpiryTimeout, "PartyStation")                             \
    X(EXPIRY, paymentConnectionCacheExpiryTimeout, "Payment")                                       \
    X(EXPIRY, rdmConnectionCacheExpiryTimeout, "RDM")                                               \
    X(EXPIRY, releaseNotesConnectionCacheExpiryTimeout, "ReleaseNotes")                             \
    X(EXPIRY, staticDataConnectionCacheExpiryTimeout, "StaticData")                                 \
    X(EXPIRY, sytConnectionCacheExpiryTimeout, "SYT")                                               \
    X(EXPIRY, thumbnailsConnectionCacheExpiryTimeout, "Thumbnails")                                 \
    X(EXPIRY, generalBackendConnectionCacheExpiryTimeout, "GeneralBackend")

#define TQ_CONFIG_DECL_STR(get, group, key) QString get() const;
#define TQ_CONFIG_DECL_STR_RT(get, set, group, key) QString get() const; void set(const QString& value);
#define TQ_CONFIG_DECL_BOOL(get, group, key, def) bool get() const;
#define TQ_CONFIG_DECL_BOOL_RT(get, set, group, key, def) bool get() const; void set(bool value);
#define TQ_CONFIG_DECL_INT(get, group, key, def) int get() const;
#define TQ_CONFIG_DECL_SECS(get, group, key, def) std::chrono::seconds get() const;
#define TQ_CONFIG_DECL_EXPIRY(get, group) std::chrono::seconds get() const;
#define TQ_CONFIG_DECL_REMOVE(name, group, key) void name();
#define TQ_CONFIG_DECLARE(kind, ...) TQ_CONFIG_DECL_##kind(__VA_ARGS__)

// Shared reading and writing of the three wrappers.
class TQ_EXPORT ConfigView
{
public:
    explicit ConfigView(stbconfig::ConfigurationManager* store) : m_store(store) {}
    stbconfig::ConfigurationManager* store() const { return m_store; }

    // Generic access to the runtime layer (5).
    void setRuntimeValue(const QString& group, const QString& key, const QVariant& value);
    void removeRuntimeValue(const QString& group, const QString& key);

protected:
    QVariant value(const QString& group, const QString& key, const QVariant& def = QVariant()) const;
    QString string(const QString& group, const QString& key) const;
    bool flag(const QString& group, const QString& key, const QVariant& def) const;
    int integer(const QString& group, const QString& key, int def) const;
    // The configured count, read as a 32-bit integer and widened with its sign.
    std::chrono::seconds seconds(const QString& group, const QString& key, int def) const;

    stbconfig::ConfigurationManager* m_store;
};

struct TQ_EXPORT IncrementalTimerParams
{
    qint64 multiplier = 2;
    qint64 interval = 30;
    qint64 multiplicationsCount = 6;
};

class Scte35ConfigWrapper;

class TQ_EXPORT TqConfigWrapper : public ConfigView
{
public:
    explicit TqConfigWrapper(stbconfig::ConfigurationManager* store) : ConfigView(store) {}

    static QString tqGroup();   // "TQ"
    static QString spyUrlKey(); // "spyUrl"

    TQ_CONFIG_TABLE(TQ_CONFIG_DECLARE)

    // Identity, kept in the authorization storage (layer 6).
    void setDeviceUid(const QString& uid);
    void clearDeviceUid();
    void setFingerprint(const QString& fingerprint);
    void clearFingerprint();
    bool isAuthStorageAvailable() const;

    // The session id: a persistent value (layer 6) that a temporary runtime one hides.
    bool hasSession() const; // any valid value, an empty string included
    void setSessionId(const QString& id);
    void setTemporarySessionId(const QString& id);
    void clearTemporarySessionId();
    void clearSessionId();

    void setBalancerUrl(const QString& url); // layer 1
    void removeSystemBalancerUrl();          // layer 4
    bool hasSystemBalancerUrl() const;

    int numberOfConnectionsWithProxy() const; // clamped to 1..6
    void setNumberOfConnectionsWithProxy(int count);
    std::chrono::seconds newCacheRequestTimeoutInterval() const;
    void setNewCacheRequestTimeoutInterval(std::chrono::seconds interval);
    QUrl speedTestFile() const;
    IncrementalTimerParams incrementalTimerParams() const;
    QString vemoServicesAvailabilityUrl() const;

    void removeAdValues();
    void removeGetShopValues();
    QString adStreamMrfUrl(const QString& mrf) const;
    QSet<qint64> adStreamChannelNums() const;
    QSet<qint64> adStreamSubLocations() const;

    std::chrono::seconds connectionCacheExpiryTimeout(const QString& group) const;

    Scte35ConfigWrapper scte35Configuration() const;
};

// The two SCTE-35 ad-decision services, one group each.
class TQ_EXPORT Scte35ConfigWrapper : public ConfigView
{
public:
    explicit Scte35ConfigWrapper(stbconfig::ConfigurationManager* store) : ConfigView(store) {}

    static QString nscGroupName(); // "Scte35Nsc"
    static QString pmGroupName();  // "Scte35Pm"
    static QString nscAdServer();  // "nsc"
    static QString pmAdServer();   // "pm"

    bool isEnabled(const QString& group) const;
    QString url(const QString& group) const;
    bool nullDurationAllowed(const QString& group) const;
    bool stopAfterEof(const QString& group) const;
    std::chrono::seconds maxDuration(const QString& group) const;
    std::chrono::seconds requestTimeout(const QString& group) const;
    std::chrono::seconds pixelsRequestTimeout(const QString& group) const;
    std::chrono::seconds connectionCacheExpiryTimeout(const QString& group) const;
    QJsonArray channelParams(const QString& group) const;
    QList<qint64> subLocations(const QString& group) const;

    QString nscUrl() const { return url(nscGroupName()); }
    QString pmUrl() const { return url(pmGroupName()); }
    std::chrono::seconds nscRequestTimeout() const { return requestTimeout(nscGroupName()); }
    std::chrono::seconds pmRequestTimeout() const { return requestTimeout(pmGroupName()); }
    std::chrono::seconds nscPixelsRequestTimeout() const { return pixelsRequestTimeout(nscGroupName()); }
    std::chrono::seconds pmPixelsRequestTimeout() const { return pixelsRequestTimeout(pmGroupName()); }
    std::chrono::seconds nscConnectionCacheExpiryTimeout() const { return connectionCacheExpiryTimeout(nscGroupName()); }
    std::chrono::seconds pmConnectionCacheExpiryTimeout() const { return connectionCacheExpiryTimeout(pmGroupName()); }
    QString nscOpc() const;
    int nscCnt() const;
};

} // namespace tq

namespace rdm {

// Device management, group "RDM".
class TQ_EXPORT ConfigWrapper : public tq::ConfigView
{
public:
    explicit ConfigWrapper(stbconfig::ConfigurationManager* store) : tq::ConfigView(store) {}

    QString url() const;
    void setUrl(const QString& url, stbconfig::SettingsType type);
    std::chrono::seconds requestSettingsInterval() const; // 21600 unless a positive integer is stored
    void setRequestSettingsInterval(std::chrono::seconds interval, stbconfig::SettingsType type);
    qint64 rebootCommandId() const;
    void setRebootCommandId(qint64 id, stbconfig::SettingsType type);
    void removeRebootCommandId(stbconfig::SettingsType type);
    // (min, max) in seconds; (300, 900) with a logged warning when the stored pair is unusable.
    std::pair<std::chrono::seconds, std::chrono::seconds> requestPollIntervalLimits() const;
};

} // namespace rdm
